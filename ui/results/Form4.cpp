#include "results/Form4.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <cmath>

#include "common/DrawingSurface.h"
#include "common/EngineText.h"
#include "common/GraphExport.h"
#include "common/MultiLineButton.h"
#include "common/Palette.h"
#include "common/ScreenLayout.h"
#include "common/SpectrumPlot.h"
#include "engine/AttenuationTable.h"
#include "engine/BeamQuality.h"
#include "engine/InputRanges.h"
#include "engine/NumberText.h"
#include "engine/ResultFile.h"
#include "engine/ResultsDisplay.h"
#include "engine/RunRecord.h"
#include "engine/ShiftJis.h"
#include "shell/Application.h"

namespace halvorn::ui {

namespace {

enum class Kind {
    Caption,
    CentredCaption,
    RightCaption,
    Title,
    Value,
    Comment,
    Button,
    BreakingButton,
    Edit,
    Check,
    List,
    Arrow,
    Line
};

using Control = LayoutRow<Kind>;

// The screen in twips. Captions sit left of their value label and units right of it.
const Control kLayout[] = {
    {"Label11", Kind::Title, 900, 240, 2010, 285, QT_TRANSLATE_NOOP("halvorn::ui::Form4", "計算結果の表示")},
    {"Label7", Kind::Caption, 600, 840, 2640, 240,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "既存データファイル一覧")},
    {"Label8", Kind::Caption, 480, 1200, 2880, 240,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "ファイルを選択して下さい")},
    {"File1", Kind::List, 240, 1560, 3615, 5130, ""},
    {"Label10", Kind::Caption, 480, 6960, 2640, 360,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "このファイルのコメント")},
    {"Label36", Kind::Comment, 240, 7320, 3615, 375, ""},
    {"Command1", Kind::Button, 600, 7920, 2535, 735, "OK"},
    // The caption is too wide for one line on this button; it breaks at its blank.
    //: Two-line button: it breaks at every ASCII blank, so join the words of a line with no-break spaces
    {"Command6", Kind::BreakingButton, 600, 8880, 2535, 975,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "ボウタイフィルタの 形状を表示")},
    {"Command2", Kind::Button, 600, 10320, 2565, 645,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "スタート画面へ戻る")},
    //: The focus–centre distance (cm); caption of 100 px at 9.75 pt
    {"Label24", Kind::Caption, 4320, 7620, 1500, 285, QT_TRANSLATE_NOOP("halvorn::ui::Form4", "回転半径")},
    {"Label22", Kind::Value, 5880, 7560, 975, 375, ""},
    {"Label23", Kind::Caption, 6960, 7620, 1500, 285, "cm"},
    {"Label16", Kind::Caption, 4320, 8100, 1500, 285, QT_TRANSLATE_NOOP("halvorn::ui::Form4", "管電圧")},
    {"Label17", Kind::Value, 5880, 8040, 975, 375, ""},
    {"Label18", Kind::Caption, 6960, 8100, 1500, 285, "kV"},
    //: Inherent filtration (mm Al eq.); caption of 100 px at 9.75 pt
    {"Label19", Kind::Caption, 4320, 8580, 1500, 285, QT_TRANSLATE_NOOP("halvorn::ui::Form4", "固有ろ過")},
    {"Label20", Kind::Value, 5880, 8520, 975, 375, ""},
    {"Label21", Kind::Caption, 6960, 8580, 1500, 285, "mm Al eq."},
    {"Label34", Kind::CentredCaption, 3720, 9270, 1080, 285, QT_TRANSLATE_NOOP("halvorn::ui::Form4", "付加")},
    {"Label35", Kind::CentredCaption, 3720, 9570, 1080, 285,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "フィルタ")},
    {"Line1", Kind::Line, 4860, 9060, 15, 975, ""},
    {"Line2", Kind::Line, 4860, 9060, 135, 15, ""},
    {"Line3", Kind::Line, 4860, 10020, 135, 15, ""},
    //: Added aluminium filter; 56 px wide
    {"Label31", Kind::Caption, 5040, 9060, 840, 285, QT_TRANSLATE_NOOP("halvorn::ui::Form4", "アルミ")},
    {"Label25", Kind::Value, 5880, 9000, 975, 375, ""},
    {"Label28", Kind::Caption, 6960, 9060, 600, 285, "mm"},
    {"Label32", Kind::Caption, 5040, 9420, 840, 285, QT_TRANSLATE_NOOP("halvorn::ui::Form4", "銅")},
    {"Label26", Kind::Value, 5880, 9360, 975, 375, ""},
    {"Label29", Kind::Caption, 6960, 9420, 600, 285, "mm"},
    {"Label33", Kind::Caption, 5040, 9780, 840, 285, QT_TRANSLATE_NOOP("halvorn::ui::Form4", "銀")},
    {"Label27", Kind::Value, 5880, 9720, 975, 375, ""},
    {"Label30", Kind::Caption, 6960, 9780, 600, 285, "mm"},
    {"Check1", Kind::Check, 10560, 7080, 4335, 375,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "各スペクトルの最大値で正規化する")},
    {"Label2", Kind::Caption, 9120, 7800, 2640, 240,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "スペクトル表示ポイント")},
    {"Label12", Kind::Caption, 9480, 8160, 2400, 240,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "No. を入力して下さい")},
    {"Picture1", Kind::Arrow, 11940, 8040, 480, 480, ""},
    {"Text2", Kind::Edit, 12480, 8040, 975, 495, ""},
    {"Command4", Kind::Button, 13440, 8040, 1095, 495, QT_TRANSLATE_NOOP("halvorn::ui::Form4", "表示")},
    {"Label9", Kind::RightCaption, 9120, 8640, 3240, 285,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "最大ポイント No.")},
    {"Label13", Kind::Value, 12480, 8580, 975, 375, ""},
    {"Label5", Kind::RightCaption, 9120, 9180, 3240, 285,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "回転中心からの距離")},
    {"Label14", Kind::Value, 12480, 9120, 1215, 375, ""},
    {"Label6", Kind::Caption, 13800, 9180, 600, 285, "cm"},
    {"Label3", Kind::RightCaption, 9120, 9720, 3240, 285,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "ボウタイフィルタ透過長")},
    {"Label15", Kind::Value, 12480, 9660, 1215, 375, ""},
    {"Label4", Kind::Caption, 13800, 9720, 1200, 285, "mm Al"},
    {"Label1", Kind::Caption, 3720, 10680, 3600, 240,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "保存ファイル名（拡張子なしで）")},
    {"Picture2", Kind::Arrow, 7320, 10560, 480, 480, ""},
    {"Text1", Kind::Edit, 7920, 10560, 5055, 495, ""},
    {"Command3", Kind::Button, 13080, 10560, 1695, 495,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "データ保存")},
    // The beam-quality table and the export, in the free column between the set-up values and the point
    // read-outs.
    //: Opens the beam-quality table; button of 96 px at 10.5 pt
    {"CommandBeamQuality", Kind::Button, 7620, 8940, 1440, 495,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "線質一覧")},
    {"CommandExport", Kind::Button, 7620, 9540, 1440, 495,
     QT_TRANSLATE_NOOP("halvorn::ui::Form4", "エクスポート")},
};

