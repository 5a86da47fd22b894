// The centre-axis screen driven as a user drives it: "新規計算" on the start screen, typing into the
// fields, "計算する", the HVL material options, "キャンセル", and the energy cursor with the mouse and the
// arrow keys.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "UiTestSupport.h"
#include "centre_axis/CursorLine.h"
#include "centre_axis/Form2.h"
#include "common/DrawingSurface.h"
#include "common/MessagePresenter.h"
#include "common/SpectrumPlot.h"
#include "engine/AttenuationTable.h"
#include "engine/CalculationState.h"
#include "engine/CalibrationRun.h"
#include "engine/NumberText.h"
#include "engine/Reporter.h"
#include "shell/Application.h"
#include "shell/Form1.h"
#include "shell/Form5.h"

using halvorn::CalculationState;
using halvorn::FormatPicture;
using halvorn::ui::CursorLine;
using halvorn::ui::DrawingSurface;
using halvorn::ui::Form2;
using halvorn::ui::RecordingPresenter;
using namespace halvorn::ui::test;
using Op = halvorn::ui::DrawingSurface::Op;

namespace {

const QString kEnterHvl = QStringLiteral(" 実測半価層を入力して下さい ");
const QString kEnterVoltage = QStringLiteral(" Ｘ線管電圧を入力して下さい ");
const QString kVoltageTooHigh = QStringLiteral(" Ｘ線管電圧は最大 150 kV までです ");
const QString kHvlNotComputable = QStringLiteral("半価層が正しく計算できません");

// One program run, entered into the centre-axis screen through the start screen's "新規計算".
struct CentreAxisSession : Session {
    Form2* form2 = nullptr;

    CentreAxisSession() {
        app.exitProgram = [](int code) { qFatal("the program ended with %d", code); };
        app.Start();
        NewCalculation();
    }
    void NewCalculation() {
        form2 = &halvorn::ui::test::NewCalculation(app);
        if (!form2->isVisible())
            qFatal("new calculation did not show Form2: %s", qPrintable(presenter.Texts().join('|')));
    }

    QLineEdit* Field(const char* name) { return Child<QLineEdit>(*form2, name); }
    QString FieldText(const char* name) { return Field(name)->text(); }
    QString LabelText(const char* name) { return Child<QLabel>(*form2, name)->text(); }
    QPushButton* Button(const char* name) { return Child<QPushButton>(*form2, name); }
    CursorLine* Line(const char* name) { return Child<CursorLine>(*form2, name); }
    DrawingSurface& Plot() { return form2->Picture3(); }

    // Replaces a field's text by typing, as a user would.
    void Type(const char* field, const QString& text) { Retype(Field(field), text); }
    void Click(const char* button) { halvorn::ui::test::Click(*form2, button); }
    void Calculate(const QString& hvl) {
        presenter.Clear();
        RunCalibration(*form2, hvl);
    }
    // The mouse over the plot at a point in its user coordinates.
    void Mouse(double x, double y) { emit Plot().MouseMoved(QPointF(x, y), Qt::NoButton, Qt::NoModifier); }
    // A key as the window system delivers it: to the focused control, or the window when none has focus.
    void Key(Qt::Key key) { QTest::keyClick(form2->focusWidget() ? form2->focusWidget() : form2, key); }
};

int Count(const DrawingSurface& plot, Op::Kind kind, const QColor& colour) {
    int n = 0;
    for (const Op& op : plot.Ops())
        n += op.kind == kind && op.colour == colour;
    return n;
}

// The strokes DrawSpectrumAxes records: 23 grey grid lines, 8 texts, the black frame at width 2.
void CheckEmptyAxes(const DrawingSurface& plot) {
    QCOMPARE(Count(plot, Op::Kind::Line, QColor(128, 128, 128)), 23);
    int texts = 0, frames = 0, others = 0;
    for (const Op& op : plot.Ops()) {
        if (op.kind == Op::Kind::Text)
            ++texts;
        else if (op.kind == Op::Kind::Rectangle && op.from == QPointF(1000, 100) &&
                 op.to == QPointF(5500, 2100) && op.width == 2)
            ++frames;
        else if (op.kind != Op::Kind::LineWidth &&
                 !(op.kind == Op::Kind::Line && op.colour == QColor(128, 128, 128)))
            ++others;
    }
    QCOMPARE(texts, 8);
    QCOMPARE(frames, 1);
    QCOMPARE(others, 0);
}

// The bin with the spectrum's peak value.
int PeakBin() {
    for (int i = 2; i <= halvorn::kBinCount; ++i)
        if (State().BeamSpectrum[i] == State().SpectrumPeak)
            return i;
    return -1;
}

}  // namespace

class CentreAxisTest : public QObject {
    Q_OBJECT
private slots:
    void newCalculationSetsTheDefaults();
    void layoutFollowsTheTwipsTable();
    void validationMessagesInOrder_data();
    void validationMessagesInOrder();
    void runShowsTheEngineResults();
    void enterPressesOnlyTheFocusedButton();
    void failedFitKeepsThePreviousResults();
    void editedInputsOutdateTheResults();
    void notANumberNamesTheFieldAndTheFault();
    void everyFailureKindEndsInTheAfterRunState_data();
    void everyFailureKindEndsInTheAfterRunState();
    void copperResultsAndBackToAluminium();
    void newCalculationAfterChangesRestoresEveryDefault();
    void axesStrokes();
    void spectrumStrokes();
    void mouseCursorFindsTheBin();
    void arrowKeysMoveTheCursor();
    void cursorInertAfterNewCalculation();
    void inputIgnoredDuringARun();
};

