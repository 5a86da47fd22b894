#include "shell/Application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

#include "centre_axis/Form2.h"
#include "dose_profile/Form3.h"
#include "results/Form4.h"
#include "results/Form6.h"
#include "shell/Form1.h"
#include "shell/Form5.h"

namespace halvorn::ui {

Application::Application(CalculationState& state, MessagePresenter& presenter)
    : state_(state), presenter_(presenter) {
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
        form5_ = std::make_unique<Form5>(*this);
    return *form5_;
}
Form6& Application::form6() {
    if (!form6_)
        form6_ = std::make_unique<Form6>(*this);
    return *form6_;
}

void Application::Start() {
    form1().show();
}

std::string Application::TablePath() const {
    if (!tablePathOverride.empty())
        return tablePathOverride;
    const QString name = QStringLiteral("MUs2022.dat");
    if (QFileInfo::exists(name))
        return name.toStdString();
    const QString besideProgram =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/halvorn/") + name);
    if (QFileInfo::exists(besideProgram))
        return besideProgram.toStdString();
    const QString installed = QStringLiteral(HALVORN_INSTALLED_DATA_DIR "/") + name;
    if (QFileInfo::exists(installed))
        return installed.toStdString();
    const QString build = QStringLiteral(HALVORN_BUILD_DATA_DIR "/") + name;
    if (QFileInfo::exists(build))
        return build.toStdString();
    return name.toStdString();
}

QStringList Application::ManualCandidates() const {
    if (!manualPathOverride.isEmpty())
        return {manualPathOverride};
    const QString name = QStringLiteral("manual.md");
    return {QDir::cleanPath(
                QDir(QCoreApplication::applicationDirPath()).filePath("../share/doc/halvorn/" + name)),
            QStringLiteral(HALVORN_INSTALLED_DOC_DIR "/") + name,
            QStringLiteral(HALVORN_SOURCE_DOC_DIR "/") + name};
}

QString Application::ManualPath() const {
    for (const QString& candidate : ManualCandidates())
        if (QFileInfo(candidate).isFile())
            return candidate;
    return {};
}

void Application::Quit(int code) {
    exitProgram(code);
}

}  // namespace halvorn::ui
