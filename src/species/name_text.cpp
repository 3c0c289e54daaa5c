#include "species/name_text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

#include "core/text.h"

namespace tav {

namespace {

// The kinds of addition, in the order of the positions 2 … 7 of the selecting flags.
enum class Kind { B, S, K, Cf, Qs, Free };

struct Addition {
    std::string text;  // trimmed, as written
    Kind kind;
};

Kind classify(std::string_view segment) {
    const std::string folded = upperFold(segment);
    if (folded == "B") return Kind::B;
    if (folded == "S") return Kind::S;
    if (folded == "K") return Kind::K;
    if (folded == "CF" || folded == "CF.") return Kind::Cf;
    if (folded == "QS" || folded == "QS.") return Kind::Qs;
    return Kind::Free;
}

std::string normalForm(const Addition& a) {
    switch (a.kind) {
        case Kind::B:
            return " /B";
        case Kind::S:
            return " /S";
        case Kind::K:
            return " /K";
        case Kind::Cf:
            return " /cf.";
        case Kind::Qs:
            return " /qs.";
        case Kind::Free:
            break;
    }
    return " /" + a.text;
}

// Trimmed segments between the "/"s after the first one. Empty segments ("Abies alba /", "/B//S") carry
// no addition and are dropped, so a stray slash never turns into a bare " /".
std::vector<std::string> segments(std::string_view text) {
    std::vector<std::string> out;
    std::size_t pos = text.find('/');
    while (pos != std::string_view::npos) {
        const std::size_t start = pos + 1;
        pos = text.find('/', start);
        const std::string_view segment = trimBlanks(
            text.substr(start, pos == std::string_view::npos ? std::string_view::npos : pos - start));
        if (!segment.empty()) out.emplace_back(segment);
    }
    return out;
}

std::vector<Addition> additions(std::string_view name) {
    std::vector<Addition> out;
    for (std::string& segment : segments(name)) {
        const Kind kind = classify(segment);
        out.push_back({std::move(segment), kind});
    }
    return out;
}

// Flag strings are padded with blanks where shorter, so a missing position is an unset flag.
bool flagSet(std::string_view flags, std::size_t position) {
    return position >= 1 && position <= flags.size() && flags[position - 1] == '1';
}

// Position of the selecting flag (2 … 7) that names this kind of addition.
std::size_t flagPosition(Kind kind) {
    return static_cast<std::size_t>(kind) + 2;
}

// Words separated by runs of blanks.
std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t pos = 0;
    while (pos < s.size()) {
        while (pos < s.size() && isBlank(s[pos])) ++pos;
        const std::size_t start = pos;
        while (pos < s.size() && !isBlank(s[pos])) ++pos;
        if (pos > start) out.push_back(s.substr(start, pos - start));
    }
    return out;
}

// A search word that is empty or "*" means "any", written "?".
std::string anyIfEmpty(std::string_view w) {
    return w.empty() || w == "*" ? std::string("?") : std::string(w);
}

std::string_view beforeSlash(std::string_view s) {
    return s.substr(0, s.find('/'));
}

}  // namespace

std::string GetZusatz(std::string_view name) {
    std::string out;
    for (const Addition& a : additions(name)) out += normalForm(a);
    return out;
}

bool CheckZusatz(std::string& z, bool checkOn, std::string_view zusatzList) {
    if (!checkOn || z.empty()) return true;
    std::vector<std::string> entries;
    for (FieldReader list(zusatzList); auto field = list.next();) {
        std::string_view entry = trimBlanks(*field);
        // Users sometimes write the entries as they appear in a name ("/B"); a segment never holds a
        // "/", so such an entry could otherwise never match.
        if (!entry.empty() && entry.front() == '/') entry = trimBlanks(entry.substr(1));
        if (!entry.empty()) entries.emplace_back(entry);
    }
    if (entries.empty()) return true;

    std::string rewritten;
    for (const std::string& segment : segments(z)) {
        const std::string folded = upperFold(segment);
        const std::string* match = nullptr;
        for (const std::string& entry : entries) {
            if (upperFold(entry) == folded) {
                match = &entry;
                break;
            }
        }
        if (match == nullptr) return false;
        rewritten += " /" + *match;
    }
    z = std::move(rewritten);
    return true;
}

std::string RmZusatz(std::string_view flags, std::string_view name) {
    const std::size_t slash = name.find('/');
    if (slash == std::string_view::npos) return std::string(name);
    std::string_view head = name.substr(0, slash);
    while (!head.empty() && isBlank(head.back())) head.remove_suffix(1);
    std::string out(head);
    if (flagSet(flags, 1)) return out;
    for (const Addition& a : additions(name)) {
        if (!flagSet(flags, flagPosition(a.kind))) out += normalForm(a);
    }
    return out;
}

