// The formula language: what compiling refuses, the precedence and grouping of the operators, the
// missing results, runden, ersetzen and the neighbouring cells.

#include <gtest/gtest.h>

#include "analysis/formula.h"
#include "core/numbers.h"

namespace tav {
namespace {

// The text a formula writes into a cell holding text (a number or not) in the header part, with eight
// decimals; "error: …" when it does not compile.
std::string result(std::string_view formula, std::string_view cell = "", bool species = false,
                   const Formula::Neighbour& neighbour = {}) {
    std::string error;
    const auto f = Formula::compile(formula, error);
    if (!f) return "error: " + error;
    const auto x = parseNumber(cell);
    const double value = x ? *x : species && cell.empty() ? 0.0 : kMissing;
    bool na = false;
    return formulaCellText(*f, cell, value, neighbour, 8, species, na);
}

TEST(Formula, ArithmeticAndItsMissingResults) {
    struct Case {
        const char* formula;
        const char* cell;
        const char* expected;
    };
    const Case cases[] = {
        {"x*2+1", "3.5", "8"},
        {"=X+1", "2", "3"},
        {"x", "3.50", "3.5"},
        {"5", "", "5"},
        {"x/0", "1", "NA"},
        {"sqrt(-1)", "", "NA"},
        {"ln(0)", "", "NA"},
        {"asin(2)", "", "NA"},
        {"(-8)^(1/3)", "", "NA"},
        {"0^(-1)", "", "NA"},
        {"(-2)^3", "", "-8"},
        {"0^0", "", "0"},
        {"2^3^2", "", "64"},   // ^ groups from the left
        {"-x^2", "2", "-4"},   // the unary minus negates the whole term
        {"-2*3+10", "", "4"},  // … up to the next + or -
        {"7 div 2", "", "3"},
        {"-7 div 2", "", "-3"},
        {"-7 mod 2", "", "-1"},
        {"7 div 2+1", "", "4"},      // div binds tighter than +
        {"8 div 4 div 2", "", "4"},  // … and groups from the right
        {"2*7 mod 4", "", "6"},      // mod tighter than *
        {"10-4-3", "", "3"},
        {"12/3/2", "", "2"},
        {"round(2.5)", "", "2"},
        {"round(3.5)", "", "4"},
        {"sign(-3)+pa(2)", "", "0"},
        {"exp(0)+cotan(1)*0", "", "1"},
        {"(1/3)*3000000000", "", "999999999.999999"},
        {"2^1000000000", "", "NA"},  // overflows at once instead of multiplying forever
        {"x+1", "abc", "NA"},
    };
    for (const Case& c : cases) EXPECT_EQ(result(c.formula, c.cell), c.expected) << c.formula;
    // An empty species cell counts as 0; an empty header cell is missing.
    EXPECT_EQ(result("x*2+1", "", true), "1");
    EXPECT_EQ(result("x*2+1", ""), "NA");
    // A species cell that stays 0 stays empty.
    EXPECT_EQ(result("x*2", "", true), "");
}

TEST(Formula, CompileErrors) {
    struct Case {
        const char* formula;
        const char* error;
    };
    const Case cases[] = {
        {"(x", "Fehler bei den Klammern."},
        {"x+y", "Unbekannte Zeichen: y"},
        {"runden(a)", "Unbekannte Zeichen: a"},
        {"runden(2.5)", "Ungültige Zahl."},
        {"x+runden(2)", "Ungültige Zahl."},
        {"2*-3", "'' ist kein gültiger Gleitkommawert"},
        {"x^-2", "'' ist kein gültiger Gleitkommawert"},
        {"x+", "'' ist kein gültiger Gleitkommawert"},
        {"2x", "Operator fehlt vor \"x\""},
        {"1+ersetzen(x>1,2)", "ersetzen(Fx,y) steht nur als ganze Formel."},
        {"ersetzen(y>1,2)", "Unbekannte Zeichen: y"},
        {"ersetzen(x,2)", "Ungültige Bedingung: x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(result(c.formula, "1"), std::string("error: ") + c.error) << c.formula;
    EXPECT_EQ(result("2*(-3)"), "-6");
    EXPECT_EQ(result("x^(-2)", "2"), "0.25");
    // The text shown again after an error: lower case, the functions in their short spelling.
    std::string error, normalized;
    EXPECT_FALSE(Formula::compile("  Exp(X)+Y", error, &normalized));
    EXPECT_EQ(normalized, "ep(x)+y");
}

TEST(Formula, RoundingAndReplacing) {
    EXPECT_EQ(result("runden(1)", "2.76"), "2.8");
    EXPECT_EQ(result("runden(1)", "2.04"), "2");
    EXPECT_EQ(result("runden(2)", "3.14159"), "3.14");
    EXPECT_EQ(result("runden(1)", "abc"), "NA");
    struct Case {
        const char* formula;
        const char* cell;
        const char* expected;
    };
    const Case cases[] = {
        {"ersetzen(x<=0,'leer')", "0", "leer"},
        {"ersetzen(x<=0,'leer')", "-2", "leer"},
        {"ersetzen(x<=0,'leer')", "3", "3"},
        {"ersetzen(x<=0,'leer')", "+", "+"},
        {"ersetzen(x<=0,'Sehr (viel)')", "0", "Sehr (viel)"},
        {"ersetzen(abs(x)>=10,0)", "-12", "0"},
        {"ersetzen(abs(x)>=10,0)", "9.50", "9.5"},
        {"ersetzen(x=1..3,9)", "1", "9"},
        {"ersetzen(x=1..3,9)", "2.5", "9"},
        {"ersetzen(x=1..3,9)", "3.5", "3.5"},
        {"ersetzen(x<1..3,9)", "1", "1"},
        {"ersetzen(x<1..3,9)", "2", "9"},
        {"ersetzen(5<x,1)", "6", "1"},
        {"ersetzen(x>5,1)", "abc", "NA"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(result(c.formula, c.cell), c.expected) << c.formula << " " << c.cell;
    // An empty species cell the condition leaves alone stays empty.
    EXPECT_EQ(result("ersetzen(x>5,1)", "", true), "");
}

TEST(Formula, NeighbouringCells) {
    // A 1 × 3 row 1, 2, 4: the right neighbour minus the cell; outside the row an empty species cell.
    const double row[] = {1, 2, 4};
    for (int c = 0; c < 3; ++c) {
        const Formula::Neighbour neighbour = [&](int dr, int dc) {
            const int at = c + dc;
            return dr == 0 && at >= 0 && at < 3 ? row[at] : 0.0;
        };
        const char* expected[] = {"1", "2", "-4"};
        EXPECT_EQ(result("zs(0,1)-x", std::to_string(static_cast<int>(row[c])), true, neighbour),
                  expected[c]);
    }
    EXPECT_EQ(result("zs(x,1)"), "error: zs(p,q) braucht zwei Zahlen.");
}

}  // namespace
}  // namespace tav
