#include "core/text.h"

#include <bit>
#include <cstring>

namespace tav {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Files are mostly ASCII, so every scan skips ASCII eight bytes at a time and only decodes the rest.
const unsigned char* skipAscii(const unsigned char* p, const unsigned char* end) {
    while (end - p >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        w &= kHighBits;
        if (w != 0) {
            if constexpr (std::endian::native == std::endian::little) {
                return p + (std::countr_zero(w) >> 3);
            } else {
                return p + (std::countl_zero(w) >> 3);
            }
        }
        p += 8;
    }
    while (p < end && *p < 0x80) ++p;
    return p;
}

const unsigned char* bytesOf(std::string_view s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence starting with a non-ASCII byte at p, or 0. Overlong forms,
// surrogates and values above U+10FFFF are not well-formed.
std::size_t sequenceLength(const unsigned char* p, std::size_t available, char32_t& cp) {
    const unsigned char b0 = p[0];
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        if (available < 2 || !isContinuation(p[1])) return 0;
        cp = (char32_t(b0 & 0x1F) << 6) | (p[1] & 0x3F);
        return 2;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        if (available < 3) return 0;
        const unsigned char b1 = p[1];
        const unsigned char lo = b0 == 0xE0 ? 0xA0 : 0x80;  // E0 80..9F would be overlong
        const unsigned char hi = b0 == 0xED ? 0x9F : 0xBF;  // ED A0..BF would be a surrogate
        if (b1 < lo || b1 > hi || !isContinuation(p[2])) return 0;
        cp = (char32_t(b0 & 0x0F) << 12) | (char32_t(b1 & 0x3F) << 6) | (p[2] & 0x3F);
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        if (available < 4) return 0;
        const unsigned char b1 = p[1];
        const unsigned char lo = b0 == 0xF0 ? 0x90 : 0x80;  // F0 80..8F would be overlong
        const unsigned char hi = b0 == 0xF4 ? 0x8F : 0xBF;  // F4 90.. would exceed U+10FFFF
        if (b1 < lo || b1 > hi || !isContinuation(p[2]) || !isContinuation(p[3])) return 0;
        cp = (char32_t(b0 & 0x07) << 18) | (char32_t(b1 & 0x3F) << 12) | (char32_t(p[2] & 0x3F) << 6) |
             (p[3] & 0x3F);
        return 4;
    }
    return 0;
}

// Windows-1252 bytes 0x80..0x9F; the five undefined bytes stand for the C1 control of the same value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The code page byte for a character, or -1 when the code page has none.
int cp1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == cp) return 0x80 + i;
    }
    return -1;
}

void appendUtf16Unit(std::string& out, char16_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
}

std::string decodeUtf8(std::string_view bytes, std::size_t& repaired) {
    if (isValidUtf8(bytes)) return std::string(bytes);
    // A file that claims UTF-8 but is broken, typically a code-page file that got a mark: keep what is
    // readable and take each stray byte as the code page's character.
    std::string out;
    out.reserve(bytes.size() + 16);
    const unsigned char* base = bytesOf(bytes);
    const unsigned char* end = base + bytes.size();
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const unsigned char* run = skipAscii(base + pos, end);
        const std::size_t runEnd = static_cast<std::size_t>(run - base);
        out.append(bytes.data() + pos, runEnd - pos);
        pos = runEnd;
        if (pos >= bytes.size()) break;
        char32_t cp = 0;
        const std::size_t n = sequenceLength(base + pos, bytes.size() - pos, cp);
        if (n == 0) {
            appendCp1252AsUtf8(out, bytes.substr(pos, 1));
            ++repaired;
            ++pos;
        } else {
            out.append(bytes.data() + pos, n);
            pos += n;
        }
    }
    return out;
}

std::string decodeUtf16(std::string_view bytes, bool littleEndian, std::size_t& repaired) {
    std::string out;
    out.reserve(bytes.size() / 2 + 16);
    const unsigned char* p = bytesOf(bytes);
    const std::size_t units = bytes.size() / 2;
    auto unitAt = [&](std::size_t i) -> char16_t {
        const unsigned char a = p[2 * i];
        const unsigned char b = p[2 * i + 1];
        return littleEndian ? static_cast<char16_t>(a | (b << 8)) : static_cast<char16_t>((a << 8) | b);
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t u = unitAt(i);
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u >= 0xD800 && u <= 0xDBFF) {
            const char16_t low = i + 1 < units ? unitAt(i + 1) : char16_t(0);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(low) - 0xDC00));
                ++i;
            } else {
                appendUtf8(out, 0xFFFD);
                ++repaired;
            }
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            appendUtf8(out, 0xFFFD);
            ++repaired;
        } else {
            appendUtf8(out, u);
        }
    }
    if (bytes.size() % 2 != 0) {
        appendUtf8(out, 0xFFFD);
        ++repaired;
    }
    return out;
}