bool HasZusatz(std::string_view flags, std::string_view name) {
    const std::vector<Addition> list = additions(name);
    if (list.empty()) return false;
    if (flagSet(flags, 1)) return true;
    for (const Addition& a : list) {
        if (flagSet(flags, flagPosition(a.kind))) return true;
    }
    return false;
}

std::string ZusatzFromFlags(std::string_view flags, int* layers) {
    std::string out;
    if (flagSet(flags, 5)) {
        out += " /qs.";
    } else if (flagSet(flags, 4)) {
        out += " /cf.";
    }
    int count = 0;
    // Herb layer first, tree layer last, the order in which tables show the layers.
    constexpr std::array<std::pair<std::size_t, std::string_view>, 3> kLayers{
        {{3, " /K"}, {2, " /S"}, {1, " /B"}}};
    for (const auto& [position, text] : kLayers) {
        if (flagSet(flags, position)) {
            out += text;
            ++count;
        }
    }
    if (layers != nullptr) *layers = count;
    return out;
}

std::string ZusatzToFlags(std::string_view name, std::string* rest) {
    std::string flags = "000000";
    std::string free;
    for (const Addition& a : additions(name)) {
        // The six setting flags follow the selecting flags 2 … 7 shifted by one.
        flags[flagPosition(a.kind) - 2] = '1';
        if (a.kind == Kind::Free) free += normalForm(a);
    }
    if (rest != nullptr) *rest = std::move(free);
    return flags;
}

std::string DoGetLatPlain(std::string_view s) {
    // Everything from the first "/" on is additions, never part of the name.
    const std::vector<std::string_view> list = words(beforeSlash(s));
    if (list.empty()) return {};
    std::string head(list[0]);
    if (list.size() >= 2) {
        head += ' ';
        head += list[1];
    }
    if (list.size() <= 2) return head;

    // The tail as it stands after the second word, its inner blanks kept, so that a rank word is found
    // at the same character position in the folded and the original text.
    const std::size_t tailStart = static_cast<std::size_t>(list[2].data() - s.data());
    const std::string_view tail = trimBlanks(beforeSlash(s).substr(tailStart));
    const std::string folded = upperFold(tail);

    struct Qualifier {
        std::string_view upper, lower;
    };
    constexpr Qualifier kQualifiers[] = {{"S.STR.", "s.str."}, {"S.L.", "s.l."}, {"AGGR.", "aggr."}};
    for (const Qualifier& q : kQualifiers) {
        if (folded.find(q.upper) == std::string::npos) continue;
        const bool lower = tail.find(q.lower) != std::string_view::npos;
        return head + ' ' + std::string(lower ? q.lower : q.upper);
    }

    std::size_t rank = std::string::npos;
    for (const std::string_view word : {std::string_view("SUBSP."), std::string_view("VAR.")}) {
        rank = std::min(rank, folded.find(word));
    }
    if (rank == std::string::npos) return head;
    const std::string fromRank = charMid(tail, charLength(std::string_view(folded).substr(0, rank)), 100);
    const std::vector<std::string_view> rankWords = words(fromRank);
    for (std::size_t i = 0; i < rankWords.size() && i < 2; ++i) {
        head += ' ';
        head += rankWords[i];
    }
    return head;
}

std::string GetPlainName(std::string_view name) {
    return DoGetLatPlain(name) + GetZusatz(name);
}

SearchWords splitSearchText(std::string_view s) {
    SearchWords out;
    s = beforeSlash(s);
    const std::vector<std::string_view> list = words(s);
    std::string joined;
    for (const std::string_view w : list) joined += w;
    if (joined == "???") {
        out.all = true;
        out.w1 = out.w2 = out.rest = "?";
        return out;
    }
    out.w1 = anyIfEmpty(list.size() > 0 ? list[0] : std::string_view());
    out.w2 = anyIfEmpty(list.size() > 1 ? list[1] : std::string_view());
    std::string rest;
    for (std::size_t i = 2; i < list.size(); ++i) {
        if (!rest.empty()) rest += ' ';
        rest += list[i];
    }
    out.rest = anyIfEmpty(rest);
    return out;
}

void CheckJoker(std::string& s, std::string& t, bool AllowPkt) {
    t.clear();
    std::string_view word = trimBlanks(s);
    // A run of stars at the end is one prefix joker.
    while (!word.empty() && word.back() == '*') word.remove_suffix(1);
    if (word.empty() || word == "?") {
        s = "?";
        return;
    }
    std::size_t split = word.find('*');
    if (split == std::string_view::npos && AllowPkt) split = word.find('.');
    // A splitter with nothing after it is an ordinary character of the prefix ("C." stays "C.").
    if (split != std::string_view::npos && split + 1 < word.size()) {
        const std::string prefix = upperFold(word.substr(0, split));
        t = upperFold(word.substr(split + 1));
        // An empty prefix restricts nothing, which the searches spell "?".
        s = prefix.empty() ? "?" : prefix;
        return;
    }
    s = upperFold(word);
}

}  // namespace tav
