#include "table/edit_buffer.h"

#include <gtest/gtest.h>

#include "platform/script_ui.h"

namespace tav {
namespace {

// A table with the given rows of the header and species parts; each row is "type;name;margin;cells…".
TEditBuffer makeTable(const std::vector<std::string>& header, const std::vector<std::string>& species,
                      int cols) {
    TEditBuffer b;
    b.InsCols(-9, cols);
    for (const auto& [OC, rows] : {std::pair{'K', &header}, std::pair{'A', &species}}) {
        for (const std::string& r : *rows) {
            b.InsRow(OC, -9);
            b.PutRow(OC, r, b.GetRowCount(OC) - 1);
        }
    }
    return b;
}

std::vector<std::string> rowsOf(const TEditBuffer& b, char OC) {
    std::vector<std::string> out;
    for (int i = 0; i < b.GetRowCount(OC); ++i) out.push_back(b.GetRow(OC, i));
    return out;
}

TEST(EditBufferCells, PutCleansTextAndOutOfRangePositionsAddressNothing) {
    TEditBuffer b = makeTable({"T;Ort;"}, {"A;Poa;"}, 2);
    b.Put('K', "  abc  ", 0, 0);
    EXPECT_EQ(b.Get('K', 0, 0), "abc");
    // A ";" or a line break would shift the fields of the saved file.
    b.Put('K', "a;b\r\nc", 1, 0);
    EXPECT_EQ(b.Get('K', 1, 0), "a,b  c");

    for (int pc : {2, 100, -4}) {
        b.Put('K', "x", pc, 0);
        EXPECT_EQ(b.Get('K', pc, 0), "") << pc;
    }
    b.Put('K', "x", 0, 5);
    b.Put('X', "x", 0, 0);
    EXPECT_EQ(b.Get('K', 0, 5), "");
    EXPECT_EQ(b.Get('X', 0, 0), "");
    EXPECT_EQ(rowsOf(b, 'K'), (std::vector<std::string>{"T;Ort;;abc;a,b  c"}));

    EXPECT_EQ(b.Get('A', -3, 0), "A");
    EXPECT_EQ(b.Get('A', -2, 0), "Poa");
    b.Put('A', "Carex", -2, 0);
    EXPECT_EQ(b.GetZl('A', 0), "Carex");
    EXPECT_EQ(b.GetBufCol(-1), 2);
    EXPECT_EQ(b.GetBufCol(2), -9);
    EXPECT_EQ(b.GetBufRow('A', 1), -1);
    EXPECT_EQ(b.GetBufRow('R', 0), -1);
}

TEST(EditBufferMargins, ReadAndWriteItems) {
    struct Case {
        const char* margin;
        char code;
        const char* value;
        const char* expected;
    };
    const Case cases[] = {
        {",R x,G1", 'G', "2", ",R x,G2"},        {",R x,G1", 'G', "", ",R x"}, {"", 'N', "5", ",N5"},
        {",G1,Rnote,G3", 'G', "7", ",Rnote,G7"},  // every old item of the code goes
        {"G1,Rnote", 'G', "", ",Rnote"},          // an item at the very start has no comma in front
        {",Rnote", 'R', "a,b", ",Ra.b"},          // a comma would start a new item
    };
    for (const Case& c : cases) {
        TEditBuffer b = makeTable({"T;x;"}, {"A;y;"}, 1);
        b.PutP('A', c.margin, 0);
        b.WriteP('A', c.code, c.value, 0);
        EXPECT_EQ(b.GetP('A', 0), c.expected) << c.margin << " " << c.code << "=" << c.value;
    }

    TEditBuffer b = makeTable({"T;x;"}, {"A;y;,G1,G3,Rsee notes"}, 1);
    EXPECT_EQ(b.ReadP('A', 'G', 0), "3");
    EXPECT_EQ(b.ReadP('A', 'R', 0), "see notes");
    EXPECT_EQ(b.ReadP('A', 'N', 0), "");
    std::string whole;
    EXPECT_EQ(b.DoReadP('A', 'G', 0, whole), "G3");
    EXPECT_EQ(whole, ",G1,G3,Rsee notes");
}

TEST(EditBufferRows, TypesClassesAndCodeRows) {
    TEditBuffer b =
        makeTable({"S;Soil;", "L;Soil2;", "L;Soil3;", "T;Text;", "L;Orphan;", "Q;Odd;", ";Blank;"},
                  {"A;Poa;", "K;Moss;"}, 1);
    EXPECT_EQ(b.GetCodePos(2), 0);
    EXPECT_EQ(b.GetCodePos(0), 0);
    EXPECT_EQ(b.GetCodePos(4), -1);
    EXPECT_EQ(b.GetCodePos(3), -1);
    EXPECT_EQ(b.GetTyp('K', 6), ' ');
    EXPECT_TRUE(b.IsDataRow('K', 0));
    EXPECT_FALSE(b.IsDataRow('K', 1));
    EXPECT_FALSE(b.IsDataRow('K', 5));
    EXPECT_TRUE(b.IsNumRow('A', 0));
    EXPECT_FALSE(b.IsNumRow('A', 1));
    EXPECT_FALSE(b.IsDataRow('A', 1));
}

TEST(EditBufferStructure, DeletingNeverEmptiesAPartOrTheTable) {
    TEditBuffer b = makeTable({"T;a;;1;2"}, {"A;s;;+;1", "A;t;;2;"}, 2);
    b.DelCol(0, true, false);
    EXPECT_EQ(b.GetColCount(), 1);
    b.DelCol(0, true, false);
    EXPECT_EQ(b.GetColCount(), 1);
    EXPECT_EQ(rowsOf(b, 'A'), (std::vector<std::string>{"A;s;;", "A;t;;"}));

    b.DelRow('A', 0, true, true);
    EXPECT_EQ(b.GetRowCount('A'), 1);
    b.DelRow('A', 0, true, true);
    EXPECT_EQ(b.GetRowCount('A'), 1);
    EXPECT_EQ(b.GetRow('A', 0), "A;;;");
    EXPECT_EQ(b.clipBuffer(), (std::vector<std::string>{"A;s;;", "A;t;;"}));
    b.DelRow('K', 0, true, false);
    EXPECT_EQ(b.GetRow('K', 0), "T;;;");
}

TEST(EditBufferStructure, InsertsMoveIndexesNotCells) {
    TEditBuffer b = makeTable({"T;a;;1;2;3"}, {"A;s;;x;y;z"}, 3);
    const int stored = b.BufColSize();
    b.DelCol(0, true, false);
    b.DelCol(0, true, false);
    b.DelCol(0, true, false);  // clears the last one instead
    b.InsCol(-9);
    EXPECT_EQ(b.GetColCount(), 2);
    EXPECT_EQ(b.GetBufCol(1), stored + 3);  // never reuses a deleted column

    TEditBuffer c = makeTable({"T;a;;1;2;3"}, {"A;s;;x;y;z", "A;t;;u;v;w"}, 3);
    c.InsCol(1);
    c.InsRow('A', 1);
    c.PutZl('A', "new", 1);
    EXPECT_EQ(rowsOf(c, 'A'), (std::vector<std::string>{"A;s;;x;;y;z", "A;new;;;;;", "A;t;;u;;v;w"}));
    EXPECT_EQ(c.GetRow('K', 0), "T;a;;1;;2;3");
    c.InsRows('K', 0, 2);
    EXPECT_EQ(c.GetRowCount('K'), 3);
    EXPECT_EQ(c.GetTyp('K', 0), 'T');
    EXPECT_EQ(c.GetZl('K', 2), "a");
}

TEST(EditBufferStructure, TrimmingEmptyBorders) {
    TEditBuffer b = makeTable({"T;a;;;;1;"}, {"A;s;;;;x;"}, 4);
    b.RemoveEmptyStartCols();
    EXPECT_EQ(b.GetRow('K', 0), "T;a;;1;");
    b.RemoveEmptyEndCols();
    EXPECT_EQ(b.GetRow('K', 0), "T;a;;1");

    // A row holding only a margin item is not empty: trimming must not lose the remark.
    TEditBuffer c = makeTable({"T;a;;1"}, {"A;;;", "A;s;;x", "A;;;", "A;;,Rkeep;", "A;;;", "A;;;"}, 1);
    c.RemoveEmptyEndRows('A');
    c.RemoveEmptyStartRows('A');
    EXPECT_EQ(rowsOf(c, 'A'), (std::vector<std::string>{"A;s;;x", "A;;;", "A;;,Rkeep;"}));

    TEditBuffer e = makeTable({";;;", ";;;"}, {";;;"}, 3);
    e.RemoveEmptyRC();
    e.RemoveEmptyEndRows('K');
    EXPECT_EQ(e.GetColCount(), 1);
    EXPECT_EQ(e.GetRowCount('K'), 1);
    EXPECT_EQ(e.GetRowCount('A'), 1);
}

TEST(EditBufferClip, RowAndColumnClipLines) {
    TEditBuffer b = makeTable({"T;h1;,Cx;1;2", "I;h2;;3;4"}, {"A;s;,G1;+;"}, 2);
    EXPECT_EQ(b.GetCol(1), "2;1;2;4;");
    EXPECT_EQ(b.GetCol(-2), "2;1;h1;h2;s");
    EXPECT_EQ(b.GetCol(-1), "2;1;,Cx;;,G1");

    TEditBuffer c;
    c.InsCol(-9);
    c.InsRow('K', -9);
    c.InsRow('A', -9);
    c.PutCol("2;2;a;b;c;d", 0);
    c.PutCol("2;2;n1;n2;s1;s2", -1);
    EXPECT_EQ(rowsOf(c, 'K'), (std::vector<std::string>{"T;n1;;a", "T;n2;;b"}));
    EXPECT_EQ(rowsOf(c, 'A'), (std::vector<std::string>{"A;s1;;c", "A;s2;;d"}));
    EXPECT_TRUE(c.PutRow('K', ";x;;1;2;3", 0));  // empty type, more cells than columns
    EXPECT_EQ(c.GetColCount(), 3);
    EXPECT_EQ(c.GetRow('K', 0), ";x;;1;2;3");
    EXPECT_EQ(c.GetTyp('K', 0), ' ');

    EXPECT_EQ(b.GetClipStatus(), ' ');
    for (auto [oc, status] : {std::pair{'A', 'K'}, {'K', 'K'}, {'C', 'C'}, {'R', 'R'}, {'x', ' '}}) {
        b.StartClip(oc);
        EXPECT_EQ(b.GetClipStatus(), status);
    }
}

TEST(EditBufferClip, PasteRangeShiftingRight) {
    TEditBuffer b = makeTable({"T;h;"}, {"A;s0;;p;q;r", "A;s1;;t;u;v"}, 3);
    b.StartClip('R');
    b.addClipLine("a;b");
    b.addClipLine("c;d");
    b.Paste(4, 'R', 1, 0, noProgress());
    EXPECT_EQ(rowsOf(b, 'A'), (std::vector<std::string>{"A;s0;;p;a;b;q;r", "A;s1;;t;c;d;u;v"}));
}

TEST(EditBufferClip, PasteRangeShiftingDownAndOverwriting) {
    TEditBuffer b = makeTable({"T;h;"}, {"A;s0;;1;2", "A;s1;;3;4"}, 2);
    b.StartClip('R');
    b.addClipLine("x");
    b.Paste(4, 'D', 1, 0, noProgress());
    EXPECT_EQ(rowsOf(b, 'A'), (std::vector<std::string>{"A;s0;;1;x", "A;s1;;3;2", "A;;;;4"}));

    b.StartClip('R');
    b.addClipLine("n0");
    b.addClipLine("n1");
    b.Paste(3, 'D', 0, 1, noProgress());  // names move down, cells stay
    EXPECT_EQ(rowsOf(b, 'A'),
              (std::vector<std::string>{"A;s0;;1;x", "A;n0;;3;2", "A;n1;;;4", "A;s1;;;", "A;;;;"}));

    b.StartClip('R');
    b.addClipLine("o;p;q");
    b.Paste(4, 'O', 1, 4, noProgress());  // overwrite, growing the table as needed
    EXPECT_EQ(b.GetRow('A', 4), "A;;;;o;p;q");
    EXPECT_EQ(b.GetColCount(), 4);
}

TEST(EditBufferClip, PasteRowsAndColumnsArriveInClipOrder) {
    TEditBuffer b = makeTable({"T;h;;1;2"}, {"A;a;;x;", "A;b;;;y", "A;c;;;"}, 2);
    b.StartClip('A');
    b.addClipLine("A;r1;;1;");
    b.addClipLine("A;r2;;;2");
    b.addClipLine("K;r3;;;");
    b.Paste(3, ' ', 0, 2, noProgress());
    std::vector<std::string> names;
    for (int i = 0; i < b.GetRowCount('A'); ++i) names.emplace_back(b.GetZl('A', i));
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "r1", "r2", "r3", "c"}));

    b.StartClip('C');
    b.DelCol(1, true, true);
    b.Paste(4, ' ', 0, 0, noProgress());
    EXPECT_EQ(b.GetRow('K', 0), "T;h;;2;1");
    EXPECT_EQ(b.GetRow('A', 1), "A;b;;y;");
}

