// Species occurrence as new header rows: every measure of "Artvorkommen", the cumulative counts (also
// restarting per category), the rows per species group with their names, one undo step; and the list of
// frequencies and constancies in its four forms.

#include <gtest/gtest.h>

#include <iostream>

#include "support/editor_fixture.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

constexpr std::int64_t kOccurrence = 107010000, kGroups = 107020000, kFrequencies = 107030000;

struct Occurrence : ::testing::Test, testing::EditorFixture {
    Occurrence() {
        session.settings().DeckEinst = 3;  // the covers are numbers
        session.applySettings();
    }
    void TearDown() override {
        if (HasFailure())
            for (const auto& m : ui.messages()) std::cerr << "message: " << m.second << "\n";
    }
    // Five releves in the categories 1 and 2; "x" twice, "z" and the second "x" without a species group,
    // releve e empty, and a row that is no species row.
    void openTable() {
        openLines({"T;Nr;;a;b;c;d;e", "T;Kat;;1;1;2;2;2", "A;x;,Gg1;1;;2;;", "A;y;,Gg2;;3;1;;", "A;x;;;;5;1;",
                   "A;z;;;;;4;", "K;Schicht;;7;7;7;7;7"});
        session.buffer().ClearM();
        session.settings().Diversa.Decimals = 4;
    }
    void tokens(std::initializer_list<const char*> list) {
        for (const char* t : list) ui.addToken(t);
    }
    // The header rows the command appended.
    Lines added() const {
        Lines rows = rowLines('K');
        return Lines(rows.begin() + 2, rows.end());
    }
};

TEST_F(Occurrence, MeasuresPerReleve) {
    struct Case {
        const char* what;
        std::vector<const char*> answers;
        int markedRow;  // a marked species row, or -1
        Lines rows;
    };
    const Case cases[] = {
        {"entries", {"#1"}, -1, {"I;Anzahl Einträge;;1;1;3;2;0"}},
        {"species, a name once", {"#01"}, -1, {"I;Artenzahl;;1;1;2;2;0"}},
        {"entries of the marked row", {"#1"}, 1, {"I;Anzahl Einträge;;0;1;1;0;0"}},
        {"total cover", {"#001"}, -1, {"F;Gesamtdeckungen (%);;1;3;8;5;0"}},
        {"share of all species rows",
         {"#0001", "#1"},
         1,
         {"F;Anteil am gesamten Artenbestand;;0;0.25;0.25;0;0"}},
        // A releve without species gives 0.
        {"share of the releve's species",
         {"#0001", "#01"},
         1,
         {"F;Anteil am Artenbestand der Aufnahme;;0;1;0.3333;0;0"}},
        {"share of the marked species",
         {"#0001", "#001"},
         1,
         {"F;Anteil an den markierten Arten;;0;1;1;0;0"}},
        // Nothing marked: no base, so 0 rather than a division by zero.
        {"share of no marked species",
         {"#0001", "#001"},
         -1,
         {"F;Anteil an den markierten Arten;;0;0;0;0;0"}},
        // Without a species database every name is its own taxon.
        {"cover per taxon",
         {"#00001"},
         -1,
         {"F;Deckung x;;1;0;7;1;0", "F;Deckung y;;0;3;1;0;0", "F;Deckung z;;0;0;0;4;0"}},
    };
    for (const Case& c : cases) {
        openTable();
        if (c.markedRow >= 0) session.buffer().mark(MarkSet::MroA, c.markedRow);
        for (const char* a : c.answers) ui.addToken(a);
        ASSERT_TRUE(execute(kOccurrence, 4).ok()) << c.what;
        EXPECT_EQ(added(), c.rows) << c.what;
        EXPECT_TRUE(session.modified()) << c.what;
        EXPECT_EQ(session.activeGrid, 1) << c.what;
        EXPECT_EQ(session.cursorRow, session.buffer().GetRowCount('K') - 1) << c.what;
    }
}

