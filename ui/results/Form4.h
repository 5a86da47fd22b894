#pragma once

#include <QWidget>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace halvorn {
struct RunRecord;
}

namespace halvorn::ui {

class Application;
class DrawingSurface;

// The results screen: the list of saved result files with the comment of the chosen one, loading and
// saving result files, the spectrum plot with the spectrum of any profile point, the set-up values of the
// calculation on show, and the ways to the bowtie figure, the beam-quality table and the export.
class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(Application& app);

    // Entry from the start screen's results search: empty axes, no save controls, nothing loaded.
    void EnterBrowseState();
    // Entry after an off-axis calculation: the centre spectrum and the calculation's values, ready to
    // be saved.
    void EnterResultState();
    DrawingSurface& Picture3();

public slots:
    void File1_Click();               // the selection in the file list changed
    void Command1_Click();            // "OK": load the chosen file
    void Command2_Click();            // back to the start screen
    void Command3_Click();            // "データ保存": save the calculation on show
    void Command4_Click();            // "表示": ShowPointSpectrum
    void Command5_Click();            // "Graph Clear"
    void Command6_Click();            // the bowtie figure
    void CommandBeamQuality_Click();  // "線質一覧": the beam-quality table
    void CommandExport_Click();       // "エクスポート": the export dialog
    void ShowPointSpectrum();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ReadFileList();
    void SelectShownFile();
    void SetSaveControlsVisible(bool visible);
    void FocusSaveName();
    // Axes and the centre spectrum against its own peak, which becomes SpectrumPeak; warns instead of
    // drawing when the centre spectrum is all zero.
    void DrawCentreSpectrum();
    // The record on show (RunModel), or an empty one when there is none.
    const RunRecord& ShownRun() const;
    QString SelectedFile() const;
    // Writes an engine text into the label of that name.
    void SetLabel(const char* name, const std::string& text);
    // Whether the run on show has its record (made now for a loaded result file); false (after a warning)
    // when the attenuation table a loaded result file needs cannot be read.
    bool RecordShownRun();
    // Records the result file just loaded, with the table file's coefficients; when the table cannot be read
    // the record's figures stay empty and, when `warn`, the user is told. False when the table was not read.
    bool RecordLoadedFile(bool warn);
    // The buttons that need results on show: "表示", the bowtie figure, the beam-quality table, the export.
    void SetResultButtonsEnabled(bool enabled);

    Application& app_;
    DrawingSurface* picture3_ = nullptr;
    QListWidget* file1_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* command4_ = nullptr;
    QPushButton* command6_ = nullptr;
    QPushButton* commandBeamQuality_ = nullptr;
    QPushButton* commandExport_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* picture2_ = nullptr;
    bool centred_ = false;
    // The result file on show (its full path), or empty when the screen shows the calculation just made.
    QString loadedFile_;
    // Whether the loaded file's record was made with the table's coefficients.
    bool loadedTableRead_ = false;
    // The comment typed for a save that did not happen, offered again at the next save of the same data.
    QString pendingComment_;
};

}  // namespace halvorn::ui
