#pragma once

// Writing an export set (ExportSet.h) into a folder, all or nothing, and choosing its files by family.
//
// The folder is made when it does not exist; only its last component is made, so a mistyped parent is
// reported rather than created. A name that exists and is not a folder (links followed) is refused. Every
// file is first written in full under a temporary name beside its target, through engine/SafeSave.h (a
// FIFO, device, folder or read-only file at a name is refused, and so is a file that is one of the caller's
// inputs); only when every file is ready are they put in place, one rename each. Should a rename still
// fail (the folder changed meanwhile), the files already put in place are taken back: a file that replaced
// an earlier one gives way to the earlier one again (kept under a second name, a hard link, until the
// export is done), a new one is removed. On any failure no temporary file stays, and a folder made for the
// export is removed again. Messages are one English line naming the folder or the file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/SafeSave.h"
#include "engine/exports/ExportSet.h"

namespace halvorn {

// The programs a file of the set is for.
enum class ExportFamily {
    Egsnrc,        // *.spectrum, bowtie_distribution.dat, al_bowtie.dat, source.egsinp
    Xcist,         // xcist_bowtie.txt, xcist_spectrum.dat
    Gate,          // gate9_spectrum.txt, gate10_spectrum.py
    SpectrumText,  // spectrum.spk
    Spreadsheet,   // spectra_long.csv, beam_quality.csv
};

inline constexpr ExportFamily kExportFamilies[] = {ExportFamily::Egsnrc, ExportFamily::Xcist,
                                                   ExportFamily::Gate, ExportFamily::SpectrumText,
                                                   ExportFamily::Spreadsheet};

// The family of a file of the set, by its fixed name; nothing for a name the set never uses.
std::optional<ExportFamily> FamilyOf(std::string_view fileName);

// The files of `set` of the given families, in the set's order; a set that could not be made stays so.
ExportSet OnlyFamilies(const ExportSet& set, const std::vector<ExportFamily>& families);

// `name` in `dir`: "dir/name", with one slash between them.
std::string PathInFolder(const std::string& dir, const std::string& name);

// An export set written under temporary names and not yet put in place: Prepare, then Commit. Destroyed or
// abandoned before Commit, it removes its temporary files and a folder it made.
class PendingExport {
public:
    PendingExport() = default;
    ~PendingExport();
    PendingExport(const PendingExport&) = delete;
    PendingExport& operator=(const PendingExport&) = delete;

    // Makes the folder if needed and writes every file of `set` under its temporary name. False with a
    // message when the set holds no files or an error, the folder cannot be used, or a file is refused or
    // cannot be written; then nothing of the export is left.
    bool Prepare(const std::string& dir,
                 const ExportSet& set,
                 const std::vector<std::string>& protectedInputs,
                 std::string& error);
    // Puts every prepared file in place. False with a message when a rename fails; the files put in place
    // before it are taken back as described above.
    bool Commit(std::string& error);
    // Removes the temporary files and the backup names, and the folder when Prepare made it and it is empty.
    void Abandon();

    // The files as they are (to be) named: PathInFolder(dir, name) for each file of the set.
    const std::vector<std::string>& paths() const { return paths_; }

private:
    void RemoveBackups();

    std::string dir_;
    bool madeFolder_ = false;
    std::vector<std::string> paths_;
    std::vector<PendingFile> files_;
    std::vector<bool> existed_;         // per file: whether Commit found a file at its name
    std::vector<std::string> backups_;  // per file: a second name of the file it replaces, or empty
};

// Prepare and Commit in one: writes every file of `set` into `dir`, or none.
bool WriteExportSet(const std::string& dir,
                    const ExportSet& set,
                    const std::vector<std::string>& protectedInputs,
                    std::string& error);

}  // namespace halvorn
