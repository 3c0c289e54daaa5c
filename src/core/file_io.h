#pragma once
// Whole-file reading and safe replacement of files. A file is never written in place: the new content
// goes to a temporary file in the same folder, which takes the target's name only once it is complete,
// so a failed write leaves the old file as it was.

#include <cstdio>
#include <string>
#include <string_view>

#include "core/status.h"

namespace tav {

// Every failure below is a Status whose one message is the reason alone ("is a folder", the system's
// text for errno), so that the caller can put it into its own message that names the file.

// The bytes of the whole file; a file larger than maxBytes is refused before anything is read.
Result<std::string> readWholeFile(const std::string& path,
                                  std::size_t maxBytes = static_cast<std::size_t>(-1));
bool fileExists(const std::string& path);

// The path with the extension of its file name replaced (ext with its dot), or ext appended when the
// name has none: the one rule for companion files and backups ("a.tab" keeps "a.~ta").
std::string replaceExtension(std::string_view path, std::string_view ext);

// Checks that path names something a reader may open: it exists and is a regular file (or a link to
// one). A folder, FIFO, socket or device is refused, so that no reader blocks on it or reads it raw.
Status checkInputFile(const std::string& path);

// Where a save to path really goes. A symbolic link is followed, so that the file it points to is
// written and the link stays a link; the backup belongs beside that file. A target that exists and is
// not a regular file (a folder, FIFO, device) is refused.
Result<std::string> resolveSaveTarget(const std::string& path);

struct TemporaryFile {
    int fd = -1;  // open for writing; the caller closes it
    std::string path;
};
// Creates an empty private-named temporary file beside target (same folder, so that the final rename
// stays on one file system), with the target's permissions or the usual ones for a new file.
Result<TemporaryFile> createTemporaryBeside(const std::string& target);

// Temporary files that an interrupted run must not leave behind. Whoever creates a temporary file that
// is renamed or removed later registers it and unregisters it once it is gone or has its final name;
// AtomicFile does so itself. A registry of fixed size keeps the signal handler free of allocation and
// locks; a path that does not fit, or a full registry, leaves that file unregistered (-1).
int registerTempFile(std::string_view path);
void unregisterTempFile(int slot);
// Removes every registered file, then every registered folder that is empty by then. Async-signal-safe:
// this is what the signal handler calls.
void removeRegisteredTempFiles();
// Installs handlers for SIGINT and SIGTERM that remove the registered files and then end the process
// with the signal's default action, so the exit status still says what stopped it.
void installTempFileCleanup();

class AtomicFile {
  public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();  // removes the temporary file unless committed

    // Refuses a target that exists and is not a regular file; a symbolic link is written through.
    Status open(const std::string& target);
    // A failed open or write is remembered: every later write fails, and commit returns the first
    // failure, so a writer may check only the commit.
    Status write(std::string_view bytes);
    // Flushes to disk and puts the new file in place. With a backup name, an existing target is first
    // moved there (an older backup is replaced once the new file is in place); the target name is free
    // only for the moment between the two renames, and the previous version is then already in the
    // backup. When the new file cannot be put in place, the target and the backup are as they were.
    Status commit(const std::string& backup = {});
    // The file that commit replaces: the target given to open, or the file its link points to.
    const std::string& target() const { return target_; }

  private:
    Status fail(std::string reason);
    Status failWithErrno(const std::string& what);
    std::string target_;
    std::string temp_;
    int tempSlot_ = -1;
    std::FILE* f_ = nullptr;
    Status failure_;
};

// Replaces path with bytes through an AtomicFile: open, write and commit in one.
Status writeFileAtomically(const std::string& path, std::string_view bytes, const std::string& backup = {});

}  // namespace tav
