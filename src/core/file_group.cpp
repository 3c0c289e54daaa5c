#include "core/file_group.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/file_io.h"

namespace tav {

FileGroup::~FileGroup() {
    for (const Entry& e : entries_) {
        if (!e.placed && !e.temp.empty()) ::unlink(e.temp.c_str());
        unregisterTempFile(e.slot);
        unregisterTempFile(e.asideSlot);
    }
}

Status FileGroup::addBytes(const std::string& path, std::string_view bytes, std::string_view backupSuffix) {
    Result<std::string> target = resolveSaveTarget(path);
    if (!target) return Status::failure(path + ": " + target.status().plain());
    Result<TemporaryFile> temp = createTemporaryBeside(target.value());
    if (!temp) return Status::failure(path + ": " + temp.status().plain());
    const int fd = temp->fd;
    // Registered at once, so the destructor removes it whatever happens next.
    addTemporary(target.value(), temp->path, backupSuffix);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            Status failed = Status::failure(path + ": " + std::strerror(n < 0 ? errno : EIO));
            ::close(fd);
            return failed;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) return Status::failure(path + ": " + std::strerror(errno));
    return {};
}

void FileGroup::addTemporary(const std::string& target, const std::string& temp,
                             std::string_view backupSuffix) {
    Entry e;
    e.target = target;
    e.temp = temp;
    e.backup = replaceExtension(target, backupSuffix);
    entries_.push_back(std::move(e));
    entries_.back().slot = registerTempFile(temp);
}

// Renaming the previous file to its backup name would replace the older backup for good; it waits under
// a private name instead until the group is in place.
Status FileGroup::moveBackupAside(Entry& e) {
    struct stat st {};
    if (::lstat(e.backup.c_str(), &st) != 0) return {};
    Result<TemporaryFile> made = createTemporaryBeside(e.backup);
    if (!made) return Status::failure(e.backup + ": " + made.status().plain());
    ::close(made->fd);
    const std::string& aside = made->path;
    if (::rename(e.backup.c_str(), aside.c_str()) != 0) {
        Status failed = Status::failure(e.backup + ": " + std::strerror(errno));
        ::unlink(aside.c_str());
        return failed;
    }
    e.asideBackup = aside;
    e.asideSlot = registerTempFile(aside);
    return {};
}

Status FileGroup::commit() {
    std::size_t i = 0;
    Status failed;
    for (; i < entries_.size(); ++i) {
        Entry& e = entries_[i];
        struct stat st {};
        e.hadTarget = ::lstat(e.target.c_str(), &st) == 0;
        if (e.hadTarget) failed = moveBackupAside(e);
        if (!failed.ok()) break;
        // The previous file goes to its backup first.
        if (e.hadTarget && ::rename(e.target.c_str(), e.backup.c_str()) != 0) {
            failed = Status::failure(e.target + ": " + std::strerror(errno));
            ++i;  // its older backup is put back below
            break;
        }
        if (::rename(e.temp.c_str(), e.target.c_str()) != 0) {
            failed = Status::failure(e.target + ": " + std::strerror(errno));
            if (e.hadTarget) ::rename(e.backup.c_str(), e.target.c_str());
            ++i;
            break;
        }
        e.placed = true;
        unregisterTempFile(e.slot);
        e.slot = -1;
    }
    if (failed.ok()) {
        for (Entry& e : entries_) {
            if (e.asideBackup.empty()) continue;
            ::unlink(e.asideBackup.c_str());
            unregisterTempFile(e.asideSlot);
            e.asideSlot = -1;
            e.asideBackup.clear();
        }
        return failed;
    }
    // Undo in reverse order: each replaced file gets its previous version back, a new one goes away, and
    // each backup its older content.
    while (i-- > 0) {
        Entry& e = entries_[i];
        if (e.placed) {
            if (e.hadTarget) {
                ::rename(e.backup.c_str(), e.target.c_str());
            } else {
                ::unlink(e.target.c_str());
            }
            e.placed = false;
            e.temp.clear();  // it is the target now, or gone
        }
        if (!e.asideBackup.empty()) {
            ::rename(e.asideBackup.c_str(), e.backup.c_str());
            unregisterTempFile(e.asideSlot);
            e.asideSlot = -1;
            e.asideBackup.clear();
        }
    }
    return failed;
}

}  // namespace tav