// Byte offset after n characters from pos (or the end).
std::size_t advanceChars(std::string_view s, std::size_t pos, std::size_t n) {
    const unsigned char* base = bytesOf(s);
    while (n > 0 && pos < s.size()) {
        if (n >= 8 && s.size() - pos >= 8) {
            std::uint64_t w;
            std::memcpy(&w, base + pos, 8);
            if ((w & kHighBits) == 0) {
                pos += 8;
                n -= 8;
                continue;
            }
        }
        if (base[pos] < 0x80) {
            ++pos;
        } else {
            nextCodePoint(s, pos);
        }
        --n;
    }
    return pos;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    const unsigned char* p = bytesOf(bytes);
    const unsigned char* end = p + bytes.size();
    while (true) {
        p = skipAscii(p, end);
        if (p == end) return true;
        char32_t cp;
        const std::size_t n = sequenceLength(p, static_cast<std::size_t>(end - p), cp);
        if (n == 0) return false;
        p += n;
    }
}

DetectedEncoding detectEncoding(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return {TextEncoding::Utf8Bom, 3};
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") return {TextEncoding::Utf16LE, 2};
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") return {TextEncoding::Utf16BE, 2};
    if (isValidUtf8(bytes)) return {TextEncoding::Utf8, 0};
    return {TextEncoding::Windows1252, 0};
}

std::string decodeToUtf8(std::string_view bytes, TextEncoding encoding, std::size_t* repaired) {
    std::size_t count = 0;
    std::string out;
    switch (encoding) {
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
            out = decodeUtf8(bytes, count);
            break;
        case TextEncoding::Utf16LE:
            out = decodeUtf16(bytes, true, count);
            break;
        case TextEncoding::Utf16BE:
            out = decodeUtf16(bytes, false, count);
            break;
        case TextEncoding::Windows1252:
            appendCp1252AsUtf8(out, bytes);
            break;
    }
    if (repaired != nullptr) *repaired = count;
    return out;
}

std::string decodeFileText(std::string_view bytes, std::size_t* repaired) {
    const DetectedEncoding d = detectEncoding(bytes);
    // Detection has already proved BOM-less UTF-8 valid; no need to check it twice.
    if (d.encoding == TextEncoding::Utf8) {
        if (repaired != nullptr) *repaired = 0;
        return std::string(bytes);
    }
    return decodeToUtf8(bytes.substr(d.bomLength), d.encoding, repaired);
}

bool startsWithByteOrderMark(std::string_view b) {
    return b.starts_with("\xEF\xBB\xBF") || b.starts_with("\xFF\xFE") || b.starts_with("\xFE\xFF");
}

std::optional<std::string> codePageBytesThatReadBack(std::string_view utf8) {
    if (!fitsCp1252(utf8)) return std::nullopt;
    std::string cp = utf8ToCp1252(utf8);
    // Pure ASCII is the same in both; other code-page bytes must not form valid UTF-8.
    if (startsWithByteOrderMark(cp) || (cp != utf8 && isValidUtf8(cp))) return std::nullopt;
    return cp;
}

std::string encodeTextFile(std::string_view utf8) {
    if (std::optional<std::string> cp = codePageBytesThatReadBack(utf8)) return std::move(*cp);
    if (!startsWithByteOrderMark(utf8)) return std::string(utf8);
    return "\xEF\xBB\xBF" + std::string(utf8);
}

void appendCp1252AsUtf8(std::string& out, std::string_view cp1252) {
    const unsigned char* p = bytesOf(cp1252);
    const unsigned char* end = p + cp1252.size();

    // Each high byte grows to at most three bytes; counting them first saves repeated reallocation.
    std::size_t high = 0;
    const unsigned char* q = p;
    while (end - q >= 8) {
        // Eight byte-wide counters, each can take 255 words before it would overflow into the next.
        std::uint64_t lanes = 0;
        for (int k = 0; k < 255 && end - q >= 8; ++k, q += 8) {
            std::uint64_t w;
            std::memcpy(&w, q, 8);
            lanes += (w & kHighBits) >> 7;
        }
        // Pairwise into four 16-bit sums, then all four into the top 16 bits.
        const std::uint64_t pairs = (lanes & 0x00FF00FF00FF00FFULL) + ((lanes >> 8) & 0x00FF00FF00FF00FFULL);
        high += static_cast<std::size_t>((pairs * 0x0001000100010001ULL) >> 48);
    }
    for (; q < end; ++q) high += *q >> 7;
    out.reserve(out.size() + cp1252.size() + 2 * high);

    while (p < end) {
        const unsigned char* run = skipAscii(p, end);
        out.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(run - p));
        p = run;
        if (p == end) break;
        const unsigned char b = *p++;
        if (b >= 0xA0) {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        } else {
            appendUtf8(out, kCp1252High[b - 0x80]);
        }
    }
}

