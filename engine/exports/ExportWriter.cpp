#include "engine/exports/ExportWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

namespace halvorn {

namespace {

// A second name for the existing file `path` (a hard link beside it), or empty when none can be made (a
// file system without hard links): the export then cannot give that file back after a failed rename.
std::string KeepUnderSecondName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    // Short enough that the added suffix stays within the file system's 255 bytes.
    const std::string base = path.substr(folder.size()).substr(0, 200);
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = folder + base + ".old-";
        for (int i = 0; i < 6; ++i)
            name += kLetters[pick(random)];
        if (::link(path.c_str(), name.c_str()) == 0)
            return name;
        if (errno != EEXIST)
            break;
    }
    return {};
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
    if (name == "gate9_spectrum.txt" || name == "gate10_spectrum.py")
        return ExportFamily::Gate;
    if (name == "spectrum.spk")
        return ExportFamily::SpectrumText;
    if (name == "spectra_long.csv" || name == "beam_quality.csv")
        return ExportFamily::Spreadsheet;
    return std::nullopt;
}

ExportSet OnlyFamilies(const ExportSet& set, const std::vector<ExportFamily>& families) {
    ExportSet chosen;
    chosen.error = set.error;
    for (const ExportFile& file : set.files) {
        const std::optional<ExportFamily> family = FamilyOf(file.name);
        if (family && std::find(families.begin(), families.end(), *family) != families.end())
            chosen.files.push_back(file);
    }
    return chosen;
}

std::string PathInFolder(const std::string& dir, const std::string& name) {
    if (dir.empty() || dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

PendingExport::~PendingExport() {
    Abandon();
}

void PendingExport::RemoveBackups() {
    for (std::string& backup : backups_) {
        if (!backup.empty())
            ::unlink(backup.c_str());
        backup.clear();
    }
}

void PendingExport::Abandon() {
    for (PendingFile& file : files_)
        file.Abandon();
    files_.clear();
    RemoveBackups();
    backups_.clear();
    existed_.clear();
    // Only an empty folder goes: rmdir refuses any other.
    if (madeFolder_)
        ::rmdir(dir_.c_str());
    madeFolder_ = false;
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
    struct stat info {};
    if (::stat(dir.c_str(), &info) == 0) {
        if (!S_ISDIR(info.st_mode)) {
            error = "cannot export to " + dir + ": it exists and is not a folder";
            return false;
        }
    } else if (errno == ENOENT) {
        if (::mkdir(dir.c_str(), 0777) != 0) {
            error = "cannot make the folder " + dir + ": " + std::strerror(errno);
            return false;
        }
        madeFolder_ = true;
    } else {
        error = "cannot export to " + dir + ": " + std::strerror(errno);
        return false;
    }

    files_.resize(set.files.size());
    for (std::size_t k = 0; k < set.files.size(); ++k) {
        paths_.push_back(PathInFolder(dir, set.files[k].name));
        if (!files_[k].Prepare(paths_.back(), set.files[k].bytes, protectedInputs, error)) {
            Abandon();
            return false;
        }
    }
    return true;
}

bool PendingExport::Commit(std::string& error) {
    if (files_.empty()) {
        error = "cannot export to " + dir_ + ": nothing was prepared";
        return false;
    }
    // Every file that is about to be replaced keeps a second name until all are in place.
    existed_.assign(files_.size(), false);
    backups_.assign(files_.size(), {});
    for (std::size_t k = 0; k < files_.size(); ++k) {
        struct stat info {};
        existed_[k] = ::lstat(files_[k].resolvedPath().c_str(), &info) == 0;
        if (existed_[k])
            backups_[k] = KeepUnderSecondName(files_[k].resolvedPath());
    }
    for (std::size_t k = 0; k < files_.size(); ++k) {
        if (files_[k].Commit(error))
            continue;
        // Take back what is in place: the earlier file where there was one, nothing where there was none.
        // An earlier file that cannot be put back keeps its second name, which the message gives.
        for (std::size_t j = k; j-- > 0;) {
            const std::string& target = files_[j].resolvedPath();
            if (!backups_[j].empty()) {
                if (::rename(backups_[j].c_str(), target.c_str()) != 0)
                    error += "; the earlier " + target + " is kept as " + backups_[j];
                backups_[j].clear();
            } else if (!existed_[j]) {
                ::unlink(target.c_str());
            }
        }
        Abandon();
        return false;
    }
    files_.clear();
    RemoveBackups();
    backups_.clear();
    existed_.clear();
    madeFolder_ = false;
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
