// The batch runner's summary of what it read, seen on stdout.

#include <gtest/gtest.h>

#include <cstdio>

#include "core/text.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::TempDir;
using testing::writeBytes;

std::string summaryOf(const std::string& table) {
    const std::string cmd = std::string(TAVOLEX_BATCH_EXE) + " --summary " + table + " 2>/dev/null";
    std::string out;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
    return out;
}

TEST(BatchSummary, RowTypesPrintWholeCharacters) {
    TempDir dir;
    // UTF-8 file: a row type of a two-byte and one of a three-byte character, and an empty one.
    writeBytes(dir.file("t.tab"), "\xC5\x99x;eins;;1\r\n\xE2\x82\xAC;zwei;;2\r\n;drei;;3\r\nA;s;;+\r\n");
    const std::string out = summaryOf(dir.file("t.tab"));
    EXPECT_TRUE(isValidUtf8(out));
    EXPECT_NE(out.find("\n  \u0159 eins\n  \u20ac zwei\n    drei\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace tav
