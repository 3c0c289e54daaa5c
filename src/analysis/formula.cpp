#include "analysis/formula.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/numbers.h"
#include "core/text.h"

namespace tav {

namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr int kNoOffset = -999999999;

// The error of an operand that is missing where a number is needed, as the number reader says it.
std::string notANumber(std::string_view text) {
    return "'" + std::string(text) + "' ist kein gültiger Gleitkommawert";
}

bool missing(double v) {
    return std::isnan(v) || isMissing(v);
}

// Every intermediate value passes through a number text of 15 significant digits.
double fifteenDigits(long double v) {
    const double d = static_cast<double>(v);
    if (!std::isfinite(d) || isMissing(d)) return kNan;
    char buf[40];
    const auto written = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, 14);
    double r = kNan;
    std::from_chars(buf, written.ptr, r);
    return r;
}

// A result with d decimals, trailing zeros and point removed. The value is read from its 15-digit text
// in extended precision, so that 999999999.999999 keeps its digits where a double would show …905.
std::string fixedText(double v, int d) {
    char digits[40];
    const auto end =
        std::to_chars(digits, digits + sizeof digits - 1, v, std::chars_format::scientific, 14).ptr;
    *end = '\0';
    const long double x = std::strtold(digits, nullptr);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*Lf", std::clamp(d, 0, 30), x);
    std::string out = buf;
    if (out.find('.') != std::string::npos) {
        while (out.back() == '0') out.pop_back();
        if (out.back() == '.') out.pop_back();
    }
    if (out == "-0") out = "0";
    return out;
}

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

// Lower case as the formula reads it: A–Z and Ä Ö Ü.
std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    replaceAll(out, "\xC3\x84", "\xC3\xA4");
    replaceAll(out, "\xC3\x96", "\xC3\xB6");
    replaceAll(out, "\xC3\x9C", "\xC3\xBC");
    return out;
}

// The operators by their binding: + - loosest, then * /, div, mod, ^.
enum Op : int { kPlus = 1, kMinus, kTimes, kDivide, kDiv, kMod, kPower };
int bindingOf(int op) {
    switch (op) {
        case kPlus:
        case kMinus:
            return 10;
        case kTimes:
        case kDivide:
            return 20;
        case kDiv:
            return 30;
        case kMod:
            return 40;
        default:
            return 50;
    }
}
bool groupsFromTheRight(int op) {
    return op == kDiv || op == kMod;
}

enum Fn : int {
    kParens = 1,
    kAbs,
    kSqrt,
    kLn,
    kLog,
    kExp,
    kRound,
    kSign,
    kPa,
    kSin,
    kCos,
    kTan,
    kCot,
    kAsin,
    kAcos,
    kAtan
};

// The words of the compiled text, longest first where one begins another.
struct Word {
    std::string_view text;
    int fn;
};
constexpr Word kFunctions[] = {{"arcsi", kAsin}, {"arcco", kAcos}, {"arcta", kAtan}, {"round", kRound},
                               {"sqrt", kSqrt},  {"sign", kSign},  {"cota", kCot},   {"abs", kAbs},
                               {"log", kLog},    {"sin", kSin},    {"cos", kCos},    {"tan", kTan},
                               {"ep", kExp},     {"ln", kLn},      {"pa", kPa}};

}  // namespace

class FormulaParser {
  public:
    FormulaParser(std::string_view text, Formula& f) : t_(text), f_(f) {}

    // The whole text as one expression; false with the message in error.
    bool parse(std::string& error) {
        f_.root_ = expression(0, true);
        if (!error_.empty()) {
            error = error_;
            return false;
        }
        if (peek() != End) {
            error = peek() == Comma || peek() == Close ? "Fehler bei den Klammern."
                                                       : "Operator fehlt vor \"" + std::string(rest()) + "\"";
            return false;
        }
        return true;
    }

  private:
    enum Token { End, Number, X, Operator, Function, Zs, Open, Close, Comma, Unknown };

    void skipBlanks() {
        while (pos_ < t_.size() && t_[pos_] == ' ') ++pos_;
    }
    std::string_view rest() const { return t_.substr(std::min(pos_, t_.size())); }