void CentreAxisTest::newCalculationSetsTheDefaults() {
    CentreAxisSession s;
    Form2& form2 = *s.form2;
    QCOMPARE(form2.windowTitle(), QStringLiteral("  X-ray spectrum by Tucker's formula"));
    QCOMPARE(form2.size(), QSize(881, 759));
    QCOMPARE(s.Plot().geometry(), QRect(16, 72, 729, 425));
    const struct {
        const char* name;
        const char* text;
    } defaults[] = {{"Text1", "120"}, {"Text3", "2.5"}, {"Text5", "16"}, {"Text4", "0"},
                    {"Text10", "0"},  {"Text11", "0"},  {"Text13", ""},  {"Text6", ""},
                    {"Text7", ""},    {"Text2", ""},    {"Text8", ""},   {"Text9", ""}};
    for (const auto& d : defaults)
        QVERIFY2(s.FieldText(d.name) == QString::fromUtf8(d.text), d.name);
    QCOMPARE(s.LabelText("Label20"), QString());
    QCOMPARE(s.LabelText("Label21"), QString());
    QCOMPARE(s.LabelText("Label22"), QString());
    QCOMPARE(s.LabelText("Label17"), QStringLiteral("mm AL"));
    QCOMPARE(s.LabelText("Label33"), QStringLiteral("mm AL"));
    QVERIFY(Child<QRadioButton>(form2, "Option13")->isChecked());
    QVERIFY(!Child<QRadioButton>(form2, "Option14")->isChecked());
    QVERIFY(!s.Button("Command4")->isEnabled());
    QVERIFY(s.Button("Command1")->isEnabled());
    QVERIFY(!s.Line("Line6")->isVisible());
    QVERIFY(!s.Line("Line7")->isVisible());
    // Inputs blue and centred; the three values below the client area are never visible.
    QCOMPARE(s.Field("Text13")->palette().color(QPalette::Text), QColor(0, 0, 255));
    QCOMPARE(s.Field("Text13")->alignment(), Qt::AlignCenter);
    for (const char* hidden : {"Text2", "Text8", "Text9"})
        QVERIFY2(!s.Field(hidden)->isVisible() && s.Field(hidden)->y() >= form2.height(), hidden);
    CheckEmptyAxes(s.Plot());
    SaveScreenshot(form2, "form2-before-run.png");
}

// The screen's boxes in twips (15 to a pixel) from the top left of the client area.
void CentreAxisTest::layoutFollowsTheTwipsTable() {
    CentreAxisSession s;
    const struct {
        const char* name;
        int left, top, width, height;
    } boxes[] = {
        {"Picture3", 240, 1080, 10935, 6375},      {"Command1", 11280, 4800, 1695, 735},
        {"Command3", 11280, 5880, 1695, 495},      {"Command4", 11280, 6720, 1695, 615},
        {"Text6", 2280, 7080, 855, 330},           {"Text7", 6120, 7080, 975, 330},
        {"TubePanel", 240, 7560, 5055, 3615},      {"Text5", 2640, 8400, 1095, 420},
        {"Text3", 2640, 8880, 1095, 420},          {"Text4", 3120, 9600, 1095, 420},
        {"Text10", 3120, 10080, 1095, 420},        {"Text11", 3120, 10560, 1095, 420},
        {"VoltagePanel", 5400, 7560, 3375, 1335},  {"Text1", 6480, 8280, 1095, 405},
        {"MeasuredPanel", 5400, 8880, 3375, 2295}, {"Frame4", 5760, 9412, 2655, 1095},
        {"Text13", 6360, 10560, 1095, 450},        {"ComputedPanel", 9000, 7560, 3975, 1575},
        {"Label20", 10320, 8400, 1335, 405},       {"BowtiePanel", 9000, 9120, 3975, 2055},
        {"Label21", 10080, 9990, 1335, 405},       {"Label22", 10080, 10560, 1335, 405},
    };
    for (const auto& b : boxes) {
        auto* control = Child<QWidget>(*s.form2, b.name);
        const QRect expected(qRound(b.left / 15.0), qRound(b.top / 15.0), qRound(b.width / 15.0),
                             qRound(b.height / 15.0));
        QVERIFY2(control->geometry() == expected, qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                                                                 .arg(QString::fromUtf8(b.name))
                                                                 .arg(control->x())
                                                                 .arg(control->y())
                                                                 .arg(control->width())
                                                                 .arg(control->height())));
    }
    // The read-out labels over the plot's bottom strip, placed from the plot's top left; the right-aligned
    // one keeps its right edge.
    const QPoint plot = s.Plot().pos();
    QCOMPARE(Child<QLabel>(*s.form2, "PhotonEnergyCaption")->pos(), plot + QPoint(16, 400));
    QCOMPARE(Child<QLabel>(*s.form2, "PhotonEnergyCaption")->text(), QStringLiteral("Photon energy"));
    QCOMPARE(Child<QLabel>(*s.form2, "KeVCaption")->pos(), plot + QPoint(200, 400));
    QCOMPARE(Child<QLabel>(*s.form2, "KeVCaption")->text(), QStringLiteral("keV"));
    auto* fluence = Child<QLabel>(*s.form2, "RelativeFluenceCaption");
    QCOMPARE(fluence->text(), QStringLiteral("Relative fluence"));
    QCOMPARE(fluence->geometry().right() + 1, plot.x() + (3960 + 1755) / 15);
    QCOMPARE(fluence->y(), plot.y() + 400);
    QVERIFY(fluence->alignment() & Qt::AlignRight);
    // The cursor lines lie over the plot, not in its drawing.
    QCOMPARE(s.Line("Line6")->parentWidget(), &s.Plot());
    QCOMPARE(s.Line("Line7")->parentWidget(), &s.Plot());
}

