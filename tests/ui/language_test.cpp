// The screens in English and in Japanese. One walk along the user's road (start screen, centre axis with
// its refusals, the busy dialog, the dose profile with its refusals, results, a bad file, the beam-quality
// table, the export dialog with a refusal, the bowtie figure) is made in each language. In English no
// visible text, menu entry, tool tip or message may hold a Japanese character; in Japanese the described
// texts are there and Qt's own dialogs speak Japanese too. In both, every text fits its control and no two
// texts overlap. Also: which language a start chooses, and the start screen's choice.

#include "common/Language.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStyle>
#include <QTableWidget>
#include <QTextDocument>
#include <QtTest>
#include <memory>

#include "UiTestSupport.h"
#include "common/DrawingSurface.h"
#include "common/MultiLineButton.h"
#include "dose_profile/Form3.h"
#include "results/BeamQualityWindow.h"
#include "results/ExportDialog.h"
#include "results/Form4.h"
#include "results/Form6.h"
#include "shell/Form5.h"

using namespace halvorn::ui;
using namespace halvorn::ui::test;

namespace {

// Kana, CJK punctuation and ideographs, full-width forms.
bool HasJapanese(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) ||
            (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

struct Seen {
    QString where;
    QString text;
};

QString PlainText(const QString& text) {
    if (!Qt::mightBeRichText(text))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

// Every text of a visible window a user can read: its title, the texts and tool tips of its visible
// controls, table headings, and the entries of its menus (shown or not).
void CollectTexts(QWidget& window, QList<Seen>& seen) {
    const QString name = window.objectName();
    seen.append({name, window.windowTitle()});
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const QString where = name + "." + w->objectName();
        if (auto* menu = qobject_cast<QMenu*>(w)) {
            for (QAction* action : menu->actions())
                seen.append({where, action->text()});
            continue;
        }
        if (!w->isVisibleTo(&window))
            continue;
        seen.append({where, w->toolTip()});
        if (auto* label = qobject_cast<QLabel*>(w))
            seen.append({where, PlainText(label->text())});
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            seen.append({where, button->text()});
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            seen.append({where, group->title()});
        else if (auto* field = qobject_cast<QLineEdit*>(w))
            seen.append({where, field->placeholderText()});
        else if (auto* table = qobject_cast<QTableWidget*>(w))
            for (int c = 0; c < table->columnCount(); ++c)
                if (table->horizontalHeaderItem(c))
                    seen.append({where, table->horizontalHeaderItem(c)->text()});
    }
}

// The ink of a label's text, in the window's coordinates, for the overlap check: the text is placed in the
// label as its alignment puts it, and each line's ink is measured from its baseline.
QRect InkRect(QWidget& window, QLabel* label, const QString& text, const QRect& room) {
    const QFontMetrics metrics(label->font());
    const QStringList lines = text.split('\n');
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const QRect box = QStyle::alignedRect(Qt::LeftToRight, label->alignment(),
                                          QSize(width, int(lines.size()) * metrics.height()), room);
    QRect ink;
    for (qsizetype i = 0; i < lines.size(); ++i)
        ink |= metrics.tightBoundingRect(lines[i]).translated(
            box.left(), box.top() + int(i) * metrics.height() + metrics.ascent());
    return QRect(label->mapTo(&window, ink.topLeft()), ink.size());
}

QSize TextSize(const QFontMetrics& metrics, const QString& text) {
    int width = 0;
    const QStringList lines = text.split('\n');
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    return {width, int(lines.size()) * metrics.height()};
}

// Texts wider than their control, multi-line texts taller than it, and texts lying over one another.
QStringList FitProblems(QWidget& window) {
    QStringList problems;
    QList<QPair<QString, QRect>> extents;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        // The title's shadow lies under it on purpose; the results screen's comment line shows what the
        // user typed, of any length.
        if (!w->isVisibleTo(&window) || w->objectName() == QLatin1String("TitleShadow") ||
            (window.objectName() == QLatin1String("Form4") && w->objectName() == QLatin1String("Label36")))
            continue;
        const QString where = window.objectName() + "." + w->objectName();
        const QFontMetrics metrics(w->font());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            const QString text = PlainText(label->text());
            if (text.isEmpty() || label->wordWrap())
                continue;
            const QSize size = TextSize(metrics, text);
            const QRect room = label->contentsRect().adjusted(label->margin(), 0, -label->margin(), 0);
            const bool tall = text.contains('\n') && size.height() > room.height() + metrics.leading();
            if (size.width() > room.width() || tall)
                problems << QStringLiteral("%1 \"%2\" needs %3×%4, has %5×%6")
                                .arg(where, text)
                                .arg(size.width())
                                .arg(size.height())
                                .arg(room.width())
                                .arg(room.height());
            extents.append({where, InkRect(window, label, text, room)});
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            QString text = button->text();
            text.remove('&');
            if (text.isEmpty())
                continue;
            if (dynamic_cast<MultiLineButton*>(w)) {
                // Broken at blanks and wrapped inside a 4-pixel margin: its lines must fit the face's height,
                // and a word in Latin letters (which is not broken) its width.
                const QRect face = button->rect().adjusted(4, 4, -4, -4);
                const QString lines = QString(text).replace(' ', '\n');
                const QRect needed = metrics.boundingRect(face, Qt::AlignCenter | Qt::TextWordWrap, lines);
                int widest = 0;
                for (const QString& word : text.split(' ', Qt::SkipEmptyParts))
                    if (!HasJapanese(word))
                        widest = std::max(widest, metrics.horizontalAdvance(word));
                if (needed.height() > face.height() || widest > face.width())
                    problems << QStringLiteral("%1 \"%2\" needs %3×%4, has %5×%6")
                                    .arg(where, text)
                                    .arg(std::max(widest, needed.width()))
                                    .arg(needed.height())
                                    .arg(face.width())
                                    .arg(face.height());
            } else if (metrics.horizontalAdvance(text) + 6 > button->width()) {
                problems << QStringLiteral("%1 \"%2\" needs %3 px, has %4")
                                .arg(where, text)
                                .arg(metrics.horizontalAdvance(text) + 6)
                                .arg(button->width());
            }
            extents.append({where, QRect(w->mapTo(&window, QPoint()), w->size())});
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            if (w->sizeHint().width() > w->width())
                problems << QStringLiteral("%1 \"%2\" needs %3 px, has %4")
                                .arg(where, static_cast<QAbstractButton*>(w)->text())
                                .arg(w->sizeHint().width())
                                .arg(w->width());
            extents.append({where, QRect(w->mapTo(&window, QPoint()), w->size())});
        } else if (auto* surface = qobject_cast<DrawingSurface*>(w)) {
            // The texts drawn on a graph or figure: inside the drawing, and clear of one another.
            std::vector<std::pair<QString, QRect>> drawn;
            for (const DrawingSurface::Op& op : surface->Ops()) {
                if (op.kind != DrawingSurface::Op::Kind::Text)
                    continue;
                const QFontMetrics opMetrics(op.font);
                const QRect ink = opMetrics.tightBoundingRect(op.text).translated(
                    surface->ToPixels(op.from).toPoint() + QPoint(0, opMetrics.ascent()));
                if (!surface->contentsRect().contains(ink))
                    problems << QStringLiteral("%1 drawn \"%2\" leaves the drawing").arg(where, op.text);
                for (const auto& [text, other] : drawn)
                    if (other.intersects(ink))
                        problems
                            << QStringLiteral("%1 drawn \"%2\" overlaps \"%3\"").arg(where, op.text, text);
                drawn.emplace_back(op.text, ink);
            }
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            if (metrics.horizontalAdvance(group->title()) + 16 > group->width())
                problems << QStringLiteral("%1 \"%2\" is wider than its box").arg(where, group->title());
        } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
            const QHeaderView* header = table->horizontalHeader();
            const QFontMetrics headerMetrics(header->font());
            for (int c = 0; c < table->columnCount(); ++c) {
                const QTableWidgetItem* item = table->horizontalHeaderItem(c);
                if (!item)
                    continue;
                const QSize size = TextSize(headerMetrics, item->text());
                if (size.width() > header->sectionSize(c) || size.height() > header->height())
                    problems << QStringLiteral("%1 heading \"%2\" needs %3×%4, has %5×%6")
                                    .arg(where, item->text())
                                    .arg(size.width())
                                    .arg(size.height())
                                    .arg(header->sectionSize(c))
                                    .arg(header->height());
            }
        }
    }
    for (qsizetype i = 0; i < extents.size(); ++i)
        for (qsizetype j = i + 1; j < extents.size(); ++j)
            if (extents[i].second.intersects(extents[j].second))
                problems << extents[i].first + " overlaps " + extents[j].first;
    return problems;
}

}  // namespace

