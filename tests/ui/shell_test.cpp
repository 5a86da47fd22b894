// The start screen, the navigation it starts and the busy dialog, driven as a user drives them: clicks on
// the buttons, the window's close box, a calculation on the centre-axis screen.

#include <sys/stat.h>

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include "UiTestSupport.h"
#include "centre_axis/Form2.h"
#include "common/DrawingSurface.h"
#include "common/MessagePresenter.h"
#include "dose_profile/Form3.h"
#include "engine/CalculationState.h"
#include "engine/Version.h"
#include "results/Form4.h"
#include "shell/Application.h"
#include "shell/Form1.h"
#include "shell/Form5.h"
#include "shell/GeometryFigure.h"
#include "shell/WorkingFolder.h"

using halvorn::ui::Form2;
using halvorn::ui::MessagePresenter;
using halvorn::ui::RecordingPresenter;
using namespace halvorn::ui::test;

namespace {

// The screens on view, by name.
QStringList VisibleScreens() {
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName().startsWith(QLatin1String("Form")))
            names << w->objectName();
    names.sort();
    return names;
}

// Records, in order, each screen the program shows or hides (not the window system's own show events).
class ScreenLog : public QObject {
public:
    ScreenLog() { qApp->installEventFilter(this); }
    ~ScreenLog() override { qApp->removeEventFilter(this); }
    ScreenLog(const ScreenLog&) = delete;
    ScreenLog& operator=(const ScreenLog&) = delete;

    // What happened since the last call.
    QStringList Take() {
        QStringList out;
        out.swap(entries_);
        return out;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool shown = event->type() == QEvent::Show;
        if ((shown || event->type() == QEvent::Hide) && !event->spontaneous() && watched->isWidgetType()) {
            auto* window = static_cast<QWidget*>(watched);
            if (window->isWindow() && window->objectName().startsWith(QLatin1String("Form")))
                entries_ << window->objectName() +
                                (shown ? QStringLiteral(" shown") : QStringLiteral(" hidden"));
        }
        return false;
    }

private:
    QStringList entries_;
};

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT
private slots:
    void startShowsOnlyTheStartScreen();
    void newCalculationShowsTheCentreAxisScreen();
    void secondNewCalculationKeepsTheDoseProfile();
    void resultsSearchOpensTheBrowser();
    void transitionsShowTheTargetFirst();
    void faultyTableEndsTheProgram_data();
    void faultyTableEndsTheProgram();
    void exitIconAndCloseBoxEndTheProgram();
    void centreAxisCloseBoxActsAsCancel();
    void busyDialogShowsOnlyDuringARun();
    void screensOpenCentred();
    void manualLineOpensTheManual();
    void workingFolderOrder();
    void workingFolderMadeOnceWithTheExample();
    void programOptions();
    // Last: it ends the event loops of this test program for good.
    void faultyTableEndsTheRealProgramWithCode1();
};

