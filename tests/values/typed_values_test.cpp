#include "values/typed_values.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "core/numbers.h"

namespace tav {
namespace {

constexpr double kNoLimit = kMissing;

// ---------------------------------------------------------------------------------------------------
// Numbers

struct NumCase {
    char kind;
    bool emptyOk;
    bool naAccept;
    double max;
    double min;
    const char* input;
    bool ok;
    double x;  // kMissing where the value is missing or unreadable
    const char* cleaned;
};

void checkNumCases(const NumCase* cases, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const NumCase& c = cases[i];
        SCOPED_TRACE(std::string("kind ") + c.kind + " input '" + c.input + "'");
        std::string s = c.input;
        double x = 12345;
        EXPECT_EQ(NumVal(c.kind, c.emptyOk, c.naAccept, c.max, c.min, x, s), c.ok);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(s, c.cleaned);
    }
}

TEST(TypedNumVal, ReadsWholeAndFloatingNumbers) {
    const NumCase cases[] = {
        {'I', false, false, kNoLimit, kNoLimit, " 12 ", true, 12, "12"},
        {'I', false, false, kNoLimit, kNoLimit, "\t-7\t", true, -7, "-7"},
        {'I', false, false, kNoLimit, kNoLimit, "+12", true, 12, "+12"},
        {'I', false, false, kNoLimit, kNoLimit, "007", true, 7, "007"},
        {'I', false, false, kNoLimit, kNoLimit, "9007199254740992", true, 9007199254740992.0,
         "9007199254740992"},
        {'F', false, false, kNoLimit, kNoLimit, "1e3", true, 1000, "1e3"},
        {'F', false, false, kNoLimit, kNoLimit, "-2.5E-1", true, -0.25, "-2.5E-1"},
        {'F', false, false, kNoLimit, kNoLimit, "5.", true, 5, "5."},
        {'F', false, false, kNoLimit, kNoLimit, " 3.25\t", true, 3.25, "3.25"},
        {'P', false, false, kNoLimit, kNoLimit, "42", true, 42, "42"},
        // A leading point gets a zero in front, after the sign where there is one.
        {'F', false, false, kNoLimit, kNoLimit, ".5", true, 0.5, "0.5"},
        {'F', false, false, kNoLimit, kNoLimit, "-.5", true, -0.5, "-0.5"},
        {'F', false, false, kNoLimit, kNoLimit, "+.5", true, 0.5, "+0.5"},
        {'F', false, false, kNoLimit, kNoLimit, " .25e2 ", true, 25, "0.25e2"},
    };
    checkNumCases(cases, std::size(cases));
}

TEST(TypedNumVal, UnreadableEntriesBecomeNa) {
    const NumCase cases[] = {
        {'I', false, false, kNoLimit, kNoLimit, "12.0", false, kMissing, "NA"},
        {'I', false, false, kNoLimit, kNoLimit, "1e3", false, kMissing, "NA"},
        {'I', false, false, kNoLimit, kNoLimit, ".5", false, kMissing, "NA"},
        {'I', false, false, kNoLimit, kNoLimit, "99999999999999999999", false, kMissing, "NA"},
        {'I', false, false, kNoLimit, kNoLimit, "-", false, kMissing, "NA"},
        {'F', false, false, kNoLimit, kNoLimit, "1,5", false, kMissing, "NA"},
        {'F', false, false, kNoLimit, kNoLimit, "1 000", false, kMissing, "NA"},
        {'F', false, false, kNoLimit, kNoLimit, "12abc", false, kMissing, "NA"},
        {'F', false, false, kNoLimit, kNoLimit, "inf", false, kMissing, "NA"},
        {'F', false, false, kNoLimit, kNoLimit, "nan", false, kMissing, "NA"},
        {'F', false, false, kNoLimit, kNoLimit, "0x10", false, kMissing, "NA"},
        {'F', false, false, kNoLimit, kNoLimit, "1e", false, kMissing, "NA"},
        {'F', false, false, kNoLimit, kNoLimit, "1e999", false, kMissing, "NA"},
        // A lone point must not become the readable "0." through the zero put in front.
        {'F', false, false, kNoLimit, kNoLimit, ".", false, kMissing, "NA"},
        {'F', false, false, kNoLimit, kNoLimit, "-.", false, kMissing, "NA"},
        {'F', false, false, kNoLimit, kNoLimit, ".e3", false, kMissing, "NA"},
        {'F', false, false, kNoLimit, kNoLimit, "..5", false, kMissing, "NA"},
        // "NA" is only a value where it is accepted.
        {'F', false, false, kNoLimit, kNoLimit, "NA", false, kMissing, "NA"},
        {'F', false, true, kNoLimit, kNoLimit, "N A", false, kMissing, "NA"},
    };
    checkNumCases(cases, std::size(cases));
}

TEST(TypedNumVal, EmptyAndMissingEntries) {
    const NumCase cases[] = {
        {'F', true, false, kNoLimit, kNoLimit, "", true, 0, ""},
        {'F', true, false, kNoLimit, kNoLimit, " \t ", true, 0, ""},
        {'F', false, false, kNoLimit, kNoLimit, "", false, kMissing, ""},
        {'I', false, true, kNoLimit, kNoLimit, "  ", false, kMissing, ""},
        // An empty entry is not checked against the limits.
        {'P', true, false, 100, 1, "", true, 0, ""},
        {'F', false, true, kNoLimit, kNoLimit, "NA", true, kMissing, "NA"},
        {'I', false, true, kNoLimit, kNoLimit, " na ", true, kMissing, "NA"},
        {'P', false, true, 100, 0, "nA", true, kMissing, "NA"},
    };
    checkNumCases(cases, std::size(cases));
}

TEST(TypedNumVal, LimitsAreInclusiveAndOptional) {
    const NumCase cases[] = {
        {'P', true, false, 100, 0, "100", true, 100, "100"},
        {'P', true, false, 100, 0, "0", true, 0, "0"},
        // Out of range: invalid, but the value and its spelling are kept for the message.
        {'P', true, false, 100, 0, "100.5", false, 100.5, "100.5"},
        {'P', true, false, 100, 0, "-0.1", false, -0.1, "-0.1"},
        {'I', false, false, 10, -10, "-11", false, -11, "-11"},
        {'I', false, false, 10, -10, "-10", true, -10, "-10"},
        // Only a maximum.
        {'F', false, false, 10, kNoLimit, "-1e6", true, -1e6, "-1e6"},
        {'F', false, false, 10, kNoLimit, "10.000001", false, 10.000001, "10.000001"},
        // Only a minimum; kMissingLimit itself also means no limit.
        {'F', false, false, kMissingLimit, 5, "1e300", true, 1e300, "1e300"},
        {'F', false, false, kMissingLimit, 5, "4.99", false, 4.99, "4.99"},
        {'F', false, false, 1, kMissingLimit, "-3", true, -3, "-3"},
    };
    checkNumCases(cases, std::size(cases));
}

// ---------------------------------------------------------------------------------------------------
// Dates

struct DateCase {
    const char* input;
    bool naAccept;
    bool ok;
    const char* cleaned;
    std::int32_t tag, monat, jahr, key;
};

void checkDateCases(const DateCase* cases, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const DateCase& c = cases[i];
        SCOPED_TRACE(std::string("input '") + c.input + "'");
        std::string s = c.input;
        RDatum rec{5, 5, 5, 5, 5};
        std::int32_t key = 77;
        EXPECT_EQ(DatumVal(c.naAccept, false, s, rec, key), c.ok);
        EXPECT_EQ(s, c.cleaned);
        EXPECT_EQ(rec.Tag, c.tag);
        EXPECT_EQ(rec.Monat, c.monat);
        EXPECT_EQ(rec.Jahr, c.jahr);
        EXPECT_EQ(key, c.key);
        EXPECT_EQ(rec.TagImJahr, -1);
        EXPECT_EQ(rec.TagNr, -1);
    }
}

