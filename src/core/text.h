#pragma once
// Text handling. Inside the program every string is UTF-8; this unit converts at the edges (files) and
// offers the character-based operations that user-typed text needs.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

enum class TextEncoding {
    Utf8,         // no byte-order mark
    Utf8Bom,      // EF BB BF
    Utf16LE,      // FF FE
    Utf16BE,      // FE FF
    Windows1252,  // the 8-bit code page
};

// The encodings a user can choose for exports (setting ExportEncoding).
enum class ExportEncoding : int { Utf16 = 0, Utf8 = 1, CodePage = 2, Ascii = 3 };

struct DetectedEncoding {
    TextEncoding encoding = TextEncoding::Utf8;
    std::size_t bomLength = 0;  // bytes of the byte-order mark at the start
};

// A byte-order mark decides; otherwise valid UTF-8 is UTF-8 and anything else is Windows-1252.
DetectedEncoding detectEncoding(std::string_view bytes);
bool isValidUtf8(std::string_view bytes);

// Whole-buffer conversion of file bytes (byte-order mark already cut off) to UTF-8, always valid UTF-8.
// In UTF-8 input each byte that is not part of a well-formed sequence is read as its Windows-1252
// character, so nothing is lost and the text stays the same when saved and read again. UTF-16 input
// with an unpaired surrogate or an odd last byte yields U+FFFD for the broken unit. repaired receives
// the number of bytes (UTF-8) or units (UTF-16) so read.
std::string decodeToUtf8(std::string_view bytes, TextEncoding encoding, std::size_t* repaired = nullptr);
// Detects and decodes in one step, dropping the byte-order mark.
std::string decodeFileText(std::string_view bytes, std::size_t* repaired = nullptr);

// Whether bytes start with what a reader takes for a byte-order mark (UTF-8, UTF-16 LE or BE).
bool startsWithByteOrderMark(std::string_view bytes);
// The bytes of a text file that decodeFileText reads back as exactly utf8: the code page where every
// character fits and the bytes cannot pass for something else (a byte-order mark at the start, or valid
// UTF-8 such as "Ã¤" that would read as "ä"), otherwise UTF-8, with a mark where the text itself starts
// with U+FEFF.
std::string encodeTextFile(std::string_view utf8);
// The code-page bytes of utf8 when decodeFileText reads them back as utf8; nothing otherwise.
std::optional<std::string> codePageBytesThatReadBack(std::string_view utf8);

// Windows-1252 <-> UTF-8. The five bytes the code page leaves undefined (81 8D 8F 90 9D) map to the
// control characters U+0081 … so that any byte sequence survives a round trip.
void appendCp1252AsUtf8(std::string& out, std::string_view cp1252);
bool fitsCp1252(std::string_view utf8);
// Characters that do not fit become '?'; callers check fitsCp1252 first where nothing may be lost.
std::string utf8ToCp1252(std::string_view utf8);
std::string utf8ToUtf16LE(std::string_view utf8);
// Non-ASCII characters become '?'; replaced receives their number.
std::string utf8ToAscii(std::string_view utf8, std::size_t* replaced = nullptr);

// Decodes one code point at pos and advances pos; invalid bytes yield U+FFFD and advance by one. At or
// past the end it returns 0 and leaves pos as it is.
char32_t nextCodePoint(std::string_view utf8, std::size_t& pos);
void appendUtf8(std::string& out, char32_t cp);

// Character-based (code point) operations. Never cut user text with substr.
std::size_t charLength(std::string_view utf8);
std::string charLeft(std::string_view utf8, std::size_t n);
std::string charRight(std::string_view utf8, std::size_t n);
// start counts characters from 0; n characters at most.
std::string charMid(std::string_view utf8, std::size_t start, std::size_t n);
// Pads with blanks on the right (padRight) or left (alignRight) to width characters; never cuts.
std::string padRight(std::string_view utf8, std::size_t width);
std::string alignRight(std::string_view utf8, std::size_t width);

// The fields of s between the delimiters; empty fields are kept, so "" is one empty field and "a;" two.
std::vector<std::string> splitFields(std::string_view s, std::string_view delim = ";");
// Walks the fields of s between single-character delimiters without allocating; the same fields as
// splitFields:  for (FieldReader f(s); auto field = f.next();) …
class FieldReader {
  public:
    explicit FieldReader(std::string_view s, char delim = ';') : s_(s), delim_(delim) {}
    std::optional<std::string_view> next() {
        if (done_) return std::nullopt;
        const std::size_t end = s_.find(delim_, pos_);
        std::string_view field = s_.substr(pos_, end == std::string_view::npos ? s_.npos : end - pos_);
        if (end == std::string_view::npos) {
            done_ = true;
        } else {
            pos_ = end + 1;
        }
        return field;
    }
    // What follows the last field returned (empty once every field has been read).
    std::string_view rest() const { return done_ ? std::string_view() : s_.substr(pos_); }

  private:
    std::string_view s_;
    char delim_;
    std::size_t pos_ = 0;
    bool done_ = false;
};
// Field n (from 0) of s, or "" when s has fewer fields.
std::string_view fieldAt(std::string_view s, std::size_t n, char delim = ';');

inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The lines of a text, ended by CR LF, LF or a lone CR; a final line end adds no empty line.
std::vector<std::string_view> splitLines(std::string_view text);

// Blanks (space and tab) removed on both sides.
std::string_view trimBlanks(std::string_view s);
// Text for XML or HTML, in an element or an attribute: &, <, > and " escaped, and the control characters
// XML cannot hold (all below blank except tab and line feed) left out.
std::string xmlEscaped(std::string_view s);

// The program's upper-case folding: a–z to A–Z; à á â to A; è é ê ë to E; ì í î ï to I; ò ó ô to O;
// ù ú û to U; ä ö ü to Ä Ö Ü. Every other character stays as it is.
char32_t upperFoldChar(char32_t c);
std::string upperFold(std::string_view utf8);

// Letter case only: each lower-case letter (Latin, Greek, Cyrillic) becomes its upper-case partner and
// accents stay, so "Café" and "CAFÉ" are equal but "Café" and "cafe" are not. For comparisons that
// ignore case and nothing else, such as counting equal entries.
char32_t upperCaseOnly(char32_t c);
std::string upperCaseOnly(std::string_view utf8);
// The reverse: each upper-case letter of those scripts becomes its lower-case partner.
char32_t lowerCaseOnly(char32_t c);
std::string lowerCaseOnly(std::string_view utf8);

// Where needle occurs in hay, from the left and not overlapping, as byte offsets into hay. Letter case
// is ignored unless matchCase (upperCaseOnly on both); where folding would change the length of hay,
// hay is searched as it stands, so that the offsets stay offsets into hay.
std::vector<std::size_t> textOccurrences(std::string_view hay, std::string_view needle, bool matchCase);
// hay with each of those occurrences replaced by by.
std::string replacedText(std::string_view hay, std::string_view needle, std::string_view by, bool matchCase);

// The one comparison for sorted lists: case-insensitive, German order (letters with accents or umlauts
// sort with their base letter, ß as ss), ties broken by accents, then case, then the bytes, so the order
// is strict: the result is 0 only for identical strings. Returns <0, 0 or >0.
int compareText(std::string_view a, std::string_view b);
inline bool textLess(std::string_view a, std::string_view b) {
    return compareText(a, b) < 0;
}

}  // namespace tav