void CentreAxisTest::validationMessagesInOrder_data() {
    QTest::addColumn<QString>("field");  // typed into, besides the measured HVL
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hvl");
    QTest::addColumn<QString>("message");  // empty: the run starts
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("focus");  // the field that gets the focus with its text selected
    const QString input = QStringLiteral(" 入力データに誤りがあります！ ");
    auto row = [](const char* name, const char* field, const char* text, const char* hvl,
                  const QString& message, const char* caption, const char* focus) {
        QTest::newRow(name) << field << QString::fromUtf8(text) << QString::fromUtf8(hvl) << message
                            << QString::fromUtf8(caption) << focus;
    };
    row("HVL empty", "Text1", "120", "", kEnterHvl, "実測半価層", "Text13");
    row("both empty", "Text1", "", "", kEnterHvl, "実測半価層", "Text13");
    row("voltage empty", "Text1", "", "7", kEnterVoltage, "Ｘ線管電圧", "Text1");
    row("151 kV", "Text1", "151", "7", kVoltageTooHigh, "Halvorn-2", "Text1");
    row("150 kV", "Text1", "150", "7", {}, "", "");
    row("blanks around numbers", "Text1", " 120 ", " 7.0\t", {}, "", "");
    row("comma in the HVL", "Text1", "120", "7,5", input, "Halvorn-2", "Text13");
    row("HVL blanks only", "Text1", "120", "   ", input, "Halvorn-2", "Text13");
    row("unit after the voltage", "Text1", "120kV", "7", input, "Halvorn-2", "Text1");
    row("two numbers run together", "Text3", "2.52.5", "7", input, "Halvorn-2", "Text3");
    row("0 kV", "Text1", "0", "7",
        QStringLiteral(" Ｘ線管電圧は 10.5 kV 以上 150 kV 以下の値を入力して下さい "), "Ｘ線管電圧", "Text1");
    row("target angle 0", "Text5", "0", "7",
        QStringLiteral(" ターゲット角度は 0 度より大きく 90 度未満の値を入力して下さい "), "ターゲット角度",
        "Text5");
    row("target angle empty", "Text5", "", "7",
        QStringLiteral(" ターゲット角度は 0 度より大きく 90 度未満の値を入力して下さい "), "ターゲット角度",
        "Text5");
    row("target angle 90", "Text5", "90", "7",
        QStringLiteral(" ターゲット角度は 0 度より大きく 90 度未満の値を入力して下さい "), "ターゲット角度",
        "Text5");
    row("HVL 0", "Text1", "120", "0", QStringLiteral(" 実測半価層は 0 より大きい値を入力して下さい "),
        "実測半価層", "Text13");
    row("negative copper", "Text10", "-0.1", "7",
        QStringLiteral(" 付加フィルタ（銅）は 0 以上の値を入力して下さい "), "付加フィルタ", "Text10");
    row("empty silver is 0", "Text11", "", "7", {}, "", "");
}

// Refused inputs change nothing: no value written, "next" still disabled, the plot holds only the axes, and
// the field at fault has the focus with its whole text selected, so typing replaces it.
void CentreAxisTest::validationMessagesInOrder() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, hvl);
    QFETCH(QString, message);
    QFETCH(QString, caption);
    QFETCH(QString, focus);
    CentreAxisSession s;
    s.Type(field.toLatin1().constData(), text);
    State().TubeVoltageKv = -1;
    s.Calculate(hvl);
    if (!message.isEmpty()) {
        QCOMPARE(s.presenter.Texts(), QStringList{message});
        QCOMPARE(s.presenter.entries.front().caption, caption);
        QCOMPARE(s.presenter.entries.front().icon, RecordingPresenter::Icon::Warning);
        QCOMPARE(State().TubeVoltageKv, -1.0);
        QVERIFY(!s.Button("Command4")->isEnabled());
        QCOMPARE(s.LabelText("Label20"), QString());
        CheckEmptyAxes(s.Plot());
        QLineEdit* focused = s.Field(focus.toLatin1().constData());
        QVERIFY2(s.form2->focusWidget() == focused, qPrintable(focus));
        QCOMPARE(focused->selectedText(), focused->text());
    } else {
        QVERIFY2(s.presenter.entries.empty(), qPrintable(s.presenter.Texts().join('|')));
        QCOMPARE(State().TubeVoltageKv, field == "Text1" ? text.trimmed().toDouble() : 120.0);
        QVERIFY(s.Button("Command4")->isEnabled());
    }
}

