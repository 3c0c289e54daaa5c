// Replacing several files as one: after a commit the group is all new or all old, targets and their
// backups alike, and no temporary file is left beside them.

#include "core/file_group.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(FileGroup, CommitReplacesAllOrKeepsTargetsAndOlderBackups) {
    struct Case {
        const char* what;
        bool secondFails;
        std::vector<std::string> contents;  // a.db, a.~db, b.dl, b.~dl afterwards
    };
    const Case cases[] = {
        {"in place", false, {"new a", "old a", "new b", "old b"}},
        {"second file fails", true, {"old a", "older a", "old b", "older b"}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::vector<std::string> files = {dir.file("a.db"), dir.file("a.~db"), dir.file("b.dl"),
                                                dir.file("b.~dl")};
        const std::vector<std::string> before = {"old a", "older a", "old b", "older b"};
        for (std::size_t k = 0; k < files.size(); ++k) writeBytes(files[k], before[k]);
        Status committed;
        {
            FileGroup group;
            ASSERT_TRUE(group.addBytes(files[0], "new a", ".~db").ok());
            if (c.secondFails) {
                // A temporary that vanished before the commit: putting it in place fails.
                group.addTemporary(files[2], dir.file("gone.tmp"), ".~dl");
            } else {
                ASSERT_TRUE(group.addBytes(files[2], "new b", ".~dl").ok());
            }
            committed = group.commit();
            EXPECT_EQ(committed.ok(), !c.secondFails) << c.what;
        }
        for (std::size_t k = 0; k < files.size(); ++k)
            EXPECT_EQ(readBytes(files[k]), c.contents[k]) << c.what;
        EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"a.db", "a.~db", "b.dl", "b.~dl"}))
            << c.what;
        if (c.secondFails) {
            EXPECT_EQ(committed.plain(), files[2] + ": No such file or directory");
        }
    }
}

}  // namespace
}  // namespace tav
