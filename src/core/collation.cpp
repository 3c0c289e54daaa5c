// compareText: the order of every sorted list of names.
//
// Each character becomes one or two collation units (ß gives "s","s"). A unit has three weights:
//   primary   – the lower-case base letter (Ä, á, å → a), or the character itself for anything else, so
//               digits, blanks and punctuation keep their ASCII order and sort before letters;
//   secondary – 0 for a plain letter, otherwise the code point of the lower-case accented letter, so
//               "Muller" < "Müller" and "Strasse" < "Straße";
//   tertiary  – 0 for lower case, 1 for upper case.
// Strings compare by the primary units first, then by the first differing secondary weight, then by the
// first differing tertiary weight, and at last by their bytes, which makes the order strict.
// All three levels are gathered in one pass without allocation; ASCII text takes a shorter path still.

#include <cstdint>

#include "core/text.h"

namespace tav {

namespace {

struct Unit {
    char32_t primary = 0;
    std::uint16_t secondary = 0;
    std::uint8_t tertiary = 0;
};

// Base letters of U+00C0…U+017F. Digits stand for two-letter expansions, '.' for a non-letter.
constexpr char kLatin1Base[] =
    "aaaaaa1ceeeeiiiidnooooo.ouuuuy23"   // U+00C0…U+00DF
    "aaaaaa1ceeeeiiiidnooooo.ouuuuy2y";  // U+00E0…U+00FF
constexpr char kLatinExtABase[] =
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii44jjkkk"                 // U+0100…U+0138
    "llllllllllnnnnnnnnnoooooo55rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";  // U+0139…U+017F
static_assert(sizeof(kLatin1Base) - 1 == 0x40);
static_assert(sizeof(kLatinExtABase) - 1 == 0x80);

constexpr const char* kExpansions[] = {"ae", "th", "ss", "ij", "oe"};  // for the digits '1' … '5'

// Upper case and the lower-case partner of a Latin Extended-A letter. The block pairs upper and lower
// case in neighbouring code points, with the pairing shifting by one where unpaired letters sit.
struct CaseInfo {
    bool upper;
    char32_t lower;
};

CaseInfo latinExtACase(char32_t c) {
    if (c == 0x130) return {true, 0x130};  // İ: its lower case is i plus a dot, not ı
    if (c == 0x138 || c == 0x149 || c == 0x17F) return {false, c};
    if (c == 0x178) return {true, 0xFF};  // Ÿ pairs with ÿ in Latin-1
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    const bool upper = ((c & 1) != 0) == oddUpper;
    return {upper, upper ? c + 1 : c};
}

// Units of a non-ASCII character; returns how many (1 or 2).
int collationUnits(char32_t c, Unit out[2]) {
    char base = '.';
    bool upper = false;
    char32_t lower = c;
    if (c >= 0xC0 && c <= 0xFF) {
        base = kLatin1Base[c - 0xC0];
        upper = c <= 0xDE && c != 0xD7;
        lower = upper ? c + 0x20 : c;
    } else if (c >= 0x100 && c <= 0x17F) {
        base = kLatinExtABase[c - 0x100];
        const CaseInfo info = latinExtACase(c);
        upper = info.upper;
        lower = info.lower;
    } else if (c == 0x1E9E) {  // capital sharp s
        base = '3';
        upper = true;
        lower = 0xDF;
    } else if ((c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
        // Basic Greek and Cyrillic capitals, so that those alphabets are case-insensitive too.
        out[0] = {c + 0x20, 0, 1};
        return 1;
    } else if (c >= 0x400 && c <= 0x40F) {
        out[0] = {c + 0x50, 0, 1};
        return 1;
    }

    if (base == '.') {
        out[0] = {c, 0, 0};
        return 1;
    }
    const auto tertiary = static_cast<std::uint8_t>(upper ? 1 : 0);
    const auto secondary = static_cast<std::uint16_t>(lower);
    if (base >= '1' && base <= '5') {
        const char* pair = kExpansions[base - '1'];
        out[0] = {static_cast<char32_t>(pair[0]), secondary, tertiary};
        out[1] = {static_cast<char32_t>(pair[1]), secondary, tertiary};
        return 2;
    }
    out[0] = {static_cast<char32_t>(base), secondary, tertiary};
    return 1;
}

constexpr unsigned char asciiLower(unsigned char b) {
    return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 0x20) : b;
}
constexpr std::uint8_t asciiUpper(unsigned char b) {
    return b >= 'A' && b <= 'Z' ? 1 : 0;
}

class UnitStream {
  public:
    UnitStream(std::string_view s, std::size_t pos) : s_(s), pos_(pos) {}

    bool next(Unit& u) {
        if (pending_) {
            u = held_;
            pending_ = false;
            return true;
        }
        if (pos_ >= s_.size()) return false;
        const auto b = static_cast<unsigned char>(s_[pos_]);
        if (b < 0x80) {
            ++pos_;
            u = {asciiLower(b), 0, asciiUpper(b)};
            return true;
        }
        Unit units[2];
        if (collationUnits(nextCodePoint(s_, pos_), units) == 2) {
            held_ = units[1];
            pending_ = true;
        }
        u = units[0];
        return true;
    }

  private:
    std::string_view s_;
    std::size_t pos_;
    Unit held_;
    bool pending_ = false;
};

int sign(int v) {
    return (v > 0) - (v < 0);
}

}  // namespace

int compareText(std::string_view a, std::string_view b) {
    int tertiary = 0;  // first case difference, a's view
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    std::size_t i = 0;

    // ASCII on both sides: one unit per byte, no secondary weights.
    for (; i < common; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (((x | y) & 0x80) != 0) break;
        if (x == y) continue;
        const unsigned char lx = asciiLower(x);
        const unsigned char ly = asciiLower(y);
        if (lx != ly) return lx < ly ? -1 : 1;
        if (tertiary == 0) tertiary = asciiUpper(x) < asciiUpper(y) ? -1 : 1;
    }
    if (i == common) {
        // Every character yields at least one unit, so the shorter string's units are a prefix.
        if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
        return tertiary;  // 0 only when the bytes are identical
    }

    // The rest in full; both strings are at a character boundary after the common ASCII part.
    UnitStream sa(a, i);
    UnitStream sb(b, i);
    int secondary = 0;
    Unit ua;
    Unit ub;
    while (true) {
        const bool hasA = sa.next(ua);
        const bool hasB = sb.next(ub);
        if (!hasA || !hasB) {
            if (hasA != hasB) return hasA ? 1 : -1;
            break;
        }
        if (ua.primary != ub.primary) return ua.primary < ub.primary ? -1 : 1;
        if (secondary == 0 && ua.secondary != ub.secondary) secondary = ua.secondary < ub.secondary ? -1 : 1;
        if (tertiary == 0 && ua.tertiary != ub.tertiary) tertiary = ua.tertiary < ub.tertiary ? -1 : 1;
    }
    if (secondary != 0) return secondary;
    if (tertiary != 0) return tertiary;
    return sign(a.compare(b));
}

}  // namespace tav