bool fitsCp1252(std::string_view utf8) {
    const unsigned char* base = bytesOf(utf8);
    const unsigned char* end = base + utf8.size();
    std::size_t pos = 0;
    while (true) {
        pos = static_cast<std::size_t>(skipAscii(base + pos, end) - base);
        if (pos >= utf8.size()) return true;
        if (cp1252Byte(nextCodePoint(utf8, pos)) < 0) return false;
    }
}

std::string utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const int b = cp1252Byte(nextCodePoint(utf8, pos));
        out.push_back(b < 0 ? '?' : static_cast<char>(b));
    }
    return out;
}

std::string utf8ToUtf16LE(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() * 2);
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = nextCodePoint(utf8, pos);
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            appendUtf16Unit(out, static_cast<char16_t>(0xD800 + (v >> 10)));
            appendUtf16Unit(out, static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            appendUtf16Unit(out, static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string utf8ToAscii(std::string_view utf8, std::size_t* replaced) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t count = 0;
    const unsigned char* base = bytesOf(utf8);
    const unsigned char* end = base + utf8.size();
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t runEnd = static_cast<std::size_t>(skipAscii(base + pos, end) - base);
        out.append(utf8.data() + pos, runEnd - pos);
        pos = runEnd;
        if (pos >= utf8.size()) break;
        nextCodePoint(utf8, pos);
        out.push_back('?');
        ++count;
    }
    if (replaced != nullptr) *replaced = count;
    return out;
}

char32_t nextCodePoint(std::string_view utf8, std::size_t& pos) {
    if (pos >= utf8.size()) return 0;  // nothing left; pos stays so that callers' loops end
    const unsigned char* p = bytesOf(utf8) + pos;
    if (*p < 0x80) {
        ++pos;
        return *p;
    }
    char32_t cp = 0;
    const std::size_t n = sequenceLength(p, utf8.size() - pos, cp);
    if (n == 0) {
        ++pos;
        return 0xFFFD;
    }
    pos += n;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::size_t charLength(std::string_view utf8) {
    const unsigned char* base = bytesOf(utf8);
    const unsigned char* end = base + utf8.size();
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t runEnd = static_cast<std::size_t>(skipAscii(base + pos, end) - base);
        count += runEnd - pos;
        pos = runEnd;
        if (pos >= utf8.size()) break;
        nextCodePoint(utf8, pos);
        ++count;
    }
    return count;
}

std::string charLeft(std::string_view utf8, std::size_t n) {
    return std::string(utf8.substr(0, advanceChars(utf8, 0, n)));
}

std::string charRight(std::string_view utf8, std::size_t n) {
    const std::size_t length = charLength(utf8);
    if (n >= length) return std::string(utf8);
    return std::string(utf8.substr(advanceChars(utf8, 0, length - n)));
}

std::string charMid(std::string_view utf8, std::size_t start, std::size_t n) {
    const std::size_t from = advanceChars(utf8, 0, start);
    const std::size_t to = advanceChars(utf8, from, n);
    return std::string(utf8.substr(from, to - from));
}

std::string padRight(std::string_view utf8, std::size_t width) {
    std::string out(utf8);
    const std::size_t length = charLength(utf8);
    if (length < width) out.append(width - length, ' ');
    return out;
}

std::string alignRight(std::string_view utf8, std::size_t width) {
    const std::size_t length = charLength(utf8);
    std::string out;
    if (length < width) out.assign(width - length, ' ');
    out.append(utf8);
    return out;
}

std::string_view fieldAt(std::string_view s, std::size_t n, char delim) {
    FieldReader r(s, delim);
    for (std::size_t i = 0;; ++i) {
        auto f = r.next();
        if (!f) return {};
        if (i == n) return *f;
    }
}

std::string_view trimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return s.substr(s.size());
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

char32_t upperFoldChar(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 0x20;
    switch (c) {
        case U'à':
        case U'á':
        case U'â':
            return U'A';
        case U'è':
        case U'é':
        case U'ê':
        case U'ë':
            return U'E';
        case U'ì':
        case U'í':
        case U'î':
        case U'ï':
            return U'I';
        case U'ò':
        case U'ó':
        case U'ô':
            return U'O';
        case U'ù':
        case U'ú':
        case U'û':
            return U'U';
        case U'ä':
            return U'Ä';
        case U'ö':
            return U'Ö';
        case U'ü':
            return U'Ü';
        default:
            return c;
    }
}