// The value labels, emptied together on entry to the browse state.
const char* const kValueLabels[] = {"Label22", "Label17", "Label20", "Label25", "Label26",
                                    "Label27", "Label13", "Label14", "Label15"};

// The marker beside the point and file-name boxes: a grey arrow pointing at the box to its right.
QPixmap RightArrow() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kGrey);
    const QPointF arrow[] = {{3, 12}, {17, 12}, {17, 4}, {30, 16}, {17, 28}, {17, 20}, {3, 20}};
    painter.drawPolygon(arrow, 7);
    return pixmap;
}

// Point size of the Japanese text of each kind of control; 0 for kinds without text.
double FontPoints(Kind kind) {
    switch (kind) {
        case Kind::Title:
            return 11;
        case Kind::Button:
        case Kind::BreakingButton:
        case Kind::Edit:
            return 10.5;
        case Kind::Arrow:
        case Kind::Line:
            return 0;
        default:
            return 9.75;
    }
}

QWidget* MakeControl(const Control& c, QWidget* parent) {
    const QString text = QCoreApplication::translate("halvorn::ui::Form4", c.text);
    QWidget* widget = nullptr;
    switch (c.kind) {
        case Kind::Caption:
        case Kind::CentredCaption:
        case Kind::RightCaption:
        case Kind::Title: {
            auto* label = new QLabel(text, parent);
            label->setAlignment(Qt::AlignVCenter | (c.kind == Kind::CentredCaption ? Qt::AlignHCenter
                                                    : c.kind == Kind::RightCaption ? Qt::AlignRight
                                                                                   : Qt::AlignLeft));
            widget = label;
            break;
        }
        case Kind::Value:
        case Kind::Comment: {
            auto* label = new QLabel(parent);
            label->setAlignment(Qt::AlignCenter);
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
            SetBackground(label, c.kind == Kind::Value ? kLightCyan : QColor(Qt::white));
            widget = label;
            break;
        }
        case Kind::Button:
        case Kind::BreakingButton: {
            auto* button = c.kind == Kind::BreakingButton ? new MultiLineButton(text, parent)
                                                          : new QPushButton(text, parent);
            button->setAutoDefault(true);  // Enter on a focused button presses it
            widget = button;
            break;
        }
        case Kind::Edit: {
            auto* edit = new QLineEdit(parent);
            edit->setAlignment(Qt::AlignCenter);
            widget = edit;
            break;
        }
        case Kind::Check:
            widget = new QCheckBox(text, parent);
            break;
        case Kind::List: {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            widget = list;
            break;
        }
        case Kind::Arrow: {
            auto* picture = new QLabel(parent);
            picture->setPixmap(RightArrow());
            picture->setAlignment(Qt::AlignCenter);
            widget = picture;
            break;
        }
        case Kind::Line:
            widget = new QFrame(parent);
            SetBackground(widget, kBlack);
            break;
    }
    if (const double points = FontPoints(c.kind))
        widget->setFont(JapaneseFont(points, c.kind == Kind::Title));
    Place(widget, c);
    // Lines one twip-pixel thick would round to zero.
    if (c.kind == Kind::Line)
        widget->resize(std::max(1, widget->width()), std::max(1, widget->height()));
    return widget;
}

