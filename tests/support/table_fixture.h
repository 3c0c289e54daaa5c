#pragma once
// What table tests share: the rows of a part as their file lines, and a buffer that reads bytes from a
// temporary folder and writes them back there.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/script_ui.h"
#include "support/test_files.h"
#include "table/edit_buffer.h"

namespace tav::testing {

inline std::vector<std::string> rowsOf(const TEditBuffer& b, char OC) {
    std::vector<std::string> out;
    for (int i = 0; i < b.GetRowCount(OC); ++i) out.push_back(b.GetRow(OC, i));
    return out;
}

struct TableFileFixture : ::testing::Test {
    TempDir dir;
    ScriptUi ui;
    TEditBuffer b;
    TableFileFixture() { b.setUi(&ui); }

    ReadResult read(const std::string& bytes, int layout = kLayoutNative) {
        writeBytes(dir.file("in.txt"), bytes);
        return b.ReadFile(layout, dir.file("in.txt"), noProgress()).value();
    }
    std::string written(int layout, bool marked = false) {
        const Status stored = b.StoreFile(layout, dir.file("out.txt"), noProgress(), marked);
        EXPECT_TRUE(stored.ok()) << stored.plain();
        return readBytes(dir.file("out.txt"));
    }
};

}  // namespace tav::testing