    // The next token without taking it; its operator, function or number in op_/value_ and its length.
    Token peek() {
        skipBlanks();
        len_ = 1;
        if (pos_ >= t_.size()) return End;
        const std::string_view r = rest();
        const char c = r[0];
        if ((c >= '0' && c <= '9') || c == '.') {
            len_ = 0;
            while (len_ < r.size() && ((r[len_] >= '0' && r[len_] <= '9') || r[len_] == '.')) ++len_;
            return Number;
        }
        switch (c) {
            case '+':
                op_ = kPlus;
                return Operator;
            case '-':
                op_ = kMinus;
                return Operator;
            case '*':
                op_ = kTimes;
                return Operator;
            case '/':
                op_ = kDivide;
                return Operator;
            case '^':
                op_ = kPower;
                return Operator;
            case '(':
                return Open;
            case ')':
                return Close;
            case ',':
                return Comma;
            default:
                break;
        }
        if (r.starts_with("div")) {
            len_ = 3;
            op_ = kDiv;
            return Operator;
        }
        if (r.starts_with("mod")) {
            len_ = 3;
            op_ = kMod;
            return Operator;
        }
        if (r.starts_with("zs")) {
            len_ = 2;
            return Zs;
        }
        for (const Word& w : kFunctions)
            if (r.starts_with(w.text)) {
                len_ = w.text.size();
                op_ = w.fn;
                return Function;
            }
        if (c == 'x') return X;
        return Unknown;
    }
    void take() { pos_ += len_; }

    int add(Formula::Node n) {
        f_.nodes_.push_back(n);
        return static_cast<int>(f_.nodes_.size()) - 1;
    }
    int fail(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        return -1;
    }

    // An expression whose operators bind at least as strongly as minBinding. At the start of the formula
    // and after "(" or "," an operator may stand first, with an empty (zero) left operand.
    int expression(int minBinding, bool atStart) {
        int left;
        if (atStart && peek() == Operator) {
            const int op = op_;
            take();
            const int right = expression(bindingOf(op) + (groupsFromTheRight(op) ? 0 : 1), false);
            left = add({Formula::Node::Binary, 0, op, add({Formula::Node::Empty}), right});
        } else {
            left = operand();
        }
        while (error_.empty()) {
            const Token t = peek();
            if (t == Number || t == X || t == Function || t == Zs || t == Open)
                return fail("Operator fehlt vor \"" + std::string(rest()) + "\"");
            if (t != Operator || bindingOf(op_) < minBinding) break;
            const int op = op_;
            take();
            const int right = expression(bindingOf(op) + (groupsFromTheRight(op) ? 0 : 1), false);
            left = add({Formula::Node::Binary, 0, op, left, right});
        }
        return left;
    }

    // The arguments inside parentheses, each an expression of its own.
    std::vector<int> arguments() {
        std::vector<int> args;
        if (peek() != Open) {
            fail("Fehler bei den Klammern.");
            return args;
        }
        take();
        for (;;) {
            args.push_back(expression(0, true));
            if (!error_.empty()) return args;
            const Token t = peek();
            if (t == Comma) {
                take();
                continue;
            }
            if (t != Close) {
                fail("Fehler bei den Klammern.");
                return args;
            }
            take();
            return args;
        }
    }

    int operand() {
        const Token t = peek();
        switch (t) {
            case Number: {
                const std::string_view text = rest().substr(0, len_);
                take();
                const auto v = parseNumber(text);
                if (!v) return fail(notANumber(text));
                return add({Formula::Node::Number, *v});
            }
            case X:
                take();
                return add({Formula::Node::X});
            case Open: {
                const std::vector<int> args = arguments();
                if (!error_.empty()) return -1;
                if (args.size() != 1) return fail(notANumber(""));
                return add({Formula::Node::Function, 0, kParens, args[0]});
            }
            case Function: {
                const int fn = op_;
                take();
                const std::vector<int> args = arguments();
                if (!error_.empty()) return -1;
                if (args.size() != 1) return fail(notANumber(""));
                return add({Formula::Node::Function, 0, fn, args[0]});
            }
            case Zs: {
                take();
                const std::size_t before = f_.nodes_.size();
                const std::vector<int> args = arguments();
                if (!error_.empty()) return -1;
                if (args.size() != 2) return fail("zs(p,q) braucht zwei Zahlen.");
                for (std::size_t i = before; i < f_.nodes_.size(); ++i)
                    if (f_.nodes_[i].type == Formula::Node::X ||
                        f_.nodes_[i].type == Formula::Node::Neighbour)
                        return fail("zs(p,q) braucht zwei Zahlen.");
                f_.usesNeighbours_ = true;
                return add({Formula::Node::Neighbour, 0, 0, args[0], args[1]});
            }
            case Unknown:
                return fail("Unbekannte Zeichen: " + std::string(rest()));
            default:
                // An operator where an operand belongs, a closing parenthesis or the end: the operand is
                // empty, which no number reader accepts.
                return fail(notANumber(""));
        }
    }

