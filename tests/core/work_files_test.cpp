// The run's work files: named user name + suffix in the work folder, and gone when the run ends, by a
// normal exit, a move to another place, or SIGINT/SIGTERM; a run without settings keeps them in a private
// folder that goes with them.

#include "core/work_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::namesIn;
using testing::TempDir;
using testing::writeBytes;

// Work files of "anna" with companions, and files that are not hers or not work files.
const std::vector<std::string> kAnnas = {"anna1.$tp", "anna4.$tp", "anna4.PX",  "annat.VAL", "anna.$bt",
                                         "anna.$cl",  "anna.$rt",  "annat.$tt", "anna2.YG0"};
const std::vector<std::string> kOthers = {"bert1.$tp", "anna.PX", "anna5.$tp", "anna.tab", "env.$VP"};

void writeAll(const TempDir& dir, const std::vector<std::string>& names) {
    for (const auto& n : names) writeBytes(dir.file(n), "x");
}

TEST(WorkFiles, NamedByUserAndSuffixInTheWorkFolder) {
    TempDir dir;
    setWorkPlace(dir.path(), "anna");
    EXPECT_EQ(workFile("1.$tp"), dir.path() + "/anna1.$tp");
    EXPECT_EQ(workFile(".$bt"), dir.path() + "/anna.$bt");
    EXPECT_EQ(workFile(WorkFile::Tt), dir.path() + "/annat.$tt");
    for (const char* notOne : {"5.$tp", "../x.tab", ""}) EXPECT_EQ(workFile(notOne), "") << notOne;

    // Moving to another place ends the work files of the previous one.
    writeAll(dir, kAnnas);
    writeAll(dir, kOthers);
    TempDir other;
    setWorkPlace(other.path(), "anna");
    EXPECT_EQ(workFile("2.$tp"), other.path() + "/anna2.$tp");
    std::vector<std::string> others = kOthers;
    std::sort(others.begin(), others.end());
    EXPECT_EQ(namesIn(dir.path()), others);

    // Back to the private folder: made on first use, below TMPDIR, and removed with its files.
    setWorkPlace({}, {});
    const std::string privateFile = workFile("1.$tp");
    const std::string privateFolder = std::filesystem::path(privateFile).parent_path();
    EXPECT_EQ(std::filesystem::path(privateFile).filename(), "Tavolex1.$tp");
    EXPECT_TRUE(std::filesystem::is_directory(privateFolder));
    writeBytes(privateFile, "x");
    setWorkPlace(other.path(), "anna");
    EXPECT_FALSE(std::filesystem::exists(privateFolder));
    setWorkPlace({}, {});
}

// The end of a run in a child process: a normal exit, or a signal with the temp-file cleanup installed.
TEST(WorkFiles, DeletedWhenTheRunEnds) {
    struct Case {
        const char* what;
        int sig;  // 0: normal exit
        bool placed;
    };
    const Case cases[] = {
        {"exit, work folder", 0, true},
        {"exit, private folder", 0, false},
        {"SIGTERM, work folder", SIGTERM, true},
        {"SIGINT, private folder", SIGINT, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir, tmp;
        writeAll(dir, kOthers);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::setenv("TMPDIR", tmp.path().c_str(), 1);
            installTempFileCleanup();
            // The parent's place, copied into the child, is left without touching it.
            setWorkPlace({}, {});
            if (c.placed) setWorkPlace(dir.path(), "anna");
            for (WorkFile f : kAllWorkFiles) writeBytes(workFile(f), "x");
            if (c.placed) writeAll(dir, kAnnas);
            if (c.sig) ::raise(c.sig);
            std::exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        if (c.sig) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.sig) << status;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
        std::vector<std::string> others = kOthers;
        std::sort(others.begin(), others.end());
        EXPECT_EQ(namesIn(dir.path()), others);
        EXPECT_EQ(namesIn(tmp.path()), std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace tav
