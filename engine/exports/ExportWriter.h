#pragma once

// Writing an export set (ExportSet.h) into a folder as one unit, and choosing its files by family.
//
// The folder holds exactly one run's set at every moment. The new set is written in full into a sibling
// folder (".<name>.halvorn-set-XXXXXX"), ending with the manifest halvorn-export.json (program version,
// inputs, every file with its size and SHA-256); then the two folders are exchanged in one step
// (renameat2 RENAME_EXCHANGE), and the earlier set, now under the sibling's name, is removed. A folder that
// does not exist yet is made by renaming the sibling to its name. A file system that cannot exchange two
// folders is refused before anything is written.
//
// What the folder holds besides the set is kept: files that no earlier manifest names are carried over
// into the new set (hard links, or a rename after the exchange), files of the earlier manifest that the new
// set lacks are gone with it. A file that no manifest names and that the new set would replace is never
// replaced: the export is refused with a message naming it. An empty folder is always fine.
//
// Exports into one parent folder take turns (a lock on the parent folder, waited for up to half a minute),
// so two runs into one folder leave the later run's whole set. A link at the folder's name is followed.
// The working folder (or one that holds it) is refused: after the exchange the process would stand in the
// removed earlier set. On any failure nothing of the export is left and the folder is as it was. Messages
// are one English line naming the folder or the file.

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/SafeSave.h"
#include "engine/exports/ExportSet.h"

namespace halvorn {

// The programs a file of the set is for.
enum class ExportFamily {
    Egsnrc,        // *.spectrum (pre_bowtie.spectrum too), bowtie_distribution.dat, al_bowtie.dat,
                   // source.egsinp
    Xcist,         // xcist_bowtie.txt, xcist_spectrum.dat
    Gate,          // gate9_spectrum.txt, gate10_spectrum.py, bowtie.stl, pre_bowtie_gate9.txt,
                   // gate10_fan_beam.py
    SpectrumText,  // spectrum.spk
    Spreadsheet,   // spectra_long.csv, beam_quality.csv
    PhaseSpace,    // fan_beam.IAEAheader, fan_beam.IAEAphsp (read by every Monte-Carlo code)
};

inline constexpr ExportFamily kExportFamilies[] = {ExportFamily::Egsnrc,      ExportFamily::Xcist,
                                                   ExportFamily::Gate,        ExportFamily::SpectrumText,
                                                   ExportFamily::Spreadsheet, ExportFamily::PhaseSpace};

// The family of a file of the set, by its fixed name; nothing for a name the set never uses.
std::optional<ExportFamily> FamilyOf(std::string_view fileName);

// The files of `set` of the given families, in the set's order, with what the set was made from (for the
// manifest); a set that could not be made stays so.
ExportSet OnlyFamilies(ExportSet set, const std::vector<ExportFamily>& families);

// `name` in `dir`: "dir/name", with one slash between them.
std::string PathInFolder(const std::string& dir, const std::string& name);

// The manifest's name in the folder.
inline constexpr const char* kExportManifestName = "halvorn-export.json";

// The manifest of `set`: JSON text naming the program, the inputs and every file with size and SHA-256.
std::string ExportManifest(const ExportSet& set);

// An export set written under temporary names and not yet put in place: Prepare, then Place; TakeBack
// undoes Place, Finish removes the earlier set. Destroyed or abandoned before Place, it removes everything
// it wrote; destroyed after Place, it finishes.
class PendingExport {
public:
    PendingExport() = default;
    ~PendingExport();
    PendingExport(const PendingExport&) = delete;
    PendingExport& operator=(const PendingExport&) = delete;

    // Takes the lock, checks the folder and writes the new set with its manifest into the sibling folder.
    // False with a message when the set holds no files or an error, the folder cannot be used, a file the
    // new set would replace is not of an earlier export, or a file cannot be written; then nothing of the
    // export is left.
    bool Prepare(const std::string& dir,
                 const ExportSet& set,
                 const std::vector<std::string>& protectedInputs,
                 std::string& error);
    // Puts the new set in place in one step. False with a message when that fails (nothing changed).
    bool Place(std::string& error);
    // After Place: the earlier set back in place (or no folder where there was none). False when that fails.
    bool TakeBack();
    // After Place: removes the earlier set and releases the lock.
    void Finish();
    // Place and Finish in one.
    bool Commit(std::string& error);
    // Removes what Prepare wrote and releases the lock (after Place: Finish).
    void Abandon();

    // The files as they are (to be) named: PathInFolder(dir, name) for each file of the set.
    const std::vector<std::string>& paths() const { return paths_; }
    // The folder the set goes to, links followed.
    const std::string& folder() const { return resolved_; }

private:
    // Forgets the sibling folder and its names, the registered temporaries and the lock (removes nothing).
    void Release();
    std::string dir_;       // as given, for messages
    std::string resolved_;  // links followed
    bool existed_ = false;
    ino_t inode_ = 0;  // of the folder as Prepare found it
    dev_t device_ = 0;
    std::string staging_;  // the sibling folder: the new set before Place, the earlier one after
    std::vector<std::string> stagedNames_;   // names written or linked into the sibling
    std::vector<int> registered_;            // their slots in the interrupt handler's registry (folder last)
    std::vector<std::string> earlierNames_;  // names of the earlier set, in the sibling after Place
    std::vector<std::string> moveAfter_;     // entries to carry over by rename after the exchange
    std::vector<std::string> moved_;         // those carried over so far
    int lock_ = -1;
    bool placed_ = false;
    std::vector<std::string> paths_;
};

// Prepare and Commit in one: writes every file of `set` into `dir`, or none.
bool WriteExportSet(const std::string& dir,
                    const ExportSet& set,
                    const std::vector<std::string>& protectedInputs,
                    std::string& error);

}  // namespace halvorn
