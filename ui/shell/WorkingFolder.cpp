#include "shell/WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace halvorn::ui {

ProgramOptions ParseProgramOptions(const QStringList& args) {
    ProgramOptions options;
    auto fault = [&](const QString& text) {
        if (options.error.isEmpty())
            options.error = text;
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
        } else if (arg == QLatin1String("--version")) {
            options.version = true;
        } else if (arg == QLatin1String("--quit-after-start")) {
            options.quitAfterStart = true;
        } else if (arg == QLatin1String("--lang") || arg.startsWith(QLatin1String("--lang="))) {
            const bool joined = arg.contains('=');
            const QString value = joined                ? arg.mid(arg.indexOf('=') + 1)
                                  : i + 1 < args.size() ? args[++i]
                                                        : QString();
            if (value != QLatin1String("en") && value != QLatin1String("ja"))
                fault(QStringLiteral("--lang takes en or ja"));
            else
                options.language = value;
        } else if (arg == QLatin1String("--folder") || arg.startsWith(QLatin1String("--folder="))) {
            const bool joined = arg.contains('=');
            if (!joined && i + 1 >= args.size()) {
                fault(QStringLiteral("--folder needs a folder"));
                continue;
            }
            const QString value = joined ? arg.mid(arg.indexOf('=') + 1) : args[++i];
            if (value.isEmpty())
                fault(QStringLiteral("--folder needs a folder"));
            else if (!options.folder.isEmpty())
                fault(QStringLiteral("--folder is given more than once"));
            else
                options.folder = value;
        } else {
            fault(QStringLiteral("unknown argument \"%1\" (try --help)").arg(arg));
        }
    }
    return options;
}

QString ProgramUsage() {
    return QStringLiteral(
        "Usage: halvorn [--folder DIR] [--lang en|ja]\n"
        "\n"
        "Estimates a CT scanner's X-ray spectrum at the rotation centre and at every point of a measured\n"
        "lateral dose profile, and the aluminium-equivalent path of its bowtie filter.\n"
        "\n"
        "  --folder DIR   work in DIR: list, load and save result files there and read MUs2022.dat\n"
        "                 from it when it holds one\n"
        "  --lang en|ja   English or Japanese screens for this start (the environment variable\n"
        "                 HALVORN_LANG does the same); without either, the language chosen on the start\n"
        "                 screen, on a first start English when the locale names a language other than\n"
        "                 Japanese, else Japanese\n"
        "  --version      print the version and end\n"
        "  --help         print this text and end\n"
        "\n"
        "Without --folder the program works in the current folder when it holds result files (*.csv)\n"
        "or MUs2022.dat, else in Halvorn in the documents folder, made on first start with the example\n"
        "result file. The attenuation table is read from the working folder, else from the installed\n"
        "copy. Exit status: 0 done; 1 the attenuation table could not be read; 2 a bad command line or\n"
        "a working folder that is missing, not a folder or not writable.\n");
}

bool HoldsWorkingFiles(const QString& folder) {
    const QDir dir(folder);
    return QFileInfo(dir.filePath(QStringLiteral("MUs2022.dat"))).isFile() ||
           !dir.entryList({QStringLiteral("*.csv")}, QDir::Files | QDir::Hidden).isEmpty();
}

WorkingFolderChoice ChooseWorkingFolder(const QString& given,
                                        const QString& current,
                                        const QString& documents) {
    if (!given.isEmpty())
        return {given, WorkingFolderSource::Given};
    if (HoldsWorkingFiles(current) && WorkingFolderProblem(current).isEmpty())
        return {current, WorkingFolderSource::Current};
    return {QDir(documents).filePath(QStringLiteral("Halvorn")), WorkingFolderSource::Documents};
}

QString WorkingFolderProblem(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.exists())
        return QStringLiteral("no such folder");
    if (!info.isDir())
        return QStringLiteral("not a folder");
    if (!info.isWritable() || !info.isExecutable())
        return QStringLiteral("not writable");
    return {};
}

QString MakeWorkingFolder(const QString& folder, const QString& example) {
    if (QFileInfo::exists(folder) || QFileInfo(folder).isSymLink())
        return {};
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot be made");
    // The example shows the results screen at work; a copy that fails leaves an empty folder, no fault.
    if (!example.isEmpty())
        QFile::copy(example, QDir(folder).filePath(QFileInfo(example).fileName()));
    return {};
}

QString FindExampleResultFile(const QString& programDir) {
    const QString name = QStringLiteral("ct-120kv.csv");
    const QStringList candidates{QDir::cleanPath(programDir + QStringLiteral("/../share/halvorn/") + name),
                                 QStringLiteral(HALVORN_INSTALLED_DATA_DIR "/") + name,
                                 QStringLiteral(HALVORN_SOURCE_EXAMPLES_DIR "/") + name};
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile())
            return candidate;
    return {};
}

}  // namespace halvorn::ui