bool UsableDivisor(double divisor) {
    return std::isfinite(divisor) && divisor > 0;
}

}  // namespace

Form4::Form4(Application& app) : QWidget(nullptr), app_(app) {
    SetUpScreen(*this, "Form4", QStringLiteral(" Halvorn-2"), 15270, 11325);

    for (const Control& c : kLayout)
        MakeControl(c, this);

    picture3_ = MakeSpectrumPlot(this);
    Place(picture3_, "Picture3", 4080, 240, 10935, 6735);
    auto* command5 = new QPushButton(tr("Graph Clear"), picture3_);
    Place(command5, "Command5", 18, 6301, 1335, 375);
    command5->setAutoDefault(true);
    command5->setFont(JapaneseFont(9));  // not the plot's Times
    new GraphMenu(*picture3_, app_.presenter(), QStringLiteral("spectra"));

    file1_ = findChild<QListWidget*>("File1");
    text1_ = findChild<QLineEdit*>("Text1");
    text2_ = findChild<QLineEdit*>("Text2");
    check1_ = findChild<QCheckBox*>("Check1");
    command1_ = findChild<QPushButton*>("Command1");
    command3_ = findChild<QPushButton*>("Command3");
    command4_ = findChild<QPushButton*>("Command4");
    command6_ = findChild<QPushButton*>("Command6");
    commandBeamQuality_ = findChild<QPushButton*>("CommandBeamQuality");
    commandExport_ = findChild<QPushButton*>("CommandExport");
    label1_ = findChild<QLabel*>("Label1");
    picture2_ = findChild<QLabel*>("Picture2");

    connect(file1_, &QListWidget::itemSelectionChanged, this, &Form4::File1_Click);
    connect(command1_, &QPushButton::clicked, this, &Form4::Command1_Click);
    connect(findChild<QPushButton*>("Command2"), &QPushButton::clicked, this, &Form4::Command2_Click);
    connect(command3_, &QPushButton::clicked, this, &Form4::Command3_Click);
    connect(command4_, &QPushButton::clicked, this, &Form4::Command4_Click);
    connect(command5, &QPushButton::clicked, this, &Form4::Command5_Click);
    connect(command6_, &QPushButton::clicked, this, &Form4::Command6_Click);
    connect(commandBeamQuality_, &QPushButton::clicked, this, &Form4::CommandBeamQuality_Click);
    connect(commandExport_, &QPushButton::clicked, this, &Form4::CommandExport_Click);
    text2_->installEventFilter(this);

    DrawSpectrumAxes(*picture3_);
}