TEST_F(Occurrence, CumulatedAndPerCategory) {
    struct Case {
        const char* statement;
        const char* row;
    };
    const Case cases[] = {
        {"Arten Artvorkommen*kumuliert;#1", "I;Anzahl Einträge kumuliert;;1;2;3;4;4"},
        // The count starts again with category 2 at releve c.
        {"Arten Artvorkommen*kumuliert;#01 2", "I;Anzahl Einträge kategorienweise kumuliert;;1;2;3;4;4"},
        {"Arten Artvorkommen*kumuliert;#001", "I;Artenzahl kumuliert;;1;2;2;3;3"},
        {"Arten Artvorkommen*kumuliert;#0001 2", "I;Artenzahl kategorienweise kumuliert;;1;2;2;3;3"},
    };
    for (const Case& c : cases) {
        openTable();
        ASSERT_TRUE(run(c.statement).ok()) << c.statement;
        EXPECT_EQ(added(), Lines{c.row}) << c.statement;
    }
    // Cancelling the choice of the category rows adds nothing.
    openTable();
    ASSERT_TRUE(run("Arten Artvorkommen*kumuliert;#01").ok());
    EXPECT_TRUE(added().empty());
}

TEST_F(Occurrence, PerSpeciesGroupInOneUndoStep) {
    openTable();
    session.buffer().mark(MarkSet::MroA, 0);
    tokens({"#01"});  // species numbers
    ASSERT_TRUE(execute(kGroups, 4).ok());
    // Groups in sorted order; rows without the margin item are the group "<LEER>".
    EXPECT_EQ(added(), (Lines{"I;Gruppe <LEER>: Artenzahl;;0;0;1;2;0", "I;Gruppe g1: Artenzahl;;1;0;1;0;0",
                              "I;Gruppe g2: Artenzahl;;0;1;1;0;0"}));
    EXPECT_FALSE(session.buffer().CheckM());
    ASSERT_TRUE(session.undoList().undo());
    EXPECT_TRUE(added().empty());
    // The cumulative counts per group.
    ASSERT_TRUE(run("Arten Vork.*kumuliert;#001").ok());
    EXPECT_EQ(added(), (Lines{"I;Gruppe <LEER>: Artenzahl kumuliert;;0;0;1;2;2",
                              "I;Gruppe g1: Artenzahl kumuliert;;1;1;1;1;1",
                              "I;Gruppe g2: Artenzahl kumuliert;;0;1;1;1;1"}));
}

TEST_F(Occurrence, FrequenciesAndConstancies) {
    struct Case {
        const char* answer;
        bool markYandZ;
        Lines lines;
    };
    const Case cases[] = {
        {"#1",
         false,
         {"Species;Frequenz;Stetigkeit", "x;  2.00;  0.40", "y;  2.00;  0.40", "x;  2.00;  0.40",
          "z;  1.00;  0.20"}},
        // The codes by weight: 1, 2, 3, 4, 5; the lines sorted.
        {"#01",
         false,
         {"Species;Frequenz;Stetigkeit", "x;  2.00;  0.40;1;0;0;0;1", "x;  2.00;  0.40;1;1;0;0;0",
          "y;  2.00;  0.40;1;0;1;0;0", "z;  1.00;  0.20;0;0;0;1;0"}},
        {"#001", true, {"Frequenz;Stetigkeit;Species", "  1.00;  0.20;z", "  2.00;  0.40;y"}},
        {"#0001", true, {"Stetigkeit;Frequenz;Species", "  0.20;  1.00;z", "  0.40;  2.00;y"}},
    };
    for (const Case& c : cases) {
        openTable();
        session.settings().Diversa.Decimals = 2;
        if (c.markYandZ) {
            session.buffer().mark(MarkSet::MroA, 1);
            session.buffer().mark(MarkSet::MroA, 3);
        }
        tokens({c.answer});
        ASSERT_TRUE(execute(kFrequencies, 4).ok()) << c.answer;
        EXPECT_EQ(ui.lastDialog().caption, "Frequenzen");
        EXPECT_EQ(ui.lastDialog().tableKind, 2);
        EXPECT_EQ(ui.lastDialog().items, c.lines) << c.answer;
        EXPECT_FALSE(session.buffer().CheckM());
        EXPECT_FALSE(session.modified());
    }
}

TEST_F(Occurrence, SpeciesFromAReferenceFileAreNotAvailable) {
    openTable();
    EXPECT_FALSE(run("Arten Arten*Referenzdatei;").ok());
    bool said = false;
    for (const auto& m : ui.messages())
        said = said || m.second == "Arten aus Referenzdatei: noch nicht implementiert.";
    EXPECT_TRUE(said);
    EXPECT_TRUE(added().empty());
}

}  // namespace
}  // namespace tav
