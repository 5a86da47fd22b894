#pragma once

// The program's command line and the folder it works in: where it lists, loads and saves result files and
// first looks for the attenuation table. main() enters the folder chosen here, so the screens work in the
// current folder.

#include <QString>
#include <QStringList>

namespace halvorn::ui {

struct ProgramOptions {
    bool help = false;
    bool version = false;
    // For tests: end with status 0 once the start screen is on view, after printing its folder line.
    bool quitAfterStart = false;
    QString folder;    // --folder DIR; empty when not given
    QString language;  // --lang en|ja; empty when not given
    QString error;     // the first fault of the command line, one line; empty when there is none
};

// Reads the arguments after the program name: --help, --version, --folder DIR (or --folder=DIR),
// --lang en|ja (or --lang=en), --quit-after-start. Every argument is read, so --help and --version are seen
// after a fault too.
ProgramOptions ParseProgramOptions(const QStringList& args);

// The text --help prints.
QString ProgramUsage();

enum class WorkingFolderSource {
    Given,      // --folder DIR
    Current,    // the current folder, which holds result files or the table
    Documents,  // Halvorn in the user's documents folder
};

struct WorkingFolderChoice {
    QString path;
    WorkingFolderSource source;
};

// Whether `folder` holds what the program works on: a result file (*.csv) or the table (MUs2022.dat).
bool HoldsWorkingFiles(const QString& folder);

// The working folder: the one given on the command line, else the current folder when it holds working
// files and can be written (what `make run` and a folder of saved results rely on), else "Halvorn" in
// `documents`.
WorkingFolderChoice ChooseWorkingFolder(const QString& given,
                                        const QString& current,
                                        const QString& documents);

// Why the program cannot work in `folder` ("no such folder", "not a folder", "not writable"), or empty.
QString WorkingFolderProblem(const QString& folder);

// Makes `folder` when it is missing, with the example result file `example` (when not empty) copied in;
// a folder already there is left as it is. Returns why the folder could not be made, or empty.
QString MakeWorkingFolder(const QString& folder, const QString& example);

// The example result file ct-120kv.csv: installed beside the program (share/halvorn), at the install
// prefix, or in the source tree's examples/, the first that is a file; empty when there is none.
QString FindExampleResultFile(const QString& programDir);

}  // namespace halvorn::ui
