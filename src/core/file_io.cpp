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

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error, std::size_t maxBytes) {
    bytes.clear();
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; fstat then refuses it.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? "is a folder" : "not a regular file";
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        error = "larger than " + std::to_string(maxBytes >> 20) + " MB";
        ::close(fd);
        return false;
    }
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            // The file grew while we read it.
            if (got >= maxBytes) {
                error = "larger than " + std::to_string(maxBytes >> 20) + " MB";
                ::close(fd);
                bytes.clear();
                return false;
            }
            bytes.resize(bytes.size() + 65536);
        }
        ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::strerror(errno);
            ::close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    ::close(fd);
    return true;
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

bool checkInputFile(const std::string& path, std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = notRegularReason(st.st_mode);
        return false;
    }
    return true;
}

bool resolveSaveTarget(const std::string& path, std::string& target, std::string& error) {
    std::string current = path;
    // The same bound on a chain of links as the system's own.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                error = std::strerror(errno);
                return false;
            }
            target = current;  // a new file, or the missing file a dangling link names
            return true;
        }
        if (S_ISREG(st.st_mode)) {
            target = current;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            error = notRegularReason(st.st_mode);
            return false;
        }
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n < 0) {
            error = std::strerror(errno);
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        // A relative link is relative to the folder that holds it.
        const std::size_t slash = current.rfind('/');
        if (!link.empty() && link.front() != '/' && slash != std::string::npos)
            link = current.substr(0, slash + 1) + link;
        current = link;
    }
    error = std::strerror(ELOOP);
    return false;
}

int createTemporaryBeside(const std::string& target, std::string& temp, std::string& error) {
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = dir + "." + base + ".tmp-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    temp = pattern;
    // mkstemp makes the file private; a replaced file keeps its permissions, a new one gets the usual.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ::fchmod(fd, ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~mask));
    return fd;
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

bool AtomicFile::fail(const std::string& what) {
    error_ = what + ": " + std::strerror(errno);
    return false;
}

bool AtomicFile::open(const std::string& path) {
    std::string target;
    if (!resolveSaveTarget(path, target, error_)) {
        error_ = path + ": " + error_;
        return false;
    }
    target_ = target;
    std::string why;
    const int fd = createTemporaryBeside(target, temp_, why);
    if (fd < 0) {
        error_ = "cannot create a file in the folder: " + why;
        return false;
    }
    tempSlot_ = registerTempFile(temp_);
    f_ = ::fdopen(fd, "wb");
    if (!f_) {
        ::close(fd);
        return fail("cannot write");
    }
    std::setvbuf(f_, nullptr, _IOFBF, 1 << 20);
    return true;
}

bool AtomicFile::write(std::string_view bytes) {
    if (!f_) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size()) return fail("cannot write");
    return true;
}

bool AtomicFile::commit(const std::string& backup) {
    if (!f_) return false;
    bool ok = std::fflush(f_) == 0 && ::fsync(::fileno(f_)) == 0;
    ok = std::fclose(f_) == 0 && ok;
    f_ = nullptr;
    if (!ok) return fail("cannot write");
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
            std::string why;
            const int fd = createTemporaryBeside(backup, aside, why);
            if (fd < 0) {
                error_ = "cannot keep the previous version: " + why;
                return false;
            }
            ::close(fd);
            if (::rename(backup.c_str(), aside.c_str()) != 0) {
                fail("cannot keep the previous version");
                ::unlink(aside.c_str());
                return false;
            }
            asideSlot = registerTempFile(aside);
        }
        if (::rename(target_.c_str(), backup.c_str()) != 0) {
            fail("cannot keep the previous version");
            restoreAside();
            return false;
        }
        moved = true;
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        fail("cannot replace the file");
        if (moved) ::rename(backup.c_str(), target_.c_str());
        restoreAside();
        return false;
    }
    if (!aside.empty()) {
        ::unlink(aside.c_str());
        unregisterTempFile(asideSlot);
    }
    temp_.clear();
    unregisterTempFile(tempSlot_);
    tempSlot_ = -1;
    return true;
}

}  // namespace tav