void CentreAxisTest::runShowsTheEngineResults() {
    CentreAxisSession s;
    s.Calculate(QStringLiteral("7.0"));
    QVERIFY2(s.presenter.entries.empty(), qPrintable(s.presenter.Texts().join('|')));

    // The same inputs through the engine alone give the same texts.
    static CalculationState engine;
    QCOMPARE(halvorn::LoadAttenuationTable(engine, s.app.TablePath()), halvorn::TableLoadStatus::Ok);
    engine.HvlMaterial = 1;
    halvorn::RecordingReporter reporter;
    const auto out = halvorn::CalibrationRun(engine, {7.0, 120, 16, 2.5, 0, 0, 0}, reporter);
    QVERIFY(out.succeeded && out.fittedFiltrationMm && out.hvlAlMm && out.hvlCuMm && out.centreBowtieMm);
    QCOMPARE(s.FieldText("Text2"), Q(FormatPicture(*out.fittedFiltrationMm, "0.000")));
    QCOMPARE(s.FieldText("Text8"), Q(FormatPicture(*out.hvlCuMm, "#0.00")));
    QCOMPARE(s.FieldText("Text9"), Q(FormatPicture(*out.hvlAlMm, "#0.00")));
    QCOMPARE(s.LabelText("Label21"), Q(FormatPicture(*out.centreBowtieMm, "0.000")));
    QCOMPARE(s.LabelText("Label20"), QStringLiteral("7.00"));
    // The fitted total filtration is shown beside the centre bowtie.
    QCOMPARE(s.LabelText("Label22"), QStringLiteral("9.169"));
    QCOMPARE(s.LabelText("Label21"), QStringLiteral("6.669"));
    QCOMPARE(s.LabelText("Label20"), s.FieldText("Text9"));
    QCOMPARE(s.LabelText("Label21"), Q(FormatPicture(State().BowtieAlMm[0], "0.000")));

    // After-run state: "next" enabled, cursor off with red lines hidden, read-outs empty.
    QVERIFY(s.Button("Command4")->isEnabled());
    QCOMPARE(State().PlotCursorShown, 0);
    for (const char* line : {"Line6", "Line7"}) {
        QVERIFY2(!s.Line(line)->isVisible(), line);
        QCOMPARE(s.Line(line)->Colour(), QColor(255, 0, 0));
    }
    QCOMPARE(s.FieldText("Text6"), QString());
    QCOMPARE(s.FieldText("Text7"), QString());
    QVERIFY(!s.app.form5().isVisible());
    // The screenshot shows the cursor on the 60 keV bin.
    s.Mouse(1000 + 15 * 120, 1000);
    QCOMPARE(s.FieldText("Text6"), QStringLiteral("60.0"));
    SaveScreenshot(*s.form2, "form2-after-run.png");

    // A second run draws its curve over the first one; both stay until the axes are drawn again.
    s.Calculate(QStringLiteral("6.0"));
    QCOMPARE(s.LabelText("Label20"), QStringLiteral("6.00"));
    QCOMPARE(Count(s.Plot(), Op::Kind::Dot, Qt::black), 2);
    QCOMPARE(Count(s.Plot(), Op::Kind::Line, QColor(255, 0, 0)), 2 * 2 * 299);
}

// Enter in a field does nothing; Enter on a focused button presses it, as a click would.
void CentreAxisTest::enterPressesOnlyTheFocusedButton() {
    CentreAxisSession s;
    s.Type("Text13", QStringLiteral("7.0"));
    QTest::keyClick(s.Field("Text13"), Qt::Key_Return);
    QVERIFY(!s.Button("Command4")->isEnabled());
    QCOMPARE(s.LabelText("Label20"), QString());

    s.Button("Command1")->setFocus();
    QTest::keyClick(s.Button("Command1"), Qt::Key_Return);
    QVERIFY2(s.presenter.entries.empty(), qPrintable(s.presenter.Texts().join('|')));
    QCOMPARE(s.LabelText("Label20"), QStringLiteral("7.00"));
    QVERIFY(s.Button("Command4")->isEnabled());
}

// Once a field (or the HVL material) differs from the run's inputs, the read-outs are greyed with a note and
// "next" is disabled; a refused run does not bring them back, the run's own inputs do.
void CentreAxisTest::editedInputsOutdateTheResults() {
    CentreAxisSession s;
    s.Calculate(QStringLiteral("7.0"));
    QLabel* note = Child<QLabel>(*s.form2, "LabelOutdated");
    QVERIFY(s.Button("Command4")->isEnabled());
    QVERIFY(!note->isVisible());
    s.Type("Text5", QStringLiteral("90"));
    QVERIFY(!s.Button("Command4")->isEnabled());
    QVERIFY(note->isVisible());
    QVERIFY(!Child<QLabel>(*s.form2, "Label20")->isEnabled());
    s.Calculate(QStringLiteral("7.0"));
    QCOMPARE(s.presenter.entries.size(), std::size_t(1));
    QVERIFY2(!s.Button("Command4")->isEnabled(), "a refused run leaves the old results outdated");
    s.Type("Text5", QStringLiteral("16"));
    QVERIFY(s.Button("Command4")->isEnabled());
    QVERIFY(!note->isVisible());
    QVERIFY(Child<QLabel>(*s.form2, "Label20")->isEnabled());
    QTest::mouseClick(Child<QRadioButton>(*s.form2, "Option14"), Qt::LeftButton);
    QVERIFY(!s.Button("Command4")->isEnabled());
}

// The input-error message keeps its text and adds a line naming the field and what is wrong with it.
void CentreAxisTest::notANumberNamesTheFieldAndTheFault() {
    CentreAxisSession s;
    s.Field("Text1")->setText(QStringLiteral("１２０"));  // as an input method commits it
    s.Calculate(QStringLiteral("7.0"));
    QCOMPARE(s.presenter.Texts(), QStringList{QStringLiteral(" 入力データに誤りがあります！ ")});
    QCOMPARE(s.presenter.entries.front().line,
             QStringLiteral("Ｘ線管電圧：全角の数字は使えません（半角で入力してください）"));
}

