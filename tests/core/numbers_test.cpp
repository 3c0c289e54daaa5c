#include "core/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "core/random.h"

namespace tav {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(NumberParse, AcceptsPlainDecimals) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"1", 1},
        {"-1.5", -1.5},
        {"+2", 2},
        {".5", 0.5},
        {"5.", 5},
        {"-.25", -0.25},
        {"007", 7},
        {"1e3", 1000},
        {"1e+3", 1000},
        {"1.5E-2", 1.5e-2},
        {"0.1", 0.1},
        {"123456789.123456789", 123456789.123456789},
        {"1.7976931348623157e308", std::numeric_limits<double>::max()},
        {"4.9e-324", std::numeric_limits<double>::denorm_min()},
        {"1e-400", 0},  // too small to represent: zero, not unreadable
        {"0e99999", 0},
        {"1e-9999999999999999999999", 0},
    };
    for (const Case& c : cases) {
        const auto v = parseNumber(c.text);
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(*v, c.value) << c.text;
    }
    EXPECT_TRUE(std::signbit(*parseNumber("-0")));
    EXPECT_TRUE(std::signbit(*parseNumber("-1e-400")));
    EXPECT_TRUE(isMissing(*parseNumber("-9999999999999999.9")));
}

TEST(NumberParse, RejectsEverythingElse) {
    const char* const cases[] = {
        "",      " 1",    "1 ",     "\t1", "1,5",  "1.000,5", "1'000", "1_000",
        "inf",   "-inf",  "nan",    "NaN", "0x10", "1e",      "1e+",   "1E-",
        "e5",    ".",     "-",      "+",   "--1",  "+-1",     "-+1",   "1.2.3",
        "1e3.5", "1e999", "-1e999", "1d3", "1e 3", "１",      "1\n",   "1e9999999999999999999999",
    };
    for (const char* text : cases) EXPECT_FALSE(parseNumber(text).has_value()) << '"' << text << '"';
    // A long run of digits with a small negative exponent is still too large.
    EXPECT_FALSE(parseNumber(std::string(400, '9') + "e-5").has_value());
    EXPECT_EQ(parseNumber("0." + std::string(400, '0') + "1e-5"), 0.0);
}

TEST(NumberParse, Integers) {
    struct Good {
        const char* text;
        std::int64_t value;
    };
    const Good good[] = {
        {"0", 0},
        {"+7", 7},
        {"-12", -12},
        {"007", 7},
        {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
        {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
    };
    for (const Good& c : good) {
        const auto v = parseInteger(c.text);
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(*v, c.value) << c.text;
    }
    const char* const bad[] = {"",
                               "+",
                               "-",
                               "+-1",
                               "-+1",
                               "1.0",
                               "1e3",
                               " 1",
                               "1 ",
                               "0x1",
                               "1,000",
                               "9223372036854775808",
                               "-9223372036854775809",
                               "99999999999999999999999"};
    for (const char* text : bad) EXPECT_FALSE(parseInteger(text).has_value()) << '"' << text << '"';
}

TEST(NumberFormat, FixedDecimals) {
    struct Case {
        double x;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {3.14159, 2, "3.14"},
        {2.5, 3, "2.5"},
        {100, 2, "100"},
        {1e6, 0, "1000000"},
        {1e20, 1, "100000000000000000000"},
        {0.0, 3, "0"},
        {-0.0, 0, "0"},
        {-0.0001, 2, "0"},  // rounds to a negative zero
        {-1.5, 0, "-2"},
        {0.96, 1, "1"},
        {1.005, 2, "1"},       // really 1.00499999…, so no rounding up
        {-2.675, 2, "-2.67"},  // really -2.67499999…
        {123.456, -3, "123"},  // negative decimals count as none
        {0.1, 40, "0.1"},      // more than 15 decimals count as 15
        {1.0 / 3, 20, "0.333333333333333"},
        {kMissing, 2, "NA"},
        {kMissingLimit - 1, 2, "NA"},
        {kNaN, 2, "NA"},
        {kInf, 2, "NA"},
        {-kInf, 0, "NA"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatNumber(c.x, c.decimals), c.text) << c.x << " / " << c.decimals;
}

TEST(NumberFormat, SignificantDigits) {
    struct Case {
        double x;
        const char* text;
    };
    const Case cases[] = {
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {100, "100"},
        {-2.5, "-2.5"},
        {0, "0"},
        {-0.0, "0"},
        {1234567.5, "1234567.5"},
        {123456789012345, "123456789012345"},
        {1e15, "1e+15"},
        {999999999999999.9, "1e+15"},  // rounding carries into the next power of ten
        {1e20, "1e+20"},
        {-1.25e-300, "-1.25e-300"},
        {1e-5, "0.00001"},
        {1.5e-6, "1.5e-06"},
        {0.000123, "0.000123"},
        {std::numeric_limits<double>::max(), "1.79769313486232e+308"},
        {kMissing, "NA"},
        {kNaN, "NA"},
        {-kInf, "NA"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatNumber(c.x), c.text) << c.x;
}

TEST(NumberFormat, ShortestTextReadsBackToFifteenDigits) {
    Random r(31);
    for (int i = 0; i < 20000; ++i) {
        // Below -1e16 a number would count as missing, so the magnitudes stop short of that.
        const int exponent = static_cast<int>(r.below(36)) - 20;
        const double sign = r.below(2) == 0 ? 1.0 : -1.0;
        const double x = sign * r.uniform() * std::pow(10.0, exponent);
        const std::string text = formatNumber(x);
        const auto back = parseNumber(text);
        ASSERT_TRUE(back.has_value()) << text;
        EXPECT_LE(std::fabs(*back - x), 5e-15 * std::fabs(x)) << text;
        EXPECT_EQ(formatNumber(*back), text);
        if (text.size() > 1 && text.find('e') == std::string::npos && text.find('.') != std::string::npos) {
            EXPECT_NE(text.back(), '0') << text;
        }
    }
}

TEST(NumberFormat, Integers) {
    EXPECT_EQ(formatInteger(0), "0");
    EXPECT_EQ(formatInteger(-5), "-5");
    EXPECT_EQ(formatInteger(std::numeric_limits<std::int64_t>::max()), "9223372036854775807");
    EXPECT_EQ(formatInteger(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

}  // namespace
}  // namespace tav
