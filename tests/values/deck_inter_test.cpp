#include "values/deck_inter.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>

#include "core/numbers.h"
#include "platform/script_ui.h"

namespace tav {
namespace {

TDeckInter system(int n, bool naAccept = false, int gesDeck = 1) {
    CoverSettings s;
    s.DeckEinst = n;
    s.NaAccept = naAccept;
    s.GesDeckEinst = gesDeck;
    return TDeckInter(builtInCoverSystem(n), s);
}

using Counts = CoverCounts;

TEST(DeckInter, CodeSystemsReadEntries) {
    struct Case {
        int system;
        const char* entry;
        char mode;
        bool ok;
        double x;
        const char* normalised;
        int cpos;
        Counts counts;
    };
    const Case cases[] = {
        // Braun-Blanquet, simple: "R" is read as "r".
        {6, "R", 'S', true, 1, "r", 0, {}},
        {6, " r ", 'E', true, 0.03, "r", 0, {}},
        {6, "r", 'I', true, 0.0001, "r", 0, {}},
        {6, "r", 'A', true, 0.1, "r", 0, {}},
        {6, "5", 'A', true, 100, "5", 6, {}},
        {6, "2", 'D', true, 11, "2", 3, {}},
        {6, "6", 'S', false, 0, "6", -1, {1}},
        {6, "", 'S', true, 0, "", 99, {}},
        // Braun-Blanquet, complete: sociability, marks and replacements.
        {7, "2.3", 'S', true, 7, "2.3", 6, {}},
        {7, "2.3", 'Z', true, 9, "2.3", 6, {}},
        {7, "2", 'Z', true, 0, "2", 6, {}},
        {7, "2.9", 'S', false, 7, "2.9", 6, {0, 1}},
        {7, "(2)", 'S', true, 0, "(2)", 0, {0, 0, 0, 1}},
        {7, "V", 'S', true, 1, "V", 0, {0, 0, 1}},
        {7, "2°", 'S', true, 7, "2°", 6, {0, 0, 0, 0, 1}},
        {7, "v", 'S', true, 1, "V", 0, {0, 0, 1}},
        {7, "0", 'S', true, 0, "°", 0, {0, 0, 0, 0, 1}},
        // Dietl has no weights: the code itself is the weight.
        {9, "4", 'S', true, 4, "4", 3, {}},
        {9, "4", 'E', true, 6.7, "4", 3, {}},
    };
    for (const Case& c : cases) {
        const TDeckInter d = system(c.system);
        CoverCounts counts;
        std::string s = c.entry;
        int cpos = 99;
        double x = -1;
        EXPECT_EQ(d.CodeToVal(c.mode, false, s, cpos, x, counts), c.ok)
            << c.system << " " << c.entry << " " << c.mode;
        EXPECT_DOUBLE_EQ(x, c.x) << c.system << " " << c.entry << " " << c.mode;
        EXPECT_EQ(s, c.normalised) << c.system << " " << c.entry;
        EXPECT_EQ(cpos, c.cpos) << c.system << " " << c.entry << " " << c.mode;
        EXPECT_EQ(counts, c.counts) << c.system << " " << c.entry << " " << c.mode;
    }
}

// A delimiter outside ASCII is one character of several bytes: cells are split at the whole character,
// and a character that merely shares its first byte is no delimiter.
TEST(DeckInter, SociabilityDelimiterIsAWholeCharacter) {
    RDeckCode dc = builtInCoverSystem(7);
    dc.SozDelim = "\u201D";
    CoverSettings settings;
    settings.DeckEinst = 10;
    struct Case {
        const char* entry;
        char mode;
        bool ok;
        double x;
        Counts counts;
    };
    const Case cases[] = {
        {"2\u201D3", 'Z', true, 9, {}},   {"2\u201D3", 'S', true, 7, {}}, {"2\u201D9", 'S', false, 7, {0, 1}},
        {"2\u201C3", 'S', false, 0, {1}}, {"2.3", 'S', false, 0, {1}},
    };
    for (const Case& c : cases) {
        const TDeckInter d(dc, settings);
        CoverCounts counts;
        std::string s = c.entry;
        int cpos = 0;
        double x = 0;
        EXPECT_EQ(d.CodeToVal(c.mode, false, s, cpos, x, counts), c.ok) << c.entry << " " << c.mode;
        EXPECT_DOUBLE_EQ(x, c.x) << c.entry << " " << c.mode;
        EXPECT_EQ(counts, c.counts) << c.entry << " " << c.mode;
    }
}

TEST(DeckInter, PercentageModeFollowsTheSetting) {
    for (auto [gesDeck, x] : {std::pair{1, 11.0}, {2, 25.0}, {3, 5.0}}) {
        const TDeckInter d = system(6, false, gesDeck);
        CoverCounts counts;
        std::string s = "2";
        double v = 0;
        EXPECT_TRUE(d.DeckVal('D', s, v, false, counts));
        EXPECT_DOUBLE_EQ(v, x) << gesDeck;
    }
}

TEST(DeckInter, NaAcceptedAsTheSmallestCode) {
    const TDeckInter d = system(6, true);
    CoverCounts counts;
    std::string s = "na";
    double x = 0;
    EXPECT_TRUE(d.DeckVal('S', s, x, true, counts));
    EXPECT_EQ(s, "NA");
    EXPECT_DOUBLE_EQ(x, 1);
    EXPECT_TRUE(counts.empty());
    s = "na";
    EXPECT_FALSE(d.DeckVal('S', s, x, false, counts));
    EXPECT_EQ(counts.CodeErrCt, 1);
}

TEST(DeckInter, NumericAndTextKinds) {
    struct Case {
        int system;
        const char* entry;
        bool ok;
        double x;
        const char* normalised;
    };
    const Case cases[] = {
        {2, " 12 ", true, 12, "12"},   {2, "1.5", false, kMissing, "NA"},
        {3, ".5", true, 0.5, "0.5"},   {3, "1e3", true, 1000, "1e3"},
        {3, "", true, 0, ""},          {4, "100", true, 100, "100"},
        {4, "101", false, 101, "101"}, {4, "-1", false, -1, "-1"},
        {5, "x", true, 1, "x"},        {5, "", true, 0, ""},
    };
    for (const Case& c : cases) {
        const TDeckInter d = system(c.system);
        CoverCounts counts;
        std::string s = c.entry;
        double x = -7;
        EXPECT_EQ(d.DeckVal('S', s, x, false, counts), c.ok) << c.system << " '" << c.entry << "'";
        EXPECT_DOUBLE_EQ(x, c.x) << c.system << " '" << c.entry << "'";
        EXPECT_EQ(s, c.normalised) << c.system << " '" << c.entry << "'";
        EXPECT_EQ(counts.CodeErrCt, c.ok ? 0 : 1)
            << c.system << " '" << c.entry << "'";  // invalid covers are reported
    }
}

TEST(DeckInter, DefinitionOfNumericKindReadsNumbers) {
    // A definition file of kind Integer (system 10): numbers are covers, not unknown codes.
    RDeckCode dc;
    dc.Titel = "Zählungen";
    dc.Typ = "Integer";
    CoverSettings s;
    s.DeckEinst = 10;
    const TDeckInter d(dc, s);
    CoverCounts counts;
    std::string entry = "17";
    int cpos = 0;
    double x = 0;
    EXPECT_TRUE(d.CodeToVal('S', false, entry, cpos, x, counts));
    EXPECT_DOUBLE_EQ(x, 17);
    EXPECT_EQ(counts.CodeErrCt, 0);

    // Percent kind: the limits are kept within 0 … 100.
    dc.Typ = "Percent";
    dc.Max = "150";
    TDeckInter p(dc, s);
    EXPECT_DOUBLE_EQ(p.Min(), 0);
    EXPECT_DOUBLE_EQ(p.Max(), 100);
    entry = "120";
    EXPECT_FALSE(p.DeckVal('S', entry, x, false, counts));
}

TEST(DeckInter, ReplacementContainingItsSourceStops) {
    RDeckCode dc = builtInCoverSystem(6);
    dc.ReplaceS = "+;x";
    dc.ReplaceT = "++;1x";
    dc.Code += ";++";
    dc.Seq += ";8";
    CoverSettings s;
    const TDeckInter d(dc, s);
    CoverCounts counts;
    std::string entry = "+";
    double x = 0;
    EXPECT_TRUE(d.DeckVal('S', entry, x, false, counts));
    EXPECT_EQ(entry, "++");
    EXPECT_DOUBLE_EQ(x, 8);
    entry = "xx";
    EXPECT_FALSE(d.DeckVal('S', entry, x, false, counts));  // "1x1x": each x replaced once, left to right
    EXPECT_EQ(counts.CodeErrCt, 1);
}

TEST(DeckInter, LongEntriesOfReplacedCharactersTakeLinearTime) {
    // Replacing in place moved the rest of the entry on every hit: 800 KB of "0" took half a minute.
    // The alarm ends the test program if that comes back, instead of letting it run for an hour.
    const std::size_t n = 4u << 20;
    struct Case {
        char c;
        const char* normalised;  // repeated n times
        bool ok;
        Counts counts;
    };
    const Case cases[] = {
        {'0', "\xC2\xB0", true, {0, 0, 0, 0, 1}},  // "0" becomes "°", which is ignored: no cover
        {'v', "V", false, {1, 0, 1, 0, 0}},        // "v" becomes "V", undefined; "rrr…" is no code
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.c);
        const TDeckInter d = system(7);
        CoverCounts counts;
        std::string entry(n, c.c);
        double x = -1;
        ::alarm(60);
        const bool ok = d.DeckVal('S', entry, x, false, counts);
        ::alarm(0);
        std::string expected;
        for (std::size_t i = 0; i < n; ++i) expected += c.normalised;
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(entry, c.ok ? expected : std::string(n, c.c));
        EXPECT_EQ(counts, c.counts);
        EXPECT_DOUBLE_EQ(x, 0);
    }
}

TEST(DeckInter, ValuesBackToCodes) {
    const TDeckInter d = system(6);
    struct Case {
        char mode;
        double x;
        const char* code;
    };
    const Case cases[] = {{'P', 3, "1"}, {'P', 0.00005, "NA"}, {'P', 80, "5"}, {'P', 5, "2"},
                          {'S', 0, ""},  {'S', 2.5, "+"},      {'S', 7, "5"},  {'S', -1, ""}};
    for (const Case& c : cases) EXPECT_EQ(d.ValToCode(c.mode, c.x), c.code) << c.mode << " " << c.x;
    EXPECT_EQ(system(3).ValToCode('S', 2.5), "2.5");
    EXPECT_EQ(system(9).ValToCode('S', 2.5), "2.5");  // no weights to compare with
}

TEST(DeckInter, OneReportForAllCounters) {
    const TDeckInter d = system(7);
    // Two halves of one operation, counted apart and added up, give the one report of the whole.
    CoverCounts first, second;
    for (const char* e : {"9", "x", "2.9"}) {
        std::string s = e;
        double x = 0;
        d.DeckVal('S', s, x, false, first);
    }
    for (const char* e : {"V", "(1)", "1°"}) {
        std::string s = e;
        double x = 0;
        d.DeckVal('S', s, x, false, second);
    }
    CoverCounts counts = first;
    counts += second;
    EXPECT_EQ(counts, (CoverCounts{2, 1, 1, 1, 1}));
    const std::string report =
        "2 mal eine ungültige Deckung ignoriert bzw. als NA behandelt.\r"
        "Stimmt die Einstellung bei Optionen, Deckungscode wählen?\r"
        "\r1 mal eine ungültige Soziabilität angetroffen.\r"
        "\r1 mal für eine undefinierte Deckung den kleinsten Wert eingesetzt.\r"
        "Undefinierte Deckungen sind:  V  .\r"
        "\r1 mal eine Deckung ausgeschlossen (d.h. 0 gesetzt).\r"
        "Auszuschliessen sind Deckungen mit:  (  )  .\r"
        "\r1 mal in einer Deckung Zeichen ignoriert.\r"
        "Zu ignorieren sind:  °  .";
    EXPECT_EQ(counts.message(d), report);
    ScriptUi ui;
    counts.CheckErrCount(d, ui);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages().back(), std::pair(MessageKind::Info, report));
    // Nothing to report: no message at all.
    const CoverCounts none;
    EXPECT_TRUE(none.empty());
    EXPECT_FALSE(counts.empty());
    EXPECT_EQ(none.message(d), "");
    none.CheckErrCount(d, ui);
    EXPECT_EQ(ui.messages().size(), 1u);
}

}  // namespace
}  // namespace tav
