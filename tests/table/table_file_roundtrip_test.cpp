// What a table file or text export holds must read back as the same table: marks, broken encodings,
// delimiters and qualifiers inside fields, blank lines.

#include <gtest/gtest.h>

#include "core/text.h"
#include "platform/script_ui.h"
#include "support/table_fixture.h"
#include "support/test_files.h"
#include "table/edit_buffer.h"

namespace tav {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

using testing::rowsOf;

std::vector<std::string> tableOf(const TEditBuffer& b) {
    std::vector<std::string> out = rowsOf(b, 'K');
    out.emplace_back("--");
    for (std::string& r : rowsOf(b, 'A')) out.push_back(std::move(r));
    return out;
}

struct RoundTrip : testing::TableFileFixture {
    ReadResult readBack(int layout) { return b.ReadFile(layout, dir.file("out.txt"), noProgress()).value(); }
    // Reads bytes, saves natively and reads the saved file: both reads must give the same table.
    std::vector<std::string> savedAndReadAgain(const std::string& bytes, int layout) {
        EXPECT_EQ(read(bytes, layout), ReadResult::Ok);
        const std::vector<std::string> first = tableOf(b);
        written(kLayoutNative);
        EXPECT_EQ(readBack(kLayoutNative), ReadResult::Ok);
        EXPECT_EQ(tableOf(b), first) << ::testing::PrintToString(bytes);
        return first;
    }
    std::vector<std::string> warnings() const {
        std::vector<std::string> out;
        for (const auto& [kind, text] : ui.messages())
            if (kind == MessageKind::Warning) out.push_back(text);
        return out;
    }
};

std::string utf16le(std::initializer_list<int> units) {
    std::string s = "\xFF\xFE";
    for (int u : units) {
        s.push_back(static_cast<char>(u & 0xFF));
        s.push_back(static_cast<char>(u >> 8));
    }
    return s;
}

TEST_F(RoundTrip, BrokenEncodingsReadOnceAndStay) {
    struct Case {
        const char* what;
        std::string bytes;
        int layout;
        std::string firstName;  // name of the first header row
        std::string warning;    // after the file name and ": "
    };
    const std::string bytesNote =
        " Bytes sind kein gültiges UTF-8 und wurden als Windows-1252-Zeichen gelesen.";
    const Case cases[] = {
        // "ř" is good UTF-8; the lone code-page "ü" behind it must not turn it into "Å™" on the next read.
        {"marked utf-8, one stray byte", "\xEF\xBB\xBFT;\xC5\x99\xFC;;1\r\nA;s;;2\r\n", kLayoutNative,
         "\u0159\u00fc", "1" + bytesNote},
        {"text layout", "\xEF\xBB\xBFh\t\xC5\x99\x9D\xE2\x82\r\n", kLayoutNormal, "h", "3" + bytesNote},
        {"utf-16, unpaired surrogate and odd byte", utf16le({'T', ';', 'a', 0xD800, ';', ';', '1'}) + "x",
         kLayoutNative, "a\uFFFD", "2 ungültige UTF-16-Zeichen wurden durch U+FFFD ersetzt."},
        {"valid marked utf-8", "\xEF\xBB\xBFT;\xC5\x99;;1\r\n", kLayoutNative, "\u0159", ""},
    };
    b.setDelimiter(U'\t');
    for (const Case& c : cases) {
        ui.clearLog();
        const std::vector<std::string> table = savedAndReadAgain(c.bytes, c.layout);
        EXPECT_EQ(b.GetZl('K', 0), c.firstName) << c.what;
        const std::vector<std::string> expected =
            c.warning.empty() ? std::vector<std::string>{}
                              : std::vector<std::string>{dir.file("in.txt") + ": " + c.warning};
        EXPECT_EQ(warnings(), expected) << c.what;
        EXPECT_TRUE(isValidUtf8(readBytes(dir.file("out.txt")))) << c.what;
    }
    // A stray byte in a text layout is a cell like any other.
    ASSERT_EQ(read("\xEF\xBB\xBFh\t\xC5\x99\x9D\xE2\x82\r\n", kLayoutNormal), ReadResult::Ok);
    EXPECT_EQ(b.Get('K', 0, 0), "\u0159\u009D\u00e2\u201a");
}

TEST_F(RoundTrip, ContentThatLooksLikeAMarkStaysContent) {
    // The first field of every layout is the first header row's name (native: its type). "Ã¼" is
    // code-page text whose bytes happen to be UTF-8 for "ü".
    const std::string firsts[] = {"\u00ff\u00fe", "\u00fe\u00ff", "\u00ef\u00bb\u00bf", "\uFEFFx",
                                  "\u00c3\u00bc"};
    for (const std::string& first : firsts) {
        const std::string shown = ::testing::PrintToString(first);
        auto makeTable = [&] {
            b.Clear();
            b.InsCols(-9, 2);
            b.InsRow('K', -9);
            b.InsRow('A', -9);
            b.Put('K', first, -3, 0);
            b.PutZl('K', first, 0);
            b.Put('K', "1", 0, 0);
            b.PutZl('A', "Poa", 0);
            b.Put('A', "+", 1, 0);
        };
        makeTable();
        const std::vector<std::string> table = tableOf(b);
        written(kLayoutNative);
        ASSERT_EQ(readBack(kLayoutNative), ReadResult::Ok) << shown;
        EXPECT_EQ(tableOf(b), table) << shown;

        b.setDelimiter(U';');
        for (ExportEncoding e :
             {ExportEncoding::Utf16, ExportEncoding::Utf8, ExportEncoding::CodePage, ExportEncoding::Ascii}) {
            b.setExportEncoding(e);
            const std::string name = e == ExportEncoding::Ascii ? utf8ToAscii(first) : first;
            for (int layout :
                 {kLayoutNormal, kLayoutTransposed, kLayoutObservations, kLayoutTransposedHeader}) {
                makeTable();
                const std::string text = decodeFileText(written(layout));
                // Layout 21 has just the one name in its first line.
                const std::string expected = name + (layout == kLayoutTransposedHeader ? "\r\n" : ";");
                EXPECT_EQ(text.substr(0, expected.size()), expected)
                    << shown << " encoding " << static_cast<int>(e) << " layout " << layout;
            }
            makeTable();
            written(kLayoutNormal);
            ASSERT_EQ(readBack(kLayoutNormal), ReadResult::Ok);
            EXPECT_EQ(b.GetRow('K', 0), "T;" + name + ";;1;") << shown << " encoding " << static_cast<int>(e);
        }
    }
}

TEST_F(RoundTrip, QualifierProtectsFieldsInExports) {
    // Names and cells that hold the delimiter or the qualifier.
    ASSERT_EQ(read("T;a\tb;;say \"hi\";x\r\nT;\";;\"\"\";plain\r\n"), ReadResult::Ok);
    const std::vector<std::string> table = tableOf(b);
    b.setDelimiter(U'\t');
    b.setQualifier(U'"');
    EXPECT_EQ(written(kLayoutNormal),
              "\"a\tb\"\t\"say \"\"hi\"\"\"\tx\r\n\"\"\"\"\t\"\"\"\"\"\"\"\"\tplain\r\n\t\t\r\n");
    for (int layout : {kLayoutNormal, kLayoutTransposed}) {
        written(layout);
        ASSERT_EQ(readBack(layout), ReadResult::Ok) << layout;
        EXPECT_EQ(tableOf(b), table) << layout;
    }
    EXPECT_TRUE(warnings().empty());
}

TEST_F(RoundTrip, WithoutQualifierTheDelimiterIsReplacedAndCounted) {
    struct Case {
        char32_t delim;
        const char* cell;      // a cell holding the delimiter
        const char* readBack;  // what the export gives back
        const char* standIn;
    };
    const Case cases[] = {
        {U'\t', "a\tb", "a b", " "},
        {U',', "1,5", "1.5", "."},
        {U'|', "a|b", "a,b", ","},
    };
    for (const Case& c : cases) {
        ui.clearLog();
        b.Clear();
        b.InsCols(-9, 2);
        b.InsRow('K', -9);
        b.InsRow('A', -9);
        b.PutZl('K', c.cell, 0);
        b.Put('K', c.cell, 0, 0);
        b.Put('K', "x", 1, 0);
        b.setDelimiter(c.delim);
        b.setQualifier(0);
        for (int layout : {kLayoutNormal, kLayoutTransposed}) {
            written(layout);
            ASSERT_EQ(readBack(layout), ReadResult::Ok) << c.cell;
            EXPECT_EQ(b.GetRow('K', 0), std::string("T;") + c.readBack + ";;" + c.readBack + ";x") << c.cell;
            b.PutZl('K', c.cell, 0);
            b.Put('K', c.cell, 0, 0);
        }
        const std::string note =
            "In 2 Feldern stand das Trennzeichen; es wurde durch \"" + std::string(c.standIn) + "\" ersetzt.";
        EXPECT_EQ(warnings(), std::vector<std::string>(2, dir.file("out.txt") + ": " + note)) << c.cell;
    }
}

TEST_F(RoundTrip, QuotedFieldsAreReadAsTheyWereWritten) {
    b.setDelimiter(U'\t');
    b.setQualifier(U'"');
    ASSERT_EQ(read("h\t\"a\"\"b\"\t\"\"\t\"\"\"\"\tx\"y\"z\r\n", kLayoutNormal), ReadResult::Ok);
    EXPECT_EQ(b.GetRow('K', 0), "T;h;;a\"b;;\";xyz");

    // A delimiter and a qualifier of different lengths: one long quoted field, read in one pass.
    b.setDelimiter(U'\u0159');
    std::string many;
    for (int i = 0; i < 1000000; ++i) many += "\u0159";
    ASSERT_EQ(read("h\u0159\"" + many + "\"\u0159x\r\n", kLayoutNormal), ReadResult::Ok);
    EXPECT_EQ(b.Get('K', 0, 0), many);
    EXPECT_EQ(b.Get('K', 1, 0), "x");
}

TEST_F(RoundTrip, NativeLinesReadTheSameAfterSaving) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> table;
    };
    const Case cases[] = {
        // The type field loses its blanks like every field, and still starts the species part.
        {"blank before the type", "T;h;;1\r\n A;s;;2\r\n\tK;k;;3\r\n", {"T;h;;1", "--", "A;s;;2", "K;k;;3"}},
        // Empty rows inside a part stay, at its end they go; a part with nothing else keeps one.
        {"blank lines",
         "T;h;;1\r\n\r\n;;\r\nT;g;;2\r\n\r\n\r\nA;s;;\r\n\n\r\r\n",
         {"T;h;;1", ";;;", ";;;", "T;g;;2", "--", "A;s;;"}},
        {"only blank lines", "\r\n\r\n\r\n", {";;;", "--", "A;;;"}},
        {"blank header part", "\r\n\r\nA;s;;1\r\n", {";;;", "--", "A;s;;1"}},
    };
    for (const Case& c : cases) EXPECT_EQ(savedAndReadAgain(c.bytes, kLayoutNative), c.table) << c.what;

    // Line ends alone cost no stored rows.
    ASSERT_EQ(read("T;h;;1\r\n" + std::string(100000, '\n')), ReadResult::Ok);
    EXPECT_LT(b.L().Count(), 10);
    EXPECT_EQ(b.lastRead().lines, 100001);
}

TEST_F(RoundTrip, TransposedBlankLinesAndFieldsCostNothingUntilAValueFollows) {
    b.setDelimiter(U';');
    // Blank lines between values stay empty columns, blank lines and fields at the end leave nothing.
    EXPECT_EQ(savedAndReadAgain("h;g\r\n\r\n1;;x\r\n\r\n;;\r\n;2\r\n\r\n;;;;\r\n", kLayoutTransposed),
              (std::vector<std::string>{"T;h;;;1;;;", "T;g;;;;;;2", "T;;;;x;;;", "--", "A;;;;;;;"}));

    ASSERT_EQ(
        read("h;g\r\n" + std::string(100000, '\n') + std::string(100000, ';') + "\n", kLayoutTransposed),
        ReadResult::Ok);
    EXPECT_EQ(tableOf(b), (std::vector<std::string>{"T;h;;", "T;g;;", "--", "A;;;"}));
    EXPECT_LT(b.L().slots, 2u);
    EXPECT_LT(b.L().Count(), 10);
}

}  // namespace
}  // namespace tav