// A failed fit leaves nothing to go on from: no read-out or curve of an earlier run stays on screen, and
// "next" is disabled until a run succeeds.
void CentreAxisTest::failedFitKeepsThePreviousResults() {
    CentreAxisSession s;
    s.Calculate(QStringLiteral("7.0"));
    s.Mouse(2000, 1000);
    QVERIFY(s.Line("Line6")->isVisible());

    // 65 mm Al (a typing error for 6.5) cannot be reached by any filtration at 120 kV.
    s.Calculate(QStringLiteral("65"));
    QCOMPARE(s.presenter.Texts(), QStringList{kHvlNotComputable});
    for (const char* field : {"Text2", "Text8", "Text9"})
        QVERIFY2(s.FieldText(field).isEmpty(), field);
    for (const char* label : {"Label20", "Label21", "Label22"})
        QVERIFY2(s.LabelText(label).isEmpty(), label);
    CheckEmptyAxes(s.Plot());
    QVERIFY(!s.Button("Command4")->isEnabled());
    QCOMPARE(State().CalibrationSucceeded, 0);
    QVERIFY(!s.Line("Line6")->isVisible());
    QVERIFY(!s.Line("Line7")->isVisible());
    QCOMPARE(s.FieldText("Text6"), QString());
    QCOMPARE(s.FieldText("Text7"), QString());
    QCOMPARE(State().PlotCursorShown, 0);
    QVERIFY(!s.app.form5().isVisible());

    // The corrected value runs, and "next" is back.
    s.Calculate(QStringLiteral("6.5"));
    QVERIFY(s.presenter.entries.empty());
    QVERIFY(s.Button("Command4")->isEnabled());
}

void CentreAxisTest::everyFailureKindEndsInTheAfterRunState_data() {
    QTest::addColumn<QString>("hvl");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("hvlShown");  // this run's model HVL reaches Label20
    QTest::newRow("negative bowtie thickness")
        << "2.0"
        << QStringList{QStringLiteral(
               "ボウタイフィルタ厚がマイナス値になります。条件などを確認してください。")}
        << true;
    QTest::newRow("HVL out of reach") << "65" << QStringList{kHvlNotComputable} << false;
}

// Whatever went wrong inside a run, the screen ends in its after-run state with only this run's values,
// empty axes and "next" disabled.
void CentreAxisTest::everyFailureKindEndsInTheAfterRunState() {
    QFETCH(QString, hvl);
    QFETCH(QStringList, messages);
    QFETCH(bool, hvlShown);
    CentreAxisSession s;
    s.Calculate(QStringLiteral("7.0"));
    s.Mouse(2000, 1000);
    QVERIFY(State().PlotCursorShown == 1);

    s.Calculate(hvl);
    QCOMPARE(s.presenter.Texts(), messages);
    for (const auto& box : s.presenter.entries) {
        QCOMPARE(box.caption, QStringLiteral("Halvorn-2"));
        QCOMPARE(box.icon, RecordingPresenter::Icon::Warning);
    }
    QCOMPARE(s.LabelText("Label21"), QString());
    CheckEmptyAxes(s.Plot());
    QCOMPARE(s.LabelText("Label20"), hvlShown ? Q(FormatPicture(State().HvlAlCm * 10, "#0.00")) : QString());
    QVERIFY(!s.Button("Command4")->isEnabled());
    for (const char* line : {"Line6", "Line7"})
        QVERIFY2(!s.Line(line)->isVisible(), line);
    QCOMPARE(s.FieldText("Text6"), QString());
    QCOMPARE(s.FieldText("Text7"), QString());
    QCOMPARE(State().PlotCursorShown, 0);
    QVERIFY(!s.app.form5().isVisible());
    QVERIFY(s.form2->isVisible());
    s.Mouse(2000, 1000);
    QVERIFY2(!s.Line("Line6")->isVisible(), "no cursor over the empty axes");
}

void CentreAxisTest::copperResultsAndBackToAluminium() {
    CentreAxisSession s;
    s.Calculate(QStringLiteral("7.0"));
    const QString copperHvl = s.FieldText("Text8");

    QTest::mouseClick(Child<QRadioButton>(*s.form2, "Option14"), Qt::LeftButton);
    QCOMPARE(s.LabelText("Label17"), QStringLiteral("mm Cu"));
    QCOMPARE(s.LabelText("Label33"), QStringLiteral("mm Cu"));
    // The copper HVL of the aluminium fit, measured in copper, gives back that copper HVL.
    s.Calculate(copperHvl);
    QVERIFY2(s.presenter.entries.empty(), qPrintable(s.presenter.Texts().join('|')));
    QCOMPARE(s.LabelText("Label20"), s.FieldText("Text8"));
    QCOMPARE(s.LabelText("Label20"), copperHvl);
    // The run was fitted in copper, and the run on show says so.
    QCOMPARE(State().HvlMaterial, 2);
    const halvorn::RunRecord* run = s.runs.current();
    QVERIFY(run && run->inputs.measuredHvl);
    QCOMPARE(run->inputs.measuredHvl->material, halvorn::HvlMaterial::Copper);
    QCOMPARE(Q(halvorn::PlainDecimal(run->inputs.measuredHvl->valueMm)), copperHvl);

    // Cancel: the start screen again, an empty plot, fields kept.
    s.Click("Command3");
    QVERIFY(!s.form2->isVisible());
    QVERIFY(s.app.form1().isVisible());
    QVERIFY(s.Plot().Ops().empty());
    QCOMPARE(s.FieldText("Text13"), copperHvl);

    s.NewCalculation();
    QVERIFY(Child<QRadioButton>(*s.form2, "Option13")->isChecked());
    QVERIFY(!s.runs.current());
    QCOMPARE(State().HvlMaterial, 1);
    QCOMPARE(s.LabelText("Label17"), QStringLiteral("mm AL"));
    QCOMPARE(s.LabelText("Label33"), QStringLiteral("mm AL"));
    QCOMPARE(s.FieldText("Text13"), QString());
    QCOMPARE(s.LabelText("Label20"), QString());
    QVERIFY(!s.Button("Command4")->isEnabled());
    CheckEmptyAxes(s.Plot());
}

