#include "engine/exports/ExportWriter.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <nlohmann/json.hpp>
#include <set>

#include "engine/InputFile.h"
#include "engine/Sha256.h"
#include "engine/TemporaryFiles.h"

namespace halvorn {

namespace {

// How long an export waits for another one into the same parent folder to end.
constexpr int kLockWaitMs = 30'000;
// A manifest is a few kB; anything far larger is not one.
constexpr std::uint64_t kMaxManifestBytes = 1 << 20;

std::string Folder(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The names an earlier set's manifest lists (with the manifest itself); false when `dir` holds no manifest
// this program can read, so that nothing there counts as an earlier export.
bool ReadManifestNames(const std::string& dir, std::set<std::string>& names) {
    std::string text;
    if (!ReadInputFile(PathInFolder(dir, kExportManifestName), kMaxManifestBytes, text, nullptr))
        return false;
    const nlohmann::json manifest = nlohmann::json::parse(text, nullptr, false);
    if (manifest.is_discarded() || !manifest.is_object() || !manifest.contains("files") ||
        !manifest["files"].is_array())
        return false;
    for (const auto& file : manifest["files"]) {
        if (!file.is_object() || !file.contains("name") || !file["name"].is_string())
            return false;
        const std::string name = file["name"].get<std::string>();
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
            return false;
        names.insert(name);
    }
    names.insert(kExportManifestName);
    return true;
}

// Writes a new file `path` in full and flushes it; false with errno set.
bool WriteNewFile(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    if (!WriteAll(fd, bytes)) {
        const int code = errno;
        ::close(fd);
        errno = code;
        return false;
    }
    if (::fsync(fd) != 0) {
        const int code = errno;
        ::close(fd);
        errno = code;
        return false;
    }
    return ::close(fd) == 0;
}

std::optional<double> Finite(std::optional<double> value) {
    return value && std::isfinite(*value) ? value : std::nullopt;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

std::optional<ExportFamily> FamilyOf(std::string_view name) {
    if (EndsWith(name, ".spectrum") || name == "bowtie_distribution.dat" || name == "al_bowtie.dat" ||
        name == "source.egsinp")
        return ExportFamily::Egsnrc;
    if (name == "xcist_bowtie.txt" || name == "xcist_spectrum.dat")
        return ExportFamily::Xcist;
    if (name == "gate9_spectrum.txt" || name == "gate10_spectrum.py" || name == "bowtie.stl" ||
        name == "pre_bowtie_gate9.txt" || name == "gate10_fan_beam.py")
        return ExportFamily::Gate;
    if (name == "spectrum.spk")
        return ExportFamily::SpectrumText;
    if (name == "spectra_long.csv" || name == "beam_quality.csv")
        return ExportFamily::Spreadsheet;
    if (name == "fan_beam.IAEAheader" || name == "fan_beam.IAEAphsp")
        return ExportFamily::PhaseSpace;
    return std::nullopt;
}

ExportSet OnlyFamilies(ExportSet set, const std::vector<ExportFamily>& families) {
    // Everything but the files of other families stays, so that the manifest still names the inputs,
    // options and scale; the kept files are moved, not copied (a phase space may be gigabytes).
    std::vector<ExportFile> all = std::move(set.files);
    set.files.clear();
    for (ExportFile& file : all) {
        const std::optional<ExportFamily> family = FamilyOf(file.name);
        if (family && std::find(families.begin(), families.end(), *family) != families.end())
            set.files.push_back(std::move(file));
    }
    return set;
}

std::string PathInFolder(const std::string& dir, const std::string& name) {
    if (dir.empty() || dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

std::string ExportManifest(const ExportSet& set) {
    const RunInputs& in = set.inputs;
    auto number = [](std::optional<double> value) {
        value = Finite(value);
        return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
    };
    nlohmann::ordered_json inputs = {
        {"tube_voltage_kv", number(in.tubeVoltageKv)},
        {"target_angle_deg", number(in.targetAngleDeg)},
        {"inherent_filtration_mm", number(in.inherentFiltrationMm)},
        {"added_al_mm", number(in.addedAlMm)},
        {"added_cu_mm", number(in.addedCuMm)},
        {"added_ag_mm", number(in.addedAgMm)},
        {"measured_hvl_mm", number(in.measuredHvl ? std::optional(in.measuredHvl->valueMm) : std::nullopt)},
        {"hvl_material", in.measuredHvl ? nlohmann::ordered_json(
                                              in.measuredHvl->material == HvlMaterial::Copper ? "cu" : "al")
                                        : nullptr},
        {"fitted_filtration_mm", number(in.fittedFiltrationMm)},
        {"focus_distance_cm", number(in.focusCentreDistanceCm)},
        {"collimation_cm", number(set.options.collimationCm)},
        {"angle_step_deg", number(set.options.angleStepDeg)},
        {"kerma_per_100mas_mgy", number(set.options.kermaPer100MasMgy)},
    };
    if (set.options.phaseSpacePhotons) {
        inputs["phase_space_photons"] = *set.options.phaseSpacePhotons;
        inputs["phase_space_plane_cm"] = number(set.options.phaseSpacePlaneCm);
        inputs["phase_space_seed"] = set.options.phaseSpaceSeed;
    }
    nlohmann::ordered_json files = nlohmann::ordered_json::array();
    for (const ExportFile& file : set.files)
        files.push_back(
            {{"name", file.name}, {"size", file.bytes.size()}, {"sha256", Sha256Hex(file.bytes)}});
    nlohmann::ordered_json manifest = {{"program", ProgramName()}, {"inputs", inputs}};
    if (set.absolute)
        manifest["absolute"] = {
            {"kerma_per_100mas_mgy", number(set.absolute->kermaPer100MasMgy)},
            {"photons_per_mas_per_cm2_centre", number(set.absolute->photonsPerMasPerCm2Centre)},
            {"phase_space_photons_per_mas", number(set.phaseSpacePhotonsPerMas)}};
    manifest["files"] = files;
    return manifest.dump(2) + "\n";
}

PendingExport::~PendingExport() {
    Abandon();
}

void PendingExport::Release() {
    staging_.clear();
    stagedNames_.clear();
    earlierNames_.clear();
    moveAfter_.clear();
    moved_.clear();
    for (int slot : registered_)
        ForgetTemporary(slot);
    registered_.clear();
    if (lock_ >= 0)
        ::close(lock_);
    lock_ = -1;
}

void PendingExport::Abandon() {
    if (placed_) {
        Finish();
        return;
    }
    if (!staging_.empty()) {
        for (const std::string& name : stagedNames_)
            ::unlink(PathInFolder(staging_, name).c_str());
        ::rmdir(staging_.c_str());
    }
    Release();
}

bool PendingExport::Prepare(const std::string& dir,
                            const ExportSet& set,
                            const std::vector<std::string>& protectedInputs,
                            std::string& error) {
    Abandon();
    dir_ = dir;
    paths_.clear();
    if (!set.error.empty()) {
        error = "the export could not be made: " + set.error;
        return false;
    }
    if (set.files.empty()) {
        error = "the export holds no files";
        return false;
    }
    if (dir.empty()) {
        error = "cannot export: no folder was given";
        return false;
    }
    const std::string where = "cannot export to " + dir + ": ";

    // The folder, links followed; a new one by its existing parent.
    std::string given = dir;
    while (given.size() > 1 && given.back() == '/')
        given.pop_back();
    struct stat info {};
    char real[PATH_MAX];
    if (::stat(given.c_str(), &info) == 0) {
        if (!S_ISDIR(info.st_mode)) {
            error = where + "it exists and is not a folder";
            return false;
        }
        if (!::realpath(given.c_str(), real)) {
            error = where + std::strerror(errno);
            return false;
        }
        resolved_ = real;
    } else if (errno == ENOENT) {
        if (::lstat(given.c_str(), &info) == 0) {
            error = where + "it is a symbolic link that leads nowhere";
            return false;
        }
        const std::string base = BaseName(given);
        if (base == "." || base == ".." || !::realpath(Folder(given).c_str(), real)) {
            error = "cannot make the folder " + dir + ": " + std::strerror(errno);
            return false;
        }
        resolved_ = PathInFolder(real, base);
    } else {
        error = where + std::strerror(errno);
        return false;
    }
    if (resolved_ == "/") {
        error = where + "the root folder cannot hold an export";
        return false;
    }
    const std::string parent = Folder(resolved_);
    const std::string base = BaseName(resolved_);
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) && (resolved_ == cwd || std::string(cwd).rfind(resolved_ + "/", 0) == 0)) {
        error = where +
                "it is the working folder or holds it; an export replaces its folder as a whole, "
                "so choose a folder of its own";
        return false;
    }

    // Exports into one parent folder take turns.
    lock_ = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock_ < 0) {
        error = where + "its folder " + parent + ": " + std::strerror(errno);
        return false;
    }
    int waited = 0;
    while (::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= kLockWaitMs) {
            error = where + "another export into " + parent + " is still running; nothing was written";
            Release();
            return false;
        }
        ::usleep(20'000);
        waited += 20;
    }
    RemoveStaleTemporaries(parent);

    // What the folder holds now that no other export changes it.
    existed_ = ::stat(resolved_.c_str(), &info) == 0;
    if (existed_ && !S_ISDIR(info.st_mode)) {
        error = where + "it exists and is not a folder";
        Release();
        return false;
    }
    inode_ = existed_ ? info.st_ino : 0;
    device_ = existed_ ? info.st_dev : 0;
    struct stat parentInfo {};
    if (existed_ && ::fstat(lock_, &parentInfo) == 0 && parentInfo.st_dev != info.st_dev) {
        // A mounted file system's top folder cannot be swapped with a sibling on another one.
        error = where + "it is the top folder of a mounted file system; choose a folder inside it";
        Release();
        return false;
    }
    const mode_t folderMode = info.st_mode & 07777;
    std::set<std::string> earlier;
    const bool hasManifest = existed_ && ReadManifestNames(resolved_, earlier);
    std::set<std::string> newNames{kExportManifestName};
    for (const ExportFile& file : set.files)
        newNames.insert(file.name);
    std::vector<std::string> carried;
    if (existed_) {
        RemoveStaleTemporaries(resolved_);
        DIR* folder = ::opendir(resolved_.c_str());
        if (!folder) {
            error = where + std::strerror(errno);
            Release();
            return false;
        }
        std::vector<std::string> entries;
        while (const dirent* entry = ::readdir(folder))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                entries.push_back(entry->d_name);
        ::closedir(folder);
        for (const std::string& name : entries) {
            const std::string path = PathInFolder(resolved_, name);
            struct stat entryInfo {};
            if (::lstat(path.c_str(), &entryInfo) != 0)
                continue;
            if (hasManifest && earlier.count(name) && S_ISREG(entryInfo.st_mode)) {
                for (const std::string& input : protectedInputs)
                    if (SameFile(path, input)) {
                        error = where + name + " of the earlier export is the input file " + input;
                        Release();
                        return false;
                    }
                earlierNames_.push_back(name);  // goes with the earlier set
                continue;
            }
            if (newNames.count(name)) {
                error = where + name + " there is not from an earlier export (no " + kExportManifestName +
                        " names it) and would be replaced; nothing was written; choose another folder";
                Release();
                return false;
            }
            carried.push_back(name);
        }
    }

    // The new set in a sibling folder, with the earlier folder's permissions.
    std::string pattern = TemporaryPattern(parent, base, "set");
    {
        const InterruptsHeld held;
        if (CreateTemporaryFolder(pattern) != 0) {
            error = "cannot make a folder in " + parent + " for the export: " + std::strerror(errno);
            Release();
            return false;
        }
        registered_.push_back(RegisterTemporary(pattern, true));
    }
    staging_ = pattern;
    if (existed_) {
        if (::chown(staging_.c_str(), info.st_uid, info.st_gid) != 0) {
            // Not permitted: the folder belongs to this process, like any folder it makes.
        }
        ::chmod(staging_.c_str(), folderMode);
    }
    for (const std::string& name : carried) {
        struct stat entryInfo {};
        const std::string from = PathInFolder(resolved_, name);
        const InterruptsHeld held;
        if (::lstat(from.c_str(), &entryInfo) == 0 && !S_ISDIR(entryInfo.st_mode) &&
            ::link(from.c_str(), PathInFolder(staging_, name).c_str()) == 0) {
            stagedNames_.push_back(name);
            earlierNames_.push_back(name);  // the second name, in the earlier set after the exchange
            registered_.push_back(RegisterTemporary(PathInFolder(staging_, name), false));
        } else {
            moveAfter_.push_back(name);  // a folder, or a file that cannot have a second name
        }
    }
    std::vector<ExportFile> files = set.files;
    files.push_back({kExportManifestName, ExportManifest(set)});  // last: a complete set has it
    for (const ExportFile& file : files) {
        const std::string path = PathInFolder(staging_, file.name);
        if (file.name != kExportManifestName)
            paths_.push_back(PathInFolder(dir, file.name));
        // Registered before it exists, so that an interrupt while it is written removes it.
        stagedNames_.push_back(file.name);
        registered_.push_back(RegisterTemporary(path, false));
        const bool written = WriteNewFile(path, file.bytes);
        const int code = errno;
        if (!written) {
            error = where + file.name + ": writing failed: " + std::strerror(code);
            Abandon();
            return false;
        }
    }
    SyncFolder(staging_);
    return true;
}

bool PendingExport::Place(std::string& error) {
    const std::string where = "cannot export to " + dir_ + ": ";
    if (staging_.empty() || placed_) {
        error = where + "nothing was prepared";
        return false;
    }
    struct stat info {};
    const bool exists = ::stat(resolved_.c_str(), &info) == 0;
    if (exists != existed_ || (exists && (info.st_ino != inode_ || info.st_dev != device_))) {
        error = where + "the folder changed while the export was written; nothing was written";
        Abandon();
        return false;
    }
    const unsigned flags = existed_ ? RENAME_EXCHANGE : RENAME_NOREPLACE;
    if (::renameat2(AT_FDCWD, staging_.c_str(), AT_FDCWD, resolved_.c_str(), flags) != 0) {
        if (errno == EINVAL || errno == ENOSYS)
            error = where +
                    "its file system cannot swap two folders in one step; nothing was written; "
                    "choose a folder on another file system";
        else
            error = where + std::strerror(errno);
        Abandon();
        return false;
    }
    placed_ = true;
    // The sibling's name now holds the earlier set (or nothing): no longer a temporary to remove on an
    // interrupt. Folders and files that could not be linked follow the new set now.
    for (int slot : registered_)
        ForgetTemporary(slot);
    registered_.clear();
    for (const std::string& name : moveAfter_) {
        if (::renameat2(AT_FDCWD, PathInFolder(staging_, name).c_str(), AT_FDCWD,
                        PathInFolder(resolved_, name).c_str(), RENAME_NOREPLACE) != 0) {
            error = where + "cannot carry " + name + " over into the new set: " + std::strerror(errno) +
                    "; nothing was written";
            TakeBack();
            return false;
        }
        moved_.push_back(name);
    }
    SyncFolder(Folder(resolved_));
    return true;
}

bool PendingExport::TakeBack() {
    if (!placed_)
        return true;
    bool done = true;
    for (auto name = moved_.rbegin(); name != moved_.rend(); ++name)
        done = ::rename(PathInFolder(resolved_, *name).c_str(), PathInFolder(staging_, *name).c_str()) == 0 &&
               done;
    moved_.clear();
    if (existed_)
        done = ::renameat2(AT_FDCWD, staging_.c_str(), AT_FDCWD, resolved_.c_str(), RENAME_EXCHANGE) == 0 &&
               done;
    else
        done = ::renameat2(AT_FDCWD, resolved_.c_str(), AT_FDCWD, staging_.c_str(), RENAME_NOREPLACE) == 0 &&
               done;
    placed_ = false;
    Abandon();  // the sibling holds the new set again
    return done;
}

void PendingExport::Finish() {
    if (placed_ && existed_) {
        // The earlier set: its files and the second names of what was carried over. Anything else that
        // appeared there meanwhile goes to the new set rather than away.
        for (const std::string& name : earlierNames_)
            ::unlink(PathInFolder(staging_, name).c_str());
        if (DIR* folder = ::opendir(staging_.c_str())) {
            std::vector<std::string> left;
            while (const dirent* entry = ::readdir(folder))
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                    left.push_back(entry->d_name);
            ::closedir(folder);
            for (const std::string& name : left)
                ::renameat2(AT_FDCWD, PathInFolder(staging_, name).c_str(), AT_FDCWD,
                            PathInFolder(resolved_, name).c_str(), RENAME_NOREPLACE);
            ::rmdir(staging_.c_str());
        }
        SyncFolder(Folder(resolved_));
    }
    placed_ = false;
    Release();
}

bool PendingExport::Commit(std::string& error) {
    if (!Place(error))
        return false;
    Finish();
    return true;
}

bool WriteExportSet(const std::string& dir,
                    const ExportSet& set,
                    const std::vector<std::string>& protectedInputs,
                    std::string& error) {
    PendingExport pending;
    return pending.Prepare(dir, set, protectedInputs, error) && pending.Commit(error);
}

}  // namespace halvorn
