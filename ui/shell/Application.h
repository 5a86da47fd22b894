#pragma once

// The application object: holds references to the one calculation state, the run on show and the message
// presenter, owns
// the six screens and the results' two windows (each created the first time it is needed, then only shown
// and hidden) and all navigation between them. Screens ask the application to move on; none of them shows or
// hides another.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/GuiReporter.h"
#include "common/Language.h"
#include "common/MessagePresenter.h"
#include "common/RunModel.h"
#include "engine/CalculationState.h"

class QSettings;
class QWidget;

namespace halvorn::ui {

class Form1;
class Form2;
class Form3;
class Form4;
class Form5;
class Form6;
class BeamQualityWindow;
class ExportDialog;

class Application : public BusyDialogHost {
public:
    Application(CalculationState& state, RunModel& runs, MessagePresenter& presenter);
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    CalculationState& state() { return state_; }
    RunModel& runs() { return runs_; }
    MessagePresenter& presenter() { return presenter_; }

    // The screens, for the tests and for the one place that builds them.
    Form1& form1();
    Form2& form2();
    Form3& form3();
    Form4& form4();
    Form5& form5();
    Form6& form6();
    BeamQualityWindow& beamQualityWindow();
    ExportDialog& exportDialog();
    // Whether a screen exists yet; hiding a screen that was never opened must not create it.
    bool hasForm3() const { return form3_ != nullptr; }
    bool hasForm6() const { return form6_ != nullptr; }
    bool hasBeamQualityWindow() const { return beamQualityWindow_ != nullptr; }

    // Navigation. Every transition shows its target before it hides its source, except where it says so.
    void Start();                // program start: the start screen
    void StartNewCalculation();  // 新規計算: the table, the empty axes and the centre-axis screen's defaults
    void OpenResultsBrowser();  // 結果検索: the results screen in its browse state
    void CancelCentreAxis();  // キャンセル: hides the centre-axis screen first, then shows the start screen
    void EnterDoseProfile();   // 次へ進む: the dose-profile screen, emptied
    void LeaveDoseProfile();   // back to the start screen from the dose-profile screen
    void HandOverToResults();  // 結果を見る: the results screen in its result state
    void LeaveResults();       // back to the start screen, hiding the dose-profile screen and the figure
    void ShowBowtieFigure();   // the bowtie figure beside the results screen, in front
    // The beam-quality table of the run on show, beside the results screen, in front.
    void ShowBeamQualityWindow();
    // Hides the beam-quality table, if open: the results screen shows other data now.
    void HideBeamQualityWindow();
    // The export dialog for the run on show, modal to the program.
    void ShowExportDialog();
    // The files no save of the run on show may replace: the table and the loaded result file.
    std::vector<std::string> ProtectedFiles() const;

    // The busy dialog of a run started on `owner`'s window, kept above that window.
    void ShowBusyDialog(QWidget* owner) override;
    void HideBusyDialog() override;

    // The attenuation table: MUs2022.dat in the working folder, else the copy installed beside the
    // program (share/halvorn of the install prefix, or data/ of the build tree).
    std::string TablePath() const;
    // When set, TablePath() returns it instead (tests point the program at a missing or faulty table).
    std::string tablePathOverride;

    // The manual, manual.md: the copy installed beside the program (share/doc/halvorn), at the install
    // prefix, or in the source tree's docs/, in that order. ManualPath() is the first that is a file, or
    // empty when there is none.
    QStringList ManualCandidates() const;
    QString ManualPath() const;
    // When set, the manual is looked for there alone (tests point the program at a missing manual).
    QString manualPathOverride;
    // Opens a document in the desktop's viewer (QDesktopServices::openUrl); false when it cannot.
    // Tests replace it to observe it.
    std::function<bool(const QUrl&)> openUrl;

    // The language of the screens: remembered in the settings, installed, and every window built afresh in
    // it. Only the start screen is on view when the user chooses; it comes back where it was.
    void SwitchLanguage(Language language);
    // The user's settings (the language chosen on the start screen): ~/.config/Halvorn/Halvorn.conf, or
    // settingsFile when set (tests keep theirs in a scratch folder).
    std::unique_ptr<QSettings> Settings() const;
    QString settingsFile;

    // Ends the program with `code`. Tests replace exitProgram to observe it.
    void Quit(int code = 0);
    std::function<void(int)> exitProgram;

private:
    CalculationState& state_;
    RunModel& runs_;
    MessagePresenter& presenter_;
    std::unique_ptr<Form1> form1_;
    std::unique_ptr<Form2> form2_;
    std::unique_ptr<Form3> form3_;
    std::unique_ptr<Form4> form4_;
    std::unique_ptr<Form5> form5_;
    std::unique_ptr<Form6> form6_;
    std::unique_ptr<BeamQualityWindow> beamQualityWindow_;
    std::unique_ptr<ExportDialog> exportDialog_;
};

}  // namespace halvorn::ui
