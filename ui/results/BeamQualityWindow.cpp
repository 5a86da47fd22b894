#include "results/BeamQualityWindow.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "common/MessagePresenter.h"
#include "common/ScreenLayout.h"
#include "engine/BeamQualityTable.h"
#include "engine/NumberText.h"
#include "engine/SafeSave.h"
#include "engine/exports/SpreadsheetExport.h"
#include "shell/Application.h"

namespace halvorn::ui {

namespace {

QPushButton* AddButton(QWidget* parent, QLayout* layout, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(true);  // Enter on a focused button presses it
    button->setFont(JapaneseFont(10.5));
    button->setMinimumSize(Twips(1695), Twips(495));
    layout->addWidget(button);
    return button;
}

// A column's heading with its unit, on two lines where it is long.
QString Heading(BeamQualityColumn column) {
    switch (column) {
        case BeamQualityColumn::Point:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "ポイント");
        case BeamQualityColumn::OffAxisCm:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "中心からの距離\n(cm)");
        case BeamQualityColumn::FanAngleDeg:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "ファン角\n(°)");
        case BeamQualityColumn::BowtieAlMm:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "ボウタイ透過長\n(mm Al)");
        case BeamQualityColumn::RelativeKerma:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "相対\n空気カーマ");
        case BeamQualityColumn::RelativeFluence:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "相対光子\nフルエンス");
        case BeamQualityColumn::Hvl1AlMm:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "第1半価層\nAl (mm)");
        case BeamQualityColumn::Hvl2AlMm:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "第2半価層\nAl (mm)");
        case BeamQualityColumn::HomogeneityAl:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "均等度\nAl");
        case BeamQualityColumn::Hvl1CuMm:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "第1半価層\nCu (mm)");
        case BeamQualityColumn::Hvl2CuMm:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "第2半価層\nCu (mm)");
        case BeamQualityColumn::HomogeneityCu:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "均等度\nCu");
        case BeamQualityColumn::MeanEnergyKev:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "平均エネルギー\n(keV)");
        case BeamQualityColumn::EffectiveEnergyAlKev:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "実効エネルギー\nAl (keV)");
        case BeamQualityColumn::EffectiveEnergyCuKev:
            return QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "実効エネルギー\nCu (keV)");
    }
    return QString();
}

// What the window names above the table: the calculation or the file, and the inputs it knows.
QString SourceText(const RunRecord& shown) {
    const RunInputs& in = shown.inputs;
    const QString kv = FromUtf8(PlainDecimal(in.tubeVoltageKv));
    const QString points =
        QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "ポイント 0（回転中心）〜 %1")
            .arg(shown.points.size() - 1);
    if (shown.loaded())
        return QCoreApplication::translate(
                   "halvorn::ui::BeamQualityWindow",
                   "結果ファイル %1　管電圧 %2 kV、%3（ターゲット角度と実測半価層は結果ファイルに"
                   "記録されていません）")
            .arg(QFileInfo(QFile::decodeName(shown.loadedFrom.c_str())).fileName(), kv, points);
    // The inputs this calculation knows, one after the other.
    QStringList parts{
        QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "今回の計算　管電圧 %1 kV").arg(kv)};
    if (in.targetAngleDeg)
        parts << QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "ターゲット角度 %1°")
                     .arg(FromUtf8(PlainDecimal(*in.targetAngleDeg)));
    if (in.measuredHvl)
        parts << QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "実測半価層 %1 mm %2")
                     .arg(FromUtf8(PlainDecimal(in.measuredHvl->valueMm)),
                          in.measuredHvl->material == HvlMaterial::Copper ? QStringLiteral("Cu")
                                                                          : QStringLiteral("Al"));
    parts << points;
    //: Between the inputs named above the table
    return parts.join(QCoreApplication::translate("halvorn::ui::BeamQualityWindow", "、"));
}

}  // namespace

