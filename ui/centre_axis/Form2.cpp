#include "centre_axis/Form2.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

#include "centre_axis/CursorLine.h"
#include "common/DrawingSurface.h"
#include "common/EngineText.h"
#include "common/GraphExport.h"
#include "common/GuiReporter.h"
#include "common/ScreenLayout.h"
#include "common/SpectrumPlot.h"
#include "engine/CalibrationRun.h"
#include "engine/NumberText.h"
#include "engine/SpectrumPlotScale.h"
#include "shell/Application.h"

namespace halvorn::ui {

namespace {

enum class Kind {
    Panel,     // light-cyan panel with a single border
    Headline,  // blue, 18 pt
    Caption,   // static text of a panel
    Hint,      // the hint beside the plot
    ReadOut,   // the read-out labels over the plot's bottom strip
    ReadOutRight,
    Input,   // blue, centred
    Result,  // light yellow, centred, written by the program only
    Hidden,  // a result kept below the visible client area
    Button,
    Line,  // a black line one pixel wide
};

using Row = LayoutRow<Kind>;

// The screen in twips from the top left of the client area, back to front. The plot, the HVL option
// frame and the cursor lines are made separately.
const Row kLayout[] = {
    //: First line of the two-line headline (the second line goes on: computed from the measured HVL).
    {"Headline1", Kind::Headline, 960, 120, 0, 0,
     QT_TRANSLATE_NOOP("halvorn::ui::Form2", "Ｘ線 CT　回転中心におけるX線スペクトルを")},
    {"Headline2", Kind::Headline, 2640, 600, 0, 0,
     QT_TRANSLATE_NOOP("halvorn::ui::Form2", "実測半価層から Tucker の近似式を応用して計算する")},
    //: The five hint lines beside the graph read as one sentence; each line at most about 120 pixels.
    {"Hint1", Kind::Hint, 11280, 1800, 0, 0, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "グラフ上で")},
    {"Hint2", Kind::Hint, 11280, 2160, 0, 0, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "マウスを動かすと")},
    {"Hint3", Kind::Hint, 11280, 2520, 0, 0, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "光子エネルギーと")},
    {"Hint4", Kind::Hint, 11280, 2880, 0, 0, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "相対光子数が")},
    {"Hint5", Kind::Hint, 11280, 3240, 0, 0, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "表示されます")},
    {"Command1", Kind::Button, 11280, 4800, 1695, 735, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "計算する")},
    {"Command3", Kind::Button, 11280, 5880, 1695, 495, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "キャンセル")},
    {"Command4", Kind::Button, 11280, 6720, 1695, 615, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "次へ進む")},
    // Tube and filter panel.
    {"TubePanel", Kind::Panel, 240, 7560, 5055, 3615, ""},
    {"TubePanelTitle", Kind::Caption, 600, 7800, 0, 0,
     QT_TRANSLATE_NOOP("halvorn::ui::Form2", "Ｘ線管球・フィルタ")},
    {"TargetAngleCaption", Kind::Caption, 600, 8460, 0, 0,
     QT_TRANSLATE_NOOP("halvorn::ui::Form2", "ターゲット角度")},
    {"Text5", Kind::Input, 2640, 8400, 1095, 420, ""},
    //: Unit of the target angle: degrees.
    {"TargetAngleUnit", Kind::Caption, 3840, 8460, 0, 0, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "度")},
    {"InherentCaption", Kind::Caption, 600, 8940, 0, 0, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "固有ろ過")},
    {"Text3", Kind::Input, 2640, 8880, 1095, 420, ""},
    {"InherentUnit", Kind::Caption, 3840, 8940, 0, 0, "mm Al eq."},
    //: With the next line: "added filter(s)", written on two short lines left of the bracket.
    {"AddedCaption1", Kind::Caption, 820, 9900, 0, 0, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "付加")},
    {"AddedCaption2", Kind::Caption, 600, 10260, 0, 0, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "フィルタ")},
    {"BracketTop", Kind::Line, 1800, 9600, 360, 15, ""},
    {"BracketSide", Kind::Line, 1800, 9600, 15, 1320, ""},
    {"BracketBottom", Kind::Line, 1800, 10920, 360, 15, ""},
    //: Material of an added filter, at most about 50 pixels: the element symbol.
    {"AluminiumCaption", Kind::Caption, 2280, 9660, 0, 0, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "アルミ")},
    {"Text4", Kind::Input, 3120, 9600, 1095, 420, ""},
    {"AluminiumUnit", Kind::Caption, 4320, 9660, 0, 0, "mm"},
    {"CopperCaption", Kind::Caption, 2280, 10140, 0, 0, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "銅")},
    {"Text10", Kind::Input, 3120, 10080, 1095, 420, ""},
    {"CopperUnit", Kind::Caption, 4320, 10140, 0, 0, "mm"},
    {"SilverCaption", Kind::Caption, 2280, 10620, 0, 0, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "銀")},
    {"Text11", Kind::Input, 3120, 10560, 1095, 420, ""},
    {"SilverUnit", Kind::Caption, 4320, 10620, 0, 0, "mm"},
    // Tube-voltage panel.
    {"VoltagePanel", Kind::Panel, 5400, 7560, 3375, 1335, ""},
    {"VoltageCaption", Kind::Caption, 5520, 7680, 0, 0,
     QT_TRANSLATE_NOOP("halvorn::ui::Form2", "Ｘ線管電圧")},
    //: Under-title of the tube voltage: constant-potential waveform; at most about 115 pixels.
    {"WaveformCaption", Kind::Caption, 6960, 7680, 0, 0,
     QT_TRANSLATE_NOOP("halvorn::ui::Form2", "（定電圧波形）")},
    {"Text1", Kind::Input, 6480, 8280, 1095, 405, ""},
    {"VoltageUnit", Kind::Caption, 7680, 8340, 0, 0, "kV"},
    // Measured-HVL panel (the option frame is added after the table).
    {"MeasuredPanel", Kind::Panel, 5400, 8880, 3375, 2295, ""},
    {"MeasuredCaption", Kind::Caption, 5520, 8980, 0, 0,
     QT_TRANSLATE_NOOP("halvorn::ui::Form2", "実測半価層")},
    {"Text13", Kind::Input, 6360, 10560, 1095, 450, ""},
    {"Label33", Kind::Caption, 7560, 10640, 0, 0, "mm AL"},
    // Computed-HVL panel.
    {"ComputedPanel", Kind::Panel, 9000, 7560, 3975, 1575, ""},
    //: With the next line: "the HVL computed from the spectrum"; the next line (beside the value) at most
    //: about 50 pixels.
    {"ComputedCaption1", Kind::Caption, 9120, 7680, 0, 0,
     QT_TRANSLATE_NOOP("halvorn::ui::Form2", "スペクトルから計算した")},
    {"ComputedCaption2", Kind::Caption, 9480, 8460, 0, 0, QT_TRANSLATE_NOOP("halvorn::ui::Form2", "半価層")},
    {"Label20", Kind::Result, 10320, 8400, 1335, 405, ""},
    {"Label17", Kind::Caption, 11760, 8460, 0, 0, "mm AL"},
    // Bowtie panel.
    {"BowtiePanel", Kind::Panel, 9000, 9120, 3975, 2055, ""},
    //: With the next line: "bowtie filter thickness on the central axis"; either line may come first in the
    //: translation.
    {"BowtieCaption1", Kind::Caption, 9120, 9240, 0, 0,
     QT_TRANSLATE_NOOP("halvorn::ui::Form2", "中心軸上の")},
    {"BowtieCaption2", Kind::Caption, 9120, 9600, 0, 0,
     QT_TRANSLATE_NOOP("halvorn::ui::Form2", "ボウタイフィルタ厚")},
    {"Label21", Kind::Result, 10080, 9990, 1335, 405, ""},
    {"Label7", Kind::Caption, 11520, 10050, 0, 0, "mm Al"},
    // The total aluminium-equivalent filtration the fit found, from which the bowtie thickness follows.
    //: Total (aluminium-equivalent) filtration; at most about 60 pixels, the tool tip says it in full.
    {"TotalFiltrationCaption", Kind::Caption, 9120, 10620, 0, 0,
     QT_TRANSLATE_NOOP("halvorn::ui::Form2", "総ろ過")},
    {"Label22", Kind::Result, 10080, 10560, 1335, 405, ""},
    {"TotalFiltrationUnit", Kind::Caption, 11520, 10620, 0, 0, "mm Al"},
    // Never visible: kept as values below the client area.
    {"Text9", Kind::Hidden, 2640, 11640, 1095, 420, ""},
    {"Text8", Kind::Hidden, 6480, 11640, 1095, 420, ""},
    {"Text2", Kind::Hidden, 10320, 11640, 1095, 420, ""},
};

