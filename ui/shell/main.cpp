#include <QApplication>
#include <QDir>
#include <QFont>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "common/Language.h"
#include "common/MessagePresenter.h"
#include "engine/CalculationState.h"
#include "engine/Version.h"
#include "shell/Application.h"
#include "shell/Form1.h"
#include "shell/WorkingFolder.h"

namespace {

// A bad command line or working folder: one line on standard error, exit status 2.
int Refuse(const QString& text) {
    std::fprintf(stderr, "halvorn: %s\n", text.toLocal8Bit().constData());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace halvorn::ui;
    // --help and --version answer before the window system is reached, so they work without a display.
    QStringList rawArgs;
    for (int i = 1; i < argc; ++i)
        rawArgs << QString::fromLocal8Bit(argv[i]);
    const ProgramOptions early = ParseProgramOptions(rawArgs);
    if (early.help) {
        std::fputs(ProgramUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (early.version) {
        std::printf("halvorn %s\n", halvorn::ProgramVersion().c_str());
        return 0;
    }

    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvorn"));
    QApplication::setApplicationVersion(QString::fromStdString(halvorn::ProgramVersion()));
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK JP")));
    // Qt has taken its own arguments (-platform, -style, ...) out by now.
    const ProgramOptions options = ParseProgramOptions(QCoreApplication::arguments().mid(1));
    if (!options.error.isEmpty())
        return Refuse(options.error);

    // The language: --lang, HALVORN_LANG, the start screen's remembered choice, the locale on a first start.
    const QString fromEnvironment = qEnvironmentVariable("HALVORN_LANG");
    if (!fromEnvironment.isEmpty() && !LanguageFromCode(fromEnvironment))
        std::fprintf(stderr, "halvorn: HALVORN_LANG=%s is neither en nor ja; ignored\n",
                     fromEnvironment.toLocal8Bit().constData());
    InstallLanguage(ChooseLanguage(
        {options.language, fromEnvironment, RememberedLanguage(*OpenSettings()), SystemMessageLocale()}));

    static halvorn::CalculationState state;
    QtMessagePresenter presenter;

    // The working folder becomes the current folder, where the screens list and save result files.
    const WorkingFolderChoice choice =
        ChooseWorkingFolder(options.folder, QDir::currentPath(),
                            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    QString problem;
    if (choice.source == WorkingFolderSource::Documents)
        problem =
            MakeWorkingFolder(choice.path, FindExampleResultFile(QCoreApplication::applicationDirPath()));
    if (problem.isEmpty())
        problem = WorkingFolderProblem(choice.path);
    if (problem.isEmpty() && !QDir::setCurrent(choice.path))
        problem = QStringLiteral("cannot be entered");
    if (!problem.isEmpty()) {
        const QString where =
            choice.source == WorkingFolderSource::Given ? QStringLiteral("--folder ") : QString();
        const int status = Refuse(where + QDir::toNativeSeparators(choice.path) + ": " + problem);
        // Started from the desktop's menu, the program has no terminal to say it on.
        if (choice.source == WorkingFolderSource::Documents)
            presenter.Message(nullptr,
                              QCoreApplication::translate("main", "作業フォルダを使えません： %1\n%2")
                                  .arg(QDir::toNativeSeparators(choice.path), problem),
                              {}, MessagePresenter::Icon::Critical);
        return status;
    }

    RunModel runs;
    Application app(state, runs, presenter);
    app.Start();
    if (options.quitAfterStart) {
        // For the package check: once the start screen is on view, its folder line, then the end.
        auto* poll = new QTimer(&qapp);
        QObject::connect(poll, &QTimer::timeout, [&app] {
            QWindow* window = app.form1().windowHandle();
            if (!app.form1().isVisible() || !window || !window->isExposed())
                return;
            std::printf("%s\n", app.form1().WorkingFolderLine().toUtf8().constData());
            std::fflush(stdout);
            app.Quit(0);
        });
        poll->start(20);
    }
    return qapp.exec();
}