TEST(TypedDate, ValidDatesAreWrittenInFull) {
    const DateCase cases[] = {
        {"3.6.19", false, true, "03.06.2019", 3, 6, 2019, 20190603},
        {" 3 . 6 . 2019\t", false, true, "03.06.2019", 3, 6, 2019, 20190603},
        {"31.12.1999", false, true, "31.12.1999", 31, 12, 1999, 19991231},
        {"1.1.+2019", false, true, "01.01.2019", 1, 1, 2019, 20190101},
        {"007.008.2019", false, true, "07.08.2019", 7, 8, 2019, 20190807},
        {"31.12.-044", false, true, "31.12.-44", 31, 12, -44, -44 * 10000 + 1231},
        {"1.1.-9999", false, true, "01.01.-9999", 1, 1, -9999, -9999 * 10000 + 101},
        {"31.12.9999", false, true, "31.12.9999", 31, 12, 9999, 99991231},
        // Leap years, decided on the completed year.
        {"29.2.2000", false, true, "29.02.2000", 29, 2, 2000, 20000229},
        {"29.2.2004", false, true, "29.02.2004", 29, 2, 2004, 20040229},
        {"29.2.00", false, true, "29.02.2000", 29, 2, 2000, 20000229},
        {"29.2.96", false, true, "29.02.1996", 29, 2, 1996, 19960229},
        {"29.2.0", false, true, "29.02.2000", 29, 2, 2000, 20000229},
        {"29.2.0000", false, true, "29.02.0", 29, 2, 0, 229},
        {"29.2.-0004", false, true, "29.02.-4", 29, 2, -4, -4 * 10000 + 229},
        {"30.4.2019", false, true, "30.04.2019", 30, 4, 2019, 20190430},
    };
    checkDateCases(cases, std::size(cases));
}

