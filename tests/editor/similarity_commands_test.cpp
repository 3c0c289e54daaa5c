// The similarity commands on small tables: the matrix window, the matrix written into the table, the
// ranked references, the mean similarities of categories, the paired comparisons, the comparisons with
// a reference file, the option panel of the assignment, and the dendrogram window's classes written
// back.

#include <gtest/gtest.h>

#include <iostream>

#include "support/editor_fixture.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

constexpr std::int64_t kRowsNumeric = 106050101, kRowsPaired = 106050102, kColumnsNumeric = 106050103;
constexpr std::int64_t kSpecies = 106050201, kReleves = 106050202, kRelevesPaired = 106050203;
constexpr std::int64_t kMeanReleves = 106050302, kFileReleves = 106060200, kFileHeader = 106060100;
constexpr std::int64_t kRefReleves = 106060600;

struct Similarity : ::testing::Test, testing::EditorFixture {
    void TearDown() override {
        if (HasFailure()) {
            for (const auto& m : ui.messages()) std::cerr << "message: " << m.second << "\n";
            for (const auto& c : ui.cancelledDialogs()) std::cerr << "cancelled: " << c << "\n";
        }
    }
    // Four releves a … d of four species: a {s1, s2}, b {s1, s3}, c {s2, s3}, d {s3, s4}.
    void openReleves() {
        openLines(
            {"T;Nr;;a;b;c;d", "T;Typ;;x;y;x;z", "A;s1;;1;1;;", "A;s2;;1;;1;", "A;s3;;;1;1;1", "A;s4;;;;;1"});
        session.settings().Diversa.Decimals = 4;
    }
    // The lines of the last table window, also when it makes them only as they are shown.
    Lines shown() const {
        const DialogRequest& r = ui.lastDialog();
        Lines out = r.items;
        if (r.lineAt)
            for (int k = 0; k < r.lineCount; ++k) out.push_back(r.lineAt(k));
        return out;
    }
    void tokens(std::initializer_list<const char*> list) {
        for (const char* t : list) ui.addToken(t);
    }
};

TEST_F(Similarity, JaccardOfRelevesShownWrittenAndChecked) {
    openReleves();
    // Show the matrix; cover and presence measures, Jaccard; no minimal occurrence.
    tokens({"#1", "#1", "#01", "0;;"});
    ASSERT_TRUE(execute(kReleves, 4).ok());
    EXPECT_EQ(shown(),
              (Lines{"Aufnahmen;a;b;c;d", "a;1.0000;0.3333;0.3333;0.0000", "b;0.3333;1.0000;0.3333;0.3333",
                     "c;0.3333;0.3333;1.0000;0.3333", "d;0.0000;0.3333;0.3333;1.0000"}));
    EXPECT_EQ(rowLines('K').size(), 2u);  // the table is unchanged

    // Into the table: one 'F' header row per releve, trailing zeros removed.
    tokens({"#01", "#1", "#01", "0;;"});
    ASSERT_TRUE(execute(kReleves, 4).ok());
    const Lines rows = rowLines('K');
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[2], "F;a;;1;0.3333;0.3333;0");
    EXPECT_EQ(rows[5], "F;d;;0;0.3333;0.3333;1");

    // Rows cannot take a matrix of species.
    session.buffer().ClearM();
    tokens({"#01", "#1", "#01"});
    EXPECT_FALSE(execute(kSpecies, 4).ok());
    EXPECT_EQ(lastMessage(), session.catalogue().GetLangMsg("MsgOnlyCols"));

    // An invalid cover asks first; "No" gives nothing.
    session.buffer().Put('A', "zz", 0, 0);
    tokens({"#1", "#1", "#01", "0;;", "N"});
    ASSERT_TRUE(execute(kReleves, 4).ok());
    EXPECT_EQ(ui.lastDialog().kind, DialogKind::YesNoCancel);
    EXPECT_EQ(rowLines('K').size(), 6u);
}

TEST_F(Similarity, MinimalOccurrenceLeavesRareSpeciesOut) {
    openReleves();
    // Frequency at least 2: s4 (only in d) is left out, so d has {s3} and Jaccard(c, d) = 1/2.
    tokens({"#1", "#1", "#01", "2;;"});
    ASSERT_TRUE(execute(kReleves, 4).ok());
    EXPECT_EQ(shown()[4], "d;0.0000;0.5000;0.5000;1.0000");
    // An unreadable first value ends the run with a message.
    tokens({"#1", "#1", "#01", "x;;"});
    EXPECT_FALSE(execute(kReleves, 4).ok());
    EXPECT_EQ(lastMessage(), session.catalogue().GetMsg("InvalidNumber") + ": x");
}

