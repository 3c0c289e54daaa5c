#include "species/record_filter.h"

#include <utility>

#include "core/numbers.h"
#include "core/text.h"

namespace tav {

namespace {

// Parentheses and NOT nest; a bound keeps hostile input from exhausting the stack.
constexpr int kMaxDepth = 200;

enum class Tok { End, Name, Number, Text, Op, Open, Close, And, Or, Xor, Not };

struct Token {
    Tok kind = Tok::End;
    std::size_t pos = 0;  // byte offset in the condition
    std::string text;     // names and texts unquoted; numbers and operators as written
    RecordFilter::Op op = RecordFilter::Op::Eq;
    double number = 0;
};

bool isAsciiLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
// Non-ASCII bytes count as letters, so names with umlauts need no quotes.
bool startsName(unsigned char c) {
    return isAsciiLetter(c) || c == '_' || c >= 0x80;
}
bool continuesName(unsigned char c) {
    return startsName(c) || isDigit(c) || c == '.';
}

std::string asciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
    return out;
}

RecordFilter::Op mirrored(RecordFilter::Op op) {
    using Op = RecordFilter::Op;
    switch (op) {
        case Op::Lt:
            return Op::Gt;
        case Op::Gt:
            return Op::Lt;
        case Op::Le:
            return Op::Ge;
        case Op::Ge:
            return Op::Le;
        default:
            return op;
    }
}

template <class T>
bool holds(RecordFilter::Op op, const T& a, const T& b) {
    using Op = RecordFilter::Op;
    switch (op) {
        case Op::Eq:
            return a == b;
        case Op::Ne:
            return a != b;
        case Op::Lt:
            return a < b;
        case Op::Gt:
            return a > b;
        case Op::Le:
            return a <= b;
        case Op::Ge:
            return a >= b;
    }
    return false;
}

}  // namespace

class FilterParser {
  public:
    FilterParser(RecordFilter& out, std::string_view text,
                 const std::function<int(std::string_view)>& fieldOf, const std::vector<FieldType>& types)
        : out_(out), text_(text), fieldOf_(fieldOf), types_(types) {}

    bool run(std::string& error) {
        if (!advance()) return fail(error);
        if (tok_.kind == Tok::End) return true;  // blank: no filter
        const int root = expr(0);
        if (root < 0) return fail(error);
        if (tok_.kind != Tok::End) {
            unexpected();
            return fail(error);
        }
        out_.root_ = root;
        return true;
    }

  private:
    using Node = RecordFilter::Node;
    using Kind = RecordFilter::Kind;

    bool fail(std::string& error) {
        error = message_;
        out_.nodes_.clear();
        out_.root_ = -1;
        return false;
    }

    // Positions for the user count characters from 1, not bytes.
    std::string where(std::size_t bytePos) const {
        return "an Position " + std::to_string(charLength(text_.substr(0, bytePos)) + 1);
    }
    int error(std::string message) {
        if (message_.empty()) message_ = std::move(message);
        return -1;
    }
    int unexpected() {
        if (tok_.kind == Tok::End) return error("Die Bedingung endet unerwartet");
        return error("Unerwartet " + where(tok_.pos) + ": " +
                     std::string(text_.substr(tok_.pos, tokEnd_ - tok_.pos)));
    }

    int add(Node n) {
        out_.nodes_.push_back(std::move(n));
        return static_cast<int>(out_.nodes_.size()) - 1;
    }

    int expr(int depth) {
        const int first = term(depth);
        if (first < 0) return -1;
        if (tok_.kind != Tok::Or && tok_.kind != Tok::Xor) return first;
        Node chain;
        chain.kind = Kind::Any;
        chain.kids.push_back(first);
        chain.xors.push_back(false);
        while (tok_.kind == Tok::Or || tok_.kind == Tok::Xor) {
            const bool isXor = tok_.kind == Tok::Xor;
            if (!advance()) return -1;
            const int next = term(depth);
            if (next < 0) return -1;
            chain.kids.push_back(next);
            chain.xors.push_back(isXor);
        }
        return add(std::move(chain));
    }

    int term(int depth) {
        const int first = factor(depth);
        if (first < 0) return -1;
        if (tok_.kind != Tok::And) return first;
        Node chain;
        chain.kind = Kind::All;
        chain.kids.push_back(first);
        while (tok_.kind == Tok::And) {
            if (!advance()) return -1;
            const int next = factor(depth);
            if (next < 0) return -1;
            chain.kids.push_back(next);
        }
        return add(std::move(chain));
    }

