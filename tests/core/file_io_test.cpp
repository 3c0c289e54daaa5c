// Reading and replacing files: what a save really writes when its target is a link, a folder or a
// device, that readers refuse what is not a regular file, and that interrupted saves leave no
// temporary file behind.

#include "core/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace tav {
namespace {

using testing::namesIn;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

namespace fs = std::filesystem;

TEST(FileIo, SaveTargetsFollowLinksAndRefuseWhatIsNoFile) {
    TempDir dir;
    fs::create_directory(dir.file("sub"));
    writeBytes(dir.file("sub/real.tab"), "old");
    fs::create_symlink("sub/real.tab", dir.file("rel.tab"));
    fs::create_symlink(dir.file("sub/real.tab"), dir.file("abs.tab"));
    fs::create_symlink("rel.tab", dir.file("chain.tab"));         // link to a link
    fs::create_symlink("../rel.tab", dir.file("sub/up.tab"));     // relative to the link's own folder
    fs::create_symlink("sub/new.tab", dir.file("dangling.tab"));  // the file it names is made
    fs::create_symlink("loop2.tab", dir.file("loop1.tab"));
    fs::create_symlink("loop1.tab", dir.file("loop2.tab"));
    fs::create_symlink("sub", dir.file("folderlink"));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);

    struct Case {
        std::string path;
        std::string target;  // empty: refused
        std::string error;
    };
    const Case cases[] = {
        {dir.file("plain.tab"), dir.file("plain.tab"), ""},  // a new file
        {dir.file("sub/real.tab"), dir.file("sub/real.tab"), ""},
        {dir.file("rel.tab"), dir.file("sub/real.tab"), ""},
        {dir.file("abs.tab"), dir.file("sub/real.tab"), ""},
        {dir.file("chain.tab"), dir.file("sub/real.tab"), ""},
        {dir.file("sub/up.tab"), dir.file("sub/real.tab"), ""},
        {dir.file("dangling.tab"), dir.file("sub/new.tab"), ""},
        {dir.file("loop1.tab"), "", "Too many levels of symbolic links"},
        {dir.file("sub"), "", "is a folder"},
        {dir.file("folderlink"), "", "is a folder"},
        {dir.file("fifo"), "", "not a regular file"},
        {"/dev/null", "", "not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const Result<std::string> target = resolveSaveTarget(c.path);
        const bool ok = target.ok();
        EXPECT_EQ(ok, !c.target.empty()) << target.status().plain();
        if (ok) {
            EXPECT_EQ(fs::weakly_canonical(target.value()), fs::weakly_canonical(c.target));
        } else {
            EXPECT_EQ(target.status().plain(), c.error);
        }

        // A save through the same path writes what resolveSaveTarget promised and nothing else.
        AtomicFile f;
        const Status opened = f.open(c.path);
        EXPECT_EQ(opened.ok(), ok) << opened.plain();
        if (!opened.ok()) {
            EXPECT_EQ(opened.plain(), c.path + ": " + c.error);
            continue;
        }
        EXPECT_EQ(f.target(), target.value());
        f.write("new");
        const Status committed = f.commit(f.target() + ".bak");
        ASSERT_TRUE(committed.ok()) << committed.plain();
        EXPECT_EQ(readBytes(c.target), "new");
    }
    // The links are still links; every backup lies beside the real file; no temporary file stays
    // behind, whether the save was refused or done; the folder and the FIFO are untouched.
    for (const char* link : {"rel.tab", "abs.tab", "chain.tab", "sub/up.tab", "dangling.tab"})
        EXPECT_TRUE(fs::is_symlink(dir.file(link))) << link;
    EXPECT_EQ(namesIn(dir.path()),
              (std::vector<std::string>{"abs.tab", "chain.tab", "dangling.tab", "fifo", "folderlink",
                                        "loop1.tab", "loop2.tab", "plain.tab", "rel.tab", "sub"}));
    EXPECT_EQ(namesIn(dir.file("sub")),
              (std::vector<std::string>{"new.tab", "real.tab", "real.tab.bak", "up.tab"}));
    EXPECT_TRUE(fs::is_fifo(dir.file("fifo")));
}

// A commit whose last rename fails leaves the target and its backup as they were: a table that did not
// exist yet stays absent (its older backup must not take its name) and an older backup survives.
TEST(FileIo, FailedCommitRestoresOnlyWhatItMoved) {
    struct Case {
        const char* what;
        const char* target;  // nullptr: no earlier file
        const char* backup;  // nullptr: no older backup
    };
    const Case cases[] = {
        {"new table, older backup", nullptr, "older"},
        {"earlier table, older backup", "old", "older"},
        {"earlier table, no backup", "old", nullptr},
        {"new table, no backup", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string target = dir.file("t.tab"), backup = dir.file("t.~ta");
        if (c.target) writeBytes(target, c.target);
        if (c.backup) writeBytes(backup, c.backup);
        const std::vector<std::string> before = namesIn(dir.path());
        AtomicFile f;
        ASSERT_TRUE(f.open(target) && f.write("new"));
        // The temporary vanishes before the commit (as when someone cleans the folder), so the final
        // rename fails.
        for (const std::string& name : namesIn(dir.path()))
            if (name.rfind(".t.tab.tmp-", 0) == 0) fs::remove(dir.file(name));
        const Status committed = f.commit(backup);
        EXPECT_EQ(committed.plain(), "cannot replace the file: No such file or directory");
        EXPECT_EQ(namesIn(dir.path()), before);
        if (c.target) {
            EXPECT_EQ(readBytes(target), c.target);
        }
        if (c.backup) {
            EXPECT_EQ(readBytes(backup), c.backup);
        }
    }
}

TEST(FileIo, ReadersRefuseWhatIsNoRegularFile) {
    TempDir dir;
    writeBytes(dir.file("a.txt"), "abc");
    fs::create_symlink("a.txt", dir.file("link.txt"));
    fs::create_symlink("none.txt", dir.file("dangling.txt"));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    struct Case {
        std::string path;
        std::string error;  // empty: readable
    };
    const Case cases[] = {
        {dir.file("a.txt"), ""},
        {dir.file("link.txt"), ""},
        {dir.file("dangling.txt"), "No such file or directory"},
        {dir.file("none.txt"), "No such file or directory"},
        {dir.path(), "is a folder"},
        {dir.file("fifo"), "not a regular file"},  // must not wait for a writer
        {"/dev/null", "not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const Status input = checkInputFile(c.path);
        EXPECT_EQ(input.ok(), c.error.empty());
        EXPECT_EQ(input.plain(), c.error);
        const Result<std::string> bytes = readWholeFile(c.path);
        EXPECT_EQ(bytes.ok(), c.error.empty());
        EXPECT_EQ(bytes.status().plain(), c.error);
        if (bytes) {
            EXPECT_EQ(bytes.value(), "abc");
        }
    }
}

TEST(FileIo, RegisteredTemporaryFilesAreRemovedByTheCleanup) {
    TempDir dir;
    writeBytes(dir.file("tmp1"), "x");
    writeBytes(dir.file("tmp2"), "x");
    writeBytes(dir.file("done"), "x");
    const int one = registerTempFile(dir.file("tmp1"));
    const int two = registerTempFile(dir.file("tmp2"));
    const int done = registerTempFile(dir.file("done"));
    ASSERT_GE(one, 0);
    ASSERT_GE(two, 0);
    ASSERT_GE(done, 0);
    unregisterTempFile(done);  // a file that got its final name is no longer temporary
    EXPECT_EQ(registerTempFile(std::string(5000, 'x')), -1);
    removeRegisteredTempFiles();
    unregisterTempFile(one);
    unregisterTempFile(two);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"done"});

    // An open save is registered until it commits.
    AtomicFile f;
    ASSERT_TRUE(f.open(dir.file("t.tab")));
    ASSERT_EQ(namesIn(dir.path()).size(), 2u);
    removeRegisteredTempFiles();
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"done"});

    AtomicFile g;
    ASSERT_TRUE(g.open(dir.file("t.tab")) && g.write("t") && g.commit());
    removeRegisteredTempFiles();
    EXPECT_EQ(readBytes(dir.file("t.tab")), "t");
}

TEST(FileIo, TerminatedSaveLeavesNoTemporaryFile) {
    TempDir dir;
    writeBytes(dir.file("t.tab"), "old");
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            installTempFileCleanup();
            AtomicFile f;
            if (!f.open(dir.file("t.tab")) || !f.write("half")) ::_exit(10);
            ::raise(sig);
            ::_exit(11);  // not reached: the signal ends the process
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"t.tab"});
        EXPECT_EQ(readBytes(dir.file("t.tab")), "old");
    }
}

}  // namespace
}  // namespace tav