DrawingSurface& Form4::Picture3() {
    return *picture3_;
}

void Form4::showEvent(QShowEvent* event) {
    // Centred on the screen the first time it opens; afterwards where the user left it.
    if (!centred_) {
        centred_ = true;
        CentreOnScreen(*this);
    }
    QWidget::showEvent(event);
}

// The files whose name matches *.csv and that begin as a result file does (other tables saved as CSV in
// the folder are not offered); ".csv" too, which a save with an empty name writes.
void Form4::ReadFileList() {
    QStringList names;
    for (const QString& name :
         QDir::current().entryList({QStringLiteral("*.csv")}, QDir::Files | QDir::Hidden, QDir::Name))
        if (LooksLikeResultFile(QFile::encodeName(name).toStdString()))
            names << name;
    const QSignalBlocker blocker(file1_);
    file1_->clear();
    file1_->addItems(names);
}

// After a refused load the list and the comment go back to the data on show: the loaded file, or nothing
// for a fresh calculation.
void Form4::SelectShownFile() {
    const QSignalBlocker blocker(file1_);
    file1_->clearSelection();
    SetLabel("Label36", "");
    command1_->setEnabled(false);
    if (loadedFile_.isEmpty())
        return;
    const QList<QListWidgetItem*> items =
        file1_->findItems(QFileInfo(loadedFile_).fileName(), Qt::MatchExactly);
    if (items.isEmpty())
        return;
    items.front()->setSelected(true);
    file1_->setCurrentItem(items.front());
    if (const auto comment = ReadResultComment(QFile::encodeName(loadedFile_).toStdString()))
        SetLabel("Label36", *comment);
    command1_->setEnabled(true);
}

QString Form4::SelectedFile() const {
    const QList<QListWidgetItem*> selected = file1_->selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text();
}

void Form4::SetLabel(const char* name, const std::string& text) {
    findChild<QLabel*>(name)->setText(FromUtf8(text));
}

void Form4::SetSaveControlsVisible(bool visible) {
    label1_->setVisible(visible);
    picture2_->setVisible(visible);
    text1_->setVisible(visible);
    command3_->setVisible(visible);
}

void Form4::SetResultButtonsEnabled(bool enabled) {
    for (QPushButton* button : {command4_, command6_, commandBeamQuality_, commandExport_})
        button->setEnabled(enabled);
}

const RunRecord& Form4::ShownRun() const {
    static const RunRecord kNone{};
    const RunRecord* run = app_.runs().current();
    return run ? *run : kNone;
}

// The centre spectrum of the run on show against its own peak, which becomes the state's SpectrumPeak: the
// divisor of every curve drawn later against the centre.
void Form4::DrawCentreSpectrum() {
    CalculationState& state = app_.state();
    const Spectrum& centre = SpectrumOf(ShownRun(), 0);
    DrawSpectrumAxes(*picture3_);
    state.SpectrumPeak = OwnPeak(centre);
    if (UsableDivisor(state.SpectrumPeak)) {
        DrawSpectrumCurve(*picture3_, centre, state.SpectrumPeak);
    } else {
        app_.presenter().Warning(this, tr(" 中心のスペクトルが 0 のため、スペクトルを描けません "));
    }
}

