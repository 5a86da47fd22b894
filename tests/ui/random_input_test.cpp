// A few thousand random clicks, keys, typed texts and mouse moves on whatever screens are on view, with a
// fixed seed, in a working folder that holds odd names: a folder named x.csv, a FIFO named y.csv, a link
// loop z.csv, damaged result files and a valid one. The program must never crash (the test program would
// die), never hang (the test's TIMEOUT) and never be left without a visible window. Now and then a step
// fills the screen on view with values that work, so that every screen (and the results' beam-quality
// table and export dialog) is reached.

#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QSet>
#include <QtTest>
#include <random>

#include "UiTestSupport.h"
#include "common/DrawingSurface.h"

using namespace halvorn::ui::test;

namespace {

constexpr int kEvents = 5000;
constexpr unsigned kSeed = 20240611;

// The screens and the results' two windows.
bool IsScreen(const QObject* w) {
    return w->objectName().startsWith(QLatin1String("Form")) ||
           w->objectName() == QLatin1String("ExportDialog") ||
           w->objectName() == QLatin1String("BeamQualityWindow");
}

QList<QWidget*> VisibleScreens() {
    QList<QWidget*> screens;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && IsScreen(w))
            screens << w;
    return screens;
}

// Records each screen that is shown at any moment, the busy dialog included.
class ShownScreens : public QObject {
public:
    ShownScreens() { qApp->installEventFilter(this); }
    ~ShownScreens() override { qApp->removeEventFilter(this); }
    ShownScreens(const ShownScreens&) = delete;
    ShownScreens& operator=(const ShownScreens&) = delete;
    QSet<QString> names;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() && IsScreen(watched))
            names.insert(watched->objectName());
        return false;
    }
};

void WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// Values that let a screen's button do its work.
void FillWorkingValues(QWidget& screen) {
    auto set = [&](const char* name, const char* text) {
        if (auto* field = screen.findChild<QLineEdit*>(QString::fromLatin1(name)))
            field->setText(QString::fromLatin1(text));
    };
    if (screen.objectName() == QLatin1String("Form2")) {
        set("Text13", "7");
    } else if (screen.objectName() == QLatin1String("Form3")) {
        set("Text1", "60");
        set("Text54", "3");
        set("Text28", "10");
        set("Text3", "5");
        set("Text29", "9");
        set("Text4", "10");
        set("Text30", "8");
        set("Text5", "15");
        set("Text31", "7");
    } else if (screen.objectName() == QLatin1String("Form4")) {
        set("Text2", "2");
    } else if (screen.objectName() == QLatin1String("ExportDialog")) {
        set("TextCollimation", "4");
        set("TextAngleStep", "0.125");
        set("TextTargetAngle", "16");
    }
}

}  // namespace

class RandomInputTest : public QObject {
    Q_OBJECT
private slots:
    void randomClicksAndKeysOnEveryScreen();
};