BeamQualityWindow::BeamQualityWindow(Application& app) : QWidget(nullptr), app_(app) {
    setObjectName("BeamQualityWindow");
    // The table belongs to the run it was opened for: another run on show closes it.
    connect(&app.runs(), &RunModel::changed, this, &QWidget::hide);
    setWindowTitle(tr(" 線質一覧"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);

    auto* layout = new QVBoxLayout(this);
    source_ = new QLabel(this);
    source_->setObjectName("LabelSource");
    source_->setFont(JapaneseFont(10.5));
    layout->addWidget(source_);

    table_ = new QTableWidget(0, kBeamQualityColumns, this);
    table_->setObjectName("Table1");
    table_->setFont(JapaneseFont(9.75));
    table_->horizontalHeader()->setFont(JapaneseFont(9.75));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setSelectionBehavior(QAbstractItemView::SelectItems);
    table_->verticalHeader()->hide();
    QStringList headings;
    for (int column = 0; column < kBeamQualityColumns; ++column)
        headings << Heading(static_cast<BeamQualityColumn>(column));
    table_->setHorizontalHeaderLabels(headings);
    layout->addWidget(table_);
    // The table's own Ctrl+C copies the current cell alone; this one copies the selection with headings.
    table_->installEventFilter(this);

    auto* note =
        new QLabel(tr("スペクトルは相対値です。半価層は空気カーマを 1/2 にする厚さ（第1）と、さらに 1/4 "
                      "にするまでの厚さ（第2）、均等度は 第1半価層 / 第2半価層、実効エネルギーは減弱係数が "
                      "ln 2 / 第1半価層 になるエネルギーです。— は求められない値です。"),
                   this);
    note->setObjectName("LabelNote");
    note->setFont(JapaneseFont(9));
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    connect(AddButton(this, buttons, "CommandCopy", tr("コピー")), &QPushButton::clicked, this,
            &BeamQualityWindow::CommandCopy_Click);
    connect(AddButton(this, buttons, "CommandSave", tr("CSV で保存…")), &QPushButton::clicked, this,
            &BeamQualityWindow::CommandSave_Click);
    buttons->addStretch();
    connect(AddButton(this, buttons, "CommandClose", tr("閉じる")), &QPushButton::clicked, this,
            &BeamQualityWindow::CommandClose_Click);
}

void BeamQualityWindow::ShowResults(const RunRecord& shown, std::vector<std::string> protectedFiles) {
    shown_ = shown;
    protectedFiles_ = std::move(protectedFiles);
    source_->setText(SourceText(shown));
    table_->clearContents();
    table_->setRowCount(static_cast<int>(shown.points.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const std::vector<std::string> cells = BeamQualityCells(shown.points[static_cast<std::size_t>(row)]);
        for (int column = 0; column < kBeamQualityColumns; ++column) {
            auto* item = new QTableWidgetItem(FromUtf8(cells[static_cast<std::size_t>(column)]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, column, item);
        }
    }
    table_->resizeColumnsToContents();
    table_->resizeRowsToContents();
    table_->clearSelection();
    table_->setCurrentItem(nullptr);

    // The whole table in view (26 points and all columns fit a screen of 1280 x 1024).
    const int width = table_->horizontalHeader()->length() + 2 * table_->frameWidth();
    const int height = table_->horizontalHeader()->sizeHint().height() + table_->verticalHeader()->length() +
                       2 * table_->frameWidth();
    table_->setMinimumSize(std::min(width, 1240), std::min(height, 760));
    adjustSize();
}

QString BeamQualityWindow::TableText(bool wholeTable) const {
    std::set<int> rows;
    std::set<int> columns;
    for (int row = 0; row < table_->rowCount(); ++row)
        for (int column = 0; column < table_->columnCount(); ++column)
            if (wholeTable || table_->item(row, column)->isSelected()) {
                rows.insert(row);
                columns.insert(column);
            }
    if (rows.empty())
        return {};
    QStringList heading;
    for (int column : columns)
        heading << table_->horizontalHeaderItem(column)->text().replace('\n', ' ');
    QString text = heading.join('\t') + '\n';
    for (int row : rows) {
        QStringList cells;
        for (int column : columns) {
            const QTableWidgetItem* item = table_->item(row, column);
            cells << (wholeTable || item->isSelected() ? item->text() : QString());
        }
        text += cells.join('\t') + '\n';
    }
    return text;
}

bool BeamQualityWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        CopySelection();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void BeamQualityWindow::CopySelection() {
    const QString text = TableText(false);
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void BeamQualityWindow::CommandCopy_Click() {
    QGuiApplication::clipboard()->setText(TableText(true));
}

// The per-point CSV of the exports, saved through a temporary file and a rename; the table and a loaded
// result file are never replaced. It is offered in a folder of its own, beam_quality/ in the working folder,
// so that it never sits among the result files; the folder is made for the dialog and removed again when
// nothing was saved into it.
void BeamQualityWindow::CommandSave_Click() {
    MessagePresenter& presenter = app_.presenter();
    const QString folder = QDir::current().filePath(QStringLiteral("beam_quality"));
    const bool made = !QFileInfo::exists(folder) && QDir().mkdir(folder);
    const QString name = shown_.loaded()
                             ? QFileInfo(QFile::decodeName(shown_.loadedFrom.c_str())).completeBaseName() +
                                   QStringLiteral("_beam_quality.csv")
                             : QStringLiteral("beam_quality.csv");
    const QString offered =
        QFileInfo(folder).isDir() ? QDir(folder).filePath(name) : QDir::current().filePath(name);
    SaveTo(presenter.AskSaveFileName(this, tr("線質一覧を CSV で保存"), offered, tr("CSV ファイル (*.csv)")));
    if (made)
        QDir().rmdir(folder);  // only when still empty
}

void BeamQualityWindow::SaveTo(const std::optional<QString>& answer) {
    MessagePresenter& presenter = app_.presenter();
    if (!answer || answer->isEmpty())
        return;
    QString path = *answer;
    if (QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".csv");
    const ExportText csv = BeamQualityCsv(shown_.points);
    std::string error = csv.error;
    if (!csv.ok() ||
        !SaveFileSafely(QFile::encodeName(path).toStdString(), csv.bytes, &error, protectedFiles_))
        presenter.Warning(this, tr(" ファイル %1 を保存できませんでした（%2） ")
                                    .arg(QDir::toNativeSeparators(path), FromUtf8(error)));
}

void BeamQualityWindow::CommandClose_Click() {
    hide();
}

}  // namespace halvorn::ui
