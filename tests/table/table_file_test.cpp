#include <gtest/gtest.h>

#include <functional>

#include "core/work_files.h"
#include "platform/script_ui.h"
#include "support/table_fixture.h"
#include "support/test_files.h"
#include "table/edit_buffer.h"

namespace tav {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

std::string crlf(std::initializer_list<const char*> lines) {
    std::string s;
    for (const char* l : lines) s += std::string(l) + "\r\n";
    return s;
}

using testing::rowsOf;
using FileTest = testing::TableFileFixture;

const std::string kExample =
    crlf({"T;Aufnahme;;12;13", "D;Datum;;03.06.2019;04.06.2019", "I;H\xF6he;,RGPS;1450;1510",
          "A;Poa alpina;,G2;+;1", "A;Carex sempervirens;;2;", "K;Moose;;"});

TEST_F(FileTest, ExampleTableReadsAndWritesBack) {
    ASSERT_EQ(read(kExample), ReadResult::Ok);
    EXPECT_EQ(b.lastRead().encoding, TextEncoding::Windows1252);
    EXPECT_EQ(b.GetRowCount('K'), 3);
    EXPECT_EQ(b.GetRowCount('A'), 3);
    EXPECT_EQ(b.GetColCount(), 2);
    EXPECT_EQ(std::string() + b.GetTyp('K', 0) + b.GetTyp('K', 1) + b.GetTyp('K', 2), "TDI");
    EXPECT_EQ(b.GetZl('K', 2), "H\u00f6he");
    EXPECT_EQ(b.GetP('K', 2), ",RGPS");
    // Every line is written with all its fields: the comment row gains its two empty cells.
    std::string expected = kExample;
    expected.replace(expected.find("K;Moose;;"), 9, "K;Moose;;;");
    EXPECT_EQ(written(kLayoutNative), expected);
}

TEST_F(FileTest, NativeLinesOfAnyLength) {
    ASSERT_EQ(read("T;Ort\r\nA;a;;1;2;3\r\n"), ReadResult::Ok);
    EXPECT_EQ(rowsOf(b, 'K'), (std::vector<std::string>{"T;Ort;;;;"}));
    EXPECT_EQ(b.GetColCount(), 3);

    // The species part starts at the first 'A' or 'K' line, whatever follows.
    ASSERT_EQ(read("T;h;;1\nK;comment;;\nA;s;;2\nT;late;;3\n"), ReadResult::Ok);
    EXPECT_EQ(b.GetRowCount('K'), 1);
    EXPECT_EQ(rowsOf(b, 'A'), (std::vector<std::string>{"K;comment;;", "A;s;;2", "T;late;;3"}));

    // Blanks around values go; empty trailing rows and columns go; a lone CR ends a line too.
    ASSERT_EQ(read("T; h ;; 1 ;;\rA;s;;;;\r\n;;;;;\r\n\r\n"), ReadResult::Ok);
    EXPECT_EQ(written(kLayoutNative), "T;h;;1\r\nA;s;;\r\n");
}

TEST_F(FileTest, WrittenLinesHaveAllFields) {
    b.InsCols(-9, 4);
    b.InsRows('K', -9, 2);
    b.InsRows('A', -9, 3);
    for (int r = 0; r < 3; ++r) b.PutZl('A', "s" + std::to_string(r), r);
    b.PutZl('K', "h", 1);
    b.Put('A', "x", 3, 2);
    std::string out = written(kLayoutNative);
    EXPECT_EQ(out, crlf({"T;;;;;;", "T;h;;;;;", "A;s0;;;;;", "A;s1;;;;;", "A;s2;;;;;x"}));
}

TEST_F(FileTest, EncodingsSurviveReadAndSave) {
    struct Case {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
    };
    // "ő" (U+0151) has no place in Windows-1252, so such a table stays UTF-8.
    const std::string utf8 =
        crlf({"T;H\xC3\xB6he \xC3\xBC;,Rm \xC3\xBC. M.;1", "A;Festuca v\xC5\x91lgyi;;+"});
    const Case cases[] = {
        {"utf-8", utf8, TextEncoding::Utf8},
        {"windows-1252", crlf({"T;H\xF6he;,Rm \xFC. M.;1", "A;Poa \x80 \x9D;;+"}), TextEncoding::Windows1252},
        {"ascii", crlf({"T;h;;1", "A;s;;+"}), TextEncoding::Utf8},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(read(c.bytes), ReadResult::Ok) << c.name;
        EXPECT_EQ(b.lastRead().encoding, c.encoding) << c.name;
        ASSERT_TRUE(b.SaveTable(dir.file("t.tab"), noProgress()));
        EXPECT_EQ(readBytes(dir.file("t.tab")), c.bytes) << c.name;
    }
    ASSERT_EQ(read(utf8), ReadResult::Ok);
    EXPECT_EQ(b.GetZl('A', 0), "Festuca v\u0151lgyi");
}

TEST_F(FileTest, ExportsInEveryEncodingReadBack) {
    const std::string table = crlf({"T;Ort;;Z\xC3\xBCrich;Gen\xC3\xA8ve", "A;Poa;;+;1",
                                    "A;\xC5\x81\xC3\xB3"
                                    "d\xC5\xBA;;;2"});
    for (ExportEncoding e : {ExportEncoding::Utf16, ExportEncoding::Utf8, ExportEncoding::CodePage}) {
        ASSERT_EQ(read(table), ReadResult::Ok);
        b.setExportEncoding(e);
        std::string out = written(kLayoutNormal);
        // The code page cannot hold every character, so that export falls back to UTF-8.
        EXPECT_EQ(out.substr(0, e == ExportEncoding::Utf16 ? 2 : 3),
                  e == ExportEncoding::Utf16 ? "\xFF\xFE" : "\xEF\xBB\xBF");
        // Read back as normal text: every row is a header row until a species database says otherwise.
        b.setSpeciesNameTest([](std::string_view n) { return n == "Poa"; });
        ASSERT_EQ(b.ReadFile(kLayoutNormal, dir.file("out.txt"), noProgress()).value(), ReadResult::Ok);
        EXPECT_EQ(rowsOf(b, 'K'), (std::vector<std::string>{"T;Ort;;Z\u00fcrich;Gen\u00e8ve"}));
        EXPECT_EQ(rowsOf(b, 'A'), (std::vector<std::string>{"A;Poa;;+;1", "A;\u0141\u00f3d\u017a;;;2"}));
        b.setSpeciesNameTest(nullptr);
    }
    ASSERT_EQ(ui.messages().size(), 1u);  // the code-page export said it fell back to UTF-8
    EXPECT_EQ(ui.messages()[0].first, MessageKind::Warning);

    b.setExportEncoding(ExportEncoding::Ascii);
    EXPECT_EQ(written(kLayoutNormal).substr(0, 17), "Ort\tZ?rich\tGen?ve");
    EXPECT_EQ(ui.messages().back().first, MessageKind::Warning);
}

TEST_F(FileTest, TextQualifierJoinsAndProtectsDelimiters) {
    b.setDelimiter(U';');
    b.setQualifier(U'"');
    ASSERT_EQ(read("h;\"a;b\";c\r\nx;\"first\r\nsecond\";y\r\n", kLayoutNormal), ReadResult::Ok);
    EXPECT_EQ(rowsOf(b, 'K'), (std::vector<std::string>{"T;h;;a,b;c", "T;x;;first --- second;y"}));
    ASSERT_FALSE(ui.messages().empty());
    EXPECT_EQ(ui.messages().back().second, "Ich habe Strichpunkte durch Kommas ersetzt.");

    ui.clearLog();
    b.setDelimiter(U'\t');
    ASSERT_EQ(read("h\t\"a\tb\"\tc;d\r\n", kLayoutNormal), ReadResult::Ok);
    EXPECT_EQ(b.Get('K', 0, 0), "a\tb");
    EXPECT_EQ(b.Get('K', 1, 0), "c,d");  // a ";" in a cell would shift the fields of a saved table
    EXPECT_EQ(ui.messages().size(), 1u);
}

TEST_F(FileTest, DelimiterDetectionAndQuestion) {
    struct Case {
        const char* firstLine;
        std::vector<std::string> answers;
        ReadResult result;
        const char* expectedCell;  // cell 0 of row 0
        std::size_t questions;
        char32_t setting = U'\t';  // the delimiter and qualifier of the settings
        char32_t qualifier = 0;
    };
    const Case cases[] = {
        {"h\ta\tb\tc;d;e;f", {}, ReadResult::Ok, "a", 0},  // as many tabs as ";": tab
        {"h;a;b\tc", {"1"}, ReadResult::Ok, "a", 1},       // ";" differs from the setting: asked
        {"h;a;b\tc", {"0"}, ReadResult::Ok, "c", 1},       // the user insists on tab
        {"h|a|b", {}, ReadResult::Ok, "", 0},              // neither: the setting (tab), no question
        {"h;a", {"2", "|"}, ReadResult::Ok, "", 2},        // another character
        {"h;a", {"3", ";", "'"}, ReadResult::Ok, "a", 3},  // character and qualifier
        {"h;a", {}, ReadResult::Cancelled, "", 0},         // no answer: cancelled
        {"h;a", {"7"}, ReadResult::Cancelled, "", 0},      // not a choice: refused
        // With a qualifier, what stands inside quotes does not count.
        {"h;\"a\tb\tc\";d", {}, ReadResult::Ok, "a\tb\tc", 0, U';', U'"'},
        {"h\t'a;b;c'", {}, ReadResult::Ok, "a,b,c", 0, U'\t', U'\''},
        {"h;\"a\tb\tc\";d", {"1"}, ReadResult::Ok, "\"a\tb\tc\"", 1, U';'},  // no qualifier: all counts
    };
    for (const Case& c : cases) {
        ScriptUi answers(c.answers);
        b.setUi(&answers);
        b.setDelimiter(c.setting);
        b.setQualifier(c.qualifier);
        EXPECT_EQ(read(std::string(c.firstLine) + "\r\n", kLayoutNormal), c.result) << c.firstLine;
        EXPECT_EQ(b.Get('K', 0, 0), std::string(c.expectedCell)) << c.firstLine;
        EXPECT_EQ(answers.tokensLeft(), 0u) << c.firstLine;
        if (c.result == ReadResult::Cancelled) {
            EXPECT_EQ(b.GetColCount(), 1);
            EXPECT_EQ(b.GetRow('K', 0), "T;;;");
        }
    }
    b.setUi(&ui);
}

TEST_F(FileTest, KeptDelimiterIsAskedOnce) {
    ScriptUi answers({"1"});
    b.setUi(&answers);
    b.KeepDelim(true);
    ASSERT_EQ(read("h;a\r\n", kLayoutNormal), ReadResult::Ok);
    ASSERT_EQ(read("g;b\r\n", kLayoutNormal), ReadResult::Ok);
    EXPECT_EQ(b.GetRow('K', 0), "T;g;;b");
    EXPECT_TRUE(answers.cancelledDialogs().empty());
    b.KeepDelim(false);
    EXPECT_EQ(b.keptDelim(), 0u);
}

TEST_F(FileTest, TransposedLayoutsRoundTrip) {
    ASSERT_EQ(read(kExample), ReadResult::Ok);
    b.setDelimiter(U';');
    std::string out = written(kLayoutTransposed);
    EXPECT_EQ(out, crlf({"Aufnahme;Datum;H\xF6he;Poa alpina;Carex sempervirens;Moose",
                         "12;03.06.2019;1450;+;2;", "13;04.06.2019;1510;1;;"}));
    b.setSpeciesNameTest([](std::string_view n) { return n == "Poa alpina"; });
    ASSERT_EQ(b.ReadFile(kLayoutTransposed, dir.file("out.txt"), noProgress()).value(), ReadResult::Ok);
    EXPECT_EQ(rowsOf(b, 'K'), (std::vector<std::string>{"T;Aufnahme;;12;13", "T;Datum;;03.06.2019;04.06.2019",
                                                        "T;H\u00f6he;;1450;1510"}));
    EXPECT_EQ(rowsOf(b, 'A'),
              (std::vector<std::string>{"A;Poa alpina;;+;1", "A;Carex sempervirens;;2;", "A;Moose;;;"}));

    // Without a species database every row is a header row.
    b.setSpeciesNameTest(nullptr);
    ASSERT_EQ(b.ReadFile(kLayoutTransposed, dir.file("out.txt"), noProgress()).value(), ReadResult::Ok);
    EXPECT_EQ(b.GetRowCount('K'), 6);
    EXPECT_EQ(b.GetRow('A', 0), "A;;;;");

    ASSERT_EQ(read(kExample), ReadResult::Ok);
    EXPECT_EQ(written(kLayoutTransposedHeader),
              crlf({"Aufnahme;Datum;H\xF6he", "12;03.06.2019;1450", "13;04.06.2019;1510"}));
}

TEST_F(FileTest, ObservationLines) {
    ASSERT_EQ(read(crlf({"T;Nr;;1;2", "T;Ort;;a;b", "A;s1;;+;1", "A;s2;;;3"})), ReadResult::Ok);
    b.setDelimiter(U';');
    EXPECT_EQ(written(kLayoutObservations),
              crlf({"Nr;Ort;Artname;Deckung", "1;a;s1;+", "2;b;s1;1", "2;b;s2;3"}));

    // Marked header rows choose the written ones; with only species rows marked, all header rows stay.
    b.mark(MarkSet::MroK, 1);
    EXPECT_EQ(written(kLayoutObservations), crlf({"Ort;Artname;Deckung", "a;s1;+", "b;s1;1", "b;s2;3"}));
    b.ClearM();
    b.mark(MarkSet::MroA, 1);
    EXPECT_EQ(written(kLayoutObservations, true), crlf({"Nr;Ort;Artname;Deckung", "2;b;s2;3"}));

    // The marked part with only header rows marked: every species row goes along.
    b.ClearM();
    b.mark(MarkSet::MroK, 1);
    EXPECT_EQ(written(kLayoutObservations, true),
              crlf({"Ort;Artname;Deckung", "a;s1;+", "b;s1;1", "b;s2;3"}));
}

// A row type that belongs to the other part would move the row there when the file is read again: every
// route that sets a type refuses it, and the rows stay in their part after saving and reading.
TEST_F(FileTest, RowTypesStayInTheirPartThroughSaveAndReload) {
    struct Case {
        const char* route;
        std::function<bool(TEditBuffer&)> edit;  // false when the edit reports the type refused
        std::vector<std::string> header, species;
    };
    auto pasteRow = [](int typ, const char* line) {
        return [typ, line](TEditBuffer& t) {
            t.StartClip('A');
            t.addClipLine(line);
            t.Paste(typ, ' ', 0, 0, noProgress());
            return false;
        };
    };
    const std::vector<std::string> K = {"T;Nr;;1;2", "T;Ort;;a;b"}, A = {"A;s1;;+;1", "A;s2;;;3"};
    const Case cases[] = {
        {"PutTyp A on a header row", [](TEditBuffer& t) { return t.PutTyp('K', 'A', 1); }, K, A},
        {"PutTyp K on a header row", [](TEditBuffer& t) { return t.PutTyp('K', 'K', 0); }, K, A},
        {"PutTyp T on the first species row", [](TEditBuffer& t) { return t.PutTyp('A', 'T', 0); }, K, A},
        {"PutTyp blank on the first species row", [](TEditBuffer& t) { return t.PutTyp('A', ' ', 0); }, K, A},
        {"PutRow of a species line into the header",
         [](TEditBuffer& t) { return t.PutRow('K', "K;x;;1;2", 0); },
         {"T;x;;1;2", "T;Ort;;a;b"},
         A},
        {"PutRow of a header line into the species part",
         [](TEditBuffer& t) { return t.PutRow('A', "D;y;;5;", 0); },
         K,
         {"A;y;;5;", "A;s2;;;3"}},
        {"pasting a header row clip into the species part",
         pasteRow(4, "I;Ort2;;c;d"),
         K,
         {"A;Ort2;;c;d", "A;s1;;+;1", "A;s2;;;3"}},
        {"pasting a species row clip into the header",
         pasteRow(2, "A;s9;;+;"),
         {"T;s9;;+;", "T;Nr;;1;2", "T;Ort;;a;b"},
         A},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(read(crlf({"T;Nr;;1;2", "T;Ort;;a;b", "A;s1;;+;1", "A;s2;;;3"})), ReadResult::Ok);
        const std::size_t shown = ui.messages().size();
        EXPECT_FALSE(c.edit(b)) << c.route;
        ASSERT_TRUE(b.SaveTable(dir.file("saved.tab"), noProgress()));
        ASSERT_EQ(b.ReadFile(kLayoutNative, dir.file("saved.tab"), noProgress()).value(), ReadResult::Ok);
        EXPECT_EQ(rowsOf(b, 'K'), c.header) << c.route;
        EXPECT_EQ(rowsOf(b, 'A'), c.species) << c.route;
        if (std::string_view(c.route).starts_with("pasting")) {
            ASSERT_EQ(ui.messages().size(), shown + 1) << c.route;
            EXPECT_EQ(
                ui.messages().back().second,
                "1 Zeile hat ihren Zeilentyp nicht behalten, weil er nicht zu diesem Tabellenteil passt.");
        }
    }
}

TEST_F(FileTest, MarkedPartsAndColumns) {
    ASSERT_EQ(read(crlf({"T;Nr;;1;2;3", "A;s1;;+;1;2", "A;s2;;;3;"})), ReadResult::Ok);
    b.setDelimiter(U';');
    b.mark(MarkSet::McoR, 1);
    // Native files leave the marked columns out (the editor drops columns this way); exports keep only them.
    EXPECT_EQ(written(kLayoutNative, true), crlf({"T;Nr;;1;3", "A;s1;;+;2", "A;s2;;;"}));
    EXPECT_EQ(written(kLayoutNormal, true), crlf({"Nr;2", "s1;1", "s2;3"}));
    b.ClearM();
    b.mark(MarkSet::MroK, 0);
    b.mark(MarkSet::MroA, 1);
    EXPECT_EQ(written(kLayoutNormal, true), crlf({"Nr;1;2;3", "s2;;3;"}));
}

TEST_F(FileTest, AppendingBelowAndWorkFiles) {
    ASSERT_EQ(read(crlf({"T;Nr;;1;2", "A;s1;;+;1"})), ReadResult::Ok);
    ASSERT_TRUE(b.WriteFile(kLayoutNative, workFile("1.$tp"), noProgress(), nullptr, nullptr, nullptr));
    writeBytes(workFile("2.$tp"), crlf({"T;Ort;;x;y;z", "A;s2;;;;5"}));
    ASSERT_EQ(b.LoadTmp(3, noProgress()).value(), ReadResult::Ok);
    EXPECT_EQ(rowsOf(b, 'K'), (std::vector<std::string>{"T;Nr;;1;2;", "T;Ort;;x;y;z"}));
    EXPECT_EQ(rowsOf(b, 'A'), (std::vector<std::string>{"A;s1;;+;1;", "A;s2;;;;5"}));
    ASSERT_EQ(b.LoadTmp(1, noProgress()).value(), ReadResult::Ok);
    EXPECT_EQ(b.GetColCount(), 2);
    EXPECT_EQ(b.LoadTmp(9, noProgress()).value(), ReadResult::Cancelled);
}

TEST_F(FileTest, MissingFileLeavesTheTableAlone) {
    ASSERT_EQ(read(kExample), ReadResult::Ok);
    const std::size_t shown = ui.messages().size();
    const Result<ReadResult> missing = b.LoadFile(kLayoutNative, dir.file("none.tab"), noProgress());
    EXPECT_EQ(missing.value(), ReadResult::Unreadable);
    EXPECT_EQ(missing.status().plain(), "Kann " + dir.file("none.tab") + " nicht öffnen.");
    EXPECT_EQ(b.GetRowCount('A'), 3);
    const Result<ReadResult> observations = b.ReadFile(kLayoutObservations, dir.file("in.txt"), noProgress());
    EXPECT_EQ(observations.value(), ReadResult::Unreadable);
    EXPECT_EQ(observations.status().plain(), "Das Einlesen von Beobachtungslisten ist noch nicht verfügbar.");
    EXPECT_EQ(b.GetRowCount('A'), 3);
    EXPECT_EQ(ui.messages().size(), shown);  // returned, not shown: the caller reports
}

class AbortingProgress : public Progress {
  public:
    void setPosition(std::int64_t) override { requestAbort(); }
};

TEST_F(FileTest, SavingKeepsThePreviousVersionAndNeverLosesTheFile) {
    const std::string target = dir.file("x.tab");
    writeBytes(target, "old\r\n");
    writeBytes(dir.file("x.~ta"), "older\r\n");
    ASSERT_EQ(read(kExample), ReadResult::Ok);
    ASSERT_TRUE(b.SaveTable(target, noProgress()));
    EXPECT_EQ(readBytes(dir.file("x.~ta")), "old\r\n");
    const std::string saved = readBytes(target);
    EXPECT_EQ(saved.substr(0, 17), "T;Aufnahme;;12;13");

    // A write that does not complete leaves both files as they were and no stray file behind.
    AbortingProgress abort;
    const Status aborted = b.SaveTable(target, abort);
    EXPECT_FALSE(aborted.ok());
    EXPECT_TRUE(aborted.messages().empty());  // the user stopped it: nothing to say
    EXPECT_EQ(readBytes(target), saved);
    EXPECT_EQ(readBytes(dir.file("x.~ta")), "old\r\n");
    const std::string nowhere = dir.file("no/such/folder.tab");
    EXPECT_EQ(b.SaveTable(nowhere, noProgress()).plain(),
              "Kann " + nowhere +
                  " nicht speichern: cannot create a file in the folder: No such file or directory");
    std::size_t files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 3u);  // in.txt, x.tab, x.~ta
}

TEST_F(FileTest, SamplesRoundTripByteIdentical) {
    for (const char* name : {"dune.tab", "vare.tab"}) {
        const std::string path = std::string(TAVOLEX_SAMPLES) + "/" + name;
        ASSERT_EQ(b.ReadFile(kLayoutNative, path, noProgress()).value(), ReadResult::Ok) << name;
        ASSERT_TRUE(b.SaveTable(dir.file(name), noProgress()));
        EXPECT_EQ(readBytes(dir.file(name)), readBytes(path)) << name;
    }
}

}  // namespace
}  // namespace tav