TEST_F(Similarity, ColumnsOfHeaderNumbersWithAGap) {
    openLines({"T;Nr;;a;b;c", "F;x;;1;;4", "F;y;;2;2;6", "A;s;;1;;"});
    session.settings().Diversa.Decimals = 2;
    markHeaderRows({1, 2});
    // Euclidean distance: b has no x, so its pairs are missing and take the smallest value (−5).
    tokens({"#1", "#01", "#0001"});
    ASSERT_TRUE(execute(kColumnsNumeric, 2).ok());
    EXPECT_EQ(shown(),
              (Lines{"Spalten;a;b;c", "a;0.00;-5.00;-5.00", "b;-5.00;-5.00;-5.00", "c;-5.00;-5.00;0.00"}));
    EXPECT_NE(ui.messages().front().second.find("ungültige Werte oder Lücken"), std::string::npos);
    // Without marked header rows the command says so.
    session.buffer().ClearM();
    tokens({"#1", "#01", "#0001"});
    EXPECT_FALSE(execute(kColumnsNumeric, 2).ok());
}

TEST_F(Similarity, RankedReferencesAndCategoryMeans) {
    openReleves();
    // References b and d, the ranked list; in the panel: the measure (Jaccard), then the minimal
    // membership 0.4, then OK.
    tokens({"2,4", "#001", "#1", "#1", "#0001", "#000001", "0.4", "OK"});
    ASSERT_TRUE(execute(kRefReleves, 4).ok());
    const Lines rows = rowLines('K');
    ASSERT_EQ(rows.size(), 4u);
    // a: b 1/3 and d 0 are both below 0.4, c likewise; b and d are their own best references.
    EXPECT_EQ(rows[2], "T;1. Rang;;;b;;d");
    EXPECT_EQ(rows[3], "F;1. Wert;;;1;;1");

    // Mean Jaccard of the categories of "Typ": x = {a, c}, y = {b}, z = {d}; in the order of their
    // columns' mean position: y (1), x (1), z (3) with x and y tied → key order x, y.
    openReleves();
    tokens({"2", "#1", "#01", "0;;"});
    ASSERT_TRUE(execute(kMeanReleves, 4).ok());
    EXPECT_EQ(shown(), (Lines{"Mittlere_Aehnlichkeiten;x;y;z", "x;0.3333;0.3333;0.1667", "y;0.3333;NA;0.3333",
                              "z;0.1667;0.3333;NA"}));
}

TEST_F(Similarity, PairedComparisons) {
    openReleves();
    // Releves paired by "Typ": x holds a and c (Jaccard 1/3); y and z have one releve each.
    tokens({"2", "#1", "#01", "0;;"});
    ASSERT_TRUE(execute(kRelevesPaired, 4).ok());
    EXPECT_EQ(shown(), (Lines{"Aufnahmen;Wert", "x;0.3333", "y;NA", "z;NA"}));

    // Header rows paired: a – c and b – d; mean difference.
    openLines({"F;a one;;1;2", "F;b;;5;5", "F;c;;2;4", "F;d;;5;7"});
    session.settings().Diversa.Decimals = 2;
    markHeaderRows({0, 1, 2, 3});
    tokens({"1", "#01", "#1"});
    ASSERT_TRUE(execute(kRowsPaired, 2).ok());
    EXPECT_EQ(shown(), (Lines{"Zeilen;Mittlere Differenz", "a - c;-1.50", "b - d;-1.00"}));
}

