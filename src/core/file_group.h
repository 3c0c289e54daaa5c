#pragma once
// Replacing several files as one. A species database is a few files that only make sense together: the
// new content of every file is first written completely to a temporary file beside its target, and only
// then are they put in place, each previous file kept under its backup name. When putting one of them in
// place fails, the files already replaced get their previous content back and the backups their older
// content, so the group is either all new or all old.

#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"

namespace tav {

class FileGroup {
  public:
    FileGroup() = default;
    FileGroup(const FileGroup&) = delete;
    FileGroup& operator=(const FileGroup&) = delete;
    ~FileGroup();  // removes the temporaries that were not put in place

    // Writes bytes to a temporary for path (a symbolic link is followed; a folder or other non-file is
    // refused). backupSuffix names the backup: the target's extension replaced by it (".~adm").
    // A failure names the file: "path: reason".
    Status addBytes(const std::string& path, std::string_view bytes, std::string_view backupSuffix);
    // Takes over a complete temporary that the caller wrote for target (the real file, links resolved).
    void addTemporary(const std::string& target, const std::string& temp, std::string_view backupSuffix);

    // Puts every temporary in place, in the order added. A failure (naming the file and the reason) when
    // one could not be: then every target has its previous content again.
    Status commit();

  private:
    struct Entry {
        std::string target, temp, backup;
        // The older backup, moved aside while the group is put in place, so that a failure can give it
        // back; removed once the whole group is in place.
        std::string asideBackup;
        int asideSlot = -1;
        bool hadTarget = false;
        bool placed = false;
        int slot = -1;  // the temporary's place in the registry that an interrupted run cleans up
    };
    std::vector<Entry> entries_;
    Status moveBackupAside(Entry& e);
};

}  // namespace tav