std::string upperFold(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    const unsigned char* base = bytesOf(utf8);
    const unsigned char* end = base + utf8.size();
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t runEnd = static_cast<std::size_t>(skipAscii(base + pos, end) - base);
        for (; pos < runEnd; ++pos) {
            const char c = utf8[pos];
            out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c);
        }
        if (pos >= utf8.size()) break;
        const std::size_t start = pos;
        const char32_t cp = nextCodePoint(utf8, pos);
        const char32_t folded = upperFoldChar(cp);
        // Unchanged characters keep their bytes, so even broken input passes through untouched.
        if (folded != cp) {
            appendUtf8(out, folded);
        } else {
            out.append(utf8.data() + start, pos - start);
        }
    }
    return out;
}

char32_t upperCaseOnly(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 0x20;
    if (c < 0xE0) return c;
    if (c <= 0xFE) return c == 0xF7 ? c : c - 0x20;  // à … þ, not ÷
    if (c == 0xFF) return 0x178;                     // ÿ
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A: pairs upper/lower, even/odd except in the two runs that start odd.
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        const bool lower = oddUpper ? (c % 2 == 0) : (c % 2 == 1);
        return lower ? c - 1 : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;  // Greek
    switch (c) {                                                  // Greek with tonos
        case 0x3AC:
            return 0x386;
        case 0x3AD:
        case 0x3AE:
        case 0x3AF:
            return c - 0x25;
        case 0x3CC:
            return 0x38C;
        case 0x3CD:
        case 0x3CE:
            return c - 0x3F;
        default:
            break;
    }
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;  // Cyrillic а … я
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;  // ѐ … џ
    return c;
}

char32_t lowerCaseOnly(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : c + 0x20;  // À … Þ, not ×
    if (c == 0x178) return 0xFF;                     // Ÿ
    if (c >= 0x100 && c <= 0x17F) {
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        const bool upper = oddUpper ? (c % 2 == 1) : (c % 2 == 0);
        return upper ? c + 1 : c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek
    switch (c) {                                                  // Greek with tonos
        case 0x386:
            return 0x3AC;
        case 0x388:
        case 0x389:
        case 0x38A:
            return c + 0x25;
        case 0x38C:
            return 0x3CC;
        case 0x38E:
        case 0x38F:
            return c + 0x3F;
        default:
            break;
    }
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;  // Cyrillic А … Я
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;  // Ѐ … Џ
    return c;
}

namespace {

template <class Map>
std::string mapCase(std::string_view utf8, Map map) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        const char32_t cp = nextCodePoint(utf8, pos);
        const char32_t mapped = map(cp);
        // Unchanged characters keep their bytes, so broken input stays as it is.
        if (mapped != cp) {
            appendUtf8(out, mapped);
        } else {
            out.append(utf8.data() + start, pos - start);
        }
    }
    return out;
}

}  // namespace

std::string lowerCaseOnly(std::string_view utf8) {
    return mapCase(utf8, [](char32_t c) { return lowerCaseOnly(c); });
}

std::vector<std::size_t> textOccurrences(std::string_view hay, std::string_view needle, bool matchCase) {
    std::vector<std::size_t> at;
    if (needle.empty()) return at;
    std::string folded = matchCase ? std::string(hay) : upperCaseOnly(hay);
    if (folded.size() != hay.size()) folded = std::string(hay);
    const std::string wanted = matchCase ? std::string(needle) : upperCaseOnly(needle);
    for (std::size_t p = folded.find(wanted); p != std::string::npos;
         p = folded.find(wanted, p + wanted.size()))
        at.push_back(p);
    return at;
}

std::string replacedText(std::string_view hay, std::string_view needle, std::string_view by, bool matchCase) {
    const std::string wanted = matchCase ? std::string(needle) : upperCaseOnly(needle);
    std::string out;
    std::size_t from = 0;
    for (const std::size_t p : textOccurrences(hay, needle, matchCase)) {
        out.append(hay.substr(from, p - from));
        out.append(by);
        from = p + wanted.size();
    }
    out.append(hay.substr(std::min(from, hay.size())));
    return out;
}

std::string upperCaseOnly(std::string_view utf8) {
    return mapCase(utf8, [](char32_t c) { return upperCaseOnly(c); });
}

std::vector<std::string> splitFields(std::string_view s, std::string_view delim) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = delim.empty() ? std::string_view::npos : s.find(delim, start);
        out.emplace_back(s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) break;
        start = at + delim.size();
    }
    return out;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string xmlEscaped(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out += c;
        }
    }
    return out;
}

}  // namespace tav