TEST(TypedDate, OnlyOneAndTwoDigitYearsAreCompleted) {
    const DateCase cases[] = {
        {"1.1.29", false, true, "01.01.2029", 1, 1, 2029, 20290101},
        {"1.1.30", false, true, "01.01.1930", 1, 1, 1930, 19300101},
        {"1.1.99", false, true, "01.01.1999", 1, 1, 1999, 19990101},
        {"1.1.5", false, true, "01.01.2005", 1, 1, 2005, 20050101},
        {"1.1.05", false, true, "01.01.2005", 1, 1, 2005, 20050101},
        {"1.1.+30", false, true, "01.01.1930", 1, 1, 1930, 19300101},
        {"1.1.-5", false, true, "01.01.1995", 1, 1, 1995, 19950101},
        {"1.1.-99", false, true, "01.01.1901", 1, 1, 1901, 19010101},
        // Three digits and more are the year as written.
        {"01.01.0001", false, true, "01.01.1", 1, 1, 1, 10101},
        {"1.1.029", false, true, "01.01.29", 1, 1, 29, 290101},
        {"1.1.100", false, true, "01.01.100", 1, 1, 100, 1000101},
        {"1.1.-030", false, true, "01.01.-30", 1, 1, -30, -30 * 10000 + 101},
    };
    checkDateCases(cases, std::size(cases));
}

TEST(TypedDate, InvalidDatesLeaveTheEntryAndAnEmptyRecord) {
    const DateCase cases[] = {
        {"31.4.2019", false, false, "31.4.2019", -1, -1, -1, 0},
        {"29.2.1900", false, false, "29.2.1900", -1, -1, -1, 0},
        {"29.2.2019", false, false, "29.2.2019", -1, -1, -1, 0},
        {"29.2.0100", false, false, "29.2.0100", -1, -1, -1, 0},
        {"0.1.2019", false, false, "0.1.2019", -1, -1, -1, 0},
        {"32.1.2019", false, false, "32.1.2019", -1, -1, -1, 0},
        {"1.0.2019", false, false, "1.0.2019", -1, -1, -1, 0},
        {"1.13.2019", false, false, "1.13.2019", -1, -1, -1, 0},
        {"1.1.10000", false, false, "1.1.10000", -1, -1, -1, 0},
        {"1.1.-10000", false, false, "1.1.-10000", -1, -1, -1, 0},
        {"1.1.99999999999999999999", false, false, "1.1.99999999999999999999", -1, -1, -1, 0},
        {"1.1", false, false, "1.1", -1, -1, -1, 0},
        {"1.1.", false, false, "1.1.", -1, -1, -1, 0},
        {"..2019", false, false, "..2019", -1, -1, -1, 0},
        {"+1.1.2019", false, false, "+1.1.2019", -1, -1, -1, 0},
        {"1.-1.2019", false, false, "1.-1.2019", -1, -1, -1, 0},
        {"1.1.2019.5", false, false, "1.1.2019.5", -1, -1, -1, 0},
        {"1.1.20 19", false, false, "1.1.20 19", -1, -1, -1, 0},
        {"1.1.-", false, false, "1.1.-", -1, -1, -1, 0},
        {"a.1.2019", false, false, "a.1.2019", -1, -1, -1, 0},
        {"1,1,2019", false, false, "1,1,2019", -1, -1, -1, 0},
        {"2019-06-03", false, false, "2019-06-03", -1, -1, -1, 0},
        {" 31.4.2019 ", false, false, "31.4.2019", -1, -1, -1, 0},
        {"", true, false, "", -1, -1, -1, 0},
        {"  ", false, false, "", -1, -1, -1, 0},
        {"na", false, false, "na", -1, -1, -1, 0},
    };
    checkDateCases(cases, std::size(cases));
}

