#include "results/ExportDialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <optional>
#include <string_view>

#include "common/MessagePresenter.h"
#include "common/ScreenLayout.h"
#include "engine/NumberText.h"
#include "engine/exports/ExportSet.h"
#include "engine/exports/ExportWriter.h"
#include "shell/Application.h"

namespace halvorn::ui {

namespace {

// The check box of each family, in the order of kExportFamilies.
const struct {
    const char* name;
    const char* text;
} kFamilyBoxes[] = {
    {"CheckEgsnrc",
     QT_TRANSLATE_NOOP(
         "halvorn::ui::ExportDialog",
         "EGSnrc（スペクトル .spectrum、ボウタイ前のスペクトル、CT 線源のボウタイファイル 2 つ、入力ブロック "
         "source.egsinp）")},
    {"CheckXcist", QT_TRANSLATE_NOOP("halvorn::ui::ExportDialog", "XCIST（ボウタイ、スペクトル）")},
    {"CheckGate", QT_TRANSLATE_NOOP("halvorn::ui::ExportDialog",
                                    "GATE 9 / GATE 10（中心のスペクトル、ボウタイの立体 bowtie.stl "
                                    "とボウタイ前のスペクトル、GATE 10 の線源 "
                                    "gate10_fan_beam.py）")},
    {"CheckSpectrumText",
     QT_TRANSLATE_NOOP("halvorn::ui::ExportDialog", "スペクトルテキスト（.spk、線質の値つき）")},
    {"CheckSpreadsheet",
     QT_TRANSLATE_NOOP("halvorn::ui::ExportDialog", "表計算用 CSV（全ポイントのスペクトル、線質一覧）")},
    {"CheckPhaseSpace",
     QT_TRANSLATE_NOOP(
         "halvorn::ui::ExportDialog",
         "IAEA 位相空間（fan_beam.IAEAheader / .IAEAphsp、ファン全体の光子。コリメーションが要ります）")},
};

QLabel* AddCaption(QWidget* parent, QGridLayout* grid, int row, int column, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setFont(JapaneseFont(9.75));
    grid->addWidget(label, row, column);
    return label;
}

// A number field of its own width in column 1.
QLineEdit* AddField(QWidget* parent, QGridLayout* grid, int row, const char* name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromUtf8(name));
    field->setFont(JapaneseFont(10.5));
    field->setAlignment(Qt::AlignCenter);
    field->setFixedWidth(Twips(1200));
    grid->addWidget(field, row, 1);
    return field;
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setFont(JapaneseFont(10.5));
    button->setMinimumSize(Twips(1500), Twips(495));
    return button;
}

}  // namespace