    std::string_view t_;
    Formula& f_;
    std::size_t pos_ = 0, len_ = 0;
    int op_ = 0;
    std::string error_;
};

namespace {

// The condition of ersetzen: x compared with a number (on either side), or a range.
bool parseCondition(std::string condition, bool& absolute, bool& range, bool& orEqual, bool& xLeft,
                    char& compare, double& low, double& high) {
    replaceAll(condition, "(", "");
    replaceAll(condition, ")", "");
    absolute = condition.find("abs") != std::string::npos;
    replaceAll(condition, "abs", "");
    const bool greater = condition.find('>') != std::string::npos;
    const bool less = condition.find('<') != std::string::npos;
    orEqual = condition.find('=') != std::string::npos;
    range = condition.find("..") != std::string::npos;
    replaceAll(condition, "..", "=");
    replaceAll(condition, ">", "=");
    replaceAll(condition, "<", "=");
    while (condition.find("==") != std::string::npos) replaceAll(condition, "==", "=");
    const std::vector<std::string> parts = splitFields(condition, "=");
    if (range) {
        if (parts.size() != 3 || parts[0] != "x") return false;
        const auto p = parseNumber(parts[1]), q = parseNumber(parts[2]);
        if (!p || !q) return false;
        low = *p;
        high = *q;
        return true;
    }
    if (!greater && !less && !orEqual) return false;
    if (parts.size() != 2 || (parts[0] == "x") == (parts[1] == "x")) return false;
    xLeft = parts[0] == "x";
    const auto q = parseNumber(xLeft ? parts[1] : parts[0]);
    if (!q) return false;
    low = *q;
    compare = greater ? '>' : less ? '<' : '=';
    return true;
}

}  // namespace

std::optional<Formula> Formula::compile(std::string_view text, std::string& error, std::string* normalized) {
    error.clear();
    std::string t(text);
    if (t.empty()) t = " ";
    if (t.starts_with('=')) t.erase(0, 1);
    t.erase(0, t.find_first_not_of(' ') == std::string::npos ? t.size() : t.find_first_not_of(' '));
    // A quoted replacement text stays as it was typed; the rest is read in lower case, with the function
    // names in their short spelling.
    const std::size_t quote = t.find_first_of("'\"");
    const std::size_t lastQuote = t.find_last_of("'\"");
    const std::string quoted =
        quote == std::string::npos ? std::string() : t.substr(quote, lastQuote - quote + 1);
    auto normal = [](std::string part) {
        part = lowered(part);
        for (const auto& [from, to] : {std::pair<std::string_view, std::string_view>{"exp", "ep"},
                                       {"cotan", "cota"},
                                       {"arcsin", "arcsi"},
                                       {"asin", "arcsi"},
                                       {"arccos", "arcco"},
                                       {"acos", "arcco"},
                                       {"arctan", "arcta"},
                                       {"atan", "arcta"}})
            replaceAll(part, from, to);
        return part;
    };
    const std::string head = normal(t.substr(0, quote));
    const std::string tail = quote == std::string::npos ? std::string() : normal(t.substr(lastQuote + 1));
    if (normalized) *normalized = head + quoted + tail;

    const std::string outside = head + tail;
    if (std::count(outside.begin(), outside.end(), '(') != std::count(outside.begin(), outside.end(), ')'))
        error = "Fehler bei den Klammern.";
    std::string left = outside;
    for (std::string_view word :
         {"x",      "zs",       "+",     "-",    "*",  "/",   "^",   "div", "mod",  "abs",   "sqrt",  "ln",
          "log",    "ep",       "round", "sign", "pa", "sin", "cos", "tan", "cota", "arcsi", "arcco", "arcta",
          "runden", "ersetzen", ">",     "=",    "<",  "(",   ")",   " ",   ".",    ","})
        replaceAll(left, word, "");
    left.erase(std::remove_if(left.begin(), left.end(), [](char c) { return c >= '0' && c <= '9'; }),
               left.end());
    if (!left.empty() && quoted.empty()) error = "Unbekannte Zeichen: " + left;
    if (!error.empty()) return std::nullopt;

    Formula f;
    std::string compact = head;
    replaceAll(compact, " ", "");
    std::string compactTail = tail;
    replaceAll(compactTail, " ", "");
    if (compact.find("runden") != std::string::npos) {
        std::string n = compact;
        n.erase(n.find("runden"), 6);
        if (const auto o = n.find('('); o != std::string::npos) n.erase(o, 1);
        if (const auto c = n.find(')'); c != std::string::npos) n.erase(c, 1);
        const auto decimals = parseInteger(n);
        if (!decimals || *decimals < 0 || !quoted.empty() || !compact.starts_with("runden(") ||
            !compact.ends_with(")")) {
            error = "Ungültige Zahl.";
            return std::nullopt;
        }
        f.kind_ = Kind::Round;
        f.decimals_ = static_cast<int>(std::min<std::int64_t>(*decimals, 15));
        return f;
    }
    if (compact.find("ersetzen") != std::string::npos) {
        const std::string whole = compact + quoted + compactTail;
        if (!compact.starts_with("ersetzen(") || !whole.ends_with(")")) {
            error = "ersetzen(Fx,y) steht nur als ganze Formel.";
            return std::nullopt;
        }
        const std::string inner = whole.substr(9, whole.size() - 10);
        const std::size_t comma = inner.find(',');
        if (comma == std::string::npos) {
            error = "Ungültige Bedingung: " + inner;
            return std::nullopt;
        }
        const std::string condition = inner.substr(0, comma);
        std::string y = inner.substr(comma + 1);
        if (!parseCondition(condition, f.absolute_, f.range_, f.orEqual_, f.xLeft_, f.compare_, f.low_,
                            f.high_)) {
            error = "Ungültige Bedingung: " + condition;
            return std::nullopt;
        }
        f.kind_ = Kind::Replace;
        if (!y.empty() && (y[0] == '\'' || y[0] == '"')) {
            const std::size_t close = y.rfind(y[0]);
            f.textResult_ = true;
            f.replacement_ = close > 0 ? y.substr(1, close - 1) : y.substr(1);
            std::erase_if(f.replacement_, [](char c) { return c == '\'' || c == '"'; });
            return f;
        }
        replaceAll(y, "(", "");
        replaceAll(y, ")", "");
        if (!parseNumber(y)) {
            error = "Ungültige Zahl.";
            return std::nullopt;
        }
        f.replacement_ = y;
        return f;
    }
    if (!quoted.empty()) {
        error = "Unbekannte Zeichen: " + quoted;
        return std::nullopt;
    }
    FormulaParser parser(compact, f);
    if (!parser.parse(error)) return std::nullopt;
    return f;
}

