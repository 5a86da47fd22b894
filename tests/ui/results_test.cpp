// The results screen, the point spectrum display, the bowtie figure and the hand-over, driven as a user
// would with result files prepared directly in a temporary working folder.

#include <sys/stat.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <cmath>

#include "UiTestSupport.h"
#include "common/DrawingSurface.h"
#include "common/MessagePresenter.h"
#include "common/Palette.h"
#include "common/ScreenLayout.h"
#include "dose_profile/Form3.h"
#include "engine/CalculationState.h"
#include "engine/InputRanges.h"
#include "engine/NumberText.h"
#include "engine/ResultFile.h"
#include "results/BeamQualityWindow.h"
#include "results/ExportDialog.h"
#include "results/Form4.h"
#include "results/Form6.h"
#include "shell/Application.h"
#include "shell/Form1.h"

using halvorn::CalculationState;
using halvorn::ui::DrawingSurface;
using Op = DrawingSurface::Op;
using namespace halvorn::ui::test;

namespace {

CalculationState state;

// A calculation of `n` points: distances 3 p cm, path lengths 5 + 2.5 p mm, spectra of the same parabolic
// shape over bins 2..240 with the height 1 - 0.1 p.
void FillState(int n) {
    state = CalculationState{};
    state.TubeVoltageKv = 120;
    state.InherentFiltrationMm = 2.5;
    state.AddedAlMm = 1;
    state.AddedCuCm = 0.01;
    state.AddedAgCm = 0.003;
    state.FocusCentreDistanceCm = 60;
    state.ProfilePointCount = n;
    for (int p = 0; p <= n; ++p) {
        state.DoseProfile[0][p] = 3.0 * p;
        state.DoseProfile[1][p] = 1 - 0.05 * p;
        state.BowtieAlMm[p] = 5 + 2.5 * p;
        for (int b = 2; b <= 240; ++b)
            state.PointSpectra[p][b] = (1 - 0.1 * p) * b * (241 - b) / 14520.0;
    }
}

bool IsCurveStart(const Op& op) {
    return op.kind == Op::Kind::Dot && op.from == QPointF(1000, 2100);
}

int CurveCount(const DrawingSurface& plot) {
    int count = 0;
    for (const Op& op : plot.Ops())
        count += IsCurveStart(op);
    return count;
}

// The 598 strokes of the last spectrum curve on the plot.
std::vector<Op> LastCurve(const DrawingSurface& plot) {
    const auto& ops = plot.Ops();
    for (int i = int(ops.size()) - 1; i >= 0; --i) {
        if (!IsCurveStart(ops[i]))
            continue;
        std::vector<Op> strokes;
        for (size_t j = i + 1; j < ops.size() && ops[j].kind == Op::Kind::Line; ++j)
            strokes.push_back(ops[j]);
        return strokes;
    }
    return {};
}

double TopOf(const std::vector<Op>& curve) {
    double top = 1e300;
    for (const Op& op : curve)
        top = std::min(top, op.to.y());
    return top;
}

// True when the curve is point q's spectrum against the divisor.
bool CurveIs(const std::vector<Op>& curve, int q, double divisor) {
    if (curve.size() != 598)
        return false;
    for (int i = 2; i <= 300; ++i) {
        const double y = 2100 - 2000 * state.PointSpectra[q][i] / divisor;
        if (std::abs(curve[2 * (i - 2)].to.y() - y) > 1e-9)
            return false;
    }
    return true;
}

bool AllFinite(const DrawingSurface& plot) {
    for (const Op& op : plot.Ops())
        if (!std::isfinite(op.from.x()) || !std::isfinite(op.from.y()) || !std::isfinite(op.to.x()) ||
            !std::isfinite(op.to.y()))
            return false;
    return true;
}

bool SaveFile(const QString& name, const std::string& comment) {
    return halvorn::SaveResultFile(RecordOfState(state), comment, name.toStdString());
}

}  // namespace

class ResultsTest : public ScreenTest {
    Q_OBJECT

private:
    halvorn::ui::Form4& form4() { return app().form4(); }
    template <typename T>
    T* child(const char* name) {
        return Child<T>(form4(), name);
    }
    QString label(const char* name) { return LabelText(form4(), name); }
    QString lastMessage() {
        return presenter().entries.empty() ? QString() : presenter().entries.back().text;
    }

    void clickFile(const QString& name) {
        QListWidget* list = child<QListWidget>("File1");
        const auto items = list->findItems(name, Qt::MatchExactly);
        QVERIFY2(!items.isEmpty(), qPrintable("not listed: " + name));
        ClickItem(*list, items.front());
    }
    void click(const char* button) { Click(form4(), button); }
    // The hand-over after a calculation whose results FillState made: the record first, as the runs leave it.
    void HandOver() {
        app().runs().Set(RecordOfState(state));
        app().HandOverToResults();
    }
    // Types a point number and presses "表示".
    void showPoint(const QString& text) {
        QLineEdit* text2 = child<QLineEdit>("Text2");
        text2->clear();
        QTest::keyClicks(text2, text);
        click("Command4");
    }
    QStringList fileList() {
        QStringList names;
        QListWidget* list = child<QListWidget>("File1");
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }

private slots:
    void init() { QVERIFY(StartRun(state)); }
    void cleanup() { EndRun(); }

    // The hand-over shows the record the runs completed, whatever the working state holds afterwards.
    void handOverShowsTheRecord() {
        FillState(3);
        app().runs().Set(RecordOfState(state));
        FillState(5);
        state.DoseProfile[0][2] = 99;
        app().HandOverToResults();
        QCOMPARE(label("Label13"), QString("3"));
        showPoint("2");
        QCOMPARE(label("Label14"), QString("6.0"));
        showPoint("4");
        QCOMPARE(lastMessage(), QString(" ポイントNo.が範囲外です "));
    }