// Everything a user and a run can change on the screen comes back to its default on the next entry from
// the start screen, whichever way the screen was left.
void CentreAxisTest::newCalculationAfterChangesRestoresEveryDefault() {
    for (const bool viaCloseBox : {false, true}) {
        CentreAxisSession s;
        const char* const inputs[] = {"Text1", "Text3", "Text4", "Text5", "Text10", "Text11"};
        s.Type("Text1", QStringLiteral("100"));
        s.Type("Text3", QStringLiteral("3"));
        s.Type("Text4", QStringLiteral("0.5"));
        s.Type("Text5", QStringLiteral("12"));
        s.Type("Text10", QStringLiteral("0.1"));
        s.Type("Text11", QStringLiteral("0.01"));
        s.Calculate(QStringLiteral("6.5"));
        QVERIFY2(s.presenter.entries.empty(), qPrintable(s.presenter.Texts().join('|')));
        QVERIFY(!s.LabelText("Label21").isEmpty() && !s.FieldText("Text2").isEmpty());
        s.Mouse(2000, 1000);
        QVERIFY(s.Line("Line6")->isVisible() && !s.FieldText("Text6").isEmpty());
        QTest::mouseClick(Child<QRadioButton>(*s.form2, "Option14"), Qt::LeftButton);
        QCOMPARE(s.LabelText("Label17"), QStringLiteral("mm Cu"));

        if (viaCloseBox)
            s.form2->close();
        else
            s.Click("Command3");
        QVERIFY(s.app.form1().isVisible());
        s.NewCalculation();

        const char* const defaults[] = {"120", "2.5", "0", "16", "0", "0"};
        for (size_t i = 0; i < std::size(inputs); ++i)
            QVERIFY2(s.FieldText(inputs[i]) == QString::fromUtf8(defaults[i]), inputs[i]);
        for (const char* empty : {"Text13", "Text2", "Text8", "Text9", "Text6", "Text7"})
            QVERIFY2(s.FieldText(empty).isEmpty(), empty);
        QCOMPARE(s.LabelText("Label20"), QString());
        QCOMPARE(s.LabelText("Label21"), QString());
        QCOMPARE(s.LabelText("Label17"), QStringLiteral("mm AL"));
        QCOMPARE(s.LabelText("Label33"), QStringLiteral("mm AL"));
        QVERIFY(Child<QRadioButton>(*s.form2, "Option13")->isChecked());
        QCOMPARE(State().PlotCursorShown, 0);
        QVERIFY(!s.Line("Line6")->isVisible() && !s.Line("Line7")->isVisible());
        QVERIFY(!s.Button("Command4")->isEnabled());
        CheckEmptyAxes(s.Plot());
    }
}

// The empty axes stroke by stroke: grey grid one pixel wide every 10 keV and every tenth of the divisor,
// the eight labels at their top-left corners in the plot's font, then the black frame two pixels wide.
void CentreAxisTest::axesStrokes() {
    CentreAxisSession s;
    s.Plot().LineTo({3000, 1000}, Qt::blue);
    halvorn::ui::DrawSpectrumAxes(s.Plot());
    const std::vector<Op>& ops = s.Plot().Ops();
    QCOMPARE(ops.size(), size_t(1 + 23 + 8 + 1 + 1));
    QCOMPARE(ops[0].kind, Op::Kind::LineWidth);
    QCOMPARE(ops[0].width, 1);
    size_t at = 1;
    for (int x = 1300; x <= 5200; x += 300, ++at) {
        const QString which = QStringLiteral("grid x = %1").arg(x);
        QVERIFY2(ops[at].kind == Op::Kind::Line && ops[at].width == 1, qPrintable(which));
        QVERIFY2(ops[at].from == QPointF(x, 100) && ops[at].to == QPointF(x, 2100), qPrintable(which));
        QVERIFY2(ops[at].colour == QColor(128, 128, 128), qPrintable(which));
    }
    for (int y = 300; y <= 1900; y += 200, ++at) {
        const QString which = QStringLiteral("grid y = %1").arg(y);
        QVERIFY2(ops[at].kind == Op::Kind::Line && ops[at].width == 1, qPrintable(which));
        QVERIFY2(ops[at].from == QPointF(1000, y) && ops[at].to == QPointF(5500, y), qPrintable(which));
        QVERIFY2(ops[at].colour == QColor(128, 128, 128), qPrintable(which));
    }
    const struct {
        QPointF at;
        const char* text;
    } labels[] = {{{1000, 2120}, "0"},
                  {{2450, 2120}, "50"},
                  {{3900, 2120}, "100"},
                  {{5400, 2120}, "150"},
                  {{3750, 2250}, "Photon energy in keV"},
                  {{200, 500}, "Relative"},
                  {{200, 700}, "Photon"},
                  {{200, 900}, "Fluence"}};
    for (const auto& label : labels) {
        const Op& op = ops[at++];
        QVERIFY2(op.kind == Op::Kind::Text && op.text == QString::fromUtf8(label.text), label.text);
        QVERIFY2(op.from == label.at && op.colour == QColor(Qt::black), label.text);
        QVERIFY2(op.font.family() == QStringLiteral("Times New Roman") && op.font.pointSizeF() == 15.75,
                 label.text);
    }
    QCOMPARE(ops[at].kind, Op::Kind::LineWidth);
    QCOMPARE(ops[at].width, 2);
    const Op& frame = ops[at + 1];
    QCOMPARE(frame.kind, Op::Kind::Rectangle);
    QCOMPARE(frame.from, QPointF(1000, 100));
    QCOMPARE(frame.to, QPointF(5500, 2100));
    QCOMPARE(frame.colour, QColor(Qt::black));
    QCOMPARE(frame.width, 2);
}

