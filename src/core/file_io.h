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

class AtomicFile {
  public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();  // removes the temporary file unless committed

    bool open(const std::string& target);
    bool write(std::string_view bytes);
    // Flushes to disk and puts the new file in place. With a backup name, an existing target is first
    // moved there (an older backup is replaced); the target name is free only for the moment between
    // the two renames, and the previous version is then already in the backup.
    bool commit(const std::string& backup = {});
    const std::string& error() const { return error_; }

  private:
    bool fail(const std::string& what);
    std::string target_;
    std::string temp_;
    std::FILE* f_ = nullptr;
    std::string error_;
};

}  // namespace tav