TEST(EditBufferClip, DelRangeClipsClearsAndClosesGaps) {
    TEditBuffer b = makeTable({"T;h;"}, {"A;s0;;1;2;3", "A;s1;;4;5;6", "A;s2;;7;8;9"}, 3);
    b.StartClip('R');
    b.DelRange(4, {1, 0, 2, 1}, 'F', true);
    EXPECT_EQ(b.clipBuffer(), (std::vector<std::string>{"Range", "2;3", "5;6"}));
    EXPECT_EQ(b.GetRow('A', 0), "A;s0;;1;;");

    TEditBuffer u = makeTable({"T;h;"}, {"A;s0;;1;2", "A;s1;;3;4", "A;s2;;5;6"}, 2);
    u.DelRange(4, {1, 0, 1, 0}, 'U', false);
    EXPECT_EQ(rowsOf(u, 'A'), (std::vector<std::string>{"A;s0;;1;4", "A;s1;;3;6", "A;s2;;5;"}));
    u.DelRange(3, {0, 0, 0, 1}, 'U', false);
    EXPECT_EQ(rowsOf(u, 'A'), (std::vector<std::string>{"A;s2;;1;4", "A;;;3;6", "A;;;5;"}));

    TEditBuffer l = makeTable({"T;h;"}, {"A;s0;;1;2;3"}, 3);
    ScriptUi ui;
    l.setUi(&ui);
    l.StartClip('R');
    l.DelRange(4, {0, 0, 0, 0}, 'L', true);
    EXPECT_EQ(l.GetRow('A', 0), "A;s0;;2;3;");
    EXPECT_EQ(ui.clipboardText(), "1");  // a single copied cell also goes to the system clipboard
}

