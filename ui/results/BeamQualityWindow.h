#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "engine/RunRecord.h"

class QLabel;
class QTableWidget;

namespace halvorn::ui {

class Application;

// The beam-quality figures of every point of the calculation on the results screen, one row per point:
// copied as tab-separated text with its headings (Ctrl+C the selected cells, "コピー" the whole table) and
// saved as the per-point CSV of the exports.
class BeamQualityWindow : public QWidget {
    Q_OBJECT
public:
    explicit BeamQualityWindow(Application& app);
    // Fills the table with the figures of `shown`.
    void ShowResults(const RunRecord& run, std::vector<std::string> protectedFiles);
    // The tab-separated text of the selected cells with their headings; of the whole table when
    // `wholeTable` is set. Every line ends with a line feed.
    QString TableText(bool wholeTable) const;

public slots:
    void CommandCopy_Click();   // "コピー": the whole table to the clipboard
    void CommandSave_Click();   // "CSV で保存…"
    void CommandClose_Click();  // "閉じる"
    void CopySelection();       // Ctrl+C on the table

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Writes the CSV to the chosen path (".csv" added when missing); nothing when no path was chosen.
    void SaveTo(const std::optional<QString>& answer);

    Application& app_;
    QLabel* source_ = nullptr;
    QTableWidget* table_ = nullptr;
    RunRecord shown_;
    std::vector<std::string> protectedFiles_;  // no save may replace them
};

}  // namespace halvorn::ui
