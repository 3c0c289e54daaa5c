#pragma once
// The formula language of "Felder auswerten, transformieren": "x" is the cell's own value, zs(p,q) the
// value of the cell p rows down and q columns right; + - * / ^ div mod and the functions abs, sqrt, ln,
// log, exp, round, sign, pa, sin, cos, tan, cotan, asin, acos, atan. Two forms stand only as the whole
// formula: runden(n) rounds the cell to n decimals, ersetzen(Fx,y) puts y into the cells that meet the
// condition Fx (x<q, x<=q, x=q, x>q, x>=q, abs(x)…, x=p..q inclusive, x<p..q exclusive), where y is a
// number or a quoted text.
//
// A formula is compiled once into a tree. Precedence: + and - loosest, then * and /, then div, then mod
// (div and mod group from the right), then ^ (groups from the left: 2^3^2 = 64). At the start and after
// "(" or "," an operator takes an empty left operand (0), so -x^2 is the negative of the square and
// -a*b+c is (-(a*b))+c; anywhere else an operator needs operands on both sides ("2*-3" is refused).
// Every intermediate result is rounded to 15 significant digits; a missing argument, an undefined result
// (x/0, sqrt(-1), ln(0), asin(2), a negative base with a fractional power, 0 to a negative power) and
// every result that is not finite are missing ("NA").

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

class Formula {
  public:
    enum class Kind { Arithmetic, Round, Replace };

    // The formula compiled, or nothing with the message in error ("Fehler bei den Klammern.",
    // "Unbekannte Zeichen: …", "Ungültige Zahl.", …). normalized receives the text as far as compiling
    // normalised it (lower case, the function names in their short spelling), to be shown again.
    static std::optional<Formula> compile(std::string_view text, std::string& error,
                                          std::string* normalized = nullptr);

    Kind kind() const { return kind_; }
    // The formula reads neighbouring cells (zs): its result depends on more than the cell's value.
    bool usesNeighbours() const { return usesNeighbours_; }
    // runden(n): the decimals.
    int roundDecimals() const { return decimals_; }
    // ersetzen with a quoted replacement: the result is text.
    bool textResult() const { return textResult_; }
    // The replacement of ersetzen, without its quotes.
    const std::string& replacement() const { return replacement_; }

    // The value of a neighbouring cell at row and column offsets from the evaluated one; missing
    // (kMissing) when it is not a number.
    using Neighbour = std::function<double(int rows, int columns)>;
    // The arithmetic value for a cell of value x (kMissing when missing), kMissing when the result is
    // missing. Without neighbours (the raster tool) zs reads missing values.
    double evaluate(double x, const Neighbour& neighbour = {}) const;
    // Whether the condition of ersetzen holds for a cell of value v (never for a missing value).
    bool conditionHolds(double v) const;

  private:
    struct Node {
        enum Type { Number, X, Empty, Binary, Function, Neighbour } type = Number;
        double value = 0;
        int op = 0;  // the operator or function
        int a = -1, b = -1;
    };
    double eval(int node, double x, const Neighbour& neighbour) const;

    Kind kind_ = Kind::Arithmetic;
    std::vector<Node> nodes_;
    int root_ = -1;
    bool usesNeighbours_ = false;
    int decimals_ = 0;
    // ersetzen: comparison (op '<', '>', '=', with orEqual) or range, with x on the left or right side.
    bool textResult_ = false, range_ = false, orEqual_ = false, xLeft_ = true, absolute_ = false;
    char compare_ = 0;
    double low_ = 0, high_ = 0;
    std::string replacement_;

    friend class FormulaParser;
};

// The text a formula writes into a cell: the result with `decimals` decimals and trailing zeros removed
// (runden uses its own), "NA" for a missing result (na is then set), the cell's text for ersetzen where
// the condition does not hold (an unchanged number in the decimals of the result, an empty cell of the
// species part left empty). cellText is the cell as it stands, x its value (kMissing when it is not a
// number). An empty cell of the species part that stays zero stays empty.
std::string formulaCellText(const Formula& formula, std::string_view cellText, double x,
                            const Formula::Neighbour& neighbour, int decimals, bool speciesPart, bool& na);

// The help lines of the formula dialog; the lines about zs, runden and ersetzen only for the table.
std::vector<std::string> formulaHelpLines(bool table);

}  // namespace tav