void ShellTest::startShowsOnlyTheStartScreen() {
    Session s;
    s.app.Start();
    QCOMPARE(VisibleScreens(), QStringList{"Form1"});
    QWidget& form1 = s.app.form1();
    QCOMPARE(form1.windowTitle(), QStringLiteral("　Halvorn  version 2"));
    QCOMPARE(form1.size(), QSize(974, 438));
    QVERIFY(!(form1.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(form1.windowFlags() & Qt::WindowMaximizeButtonHint));

    // The shadowed title: red in front, the yellow copy 2 px right and about 1 px lower behind it.
    auto* title = Child<QLabel>(form1, "Title");
    auto* shadow = Child<QLabel>(form1, "TitleShadow");
    QCOMPARE(title->text(), QStringLiteral("Halvorn  ver.2"));
    QCOMPARE(shadow->text(), title->text());
    QCOMPARE(shadow->pos() - title->pos(), QPoint(2, 1));
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(shadow->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    const QObjectList& children = form1.children();
    QVERIFY2(children.indexOf(shadow) < children.indexOf(title), "the shadow must lie behind the title");

    const struct {
        const char* name;
        const char* text;
        QPoint at;
    } labels[] = {
        {"Label1", "CT装置の任意点におけるＸ線スペクトル", {32, 80}},
        {"Label11", "および ボウタイフィルタの形状を推定計算します", {32, 112}},
        {"Label3", "次の３つのデータが必要です（右図参照）", {32, 152}},
        {"Label9", "１．焦点 - 回転中心間距離", {32, 184}},
        {"Label4", "２．回転中心におけるアルミ半価層の実測値", {32, 216}},
        {"Label5", "３．回転中心から側方向線上の照射線量（空気カーマ）", {32, 248}},
        {"Label6", "（線量プロファイル (最大25ポイント)）", {80, 272}},
        {"Label8", "計算方法はマニュアルに記載されています", {56, 312}},
    };
    for (const auto& l : labels) {
        auto* label = Child<QLabel>(form1, l.name);
        QVERIFY2(label->isVisible(), l.name);
        QCOMPARE(label->text(), QString::fromUtf8(l.text));
        QCOMPARE(label->pos(), l.at);
    }

    auto* command1 = Child<QPushButton>(form1, "Command1");
    auto* command3 = Child<QPushButton>(form1, "Command3");
    auto* command2 = Child<QPushButton>(form1, "Command2");
    QCOMPARE(command1->text(), QStringLiteral("新規計算"));
    QCOMPARE(command3->text(), QStringLiteral("結果検索"));
    QCOMPARE(command1->geometry(), QRect(120, 344, 121, 49));
    QCOMPARE(command3->geometry(), QRect(280, 344, 121, 49));
    QVERIFY(command2->text().isEmpty());
    QVERIFY(!command2->icon().isNull());
    QCOMPARE(command2->toolTip(), QStringLiteral(" bye bye "));
    QCOMPARE(command2->geometry(), QRect(24, 384, 35, 35));
    QCOMPARE(title->pos(), QPoint(102, 15));

    // The figure names the three measurements with markers matching the numbered items.
    auto* figure = Child<halvorn::ui::GeometryFigure>(form1, "Picture1");
    QCOMPARE(figure->geometry(), QRect(520, 16, 432, 400));
    const QStringList captions = halvorn::ui::GeometryFigure::Captions();
    for (const char* expected :
         {"X線管球", "固有ろ過", "付加 フィルタ", "ボウタイフィルタ", "①焦点-回転中心間距離",
          "②回転中心における 半価層実測値", "③この線上の 照射線量プロファイル"})
        QVERIFY2(captions.contains(QString::fromUtf8(expected)), expected);
    // It paints something beyond its white background.
    const QImage image = figure->grab().toImage();
    int inked = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            inked += image.pixelColor(x, y) != QColor(Qt::white);
    QVERIFY2(inked > 1000, qPrintable(QStringLiteral("only %1 inked pixels").arg(inked)));
    QVERIFY(Child<QLabel>(form1, "Picture2")->pixmap().width() > 0);
    QCOMPARE(Child<QLabel>(form1, "Picture2")->geometry(), QRect(456, 392, 32, 32));

    // The version and the working folder, on a line of its own that covers none of the screen's elements.
    auto* folderLine = Child<QLabel>(form1, "WorkingFolder");
    QVERIFY(folderLine->isVisible());
    QVERIFY2(folderLine->text().startsWith("Halvorn " + QString::fromStdString(halvorn::ProgramVersion())),
             qPrintable(folderLine->text()));
    QCOMPARE(folderLine->toolTip(), QDir::toNativeSeparators(QDir::currentPath()));
    for (QWidget* other : form1.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY2(other == folderLine || !other->geometry().intersects(folderLine->geometry()),
                 qPrintable(other->objectName()));
    SaveScreenshot(form1, "form1.png");
    QVERIFY(s.exits.isEmpty());
}

void ShellTest::newCalculationShowsTheCentreAxisScreen() {
    Session s;
    s.app.Start();
    State().PlotCursorShown = 1;
    Click(s.app.form1(), "Command1");
    QVERIFY2(s.presenter.entries.empty(), qPrintable(s.presenter.Texts().join('|')));
    QCOMPARE(VisibleScreens(), QStringList{"Form2"});
    QWidget& form2 = s.app.form2();
    QCOMPARE(Child<QLineEdit>(form2, "Text1")->text(), QStringLiteral("120"));
    QCOMPARE(Child<QLineEdit>(form2, "Text13")->text(), QString());
    QVERIFY(!Child<QPushButton>(form2, "Command4")->isEnabled());
    QCOMPARE(State().PlotCursorShown, 0);
    // The table has been loaded and the empty axes drawn.
    QVERIFY(State().MuAluminium[100] > 0);
    QVERIFY(!s.app.form2().Picture3().Ops().empty());
    QVERIFY(s.exits.isEmpty());

    // Back by cancel, then Enter on the focused "新規計算" starts a calculation as a click does.
    Click(form2, "Command3");
    auto* command1 = Child<QPushButton>(s.app.form1(), "Command1");
    command1->setFocus();
    QTest::keyClick(command1, Qt::Key_Return);
    QCOMPARE(VisibleScreens(), QStringList{"Form2"});
}

// A second new calculation resets the centre-axis screen only: the dose-profile entries of the first one
// stay until "次へ進む" empties them.
void ShellTest::secondNewCalculationKeepsTheDoseProfile() {
    Session s;
    s.app.Start();
    Form2& form2 = NewCalculation(s.app);
    RunCalibration(form2, QStringLiteral("7.0"));
    Click(form2, "Command4");
    QWidget& form3 = s.app.form3();
    QCOMPARE(VisibleScreens(), QStringList{"Form3"});
    auto* distance = Child<QLineEdit>(form3, "Text1");
    QTest::keyClicks(distance, QStringLiteral("60"));
    Click(form3, "Command2");
    QCOMPARE(VisibleScreens(), QStringList{"Form1"});

    NewCalculation(s.app);
    QCOMPARE(VisibleScreens(), QStringList{"Form2"});
    QCOMPARE(Child<QLineEdit>(form2, "Text13")->text(), QString());
    QVERIFY(Child<QRadioButton>(form2, "Option13")->isChecked());
    QVERIFY(!Child<QPushButton>(form2, "Command4")->isEnabled());
    QCOMPARE(distance->text(), QStringLiteral("60"));

    RunCalibration(form2, QStringLiteral("7.0"));
    Click(form2, "Command4");
    QCOMPARE(distance->text(), QString());
}

void ShellTest::resultsSearchOpensTheBrowser() {
    Session s;
    s.app.Start();
    Click(s.app.form1(), "Command3");
    QCOMPARE(VisibleScreens(), QStringList{"Form4"});

    // Back to the start screen: the dose-profile screen and the bowtie figure were never opened, and
    // hiding them does not create them.
    Click(s.app.form4(), "Command2");
    QCOMPARE(VisibleScreens(), QStringList{"Form1"});
    QVERIFY(!s.app.hasForm3());
    QVERIFY(!s.app.hasForm6());
}

// Every transition shows its target before it hides its source, so some screen is always on view; only
// the centre-axis screen's cancel (and its close box) hides first.
void ShellTest::transitionsShowTheTargetFirst() {
    Session s;
    ScreenLog log;
    s.app.Start();
    QCOMPARE(log.Take(), QStringList{"Form1 shown"});

    Form2& form2 = NewCalculation(s.app);
    QCOMPARE(log.Take(), (QStringList{"Form2 shown", "Form1 hidden"}));
    Click(form2, "Command3");
    QCOMPARE(log.Take(), (QStringList{"Form2 hidden", "Form1 shown"}));
    NewCalculation(s.app);
    log.Take();
    form2.close();
    QCOMPARE(log.Take(), (QStringList{"Form2 hidden", "Form1 shown"}));

    NewCalculation(s.app);
    RunCalibration(form2, QStringLiteral("7.0"));
    QCOMPARE(log.Take(), (QStringList{"Form2 shown", "Form1 hidden", "Form5 shown", "Form5 hidden"}));
    Click(form2, "Command4");
    QCOMPARE(log.Take(), (QStringList{"Form3 shown", "Form2 hidden"}));
    Click(s.app.form3(), "Command2");
    QCOMPARE(log.Take(), (QStringList{"Form1 shown", "Form3 hidden"}));

    Click(s.app.form1(), "Command3");
    QCOMPARE(log.Take(), (QStringList{"Form4 shown", "Form1 hidden"}));
    Click(s.app.form4(), "Command2");
    QCOMPARE(log.Take(), (QStringList{"Form1 shown", "Form4 hidden"}));
    QVERIFY(s.exits.isEmpty());
}

void ShellTest::faultyTableEndsTheProgram_data() {
    QTest::addColumn<int>("records");  // -1: no file at all, -2: a FIFO of that name, -3: a damaged table
    QTest::newRow("missing") << -1;
    QTest::newRow("negative coefficient in record 5") << -3;
    QTest::newRow("299 records") << 299;
    // Opening a FIFO for reading waits for a writer: the program would freeze at "新規計算".
    QTest::newRow("FIFO") << -2;
}

void ShellTest::faultyTableEndsTheProgram() {
    QFETCH(int, records);
    WorkingFolder folder;
    QVERIFY(folder.Entered());
    const QString table = folder.FilePath(QStringLiteral("MUs2022.dat"));
    if (records == -2)
        QVERIFY(::mkfifo(QFile::encodeName(table).constData(), 0644) == 0);
    if (records >= 0 || records == -3) {
        QFile file(table);
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 1; i <= (records == -3 ? 300 : records); ++i) {
            const QString line = i == 5 && records == -3 ? QStringLiteral("%1,1,-1,1,1,1,0\n")
                                                         : QStringLiteral("%1,1,1,1,1,1,0\n");
            file.write(line.arg(0.5 * i).toUtf8());
        }
    }
    Session s;
    // The FIFO is found as the working folder's MUs2022.dat, as the program finds it.
    if (records != -2)
        s.app.tablePathOverride = table.toStdString();
    s.app.Start();
    Click(s.app.form1(), "Command1");

    QCOMPARE(s.exits, QList<int>{1});
    QCOMPARE(s.presenter.entries.size(), size_t(1));
    const auto& box = s.presenter.entries.front();
    QCOMPARE(box.icon, MessagePresenter::Icon::Critical);
    QVERIFY2(box.text.contains(QStringLiteral("MUs2022.dat")), qPrintable(box.text));
    if (records == -3)
        QVERIFY2(box.text.contains(QStringLiteral("record 5, column 3")), qPrintable(box.text));
    // Nothing of the new calculation happened: the centre-axis screen was neither reset nor shown.
    QVERIFY(!VisibleScreens().contains(QStringLiteral("Form2")));
}

void ShellTest::exitIconAndCloseBoxEndTheProgram() {
    Session s;
    s.app.Start();
    Click(s.app.form1(), "Command2");
    QCOMPARE(s.exits, QList<int>{0});

    s.app.form1().close();
    QCOMPARE(s.exits, (QList<int>{0, 0}));
}

void ShellTest::centreAxisCloseBoxActsAsCancel() {
    Session s;
    s.app.Start();
    Click(s.app.form1(), "Command1");
    QCOMPARE(VisibleScreens(), QStringList{"Form2"});
    s.app.form2().close();
    QCOMPARE(VisibleScreens(), QStringList{"Form1"});
    QVERIFY(s.app.form2().Picture3().Ops().empty());
    QVERIFY(s.exits.isEmpty());
}

void ShellTest::busyDialogShowsOnlyDuringARun() {
    Session s;
    s.app.Start();
    Click(s.app.form1(), "Command1");
    QWidget& form2 = s.app.form2();
    QWidget& form5 = s.app.form5();
    QVERIFY(!form5.isVisible());

    // Its look: frameless, white, fixed size, the two texts at their places, never taking the focus.
    QCOMPARE(form5.size(), QSize(375, 170));
    QVERIFY(form5.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(form5.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    QVERIFY(form5.testAttribute(Qt::WA_ShowWithoutActivating));
    // Not above every window: a warning box of the run must come out on top of it.
    QVERIFY(!(form5.windowFlags() & Qt::WindowStaysOnTopHint));
    QCOMPARE(Child<QLabel>(form5, "Label1")->text(), QStringLiteral("ただいま計算中"));
    QCOMPARE(Child<QLabel>(form5, "Label1")->pos(), QPoint(88, 40));
    QCOMPARE(Child<QLabel>(form5, "Label2")->text(), QStringLiteral("しばらくお待ちください"));
    QCOMPARE(Child<QLabel>(form5, "Label2")->pos(), QPoint(48, 88));

    Child<QLineEdit>(form2, "Text13")->setText(QStringLiteral("7.0"));
    bool seen = false, form2Visible = false, ownedByForm2 = false;
    QImage frame;
    QTimer::singleShot(0, &form2, [&] {
        seen = form5.isVisible();
        form2Visible = form2.isVisible();
        ownedByForm2 =
            form5.windowHandle() && form5.windowHandle()->transientParent() == form2.windowHandle();
        frame = form5.grab().toImage();
        SaveScreenshot(form5, "form5.png");
    });
    Click(form2, "Command1");
    QVERIFY2(seen, "the busy dialog was not up at the run's first yield");
    QVERIFY2(form2Visible, "the screen that started the run stays where it is");
    QVERIFY2(ownedByForm2, "the busy dialog is not kept above the screen that started the run");
    QVERIFY(!form5.isVisible());
    QVERIFY(Child<QPushButton>(form2, "Command4")->isEnabled());

    // The red frame three pixels wide from one pixel in; white inside it.
    QVERIFY(!frame.isNull());
    const qreal dpr = frame.devicePixelRatio();
    const auto at = [&](int x, int y) { return frame.pixelColor(int(x * dpr), int(y * dpr)); };
    for (int d : {1, 2, 3})
        QCOMPARE(at(d, 85), QColor(255, 0, 0));
    QCOMPARE(at(5, 85), QColor(Qt::white));
    QCOMPARE(at(0, 85), QColor(Qt::white));
}

// The start screen, the centre-axis screen and the busy dialog open with their client area in the middle
// of the screen they appear on (a window frame may shift it by its title bar).
// The manual line is a link (underlined, pointing hand, the file as tool tip): a click hands the manual
// to the desktop; with no manual, or one the desktop cannot open, a box says where it is expected.
void ShellTest::manualLineOpensTheManual() {
    Session s;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QList<QUrl> opened;
    bool opens = true;
    s.app.openUrl = [&](const QUrl& url) {
        opened << url;
        return opens;
    };
    s.app.manualPathOverride = dir.filePath("manual.md");
    s.app.Start();
    auto* label8 = Child<QLabel>(s.app.form1(), "Label8");
    QVERIFY(label8->font().underline());
    QCOMPARE(label8->cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseClick(label8, Qt::LeftButton);
    QVERIFY(opened.isEmpty());
    QCOMPARE(s.presenter.entries.size(), size_t(1));
    QVERIFY2(s.presenter.Texts().front().contains(dir.filePath("manual.md")),
             qPrintable(s.presenter.Texts()[0]));

    QFile manual(dir.filePath("manual.md"));
    QVERIFY(manual.open(QIODevice::WriteOnly));
    manual.close();
    QTest::mouseClick(label8, Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(dir.filePath("manual.md"))});
    QCOMPARE(s.presenter.entries.size(), size_t(1));
    QHelpEvent tip(QEvent::ToolTip, label8->rect().center(), label8->mapToGlobal(label8->rect().center()));
    QApplication::sendEvent(label8, &tip);
    QCOMPARE(label8->toolTip(), dir.filePath("manual.md"));

    opens = false;
    QTest::mouseClick(label8, Qt::LeftButton);
    QCOMPARE(s.presenter.entries.size(), size_t(2));
    QCOMPARE(s.presenter.entries.back().icon, MessagePresenter::Icon::Warning);
    QVERIFY(s.exits.isEmpty());
}

void ShellTest::screensOpenCentred() {
    Session s;
    s.app.Start();
    QWidget& form2 = NewCalculation(s.app);
    QWidget* form5 = nullptr;
    QRect busyAt;
    QTimer::singleShot(0, &form2, [&] {
        form5 = &s.app.form5();
        busyAt = form5->geometry();
    });
    RunCalibration(s.app.form2(), QStringLiteral("7.0"));
    QVERIFY2(form5, "the run did not yield");
    const QWidget* windows[] = {&s.app.form1(), &form2, form5};
    const QRect placed[] = {s.app.form1().geometry(), form2.geometry(), busyAt};
    for (int i = 0; i < 3; ++i) {
        const QPoint middle = windows[i]->screen()->availableGeometry().center();
        const QPoint off = placed[i].center() - middle;
        QVERIFY2(std::abs(off.x()) <= 8 && off.y() >= -8 && off.y() <= 40,
                 qPrintable(QStringLiteral("%1 is %2, %3 px off the middle")
                                .arg(windows[i]->objectName())
                                .arg(off.x())
                                .arg(off.y())));
    }
}

// The program's own exit, not the recording one: after the faulty-table message every window is closed
// and the event loop ends with code 1, although closing the start screen asks to end with 0.
// The folder given wins; the current folder only when it holds a result file or the table; else Halvorn in
// the documents folder.
void ShellTest::workingFolderOrder() {
    using halvorn::ui::ChooseWorkingFolder;
    using halvorn::ui::WorkingFolderSource;
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString current = root.filePath("current"), documents = root.filePath("documents");
    QVERIFY(QDir().mkpath(current + "/sub.csv"));  // a folder named like a result file is none
    QFile(current + "/notes.txt").open(QIODevice::WriteOnly);
    auto choice = ChooseWorkingFolder({}, current, documents);
    QCOMPARE(choice.source, WorkingFolderSource::Documents);
    QCOMPARE(choice.path, documents + "/Halvorn");
    for (const char* name : {"result.csv", "MUs2022.dat"}) {
        QFile file(current + '/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        choice = ChooseWorkingFolder({}, current, documents);
        QCOMPARE(choice.source, WorkingFolderSource::Current);
        QCOMPARE(choice.path, current);
        file.remove();
    }
    QFile(current + "/result.csv").open(QIODevice::WriteOnly);
    choice = ChooseWorkingFolder(root.filePath("given"), current, documents);
    QCOMPARE(choice.source, WorkingFolderSource::Given);
    QCOMPARE(choice.path, root.filePath("given"));
}

// The documents folder's Halvorn is made with the example on first start only; a folder that cannot be
// worked in is named with the reason.
void ShellTest::workingFolderMadeOnceWithTheExample() {
    using halvorn::ui::MakeWorkingFolder;
    using halvorn::ui::WorkingFolderProblem;
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString example = halvorn::ui::FindExampleResultFile(QCoreApplication::applicationDirPath());
    QVERIFY(QFileInfo(example).isFile());
    const QString folder = root.filePath("Documents/Halvorn");
    QCOMPARE(WorkingFolderProblem(folder), QStringLiteral("no such folder"));
    QCOMPARE(MakeWorkingFolder(folder, example), QString());
    QCOMPARE(WorkingFolderProblem(folder), QString());
    QFile copy(folder + "/ct-120kv.csv");
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QFile original(example);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), original.readAll());
    QVERIFY(copy.remove());
    QCOMPARE(MakeWorkingFolder(folder, example), QString());  // the user's folder is left as it is
    QVERIFY(QDir(folder).isEmpty());

    QFile file(root.filePath("plain"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(WorkingFolderProblem(file.fileName()), QStringLiteral("not a folder"));
    QCOMPARE(MakeWorkingFolder(file.fileName() + "/Halvorn", example), QStringLiteral("cannot be made"));
}

void ShellTest::programOptions() {
    using halvorn::ui::ParseProgramOptions;
    QCOMPARE(ParseProgramOptions({"--folder", "a b"}).folder, QStringLiteral("a b"));
    QCOMPARE(ParseProgramOptions({"--folder=x"}).folder, QStringLiteral("x"));
    QCOMPARE(ParseProgramOptions({"--lang", "en", "--folder", "y"}).language, QStringLiteral("en"));
    QCOMPARE(ParseProgramOptions({"--lang=ja"}).language, QStringLiteral("ja"));
    QVERIFY(ParseProgramOptions({}).error.isEmpty());
    for (const QStringList& bad :
         {QStringList{"--folder"}, QStringList{"--folder="}, QStringList{"x"},
          QStringList{"--folder", "a", "--folder", "b"}, QStringList{"--lang"}, QStringList{"--lang", "de"}})
        QVERIFY2(!ParseProgramOptions(bad).error.isEmpty(), qPrintable(bad.join(' ')));
    // --help and --version are seen after a fault, so they answer whatever else is on the line.
    QVERIFY(ParseProgramOptions({"--bad", "--help"}).help);
    QVERIFY(ParseProgramOptions({"--bad", "--version"}).version);
}

void ShellTest::faultyTableEndsTheRealProgramWithCode1() {
    WorkingFolder folder;
    QVERIFY(folder.Entered());
    RecordingPresenter presenter;
    halvorn::ui::RunModel runs;
    halvorn::ui::Application app(State(), runs, presenter);
    app.tablePathOverride = folder.FilePath(QStringLiteral("MUs2022.dat")).toStdString();
    app.Start();
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] { Click(app.form1(), "Command1"); });
    const int code = loop.exec();
    QCOMPARE(code, 1);
    QCOMPARE(presenter.entries.size(), size_t(1));
    QVERIFY2(VisibleScreens().isEmpty(), qPrintable(VisibleScreens().join(',')));
}

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