void Form4::EnterBrowseState() {
    DrawSpectrumAxes(*picture3_);
    SetSaveControlsVisible(false);
    command1_->setEnabled(false);
    SetResultButtonsEnabled(false);
    loadedFile_.clear();
    text2_->clear();
    findChild<QLabel*>("Label36")->clear();
    for (const char* name : kValueLabels)
        findChild<QLabel*>(name)->clear();
    ReadFileList();
}

void Form4::EnterResultState() {
    DrawCentreSpectrum();
    command1_->setEnabled(false);
    SetSaveControlsVisible(true);
    text1_->clear();
    command3_->setEnabled(true);
    SetResultButtonsEnabled(true);
    loadedFile_.clear();
    pendingComment_.clear();
    text2_->setText("0");
    const RunRecord& run = ShownRun();
    const RunInputs& in = run.inputs;
    SetLabel("Label15", FormatPicture(run.centreBowtieMm(), "##0.000"));
    SetLabel("Label14", "0");
    SetLabel("Label13", PlainDecimal(run.pointCount));
    SetLabel("Label36", "");
    SetLabel("Label22", PlainDecimal(in.focusCentreDistanceCm));
    SetLabel("Label17", PlainDecimal(in.tubeVoltageKv));
    SetLabel("Label20", PlainDecimal(in.inherentFiltrationMm));
    SetLabel("Label25", PlainDecimal(in.addedAlMm));
    SetLabel("Label26", PlainDecimal(in.addedCuMm));
    SetLabel("Label27", PlainDecimal(in.addedAgMm));
    check1_->setChecked(false);
    ReadFileList();
}

void Form4::File1_Click() {
    const QString name = SelectedFile();
    if (name.isEmpty())
        return;
    const std::optional<std::string> comment = ReadResultComment(QFile::encodeName(name).toStdString());
    if (!comment) {
        // No other file's comment beside this name, and nothing to load from it.
        SetLabel("Label36", "");
        command1_->setEnabled(false);
        app_.presenter().Warning(this, tr(" ファイル %1 を読めません ").arg(name));
        return;
    }
    SetLabel("Label36", *comment);
    command1_->setEnabled(true);
}

// OK: loads the chosen file. A file that is not a whole result file is refused with a message naming it and
// the place where it goes wrong; the screen and the calculation state stay as they were.
void Form4::Command1_Click() {
    const QString name = SelectedFile();
    if (name.isEmpty()) {
        app_.presenter().Warning(this, tr(" ファイルが選択されていません "));
        return;
    }
    CalculationState& state = app_.state();
    const ResultLoad load = LoadResultFile(state, QFile::encodeName(name).toStdString());
    if (load.status == ResultLoad::Status::CannotOpen) {
        app_.presenter().Warning(this, tr(" ファイル %1 を読めません ").arg(name));
        SelectShownFile();
        return;
    }
    if (load.status == ResultLoad::Status::NotAResultFile) {
        const QString where = load.line > 0 ? tr("%1 行目: ").arg(load.line) : QString();
        app_.presenter().Warning(this, tr(" ファイル %1 は結果ファイルとして読めません（%2%3） ")
                                           .arg(name, where, PhraseText(load.reason)));
        SelectShownFile();
        return;
    }
    pendingComment_.clear();
    if (!load.commentReadsAsShiftJis)
        app_.presenter().Warning(
            this,
            tr(" ファイル %1 は Shift-JIS で書かれていないため、コメントが文字化けしているかもしれません ")
                .arg(name));
    // The run on show is this file now. Its record is made at once, so that the screen shows and a save
    // writes what was loaded; a table that cannot be read is reported when a window needs its figures.
    loadedFile_ = QFileInfo(name).absoluteFilePath();
    TakeCentrePeak(state);  // a file holds no peak: the record's is the centre spectrum's own
    RecordLoadedFile(false);
    const RunRecord& run = ShownRun();
    const RunInputs& in = run.inputs;
    SetLabel("Label22", FormatPicture(in.focusCentreDistanceCm, "#00.0"));
    SetLabel("Label17", FormatPicture(in.tubeVoltageKv, "#00"));
    SetLabel("Label20", FormatPicture(in.inherentFiltrationMm, "#0.00"));
    SetLabel("Label25", FormatPicture(in.addedAlMm, "#0.00"));
    SetLabel("Label26", FormatPicture(in.addedCuMm, "0.00"));
    SetLabel("Label27", FormatPicture(in.addedAgMm, "0.00"));
    SetLabel("Label13", PlainDecimal(run.pointCount));
    text2_->setText("0");
    SetLabel("Label14", "0");
    SetLabel("Label15", FormatPicture(run.centreBowtieMm(), "##0.000"));
    DrawCentreSpectrum();
    SetResultButtonsEnabled(true);
}