// The cursor read-out over the plot's bottom strip (made after the plot so it lies on top of it).
const Row kReadOut[] = {
    {"PhotonEnergyCaption", Kind::ReadOut, 480, 7080, 1620, 315,
     QT_TRANSLATE_NOOP("halvorn::ui::Form2", "Photon energy")},
    {"Text6", Kind::Result, 2280, 7080, 855, 330, ""},
    {"KeVCaption", Kind::ReadOut, 3240, 7080, 390, 285, "keV"},
    {"RelativeFluenceCaption", Kind::ReadOutRight, 4200, 7080, 1755, 315,
     QT_TRANSLATE_NOOP("halvorn::ui::Form2", "Relative fluence")},
    {"Text7", Kind::Result, 6120, 7080, 975, 330, ""},
};

const QColor kHeadlineBlue(0, 0, 255);

QWidget* MakeControl(QWidget* parent, const Row& row) {
    const QString text = QCoreApplication::translate("halvorn::ui::Form2", row.text);
    const QFont japanese = JapaneseFont(11);
    QWidget* control = nullptr;
    switch (row.kind) {
        // Static texts grow to their natural size (AddLabel names and places them).
        case Kind::Headline:
            return AddLabel(parent, row.name, text, row.left, row.top, 0, 0, JapaneseFont(18), kHeadlineBlue);
        case Kind::Caption:
            return AddLabel(parent, row.name, text, row.left, row.top, 0, 0, japanese);
        case Kind::Hint:
            return AddLabel(parent, row.name, text, row.left, row.top, 0, 0, JapaneseFont(10.5));
        case Kind::ReadOut:
        case Kind::ReadOutRight: {
            const Qt::Alignment align =
                (row.kind == Kind::ReadOutRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
            QLabel* label = AddLabel(parent, row.name, text, row.left, row.top, row.width, row.height,
                                     TimesFont(11), Qt::black, align);
            SetBackground(label, Qt::white);
            return label;
        }
        case Kind::Panel: {
            auto* panel = new QFrame(parent);
            panel->setFrameStyle(QFrame::Box | QFrame::Plain);
            SetBackground(panel, kLightCyan);
            control = panel;
            break;
        }
        case Kind::Input:
        case Kind::Hidden: {
            auto* field = new QLineEdit(parent);
            field->setFont(japanese);
            field->setAlignment(Qt::AlignCenter);
            SetTextColour(field, kInputBlue);
            if (row.kind == Kind::Hidden)
                field->hide();
            control = field;
            break;
        }
        case Kind::Result: {
            // Text6 and Text7 are text fields, the others labels; all are written by the program only.
            if (QString::fromUtf8(row.name).startsWith(QLatin1String("Text"))) {
                auto* field = new QLineEdit(parent);
                field->setReadOnly(true);
                field->setFocusPolicy(Qt::NoFocus);
                field->setAlignment(Qt::AlignCenter);
                control = field;
            } else {
                auto* label = new QLabel(parent);
                label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                label->setAlignment(Qt::AlignCenter);
                control = label;
            }
            control->setFont(japanese);
            SetBackground(control, kLightYellow);
            break;
        }
        case Kind::Button: {
            auto* button = new QPushButton(text, parent);
            button->setAutoDefault(true);  // Enter on a focused button presses it
            control = button;
            control->setFont(japanese);
            SetBackground(control, kLightYellow);
            break;
        }
        case Kind::Line:
            control = new QFrame(parent);
            SetBackground(control, Qt::black);
            break;
    }
    Place(control, row);
    return control;
}

}  // namespace