void CentreAxisTest::spectrumStrokes() {
    CentreAxisSession s;
    const size_t axes = s.Plot().Ops().size();
    s.Calculate(QStringLiteral("7.0"));
    const std::vector<Op>& ops = s.Plot().Ops();
    QCOMPARE(ops.size(), axes + 2 + 2 * 299 + 2);
    const auto y = [](int bin) { return 2100 - 2000 * State().BeamSpectrum[bin] / State().SpectrumPeak; };
    const Op& dot = ops[axes + 1];
    QCOMPARE(dot.kind, Op::Kind::Dot);
    QCOMPARE(dot.from, QPointF(1000, 2100));
    QCOMPARE(dot.width, 2);
    const Op& first = ops[axes + 2];
    QCOMPARE(first.from, QPointF(1000, 2100));
    QCOMPARE(first.to, QPointF(1022.5, y(2)));
    QCOMPARE(first.colour, QColor(255, 0, 0));
    const Op& last = ops[axes + 2 + 2 * 299 - 1];
    QCOMPARE(last.from, QPointF(5492.5, y(300)));
    QCOMPARE(last.to, QPointF(5507.5, y(300)));
    const Op& frame = ops.back();
    QCOMPARE(frame.kind, Op::Kind::Rectangle);
    QCOMPARE(frame.width, 2);
    QCOMPARE(frame.colour, QColor(Qt::black));

    // The axes drawn again over two curves leave only the grid, the labels and the frame.
    s.Calculate(QStringLiteral("6.0"));
    halvorn::ui::DrawSpectrumAxes(s.Plot());
    CheckEmptyAxes(s.Plot());
    QCOMPARE(s.Plot().Ops().size(), axes);
    QCOMPARE(s.Plot().LineWidth(), 2);
}

void CentreAxisTest::mouseCursorFindsTheBin() {
    CentreAxisSession s;
    s.Calculate(QStringLiteral("7.0"));
    const struct {
        double x;
        int bin;
        const char* energy;
    } inside[] = {{1000.001, 1, "0.5"}, {1015, 1, "0.5"},    {1015.001, 2, "1.0"},
                  {1030, 2, "1.0"},     {3250, 150, "75.0"}, {5499.999, 300, "150.0"}};
    for (const auto& c : inside) {
        s.Mouse(c.x, 1000);
        const QString where = QStringLiteral("x = %1").arg(c.x, 0, 'f', 3);
        QVERIFY2(State().PlotCursorIndex == c.bin, qPrintable(where));
        QVERIFY2(State().PlotCursorShown == 1, qPrintable(where));
        QVERIFY2(s.Line("Line6")->isVisible() && s.Line("Line7")->isVisible(), qPrintable(where));
        QCOMPARE(s.FieldText("Text6"), QString::fromUtf8(c.energy));
        const double value = State().BeamSpectrum[c.bin] / State().SpectrumPeak;
        QCOMPARE(s.FieldText("Text7"), Q(FormatPicture(100 * value, "##0.000")));
        QCOMPARE(s.Line("Line6")->UserLine(), QLineF(1000 + 15 * c.bin, 100, 1000 + 15 * c.bin, 2100));
        QCOMPARE(s.Line("Line7")->UserLine(), QLineF(1000, 2100 - 2000 * value, 5500, 2100 - 2000 * value));
    }

    // On the frame counts as outside.
    const QPointF onFrame[] = {{1000, 1000}, {5500, 1000}, {3000, 100},
                               {3000, 2100}, {500, 1000},  {3000, 2300}};
    for (const QPointF& p : onFrame) {
        s.Mouse(3000, 1000);
        s.Mouse(p.x(), p.y());
        const QString where = QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y());
        QVERIFY2(!s.Line("Line6")->isVisible() && !s.Line("Line7")->isVisible(), qPrintable(where));
        QVERIFY2(s.FieldText("Text6").isEmpty() && s.FieldText("Text7").isEmpty(), qPrintable(where));
        QVERIFY2(State().PlotCursorShown == 0, qPrintable(where));
    }

    // The peak bin puts Line7 on the top edge.
    const int peak = PeakBin();
    QVERIFY(peak > 1);
    s.Mouse(1000 + 15 * peak, 1000);
    QCOMPARE(s.Line("Line7")->UserLine().y1(), 100.0);
    QCOMPARE(s.FieldText("Text7"), QStringLiteral("100.000"));

    // A real mouse move over the plot reaches the cursor too (pixels to user units by the plot).
    const QPointF pixels = s.Plot().ToPixels(QPointF(1000 + 15 * 100 - 5, 1000));
    QMouseEvent move(QEvent::MouseMove, pixels, s.Plot().mapToGlobal(pixels), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&s.Plot(), &move);
    QCOMPARE(State().PlotCursorIndex, 100);
    QCOMPARE(s.FieldText("Text6"), QStringLiteral("50.0"));

    // A peak of 0 leaves the cursor as it is.
    const double peakValue = State().SpectrumPeak;
    State().SpectrumPeak = 0;
    s.Mouse(500, 1000);
    QCOMPARE(s.FieldText("Text6"), QStringLiteral("50.0"));
    State().SpectrumPeak = peakValue;
}

