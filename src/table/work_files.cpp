#include "table/work_files.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace tav {

namespace {

struct WorkFolder {
    std::string path;
    WorkFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string base = tmp && *tmp ? tmp : "/tmp";
        std::string pattern = base + "/tavolex-" + std::to_string(::getpid()) + "-XXXXXX";
        if (::mkdtemp(pattern.data())) path = pattern;
    }
    ~WorkFolder() {
        if (path.empty()) return;
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

}  // namespace

const std::string& workFolder() {
    static WorkFolder folder;
    return folder.path;
}

std::string workFile(std::string_view name) {
    return workFolder() + "/" + std::string(name);
}

}  // namespace tav