    // The results screen's boxes in twips, and the bowtie figure: its window, and the fixed figure lying
    // exactly over the outline's coordinates (twips (X, Y) of the drawing area = user (X / 3.75 - 1000,
    // 1704 - Y / 3.75)), so the outline stands on the base line and is centred on the axis.
    void layoutOfResultsAndBowtieFigure() {
        using halvorn::ui::TwipsRect;
        QCOMPARE(form4().windowTitle(), QString(" Halvorn-2"));
        QCOMPARE(form4().size(), TwipsRect(0, 0, 15270, 11325).size());
        // Every control of the layout table lies inside the window, and nothing covers a control the user
        // works by more than the pixel where neighbours of the table touch (a misplaced row would hide it;
        // the drawn lines cross); the captions of the two buttons added to the free space fit.
        const QList<QWidget*> controls =
            form4().findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(controls.size() >= 26);
        const auto worked = [](const QWidget* w) {
            return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
                   qobject_cast<const QAbstractItemView*>(w);
        };
        for (const QWidget* control : controls) {
            QVERIFY2(form4().rect().contains(control->geometry()), qPrintable(control->objectName()));
            for (const QWidget* other : controls)
                QVERIFY2(control == other || !worked(control) || other->objectName().startsWith("Line") ||
                             control->geometry().intersected(other->geometry()).width() <= 1 ||
                             control->geometry().intersected(other->geometry()).height() <= 1,
                         qPrintable(other->objectName() + " covers " + control->objectName()));
        }
        for (const char* added : {"CommandBeamQuality", "CommandExport"}) {
            QPushButton* button = child<QPushButton>(added);
            QVERIFY2(button->sizeHint().width() <= button->width(), added);
        }
        QPushButton* graphClear = child<QPushButton>("Command5");
        QCOMPARE(graphClear->parentWidget(), static_cast<QWidget*>(&form4().Picture3()));
        QCOMPARE(graphClear->geometry(), TwipsRect(18, 6301, 1335, 375));
        QCOMPARE(graphClear->text(), QString("Graph Clear"));

        halvorn::ui::Form6& form6 = app().form6();
        QCOMPARE(form6.windowTitle(), QString(" Bowtie filter"));
        QCOMPARE(form6.size(), TwipsRect(0, 0, 7860, 8490).size());
        QCOMPARE(form6.Picture1().geometry(), TwipsRect(120, 120, 7575, 7575));
        QCOMPARE(Child<QPushButton>(form6, "Command1")->geometry(), TwipsRect(6480, 7800, 1215, 540));
        QCOMPARE(Child<QPushButton>(form6, "Command1")->text(), QString("Close"));
        const DrawingSurface& figure = form6.Figure();
        const DrawingSurface& outline = form6.Picture1();
        const auto onOutline = [&](QPointF twips) {
            return outline.ToUser(figure.mapTo(&outline, figure.ToPixels(twips).toPoint()));
        };
        const struct {
            QPointF twips, user;
        } marks[] = {{{3750, 6390}, {0, 0}},      // axis on the base line
                     {{750, 3765}, {-800, 700}},  // top-left grid corner: -80 mm, 70 mm
                     {{6750, 6015}, {800, 100}},
                     {{0, 0}, {-1000, 1704}}};
        for (const auto& m : marks) {
            const QPointF at = onOutline(m.twips);
            // Within one pixel (about 4 units) of where the figure says it is.
            QVERIFY2(std::abs(at.x() - m.user.x()) < 4.5 && std::abs(at.y() - m.user.y()) < 4.5,
                     qPrintable(QString("twips (%1, %2) lands on (%3, %4)")
                                    .arg(m.twips.x())
                                    .arg(m.twips.y())
                                    .arg(at.x())
                                    .arg(at.y())));
        }
        // The base line and the central axis of the fixed figure, in dark grey, where the outline has y = 0
        // and x = 0.
        int darkLines = 0;
        for (const Op& op : figure.Ops())
            if (op.kind == Op::Kind::Line && op.colour == QColor(64, 64, 64)) {
                ++darkLines;
                if (op.from == QPointF(120, 6390))
                    QCOMPARE(op.to, QPointF(6960, 6390));
                if (op.from == QPointF(3750, 3480))
                    QCOMPARE(op.to, QPointF(3750, 6840));
            }
        QCOMPARE(darkLines, 6);  // axis, base line, two arrow shafts, two arrow-head strokes
    }

    void browseStateChooseAndLoad() {
        FillState(3);
        QVERIFY(SaveFile("b-run.csv", "second, with a comma"));
        QVERIFY(SaveFile("a-run.csv", "第一の測定"));
        QFile notes("notes.txt");
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.close();
        state = CalculationState{};
        app().form1().show();

        app().OpenResultsBrowser();
        QVERIFY(form4().isVisible());
        QVERIFY(!app().form1().isVisible());
        QCOMPARE(fileList(), QStringList({"a-run.csv", "b-run.csv"}));
        for (const char* hidden : {"Label1", "Text1", "Command3", "Picture2"})
            QVERIFY2(!child<QWidget>(hidden)->isVisible(), hidden);
        for (const char* disabled : {"Command1", "Command4", "Command6"})
            QVERIFY2(!child<QWidget>(disabled)->isEnabled(), disabled);
        QCOMPARE(child<QLineEdit>("Text2")->text(), QString());
        for (const char* value : {"Label36", "Label22", "Label17", "Label20", "Label25", "Label26", "Label27",
                                  "Label13", "Label14", "Label15"})
            QVERIFY2(label(value).isEmpty(), value);
        QCOMPARE(CurveCount(form4().Picture3()), 0);
        QCOMPARE(child<QPushButton>("Command6")->text(), QString("ボウタイフィルタの 形状を表示"));

        // "OK" with no file chosen: a warning and nothing else.
        form4().Command1_Click();
        QCOMPARE(lastMessage(), QString(" ファイルが選択されていません "));
        QCOMPARE(presenter().entries.back().icon, halvorn::ui::MessagePresenter::Icon::Warning);
        QVERIFY(label("Label22").isEmpty());

        // Choosing a file shows its comment without loading it.
        clickFile("b-run.csv");
        QCOMPARE(label("Label36"), QString("second, with a comma"));
        QVERIFY(child<QWidget>("Command1")->isEnabled());
        QVERIFY(!child<QWidget>("Command4")->isEnabled());
        QCOMPARE(state.ProfilePointCount, 0.0);
        clickFile("a-run.csv");
        QCOMPARE(label("Label36"), QString("第一の測定"));

        // A file that vanished after listing: a warning, no comment of another file beside it, and no
        // "OK" for it.
        QVERIFY(QFile::remove("b-run.csv"));
        const size_t before = presenter().entries.size();
        clickFile("b-run.csv");
        QCOMPARE(presenter().entries.size(), before + 1);
        QVERIFY2(lastMessage().contains("b-run.csv"), qPrintable(lastMessage()));
        QCOMPARE(label("Label36"), QString());
        QVERIFY(!child<QWidget>("Command1")->isEnabled());

        clickFile("a-run.csv");
        click("Command1");
        QCOMPARE(label("Label22"), QString("60.0"));
        QCOMPARE(label("Label17"), QString("120"));
        QCOMPARE(label("Label20"), QString("2.50"));
        QCOMPARE(label("Label25"), QString("1.00"));
        QCOMPARE(label("Label26"), QString("0.10"));
        QCOMPARE(label("Label27"), QString("0.03"));
        QCOMPARE(label("Label13"), QString("3"));
        QCOMPARE(label("Label14"), QString("0"));
        QCOMPARE(label("Label15"), QString("5.000"));
        QCOMPARE(child<QLineEdit>("Text2")->text(), QString("0"));
        QVERIFY(child<QWidget>("Command1")->isEnabled());
        QVERIFY(child<QWidget>("Command4")->isEnabled());
        QVERIFY(child<QWidget>("Command6")->isEnabled());
        QVERIFY(!child<QWidget>("Command3")->isVisible());
        QCOMPARE(CurveCount(form4().Picture3()), 1);
        QCOMPARE(TopOf(LastCurve(form4().Picture3())), 100.0);

        // Graph Clear leaves the empty axes and keeps the labels.
        click("Command5");
        QCOMPARE(CurveCount(form4().Picture3()), 0);
        QCOMPARE(label("Label22"), QString("60.0"));

        // Back: the start screen shows, the results screen and the bowtie figure hide; so does the close box.
        click("Command6");
        QVERIFY(app().form6().isVisible());
        click("Command2");
        QVERIFY(app().form1().isVisible());
        QVERIFY(!form4().isVisible());
        QVERIFY(!app().form6().isVisible());
        app().OpenResultsBrowser();
        form4().close();
        QVERIFY(!form4().isVisible());
        QVERIFY(app().form1().isVisible());
    }

