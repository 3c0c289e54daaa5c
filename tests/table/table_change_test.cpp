#include "table/table_change.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/script_ui.h"
#include "support/table_fixture.h"
#include "support/test_files.h"
#include "table/edit_buffer.h"

namespace tav {
namespace {

using testing::rowsOf;

// Everything a user or a later command can see of a table: the rows of both parts (type, name, margin,
// cells), the order of the index lists and the marks.
struct Snapshot {
    std::vector<std::string> header, species;
    std::vector<std::int32_t> cols, rowsK, rowsA;
    std::vector<std::vector<int>> marks;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshotOf(const TEditBuffer& b) {
    Snapshot s{rowsOf(b, 'K'), rowsOf(b, 'A'), b.Icol().items(), b.IrowK().items(), b.IrowA().items(), {}};
    for (MarkSet m : {MarkSet::McoL, MarkSet::McoR, MarkSet::MroK, MarkSet::MroA})
        s.marks.push_back(b.marks(m).elements());
    return s;
}

struct Recorder : TableObserver {
    std::vector<TableChange> changes;
    int reverted = 0;
    void tableChanged(const TableChange& c) override { changes.push_back(c); }
    void tableReverted(const TableChange&) override { ++reverted; }
};

TEST(TableChanges, EveryEditReachesTheObserverAndRevertsToTheStart) {
    testing::TempDir dir;
    testing::writeBytes(dir.file("other.tab"), "T;Jahr;;2001\r\nA;Poa annua;,G3;+\r\n");
    ScriptUi ui;
    TEditBuffer b;
    b.setUi(&ui);
    testing::writeBytes(
        dir.file("start.tab"),
        "T;Nr;;1;2;3\r\nD;Datum;,Cd;01.05.2020;;\r\nA;s1;,Rsee;+;1;\r\nA;s2;;;2;r\r\nK;note;;;;\r\n");
    ASSERT_EQ(b.ReadFile(kLayoutNative, dir.file("start.tab"), noProgress()).value(), ReadResult::Ok);
    b.mark(MarkSet::MroA, 2);
    Recorder rec;
    b.addObserver(&rec);
    const Snapshot start = snapshotOf(b);

    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"put a cell", [&] { b.Put('A', " 4 ", 2, 0); }},
        {"put the same text again", [&] { b.Put('A', "4", 2, 0); }},
        {"put beyond the table", [&] { b.Put('A', "x", 9, 0); }},
        {"rename a row", [&] { b.PutZl('A', "Poa", 1); }},
        {"change a row type", [&] { b.PutTyp('K', 'I', 0); }},
        {"refused row type", [&] { b.PutTyp('A', 'T', 0); }},
        {"margin item", [&] { b.WriteP('A', 'G', "2", 0); }},
        {"margin item removed", [&] { b.WriteP('A', 'R', "", 0); }},
        {"insert rows", [&] { b.InsRows('A', 1, 2); }},
        {"insert a column", [&] { b.InsCol(1); }},
        {"delete a row", [&] { b.DelRow('K', 1, true, false); }},
        {"delete a column", [&] { b.DelCol(0, true, false); }},
        {"clear a row", [&] { b.ClearRow('A', 3); }},
        {"range delete closing upwards",
         [&] {
             b.DelRange(4, {0, 0, 1, 0}, 'U', false);
         }},
        {"range delete closing leftwards",
         [&] {
             b.DelRange(4, {1, 1, 1, 1}, 'L', false);
         }},
        {"paste a row clip",
         [&] {
             b.StartClip('A');
             b.addClipLine("K;pasted;,N1;a;b;c");
             b.Paste(4, ' ', 0, 1, noProgress());
         }},
        {"paste a range shifting right",
         [&] {
             b.StartClip('R');
             b.addClipLine("x;y");
             b.Paste(4, 'R', 1, 0, noProgress());
         }},
        {"groups and numbers",
         [&] {
             b.PutGrpNum({"A0;7;1", "A1;;2"});
         }},
        {"mark a row", [&] { b.mark(MarkSet::MroK, 0); }},
        {"mark a column", [&] { b.mark(MarkSet::McoR, 3); }},
        {"clear the marks", [&] { b.ClearM(); }},
        {"permute the species",
         [&] {
             b.permute(Area::Species, {4, 0, 3, 1, 2, 5});
         }},
        {"not a permutation",
         [&] {
             b.permute(Area::Columns, {0, 0});
         }},
        {"trim empty borders", [&] { b.RemoveEmptyRC(); }},
        {"read a file",
         [&] {
             ASSERT_EQ(b.ReadFile(kLayoutNative, dir.file("other.tab"), noProgress()).value(),
                       ReadResult::Ok);
         }},
        {"put after reading", [&] { b.Put('K', "2002", 0, 0); }},
        {"clear the table", [&] { b.Clear(); }},
    };
    std::vector<Snapshot> after;
    for (const auto& [what, step] : steps) {
        const Snapshot before = snapshotOf(b);
        const std::size_t seen = rec.changes.size();
        step();
        after.push_back(snapshotOf(b));
        EXPECT_EQ(after.back() != before, rec.changes.size() > seen) << what;
    }
    ASSERT_GT(rec.changes.size(), steps.size());

    // A read is one change, however large the file.
    EXPECT_EQ(std::count_if(rec.changes.begin(), rec.changes.end(),
                            [](const TableChange& c) { return c.kind == TableChange::Kind::Replace; }),
              2);

    for (auto c = rec.changes.rbegin(); c != rec.changes.rend(); ++c) b.revert(*c);
    EXPECT_EQ(snapshotOf(b), start);
    EXPECT_EQ(rec.reverted, static_cast<int>(rec.changes.size()));

    // Each record now redoes its change.
    for (TableChange& c : rec.changes) b.revert(c);
    EXPECT_EQ(snapshotOf(b), after.back());
}

TEST(TableChanges, ChangesWithoutObserverTakeEffectUnreported) {
    TEditBuffer b;
    b.InsCols(-9, 2);
    b.InsRow('K', -9);
    b.InsRow('A', -9);
    Recorder rec;
    b.addObserver(&rec);
    b.Put('A', "+", 1, 0);
    b.removeObserver(&rec);
    b.Put('A', "2", 0, 0);
    b.InsRow('A', 0);
    b.mark(MarkSet::MroA, 1);
    EXPECT_EQ(rowsOf(b, 'A'), (std::vector<std::string>{"A;;;;", "A;;;2;+"}));
    EXPECT_TRUE(b.MroA().Element(1));
    ASSERT_EQ(rec.changes.size(), 1u);
    EXPECT_EQ(rec.changes[0].after, "+");
}

}  // namespace
}  // namespace tav