class LanguageTest : public ScreenTest {
    Q_OBJECT

private:
    QList<Seen> seen_;
    QStringList misfits_;
    QByteArray saved_;  // the result file saved along the road

    // The texts and the fit of every window on view now.
    void look() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible() || qobject_cast<QMenu*>(window))
                continue;
            CollectTexts(*window, seen_);
            for (const QString& problem : FitProblems(*window))
                if (!misfits_.contains(problem))
                    misfits_ << problem;
        }
    }
    // With HALVORN_SCREENSHOT_DIR set, the window is saved as <dir>/<language code>/<file>.
    void shoot(QWidget& window, const char* file) {
        if (!ScreenshotsWanted())
            return;
        const QString dir =
            qEnvironmentVariable("HALVORN_SCREENSHOT_DIR") + "/" + LanguageCode(InstalledLanguage());
        QDir().mkpath(dir);
        QTest::qWait(300);
        window.grab().save(dir + "/" + file);
    }
    void click(QWidget& form, const char* button) {
        look();
        QTest::mouseClick(Child<QPushButton>(form, button), Qt::LeftButton);
    }

    // The road, in the language installed; everything seen along it is in seen_, every message box in the
    // presenter's entries.
    void walk() {
        seen_.clear();
        misfits_.clear();
        QVERIFY(StartRun(State()));
        app().tablePathOverride = HALVORN_TABLE_PATH;
        app().manualPathOverride = QStringLiteral("no-manual-here/manual.md");
        app().Start();
        shoot(app().form1(), "form1.png");
        QLabel* manualLink = Child<QLabel>(app().form1(), "Label8");
        QTest::mouseClick(manualLink, Qt::LeftButton, {}, manualLink->rect().center());

        Form2& form2 = NewCalculation(app());
        shoot(form2, "form2-before-run.png");
        QLineEdit* hvl = Child<QLineEdit>(form2, "Text13");
        for (const char* bad : {"", "abc", "0", "40"}) {
            Retype(hvl, bad);
            click(form2, "Command1");
        }
        Retype(Child<QLineEdit>(form2, "Text1"), "200");
        click(form2, "Command1");
        Retype(Child<QLineEdit>(form2, "Text1"), "120");
        app().ShowBusyDialog(&form2);
        look();
        shoot(app().form5(), "form5.png");
        app().HideBusyDialog();
        RunCalibration(form2, "7.0");
        shoot(form2, "form2-after-run.png");
        click(form2, "Command4");  // 次へ進む

        Form3& form3 = app().form3();
        Retype(form3.Field(1), "5");
        Retype(form3.Field(3), "4,0");
        click(form3, "Command1");  // a distance that is not a number
        Retype(form3.Field(54), "30");
        click(form3, "Command1");
        Retype(form3.Field(54), "2");
        Retype(form3.Field(28), "21.35");
        Retype(form3.Field(3), "4");
        Retype(form3.Field(29), "19.24");
        Retype(form3.Field(4), "8");
        click(form3, "Command1");  // a point beyond the focus
        Retype(form3.Field(1), "60");
        click(form3, "Command1");  // a reading missing
        // The example's profile: ten points every 2 cm at 60 cm.
        Retype(form3.Field(1), "60");
        Retype(form3.Field(54), "10");
        const char* readings[] = {"20.79", "19.24", "17.02", "14.68", "12.42",
                                  "10.26", "8.26",  "6.48",  "4.96",  "3.77"};
        for (int p = 1; p <= 10; ++p) {
            Retype(form3.Field(p + 2), QString::number(2 * p));
            Retype(form3.Field(p + 28), readings[p - 1]);
        }
        click(form3, "Command1");
        click(form3, "Command3");  // the graph of the profile
        shoot(form3, "form3.png");
        click(form3, "Command4");  // 結果を見る

        Form4& form4 = app().form4();
        shoot(form4, "form4-handover.png");
        QTest::keyClicks(Child<QLineEdit>(form4, "Text1"), "walk");
        // A comment Shift-JIS cannot hold is questioned first; the second comment is saved.
        presenter().answers = {QStringLiteral("µ"), QStringLiteral("walk")};
        click(form4, "Command3");  // データ保存
        saved_ = ReadAll("walk.csv");
        click(form4, "Command6");  // the bowtie figure
        shoot(app().form6(), "form6.png");
        click(form4, "CommandBeamQuality");
        shoot(app().beamQualityWindow(), "beam-quality.png");
        click(form4, "CommandExport");
        ExportDialog& dialog = app().exportDialog();
        shoot(dialog, "export-dialog.png");
        Retype(Child<QLineEdit>(dialog, "TextCollimation"), "4x");
        click(dialog, "CommandWrite");
        Retype(Child<QLineEdit>(dialog, "TextCollimation"), "4");
        Retype(Child<QLineEdit>(dialog, "TextFolder"), "out");
        click(dialog, "CommandWrite");  // written, with its notice
        click(form4, "CommandExport");
        click(dialog, "CommandWrite");  // the question before writing over the set
        click(dialog, "CommandCancel");

        // Back to the start, and a damaged result file in the browser.
        click(form4, "Command2");
        QFile example(HALVORN_EXAMPLES_DIR "/ct-120kv.csv");
        QVERIFY(example.open(QIODevice::ReadOnly));
        QFile damaged("damaged.csv");
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(example.readAll().left(4000));
        damaged.close();
        click(app().form1(), "Command3");
        QListWidget* list = Child<QListWidget>(form4, "File1");
        const auto items = list->findItems("damaged.csv", Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        ClickItem(*list, items.front());
        click(form4, "Command1");
        look();

        // Qt's own texts: a field's context menu and a question's buttons.
        {
            const std::unique_ptr<QMenu> menu(hvl->createStandardContextMenu());
            for (QAction* action : menu->actions())
                seen_.append({"QLineEdit menu", action->text()});
        }
        QMessageBox box(QMessageBox::Question, {}, {}, QMessageBox::Yes | QMessageBox::No);
        seen_.append({"QMessageBox", box.button(QMessageBox::Yes)->text()});
        for (const auto& entry : presenter().entries)
            for (const QString& text : {entry.text, entry.caption, entry.line, entry.details})
                seen_.append({"message " + entry.text.left(40), text});
        EndRun();
    }

private slots:
    void cleanupTestCase() { InstallLanguage(Language::Japanese); }

    // --lang, then HALVORN_LANG, then the remembered choice, then the locale of a first start.
    void languageOfAStart() {
        const auto en = Language::English, ja = Language::Japanese;
        const struct {
            LanguageSources sources;
            Language expected;
        } cases[] = {
            {{"", "", {}, ""}, ja},
            {{"", "", {}, "C.UTF-8"}, ja},
            {{"", "", {}, "POSIX"}, ja},
            {{"", "", {}, "de_DE.UTF-8"}, en},
            {{"", "", {}, "ja_JP.UTF-8"}, ja},
            {{"", "", ja, "en_GB.UTF-8"}, ja},
            {{"", "en", ja, ""}, en},
            {{"", "fr", ja, ""}, ja},
            {{"ja", "en", en, "en_US"}, ja},
        };
        for (const auto& c : cases)
            QCOMPARE(ChooseLanguage(c.sources), c.expected);
    }

    // The start screen's choice: the screens come back in English, and the choice is remembered.
    void startScreenChoiceIsRemembered() {
        InstallLanguage(Language::Japanese);
        QVERIFY(StartRun(State()));
        QTemporaryDir settingsDir;
        app().settingsFile = settingsDir.filePath("Halvorn.conf");
        app().Start();
        Click(app().form1(), "LanguageEnglish");
        QCOMPARE(InstalledLanguage(), Language::English);
        QVERIFY(app().form1().isVisible());
        QCOMPARE(Child<QPushButton>(app().form1(), "Command1")->text(), QString("Calculate"));
        QVERIFY(Child<QPushButton>(app().form1(), "LanguageEnglish")->isChecked());
        QCOMPARE(RememberedLanguage(*app().Settings()), std::optional(Language::English));
        Click(app().form1(), "LanguageJapanese");
        QCOMPARE(Child<QPushButton>(app().form1(), "Command1")->text(), QString("新規計算"));
        QCOMPARE(RememberedLanguage(*app().Settings()), std::optional(Language::Japanese));
        EndRun();
    }

    void englishWalkShowsNoJapanese() {
        QVERIFY(InstallLanguage(Language::English));
        walk();
        QStringList japanese;
        for (const Seen& s : seen_)
            if (HasJapanese(s.text) && !s.where.endsWith(".LanguageJapanese"))
                japanese << s.where + ": " + s.text;
        for (const QString& text : japanese)
            qInfo().noquote() << "Japanese in English:" << text;
        QVERIFY2(japanese.isEmpty(), qPrintable(QString::number(japanese.size()) + " texts, listed above"));
        for (const QString& text : misfits_)
            qInfo().noquote() << "Does not fit:" << text;
        QVERIFY2(misfits_.isEmpty(), qPrintable(QString::number(misfits_.size()) + " texts, listed above"));
        QVERIFY(seen_.size() > 300);
    }

    void japaneseWalkShowsTheDescribedTexts() {
        QVERIFY(InstallLanguage(Language::Japanese));
        walk();
        QStringList texts;
        for (const Seen& s : seen_)
            texts << s.text;
        for (const char* described :
             {"新規計算", "結果検索", "計算する", "次へ進む", "スペクトル計算", "結果を見る", "線質一覧",
              "エクスポート", " 実測半価層を入力して下さい ", " 入力データに誤りがあります！ "})
            QVERIFY2(texts.contains(QString::fromUtf8(described)), described);
        // Qt's own texts are Japanese as well.
        QVERIFY2(texts.contains(QStringLiteral("はい(&Y)")), qPrintable(texts.filter("Y").join('|')));
        for (const QString& text : misfits_)
            qInfo().noquote() << "Does not fit:" << text;
        QVERIFY2(misfits_.isEmpty(), qPrintable(QString::number(misfits_.size()) + " texts, listed above"));
    }

    // The result file does not depend on the language of the screens.
    void resultFileIsTheSameInBothLanguages() {
        QByteArray saved[2];
        for (const Language language : {Language::Japanese, Language::English}) {
            InstallLanguage(language);
            walk();
            saved[int(language)] = saved_;
        }
        QVERIFY(saved[0].contains("\r\n"));
        QVERIFY(saved[0] == saved[1]);
    }
};

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