void RandomInputTest::randomClicksAndKeysOnEveryScreen() {
    WorkingFolder folder;
    QVERIFY(folder.Entered());
    QVERIFY(QFile::copy(QStringLiteral(HALVORN_TABLE_PATH), QStringLiteral("MUs2022.dat")));
    QVERIFY(QDir().mkdir(QStringLiteral("x.csv")));
    QVERIFY(::mkfifo("y.csv", 0644) == 0);
    QVERIFY(::symlink("z.csv", "z.csv") == 0);
    const QByteArray valid = ReadAll(QStringLiteral(HALVORN_EXAMPLES_DIR "/ct-120kv.csv"));
    QVERIFY(!valid.isEmpty());
    WriteFile(QStringLiteral("valid.csv"), valid);
    WriteFile(QStringLiteral("truncated.csv"), valid.left(valid.size() / 3));
    WriteFile(QStringLiteral("empty.csv"), {});
    QByteArray garbage(20000, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 2654435761u) >> 13);
    WriteFile(QStringLiteral("garbage.csv"), garbage);
    QByteArray huge = valid;
    huge.replace("\r\n 12 \r\n", "\r\n 99999 \r\n");
    WriteFile(QStringLiteral("count99999.csv"), huge);
    WriteFile(QStringLiteral("zero.csv"), "zero\r\n 0 \r\nOC(cm),0\r\n  OCR ,0\r\nAl(mm),0\r\n");

    std::mt19937 random(kSeed);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const char* texts[] = {"7", "60", "0", "-5",    "1e999", "abc", "",  "25",  "3",  "150", "0.35",
                           "x", "y",  "z", "valid", "new",   "10",  " ", "2.5", "26", "-0",  "1,5"};
    const Qt::Key keys[] = {Qt::Key_Return,    Qt::Key_Enter,  Qt::Key_Tab,   Qt::Key_Left, Qt::Key_Right,
                            Qt::Key_Up,        Qt::Key_Down,   Qt::Key_Home,  Qt::Key_End,  Qt::Key_Escape,
                            Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Space, Qt::Key_1,    Qt::Key_Period};

    ShownScreens shown;
    int events = 0;
    int runs = 1;
    QString lastAction;
    while (events < kEvents) {
        Session s;
        s.app.Start();
        while (events < kEvents && s.exits.isEmpty()) {
            const QList<QWidget*> screens = VisibleScreens();
            QVERIFY2(!screens.isEmpty(), qPrintable("no window on view after: " + lastAction));
            QWidget& screen = *screens[pick(screens.size())];
            s.presenter.answers = {pick(3) == 0 ? std::nullopt : std::optional<QString>(texts[pick(22)])};

            QList<QWidget*> targets;
            for (QWidget* w : screen.findChildren<QWidget*>())
                if (w->isVisible() && w->isEnabled() &&
                    (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                     qobject_cast<QListWidget*>(w) || qobject_cast<halvorn::ui::DrawingSurface*>(w)))
                    targets << w;
            if (targets.isEmpty())
                targets << &screen;
            QWidget* target = targets[pick(targets.size())];
            lastAction = screen.objectName() + "/" + target->objectName();
            QWidget* area = target;
            if (auto* list = qobject_cast<QListWidget*>(target))
                area = list->viewport();
            const QPoint at(pick(std::max(1, area->width())), pick(std::max(1, area->height())));

            switch (pick(10)) {
                case 0:
                case 1:
                case 2:
                case 3:
                    lastAction += " click";
                    QTest::mouseClick(area, Qt::LeftButton, {},
                                      qobject_cast<QAbstractButton*>(target) ? area->rect().center() : at);
                    break;
                case 4:
                case 5:
                    lastAction += QStringLiteral(" type");
                    QTest::keyClicks(target, QString::fromLatin1(texts[pick(22)]));
                    break;
                case 6:
                    lastAction += QStringLiteral(" key");
                    QTest::keyClick(target, keys[pick(15)]);
                    break;
                case 7:
                    lastAction += QStringLiteral(" move");
                    QTest::mouseMove(area, at);
                    break;
                case 8:
                    lastAction += QStringLiteral(" retype");
                    if (auto* field = qobject_cast<QLineEdit*>(target))
                        Retype(field, QString::fromLatin1(texts[pick(22)]));
                    break;
                default:
                    lastAction += QStringLiteral(" fill");
                    FillWorkingValues(screen);
                    break;
            }
            QCoreApplication::processEvents();
            ++events;
        }
        // The start screen's exit ends the program (here it is only recorded); a new run starts.
        if (!s.exits.isEmpty())
            ++runs;
    }
    qInfo("%d random events in %d program runs; screens shown: %s", events, runs,
          qPrintable(QStringList(shown.names.values()).join(',')));
    // The six screens are always reached; the beam-quality table and the export dialog open when a random
    // click finds their buttons enabled, which the event stream does not promise.
    for (const char* name : {"Form1", "Form2", "Form3", "Form4", "Form5", "Form6"})
        QVERIFY2(shown.names.contains(QString::fromLatin1(name)), name);
    // The odd files are still what they were.
    struct stat info {};
    QVERIFY(::lstat("x.csv", &info) == 0 && S_ISDIR(info.st_mode));
    QVERIFY(::lstat("y.csv", &info) == 0 && S_ISFIFO(info.st_mode));
    QVERIFY(::lstat("z.csv", &info) == 0 && S_ISLNK(info.st_mode));
}

QTEST_MAIN(RandomInputTest)
#include "random_input_test.moc"