TEST(TypedDate, AcceptedNaIsAMissingDate) {
    const DateCase cases[] = {
        {"NA", true, true, "NA", -1, -1, -1, 0},
        {" na ", true, true, "NA", -1, -1, -1, 0},
    };
    checkDateCases(cases, std::size(cases));
}

TEST(TypedDate, DayNumbers) {
    struct Case {
        const char* input;
        std::int32_t tagImJahr;
        std::int32_t tagNr;
    };
    const Case cases[] = {
        {"01.01.0001", 1, 1},       {"31.12.0001", 365, 365},    {"01.01.0002", 1, 366},
        {"01.01.2001", 1, 730486},  {"31.12.2000", 366, 730485}, {"1.3.2000", 61, 730180},
        {"1.3.1900", 60, 693655},   {"31.12.0000", 366, 0},      {"1.1.0000", 1, -365},
        {"31.12.-001", 365, -366},  {"1.1.-001", 1, -730},       {"31.12.9999", 365, 3652059},
        {"1.1.-9999", 1, -3652424},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        std::string s = c.input;
        RDatum rec;
        std::int32_t key = 0;
        ASSERT_TRUE(DatumVal(false, true, s, rec, key));
        EXPECT_EQ(rec.TagImJahr, c.tagImJahr);
        EXPECT_EQ(rec.TagNr, c.tagNr);
    }
}

TEST(TypedDate, ConsecutiveDaysDifferByOneAcrossYearZero) {
    // Walks every day from 1 January of year -801 to 31 December of year 801, which crosses year 0
    // and several century and 400-year boundaries; the day number and the key must both step
    // forwards, the day number by exactly one.
    std::int32_t previousNr = 0;
    std::int32_t previousKey = 0;
    bool first = true;
    std::string s;
    for (int year = -801; year <= 801; ++year) {
        const bool leap = year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
        std::int32_t lastDayOfYear = 0;
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= 31; ++day) {
                s = std::to_string(day) + "." + std::to_string(month) + "." + (year < 0 ? "-" : "") +
                    std::to_string(year < 0 ? -year + 1000 : year + 1000).substr(1);
                RDatum rec;
                std::int32_t key = 0;
                if (!DatumVal(false, true, s, rec, key)) {
                    ASSERT_GE(day, 29) << s;
                    continue;
                }
                ASSERT_EQ(rec.Jahr, year) << s;
                if (!first) {
                    ASSERT_EQ(rec.TagNr, previousNr + 1) << s;
                    ASSERT_GT(key, previousKey) << s;
                }
                first = false;
                previousNr = rec.TagNr;
                previousKey = key;
                lastDayOfYear = rec.TagImJahr;
            }
        }
        ASSERT_EQ(lastDayOfYear, leap ? 366 : 365) << year;
    }
}

// ---------------------------------------------------------------------------------------------------
// Times

struct TimeCase {
    const char* input;
    bool naAccept;
    bool ok;
    const char* cleaned;
    std::int32_t h, m, sec;
};

TEST(TypedTime, ParsesAndNormalises) {
    const TimeCase cases[] = {
        {"12", false, true, "12:00:00", 12, 0, 0},
        {"7", false, true, "07:00:00", 7, 0, 0},
        {"12:30", false, true, "12:30:00", 12, 30, 0},
        {"8.15", false, true, "08:15:00", 8, 15, 0},
        {"1.2.3", false, true, "01:02:03", 1, 2, 3},
        {"12:30.15", false, true, "12:30:15", 12, 30, 15},
        {" 1 : 2 : 3 ", false, true, "01:02:03", 1, 2, 3},
        {"0:0:0", false, true, "00:00:00", 0, 0, 0},
        {"23:59:59", false, true, "23:59:59", 23, 59, 59},
        {"24:00", false, true, "24:00:00", 24, 0, 0},
        {"007:05", false, true, "07:05:00", 7, 5, 0},
        {"", false, true, "", 0, 0, 0},
        {" \t", false, true, "", 0, 0, 0},
        {"NA", true, true, "NA", 0, 0, 0},
        {" na", true, true, "NA", 0, 0, 0},
    };
    for (const TimeCase& c : cases) {
        SCOPED_TRACE(std::string("input '") + c.input + "'");
        std::string s = c.input;
        RZeit rec{9, 9, 9};
        EXPECT_EQ(ZeitVal(c.naAccept, s, rec), c.ok);
        EXPECT_EQ(s, c.cleaned);
        EXPECT_EQ(rec.Stunden, c.h);
        EXPECT_EQ(rec.Minuten, c.m);
        EXPECT_EQ(rec.Sekunden, c.sec);
    }
}