    void handOverShowsTheCalculation() {
        FillState(10);
        app().form3().show();
        HandOver();
        QVERIFY(form4().isVisible());
        QVERIFY(!app().form3().isVisible());
        QCOMPARE(label("Label22"), QString("60"));
        QCOMPARE(label("Label17"), QString("120"));
        QCOMPARE(label("Label20"), QString("2.5"));
        QCOMPARE(label("Label25"), QString("1"));
        QCOMPARE(label("Label26"), QString("0.1"));
        QCOMPARE(label("Label27"), QString("0.03"));
        QCOMPARE(label("Label13"), QString("10"));
        QCOMPARE(label("Label14"), QString("0"));
        QCOMPARE(label("Label15"), QString("5.000"));
        QCOMPARE(label("Label36"), QString());
        QCOMPARE(child<QLineEdit>("Text2")->text(), QString("0"));
        QCOMPARE(child<QLineEdit>("Text1")->text(), QString());
        QVERIFY(!child<QCheckBox>("Check1")->isChecked());
        QVERIFY(!child<QWidget>("Command1")->isEnabled());
        for (const char* on : {"Command3", "Command4", "Command6"})
            QVERIFY2(child<QWidget>(on)->isEnabled(), on);
        for (const char* shown : {"Label1", "Text1", "Command3", "Picture2"})
            QVERIFY2(child<QWidget>(shown)->isVisible(), shown);

        // One curve, the centre spectrum against its own peak: the highest step on the frame's top edge,
        // bin 1 not drawn, the last step 7.5 units right of the frame.
        const DrawingSurface& plot = form4().Picture3();
        QCOMPARE(CurveCount(plot), 1);
        QCOMPARE(state.SpectrumPeak, 120.0 * 121.0 / 14520.0);
        const auto curve = LastCurve(plot);
        QVERIFY(CurveIs(curve, 0, state.SpectrumPeak));
        QCOMPARE(TopOf(curve), 100.0);
        QCOMPARE(curve.front().from, QPointF(1000, 2100));
        QCOMPARE(curve.front().to.x(), 1022.5);  // the slant up to the left end of bin 2's step
        QCOMPARE(curve.back().to.x(), 5507.5);
        QVERIFY(presenter().entries.empty());
        SaveScreenshot(form4(), "form4-handover-test.png", 200);
    }

    void zeroCentreSpectrumWarnsInsteadOfDrawing() {
        // Hand-over, load and point display, each with an all-zero centre spectrum.
        FillState(2);
        state.PointSpectra[0].fill(0);
        QVERIFY(SaveFile("zero.csv", "zero centre"));
        HandOver();
        QCOMPARE(state.SpectrumPeak, 0.0);
        QCOMPARE(CurveCount(form4().Picture3()), 0);
        QCOMPARE(presenter().entries.size(), size_t(1));
        QCOMPARE(presenter().entries.back().icon, halvorn::ui::MessagePresenter::Icon::Warning);
        QVERIFY(AllFinite(form4().Picture3()));

        showPoint("1");  // the centre peak is the divisor: nothing to draw against
        QCOMPARE(CurveCount(form4().Picture3()), 0);
        QCOMPARE(presenter().entries.size(), size_t(2));
        QCOMPARE(label("Label14"), QString("3.0"));

        child<QCheckBox>("Check1")->setChecked(true);
        showPoint("1");  // its own peak is fine
        QCOMPARE(CurveCount(form4().Picture3()), 1);
        QCOMPARE(TopOf(LastCurve(form4().Picture3())), 100.0);
        showPoint("0");  // the centre against its own zero peak
        QCOMPARE(CurveCount(form4().Picture3()), 1);
        QCOMPARE(presenter().entries.size(), size_t(3));

        app().OpenResultsBrowser();
        clickFile("zero.csv");
        click("Command1");
        QCOMPARE(CurveCount(form4().Picture3()), 0);
        QCOMPARE(presenter().entries.size(), size_t(4));
        QCOMPARE(label("Label13"), QString("2"));
        QVERIFY(AllFinite(form4().Picture3()));
    }

