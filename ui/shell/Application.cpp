#include "shell/Application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QSettings>
#include <QWindow>

#include "centre_axis/Form2.h"
#include "common/ScreenLayout.h"
#include "common/SpectrumPlot.h"
#include "dose_profile/Form3.h"
#include "engine/AttenuationTable.h"
#include "results/BeamQualityWindow.h"
#include "results/ExportDialog.h"
#include "results/Form4.h"
#include "results/Form6.h"
#include "shell/Form1.h"
#include "shell/Form5.h"

namespace halvorn::ui {

Application::Application(CalculationState& state, RunModel& runs, MessagePresenter& presenter)
    : state_(state), runs_(runs), presenter_(presenter) {
    exitProgram = [](int code) {
        QApplication::closeAllWindows();
        QCoreApplication::exit(code);
    };
    openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

Application::~Application() = default;

Form1& Application::form1() {
    if (!form1_)
        form1_ = std::make_unique<Form1>(*this);
    return *form1_;
}
Form2& Application::form2() {
    if (!form2_)
        form2_ = std::make_unique<Form2>(*this);
    return *form2_;
}
Form3& Application::form3() {
    if (!form3_)
        form3_ = std::make_unique<Form3>(*this);
    return *form3_;
}
Form4& Application::form4() {
    if (!form4_)
        form4_ = std::make_unique<Form4>(*this);
    return *form4_;
}
Form5& Application::form5() {
    if (!form5_)
        form5_ = std::make_unique<Form5>();
    return *form5_;
}
Form6& Application::form6() {
    if (!form6_)
        form6_ = std::make_unique<Form6>(*this);
    return *form6_;
}

BeamQualityWindow& Application::beamQualityWindow() {
    if (!beamQualityWindow_)
        beamQualityWindow_ = std::make_unique<BeamQualityWindow>(*this);
    return *beamQualityWindow_;
}
ExportDialog& Application::exportDialog() {
    if (!exportDialog_)
        exportDialog_ = std::make_unique<ExportDialog>(*this);
    return *exportDialog_;
}

void Application::Start() {
    form1().show();
}

// Loads the table (a missing or damaged one ends the program), draws the empty axes and shows the
// centre-axis screen with its defaults.
void Application::StartNewCalculation() {
    const std::string path = TablePath();
    TableLoadDetail detail;
    if (LoadAttenuationTable(state_, path, detail) != TableLoadStatus::Ok) {
        const QString text =
            QCoreApplication::translate("halvorn::ui::Application",
                                        "減弱係数テーブルを読み込めないため、プログラムを終了します。") +
            '\n' + QString::fromStdString(DescribeTableLoadFailure(detail, path));
        presenter_.Message(&form1(), text, {}, MessagePresenter::Icon::Critical);
        Quit(1);
        return;
    }
    DrawSpectrumAxes(form2().Picture3());
    state_.PlotCursorShown = 0;
    state_.HvlMaterial = 1;
    runs_.Clear();
    form2().ResetForNewCalculation();
    form2().show();
    form1().hide();
}

void Application::OpenResultsBrowser() {
    HideBeamQualityWindow();
    form4().EnterBrowseState();
    form4().show();
    form1().hide();
}

void Application::CancelCentreAxis() {
    form2().hide();
    form1().show();
}

void Application::EnterDoseProfile() {
    form3().EnterFromCentreAxis();
    form3().show();
    form2().hide();
}

void Application::LeaveDoseProfile() {
    form1().show();
    form3().hide();
}

void Application::HandOverToResults() {
    HideBeamQualityWindow();
    form4().EnterResultState();
    form4().show();
    form3().hide();
}

void Application::LeaveResults() {
    form1().show();
    if (hasForm3())
        form3().hide();
    form4().hide();
    if (hasForm6())
        form6().hide();
    HideBeamQualityWindow();
}

void Application::ShowBeamQualityWindow() {
    if (!runs_.current())
        return;
    BeamQualityWindow& window = beamQualityWindow();
    window.ShowResults(*runs_.current(), ProtectedFiles());
    // A window that opens comes up beside the results screen; one already open stays where the user put it.
    if (!window.isVisible())
        if (QScreen* screen = form4().screen())
            window.move(BesidePosition(form4().frameGeometry(), window.frameGeometry().size(),
                                       screen->availableGeometry()));
    window.show();
    window.raise();
    window.activateWindow();
}

void Application::HideBeamQualityWindow() {
    if (hasBeamQualityWindow())
        beamQualityWindow().hide();
}

// Modal to the program but not waiting in a loop of its own: the dialog's buttons end it.
void Application::ShowExportDialog() {
    if (!runs_.current())
        return;
    ExportDialog& dialog = exportDialog();
    dialog.Prepare(*runs_.current(), ProtectedFiles());
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

std::vector<std::string> Application::ProtectedFiles() const {
    std::vector<std::string> files{TablePath()};
    if (const RunRecord* run = runs_.current(); run && run->loaded())
        files.push_back(run->loadedFrom);
    return files;
}

// A figure already open may lie behind the results screen: it comes to the front with its new outline.
void Application::ShowBowtieFigure() {
    if (!form6().DrawBowtieShape())
        return;
    form6().show();
    form6().raise();
    form6().activateWindow();
}

// The dialog belongs to the screen that started the run while it is up, so it stays above that screen
// and below the run's own message boxes.
void Application::ShowBusyDialog(QWidget* owner) {
    Form5& busy = form5();
    if (owner) {
        owner->window()->winId();
        busy.winId();
        busy.windowHandle()->setTransientParent(owner->window()->windowHandle());
    }
    busy.show();
}

void Application::HideBusyDialog() {
    form5().hide();
}

std::string Application::TablePath() const {
    if (!tablePathOverride.empty())
        return tablePathOverride;
    return FindAttenuationTable(QCoreApplication::applicationDirPath().toStdString());
}

// The manual in the language of the screens first, then the other edition.
QStringList Application::ManualCandidates() const {
    if (!manualPathOverride.isEmpty())
        return {manualPathOverride};
    QStringList names{QStringLiteral("manual.md"), QStringLiteral("manual.en.md")};
    if (InstalledLanguage() == Language::English)
        names.swapItemsAt(0, 1);
    QStringList candidates;
    for (const QString& name : names)
        candidates << QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                                          .filePath("../share/doc/halvorn/" + name))
                   << QStringLiteral(HALVORN_INSTALLED_DOC_DIR "/") + name
                   << QStringLiteral(HALVORN_SOURCE_DOC_DIR "/") + name;
    return candidates;
}

QString Application::ManualPath() const {
    for (const QString& candidate : ManualCandidates())
        if (QFileInfo(candidate).isFile())
            return candidate;
    return {};
}

void Application::SwitchLanguage(Language language) {
    if (auto settings = Settings())
        RememberLanguage(*settings, language);
    if (language == InstalledLanguage())
        return;
    InstallLanguage(language);
    // Every window but the start screen is hidden while it is on view: they are built again when next
    // needed. The start screen is replaced by a new one in the same place; the old one goes once the
    // click that chose the language has returned.
    exportDialog_.reset();
    beamQualityWindow_.reset();
    form6_.reset();
    form5_.reset();
    form4_.reset();
    form3_.reset();
    form2_.reset();
    std::unique_ptr<Form1> old = std::move(form1_);
    Form1& start = form1();
    if (old && old->isVisible()) {
        start.move(old->pos());
        start.show();
        old->hide();
    }
    if (old)
        old.release()->deleteLater();
}

std::unique_ptr<QSettings> Application::Settings() const {
    return OpenSettings(settingsFile);
}

void Application::Quit(int code) {
    exitProgram(code);
}

}  // namespace halvorn::ui