void CentreAxisTest::arrowKeysMoveTheCursor() {
    CentreAxisSession s;
    s.Calculate(QStringLiteral("7.0"));
    s.Field("Text13")->setFocus();

    // Before the mouse has entered the frame the arrows do nothing.
    s.Key(Qt::Key_Right);
    QCOMPARE(State().PlotCursorShown, 0);
    QCOMPARE(s.FieldText("Text6"), QString());
    QVERIFY(!s.Line("Line6")->isVisible());

    s.Mouse(5499, 1000);
    QCOMPARE(State().PlotCursorIndex, 300);
    s.Key(Qt::Key_Right);
    QCOMPARE(State().PlotCursorIndex, 300);
    QCOMPARE(s.FieldText("Text6"), QStringLiteral("150.0"));
    // The key is not consumed: the focused field moves its text cursor as well.
    const int caret = s.Field("Text13")->cursorPosition();
    s.Key(Qt::Key_Left);
    QCOMPARE(State().PlotCursorIndex, 299);
    QCOMPARE(s.FieldText("Text6"), QStringLiteral("149.5"));
    QCOMPARE(s.Line("Line6")->UserLine().x1(), 1000.0 + 15 * 299);
    QCOMPARE(s.Field("Text13")->cursorPosition(), caret - 1);

    s.Mouse(1001, 1000);
    QCOMPARE(State().PlotCursorIndex, 1);
    s.Key(Qt::Key_Left);
    QCOMPARE(State().PlotCursorIndex, 1);
    QCOMPARE(s.FieldText("Text6"), QStringLiteral("0.5"));
    s.Key(Qt::Key_Right);
    QCOMPARE(State().PlotCursorIndex, 2);
    QCOMPARE(s.FieldText("Text6"), QStringLiteral("1.0"));
    // Other keys leave the cursor alone.
    s.Key(Qt::Key_Up);
    QCOMPARE(State().PlotCursorIndex, 2);

    // With the focus on no control the window itself sees the key.
    s.Field("Text13")->clearFocus();
    s.Key(Qt::Key_Right);
    QCOMPARE(State().PlotCursorIndex, 3);

    // After the mouse has left the frame the arrows do nothing again.
    s.Mouse(500, 500);
    s.Key(Qt::Key_Right);
    QCOMPARE(State().PlotCursorIndex, 3);
    QCOMPARE(s.FieldText("Text6"), QString());
}

void CentreAxisTest::cursorInertAfterNewCalculation() {
    CentreAxisSession s;
    s.Calculate(QStringLiteral("7.0"));
    s.Click("Command3");
    s.NewCalculation();
    // The previous spectrum is still in the state, but the empty axes have nothing to read.
    QVERIFY(State().SpectrumPeak > 0);
    s.Mouse(2000, 1000);
    QVERIFY(!s.Line("Line6")->isVisible());
    QCOMPARE(s.FieldText("Text6"), QString());
    QCOMPARE(State().PlotCursorShown, 0);
    // A failed run draws no curve, so the cursor stays inert.
    s.Calculate(QStringLiteral("65"));
    s.Mouse(2000, 1000);
    QVERIFY(!s.Line("Line6")->isVisible());
    // The next run that draws a curve brings it back.
    s.Calculate(QStringLiteral("7.0"));
    s.Mouse(2000, 1000);
    QVERIFY(s.Line("Line6")->isVisible());
    QCOMPARE(s.FieldText("Text6"), QStringLiteral("33.5"));
}

void CentreAxisTest::inputIgnoredDuringARun() {
    CentreAxisSession s;
    QSignalSpy calculate(s.Button("Command1"), &QPushButton::clicked);
    QSignalSpy cancel(s.Button("Command3"), &QPushButton::clicked);
    bool busy = false;
    QWidget* popup = nullptr;
    QLineEdit* text13 = s.Field("Text13");
    // Clicks, the close box, a field's context menu and text from an input method arriving at the run's
    // first yield.
    QTimer::singleShot(0, s.form2, [&] {
        busy = s.app.form5().isVisible();
        QTest::mouseClick(s.Button("Command1"), Qt::LeftButton);
        QTest::mouseClick(s.Button("Command3"), Qt::LeftButton);
        QTest::keyClick(s.Button("Command1"), Qt::Key_Space);
        s.form2->close();
        const QPoint inField = text13->rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Mouse, inField, text13->mapToGlobal(inField));
        QApplication::sendEvent(text13, &menu);
        popup = QApplication::activePopupWidget();
        if (popup)
            popup->close();
        QInputMethodEvent typed;
        typed.setCommitString(QStringLiteral("9"));
        QApplication::sendEvent(text13, &typed);
    });
    s.Calculate(QStringLiteral("7.0"));
    QVERIFY2(busy, "the timer did not fire during the run");
    QVERIFY2(!popup, "a context menu opened during the run");
    QCOMPARE(text13->text(), QStringLiteral("7.0"));
    QCOMPARE(calculate.count(), 1);
    QCOMPARE(cancel.count(), 0);
    QVERIFY(s.form2->isVisible());
    QVERIFY(!s.app.form1().isVisible());
    QVERIFY(s.presenter.entries.empty());
    QCOMPARE(Count(s.Plot(), Op::Kind::Dot, Qt::black), 1);
    // Input reaches the screen again once the run is over.
    s.Click("Command3");
    QCOMPARE(cancel.count(), 1);
    QVERIFY(s.app.form1().isVisible());
}

QTEST_MAIN(CentreAxisTest)
#include "centre_axis_test.moc"