double Formula::eval(int node, double x, const Neighbour& neighbour) const {
    const Node& n = nodes_[static_cast<std::size_t>(node)];
    switch (n.type) {
        case Node::Number:
            return fifteenDigits(n.value);
        case Node::X:
            return missing(x) ? kNan : fifteenDigits(x);
        case Node::Empty:
            return 0;
        case Node::Neighbour: {
            auto offset = [&](int arg) {
                const double v = eval(arg, x, neighbour);
                if (missing(v) || v != std::trunc(v) || std::fabs(v) > 1e9) return kNoOffset;
                return static_cast<int>(v);
            };
            const int rows = offset(n.a), columns = offset(n.b);
            if (!neighbour) return kNan;
            const double v = neighbour(rows, columns);
            return missing(v) ? kNan : fifteenDigits(v);
        }
        case Node::Function: {
            const double av = eval(n.a, x, neighbour);
            if (missing(av)) return kNan;
            const long double a = av;
            switch (n.op) {
                case kParens:
                    return av;
                case kAbs:
                    return fifteenDigits(std::fabs(a));
                case kSqrt:
                    return a < 0 ? kNan : fifteenDigits(std::sqrt(a));
                case kLn:
                    return a <= 0 ? kNan : fifteenDigits(std::log(a));
                case kLog:
                    return a <= 0 ? kNan : fifteenDigits(std::log(a) / std::log(10.0L));
                case kExp:
                    return fifteenDigits(std::exp(a));
                case kRound:
                    return fifteenDigits(std::nearbyint(a));
                case kSign:
                    return a > 0 ? 1 : a < 0 ? -1 : 0;
                case kPa:
                    return a > 0 ? 1 : 0;
                case kSin:
                    return fifteenDigits(std::sin(a));
                case kCos:
                    return fifteenDigits(std::cos(a));
                case kTan:
                    return fifteenDigits(std::tan(a));
                case kCot:
                    return fifteenDigits(std::cos(a) / std::sin(a));
                case kAsin:
                    return a < -1 || a > 1 ? kNan : fifteenDigits(std::asin(a));
                case kAcos:
                    return a < -1 || a > 1 ? kNan : fifteenDigits(std::acos(a));
                case kAtan:
                    return fifteenDigits(std::atan(a));
                default:
                    return kNan;
            }
        }
        case Node::Binary: {
            const double av = eval(n.a, x, neighbour), bv = eval(n.b, x, neighbour);
            if (missing(av) || missing(bv)) return kNan;
            const long double a = av, b = bv;
            switch (n.op) {
                case kPlus:
                    return fifteenDigits(a + b);
                case kMinus:
                    return fifteenDigits(a - b);
                case kTimes:
                    return fifteenDigits(a * b);
                case kDivide:
                    return b == 0 ? kNan : fifteenDigits(a / b);
                case kDiv:
                    return b == 0 ? kNan : fifteenDigits(std::trunc(a / b));
                case kMod:
                    return b == 0 ? kNan : fifteenDigits(a - b * std::trunc(a / b));
                case kPower: {
                    if (b > 0 && b == std::trunc(b)) {
                        // By squaring: a huge whole exponent takes a few dozen steps, not b of them.
                        long double result = 1, base = a;
                        for (long double e = b; e >= 1 && std::isfinite(static_cast<double>(result));) {
                            const long double half = std::floor(e / 2);
                            if (e - 2 * half >= 1) result *= base;
                            base *= base;
                            e = half;
                        }
                        return fifteenDigits(result);
                    }
                    if (a > 0) return fifteenDigits(std::exp(b * std::log(a)));
                    if (a == 0) return b < 0 ? kNan : 0;
                    return kNan;
                }
                default:
                    return kNan;
            }
        }
    }
    return kNan;
}