    void saveDialogue() {
        FillState(4);
        HandOver();
        QLineEdit* text1 = child<QLineEdit>("Text1");
        QTest::keyClicks(text1, "run1");

        // No comment, then a cancelled dialog: a warning each time and nothing written.
        presenter().answers = {QString(), std::nullopt};
        click("Command3");
        QCOMPARE(lastMessage(), QString(" コメントが入力されていません "));
        click("Command3");
        QCOMPARE(lastMessage(), QString(" コメントが入力されていません "));
        QCOMPARE(presenter().entries.size(), size_t(4));
        QVERIFY(presenter().entries[0].input);
        QCOMPARE(presenter().entries[0].text, QString("このデータについてのコメントを入力して下さい"));
        QCOMPARE(presenter().entries[0].caption, QString("コメント入力"));
        QVERIFY(!QFile::exists("run1.csv"));
        QVERIFY(child<QWidget>("Command3")->isVisible());

        // A name that is not a plain name in the working folder is refused before the comment is asked for.
        QFile old("keep.csv");
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier result\r\n");
        old.close();
        for (const char* name : {"no/such/dir/x", "..\\x", "", "   "}) {
            presenter().Clear();
            text1->setText(name);
            click("Command3");
            QCOMPARE(presenter().entries.size(), size_t(1));
            QVERIFY2(!presenter().entries[0].input, name);
            QCOMPARE(presenter().entries.back().icon, halvorn::ui::MessagePresenter::Icon::Warning);
            QCOMPARE(form4().focusWidget(), static_cast<QWidget*>(text1));
        }
        QVERIFY(child<QWidget>("Command3")->isVisible());

        // A file that cannot be written (a folder of that name): a warning naming it, the screen as it was,
        // nothing lost.
        QVERIFY(QDir().mkdir("folder.csv"));
        text1->setText("folder");
        presenter().answers = {QString("a comment")};
        presenter().yesNoAnswers = {true};
        click("Command3");
        QVERIFY2(lastMessage().contains("folder.csv"), qPrintable(lastMessage()));
        QCOMPARE(presenter().entries.back().icon, halvorn::ui::MessagePresenter::Icon::Warning);
        QVERIFY(child<QWidget>("Command3")->isVisible());
        QCOMPARE(text1->text(), QString("folder"));
        QVERIFY(!child<QWidget>("Command1")->isEnabled());
        QCOMPARE(ReadAll("keep.csv"), QByteArray("earlier result\r\n"));
        QCOMPARE(QDir().entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList({"keep.csv"}));

        // A save over an existing name asks first, before the comment; No, the default, writes nothing.
        text1->setText("keep");
        presenter().Clear();
        presenter().answers = {QString("測定 1, 120 kV")};
        click("Command3");
        QCOMPARE(presenter().entries.size(), size_t(1));
        QCOMPARE(presenter().entries[0].icon, halvorn::ui::MessagePresenter::Icon::Question);
        QVERIFY2(presenter().entries[0].text.contains("keep.csv"), qPrintable(presenter().entries[0].text));
        QCOMPARE(ReadAll("keep.csv"), QByteArray("earlier result\r\n"));
        QVERIFY(child<QWidget>("Command3")->isVisible());

        // Yes replaces that file with the calculation on show.
        presenter().answers = {QString("測定 1, 120 kV")};
        presenter().yesNoAnswers = {true};
        click("Command3");
        QCOMPARE(lastMessage(), QString(" ファイルを保存しました "));
        QCOMPARE(presenter().entries.back().icon, halvorn::ui::MessagePresenter::Icon::None);
        const std::string expected = halvorn::FormatResultFile(RecordOfState(state), "測定 1, 120 kV");
        QCOMPARE(ReadAll("keep.csv"), QByteArray::fromStdString(expected));
        QVERIFY(fileList().contains("keep.csv"));
        for (const char* hidden : {"Label1", "Text1", "Command3", "Picture2"})
            QVERIFY2(!child<QWidget>(hidden)->isVisible(), hidden);
        QVERIFY(child<QWidget>("Command1")->isEnabled());

        // The file just saved loads back to the same values.
        clickFile("keep.csv");
        QCOMPARE(label("Label36"), QString("測定 1, 120 kV"));
        click("Command1");
        QCOMPARE(label("Label13"), QString("4"));
        QCOMPARE(label("Label22"), QString("60.0"));
    }