// データ保存: the name must be given and be a plain name in the working folder; an existing file of that
// name is replaced only when the user says so (No is the default).
void Form4::Command3_Click() {
    MessagePresenter& presenter = app_.presenter();
    const QString base = text1_->text();
    if (base.trimmed().isEmpty()) {
        presenter.Warning(this, tr(" 保存ファイル名を入力して下さい "));
        FocusSaveName();
        return;
    }
    if (base.contains('/') || base.contains('\\')) {
        presenter.Warning(this, tr(" ファイル名に / や \\ は使えません "));
        FocusSaveName();
        return;
    }
    // Whether to replace an earlier file is asked before the comment is typed.
    const QString name = base + ".csv";
    const QFileInfo existing(name);
    if ((existing.exists() || existing.isSymLink()) &&
        !presenter.AskYesNo(this, tr(" ファイル %1 は既にあります。置き換えますか？ ").arg(name),
                            tr("データ保存")))
        return;
    // The comment of a try that did not save is offered again. Characters the file cannot hold are named
    // before anything is written: Yes saves them as "?", No goes back to the comment.
    std::string comment;
    for (;;) {
        const std::optional<QString> answer = presenter.AskText(
            this, tr("このデータについてのコメントを入力して下さい"), tr("コメント入力"), pendingComment_);
        if (!answer || answer->isEmpty()) {
            presenter.Warning(this, tr(" コメントが入力されていません "));
            return;
        }
        pendingComment_ = *answer;
        comment = answer->toStdString();
        const std::vector<std::string> missing = NotInShiftJis(comment);
        if (missing.empty())
            break;
        QStringList characters;
        for (const std::string& character : missing)
            characters << FromUtf8(character);
        if (presenter.AskYesNo(this,
                               tr(" コメントの次の文字は結果ファイル（Shift-JIS）に保存できません：%1 \n"
                                  " 「?」に置き換えて保存しますか？（いいえ：コメントの入力に戻ります） ")
                                   .arg(characters.join(QStringLiteral("  "))),
                               tr("データ保存")))
            break;
    }
    QCoreApplication::processEvents();
    std::string error;
    const RunRecord* run = app_.runs().current();
    if (!run)
        error = tr("表示中の結果がありません").toStdString();
    if (!run || !SaveResultFile(*run, comment, QFile::encodeName(name).toStdString(), &error)) {
        // Nothing was written over an earlier file of that name; the screen stays as it was so the user
        // can correct the name and save again.
        presenter.Warning(this, tr(" ファイル %1 を保存できませんでした（%2） ").arg(name, FromUtf8(error)));
        return;
    }
    pendingComment_.clear();
    QCoreApplication::processEvents();
    presenter.Notice(this, tr(" ファイルを保存しました "));
    QCoreApplication::processEvents();
    ReadFileList();
    SetSaveControlsVisible(false);
    command1_->setEnabled(true);
}

void Form4::FocusSaveName() {
    text1_->setFocus(Qt::OtherFocusReason);
    text1_->selectAll();
}

void Form4::Command5_Click() {
    DrawSpectrumAxes(*picture3_);
}

void Form4::Command6_Click() {
    app_.ShowBowtieFigure();
}

