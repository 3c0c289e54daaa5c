#include "table/cell_stats.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tav {
namespace {

// Three releves under Braun-Blanquet (simple): header rows Nr and Ort, four species rows and a comment.
TEditBuffer makeTable() {
    TEditBuffer b;
    b.InsCols(-9, 3);
    const std::vector<std::string> header = {"T;Nr;;1;2;3", "T;Ort;;a;A;b"};
    const std::vector<std::string> species = {"A;s1;;r;2;", "A;s2;;5;;x", "A;s3;;+;+;+", "K;note;;;;",
                                              "A;s4;;;;"};
    for (const auto& [OC, rows] : {std::pair{'K', &header}, std::pair{'A', &species}}) {
        for (const std::string& r : *rows) {
            b.InsRow(OC, -9);
            b.PutRow(OC, r, b.GetRowCount(OC) - 1);
        }
    }
    return b;
}

TDeckInter braunBlanquet() {
    CoverSettings s;
    s.DeckEinst = 6;
    return TDeckInter(builtInCoverSystem(6), s);
}

TEST(CellStats, FrequencyConstancyAndCover) {
    TEditBuffer b = makeTable();
    TDeckInter deck = braunBlanquet();
    CellStats st(b, deck);
    EXPECT_EQ(st.GetFreq('A', nullptr, 0, true), 2);
    EXPECT_EQ(st.GetFreq('A', nullptr, 1, true), 1);   // "x" is no cover
    EXPECT_EQ(st.GetFreq('A', nullptr, 1, false), 2);  // unchecked: any entry counts
    EXPECT_DOUBLE_EQ(st.GetStet('A', nullptr, 2, true), 1.0);
    EXPECT_DOUBLE_EQ(st.GetRowDeck('A', nullptr, 0, true), 0.03 + 11);
    EXPECT_DOUBLE_EQ(st.GetGesDeck('A', nullptr, 0, true), 0.03 + 87 + 0.3);

    TMenge cols;
    cols.Add(1);
    cols.Add(2);
    cols.Add(7);  // beyond the table: not considered
    EXPECT_EQ(st.GetFreq('A', &cols, 0, true), 1);
    EXPECT_DOUBLE_EQ(st.GetStet('A', &cols, 0, true), 0.5);
    TMenge none;
    EXPECT_DOUBLE_EQ(st.GetStet('A', &none, 0, true), 0.0);
    EXPECT_DOUBLE_EQ(st.GetColStet('A', &none, 0, true), 0.0);

    EXPECT_EQ(st.GetZahl('A', nullptr, 0, true), 3);
    EXPECT_EQ(st.GetZahl('A', nullptr, 2, true), 1);
    EXPECT_DOUBLE_EQ(st.GetColStet('A', nullptr, 0, true), 3.0 / 5);
    TMenge rows;
    rows.Add(1);
    EXPECT_EQ(st.GetZahl('A', &rows, 0, true), 1);
    EXPECT_DOUBLE_EQ(st.GetGesDeck('A', &rows, 0, true), 87);

    // Every reading of the invalid "x" is counted, also when its text was interpreted before.
    EXPECT_EQ(st.counts(), (CoverCounts{2, 0, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(st.DeckValChecked('S', "  2", true), 4);
    EXPECT_DOUBLE_EQ(st.DeckValChecked('S', "", true), 0);
    EXPECT_DOUBLE_EQ(st.DeckValChecked('S', "junk", false), 1);
}

TEST(CellStats, WholeTableSummaryMatchesSingleQuestions) {
    TEditBuffer b = makeTable();
    TDeckInter deck = braunBlanquet();
    CellStats st(b, deck);
    const CellStats::Summary s = st.summarise(true);
    EXPECT_EQ(s.rowFreq, (std::vector<int>{2, 1, 3, 0, 0}));
    EXPECT_EQ(s.colCount, (std::vector<int>{3, 2, 1}));
    EXPECT_DOUBLE_EQ(s.rowCover[2], 0.9);
    EXPECT_DOUBLE_EQ(s.colCover[1], 11.3);
    EXPECT_EQ(st.counts().CodeErrCt, 1);  // counted once, although read for presence and for cover
    for (int c = 0; c < 3; ++c) EXPECT_DOUBLE_EQ(s.colCover[c], st.GetGesDeck('A', nullptr, c, true)) << c;
}

TEST(CellStats, InvalidCoversAreNeitherPresentNorAdded) {
    // One species row per case, three releves; what the statistics of that row must say.
    struct Case {
        int system;
        const char* row;
        int freq;
        double cover;
        int invalid;
    };
    const Case cases[] = {
        {4, "A;s;;150;50;1e308", 1, 50, 2},  // percentages beyond 100
        {4, "A;s;;-5;0;2", 1, 2, 1},         // below 0; "0" is valid and absent
        {3, "A;s;;x;2.5;-1", 1, 2.5, 1},     // any numbers: only unreadable ones are invalid
        {6, "A;s;;6;1;r", 2, 2.23, 1},
        {7, "A;s;;2.9;(2);x", 1, 10, 1},  // a wrong sociability leaves the cover; excluded is absent
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        TEditBuffer b;
        b.InsCols(-9, 3);
        b.InsRow('A', -9);
        b.PutRow('A', c.row, 0);
        CoverSettings settings;
        settings.DeckEinst = c.system;
        TDeckInter deck(builtInCoverSystem(c.system), settings);
        CellStats st(b, deck);
        EXPECT_EQ(st.GetFreq('A', nullptr, 0, true), c.freq);
        EXPECT_DOUBLE_EQ(st.GetRowDeck('A', nullptr, 0, true), c.cover);
        const CellStats::Summary s = st.summarise(true);
        EXPECT_EQ(s.rowFreq[0], c.freq);
        EXPECT_DOUBLE_EQ(s.rowCover[0], c.cover);
        CellStats single(b, deck);
        double total = 0;
        for (int col = 0; col < 3; ++col)
            total += std::max(0.0, single.DeckValChecked('D', b.Get('A', col, 0), true));
        EXPECT_DOUBLE_EQ(total, c.cover);
        EXPECT_EQ(single.counts().CodeErrCt, c.invalid);
    }
}

TEST(CellStats, CumulativeCountsAndMatches) {
    TEditBuffer b = makeTable();
    TDeckInter deck = braunBlanquet();
    CellStats st(b, deck);
    TMenge seen;
    EXPECT_EQ(st.GetZahlCum('A', seen, nullptr, 0, true), 3);
    EXPECT_EQ(st.GetZahlCum('A', seen, nullptr, 1, true), 3);
    EXPECT_EQ(st.GetZahlCum('A', seen, nullptr, 2, true), 3);

    // Per category of the Ort row (letter case counts in the key): a new category starts afresh.
    TLongList ort;
    ort.AppendLong(1);
    std::string cat;
    seen.Clear();
    EXPECT_EQ(st.GetZahlCumCat('A', seen, nullptr, 0, true, ort, cat), 3);
    EXPECT_EQ(cat, ";a");
    EXPECT_EQ(st.GetZahlCumCat('A', seen, nullptr, 1, true, ort, cat), 2);

    EXPECT_EQ(st.GetCodeZahl('A', nullptr, 2, "+", true), 1);
    EXPECT_EQ(st.GetCodeZahl('K', nullptr, 0, "", false), 2);
    EXPECT_EQ(st.GetMatchesInRow('K', nullptr, 1), 1);       // a and A count as one value
    EXPECT_EQ(st.GetMatchesInCol(' ', 'A', nullptr, 2), 2);  // +, x and three empty cells
    EXPECT_EQ(st.GetMatchesInCol('I', 'A', nullptr, 2), 5);  // with 'I' an empty cell means all
}

// Equal entries ignore letter case only: an accent makes another value. Rows and columns alike.
TEST(CellStats, MatchesIgnoreLetterCaseButNotAccents) {
    struct Case {
        std::vector<std::string> values;
        int matches;
    };
    const Case cases[] = {
        {{"Café", "CAFÉ", "café"}, 2},     // one value in three letter cases
        {{"Café", "cafe", "Cafe"}, 1},     // cafe and Cafe match; Café is another value
        {{"Ärger", "ärger", "Arger"}, 1},  // umlauts keep their dots
        {{"Łódź", "ŁÓDŹ", "lodz"}, 1},     // letters beyond Latin-1 have their pairs too
        {{"Ωμέγα", "ΩΜΈΓΑ", "Ωμεγα"}, 1},
    };
    for (const Case& c : cases) {
        TEditBuffer b;
        b.InsCols(-9, 3);
        b.InsRow('K', -9);
        b.InsRows('A', -9, 3);
        for (int i = 0; i < 3; ++i) {
            b.Put('K', c.values[i], i, 0);
            b.Put('A', c.values[i], 0, i);
        }
        TDeckInter deck = braunBlanquet();
        CellStats st(b, deck);
        EXPECT_EQ(st.GetMatchesInRow('K', nullptr, 0), c.matches) << c.values[0];
        EXPECT_EQ(st.GetMatchesInCol(' ', 'A', nullptr, 0), c.matches) << c.values[0];
    }
}

TEST(CellStats, RowTypeEstimate) {
    struct Case {
        const char* row;
        char type;
    };
    const Case cases[] = {
        {"T;x;;;NA;12;x", 'I'}, {"T;x;;;3.5", 'F'},   {"T;x;;1.2.2020", 'D'}, {"T;x;;12:30", 'Z'},
        {"T;x;;;;", 'T'},       {"T;x;;na;abc", 'T'}, {"T;x;;-4", 'I'},
    };
    for (const Case& c : cases) {
        TEditBuffer b;
        b.InsCols(-9, 3);
        b.InsRow('K', -9);
        b.PutRow('K', c.row, 0);
        EXPECT_EQ(EstimateTyp(b, 'K', 0), c.type) << c.row;
    }
    TEditBuffer b = makeTable();
    EXPECT_EQ(EstimateTyp(b, 'A', 3), 'K');
    EXPECT_EQ(EstimateTyp(b, 'A', 0), 'A');
}

}  // namespace
}  // namespace tav
