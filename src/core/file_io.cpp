#include "core/file_io.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace tav {

Result<std::string> readWholeFile(const std::string& path, std::size_t maxBytes) {
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; fstat then refuses it.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Status::failure(std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Status::failure(S_ISDIR(st.st_mode) ? "is a folder" : "not a regular file");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const auto tooLarge = [&] {
        ::close(fd);
        return Status::failure("larger than " + std::to_string(maxBytes >> 20) + " MB");
    };
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) return tooLarge();
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            // The file grew while we read it.
            if (got >= maxBytes) return tooLarge();
            bytes.resize(bytes.size() + 65536);
        }
        ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            Status failed = Status::failure(std::strerror(errno));
            ::close(fd);
            return failed;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    ::close(fd);
    return bytes;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string replaceExtension(std::string_view path, std::string_view ext) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const bool hasExt = dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
    return std::string(hasExt ? path.substr(0, dot) : path) + std::string(ext);
}

static const char* notRegularReason(mode_t mode) {
    return S_ISDIR(mode) ? "is a folder" : "not a regular file";
}

Status checkInputFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return Status::failure(std::strerror(errno));
    if (!S_ISREG(st.st_mode)) return Status::failure(notRegularReason(st.st_mode));
    return {};
}

Result<std::string> resolveSaveTarget(const std::string& path) {
    std::string current = path;
    // The same bound on a chain of links as the system's own.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) return Status::failure(std::strerror(errno));
            return current;  // a new file, or the missing file a dangling link names
        }
        if (S_ISREG(st.st_mode)) return current;
        if (!S_ISLNK(st.st_mode)) return Status::failure(notRegularReason(st.st_mode));
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n < 0) return Status::failure(std::strerror(errno));
        link.resize(static_cast<std::size_t>(n));
        // A relative link is relative to the folder that holds it.
        const std::size_t slash = current.rfind('/');
        if (!link.empty() && link.front() != '/' && slash != std::string::npos)
            link = current.substr(0, slash + 1) + link;
        current = link;
    }
    return Status::failure(std::strerror(ELOOP));
}

Result<TemporaryFile> createTemporaryBeside(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = dir + "." + base + ".tmp-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return Status::failure(std::strerror(errno));
    // mkstemp makes the file private; a replaced file keeps its permissions, a new one gets the usual.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ::fchmod(fd, ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~mask));
    return TemporaryFile{fd, std::move(pattern)};
}

namespace {

// A slot is free, being filled, or holds a live path; only live paths are touched by the handler, so a
// signal arriving while a slot is filled or freed never unlinks a half-written or stale name.
enum SlotState : int { kFree = 0, kFilling = 1, kLive = 2 };
// The run's work files take about thirty of these for the whole run (core/work_files).
constexpr int kTempSlots = 128;
constexpr std::size_t kTempPathMax = 4096;

struct TempSlot {
    std::atomic<int> state{kFree};
    char path[kTempPathMax];
};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free atomics");

TempSlot tempSlots[kTempSlots];

extern "C" void removeTempFilesAndStop(int sig) {
    removeRegisteredTempFiles();
    ::signal(sig, SIG_DFL);
    // The signal is blocked while its handler runs; it is delivered again with the default action as
    // soon as the handler returns.
    ::raise(sig);
}

}  // namespace

int registerTempFile(std::string_view path) {
    if (path.empty() || path.size() >= kTempPathMax || path.find('\0') != std::string_view::npos) return -1;
    for (int i = 0; i < kTempSlots; ++i) {
        int expected = kFree;
        if (!tempSlots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(tempSlots[i].path, path.data(), path.size());
        tempSlots[i].path[path.size()] = '\0';
        tempSlots[i].state.store(kLive);
        return i;
    }
    return -1;
}

void unregisterTempFile(int slot) {
    if (slot >= 0 && slot < kTempSlots) tempSlots[slot].state.store(kFree);
}

void removeRegisteredTempFiles() {
    for (TempSlot& s : tempSlots)
        if (s.state.load() == kLive) ::unlink(s.path);
    // A registered folder (the private work folder) goes once the files in it are gone; rmdir never
    // removes a folder that still holds anything.
    for (TempSlot& s : tempSlots)
        if (s.state.load() == kLive) ::rmdir(s.path);
}

void installTempFileCleanup() {
    struct sigaction sa {};
    sa.sa_handler = removeTempFilesAndStop;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM}) ::sigaction(sig, &sa, nullptr);
}

