#include "dose_profile/Form3.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "common/DrawingSurface.h"
#include "common/EngineText.h"
#include "common/GraphExport.h"
#include "common/GuiReporter.h"
#include "common/MultiLineButton.h"
#include "common/Palette.h"
#include "common/ScreenLayout.h"
#include "engine/NumberText.h"
#include "engine/OffAxisRun.h"
#include "engine/RunRecord.h"
#include "shell/Application.h"

namespace halvorn::ui {

namespace {

enum class Kind { Label, Title, Hint, Heading, Button, TallButton, Field };

using Control = LayoutRow<Kind>;

// Everything but the grid rows, which follow a rule (see BuildLayout).
const Control kControls[] = {
    {"Label39", Kind::Title, 360, 120, 7695, 420,
     QT_TRANSLATE_NOOP("halvorn::ui::Form3", "回転中心から側方向の照射線量（空気カーマ）プロファイル")},
    {"Label42", Kind::Hint, 240, 645, 7035, 345,
     QT_TRANSLATE_NOOP("halvorn::ui::Form3",
                       "（各欄に数値入力後 Enter を押すと自動的に次の入力欄へ進みます）")},
    {"Label1", Kind::Label, 240, 1080, 3720, 375,
     QT_TRANSLATE_NOOP("halvorn::ui::Form3", "焦点-回転中心間距離")},
    {"Text1", Kind::Field, 4080, 1080, 1215, 375, ""},
    {"Label2", Kind::Label, 5280, 1080, 1200, 375, "  cm"},
    {"Label40", Kind::Label, 240, 1560, 3300, 375,
     QT_TRANSLATE_NOOP("halvorn::ui::Form3", "測定点の数（中心点を除く）")},
    {"Label44", Kind::Label, 3600, 1560, 420, 375, "★"},
    {"Text54", Kind::Field, 4080, 1560, 1215, 375, ""},
    //: Unit after the number of points.
    {"Label41", Kind::Label, 5280, 1560, 1200, 375, QT_TRANSLATE_NOOP("halvorn::ui::Form3", "  ポイント")},
    // Headings of the two blocks.
    //: Grid heading over the point numbers, on at most two short lines.
    {"Label25", Kind::Heading, 240, 2160, 735, 720, QT_TRANSLATE_NOOP("halvorn::ui::Form3", " Point  No.")},
    //: Grid heading: off-axis distance (the unit cm is on the line below); one line of at most about 70
    //: pixels.
    {"Label24", Kind::Heading, 960, 2160, 1095, 360, QT_TRANSLATE_NOOP("halvorn::ui::Form3", "軸外距離")},
    {"Label35", Kind::Heading, 960, 2520, 1095, 360, "cm"},
    //: Grid heading, first line of "exposure reading"; at most about 95 pixels.
    {"Label31", Kind::Heading, 2040, 2160, 1455, 360, QT_TRANSLATE_NOOP("halvorn::ui::Form3", "照射線量")},
    //: Grid heading, second line of "exposure reading" (the measured value); at most about 95 pixels.
    {"Label37", Kind::Heading, 2040, 2520, 1455, 360, QT_TRANSLATE_NOOP("halvorn::ui::Form3", "測定値")},
    {"Label33", Kind::Heading, 3840, 2160, 735, 720, QT_TRANSLATE_NOOP("halvorn::ui::Form3", " Point  No.")},
    {"Label32", Kind::Heading, 4560, 2160, 1095, 360, QT_TRANSLATE_NOOP("halvorn::ui::Form3", "軸外距離")},
    {"Label36", Kind::Heading, 4560, 2520, 1095, 360, "cm"},
    {"Label34", Kind::Heading, 5640, 2160, 1455, 360, QT_TRANSLATE_NOOP("halvorn::ui::Form3", "照射線量")},
    {"Label38", Kind::Heading, 5640, 2520, 1455, 360, QT_TRANSLATE_NOOP("halvorn::ui::Form3", "測定値")},
    // The centre's off-axis distance is fixed.
    {"Label43", Kind::Heading, 960, 2880, 1095, 360, "0"},
    //: Tall narrow button: every ASCII blank starts a new line; at most four lines of about 50 pixels.
    {"Command3", Kind::TallButton, 7200, 4200, 855, 1215,
     QT_TRANSLATE_NOOP("halvorn::ui::Form3", "　→　グラフで確認")},
    {"Command1", Kind::Button, 240, 7920, 2535, 615,
     QT_TRANSLATE_NOOP("halvorn::ui::Form3", "スペクトル計算")},
    {"Command4", Kind::Button, 3120, 7920, 1815, 615, QT_TRANSLATE_NOOP("halvorn::ui::Form3", "結果を見る")},
    {"Command2", Kind::Button, 5280, 7920, 2535, 615,
     QT_TRANSLATE_NOOP("halvorn::ui::Form3", "スタート画面へ戻る")},
};

// Grid rows: point p sits in the left block (p <= 12) or the right block, 360 twips a row.
constexpr int kRowTop = 2880;
constexpr int kRowPitch = 360;
int RowTop(int p) {
    return kRowTop + kRowPitch * (p <= 12 ? p : p - 13);
}
int BlockLeft(int p) {
    return p <= 12 ? 240 : 3840;
}
// Number label of point p: Label3 ... Label23 for points 0 ... 20, Label26 ... Label30 for 21 ... 25.
int PointLabelNumber(int p) {
    return p <= 20 ? p + 3 : p + 5;
}

// Enter moves on along this chain: focus distance, point count, centre reading, then distance and
// reading of each point in turn; after the last reading comes the calculation button.
const std::array<int, 53> kEnterChain = [] {
    std::array<int, 53> chain{};
    chain[0] = 1;
    chain[1] = 54;
    chain[2] = 28;
    for (int p = 1; p <= 25; ++p) {
        chain[1 + 2 * p] = p + 2;
        chain[2 + 2 * p] = p + 28;
    }
    return chain;
}();

}  // namespace

Form3::Form3(Application& app) : QWidget(nullptr), app_(app) {
    SetUpScreen(*this, "Form3", QStringLiteral(" Halvorn-2"), 14445, 8760);
    setFont(JapaneseFont(10));
    BuildLayout();
    CentreOnScreen(*this);
}

void Form3::BuildLayout() {
    auto makeField = [this](int number, int left, int top, int width, int height) {
        auto* field = new QLineEdit(this);
        Place(field, QStringLiteral("Text%1").arg(number).toLatin1().constData(), left, top, width, height);
        field->setAlignment(Qt::AlignCenter);
        SetTextColour(field, kInputBlue);
        field->installEventFilter(this);
        fields_[number] = field;
    };

    for (const Control& c : kControls) {
        const QString text = QCoreApplication::translate("halvorn::ui::Form3", c.text);
        switch (c.kind) {
            case Kind::Field:
                makeField(QString::fromLatin1(c.name).mid(4).toInt(), c.left, c.top, c.width, c.height);
                break;
            case Kind::Button:
            case Kind::TallButton: {
                QPushButton* button = c.kind == Kind::TallButton ? new MultiLineButton(text, this)
                                                                 : new QPushButton(text, this);
                Place(button, c);
                button->setAutoDefault(true);  // Enter on a focused button presses it
                break;
            }
            default: {
                auto* label = new QLabel(text, this);
                Place(label, c);
                label->setAlignment(c.kind == Kind::Heading ? Qt::AlignCenter
                                                            : Qt::AlignLeft | Qt::AlignVCenter);
                label->setWordWrap(c.kind == Kind::Heading);
                if (c.kind == Kind::Title)
                    label->setFont(JapaneseFont(12, true));
                if (c.kind == Kind::Hint)
                    label->setFont(JapaneseFont(9));
                break;
            }
        }
    }

    constexpr int kFieldHeight = kRowPitch;  // rows touch without overlapping
    for (int p = 0; p <= 25; ++p) {
        const int top = RowTop(p);
        const int left = BlockLeft(p);
        auto* number = new QLabel(QString::number(p), this);
        Place(number, QStringLiteral("Label%1").arg(PointLabelNumber(p)).toLatin1().constData(), left, top,
              735, kRowPitch);
        number->setAlignment(Qt::AlignCenter);
        if (p >= 1)
            makeField(p + 2, left + 720, top, 1080, kFieldHeight);
        makeField(p + 28, left + 1800, top, 1455, kFieldHeight);
    }

    picture1_ = new DrawingSurface(-10, 120, 42, -140, this);
    Place(picture1_, "Picture1", 8160, 720, 5895, 6975);
    picture1_->setFont(DrawingFont(14.25));
    picture1_->setFocusPolicy(Qt::TabFocus);
    new GraphMenu(*picture1_, app_.presenter(), QStringLiteral("off-axis-ratio"));

    // Under the graph: said while the fields no longer hold what the run on offer was computed from.
    outdated_ = new QLabel(tr("入力が変わりました。結果を見るには計算し直して下さい"), this);
    Place(outdated_, "LabelOutdated", 8160, 7920, 5895, 375);
    outdated_->setFont(JapaneseFont(10));
    SetTextColour(outdated_, kRed);
    outdated_->hide();
    for (QLineEdit* field : fields_)
        if (field)
            connect(field, &QLineEdit::textChanged, this, &Form3::FieldsEdited);

    command1_ = findChild<QPushButton*>("Command1");
    command4_ = findChild<QPushButton*>("Command4");
    auto* command2 = findChild<QPushButton*>("Command2");
    auto* command3 = findChild<QPushButton*>("Command3");
    command4_->hide();
    connect(command1_, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &Form3::Command2_Click);
    connect(command3, &QPushButton::clicked, this, &Form3::Command3_Click);
    connect(command4_, &QPushButton::clicked, this, &Form3::Command4_Click);

    // Tab runs down all distances, then all readings, then the point count and the buttons.
    QList<QWidget*> tabOrder{fields_[1]};
    for (int n = 3; n <= 27; ++n)
        tabOrder << fields_[n];
    for (int n = 28; n <= 53; ++n)
        tabOrder << fields_[n];
    tabOrder << fields_[54] << command1_ << command2 << picture1_ << command3 << command4_;
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

QLineEdit* Form3::Field(int number) const {
    return number >= 0 && number < int(fields_.size()) ? fields_[number] : nullptr;
}

void Form3::EnterFromCentreAxis() {
    for (QLineEdit* field : fields_)
        if (field)
            field->clear();
    picture1_->Erase();
    HideResultsButton();
}

QStringList Form3::FieldTexts() const {
    QStringList texts;
    for (QLineEdit* field : fields_)
        texts << (field ? field->text() : QString());
    return texts;
}

void Form3::HideResultsButton() {
    command4_->hide();
    outdated_->hide();
    runFields_.clear();
}

// "結果を見る" hands over what the last run computed; once a field says something else it is disabled with
// the note beside the graph, until the fields are back to the run's or a new run completes.
void Form3::FieldsEdited() {
    if (runFields_.isEmpty())
        return;
    const bool current = FieldTexts() == runFields_;
    command4_->setEnabled(current);
    outdated_->setVisible(!current);
}

// The name of a field in a message line: "ポイント 11 の軸外距離".
QString Form3::FieldName(int number) const {
    if (number == 1)
        return FieldNameText(InputField::FocusDistance);
    if (number == 54)
        return FieldNameText(InputField::PointCount);
    if (number <= 27)
        return tr("ポイント %1 の軸外距離").arg(number - 2);
    return tr("ポイント %1 の照射線量の測定値").arg(number - 28);
}

// Enter in a field: the point count always moves on, every other field only when it holds some text.
void Form3::Field_EnterPressed(int number) {
    if (number != 54 && fields_[number]->text().isEmpty())
        return;
    const auto at = std::find(kEnterChain.begin(), kEnterChain.end(), number);
    if (at + 1 == kEnterChain.end())
        command1_->setFocus(Qt::OtherFocusReason);
    else
        FocusField(*(at + 1));
}

// The next field with its whole text selected, so that typing replaces what it holds.
void Form3::FocusField(int number) {
    fields_[number]->setFocus(Qt::OtherFocusReason);
    fields_[number]->selectAll();
}

// The grid as numbers, read in the order the run converts it: focus distance, point count, the distances,
// the centre reading, the readings. Every field must hold one number or nothing (an empty field is 0);
// the first that holds anything else gets the input-error message and the focus.
std::optional<ProfileGrid> Form3::ReadGrid() {
    ProfileGrid grid;
    auto read = [this](int number, double& target) {
        const std::string text = fields_[number]->text().toStdString();
        const FieldNumber value = ReadFieldNumber(text);
        if (value.kind == FieldNumber::Kind::NotANumber) {
            app_.presenter().Warning(this, kInputError, FieldProblemLine(FieldName(number), text));
            FocusField(number);
            return false;
        }
        target = value.value;
        return true;
    };
    if (!read(1, grid.focusDistanceCm) || !read(54, grid.pointCount))
        return std::nullopt;
    for (int p = 1; p <= kMaxPoint; ++p)
        if (!read(p + 2, grid.distanceCm[p]))
            return std::nullopt;
    for (int p = 0; p <= kMaxPoint; ++p)
        if (!read(p + 28, grid.reading[p]))
            return std::nullopt;
    return grid;
}

bool Form3::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (int number : kEnterChain) {
                if (watched == fields_[number]) {
                    Field_EnterPressed(number);
                    return true;
                }
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

// スペクトル計算: the engine checks and converts the grid and runs the solver under the busy dialog. Only a
// run that completes offers its results; after any other outcome "結果を見る" is hidden, so nothing of a
// failed run can be saved, and a refused value gets the focus.
void Form3::Command1_Click() {
    HideResultsButton();
    const std::optional<ProfileGrid> grid = ReadGrid();
    if (!grid)
        return;
    GuiReporter reporter(app_.presenter(), app_, this);
    const OffAxisResult run = OffAxisRun(app_.state(), *grid, reporter);
    if (run.outcome == OffAxisOutcome::Completed) {
        // The run on show gains this profile; its calibration was recorded by the centre-axis screen.
        if (const RunRecord* calibration = app_.runs().current(); calibration && !calibration->loaded()) {
            RunRecord record = *calibration;
            const int last = LastProfilePoint(app_.state());
            RecordProfile(record, app_.state(),
                          std::vector<double>(grid->reading.begin(), grid->reading.begin() + last + 1));
            app_.runs().Set(std::move(record));
        }
        runFields_ = FieldTexts();
        command4_->setEnabled(true);
        command4_->show();
        command4_->setFocus(Qt::OtherFocusReason);
    } else if (run.refused) {
        const GridRefusal& refused = *run.refused;
        FocusField(refused.geometry == GeometryRefusal::Kind::PointOnCentre ? refused.point + 2
                   : refused.field == InputField::FocusDistance             ? 1
                   : refused.field == InputField::PointCount                ? 54
                                                                            : 28 + refused.point);
    }
}

// スタート画面へ戻る: the fields and the calculation state keep their contents.
void Form3::Command2_Click() {
    app_.LeaveDoseProfile();
}

// グラフで確認: the measured off-axis ratio; any failure ends the drawing with one message and leaves what
// was drawn so far.
void Form3::Command3_Click() {
    const std::optional<ProfileGrid> grid = ReadGrid();
    if (grid && !DrawOffAxisRatio(*grid))
        app_.presenter().Warning(this, kInputError);
}

// 結果を見る
void Form3::Command4_Click() {
    app_.HandOverToResults();
}

void Form3::closeEvent(QCloseEvent* event) {
    event->ignore();
    Command2_Click();
}

// Draws the plain reading ratios (no distance correction) in percent against the off-axis distance, from
// the grid alone: what the calculation state holds, and so what a later save writes, is not touched.
// Returns false at the first failing step.
bool Form3::DrawOffAxisRatio(const ProfileGrid& grid) {
    const auto ratios = RelativeKerma(grid, false);
    if (!ratios)
        return false;

    DrawingSurface& picture = *picture1_;
    picture.Erase();
    picture.SetLineWidth(1);
    DrawFrame();
    for (int x = 5; x <= 35; x += 5)
        picture.Line({double(x), 0}, {double(x), 110}, kGrey);
    for (int y = 10; y <= 100; y += 10)
        picture.Line({0, double(y)}, {30, double(y)}, kGrey);
    const struct {
        const char* text;
        double x, y;
    } labels[] = {{"1.0", -3, 102},
                  {"0.5", -3, 52},
                  {"0", -2, 2},
                  //: The axis title of the off-axis ratio graph, on three short lines left of the frame.
                  {QT_TRANSLATE_NOOP("halvorn::ui::Form3", "Off"), -8, 85},
                  {QT_TRANSLATE_NOOP("halvorn::ui::Form3", "Center"), -8, 80},
                  {QT_TRANSLATE_NOOP("halvorn::ui::Form3", "Ratio"), -8, 75},
                  {"0", -1, -2},
                  {"10", 9, -2},
                  {"20", 19, -2},
                  {"30", 29, -2},
                  {QT_TRANSLATE_NOOP("halvorn::ui::Form3", "Off Center,  cm"), 15, -8}};
    for (const auto& label : labels)
        picture.Text({label.x, label.y}, QCoreApplication::translate("halvorn::ui::Form3", label.text));

    // The points in entry order from the centre (ratio 1); the grid holds 25 points, so a larger count
    // fails at point 26 after drawing the others.
    picture.SetLineWidth(2);
    picture.Dot({0, 100}, kRed);
    for (int k = 1; k <= grid.pointCount; ++k) {
        if (k > kMaxPoint)
            return false;
        picture.LineTo({grid.distanceCm[k], 100 * (*ratios)[k]}, kRed);
    }
    DrawFrame();
    return true;
}

void Form3::DrawFrame() {
    picture1_->Rectangle({0, 0}, {30, 110}, kBlack);
}

}  // namespace halvorn::ui