    // Odd names in the working folder: a save onto a FIFO or a read-only file is refused with a warning
    // and changes nothing, a save through a link replaces the file it names (keeping its mode) and the link
    // stays; a 1 GB file in the list is refused at once when it is chosen.
    void saveAndListOddFiles() {
        FillState(2);
        HandOver();
        QLineEdit* text1 = child<QLineEdit>("Text1");
        QVERIFY(::mkfifo("pipe.csv", 0644) == 0);
        QVERIFY(QDir().mkdir("kept"));
        QFile real("kept/real.csv");
        QVERIFY(real.open(QIODevice::WriteOnly));
        real.write("earlier\r\n");
        real.close();
        QVERIFY(QFile::setPermissions("kept/real.csv", QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(QFile::link("kept/real.csv", "link.csv"));
        QVERIFY(QFile::copy("kept/real.csv", "locked.csv"));
        QVERIFY(QFile::setPermissions("locked.csv", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

        for (const char* name : {"pipe", "locked"}) {
            text1->setText(name);
            presenter().answers = {QString("a comment")};
            presenter().yesNoAnswers = {true};  // replace what stands there
            click("Command3");
            QVERIFY2(lastMessage().contains(QString(name) + ".csv"), qPrintable(lastMessage()));
            QCOMPARE(presenter().entries.back().icon, halvorn::ui::MessagePresenter::Icon::Warning);
            QVERIFY(child<QWidget>("Command3")->isVisible());
        }
        QVERIFY(QFileInfo("pipe.csv").exists() && !QFileInfo("pipe.csv").isFile());
        QCOMPARE(ReadAll("locked.csv"), QByteArray("earlier\r\n"));

        text1->setText("link");
        presenter().answers = {QString("through the link")};
        presenter().yesNoAnswers = {true};
        click("Command3");
        QCOMPARE(lastMessage(), QString(" ファイルを保存しました "));
        QVERIFY(QFileInfo("link.csv").isSymLink());
        QCOMPARE(ReadAll("kept/real.csv"), QByteArray::fromStdString(halvorn::FormatResultFile(
                                               RecordOfState(state), "through the link")));
        struct stat info {};
        QCOMPARE(::stat("kept/real.csv", &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        QCOMPARE(QDir("kept").entryList(QDir::Files | QDir::Hidden), QStringList{"real.csv"});

        QFile huge("huge.csv");
        QVERIFY(huge.open(QIODevice::WriteOnly));
        huge.write("one line without end ");
        QVERIFY(huge.resize(qint64(1) << 30));
        huge.close();
        click("Command2");
        Click(app().form1(), "Command3");
        QVERIFY2(!fileList().contains("huge.csv"), "not a result file, and not read through to find out");
    }

    // The comment survives a save that fails, and characters Shift-JIS cannot hold are named before
    // anything is written: No goes back to the comment as typed, Yes writes "?" for them.
    void commentIsNeitherLostNorSilentlyChanged() {
        FillState(2);
        HandOver();
        QLineEdit* text1 = child<QLineEdit>("Text1");
        QVERIFY(QDir().mkdir("folder.csv"));
        text1->setText("folder");
        presenter().answers = {QString("first try")};
        presenter().yesNoAnswers = {true};
        click("Command3");
        QVERIFY(lastMessage().contains("folder.csv"));
        text1->setText("run");
        presenter().Clear();
        presenter().answers = {QString("5 µGy – é"), QString("5 uGy - e")};
        presenter().yesNoAnswers = {false};
        click("Command3");
        const auto& asked = presenter().entries;
        QCOMPARE(asked.size(), size_t(4));
        QCOMPARE(asked[0].details, QString("first try"));
        QCOMPARE(asked[1].icon, halvorn::ui::MessagePresenter::Icon::Question);
        for (const QString& character : {QString("µ"), QString("–"), QString("é")})
            QVERIFY2(asked[1].text.contains(character), qPrintable(asked[1].text));
        QCOMPARE(asked[2].details, QString("5 µGy – é"));
        QCOMPARE(lastMessage(), QString(" ファイルを保存しました "));
        QVERIFY(ReadAll("run.csv").startsWith("5 uGy - e\r\n"));

        HandOver();
        text1->setText("area");
        presenter().answers = {QString("cm²")};
        presenter().yesNoAnswers = {true};
        click("Command3");
        QVERIFY(ReadAll("area.csv").startsWith("cm?\r\n"));
    }

    // A result file whose comment is not Shift-JIS (saved as UTF-8 by hand) loads with a warning.
    void commentNotInShiftJisIsWarnedOf() {
        FillState(1);
        QVERIFY(SaveFile("sjis.csv", "測定"));
        QByteArray bytes = QByteArray::fromStdString(halvorn::FormatResultFile(RecordOfState(state), "x"));
        bytes.replace(0, 1, QString("測定").toUtf8());
        QFile utf8("utf8.csv");
        QVERIFY(utf8.open(QIODevice::WriteOnly) && utf8.write(bytes) == bytes.size());
        utf8.close();
        app().OpenResultsBrowser();
        clickFile("sjis.csv");
        click("Command1");
        QVERIFY2(presenter().entries.empty(), qPrintable(lastMessage()));
        clickFile("utf8.csv");
        click("Command1");
        QCOMPARE(presenter().entries.size(), size_t(1));
        QVERIFY2(lastMessage().contains("文字化け"), qPrintable(lastMessage()));
        QCOMPARE(label("Label13"), QString("1"));
    }

    // A file named ".csv" (an empty name, as earlier versions saved it) is listed like any other.
    void fileNamedOnlyCsvIsListed() {
        FillState(1);
        QVERIFY(SaveFile(".csv", "no name"));
        HandOver();
        QCOMPARE(fileList(), QStringList{".csv"});
        clickFile(".csv");
        QCOMPARE(label("Label36"), QString("no name"));
        QVERIFY(child<QWidget>("Command1")->isEnabled());
    }

    // A .csv that is not a whole result file is refused by name; nothing on the screen changes.
    void loadRefusesWhatIsNotAResultFile() {
        FillState(3);
        QVERIFY(SaveFile("good.csv", "good"));
        const QByteArray good = ReadAll("good.csv");
        QFile cut("cut.csv");
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(good.left(good.indexOf("\r\n 050.0,")));
        cut.close();
        QFile profile("profile.csv");
        QVERIFY(profile.open(QIODevice::WriteOnly));
        profile.write("# distance_cm,reading\n0,20.79\n2,20.62\n");
        profile.close();
        state = CalculationState{};
        app().OpenResultsBrowser();
        clickFile("good.csv");
        click("Command1");
        const QString voltage = label("Label17");
        const size_t ops = form4().Picture3().Ops().size();
        presenter().Clear();
        clickFile("cut.csv");
        click("Command1");
        QCOMPARE(presenter().entries.size(), size_t(1));
        QVERIFY2(lastMessage().contains("cut.csv"), qPrintable(lastMessage()));
        QCOMPARE(presenter().entries.back().icon, halvorn::ui::MessagePresenter::Icon::Warning);
        QCOMPARE(label("Label17"), voltage);
        QCOMPARE(label("Label13"), QString("3"));
        QCOMPARE(form4().Picture3().Ops().size(), ops);
        QCOMPARE(state.ProfilePointCount, 3.0);
        // The list and the comment go back to the file on show.
        QCOMPARE(fileList(), (QStringList{"cut.csv", "good.csv"}));
        const auto selected = child<QListWidget>("File1")->selectedItems();
        QVERIFY(selected.size() == 1 && selected.front()->text() == "good.csv");
        QCOMPARE(label("Label36"), QString("good"));
    }

    // A file loaded in the result state keeps the save controls, and a save then writes the loaded data.
    void loadInResultStateThenSave() {
        FillState(2);
        QVERIFY(SaveFile("earlier.csv", "earlier"));
        FillState(4);
        HandOver();
        clickFile("earlier.csv");
        click("Command1");
        QCOMPARE(label("Label13"), QString("2"));
        QCOMPARE(state.ProfilePointCount, 2.0);
        for (const char* shown : {"Label1", "Text1", "Command3", "Picture2"})
            QVERIFY2(child<QWidget>(shown)->isVisible(), shown);
        QTest::keyClicks(child<QLineEdit>("Text1"), "again");
        presenter().answers = {QString("loaded")};
        click("Command3");
        QCOMPARE(lastMessage(), QString(" ファイルを保存しました "));
        QCOMPARE(ReadAll("again.csv"),
                 QByteArray::fromStdString(halvorn::FormatResultFile(RecordOfState(state), "loaded")));
        QCOMPARE(ReadAll("again.csv").count("\r\n"), 311);
    }

    // A loaded result file: the buttons wait for the load, the figures come from the table file read on
    // its own (a missing one is named when a window needs it), the state keeps its results, and the export
    // asks for the target angle the file does not hold.
    void loadedFileBeamQualityAndExport() {
        FillState(3);
        QVERIFY(SaveFile("a-run.csv", "three points"));
        state = CalculationState{};  // no table and no calculation in this program run
        app().OpenResultsBrowser();
        for (const char* button : {"CommandBeamQuality", "CommandExport"})
            QVERIFY2(!child<QWidget>(button)->isEnabled(), button);
        // The file is recorded at load; a table that cannot be read then is read again when a window needs
        // it.
        app().tablePathOverride = "missing.dat";
        clickFile("a-run.csv");
        click("Command1");
        for (const char* button : {"CommandBeamQuality", "CommandExport"})
            QVERIFY2(child<QWidget>(button)->isEnabled(), button);
        QVERIFY(app().runs().current() && app().runs().current()->loaded());

        click("CommandBeamQuality");
        QVERIFY2(lastMessage().contains("missing.dat"), qPrintable(lastMessage()));
        QVERIFY(!app().hasBeamQualityWindow() || !app().beamQualityWindow().isVisible());
        app().tablePathOverride = HALVORN_TABLE_PATH;
        presenter().Clear();
        click("CommandBeamQuality");
        halvorn::ui::BeamQualityWindow& window = app().beamQualityWindow();
        QVERIFY(window.isVisible());
        QVERIFY(LabelText(window, "LabelSource").contains("a-run.csv"));
        QTableWidget* table = Child<QTableWidget>(window, "Table1");
        QCOMPARE(table->rowCount(), 4);
        QCOMPARE(table->item(3, 1)->text(), QString("9"));
        QVERIFY(table->item(3, 6)->text().toDouble() > 0);  // HVL1 Al from the table read on its own
        QCOMPARE(state.MuAluminium[100], 0.0);
        QCOMPARE(state.BowtieAlMm[3], 12.5);
        // Its CSV is offered in a folder of its own, never among the result files; cancelled, no folder
        // stays.
        presenter().Clear();
        Click(window, "CommandSave");
        QCOMPARE(lastMessage(), QDir::current().filePath("beam_quality/a-run_beam_quality.csv"));
        QVERIFY(!QFileInfo::exists("beam_quality"));

        click("CommandExport");
        halvorn::ui::ExportDialog& dialog = app().exportDialog();
        QVERIFY(dialog.isVisible());
        QLineEdit* angle = Child<QLineEdit>(dialog, "TextTargetAngle");
        QVERIFY(angle->isEnabled());
        QCOMPARE(angle->text(), QString("16"));
        QCOMPARE(Child<QLineEdit>(dialog, "TextFolder")->text(), QString("a-run_export"));
        Retype(angle, "90");
        Click(dialog, "CommandWrite");
        QCOMPARE(lastMessage(),
                 Q(std::string(halvorn::OutOfRangeMessage(halvorn::InputField::TargetAngle).text)));
        QCOMPARE(dialog.focusWidget(), angle);
        Retype(angle, "12");
        // Spreadsheets alone: the two CSV files and the manifest, nothing else.
        for (const char* box : {"CheckEgsnrc", "CheckXcist", "CheckGate", "CheckSpectrumText"})
            Child<QCheckBox>(dialog, box)->setChecked(false);
        QVERIFY(!Child<QLineEdit>(dialog, "TextAngleStep")->isEnabled());
        Click(dialog, "CommandWrite");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(QDir("a-run_export").entryList(QDir::Files, QDir::Name),
                 (QStringList{"beam_quality.csv", "halvorn-export.json", "spectra_long.csv"}));
        QCOMPARE(presenter().entries.back().details,
                 QString("spectra_long.csv\nbeam_quality.csv\nhalvorn-export.json"));
        // With the spectrum text: the target angle given is the one named.
        Child<QCheckBox>(dialog, "CheckSpectrumText")->setChecked(true);
        click("CommandExport");
        QCOMPARE(angle->text(), QString("12"));
        presenter().yesNoAnswers = {true};
        Click(dialog, "CommandWrite");
        QVERIFY(ReadAll("a-run_export/spectrum.spk").contains("# Target angle: 12 deg\n"));
        // A folder whose name holds %2 is named as it is, the count beside it.
        click("CommandExport");
        Retype(Child<QLineEdit>(dialog, "TextFolder"), "set%2");
        Click(dialog, "CommandWrite");
        QCOMPARE(lastMessage(), QString(" フォルダ %1 に 4 個のファイルを書き出しました ")
                                    .arg(QDir::toNativeSeparators(QDir("set%2").absolutePath())));

        // Another calculation on show closes the table of this one.
        app().OpenResultsBrowser();
        QVERIFY(!window.isVisible());
    }

    // The beam-quality table opens beside the results screen: right of it, else left of it, else as far right
    // as the screen allows, never off the screen.
    void beamQualityWindowOpensBesideTheResults() {
        using halvorn::ui::BesidePosition;
        const QRect screen(0, 0, 1920, 1080);
        QCOMPARE(BesidePosition(QRect(100, 50, 1000, 760), QSize(700, 800), screen), QPoint(1100, 50));
        QCOMPARE(BesidePosition(QRect(800, 50, 1000, 760), QSize(700, 800), screen), QPoint(100, 50));
        QCOMPARE(BesidePosition(QRect(400, 300, 1000, 760), QSize(700, 900), screen), QPoint(1220, 180));
        QCOMPARE(BesidePosition(QRect(0, 0, 1000, 760), QSize(2000, 2000), screen), QPoint(0, 0));
    }

    // The fan-beam fields reach the set (the kerma refused without the collimation); cancelling the
    // phase space while it is made (after a second click that must start nothing) leaves the folder as it
    // was and no temporary beside it.
    void exportPhaseSpaceAndCancel() {
        FillState(3);
        QVERIFY(SaveFile("fan.csv", "fan"));
        state = CalculationState{};
        app().tablePathOverride = HALVORN_TABLE_PATH;
        app().OpenResultsBrowser();
        clickFile("fan.csv");
        click("Command1");
        click("CommandExport");
        halvorn::ui::ExportDialog& dialog = app().exportDialog();
        Child<QCheckBox>(dialog, "CheckPhaseSpace")->setChecked(true);
        QLineEdit* collimation = Child<QLineEdit>(dialog, "TextCollimation");
        Retype(collimation, "");
        Retype(Child<QLineEdit>(dialog, "TextKerma"), "10");
        Retype(Child<QLineEdit>(dialog, "TextPhotons"), "1000");
        Retype(Child<QLineEdit>(dialog, "TextPlane"), "30");
        Click(dialog, "CommandWrite");
        QVERIFY2(lastMessage().contains("コリメーション"), qPrintable(lastMessage()));
        QCOMPARE(dialog.focusWidget(), collimation);
        Retype(collimation, "4");
        Click(dialog, "CommandWrite");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(QFileInfo("fan_export/fan_beam.IAEAphsp").size(), 25000);
        QVERIFY(QFileInfo::exists("fan_export/bowtie.stl"));
        const QByteArray manifest = ReadAll("fan_export/halvorn-export.json");
        for (const char* text : {"\"kerma_per_100mas_mgy\": 10.0", "\"phase_space_plane_cm\": 30.0",
                                 "\"phase_space_photons\": 1000,"})
            QVERIFY2(manifest.contains(text), text);

        QStringList before = QDir(".").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        click("CommandExport");
        Retype(Child<QLineEdit>(dialog, "TextPhotons"), "1000000");
        bool cancelled = false;
        QTimer::singleShot(0, &dialog, [&] {
            if (auto* progress = dialog.findChild<QProgressDialog*>("ProgressPhaseSpace")) {
                Click(dialog, "CommandWrite");  // a second click meanwhile starts nothing
                progress->cancel();
                cancelled = true;
            }
        });
        presenter().yesNoAnswers = {true};
        Click(dialog, "CommandWrite");
        QVERIFY(cancelled);
        QVERIFY(dialog.isVisible());
        QCOMPARE(QFileInfo("fan_export/fan_beam.IAEAphsp").size(), 25000);
        QCOMPARE(ReadAll("fan_export/halvorn-export.json"), manifest);
        QCOMPARE(QDir(".").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
        Click(dialog, "CommandCancel");
    }

    void pointDisplay() {
        FillState(5);
        HandOver();
        form4().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form4()));
        const DrawingSurface& plot = form4().Picture3();
        QLineEdit* text2 = child<QLineEdit>("Text2");

        // Refused: below 0 and beyond N, with the focus back in the point box and nothing drawn.
        for (const QString& text : {QString("-1"), QString("6")}) {
            presenter().Clear();
            showPoint(text);
            QCOMPARE(lastMessage(), QString(" ポイントNo.が範囲外です "));
            QVERIFY2(text2->hasFocus(), qPrintable(text));
            QVERIFY2(CurveCount(plot) == 1, qPrintable(text));
            QCOMPARE(label("Label14"), QString("0"));
        }

        // Not a whole number: refused rather than rounded to a neighbouring point.
        for (const QString& text : {QString("1.5"), QString("-0.4")}) {
            presenter().Clear();
            showPoint(text);
            QCOMPARE(lastMessage(), QString(" ポイントNo.は整数で入力して下さい "));
            QVERIFY2(CurveCount(plot) == 1, qPrintable(text));
        }

        // Not one number: the input-error message, the text selected for retyping, nothing drawn.
        for (const QString& text : {QString("3cm"), QString("abc"), QString("2,5"), QString("1e400")}) {
            presenter().Clear();
            showPoint(text);
            QCOMPARE(lastMessage(), QString(" 入力データに誤りがあります！ "));
            QVERIFY2(text2->hasFocus() && text2->selectedText() == text, qPrintable(text));
            QVERIFY2(CurveCount(plot) == 1, qPrintable(text));
        }

        // Accepted: the point drawn against the centre peak, its distance and path length shown.
        const struct {
            const char* text;
            int point;
        } accepted[] = {{"5", 5}, {"2.0", 2}, {"", 0}, {" 1 ", 1}};
        presenter().Clear();
        for (const auto& c : accepted) {
            const int before = CurveCount(plot);
            showPoint(c.text);
            QVERIFY2(CurveCount(plot) == before + 1, c.text);
            QVERIFY2(CurveIs(LastCurve(plot), c.point, state.SpectrumPeak), c.text);
            QCOMPARE(label("Label14"), QString::fromStdString(halvorn::FormatPicture(3.0 * c.point, "#0.0")));
            QCOMPARE(label("Label15"),
                     QString::fromStdString(halvorn::FormatPicture(5 + 2.5 * c.point, "##0.000")));
        }
        QVERIFY(presenter().entries.empty());
        QCOMPARE(TopOf(LastCurve(plot)), 100 + 200.0);  // point 1 peaks at 0.9 of the centre

        // Each spectrum against its own peak: every curve touches the top edge.
        child<QCheckBox>("Check1")->setChecked(true);
        for (const char* text : {"0", "2", "5"}) {
            showPoint(text);
            QCOMPARE(TopOf(LastCurve(plot)), 100.0);
        }

        // Twice the same point draws the same strokes again.
        const int before = CurveCount(plot);
        showPoint("4");
        const auto first = LastCurve(plot);
        showPoint("4");
        QCOMPARE(CurveCount(plot), before + 2);
        const auto second = LastCurve(plot);
        QVERIFY(std::equal(first.begin(), first.end(), second.begin(), second.end(),
                           [](const Op& a, const Op& b) { return a.from == b.from && a.to == b.to; }));

        // A click in the box empties it; Enter moves the focus to "表示" without pressing it.
        text2->setText("17");
        QTest::mouseClick(text2, Qt::LeftButton);
        QCOMPARE(text2->text(), QString());
        QTest::keyClicks(text2, "2");
        const int curves = CurveCount(plot);
        QTest::keyClick(text2, Qt::Key_Return);
        QVERIFY(child<QPushButton>("Command4")->hasFocus());
        QCOMPARE(CurveCount(plot), curves);
        // A second Enter, now on the focused button, presses it.
        QTest::keyClick(child<QPushButton>("Command4"), Qt::Key_Return);
        QCOMPARE(CurveCount(plot), curves + 1);

        click("Command5");
        QCOMPARE(CurveCount(plot), 0);
        QCOMPARE(label("Label14"), QString("6.0"));
        QCOMPARE(label("Label15"), QString("10.000"));
    }

    void damagedPointCountNeverReadsPastTheArrays() {
        // A file whose line 2 claims 30 points (written by hand over a 25-point file) is refused.
        FillState(25);
        QVERIFY(SaveFile("full.csv", "25 points"));
        std::string bytes = halvorn::FormatResultFile(RecordOfState(state), "damaged");
        const size_t line2 = bytes.find("\r\n") + 2;
        QCOMPARE(bytes.substr(line2, 6), std::string(" 25 \r\n"));
        bytes.replace(line2, 4, " 30 ");
        QFile file("damaged.csv");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
        file.close();
        state = CalculationState{};
        app().OpenResultsBrowser();
        clickFile("damaged.csv");
        click("Command1");
        QVERIFY2(lastMessage().contains("damaged.csv"), qPrintable(lastMessage()));
        QCOMPARE(state.ProfilePointCount, 0.0);
        QVERIFY(!child<QWidget>("Command4")->isEnabled());
        clickFile("full.csv");
        click("Command1");
        QCOMPARE(label("Label13"), QString("25"));
        for (const char* text : {"26", "30"}) {
            presenter().Clear();
            showPoint(text);
            QCOMPARE(lastMessage(), QString(" ポイントNo.が範囲外です "));
        }

        // The same guard holds whatever put the count above 25.
        state.ProfilePointCount = 30;
        for (const char* text : {"26", "30"}) {
            presenter().Clear();
            const int curves = CurveCount(form4().Picture3());
            showPoint(text);
            QCOMPARE(lastMessage(), QString(" ポイントNo.が範囲外です "));
            QCOMPARE(CurveCount(form4().Picture3()), curves);
        }
        showPoint("25");
        QCOMPARE(label("Label14"), QString("75.0"));

        presenter().Clear();
        click("Command6");
        QCOMPARE(lastMessage(), QString(" データ不足のため、ボウタイフィルタ形状を表示できません "));
        QCOMPARE(presenter().entries.back().caption, QString("ボウタイフィルタ"));
        QVERIFY(!app().form6().isVisible());
        QVERIFY(app().form6().Picture1().Ops().size() <= 1);
    }

    void bowtieFigure() {
        DrawingSurface& pic = app().form6().Picture1();
        const auto strokes = [&pic] {
            std::vector<Op> out;
            for (const Op& op : pic.Ops())
                if (op.kind != Op::Kind::LineWidth)
                    out.push_back(op);
            return out;
        };
        const size_t figureOps = app().form6().Figure().Ops().size();
        QVERIFY(figureOps > 30);

        // No focus distance: the message, the window stays closed.
        FillState(1);
        state.FocusCentreDistanceCm = 0;
        app().ShowBowtieFigure();
        QCOMPARE(lastMessage(), QString(" データ不足のため、ボウタイフィルタ形状を表示できません "));
        QCOMPARE(presenter().entries.back().caption, QString("ボウタイフィルタ"));
        QVERIFY(!app().form6().isVisible());
        QVERIFY(strokes().empty());
        for (double n : {-1.0, 25.5, std::nan("")}) {
            FillState(1);
            state.ProfilePointCount = n;
            presenter().Clear();
            app().ShowBowtieFigure();
            QVERIFY2(presenter().entries.size() == 1, qPrintable(QString::number(n)));
            QVERIFY(!app().form6().isVisible());
        }
        // N = 2.6 draws the outline of points 1 and 2 over a base segment out to point 3, whose distance
        // here overflows the base position: the message, nothing drawn.
        FillState(3);
        state.ProfilePointCount = 2.6;
        state.DoseProfile[0][3] = 1e308;
        presenter().Clear();
        app().ShowBowtieFigure();
        QCOMPARE(presenter().Texts(),
                 QStringList{" データ不足のため、ボウタイフィルタ形状を表示できません "});
        QVERIFY(strokes().empty());
        QVERIFY(!app().form6().isVisible());

        // N = 0: the base segment is a dot at the origin, the centre thickness is marked twice, no outline.
        FillState(0);
        presenter().Clear();
        app().ShowBowtieFigure();
        QVERIFY(presenter().entries.empty());
        QVERIFY(app().form6().isVisible());
        auto ops = strokes();
        QCOMPARE(ops.size(), size_t(3));
        QCOMPARE(ops[0].kind, Op::Kind::Line);
        QCOMPARE(ops[0].from, QPointF(0, 0));
        QCOMPARE(ops[0].to, QPointF(0, 0));
        QCOMPARE(ops[1].kind, Op::Kind::Dot);
        QCOMPARE(ops[1].from, QPointF(0, 50));
        QCOMPARE(ops[2].from, QPointF(0, 50));
        QCOMPARE(ops[0].colour, QColor(0, 0, 255));
        app().form6().Command1_Click();
        QVERIFY(!app().form6().isVisible());

        // S = 60 cm, d1 = 30 cm, B1 = 20 mm: x1 = 750, R1 = (661, 179), L1 = (-661, 179); point 2 with
        // no path length lies on the base line. Pressing twice draws the figure once.
        FillState(2);
        state.DoseProfile[0][1] = 30;
        state.BowtieAlMm[1] = 20;
        state.DoseProfile[0][2] = 36;
        state.BowtieAlMm[2] = 0;
        HandOver();
        click("Command6");
        ops = strokes();
        // The second press finds the figure behind the results screen and brings it to the front.
        form4().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form4()));
        click("Command6");
        QVERIFY(QTest::qWaitForWindowActive(&app().form6()));
        QCOMPARE(strokes().size(), ops.size());
        // base, dot, 2 x (line, line, dot), dot, 2 x (line, line, dot)
        QCOMPARE(ops.size(), size_t(15));
        QCOMPARE(ops[0].from, QPointF(-900, 0));
        QCOMPARE(ops[0].to, QPointF(900, 0));
        QCOMPARE(ops[1].from, QPointF(0, 50));
        const QPointF r1 = ops[2].to, l1 = ops[9].to;
        QVERIFY2(std::abs(r1.x() - 660.557) < 0.01 && std::abs(r1.y() - 178.885) < 0.01,
                 qPrintable(QString("R1 = %1, %2").arg(r1.x()).arg(r1.y())));
        QCOMPARE(ops[3].to, QPointF(750, 0));
        QCOMPARE(ops[4].from, r1);
        QCOMPARE(ops[5].to, QPointF(900, 0));  // B2 = 0: the outline point on the base line
        QCOMPARE(ops[6].to, QPointF(900, 0));
        QCOMPARE(ops[7].kind, Op::Kind::Dot);
        QCOMPARE(ops[8].from, QPointF(0, 50));
        QCOMPARE(l1, QPointF(-r1.x(), r1.y()));
        QCOMPARE(ops[10].to, QPointF(-750, 0));
        QCOMPARE(ops[13].to, QPointF(-900, 0));
        for (const Op& op : ops)
            QCOMPARE(op.colour, QColor(0, 0, 255));
        QVERIFY(app().form6().isVisible());
        QVERIFY(form4().isVisible());
        // The fixed figure survives every redraw.
        QCOMPARE(app().form6().Figure().Ops().size(), figureOps);
        SaveScreenshot(app().form6(), "form6-example.png", 200);

        // A failing run leaves a window opened earlier open, with the earlier outline erased.
        state.FocusCentreDistanceCm = 0;
        click("Command6");
        QCOMPARE(lastMessage(), QString(" データ不足のため、ボウタイフィルタ形状を表示できません "));
        QVERIFY(app().form6().isVisible());
        QVERIFY(strokes().empty());
        QCOMPARE(app().form6().Figure().Ops().size(), figureOps);
        click("Command2");
        QVERIFY(!app().form6().isVisible());
    }
};

QTEST_MAIN(ResultsTest)
#include "results_test.moc"
