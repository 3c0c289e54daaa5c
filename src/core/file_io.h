#pragma once
// Whole-file reading and safe replacement of files. A file is never written in place: the new content
// goes to a temporary file in the same folder, which takes the target's name only once it is complete,
// so a failed write leaves the old file as it was.

#include <cstdio>
#include <string>
#include <string_view>

namespace tav {

// Reads the whole file into bytes. On failure returns false and a reason in error; a file larger than
// maxBytes is refused before anything is read.
bool readWholeFile(const std::string& path, std::string& bytes, std::string& error,
                   std::size_t maxBytes = static_cast<std::size_t>(-1));
bool fileExists(const std::string& path);

// Checks that path names something a reader may open: it exists and is a regular file (or a link to
// one). A folder, FIFO, socket or device is refused, so that no reader blocks on it or reads it raw.
bool checkInputFile(const std::string& path, std::string& error);

// Where a save to path really goes. A symbolic link is followed, so that the file it points to is
// written and the link stays a link; the backup belongs beside that file. A target that exists and is
// not a regular file (a folder, FIFO, device) is refused.
bool resolveSaveTarget(const std::string& path, std::string& target, std::string& error);

class AtomicFile {
  public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();  // removes the temporary file unless committed

    // Refuses a target that exists and is not a regular file; a symbolic link is written through.
    bool open(const std::string& target);
    bool write(std::string_view bytes);
    // Flushes to disk and puts the new file in place. With a backup name, an existing target is first
    // moved there (an older backup is replaced); the target name is free only for the moment between
    // the two renames, and the previous version is then already in the backup.
    bool commit(const std::string& backup = {});
    const std::string& error() const { return error_; }
    // The file that commit replaces: the target given to open, or the file its link points to.
    const std::string& target() const { return target_; }

  private:
    bool fail(const std::string& what);
    std::string target_;
    std::string temp_;
    std::FILE* f_ = nullptr;
    std::string error_;
};

}  // namespace tav
