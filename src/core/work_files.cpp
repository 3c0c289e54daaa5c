#include "core/work_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "core/file_io.h"

namespace tav {

namespace {

constexpr std::string_view kSuffixes[] = {"1.$tp", "2.$tp", "3.$tp", "4.$tp",
                                          ".$rt",  ".$cl",  ".$bt",  "t.$tt"};
// Analyses leave these beside a scratch table of the same base name.
constexpr std::string_view kCompanions[] = {".PX", ".VAL", ".XG0", ".YG0"};

bool isScratchTable(WorkFile f) {
    return f == WorkFile::Tp1 || f == WorkFile::Tp2 || f == WorkFile::Tp3 || f == WorkFile::Tp4 ||
           f == WorkFile::Tt;
}

std::vector<std::string> pathsOf(std::string_view folder, std::string_view user) {
    std::vector<std::string> paths;
    for (WorkFile f : kAllWorkFiles) {
        paths.push_back(workFilePathIn(folder, user, f));
        if (!isScratchTable(f)) continue;
        const std::string table = paths.back();
        for (std::string_view ext : kCompanions) paths.push_back(replaceExtension(table, ext));
    }
    return paths;
}

class WorkPlace {
  public:
    ~WorkPlace() { leave(); }

    void place(std::string folder, std::string user) {
        leave();
        if (folder.empty() || user.empty()) return;
        folder_ = std::move(folder);
        user_ = std::move(user);
        enter();
    }

    const std::string& folder() {
        if (folder_.empty()) makePrivateFolder();
        return folder_;
    }
    const std::string& user() const { return user_; }

    bool deleteFiles() const { return folder_.empty() || deleteWorkFilesIn(folder_, user_); }

  private:
    void makePrivateFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tavolex-XXXXXX";
        if (!::mkdtemp(pattern.data())) return;
        private_ = true;
        folder_ = pattern;
        user_ = "Tavolex";
        enter();
    }

    // Every path the signal cleanup must remove; the private folder last, so that it is empty by then.
    void enter() {
        for (const std::string& path : pathsOf(folder_, user_)) slots_.push_back(registerTempFile(path));
        if (private_) slots_.push_back(registerTempFile(folder_));
    }

    void leave() {
        if (folder_.empty()) return;
        deleteWorkFilesIn(folder_, user_);
        if (private_) {
            std::error_code ec;
            std::filesystem::remove_all(folder_, ec);
        }
        for (int slot : slots_) unregisterTempFile(slot);
        slots_.clear();
        folder_.clear();
        user_.clear();
        private_ = false;
    }

    std::string folder_, user_;
    bool private_ = false;
    std::vector<int> slots_;
};

WorkPlace& workPlace() {
    static WorkPlace place;
    return place;
}

}  // namespace

std::string_view workFileSuffix(WorkFile f) {
    return kSuffixes[static_cast<int>(f)];
}

std::string workFilePathIn(std::string_view folder, std::string_view user, WorkFile f) {
    std::string path(folder);
    path.append(1, '/').append(user).append(workFileSuffix(f));
    return path;
}

bool deleteWorkFilesIn(std::string_view folder, std::string_view user) {
    bool ok = true;
    for (const std::string& path : pathsOf(folder, user)) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && std::remove(path.c_str()) != 0) ok = false;
    }
    return ok;
}

void setWorkPlace(std::string folder, std::string user) {
    workPlace().place(std::move(folder), std::move(user));
}

std::string workFile(WorkFile f) {
    WorkPlace& place = workPlace();
    const std::string& folder = place.folder();
    return folder.empty() ? std::string() : workFilePathIn(folder, place.user(), f);
}

std::string workFile(std::string_view suffix) {
    for (WorkFile f : kAllWorkFiles)
        if (workFileSuffix(f) == suffix) return workFile(f);
    // Only the suffixes above are work files; anything else would escape the scheme.
    return {};
}

bool deleteWorkFiles() {
    return workPlace().deleteFiles();
}

}  // namespace tav