Form2::Form2(Application& app) : QWidget(nullptr), app_(app) {
    SetUpScreen(*this, "Form2", tr("  X-ray spectrum by Tucker's formula"), 13215, 11385);

    for (const Row& row : kLayout)
        MakeControl(this, row);

    // The HVL material options in their frame inside the measured-HVL panel.
    auto* frame4 = new QGroupBox(this);
    Place(frame4, "Frame4", 5760, 9412, 2655, 1095);
    option13_ = new QRadioButton(tr("アルミニウム"), frame4);
    Place(option13_, "Option13", 240, 120, 2295, 420);
    option14_ = new QRadioButton(tr("銅", "HVL material"), frame4);
    Place(option14_, "Option14", 240, 570, 2295, 420);
    // Each option is as wide as its circle and text, so a click anywhere on it chooses it.
    for (QRadioButton* option : {option13_, option14_}) {
        option->setFont(JapaneseFont(11));
        option->resize(option->sizeHint().width(), option->height());
    }
    option13_->setChecked(true);

    picture3_ = MakeSpectrumPlot(this);
    Place(picture3_, "Picture3", 240, 1080, 10935, 6375);
    line6_ = new CursorLine(*picture3_, QStringLiteral("Line6"),
                            QLineF(kPlotFrameLeft, kPlotFrameTop, kPlotFrameLeft, kPlotFrameBottom));
    line7_ = new CursorLine(*picture3_, QStringLiteral("Line7"),
                            QLineF(kPlotFrameLeft, kPlotFrameBottom, kPlotFrameRight, kPlotFrameBottom));
    new GraphMenu(*picture3_, app_.presenter(), QStringLiteral("centre-axis-spectrum"));
    for (const Row& row : kReadOut)
        MakeControl(this, row);
    // Beside the read-out: said while the fields no longer hold what the results on show were computed from.
    //: Must stay short: it sits in the strip under the graph, beside the read-out.
    outdated_ = AddLabel(this, "LabelOutdated", tr("前回の入力の結果です：計算し直して下さい"), 7200, 7140,
                         3840, 300, JapaneseFont(9), kRed, Qt::AlignLeft | Qt::AlignVCenter);
    SetBackground(outdated_, Qt::white);
    outdated_->hide();

    const auto field = [this](const char* name) { return findChild<QLineEdit*>(QString::fromUtf8(name)); };
    const auto label = [this](const char* name) { return findChild<QLabel*>(QString::fromUtf8(name)); };
    const auto button = [this](const char* name) { return findChild<QPushButton*>(QString::fromUtf8(name)); };
    text1_ = field("Text1");
    text3_ = field("Text3");
    text4_ = field("Text4");
    text5_ = field("Text5");
    text10_ = field("Text10");
    text11_ = field("Text11");
    text13_ = field("Text13");
    text2_ = field("Text2");
    text8_ = field("Text8");
    text9_ = field("Text9");
    text6_ = field("Text6");
    text7_ = field("Text7");
    label17_ = label("Label17");
    label20_ = label("Label20");
    label21_ = label("Label21");
    label22_ = label("Label22");
    label22_->setToolTip(tr("中心の半価層に合わせて求めた総ろ過（アルミ当量）"));
    label33_ = label("Label33");
    command1_ = button("Command1");
    command3_ = button("Command3");
    command4_ = button("Command4");

    // Tab order: the inputs as they are read, then the buttons.
    QWidget::setTabOrder(text13_, text1_);
    QWidget::setTabOrder(text1_, text5_);
    QWidget::setTabOrder(text5_, text3_);
    QWidget::setTabOrder(text3_, text4_);
    QWidget::setTabOrder(text4_, text10_);
    QWidget::setTabOrder(text10_, text11_);
    QWidget::setTabOrder(text11_, command1_);

    connect(command1_, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(command3_, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(command4_, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(option13_, &QRadioButton::clicked, this, &Form2::Option13_Click);
    connect(option14_, &QRadioButton::clicked, this, &Form2::Option14_Click);
    for (QLineEdit* input : Inputs())
        connect(input, &QLineEdit::textChanged, this, &Form2::InputsEdited);
    connect(option13_, &QRadioButton::toggled, this, &Form2::InputsEdited);
    connect(picture3_, &DrawingSurface::MouseMoved, this,
            [this](QPointF user, Qt::MouseButtons, Qt::KeyboardModifiers) { Picture3_MouseMove(user); });
    qApp->installEventFilter(this);

    ResetForNewCalculation();
    CentreOnScreen(*this);
}

Form2::~Form2() {
    if (qApp)
        qApp->removeEventFilter(this);
}

DrawingSurface& Form2::Picture3() {
    return *picture3_;
}

void Form2::ResetForNewCalculation() {
    runInputs_.clear();  // first, so that setting the defaults cannot count as the inputs of a run
    text1_->setText(QStringLiteral("120"));
    text3_->setText(QStringLiteral("2.5"));
    text5_->setText(QStringLiteral("16"));
    for (QLineEdit* zero : {text4_, text10_, text11_})
        zero->setText(QStringLiteral("0"));
    for (QLineEdit* empty : {text6_, text7_, text13_, text2_, text8_, text9_})
        empty->clear();
    label20_->clear();
    label21_->clear();
    label22_->clear();
    command4_->setEnabled(false);
    line6_->hide();
    line7_->hide();
    option13_->setChecked(true);
    Option13_Click();
    app_.state().PlotCursorShown = 0;
    // BeamSpectrum and SpectrumPeak still hold the previous calculation; the cursor stays inert until
    // a run on this screen has drawn a curve, so it never reads an old spectrum over empty axes.
    cursorLive_ = false;
    ShowOutdated(false);
}

std::vector<QLineEdit*> Form2::Inputs() const {
    return {text13_, text1_, text5_, text3_, text4_, text10_, text11_};
}

QStringList Form2::InputTexts() const {
    QStringList texts;
    for (QLineEdit* input : Inputs())
        texts << input->text();
    texts << (option14_->isChecked() ? QStringLiteral("Cu") : QStringLiteral("Al"));
    return texts;
}

// The results on show belong to the inputs of the run that made them: while any field (or the HVL material)
// says something else, they are greyed with a note and "next" is disabled; back at the run's inputs they
// hold again.
void Form2::InputsEdited() {
    if (runInputs_.isEmpty())
        return;
    const bool current = InputTexts() == runInputs_;
    ShowOutdated(!current);
    command4_->setEnabled(current);
}

void Form2::ShowOutdated(bool outdated) {
    outdated_->setVisible(outdated);
    for (QWidget* readOut : std::initializer_list<QWidget*>{label20_, label21_, label22_, text6_, text7_})
        readOut->setEnabled(!outdated);
}

// Calculate: every input field must hold one number (the two key fields must not be empty, the others count
// as 0 when empty); then the calibration run with the busy dialog up, input to this screen ignored meanwhile.
// A refused value gets the focus with its text selected. After the run every read-out shows what this run
// found and nothing else: a failed run clears what it did not produce, erases the earlier curves and keeps
// "next" disabled.
void Form2::Command1_Click() {
    CalculationState& state = app_.state();
    if (text13_->text().isEmpty()) {
        Refuse(text13_, kMeasuredHvlMissing);
        return;
    }
    if (text1_->text().isEmpty()) {
        Refuse(text1_, kTubeVoltageMissing);
        return;
    }
    CalibrationInputs in;
    const std::pair<InputField, double*> fields[] = {
        {InputField::MeasuredHvl, &in.measuredHvlMm},
        {InputField::TubeVoltage, &in.tubeVoltageKv},
        {InputField::TargetAngle, &in.targetAngleDeg},
        {InputField::InherentFiltration, &in.inherentFiltrationMm},
        {InputField::AddedAluminium, &in.addedAlMm},
        {InputField::AddedCopper, &in.addedCuMm},
        {InputField::AddedSilver, &in.addedAgMm}};
    for (const auto& [input, value] : fields) {
        QLineEdit* field = FieldOf(input);
        const std::string text = field->text().toStdString();
        const FieldNumber number = ReadFieldNumber(text);
        if (number.kind == FieldNumber::Kind::NotANumber) {
            app_.presenter().Warning(this, kInputError, FieldProblemLine(FieldNameText(input), text));
            FocusField(field);
            return;
        }
        *value = number.value;
    }

    in.hvlMaterial = option14_->isChecked() ? HvlMaterial::Copper : HvlMaterial::Aluminium;

    GuiReporter reporter(app_.presenter(), app_, this);
    const CalibrationResult run = CalibrationRun(state, in, reporter);
    if (!run.started) {
        if (run.refused)
            FocusField(FieldOf(*run.refused));
        return;
    }
    // The run on show is this calibration, with the HVL it was fitted to whatever the field holds later.
    if (run.succeeded)
        app_.runs().Set(RecordCalibration(state, MeasuredHvl{in.measuredHvlMm, in.hvlMaterial}));
    else
        app_.runs().Clear();

    auto show = [](const std::optional<double>& value, const char* picture) {
        return value ? FromUtf8(FormatPicture(*value, picture)) : QString();
    };
    text2_->setText(show(run.fittedFiltrationMm, "0.000"));
    text9_->setText(show(run.hvlAlMm, "#0.00"));
    text8_->setText(show(run.hvlCuMm, "#0.00"));
    label20_->setText(in.hvlMaterial == HvlMaterial::Aluminium ? text9_->text() : text8_->text());
    label21_->setText(show(run.centreBowtieMm, "0.000"));
    label22_->setText(text2_->text());
    if (run.succeeded) {
        DrawSpectrumCurve(*picture3_, state.BeamSpectrum, state.SpectrumPeak);
        line6_->SetColour(kRed);
        line7_->SetColour(kRed);
    } else {
        DrawSpectrumAxes(*picture3_);
    }
    cursorLive_ = run.succeeded;
    HideCursor();
    command4_->setEnabled(run.succeeded);
    runInputs_ = run.succeeded ? InputTexts() : QStringList();
    ShowOutdated(false);
}

void Form2::Refuse(QLineEdit* field, const Message& message) {
    app_.presenter().Warning(this, message);
    FocusField(field);
}

void Form2::FocusField(QLineEdit* field) {
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

QLineEdit* Form2::FieldOf(InputField input) const {
    switch (input) {
        case InputField::MeasuredHvl:
            return text13_;
        case InputField::TubeVoltage:
            return text1_;
        case InputField::TargetAngle:
            return text5_;
        case InputField::InherentFiltration:
            return text3_;
        case InputField::AddedAluminium:
            return text4_;
        case InputField::AddedCopper:
            return text10_;
        case InputField::AddedSilver:
        default:
            return text11_;
    }
}

// Cancel: back to the start screen with an empty plot; fields and calculation state stay.
void Form2::Command3_Click() {
    picture3_->Erase();
    app_.CancelCentreAxis();
}

// Next: the dose-profile screen, emptied.
void Form2::Command4_Click() {
    app_.EnterDoseProfile();
}

void Form2::Option13_Click() {
    label17_->setText(QStringLiteral("mm AL"));
    label33_->setText(QStringLiteral("mm AL"));
}

void Form2::Option14_Click() {
    label17_->setText(QStringLiteral("mm Cu"));
    label33_->setText(QStringLiteral("mm Cu"));
}

// The mouse cursor: inside the frame it shows the bin under the mouse (only x chooses the bin); on the
// frame or outside it the cursor goes off.
void Form2::Picture3_MouseMove(QPointF user) {
    CalculationState& state = app_.state();
    if (!cursorLive_ || state.SpectrumPeak == 0 || !std::isfinite(state.SpectrumPeak))
        return;
    const std::optional<int> bin = CursorBinAt(user.x(), user.y());
    if (!bin) {
        HideCursor();
        return;
    }
    line6_->show();
    line7_->show();
    state.PlotCursorIndex = *bin;
    UpdateCursor(*bin);
    state.PlotCursorShown = 1;
}

// Left and right arrows move a shown cursor by one bin, stopping at bins 1 and 300.
void Form2::Form_KeyDown(int key) {
    CalculationState& state = app_.state();
    if (state.PlotCursorShown != 1)
        return;
    if (key == Qt::Key_Right) {
        if (++state.PlotCursorIndex > kBinCount) {
            state.PlotCursorIndex = kBinCount;
            return;
        }
        UpdateCursor(state.PlotCursorIndex);
    } else if (key == Qt::Key_Left) {
        if (--state.PlotCursorIndex < 1) {
            state.PlotCursorIndex = 1;
            return;
        }
        UpdateCursor(state.PlotCursorIndex);
    }
}

void Form2::closeEvent(QCloseEvent* event) {
    Command3_Click();
    event->accept();
}

// A key press reaches this filter once for each widget it is offered to; the window acts on it only at
// its first receiver, the focused control (or the window itself when nothing has the focus).
bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() && isVisible()) {
        auto* widget = static_cast<QWidget*>(watched);
        QWidget* first = focusWidget() ? focusWidget() : this;
        if (widget == first && widget->window() == this)
            Form_KeyDown(static_cast<QKeyEvent*>(event)->key());
    }
    return QWidget::eventFilter(watched, event);
}

void Form2::HideCursor() {
    line6_->hide();
    line7_->hide();
    text6_->clear();
    text7_->clear();
    app_.state().PlotCursorShown = 0;
}

void Form2::UpdateCursor(int bin) {
    const CalculationState& state = app_.state();
    const double x = BinCentreX(bin);
    const double y = ValueY(state.BeamSpectrum[bin], state.SpectrumPeak);
    line6_->SetUserLine(QLineF(x, kPlotFrameTop, x, kPlotFrameBottom));
    line7_->SetUserLine(QLineF(kPlotFrameLeft, y, kPlotFrameRight, y));
    text6_->setText(FromUtf8(FormatPicture(0.5 * bin, "##0.0")));
    text7_->setText(FromUtf8(FormatPicture(100 * state.BeamSpectrum[bin] / state.SpectrumPeak, "##0.000")));
}

}  // namespace halvorn::ui