TEST_F(Similarity, AgainstAReferenceFile) {
    openReleves();
    // The reference file: two releves R1 {s1, s2} and R2 {s3, s4, s5}, with a header line "Ort".
    testing::writeBytes(dir.file("ref.tab"),
                        "T;Nr;;R1;R2\r\nT;Ort;;Bern;Chur\r\nA;s1;;1;\r\nA;s2;;1;\r\nA;s3;;;1\r\n"
                        "A;s4;;;1\r\nA;s5;;;1\r\n");
    // Ranked list, one rank: the best reference with the reference file's header data. Jaccard over
    // the union of the species (s1 … s5).
    tokens({"#001", dir.file("ref.tab").c_str(), "#1", "#1", "#0001", "OK"});
    ASSERT_TRUE(execute(kFileReleves, 4).ok());
    const Lines rows = rowLines('K');
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[2], "T;1. Rang Nr;;R1;R1;R1;R2");
    EXPECT_EQ(rows[3], "F;1. Wert Nr;;1;0.3333;0.3333;0.6667");
    EXPECT_EQ(rows[4], "T;Nr;;R1;R1;R1;R2");
    EXPECT_EQ(rows[5], "T;Ort;;Bern;Bern;Bern;Chur");

    // Header rows of the reference file: none of the marked rows is in it.
    openLines({"T;Nr;;a;b", "F;h;;1;2", "A;s;;1;"});
    markHeaderRows({1});
    tokens({"#1", dir.file("ref.tab").c_str(), "#01", "#1"});
    EXPECT_FALSE(execute(kFileHeader, 2).ok());
    EXPECT_NE(lastMessage().find("keine der markierten Kopfdatenzeilen"), std::string::npos);
    // With the row in the file: the mean difference of each releve to each reference releve.
    testing::writeBytes(dir.file("ref2.tab"), "T;Nr;;R1;R2\r\nF;h;;1;5\r\nA;s;;;\r\n");
    session.settings().Diversa.Decimals = 2;
    tokens({"#1", dir.file("ref2.tab").c_str(), "#01", "#1"});
    ASSERT_TRUE(execute(kFileHeader, 2).ok());
    EXPECT_EQ(shown(), (Lines{"Referenz;a;b", "R1;0.00;-1.00", "R2;-4.00;-3.00"}));
}

TEST_F(Similarity, DendrogramClassesAndHierarchyWrittenBack) {
    openLines({"T;Nr;;a;b;c;d;e", "F;x;;1;2;10;12;30", "A;s;;1;;;;"});
    markHeaderRows({1});
    // Average linkage of the Euclidean distances; no gradient; in the window: three classes, then the
    // classes into the table.
    tokens({"#00001", "#01", "#0001", "1", "Anzahl Klassen|Klassen einsetzen", "3"});
    ASSERT_TRUE(execute(kColumnsNumeric, 2).ok());
    Lines rows = rowLines('K');
    ASSERT_EQ(rows.size(), 5u);
    // {a, b} and {c, d} join at 9.5, e at 23.75: three classes split both.
    EXPECT_EQ(rows[2], "I;Cluster-Klassen;;1;1;3;3;2");
    EXPECT_EQ(rows[3], "I;Cluster-Ordnung;;1;2;3;4;5");
    EXPECT_EQ(rows[4], "T;Cluster-Labels;;a;b;c;d;e");

    // The hierarchy of the levels 1 … 2 (two classes at the start after "Anzahl Klassen" 2).
    tokens({"#00001", "#01", "#0001", "1", "Anzahl Klassen|Hierarchie einsetzen", "2"});
    ASSERT_TRUE(execute(kColumnsNumeric, 2).ok());
    rows = rowLines('K');
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[5], "I;Stufe 1;;1;1;1;1;1");
    EXPECT_EQ(rows[6], "I;Stufe 2;;1;1;1;1;2");
}

TEST_F(Similarity, DendrogramOfSpeciesIntoMargins) {
    openLines({"T;Nr;;a;b;c", "A;s1;;1;1;", "A;s2;;1;1;", "A;s3;;;;1"});
    // Single linkage of Jaccard over the releves: s1 and s2 first; two classes.
    tokens({"#0001", "#1", "#01", "0;;", "Anzahl Klassen|Klassen einsetzen", "2"});
    ASSERT_TRUE(execute(kSpecies, 4).ok());
    const TEditBuffer& b = session.buffer();
    EXPECT_EQ(b.ReadP('A', 'N', 0), "1");
    EXPECT_EQ(b.ReadP('A', 'N', 2), "3");
    EXPECT_EQ(b.ReadP('A', 'G', 1), "1");
    EXPECT_EQ(b.ReadP('A', 'G', 2), "2");
}

TEST_F(Similarity, RowsNeedNumbers) {
    openLines({"T;Nr;;a;b", "T;t;;x;y", "A;s;;1;"});
    markHeaderRows({1});
    // The only marked row holds text: nothing to compare.
    tokens({"#1", "#01", "#1"});
    EXPECT_FALSE(execute(kRowsNumeric, 2).ok());
    EXPECT_EQ(lastMessage(), session.catalogue().GetLangMsg("MsgNoRowsM"));
}

}  // namespace
}  // namespace tav