ExportDialog::ExportDialog(Application& app) : QDialog(nullptr), app_(app) {
    setObjectName("ExportDialog");
    setWindowTitle(tr(" エクスポート"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);

    auto* formats = new QGroupBox(tr("書き出す形式"), this);
    formats->setObjectName("FrameFormats");
    formats->setFont(JapaneseFont(9.75));
    auto* formatLayout = new QVBoxLayout(formats);
    for (const auto& box : kFamilyBoxes) {
        auto* check = new QCheckBox(tr(box.text), formats);
        check->setObjectName(QString::fromUtf8(box.name));
        // The phase space is large (25 bytes a photon) and takes seconds: only when asked for.
        check->setChecked(std::string_view(box.name) != "CheckPhaseSpace");
        formatLayout->addWidget(check);
        families_.push_back(check);
    }
    layout->addWidget(formats);

    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    AddCaption(this, grid, 0, 0, tr("フォルダ"));
    auto* folderRow = new QHBoxLayout;
    folder_ = new QLineEdit(this);
    folder_->setObjectName("TextFolder");
    folder_->setFont(JapaneseFont(10.5));
    folderRow->addWidget(folder_, 1);
    QPushButton* browse = AddButton(this, "CommandBrowse", tr("参照…"));
    browse->setAutoDefault(false);
    folderRow->addWidget(browse);
    grid->addLayout(folderRow, 0, 1, 1, 2);

    AddCaption(this, grid, 1, 0, tr("コリメーション"));
    collimation_ = AddField(this, grid, 1, "TextCollimation");
    AddCaption(this, grid, 1, 2,
               tr("cm（回転中心でのビーム幅、FWHM。空欄なら EGSnrc の入力ブロックに書きません）"));
    AddCaption(this, grid, 2, 0, tr("角度の刻み"));
    angleStep_ = AddField(this, grid, 2, "TextAngleStep");
    angleStep_->setText(QStringLiteral("0.125"));
    AddCaption(this, grid, 2, 2, tr("°（EGSnrc のボウタイファイルのファン角の間隔）"));
    AddCaption(this, grid, 3, 0, tr("ターゲット角度"));
    targetAngle_ = AddField(this, grid, 3, "TextTargetAngle");
    targetNote_ = AddCaption(this, grid, 3, 2, QString());
    targetNote_->setObjectName("LabelTargetAngle");
    AddCaption(this, grid, 4, 0, tr("空気カーマ"));
    kerma_ = AddField(this, grid, 4, "TextKerma");
    AddCaption(
        this, grid, 4, 2,
        tr("mGy / 100 mAs（回転中心の空中、小型電離箱の点の値。コリメーションが要ります。空欄なら相対値）"));
    AddCaption(this, grid, 5, 0, tr("光子数"));
    photons_ = AddField(this, grid, 5, "TextPhotons");
    photons_->setText(QStringLiteral("1000000"));
    AddCaption(this, grid, 5, 2, tr("個（位相空間、1 個 25 バイト、1 以上 100000000 以下）"));
    AddCaption(this, grid, 6, 0, tr("面の距離"));
    plane_ = AddField(this, grid, 6, "TextPlane");
    plane_->setText(QStringLiteral("20"));
    AddCaption(this, grid, 6, 2, tr("cm（焦点から位相空間の面まで）"));
    grid->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    buttons->addStretch();
    QPushButton* write = AddButton(this, "CommandWrite", tr("書き出す"));
    write->setDefault(true);
    buttons->addWidget(write);
    QPushButton* cancel = AddButton(this, "CommandCancel", tr("キャンセル"));
    cancel->setAutoDefault(false);
    buttons->addWidget(cancel);

    connect(browse, &QPushButton::clicked, this, &ExportDialog::CommandBrowse_Click);
    connect(write, &QPushButton::clicked, this, &ExportDialog::CommandWrite_Click);
    connect(cancel, &QPushButton::clicked, this, &ExportDialog::CommandCancel_Click);
    connect(families_.front(), &QCheckBox::toggled, this, &ExportDialog::EgsnrcChosen);
    connect(families_.back(), &QCheckBox::toggled, this, &ExportDialog::PhaseSpaceChosen);
    PhaseSpaceChosen(false);
}

void ExportDialog::Prepare(const RunRecord& shown, std::vector<std::string> protectedFiles) {
    shown_ = shown;
    protectedFiles_ = std::move(protectedFiles);
    // A folder beside the result file's name, or one for the calculation; a folder the user typed stays.
    const QString offered =
        shown.loaded() ? QFileInfo(QFile::decodeName(shown.loadedFrom.c_str())).completeBaseName() + "_export"
                       : QStringLiteral("halvorn_export");
    if (folder_->text().isEmpty() || folder_->text() == defaultFolder_)
        folder_->setText(offered);
    defaultFolder_ = offered;
    if (shown.loaded()) {
        targetAngle_->setEnabled(true);
        targetAngle_->setText(resultFileAngle_);
        targetNote_->setText(tr("°（結果ファイルには記録されていません）"));
    } else {
        targetAngle_->setEnabled(false);
        targetAngle_->setText(
            shown.inputs.targetAngleDeg ? FromUtf8(PlainDecimal(*shown.inputs.targetAngleDeg)) : QString());
        targetNote_->setText(tr("°（今回の計算の値）"));
    }
    folder_->setFocus(Qt::OtherFocusReason);
    folder_->selectAll();
}

void ExportDialog::EgsnrcChosen(bool chosen) {
    angleStep_->setEnabled(chosen);  // the collimation counts for the solid, the phase space and the scale
}

void ExportDialog::PhaseSpaceChosen(bool chosen) {
    photons_->setEnabled(chosen);
    plane_->setEnabled(chosen);
}

bool ExportDialog::ReadFanBeamFields(bool phaseSpace, ExportOptions& options) {
    if (!ReadField(kerma_, InputField::KermaPer100Mas, true, options.kermaPer100MasMgy))
        return false;
    // Both stand for the beam as wide as it really is along the patient axis.
    const bool needsCollimation = options.kermaPer100MasMgy || phaseSpace;
    if (needsCollimation && !options.collimationCm) {
        Refuse(collimation_,
               phaseSpace
                   ? tr(" 位相空間にはコリメーション（回転中心でのビーム幅）を入力して下さい ")
                   : tr(" 空気カーマを使うにはコリメーション（回転中心でのビーム幅）を入力して下さい "),
               tr("コリメーション"));
        return false;
    }
    if (!phaseSpace)
        return true;
    std::optional<double> photons;
    std::optional<double> plane;
    if (!ReadField(photons_, InputField::PhaseSpacePhotons, false, photons) ||
        !ReadField(plane_, InputField::PhaseSpacePlane, false, plane))
        return false;
    options.phaseSpacePhotons = static_cast<long long>(*photons);
    options.phaseSpacePlaneCm = *plane;
    return true;
}

void ExportDialog::CommandBrowse_Click() {
    const QString start = folder_->text().isEmpty() ? QDir::currentPath() : folder_->text();
    const std::optional<QString> folder = app_.presenter().AskFolder(this, tr("書き出すフォルダ"), start);
    if (folder && !folder->isEmpty())
        folder_->setText(QDir::toNativeSeparators(*folder));
}

void ExportDialog::Refuse(QLineEdit* field, const halvorn::Message& message) {
    app_.presenter().Warning(this, message);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void ExportDialog::Refuse(QLineEdit* field, const QString& text, const QString& caption) {
    app_.presenter().Warning(this, text, caption);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

bool ExportDialog::ReadField(QLineEdit* field,
                             InputField range,
                             bool optional,
                             std::optional<double>& value) {
    const FieldNumber number = ReadFieldNumber(field->text().toStdString());
    if (number.kind == FieldNumber::Kind::Empty && optional) {
        value.reset();
        return true;
    }
    if (number.kind != FieldNumber::Kind::Number) {
        Refuse(field, kInputError);
        return false;
    }
    if (!InAcceptedRange(range, number.value)) {
        Refuse(field, OutOfRangeMessage(range));
        return false;
    }
    value = number.value;
    return true;
}

// 書き出す: every field read strictly, the set built and cut down to the chosen families, then written all
// or nothing. Files of the same names in the folder are replaced only when the user says so.
void ExportDialog::CommandWrite_Click() {
    // The phase space's progress handles events: a second click must not start a second export inside it.
    if (writing_)
        return;
    const QScopedValueRollback<bool> writing(writing_, true);
    MessagePresenter& presenter = app_.presenter();
    std::vector<ExportFamily> chosen;
    for (std::size_t k = 0; k < families_.size(); ++k)
        if (families_[k]->isChecked())
            chosen.push_back(kExportFamilies[k]);
    if (chosen.empty()) {
        presenter.Warning(this, tr(" 書き出す形式を選んで下さい "));
        return;
    }
    const QString folder = folder_->text();
    if (folder.trimmed().isEmpty()) {
        presenter.Warning(this, tr(" 書き出すフォルダを入力して下さい "));
        folder_->setFocus(Qt::OtherFocusReason);
        return;
    }
    ExportOptions options;
    const bool phaseSpace = families_.back()->isChecked();
    if (!ReadField(collimation_, InputField::Collimation, true, options.collimationCm))
        return;
    if (families_.front()->isChecked()) {
        std::optional<double> step;
        if (!ReadField(angleStep_, InputField::AngleStep, false, step))
            return;
        options.angleStepDeg = *step;
    }
    if (!ReadFanBeamFields(phaseSpace, options))
        return;
    // The solid and the spectrum before the bowtie need a fan and the target angle (read below).
    options.bowtieSolid = shown_.points.size() > 1;
    // A result file holds no target angle: the one typed here goes with the run into the files.
    RunRecord run = shown_;
    if (shown_.loaded()) {
        if (!ReadField(targetAngle_, InputField::TargetAngle, false, run.inputs.targetAngleDeg))
            return;
        resultFileAngle_ = targetAngle_->text();
    }

    const QString shownFolder = QDir::toNativeSeparators(QDir(folder).absolutePath());
    // Making the phase space takes seconds for millions of photons: a progress dialog that can cancel.
    std::optional<QProgressDialog> progress;
    if (phaseSpace) {
        progress.emplace(tr("位相空間を作っています…"), tr("キャンセル"), 0, 1000, this);
        progress->setObjectName("ProgressPhaseSpace");
        progress->setWindowTitle(tr("エクスポート"));
        progress->setWindowModality(Qt::WindowModal);
        // Shown at the first step, so that it blocks the dialog before any event is handled in the steps.
        progress->setMinimumDuration(0);
        options.phaseSpaceProgress = [&progress](long long done, long long total) {
            progress->setValue(total > 0 ? static_cast<int>(1000 * done / total) : 0);
            QCoreApplication::processEvents();
            return !progress->wasCanceled();
        };
    }
    const ExportSet set = OnlyFamilies(BuildExportSet(run, options), chosen);
    progress.reset();
    if (set.cancelled)
        return;  // nothing was written; the dialog stays for another try
    const std::string dir = QFile::encodeName(folder).toStdString();
    int existing = 0;
    for (const ExportFile& file : set.files) {
        const QFileInfo target(QFile::decodeName(PathInFolder(dir, file.name).c_str()));
        existing += target.exists() || target.isSymLink();
    }
    if (set.error.empty() && existing > 0 &&
        !presenter.AskYesNo(this,
                            tr(" フォルダ %1 には同じ名前のファイルが %2 個あります。置き換えますか？ ")
                                .arg(shownFolder, QString::number(existing)),
                            tr("エクスポート")))
        return;
    std::string error;
    if (!WriteExportSet(dir, set, protectedFiles_, error)) {
        presenter.Warning(
            this,
            tr(" エクスポートできませんでした。ファイルは書き出していません（%1） ").arg(FromUtf8(error)));
        return;
    }
    // The folder and the count; the names in the box's scrollable details, so that a set of 25 points
    // still fits a laptop screen.
    QStringList names;
    for (const ExportFile& file : set.files)
        names << QString::fromStdString(file.name);
    names << QString::fromLatin1(kExportManifestName);  // written with the set, naming every file
    presenter.Message(this,
                      tr(" フォルダ %1 に %2 個のファイルを書き出しました ")
                          .arg(shownFolder, QString::number(names.size())),
                      tr("エクスポート"), MessagePresenter::Icon::None,
                      tr("ファイルの一覧は下のボタンで表示できます"), names.join('\n'));
    accept();
}

void ExportDialog::CommandCancel_Click() {
    reject();
}

}  // namespace halvorn::ui