    int factor(int depth) {
        if (depth >= kMaxDepth) return error("Die Bedingung ist zu tief geschachtelt");
        if (tok_.kind == Tok::Not) {
            if (!advance()) return -1;
            const int inner = factor(depth + 1);
            if (inner < 0) return -1;
            Node n;
            n.kind = Kind::Not;
            n.kids.push_back(inner);
            return add(std::move(n));
        }
        if (tok_.kind == Tok::Open) {
            const std::size_t open = tok_.pos;
            if (!advance()) return -1;
            const int inner = expr(depth + 1);
            if (inner < 0) return -1;
            if (tok_.kind != Tok::Close) {
                if (tok_.kind == Tok::End)
                    return error("Zur Klammer " + where(open) + " fehlt die schließende");
                return unexpected();
            }
            if (!advance()) return -1;
            return inner;
        }
        return comparison();
    }

    int comparison() {
        const bool fieldFirst = tok_.kind == Tok::Name;
        if (!fieldFirst && tok_.kind != Tok::Number && tok_.kind != Tok::Text) return unexpected();
        const Token first = tok_;
        if (!advance()) return -1;
        if (tok_.kind != Tok::Op) {
            if (tok_.kind == Tok::End) return error("Vergleich erwartet am Ende der Bedingung");
            return error("Vergleich (=, <>, <, >, <=, >=) erwartet " + where(tok_.pos));
        }
        const RecordFilter::Op op = tok_.op;
        if (!advance()) return -1;
        const Token second = tok_;
        if (fieldFirst ? (second.kind != Tok::Number && second.kind != Tok::Text)
                       : second.kind != Tok::Name) {
            if (second.kind == Tok::End) return error("Die Bedingung endet unerwartet");
            return error(std::string(fieldFirst ? "Zahl oder Text" : "Feldname") + " erwartet " +
                         where(second.pos));
        }
        if (!advance()) return -1;
        const Token& name = fieldFirst ? first : second;
        const Token& constant = fieldFirst ? second : first;
        Node n;
        n.field = fieldOf_(name.text);
        if (n.field < 0 || n.field >= static_cast<int>(types_.size()))
            return error("Unbekanntes Feld \"" + name.text + "\" " + where(name.pos));
        n.op = fieldFirst ? op : mirrored(op);
        const FieldType type = types_[static_cast<std::size_t>(n.field)];
        n.numeric = constant.kind == Tok::Number && type != FieldType::String;
        if (n.numeric) {
            n.numberValue = constant.number;
            if (auto i = parseInteger(constant.text)) {
                n.integral = true;
                n.integerValue = *i;
            }
        }
        n.folded = upperFold(constant.text);
        return add(std::move(n));
    }

    // ---- tokens

