#include "values/pen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "values/deck_inter.h"

namespace tav {
namespace {

TDeckInter coverSystem(int n, bool naAccept) {
    CoverSettings st;
    st.DeckEinst = n;
    st.NaAccept = naAccept;
    return TDeckInter(builtInCoverSystem(n), st);
}

std::string next(const TDeckInter& d, std::string s) {
    d.PenNext(s);
    return s;
}

std::string prior(const TDeckInter& d, std::string s) {
    d.PenPrior(s);
    return s;
}

// The entries met when stepping from blank until blank comes back (at most limit steps).
template <class StepFn>
std::vector<std::string> walk(StepFn step, std::size_t limit) {
    std::vector<std::string> seen;
    std::string s;
    for (std::size_t i = 0; i < limit; ++i) {
        s = step(s);
        seen.push_back(s);
        if (s.empty()) break;
    }
    return seen;
}

// ---------------------------------------------------------------------------------------------------
// Species cells

TEST(PenSpecies, NextWalksTheCodesWithNaFirst) {
    const TDeckInter d = coverSystem(6, true);
    const std::vector<std::string> expected{"NA", "r", "+", "1", "2", "3", "4", "5", ""};
    EXPECT_EQ(walk([&](const std::string& s) { return next(d, s); }, 20), expected);
}

TEST(PenSpecies, PriorIsTheInverseOfNextOnTheCycle) {
    for (int n : {6, 7}) {
        for (bool na : {false, true}) {
            SCOPED_TRACE("system " + std::to_string(n) + (na ? " with NA" : " without NA"));
            const TDeckInter d = coverSystem(n, na);
            const std::vector<std::string> forward =
                walk([&](const std::string& s) { return next(d, s); }, 40);
            ASSERT_EQ(forward.size(), d.Code().size() + (na ? 2 : 1));
            ASSERT_EQ(forward.back(), "");
            EXPECT_EQ(forward.front(), na ? "NA" : "r");

            // Backwards the same entries come in reverse order.
            std::vector<std::string> backward = walk([&](const std::string& s) { return prior(d, s); }, 40);
            std::vector<std::string> reversed(forward.rbegin() + 1, forward.rend());
            reversed.push_back("");
            EXPECT_EQ(backward, reversed);

            for (const std::string& e : forward) {
                EXPECT_EQ(prior(d, next(d, e)), e) << "entry '" << e << "'";
                EXPECT_EQ(next(d, prior(d, e)), e) << "entry '" << e << "'";
            }
        }
    }
}

TEST(PenSpecies, EntriesOffTheCycle) {
    struct Case {
        int system;
        bool na;
        const char* in;
        const char* nextOut;
        const char* priorOut;
    };
    const Case cases[] = {
        // Unknown codes start the cycle forwards and leave it backwards.
        {6, false, "x", "r", ""},
        {6, false, "R", "r", ""},
        // With NA accepted, blank is reached backwards only through NA.
        {6, true, "x", "r", "NA"},
        {6, true, "r", "+", "NA"},
        // Without NA accepted an NA in any case counts as blank.
        {6, false, "na", "r", "5"},
        {6, false, "Na", "r", "5"},
        {6, true, "nA", "r", ""},
        // Empty and blank entries, blanks around codes.
        {6, false, "", "r", "5"},
        {6, false, "   ", "r", "5"},
        {6, false, " 3 ", "4", "2"},
        {6, true, "  ", "NA", "5"},
        {7, false, "2-3", "3", "2"},
        {7, false, "5", "", "4-5"},
        // Text: present or blank.
        {5, false, "", "1", "1"},
        {5, false, "abc", "", ""},
        {5, true, "", "NA", "1"},
        {5, true, "NA", "1", ""},
        {5, true, "1", "", "NA"},
        // Numbers by kind: whole numbers skip the fractions.
        {2, false, "0", "1", ""},
        {2, false, "1", "2", ""},
        {2, false, "12", "2", ""},
        {3, false, "0", "0.1", ""},
        {3, false, "1", "2", "0.3"},
        {3, false, "12", "2", "0.3"},
        {3, true, "", "NA", "100"},
        {3, true, "0.1", "0.3", "NA"},
        {3, true, "NA", "0", ""},
        // A system without kind only knows blank and NA.
        {0, true, "", "NA", "NA"},
        {0, true, "NA", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("system " + std::to_string(c.system) + (c.na ? " with NA, '" : ", '") + c.in + "'");
        const TDeckInter d = coverSystem(c.system, c.na);
        EXPECT_EQ(next(d, c.in), c.nextOut);
        EXPECT_EQ(prior(d, c.in), c.priorOut);
    }
}

// ---------------------------------------------------------------------------------------------------
// Number cycle

TEST(PenNumbers, FullCycles) {
    struct Case {
        char kind;
        bool forward;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {'P',
         true,
         {"0", "0.1", "0.3", "1", "2", "5", "10", "15", "20", "25", "30", "40", "50", "60", "70", "80", "90",
          "100", ""}},
        {'F',
         true,
         {"0", "0.1", "0.3", "1", "2", "5", "10", "15", "20", "25", "30", "40", "50", "60", "70", "80", "90",
          "100", ""}},
        {'I',
         true,
         {"0", "1", "2", "5", "10", "15", "20", "25", "30", "40", "50", "60", "70", "80", "90", "100", ""}},
        {'P',
         false,
         {"100", "90", "80", "70", "60", "50", "40", "30", "20", "15", "10", "5", "2", "1", "0.3", "0.1",
          ""}},
        {'I', false, {"100", "90", "80", "70", "60", "50", "40", "30", "20", "15", "10", "5", "2", "1", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.kind) + (c.forward ? " forward" : " backward"));
        auto step = [&](std::string s) {
            c.forward ? PenNumberNext(c.kind, s) : PenNumberPrior(c.kind, s);
            return s;
        };
        EXPECT_EQ(walk(step, 40), c.entries);
    }
}

TEST(PenNumbers, EntriesOffTheCycleGoByTheirFirstCharacter) {
    struct Case {
        const char* in;
        const char* nextOut;
        const char* priorOut;
    };
    const Case cases[] = {
        {"0.5", "1", ""},   {"12", "2", "0.3"}, {"2.5", "5", "1"},  {"35", "40", "20"}, {"45", "50", "30"},
        {"55", "10", "2"},  {"65", "70", "50"}, {"75", "80", "60"}, {"85", "90", "70"}, {"95", "100", "80"},
        {"25", "30", "20"}, {"0", "0.1", ""},   {"-5", "", ""},     {"x", "", ""},      {" 15 ", "20", "10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        std::string s = c.in;
        PenNumberNext('F', s);
        EXPECT_EQ(s, c.nextOut);
        s = c.in;
        PenNumberPrior('F', s);
        EXPECT_EQ(s, c.priorOut);
    }
}

// ---------------------------------------------------------------------------------------------------
// Header rows

TEST(PenHeader, AnswerCyclesAndTheirMirror) {
    struct Case {
        char rowType;
        std::vector<std::string> forward;
    };
    const Case cases[] = {
        {'B', {"Ja", "Nein", ""}},
        {'U', {"Ja", "Nein", "Unsicher", ""}},
        {'P',
         {"0", "0.1", "0.3", "1", "2", "5", "10", "15", "20", "25", "30", "40", "50", "60", "70", "80", "90",
          "100", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.rowType));
        auto nextH = [&](std::string s) {
            PenNextHeader(c.rowType, s);
            return s;
        };
        auto priorH = [&](std::string s) {
            PenPriorHeader(c.rowType, s);
            return s;
        };
        EXPECT_EQ(walk(nextH, 40), c.forward);
        if (c.rowType != 'P') {
            std::vector<std::string> reversed(c.forward.rbegin() + 1, c.forward.rend());
            reversed.push_back("");
            EXPECT_EQ(walk(priorH, 40), reversed);
        }
    }
}

TEST(PenHeader, SpellingsOfAnswersAndOtherRows) {
    struct Case {
        char rowType;
        const char* in;
        const char* nextOut;
        const char* priorOut;
    };
    const Case cases[] = {
        {'B', "yes", "Nein", ""},    {'B', "j", "Nein", ""},
        {'B', "Y", "Nein", ""},      {'B', "no", "", "Ja"},
        {'B', " n ", "", "Ja"},      {'B', "x", "Ja", ""},
        {'B', "Unsicher", "Ja", ""}, {'U', "nein", "Unsicher", "Ja"},
        {'U', "u", "", "Nein"},      {'U', "jA", "Nein", ""},
        {'U', "?", "Ja", ""},        {'U', "", "Ja", "Unsicher"},
        {'P', "12", "2", "0.3"},     {'T', " x ", " x ", " x "},
        {'I', "5", "5", "5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.rowType) + " '" + c.in + "'");
        std::string s = c.in;
        PenNextHeader(c.rowType, s);
        EXPECT_EQ(s, c.nextOut);
        s = c.in;
        PenPriorHeader(c.rowType, s);
        EXPECT_EQ(s, c.priorOut);
    }
}

}  // namespace
}  // namespace tav
