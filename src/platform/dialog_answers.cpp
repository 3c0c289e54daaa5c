#include "platform/dialog_answers.h"

#include <algorithm>

#include "core/numbers.h"
#include "core/text.h"

namespace tav {

namespace {

std::string withoutChar(std::string_view s, char c) {
    std::string out;
    for (char ch : s)
        if (ch != c) out += ch;
    return out;
}

TokenAnswer refuse(std::string why) {
    return {std::nullopt, std::move(why)};
}
TokenAnswer accept(std::string answer) {
    return {std::move(answer), {}};
}

// Builds "<before>\"<token>\"<after>" by appending. GCC 12 at -O3 warns falsely (-Wrestrict) on
// `"literal" + std::string(...)`; appending to one string avoids that pattern.
std::string quoted(std::string_view before, std::string_view token, std::string_view after) {
    std::string s;
    s.reserve(before.size() + token.size() + after.size() + 2);
    s.append(before).append(1, '"').append(token).append(1, '"').append(after);
    return s;
}

// The first item of [from, to) that the token names: by its text, or by its 0-based number when no text
// matches and the token is a plain number.
int findItem(const std::vector<std::string>& items, int from, int to, std::string_view token) {
    for (int i = from; i < to; ++i)
        if (matchesItem(token, items[i])) return i - from;
    if (auto n = parseInteger(token); n && *n >= 0 && *n < to - from) return static_cast<int>(*n);
    return -1;
}

std::string flagsFor(const std::vector<std::string>& items, int from, int to, std::string_view token) {
    std::string flags;
    for (int i = from; i < to; ++i) flags += matchesItem(token, items[i]) ? '1' : '0';
    return flags;
}

bool isFlagString(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == '0' || c == '1' || c == ' '; });
}

}  // namespace

bool matchesItem(std::string_view token, std::string_view item) {
    const std::string it = upperFold(withoutChar(item, '&'));
    std::string tok = upperFold(token);
    if (tok.empty()) return false;
    const bool amp = tok.find('&') != std::string::npos;
    if (!amp && (it.empty() || it.front() != tok.front())) return false;
    if (amp) return it == withoutChar(tok, '&');
    const std::size_t star = tok.find('*');
    if (star != std::string::npos) {
        const std::string rest = tok.substr(star + 1);
        return rest.empty() || (star <= it.size() && it.find(rest, star) != std::string::npos);
    }
    return it.compare(0, tok.size(), tok) == 0;
}

std::string CleanAnswer(std::string_view token) {
    std::string s(token);
    std::replace(s.begin(), s.end(), '\'', '"');
    const std::size_t first = s.find('"');
    if (first != std::string::npos) {
        const std::size_t second = s.find('"', first + 1);
        s = s.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    }
    return withoutChar(s, '"');
}

TokenAnswer answerFromToken(const DialogRequest& r, std::string_view token) {
    const auto& items = r.items;
    const int n = static_cast<int>(items.size());
    const int g1 = r.firstGroupSize;
    switch (r.kind) {
        case DialogKind::Radio:
        case DialogKind::Buttons: {
            if (r.kind == DialogKind::Buttons && (token == "OK" || token == "ok")) return accept("-1");
            if (!token.empty() && token.front() == '#') {
                const std::size_t one = token.find('1');
                if (one == std::string_view::npos || static_cast<int>(one) - 1 >= n)
                    return refuse(quoted("the flags ", token, " choose no item"));
                return accept(std::to_string(one - 1));
            }
            const int i = findItem(items, 0, n, token);
            if (i < 0) return refuse(quoted("", token, " names no item"));
            return accept(std::to_string(i));
        }
        case DialogKind::Check:
        case DialogKind::DCheck: {
            if (!token.empty() && token.front() == '#') {
                std::string flags = withoutChar(token, '#');
                if (static_cast<int>(flags.size()) > n || !isFlagString(flags))
                    return refuse(quoted("", token, " is not a flag string for ") + std::to_string(n) +
                                  " items");
                flags.resize(static_cast<std::size_t>(n), ' ');
                return accept(flags);
            }
            // Two groups are matched each on its own; a plain check dialog is one group.
            const int split = r.kind == DialogKind::DCheck ? g1 : n;
            return accept(flagsFor(items, 0, split, token) + flagsFor(items, split, n, token));
        }
        case DialogKind::DRadio: {
            int i1, i2;
            if (!token.empty() && token.front() == '#') {
                const std::string flags = withoutChar(token, '#');
                const std::size_t first = flags.find('1'), last = flags.rfind('1');
                if (first == std::string::npos) return refuse(quoted("the flags ", token, " choose no item"));
                i1 = static_cast<int>(first);
                i2 = static_cast<int>(last) - g1;
            } else {
                i1 = findItem(items, 0, g1, token);
                i2 = findItem(items, g1, n, token);
            }
            if (i1 < 0 || i1 >= g1 || i2 < 0 || i2 >= n - g1)
                return refuse(quoted("", token, " does not choose an item in both groups"));
            return accept(std::to_string(i1 + 100 * i2));
        }
        case DialogKind::List: {
            // 1-based line numbers, comma-separated.
            std::string out;
            std::size_t start = 0;
            for (;;) {
                const std::size_t comma = token.find(',', start);
                const std::string_view piece =
                    trimBlanks(token.substr(start, comma == std::string_view::npos ? comma : comma - start));
                const auto k = parseInteger(piece);
                if (!k || *k < 1 || *k > n)
                    return refuse(quoted("line ", piece, " is not a line from 1 to ") + std::to_string(n));
                if (!r.multi && !out.empty()) return refuse("only one line can be chosen");
                if (!out.empty()) out += ',';
                out += std::to_string(*k - 1);
                if (comma == std::string_view::npos) break;
                start = comma + 1;
            }
            return accept(out);
        }
        case DialogKind::OpenFile:
        case DialogKind::SaveFile:
        case DialogKind::Folder: {
            // Blanks separate several names; "*" stands for a blank inside a name.
            std::string out;
            std::size_t start = 0;
            while (start < token.size()) {
                std::size_t blank = token.find(' ', start);
                if (blank == std::string_view::npos) blank = token.size();
                if (blank > start) {
                    std::string name(token.substr(start, blank - start));
                    std::replace(name.begin(), name.end(), '*', ' ');
                    if (!out.empty()) {
                        if (!(r.kind == DialogKind::OpenFile && r.multi))
                            return refuse("only one name can be given");
                        out += '|';
                    }
                    out += name;
                }
                start = blank + 1;
            }
            if (out.empty()) return refuse("no file name given");
            return accept(out);
        }
        case DialogKind::YesNoCancel:
        case DialogKind::YesNoCancelAll: {
            const std::string t = upperFold(trimBlanks(token));
            const char c = t.empty() ? ' ' : t.front();
            if (c == 'Y' || c == 'J') return accept("Y");
            if (c == 'N') return accept("N");
            if (c == 'C' || c == 'X') return accept("C");
            if (c == 'A' && r.kind == DialogKind::YesNoCancelAll) return accept("A");
            return refuse(quoted("", token, " is no answer to a yes/no question"));
        }
        case DialogKind::Text:
            return accept(CleanAnswer(token));
        case DialogKind::Combo:
        case DialogKind::Input:
        case DialogKind::Memo:
        case DialogKind::Grid:
            return accept(std::string(token));
    }
    return refuse("unknown dialog");
}

}  // namespace tav