    bool advance() {
        if (!message_.empty()) return false;
        std::size_t p = next_;
        while (p < text_.size() &&
               (text_[p] == ' ' || text_[p] == '\t' || text_[p] == '\r' || text_[p] == '\n'))
            ++p;
        tok_ = Token{};
        tok_.pos = p;
        if (p >= text_.size()) {
            tok_.kind = Tok::End;
            tokEnd_ = next_ = p;
            return true;
        }
        const auto at = [&](std::size_t i) -> unsigned char {
            return i < text_.size() ? static_cast<unsigned char>(text_[i]) : 0;
        };
        const unsigned char c = at(p);
        std::size_t end = p + 1;
        if (c == '(' || c == ')') {
            tok_.kind = c == '(' ? Tok::Open : Tok::Close;
        } else if (c == '=' || c == '<' || c == '>' || (c == '!' && at(p + 1) == '=')) {
            tok_.kind = Tok::Op;
            using Op = RecordFilter::Op;
            const unsigned char d = at(p + 1);
            if (c == '=') {
                tok_.op = Op::Eq;
            } else if (c == '!') {
                tok_.op = Op::Ne, end = p + 2;
            } else if (c == '<' && d == '>') {
                tok_.op = Op::Ne, end = p + 2;
            } else if (d == '=') {
                tok_.op = c == '<' ? Op::Le : Op::Ge, end = p + 2;
            } else {
                tok_.op = c == '<' ? Op::Lt : Op::Gt;
            }
        } else if (c == '\'' || c == '"') {
            // Quoted text or name: a doubled quote stands for one.
            tok_.kind = c == '\'' ? Tok::Text : Tok::Name;
            for (;;) {
                if (end >= text_.size()) {
                    message_ = std::string(c == '\'' ? "Dem Text " : "Dem Feldnamen ") + where(p) +
                               " fehlt das schließende Anführungszeichen";
                    return false;
                }
                if (at(end) == c) {
                    if (at(end + 1) != c) break;
                    ++end;
                }
                tok_.text.push_back(text_[end]);
                ++end;
            }
            ++end;
        } else if (isDigit(c) ||
                   ((c == '.' || c == '+' || c == '-') &&
                    (isDigit(at(p + 1)) || (c != '.' && at(p + 1) == '.' && isDigit(at(p + 2)))))) {
            if (c == '+' || c == '-') ++end;
            while (isDigit(at(end)) || at(end) == '.') ++end;
            if ((at(end) == 'e' || at(end) == 'E') &&
                (isDigit(at(end + 1)) ||
                 ((at(end + 1) == '+' || at(end + 1) == '-') && isDigit(at(end + 2))))) {
                end += 2;
                while (isDigit(at(end))) ++end;
            }
            // "12abc" is one wrong word, not a number followed by a name.
            while (continuesName(at(end))) ++end;
            tok_.kind = Tok::Number;
            tok_.text = std::string(text_.substr(p, end - p));
            const auto value = parseNumber(tok_.text);
            if (!value) {
                message_ = "Keine gültige Zahl " + where(p) + ": " + tok_.text;
                return false;
            }
            tok_.number = *value;
        } else if (startsName(c)) {
            while (continuesName(at(end))) ++end;
            tok_.text = std::string(text_.substr(p, end - p));
            const std::string upper = asciiUpper(tok_.text);
            tok_.kind = upper == "AND"   ? Tok::And
                        : upper == "OR"  ? Tok::Or
                        : upper == "XOR" ? Tok::Xor
                        : upper == "NOT" ? Tok::Not
                                         : Tok::Name;
        } else {
            std::size_t q = p;
            nextCodePoint(text_, q);
            message_ = "Unerwartetes Zeichen " + where(p) + ": " + std::string(text_.substr(p, q - p));
            return false;
        }
        tokEnd_ = next_ = end;
        return true;
    }

    RecordFilter& out_;
    std::string_view text_;
    const std::function<int(std::string_view)>& fieldOf_;
    const std::vector<FieldType>& types_;
    Token tok_;
    std::size_t next_ = 0;    // where the next token starts looking
    std::size_t tokEnd_ = 0;  // end of the current token
    std::string message_;
};

bool RecordFilter::parse(std::string_view condition, const std::function<int(std::string_view)>& fieldOf,
                         const std::vector<FieldType>& fieldTypes, std::string& error) {
    nodes_.clear();
    root_ = -1;
    FilterParser parser(*this, condition, fieldOf, fieldTypes);
    return parser.run(error);
}

bool RecordFilter::passes(int row, const FilterValues& values) const {
    if (nodes_.empty()) return true;
    std::string scratch;
    return evaluate(root_, row, values, scratch);
}

bool RecordFilter::evaluate(int node, int row, const FilterValues& values, std::string& scratch) const {
    const Node& n = nodes_[static_cast<std::size_t>(node)];
    switch (n.kind) {
        case Kind::Compare:
            return compare(n, row, values, scratch);
        case Kind::Not:
            return !evaluate(n.kids[0], row, values, scratch);
        case Kind::All:
            for (int kid : n.kids)
                if (!evaluate(kid, row, values, scratch)) return false;
            return true;
        case Kind::Any: {
            bool result = evaluate(n.kids[0], row, values, scratch);
            for (std::size_t i = 1; i < n.kids.size(); ++i) {
                if (n.xors[i]) {
                    result = result != evaluate(n.kids[i], row, values, scratch);
                } else if (!result) {
                    result = evaluate(n.kids[i], row, values, scratch);
                }
            }
            return result;
        }
    }
    return false;
}

bool RecordFilter::compare(const Node& n, int row, const FilterValues& values, std::string& scratch) const {
    if (n.numeric) {
        // An empty value is no number: every numeric comparison with it fails, "<>" included.
        if (values.isEmpty(row, n.field)) return false;
        if (n.integral && values.fieldType(n.field) == FieldType::Integer) {
            const auto v = values.integer(row, n.field);
            return v && holds(n.op, *v, n.integerValue);
        }
        const auto v = values.number(row, n.field);
        return v && holds(n.op, *v, n.numberValue);
    }
    // string_view compares bytes as unsigned values, which orders UTF-8 by code point.
    const std::string_view value = values.foldedText(row, n.field, scratch);
    return holds(n.op, value, std::string_view(n.folded));
}

}  // namespace tav