// The record of the run on show, for the windows that show its figures. A loaded result file was recorded
// at load time; when the table file could not be read then, it is read again now (the calculation state may
// hold no table, and loading one into the state would clear the results on show). A fresh calculation's
// record was made by its runs.
bool Form4::RecordShownRun() {
    if (loadedFile_.isEmpty() || loadedTableRead_)
        return app_.runs().current() != nullptr;
    return RecordLoadedFile(true);
}

bool Form4::RecordLoadedFile(bool warn) {
    const std::string path = QFile::encodeName(loadedFile_).toStdString();
    const std::string tablePath = app_.TablePath();
    AttenuationCoefficients table;
    TableLoadDetail detail;
    loadedTableRead_ = ReadAttenuationTable(tablePath, table, detail) == TableLoadStatus::Ok;
    if (!loadedTableRead_) {
        table = AttenuationCoefficients{};
        if (warn)
            app_.presenter().Warning(this, tr(" 減弱係数テーブルを読めないため、線質を計算できません（%1） ")
                                               .arg(FromUtf8(DescribeTableLoadFailure(detail, tablePath))));
    }
    app_.runs().Set(RecordLoadedResult(app_.state(), table, path, ReadResultComment(path).value_or("")));
    return loadedTableRead_;
}

void Form4::CommandBeamQuality_Click() {
    if (RecordShownRun())
        app_.ShowBeamQualityWindow();
}

void Form4::CommandExport_Click() {
    if (RecordShownRun())
        app_.ShowExportDialog();
}

void Form4::Command2_Click() {
    app_.LeaveResults();
}

void Form4::closeEvent(QCloseEvent* event) {
    // The close box goes back to the start screen, so some window always stays open.
    event->ignore();
    Command2_Click();
}

void Form4::Command4_Click() {
    ShowPointSpectrum();
}

void Form4::ShowPointSpectrum() {
    const CalculationState& state = app_.state();
    const RunRecord& run = ShownRun();
    // The box holds one number; empty is point 0.
    const std::string typed = text2_->text().toStdString();
    const FieldNumber number = ReadFieldNumber(typed);
    if (number.kind == FieldNumber::Kind::NotANumber) {
        app_.presenter().Warning(this, kInputError, tr("ポイントNo.：%1").arg(FieldProblemText(typed)));
        text2_->setFocus();
        text2_->selectAll();
        return;
    }
    // A point has a whole number: 1.5 is refused rather than shown as point 2.
    if (number.value != std::floor(number.value)) {
        app_.presenter().Warning(this, tr(" ポイントNo.は整数で入力して下さい "));
        text2_->setFocus();
        text2_->selectAll();
        return;
    }
    const std::optional<int> point = PointToShow(number.value, run.pointCount);
    if (!point || static_cast<std::size_t>(*point) >= run.points.size()) {
        app_.presenter().Warning(this, tr(" ポイントNo.が範囲外です "));
        text2_->setFocus();
        return;
    }
    const int q = *point;
    const Spectrum& spectrum = SpectrumOf(run, q);
    const double divisor = check1_->isChecked() ? OwnPeak(spectrum) : state.SpectrumPeak;
    if (UsableDivisor(divisor)) {
        DrawSpectrumCurve(*picture3_, spectrum, divisor);
    } else {
        app_.presenter().Warning(this, check1_->isChecked()
                                           ? tr(" ポイント %1 のスペクトルが 0 のため、描けません ").arg(q)
                                           : tr(" 中心のスペクトルが 0 のため、スペクトルを描けません "));
    }
    SetLabel("Label15", FormatPicture(run.points[q].bowtieAlMm, "##0.000"));
    SetLabel("Label14", FormatPicture(run.points[q].offAxisCm, "#0.0"));
}

bool Form4::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text2_) {
        // A click in the point box empties it for the next number.
        if (event->type() == QEvent::MouseButtonPress)
            text2_->clear();
        // Enter moves on to the show button without pressing it.
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                command4_->setFocus();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace halvorn::ui
