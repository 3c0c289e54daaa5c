#include "core/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/random.h"

namespace tav {
namespace {

using namespace std::string_literals;

std::string bytes(std::initializer_list<unsigned char> list) {
    return std::string(list.begin(), list.end());
}

// ---------------------------------------------------------------------------------------------------
// Encodings

TEST(TextEncoding, Detection) {
    struct Case {
        std::string input;
        TextEncoding encoding;
        std::size_t bom;
    };
    const Case cases[] = {
        {"", TextEncoding::Utf8, 0},
        {"plain ascii\n", TextEncoding::Utf8, 0},
        {"M\xC3\xBCller", TextEncoding::Utf8, 0},
        {"\xEF\xBB\xBFM\xC3\xBCller", TextEncoding::Utf8Bom, 3},
        {"\xEF\xBB\xBF", TextEncoding::Utf8Bom, 3},
        {"\xFF\xFE"
         "A\0"s,
         TextEncoding::Utf16LE, 2},
        {"\xFE\xFF\0A"s, TextEncoding::Utf16BE, 2},
        {"M\xFCller", TextEncoding::Windows1252, 0},
        {"\xEF\xBB", TextEncoding::Windows1252, 0},  // a cut-off mark is no mark
        {"caf\xC3", TextEncoding::Windows1252, 0},
    };
    for (const Case& c : cases) {
        const DetectedEncoding d = detectEncoding(c.input);
        EXPECT_EQ(d.encoding, c.encoding) << c.input;
        EXPECT_EQ(d.bomLength, c.bom) << c.input;
    }
}

TEST(TextEncoding, Utf8Validity) {
    struct Case {
        std::string input;
        bool valid;
    };
    const Case cases[] = {
        {"\x7F", true},
        {"\xC2\x80", true},
        {"\xDF\xBF", true},
        {"\xE0\xA0\x80", true},
        {"\xED\x9F\xBF", true},  // U+D7FF, just below the surrogates
        {"\xEE\x80\x80", true},  // U+E000, just above
        {"\xEF\xBF\xBF", true},
        {"\xF0\x90\x80\x80", true},
        {"\xF4\x8F\xBF\xBF", true},  // U+10FFFF
        {"\xC0\x80", false},         // overlong NUL
        {"\xC1\xBF", false},
        {"\xE0\x9F\xBF", false},      // overlong three bytes
        {"\xF0\x8F\xBF\xBF", false},  // overlong four bytes
        {"\xED\xA0\x80", false},      // U+D800
        {"\xED\xBF\xBF", false},      // U+DFFF
        {"\xF4\x90\x80\x80", false},  // above U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\xFF", false},
        {"\x80", false},      // lone continuation
        {"\xE2\x82", false},  // cut off
        {"\xE2\x82"
         "A",
         false},                  // continuation missing
        {"\xC3\xA4\xA4", false},  // one continuation too many
    };
    for (const Case& c : cases) EXPECT_EQ(isValidUtf8(c.input), c.valid) << testing::PrintToString(c.input);
}

TEST(TextEncoding, Utf8ValidityAtEveryOffsetOfTheFastPath) {
    // The eight-byte ASCII skip must notice a bad byte wherever it falls inside or after a block.
    for (std::size_t lead = 0; lead < 20; ++lead) {
        for (std::size_t tail : {0u, 1u, 7u, 8u, 9u}) {
            const std::string pad(lead, 'a');
            const std::string after(tail, 'b');
            EXPECT_TRUE(isValidUtf8(pad + "\xE2\x82\xAC" + after)) << lead << ' ' << tail;
            EXPECT_FALSE(isValidUtf8(pad + "\xE2\x82" + after)) << lead << ' ' << tail;
            EXPECT_FALSE(isValidUtf8(pad + "\x80" + after)) << lead << ' ' << tail;
        }
    }
}

TEST(TextEncoding, Windows1252Table) {
    std::string row;
    for (int b = 0x80; b < 0xA0; ++b) row.push_back(static_cast<char>(b));
    std::string out;
    appendCp1252AsUtf8(out, row);
    EXPECT_EQ(out, "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ");

    // 0xA0 … 0xFF are the Latin-1 characters of the same number.
    for (int b = 0xA0; b <= 0xFF; ++b) {
        std::string one;
        appendCp1252AsUtf8(one, std::string(1, static_cast<char>(b)));
        std::size_t pos = 0;
        EXPECT_EQ(nextCodePoint(one, pos), static_cast<char32_t>(b));
        EXPECT_EQ(pos, one.size());
    }
}

TEST(TextEncoding, Windows1252RoundTripOfEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    all += "text after the table, long enough for the ASCII runs";
    const std::string utf8 = decodeToUtf8(all, TextEncoding::Windows1252);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_TRUE(fitsCp1252(utf8));
    EXPECT_EQ(utf8ToCp1252(utf8), all);
}

TEST(TextEncoding, AppendKeepsWhatIsThere) {
    std::string out = "Gr";
    appendCp1252AsUtf8(out,
                       "\xFC\xDF"
                       "e \x80");
    EXPECT_EQ(out, "Grüße €");
}

TEST(TextEncoding, FitsWindows1252) {
    struct Case {
        std::string input;
        bool fits;
    };
    const Case cases[] = {
        {"", true},
        {"abc", true},
        {"Grüße, € und Ÿ", true},
        {"\u0081\u008D\u008F\u0090\u009D", true},
        {"\u0080", false},  // the byte 0x80 means €, not this control
        {"\u009F", false},
        {"Łódź", false},
        {"😀", false},
        {std::string(37, 'a') + "Ł", false},
        {std::string(37, 'a') + "é" + std::string(9, 'b'), true},
        {"a\xFF", false},  // broken UTF-8 cannot be written faithfully either
    };
    for (const Case& c : cases) EXPECT_EQ(fitsCp1252(c.input), c.fits) << c.input;
}

TEST(TextEncoding, ConversionsOut) {
    EXPECT_EQ(utf8ToCp1252("Łódź €"),
              "?\xF3"
              "d? \x80");
    EXPECT_EQ(utf8ToCp1252("😀x"), "?x");

    EXPECT_EQ(utf8ToUtf16LE(""), "");
    EXPECT_EQ(utf8ToUtf16LE("A€😀"), bytes({'A', 0, 0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE}));

    std::size_t replaced = 99;
    EXPECT_EQ(utf8ToAscii("Müller 😀 ok", &replaced), "M?ller ? ok");
    EXPECT_EQ(replaced, 2u);
    EXPECT_EQ(utf8ToAscii("plain", &replaced), "plain");
    EXPECT_EQ(replaced, 0u);
    EXPECT_EQ(utf8ToAscii("é"), "?");
}

TEST(TextEncoding, Utf16Decoding) {
    struct Case {
        std::string input;
        TextEncoding encoding;
        std::string expected;
        std::size_t repaired;
    };
    const Case cases[] = {
        {bytes({'A', 0, 0xE4, 0, 0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE}), TextEncoding::Utf16LE, "Aä€😀", 0},
        {bytes({0, 'A', 0, 0xE4, 0x20, 0xAC, 0xD8, 0x3D, 0xDE, 0x00}), TextEncoding::Utf16BE, "Aä€😀", 0},
        {bytes({0x3D, 0xD8, 'x', 0}), TextEncoding::Utf16LE, "\uFFFDx", 1},  // high surrogate alone
        {bytes({0x00, 0xDE, 'x', 0}), TextEncoding::Utf16LE, "\uFFFDx", 1},  // low surrogate alone
        {bytes({'x', 0, 0x3D, 0xD8}), TextEncoding::Utf16LE, "x\uFFFD", 1},  // high surrogate at the end
        {bytes({'x', 0, 'y'}), TextEncoding::Utf16LE, "x\uFFFD", 1},         // odd last byte
        {bytes({0x00, 0xDE, 0x00, 0xDE, 'z'}), TextEncoding::Utf16LE, "\uFFFD\uFFFD\uFFFD", 3},
        {bytes({0, 0}), TextEncoding::Utf16LE, std::string(1, '\0'), 0},
    };
    for (const Case& c : cases) {
        std::size_t repaired = 99;
        const std::string out = decodeToUtf8(c.input, c.encoding, &repaired);
        EXPECT_EQ(out, c.expected) << testing::PrintToString(c.input);
        EXPECT_EQ(repaired, c.repaired) << testing::PrintToString(c.input);
        EXPECT_TRUE(isValidUtf8(out)) << testing::PrintToString(c.input);
    }
    const std::string sample = "Grüße, € 😀 \u0081";
    EXPECT_EQ(decodeToUtf8(utf8ToUtf16LE(sample), TextEncoding::Utf16LE), sample);
}

TEST(TextEncoding, FileTextDropsTheMark) {
    struct Case {
        std::string input;
        std::string expected;
        std::size_t repaired;
    };
    const Case cases[] = {
        {"", "", 0},
        {"Grüße", "Grüße", 0},
        {"\xEF\xBB\xBFGrüße", "Grüße", 0},
        // Marked as UTF-8 but broken: each stray byte is its code-page character, good sequences stay.
        {"\xEF\xBB\xBF"
         "a\xFF"
         "b",
         "aÿb", 1},
        {"\xEF\xBB\xBF\xC5\x99 \xC5 \xE2\x82 \x81\xC0\xAF", "ř Å â‚ \u0081À¯", 6},
        // Only one mark is dropped; a second one is text.
        {"\xEF\xBB\xBF\xEF\xBB\xBFx", "\uFEFFx", 0},
        {"\xFF\xFE" + bytes({'G', 0, 0xFC, 0}), "Gü", 0},
        {"\xFE\xFF" + bytes({0, 'G', 0, 0xFC}), "Gü", 0},
        {"\xFF\xFE" + bytes({'G', 0, 0x00, 0xD8, 'x'}), "G\uFFFD\uFFFD", 2},
        {"Gr\xFC\xDF"
         "e \x80",
         "Grüße €", 0},
    };
    for (const Case& c : cases) {
        std::size_t repaired = 99;
        const std::string out = decodeFileText(c.input, &repaired);
        EXPECT_EQ(out, c.expected) << testing::PrintToString(c.input);
        EXPECT_EQ(repaired, c.repaired) << testing::PrintToString(c.input);
        EXPECT_TRUE(isValidUtf8(out)) << testing::PrintToString(c.input);
    }
}

// Whatever a whole-text writer puts in a file must read back as it was: the code page only where its
// bytes cannot pass for a mark or for UTF-8.
TEST(TextEncoding, TextFilesReadBackAsWritten) {
    struct Case {
        std::string text;
        std::string bytes;
    };
    const Case cases[] = {
        {"abc;1\r\n", "abc;1\r\n"},
        {"Grüße",
         "Gr\xFC\xDF"
         "e"},
        // In the code page these would read as "ä", as UTF-16 and as a mark: UTF-8 instead.
        {"vollstÃ¤ndig", "vollstÃ¤ndig"},
        {"ÿþx", "ÿþx"},
        {"ï»¿x", "ï»¿x"},
        {"\uFEFFx", "\xEF\xBB\xBF\uFEFFx"},
        {"ř", "ř"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encodeTextFile(c.text), c.bytes) << c.text;
        EXPECT_EQ(decodeFileText(encodeTextFile(c.text)), c.text) << c.text;
    }
}

// ---------------------------------------------------------------------------------------------------
// Code points and characters

TEST(TextCodePoints, DecodeAndEncode) {
    const std::string s =
        "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"
        "\xE2\x82"
        "x\xC0\xAF";
    const char32_t expected[] = {U'a', U'ä', U'€', U'😀', 0xFFFD, 0xFFFD, U'x', 0xFFFD, 0xFFFD};
    std::size_t pos = 0;
    for (char32_t cp : expected) {
        ASSERT_LT(pos, s.size());
        EXPECT_EQ(nextCodePoint(s, pos), cp);
    }
    EXPECT_EQ(pos, s.size());
    EXPECT_EQ(nextCodePoint(s, pos), 0u);  // at the end: nothing, and no move
    EXPECT_EQ(pos, s.size());

    for (char32_t cp : {0x0u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD7FFu, 0xE000u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
        std::string out;
        appendUtf8(out, cp);
        std::size_t p = 0;
        EXPECT_EQ(nextCodePoint(out, p), cp) << static_cast<unsigned>(cp);
        EXPECT_EQ(p, out.size()) << static_cast<unsigned>(cp);
    }
    for (char32_t bad : {0xD800u, 0xDFFFu, 0x110000u}) {
        std::string out;
        appendUtf8(out, bad);
        EXPECT_EQ(out, "\uFFFD") << static_cast<unsigned>(bad);
    }
}

TEST(TextCharacters, CountAndCut) {
    struct Case {
        std::string s;
        std::size_t length;
        std::size_t n;
        std::string left;
        std::string right;
    };
    const std::string longText = "abcdefghijklmnöpqrstuvwxyz";
    const Case cases[] = {
        {"", 0, 3, "", ""},
        {"Grüße", 5, 0, "", ""},
        {"Grüße", 5, 3, "Grü", "üße"},
        {"Grüße", 5, 5, "Grüße", "Grüße"},
        {"Grüße", 5, 9, "Grüße", "Grüße"},
        {"€😀x", 3, 2, "€😀", "😀x"},
        {longText, 26, 15, "abcdefghijklmnö", "lmnöpqrstuvwxyz"},
        {longText, 26, 14, "abcdefghijklmn", "mnöpqrstuvwxyz"},
        {longText, 26, 12, "abcdefghijkl", "öpqrstuvwxyz"},
        {longText, 26, 11, "abcdefghijk", "pqrstuvwxyz"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(charLength(c.s), c.length) << c.s;
        EXPECT_EQ(charLeft(c.s, c.n), c.left) << c.s << ' ' << c.n;
        EXPECT_EQ(charRight(c.s, c.n), c.right) << c.s << ' ' << c.n;
    }
    EXPECT_EQ(charLength("a\xFF"
                         "b"),
              3u);  // a bad byte counts as one character
}

TEST(TextCharacters, Mid) {
    struct Case {
        std::string s;
        std::size_t start;
        std::size_t n;
        std::string expected;
    };
    const Case cases[] = {
        {"Grüße", 2, 2, "üß"},
        {"Grüße", 0, 1, "G"},
        {"Grüße", 4, 10, "e"},
        {"Grüße", 5, 1, ""},
        {"Grüße", 9, 1, ""},
        {"Grüße", 1, 0, ""},
        {"0123456789abcdefäg", 9, 9, "9abcdefäg"},
        {"0123456789abcdefäg", 16, 1, "ä"},
    };
    for (const Case& c : cases) EXPECT_EQ(charMid(c.s, c.start, c.n), c.expected) << c.s << ' ' << c.start;
}

TEST(TextCharacters, PaddingNeverCuts) {
    EXPECT_EQ(padRight("Äb", 4), "Äb  ");
    EXPECT_EQ(alignRight("Äb", 4), "  Äb");
    EXPECT_EQ(padRight("Äbcd", 2), "Äbcd");
    EXPECT_EQ(alignRight("Äbcd", 2), "Äbcd");
    EXPECT_EQ(padRight("", 2), "  ");
    EXPECT_EQ(alignRight("€", 1), "€");
}

TEST(TextCharacters, TrimBlanks) {
    struct Case {
        const char* s;
        const char* expected;
    };
    const Case cases[] = {
        {"", ""}, {"   ", ""}, {" \t a b \t", "a b"}, {"x", "x"}, {"\tx", "x"}, {" \nx\n ", "\nx\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(trimBlanks(c.s), c.expected) << '"' << c.s << '"';
}

// ---------------------------------------------------------------------------------------------------
// Upper-case folding

TEST(TextUpperFold, ExactlyTheListedLetters) {
    struct Case {
        char32_t from;
        char32_t to;
    };
    const Case changed[] = {
        {U'à', U'A'}, {U'á', U'A'}, {U'â', U'A'}, {U'è', U'E'}, {U'é', U'E'}, {U'ê', U'E'}, {U'ë', U'E'},
        {U'ì', U'I'}, {U'í', U'I'}, {U'î', U'I'}, {U'ï', U'I'}, {U'ò', U'O'}, {U'ó', U'O'}, {U'ô', U'O'},
        {U'ù', U'U'}, {U'ú', U'U'}, {U'û', U'U'}, {U'ä', U'Ä'}, {U'ö', U'Ö'}, {U'ü', U'Ü'},
    };
    auto expectedFor = [&](char32_t c) -> char32_t {
        if (c >= U'a' && c <= U'z') return c - 32;
        for (const Case& k : changed) {
            if (k.from == c) return k.to;
        }
        return c;
    };
    // Everything else stays, among them ß ñ ç ã õ å æ ø ÿ and upper-case accented letters.
    for (char32_t c = 0; c < 0x600; ++c)
        EXPECT_EQ(upperFoldChar(c), expectedFor(c)) << std::hex << static_cast<unsigned>(c);
    EXPECT_EQ(upperFoldChar(U'😀'), U'😀');
}

TEST(TextUpperFold, Strings) {
    EXPECT_EQ(upperFold("Grüße aus Köln, à bientôt"), "GRÜßE AUS KÖLN, A BIENTOT");
    EXPECT_EQ(upperFold("niño ção åæøÿ ÀÉ"), "NIñO çãO åæøÿ ÀÉ");
    EXPECT_EQ(upperFold(std::string(20, 'q') + "é"), std::string(20, 'Q') + "E");
    EXPECT_EQ(upperFold("a\xFF"
                        "b"),
              "A\xFF"
              "B");  // bytes that are no character pass through
}

// ---------------------------------------------------------------------------------------------------
// Sorting

int sign(int v) {
    return (v > 0) - (v < 0);
}

TEST(TextCompare, DictionaryOrder) {
    // Strictly ascending; every pair is checked both ways.
    const std::vector<std::vector<std::string>> groups = {
        {"", " ", "!", "0", "10", "9", "_x"},  // ASCII order, and all of it before letters
        {"a", "A", "à", "À", "á", "ä", "Ä"},   // accent first, then case
        {"ab", "abc", "Abc", "Äbc", "abd"},    // base letters decide before accents
        {"aesir", "Aesir", "Æsir"},            // æ as ae
        {"apfel", "Apfel", "äpfel", "Äpfel", "apfelbaum", "Apfelbaum"},
        {"B", "c", "Ca", "Ça", "capek", "Capek", "čapek", "Čapek", "cz"},
        {"Lodz", "Łódź", "Muller", "Müller", "Mullers"},
        {"oeuvre", "Oeuvre", "œuvre", "Œuvre", "Orsted", "Ørsted"},  // œ as oe, ø as o
        {"Strasse", "STRASSE", "Straße", "STRAẞE", "Strassen"},      // ß as ss
        {"z", "Zebra", "{"},
        {"ω", "Ω", "€"},  // other scripts by code point
    };
    std::vector<std::string> order;
    for (const auto& group : groups) order.insert(order.end(), group.begin(), group.end());
    for (std::size_t i = 0; i < order.size(); ++i) {
        for (std::size_t j = 0; j < order.size(); ++j) {
            const int expected = i < j ? -1 : (i > j ? 1 : 0);
            EXPECT_EQ(sign(compareText(order[i], order[j])), expected) << order[i] << " vs " << order[j];
        }
    }
    EXPECT_TRUE(textLess("Müller", "Mullers"));
    EXPECT_FALSE(textLess("Müller", "Müller"));
}

TEST(TextCompare, LevelsAcrossTheAsciiPrefix) {
    // The first part of these strings is compared on the ASCII path, the rest on the full path; the
    // case difference found in the first part must still count.
    struct Case {
        std::string a;
        std::string b;
        int expected;
    };
    const Case cases[] = {
        {"abcé", "ABCé", -1},
        {"Abcè", "abcé", -1},  // an accent outweighs case
        {"Abcé", "abcée", -1},
        {"straße", "STRASSE", 1},
        {"Xß", "xss", 1},
        {"xß", "xst", -1},
        {"mixed Ölbaum", "mixed olbaum", 1},
        {"mixed Ölbaum", "mixed olbaun", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sign(compareText(c.a, c.b)), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(sign(compareText(c.b, c.a)), -c.expected) << c.b << " vs " << c.a;
    }
}

TEST(TextCompare, OnlyIdenticalStringsAreEqual) {
    // Broken bytes all read as U+FFFD; the bytes still have to decide.
    EXPECT_LT(compareText("a\xFE", "a\xFF"), 0);
    EXPECT_GT(compareText("a\xFF", "a\xFE"), 0);
    EXPECT_LT(compareText("\uFFFD", "\xFF"), 0);
    EXPECT_EQ(compareText("a\xFF", "a\xFF"), 0);

    // A random sample over letters that fold together must come out as a strict total order.
    const std::string pieces[] = {"a", "A", "ä", "Ä",  "s", "S", "ß", "ẞ",
                                  "e", "é", "É", "ae", "æ", " ", "1", "\xFF"};
    Random r(17);
    std::vector<std::string> words;
    for (int i = 0; i < 400; ++i) {
        std::string w;
        const auto n = r.below(5);
        for (std::uint64_t k = 0; k < n; ++k) w += pieces[r.below(std::size(pieces))];
        words.push_back(w);
    }
    std::sort(words.begin(), words.end(), textLess);
    for (std::size_t i = 0; i < words.size(); ++i) {
        for (std::size_t j = i; j < words.size(); ++j) {
            const int c = compareText(words[i], words[j]);
            if (words[i] == words[j]) {
                EXPECT_EQ(c, 0);
            } else {
                ASSERT_LT(c, 0) << testing::PrintToString(words[i]) << " vs "
                                << testing::PrintToString(words[j]);
                ASSERT_GT(compareText(words[j], words[i]), 0);
            }
        }
    }
}

}  // namespace
// Upper and lower case are each other's partners, letter by letter, in every script they know.
TEST(TextCase, UpperAndLowerArePartners) {
    for (char32_t c = 0; c < 0x600; ++c) {
        const char32_t lower = lowerCaseOnly(c), upper = upperCaseOnly(c);
        if (lower != c) {
            EXPECT_EQ(upperCaseOnly(lower), c) << std::hex << static_cast<unsigned>(c);
        }
        if (upper != c) {
            EXPECT_EQ(lowerCaseOnly(upper), c) << std::hex << static_cast<unsigned>(c);
        }
    }
    EXPECT_EQ(lowerCaseOnly("ÄRGER Ωμέγα Ÿ"), "ärger ωμέγα ÿ");
    EXPECT_EQ(upperCaseOnly("ärger ωμέγα ÿ"), "ÄRGER ΩΜΈΓΑ Ÿ");
}

}  // namespace tav