TEST(EditBufferMarginsFromResults, GroupsNumbersAndScores) {
    TEditBuffer b = makeTable({"T;h;"}, {"A;s0;,G9", "A;s1;", "A;s2;"}, 1);
    b.PutGrpNum({"A0;1;4", "A2.x;2;", "Xab;3;3", "A1;;7", ";;"});
    EXPECT_EQ(b.GetP('A', 0), ",G1,N4");
    EXPECT_EQ(b.GetP('A', 1), ",N7");
    EXPECT_EQ(b.GetP('A', 2), ",G2");

    b.PutScores('A', {"0;Axis 1;Axis-2", "A1;0.5;-1.25", "A2;2;3"});
    EXPECT_EQ(b.ReadP('A', 'S', 1), "0 Axis.1 0.5 Axis.2 -1.25");
    EXPECT_EQ(b.ReadP('A', 'S', 2), "0 Axis.1 2 Axis.2 3");

    // The axis names are every second item from the second on; p is the position of the chosen axis's
    // value, 2 × choice + 2.
    b.WriteP('A', 'S', "0 PC1 0.5 PC2 -1.25", 1);
    ScriptUi ui({"2"});
    b.setUi(&ui);
    std::string axis;
    int pos = -1;
    ASSERT_TRUE(b.GetSpScoreItem(axis, pos));
    EXPECT_EQ(axis, "PC2");
    EXPECT_EQ(pos, 4);
    // A biplot group of two lines: every axis named, each value from its own field.
    b.PutScores('A', {"1;PC1;PC2", "A0;2;pH;0.5;-1", "A0.b;2;;0.25;2"});
    EXPECT_EQ(b.ReadP('A', 'S', 0), "2 1 pH PC1 0.5 PC2 -1 #0 PC1 0.25 PC2 2");

    TEditBuffer none = makeTable({"T;h;"}, {"A;s0;"}, 1);
    none.setUi(&ui);
    EXPECT_FALSE(none.GetSpScoreItem(axis, pos));
    EXPECT_EQ(ui.messages().back().second, "Die Tabelle enthält keine Species scores");
}