AtomicFile::~AtomicFile() {
    if (f_) std::fclose(f_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
    unregisterTempFile(tempSlot_);
}

Status AtomicFile::fail(std::string reason) {
    if (failure_.ok()) failure_ = Status::failure(std::move(reason));
    return failure_;
}

Status AtomicFile::failWithErrno(const std::string& what) {
    return fail(what + ": " + std::strerror(errno));
}

Status AtomicFile::open(const std::string& path) {
    Result<std::string> target = resolveSaveTarget(path);
    if (!target) return fail(path + ": " + target.status().plain());
    target_ = target.value();
    Result<TemporaryFile> temp = createTemporaryBeside(target_);
    if (!temp) return fail("cannot create a file in the folder: " + temp.status().plain());
    temp_ = temp->path;
    tempSlot_ = registerTempFile(temp_);
    f_ = ::fdopen(temp->fd, "wb");
    if (!f_) {
        Status failed = failWithErrno("cannot write");
        ::close(temp->fd);
        return failed;
    }
    std::setvbuf(f_, nullptr, _IOFBF, 1 << 20);
    return {};
}

Status AtomicFile::write(std::string_view bytes) {
    if (!failure_.ok()) return failure_;
    if (!f_) return fail("cannot write: not open");
    if (std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size()) return failWithErrno("cannot write");
    return {};
}

Status AtomicFile::commit(const std::string& backup) {
    if (!failure_.ok()) return failure_;
    if (!f_) return fail("cannot write: not open");
    bool ok = std::fflush(f_) == 0 && ::fsync(::fileno(f_)) == 0;
    ok = std::fclose(f_) == 0 && ok;
    f_ = nullptr;
    if (!ok) return failWithErrno("cannot write");
    // When the new file cannot take the target's name, only what this commit moved is moved back: a
    // target that did not exist stays absent (an older backup must not take its name), and the older
    // backup, kept under a private name until then, is the backup again.
    std::string aside;
    int asideSlot = -1;
    const auto restoreAside = [&] {
        if (aside.empty()) return;
        ::rename(aside.c_str(), backup.c_str());
        unregisterTempFile(asideSlot);
    };
    bool moved = false;
    if (!backup.empty() && fileExists(target_)) {
        struct stat st {};
        if (::lstat(backup.c_str(), &st) == 0) {
            Result<TemporaryFile> made = createTemporaryBeside(backup);
            if (!made) return fail("cannot keep the previous version: " + made.status().plain());
            ::close(made->fd);
            aside = made->path;
            if (::rename(backup.c_str(), aside.c_str()) != 0) {
                Status failed = failWithErrno("cannot keep the previous version");
                ::unlink(aside.c_str());
                return failed;
            }
            asideSlot = registerTempFile(aside);
        }
        if (::rename(target_.c_str(), backup.c_str()) != 0) {
            Status failed = failWithErrno("cannot keep the previous version");
            restoreAside();
            return failed;
        }
        moved = true;
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        Status failed = failWithErrno("cannot replace the file");
        if (moved) ::rename(backup.c_str(), target_.c_str());
        restoreAside();
        return failed;
    }
    if (!aside.empty()) {
        ::unlink(aside.c_str());
        unregisterTempFile(asideSlot);
    }
    temp_.clear();
    unregisterTempFile(tempSlot_);
    tempSlot_ = -1;
    return {};
}

Status writeFileAtomically(const std::string& path, std::string_view bytes, const std::string& backup) {
    AtomicFile file;
    file.open(path);
    file.write(bytes);
    return file.commit(backup);
}

}  // namespace tav
