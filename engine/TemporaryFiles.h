#pragma once

// The temporary names the program writes under before it puts a file or an export set in place, and their
// removal: at once when a save fails, from a signal handler when the batch tool is interrupted, and by a
// later run when a process died and left them behind.
//
// Every temporary is named ".<target>.halvorn-<kind>-XXXXXX" beside its target (kind "tmp" for a file,
// "set" for an export set's folder, XXXXXX six letters or digits), so that a later run recognises its own
// leftovers and nothing else.

#include <string>
#include <string_view>

namespace halvorn {

// A name for mkstemp/mkdtemp: "<folder>/.<base>.halvorn-<kind>-XXXXXX", the base shortened so that the
// name stays within the file system's 255 bytes.
std::string TemporaryPattern(const std::string& folder, const std::string& base, std::string_view kind);

// Makes a new file, or a folder, of the name `pattern` (a TemporaryPattern) gives with its XXXXXX replaced by
// six random letters or digits, and puts that name into `pattern`. Unlike mkstemp and mkdtemp, which make
// it private, it gets the mode any new file (0666) or folder (0777) gets, less the process's umask: the
// system applies the umask, which the program never changes. The file is open for writing (close-on-exec):
// its descriptor, or -1 with errno set. The folder: 0, or -1 with errno set.
int CreateTemporaryFile(std::string& pattern);
int CreateTemporaryFolder(std::string& pattern);

// Whether `name` (a name in a folder, no slash) has the form TemporaryPattern gives.
bool IsTemporaryName(std::string_view name);

// Removes the temporaries in `folder` whose last change is more than `minAgeSeconds` ago: files, and export
// folders with the files in them (a folder that still holds a folder stays). Anything else is left alone.
void RemoveStaleTemporaries(const std::string& folder, int minAgeSeconds = 60);

// Removes a temporary export folder: the files in it, then the folder when that left it empty.
void RemoveTemporaryFolder(const std::string& folder);

// The registry of this process's temporaries, which the interrupt handler removes. Register after making
// a temporary, forget once it is removed or put in place. A full registry (over 256 at once) registers
// nothing: that temporary is then left to a later run's clean-up.
int RegisterTemporary(const std::string& path, bool isFolder);
void ForgetTemporary(int slot);

// For the batch tool: SIGINT and SIGTERM remove the registered temporaries (files first, newest first),
// print "<program>: interrupted (SIGINT); nothing was written" and end with status 128 + signal number;
// SIGXFSZ is ignored, so that a write past the file-size limit fails as on a full disk.
void InstallInterruptCleanup(const char* program);

// Holds SIGINT and SIGTERM back while it lives, so that making a temporary and registering it are one
// step for the interrupt handler.
class InterruptsHeld {
public:
    InterruptsHeld();
    ~InterruptsHeld();
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

private:
    unsigned long long previous_[16];  // the signal mask before, as sigset_t
};

// Holds SIGINT and SIGTERM back from now on: once a run begins to put its outputs in place it finishes,
// and a signal that arrives meanwhile is left pending until the process ends.
void HoldInterrupts();

}  // namespace halvorn