TEST(TypedTime, RejectsBadEntriesKeepingThem) {
    const char* const inputs[] = {
        "12:60",  "25",    "12:00:60", "1:2:3:4", "1.2.3.4",
        "12::30", "12:",   ":30",      "12: :30", "-1",
        "+1",     "12:5a", "12.30:15", "1,30",    "99999999999999999999",
        "NA",     "12 30",
    };
    for (const char* input : inputs) {
        SCOPED_TRACE(input);
        std::string s = std::string(" ") + input + " ";
        RZeit rec{9, 9, 9};
        EXPECT_FALSE(ZeitVal(false, s, rec));
        EXPECT_EQ(s, input);
    }
}

TEST(TypedTime, SecondsConversion) {
    struct Case {
        std::int64_t seconds;
        std::int32_t h, m, sec;
        std::int64_t back;  // ZeitToSek of the result
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0},          {59, 0, 0, 59, 59}, {3661, 1, 1, 1, 3661}, {86399, 23, 59, 59, 86399},
        {90000, 25, 0, 0, 90000}, {-1, 0, 0, 0, 0},   {-3661, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        RZeit rec{9, 9, 9};
        SekToZeit(c.seconds, rec);
        EXPECT_EQ(rec.Stunden, c.h);
        EXPECT_EQ(rec.Minuten, c.m);
        EXPECT_EQ(rec.Sekunden, c.sec);
        EXPECT_EQ(ZeitToSek(rec), c.back);
    }
    // Large hour counts must not overflow in 32 bits.
    EXPECT_EQ(ZeitToSek(RZeit{1000000, 0, 1}), 3600000001);
}

// ---------------------------------------------------------------------------------------------------
// Yes/no answers

struct YesNoCase {
    const char* input;
    bool naAccept;
    bool ok;
    const char* cleaned;
    std::int32_t code;   // JaNeinVal
    std::int32_t codeU;  // JaNeinUVal; the same except for uncertain and missing answers
    bool okU;
    const char* cleanedU;
};

TEST(TypedYesNo, BothParsers) {
    const YesNoCase cases[] = {
        {"Ja", false, true, "Ja", kJa, kJa, true, "Ja"},
        {" j ", false, true, "Ja", kJa, kJa, true, "Ja"},
        {"Yes", false, true, "Ja", kJa, kJa, true, "Ja"},
        {"yep", false, true, "Ja", kJa, kJa, true, "Ja"},
        {"nein", false, true, "Nein", kNein, kNein, true, "Nein"},
        {"No", false, true, "Nein", kNein, kNein, true, "Nein"},
        {"N", false, true, "Nein", kNein, kNein, true, "Nein"},
        {"nah", false, true, "Nein", kNein, kNein, true, "Nein"},
        // "NA" never passes as "Nein": missing where accepted, invalid otherwise.
        {"na", false, false, "NA", kInvalidAnswer, kInvalidAnswer, false, "NA"},
        {"NA", true, true, "NA", kUnsicher, -1, true, "NA"},
        {" nA ", true, true, "NA", kUnsicher, -1, true, "NA"},
        {"", false, true, "", kUnsicher, -1, true, ""},
        {"  ", true, true, "", kUnsicher, -1, true, ""},
        // Uncertain answers exist only for the second parser.
        {"unklar", false, false, "NA", kInvalidAnswer, kUnsicher, true, "Unsicher"},
        {"U", true, false, "NA", kInvalidAnswer, kUnsicher, true, "Unsicher"},
        {"x", false, false, "NA", kInvalidAnswer, kInvalidAnswer, false, "NA"},
        {"1", false, false, "NA", kInvalidAnswer, kInvalidAnswer, false, "NA"},
        {"\xC3\x9C", false, false, "NA", kInvalidAnswer, kInvalidAnswer, false, "NA"},
    };
    for (const YesNoCase& c : cases) {
        SCOPED_TRACE(std::string("input '") + c.input + "'");
        std::string s = c.input;
        std::int32_t code = 99;
        EXPECT_EQ(JaNeinVal(c.naAccept, s, code), c.ok);
        EXPECT_EQ(s, c.cleaned);
        EXPECT_EQ(code, c.code);

        s = c.input;
        code = 99;
        EXPECT_EQ(JaNeinUVal(c.naAccept, s, code), c.okU);
        EXPECT_EQ(s, c.cleanedU);
        EXPECT_EQ(code, c.codeU);
    }
}

}  // namespace
}  // namespace tav