TEST(EditBufferWhole, MarksTemplateHeaderListAndCategoryPick) {
    TEditBuffer b = makeTable({"T;Ort;", "D;Datum;,Cd", "T;;"}, {"A;s;"}, 1);
    EXPECT_FALSE(b.CheckM());
    b.mark(MarkSet::MroA, 0);
    EXPECT_TRUE(b.CheckM());
    bool anchorReset = false;
    b.setOnClearMarks([&] { anchorReset = true; });
    b.ClearM();
    EXPECT_FALSE(b.CheckM());
    EXPECT_TRUE(anchorReset);

    b.BuildKopf();
    EXPECT_EQ(b.Kopf(), (std::vector<std::string>{"Datum;D;,Cd", "Ort;T;"}));

    ScriptUi ui({"1,2", "2"});
    b.setUi(&ui);
    std::vector<std::string> names;
    TLongList picked;
    int one = 0;
    ASSERT_TRUE(b.AskCat('M', "Kategorie", names, picked, one));
    EXPECT_EQ(names, (std::vector<std::string>{"Ort", "Datum", ""}));
    EXPECT_EQ(picked.Count(), 2);
    ASSERT_TRUE(b.AskCat('S', "Kategorie", names, picked, one));
    EXPECT_EQ(one, 1);
    EXPECT_FALSE(b.AskCat('S', "Kategorie", names, picked, one));  // no answer left: cancelled
    EXPECT_FALSE(b.AskCat('X', "Kategorie", names, picked, one));
}

}  // namespace
}  // namespace tav