double Formula::evaluate(double x, const Neighbour& neighbour) const {
    if (kind_ != Kind::Arithmetic || root_ < 0) return kMissing;
    const double v = eval(root_, x, neighbour);
    return missing(v) ? kMissing : v;
}

bool Formula::conditionHolds(double v) const {
    if (kind_ != Kind::Replace || missing(v)) return false;
    if (absolute_) v = std::fabs(v);
    if (range_) return orEqual_ ? low_ <= v && v <= high_ : low_ < v && v < high_;
    const double l = xLeft_ ? v : low_, r = xLeft_ ? low_ : v;
    switch (compare_) {
        case '<':
            return orEqual_ ? l <= r : l < r;
        case '>':
            return orEqual_ ? l >= r : l > r;
        default:
            return l == r;
    }
}

std::string formulaCellText(const Formula& f, std::string_view cellText, double x,
                            const Formula::Neighbour& neighbour, int decimals, bool speciesPart, bool& na) {
    na = false;
    const bool emptyCell = trimBlanks(cellText).empty();
    auto numberText = [&](double v, int d) -> std::string {
        if (missing(v)) {
            na = true;
            return "NA";
        }
        if (speciesPart && emptyCell && v == 0) return std::string(cellText);
        return fixedText(v, d);
    };
    switch (f.kind()) {
        case Formula::Kind::Round:
            return numberText(missing(x) ? kNan : x, f.roundDecimals());
        case Formula::Kind::Replace: {
            if (missing(x)) {
                if (f.textResult()) return std::string(cellText);
                na = true;
                return "NA";
            }
            if (f.conditionHolds(x))
                return f.textResult() ? f.replacement() : numberText(*parseNumber(f.replacement()), decimals);
            if (f.textResult()) return std::string(cellText);
            return numberText(x, decimals);
        }
        case Formula::Kind::Arithmetic:
            break;
    }
    return numberText(f.evaluate(x, neighbour), decimals);
}

std::vector<std::string> formulaHelpLines(bool table) {
    std::vector<std::string> lines{"x = aktueller Feldinhalt"};
    if (table) lines.push_back("zs(p,q)   [z.B. zs(-1,-1) = Feld darüber links]");
    for (const char* l : {"", "Kombinierbare Operatoren und Funktionen:", "+  -  *  /  ^  div  mod",
                          "abs()  sqrt()  ln()  log()  exp()  round()  sign()  pa()",
                          "sin()  cos()  tan()  cotan()  asin()  acos()  atan()"})
        lines.emplace_back(l);
    if (table)
        for (const char* l : {"", "Einzelfunktionen:", "runden ( n )            ( n = Dezimalstellen )",
                              "ersetzen ( Fx , y )", "    Wenn Fx zutrifft, wird y eingesetzt.",
                              "    y = Zahl oder \"y\" = Text", "    Fx kann sein:",
                              "        x<q   x<=q   x=q   x>q   x>=q", "        abs(x)<q   abs(x)<=q   etc.",
                              "        x = p .. q (im Bereich inkl.)  x < p .. q (exkl.)"})
            lines.emplace_back(l);
    return lines;
}

}  // namespace tav
