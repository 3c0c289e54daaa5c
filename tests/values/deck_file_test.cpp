#include "values/deck_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text.h"
#include "support/test_files.h"
#include "values/deck_inter.h"

namespace tav {
namespace {

using testing::TempDir;

TDeckInter interpreterOf(const RDeckCode& dc) {
    CoverSettings st;
    st.DeckEinst = 10;
    return TDeckInter(dc, st);
}

void expectSameSystem(const TDeckInter& a, const TDeckInter& b) {
    EXPECT_EQ(a.Titel(), b.Titel());
    EXPECT_EQ(a.Typ(), b.Typ());
    EXPECT_EQ(a.SozDelim(), b.SozDelim());
    EXPECT_EQ(a.Min(), b.Min());
    EXPECT_EQ(a.Max(), b.Max());
    EXPECT_EQ(a.Code(), b.Code());
    EXPECT_EQ(a.Soz(), b.Soz());
    EXPECT_EQ(a.Attr(), b.Attr());
    EXPECT_EQ(a.Replace(), b.Replace());
}

std::vector<std::string> fieldsOf(const RDeckCode& d) {
    return {d.Titel,  d.Typ,      d.Code,    d.Seq,    d.Perc,     d.PeCo,    d.Min,      d.Max,
            d.Legend, d.SozDelim, d.SozCode, d.SozSeq, d.AttrCode, d.AttrTyp, d.ReplaceS, d.ReplaceT};
}

// ---------------------------------------------------------------------------------------------------
// Writing and reading back

TEST(DeckFile, WrittenSystemsReadBackUnchanged) {
    TempDir dir;
    // 7 uses every list, 4 the limits, 1 the legends, 2 a number kind without codes.
    for (int n : {7, 1, 4, 2, 6}) {
        SCOPED_TRACE("system " + std::to_string(n));
        const TDeckInter original = interpreterOf(builtInCoverSystem(n));
        const std::string fname = dir.file("system" + std::to_string(n) + ".txt");
        ASSERT_EQ(original.WriteToFile(true, fname).plain(), "");
        const Result<RDeckCode> read = readCoverDefinition(fname);
        ASSERT_TRUE(read.ok());
        expectSameSystem(interpreterOf(read.value()), original);
    }
}

// What a hand-written file holds survives writing: a delimiter of several bytes, limits with more
// digits than the usual 15.
TEST(DeckFile, HandWrittenValuesSurviveWriting) {
    TempDir dir;
    struct Case {
        std::string content;
        std::string writtenRow;  // bytes of the written file
    };
    const std::string codes = "T;Typ;;Code\r\nT;Code;;1;2\r\nT;SozCode;;a;b\r\n";
    const Case cases[] = {
        // Windows-1252 right quotation mark; the file stays in the code page.
        {codes + "T;SozDelim;;\x94\r\n", "Soziabilit\xE4t);;\x94\r\n"},
        // A character outside the code page: the file is written in UTF-8; only the first one counts.
        {codes + "T;SozDelim;;\xE2\x86\x92x\r\n", "Soziabilit\xC3\xA4t);;\xE2\x86\x92\r\n"},
        {"T;Typ;;Float\r\nF;Maximum;;3333333333333333333\r\n", "Wert);;3.3333333333333335e+18\r\n"},
        {"T;Typ;;Float\r\nF;Minimum;;-0.12345678901234567\r\n", "Wert);;-0.12345678901234566\r\n"},
        {"T;Typ;;Float\r\nF;Minimum;;-2.50\r\n", "Wert);;-2.5\r\n"},
    };
    const std::string input = dir.file("hand.txt"), saved = dir.file("saved.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        testing::writeBytes(input, c.content);
        const TDeckInter first = interpreterOf(readCoverDefinition(input).value());
        ASSERT_EQ(first.WriteToFile(true, saved).plain(), "");
        EXPECT_NE(testing::readBytes(saved).find(c.writtenRow), std::string::npos);
        expectSameSystem(interpreterOf(readCoverDefinition(saved).value()), first);
    }
}

TEST(DeckFile, TemplateWithoutValues) {
    TempDir dir;
    const std::string fname = dir.file("vorlage.txt");
    ASSERT_EQ(interpreterOf(builtInCoverSystem(7)).WriteToFile(false, fname).plain(), "");

    const std::string bytes = testing::readBytes(fname);
    // Windows-1252 with CR LF; no value after any row head.
    const std::string head = "C;Vorlage f\xFCr die Definition von Deckungscodes.;;\r\nC;Bitte das";
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    EXPECT_NE(bytes.find("\r\nC\r\nT;Titel (Bezeichnung des Code-Systems);;\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nT;Ersetzen mit (fakultativ wenn Typ=Code: was daf\xFCr eingesetzt wird);;\r\n"),
              std::string::npos);
    EXPECT_EQ(bytes.size() - bytes.rfind(";;\r\n"), 4u);  // the last row ends the file
    std::size_t lines = 0;
    for (std::size_t p = bytes.find("\r\n"); p != std::string::npos; p = bytes.find("\r\n", p + 2)) ++lines;
    EXPECT_EQ(lines, 20u);
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);

    const Result<RDeckCode> read = readCoverDefinition(fname);
    ASSERT_TRUE(read.ok());
    for (const std::string& f : fieldsOf(read.value())) EXPECT_EQ(f, "");
}

TEST(DeckFile, ValuesAndEncodingOfWrittenRows) {
    TempDir dir;
    RDeckCode dc = builtInCoverSystem(7);
    dc.Titel = "Braun-Blanquet \xE2\x86\x92 Ω";  // characters outside the code page
    const std::string fname = dir.file("utf8.txt");
    ASSERT_EQ(interpreterOf(dc).WriteToFile(true, fname).plain(), "");

    const std::string bytes = testing::readBytes(fname);
    EXPECT_TRUE(isValidUtf8(bytes));
    EXPECT_NE(bytes.find("\r\nT;Titel (Bezeichnung des Code-Systems);;Braun-Blanquet \xE2\x86\x92 Ω\r\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("\r\nT;Typ (möglich sind: Code, Integer, Float, Percent, Text);;Code\r\n"),
              std::string::npos);
    EXPECT_NE(bytes.find(";;r;r-+;+;+-1;1;1-2;2;2-3;3;3-4;4;4-5;5;\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Soziabilität);;.\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Undef);;Undef;Exclude;Exclude;Ignore;\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Zeichen);;R;v;0;\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Wert);;\r\n"), std::string::npos);  // no limits in system 7

    EXPECT_EQ(readCoverDefinition(fname).value().Titel, dc.Titel);

    // Limits are written as numbers.
    RDeckCode limited = builtInCoverSystem(3);
    limited.Min = "-2.5";
    limited.Max = "1e20";
    ASSERT_EQ(interpreterOf(limited).WriteToFile(true, fname).plain(), "");
    const std::string text = decodeFileText(testing::readBytes(fname));
    EXPECT_NE(text.find("kleinster erlaubter Wert);;-2.5\r\n"), std::string::npos);
    EXPECT_NE(text.find("grösster erlaubter Wert);;1e+20\r\n"), std::string::npos);
}

TEST(DeckFile, WriteFailureIsReported) {
    TempDir dir;
    const std::string fname = dir.file("missing-folder/deck.txt");
    EXPECT_EQ(
        interpreterOf(builtInCoverSystem(6)).WriteToFile(true, fname).plain(),
        "Kann " + fname + " nicht speichern: cannot create a file in the folder: No such file or directory");
}

// ---------------------------------------------------------------------------------------------------
// Reading hand-written files

TEST(DeckFile, ReadsRowsByTheFirstWordOfTheirName) {
    TempDir dir;
    const std::string fname = dir.file("hand.txt");
    testing::writeBytes(fname,
                        "C;Titel;;Kommentar\r\n"  // comment rows are skipped
                        "Comment;Code;;x;y\r\n"   // so is any type beginning with C
                        ";Typ;;Float\r\n"         // and an empty type
                        "\r\n"
                        "T;Titel erster Versuch;;Alt\n"                // overridden below
                        "T;Titel (Bezeichnung);;  Neu und gut ;;; \r"  // lone CR ends a line
                        "T;Typ des Codes;;Integer\r\n"
                        "T;  Code  der Codes;Rand;a; b ;c;;;\r\n"  // blanks before the key, margin ignored
                        "I;Sequenz;;1;2;3\r\n"
                        "T;Legende;;sp\xE4rlich;;viel;\r\n"  // Windows-1252 text, inner empty item
                        "F;Minimum;;0\r\n"
                        "F;Maximum;;\r\n"
                        "T;titel;;klein geschrieben\r\n"  // keys are compared exactly
                        "T;Unbekannt;;egal\r\n"
                        "T;Zu ersetzen;;R;v\r\n"
                        "T;Ersetzen mit;;r;V\r\n"
                        "T;SozDelim;;.\r\n"
                        "T;AttrCode;;(;)\r\n"
                        "T;AttrTyp;;Exclude;Exclude");  // no line end at the end of the file
    const Result<RDeckCode> read = readCoverDefinition(fname);
    ASSERT_TRUE(read.ok());
    const RDeckCode& dc = read.value();
    EXPECT_EQ(dc.Titel, "Neu und gut");
    EXPECT_EQ(dc.Typ, "Integer");
    EXPECT_EQ(dc.Code, "a; b ;c");
    EXPECT_EQ(dc.Seq, "1;2;3");
    EXPECT_EQ(dc.Legend, "spärlich;;viel");
    EXPECT_EQ(dc.Min, "0");
    EXPECT_EQ(dc.Max, "");
    EXPECT_EQ(dc.ReplaceS, "R;v");
    EXPECT_EQ(dc.ReplaceT, "r;V");
    EXPECT_EQ(dc.SozDelim, ".");
    EXPECT_EQ(dc.AttrCode, "(;)");
    EXPECT_EQ(dc.AttrTyp, "Exclude;Exclude");
    EXPECT_EQ(dc.Perc, "");
    EXPECT_EQ(dc.SozCode, "");
}

TEST(DeckFile, MissingFileFallsBackToTheFirstSystem) {
    TempDir dir;
    struct Case {
        std::string fname;
        std::string reason;
    };
    const Case cases[] = {{dir.file("nicht-da.txt"), "No such file or directory"},
                          {dir.path(), "is a folder"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fname);
        const Result<RDeckCode> dc = readCoverDefinition(c.fname);
        EXPECT_FALSE(dc.ok());
        EXPECT_EQ(dc.status().plain(), c.reason);
    }
    // A missing definition file is only an information: system 1 serves.
    CoverSettings settings;
    settings.DeckEinst = 10;
    settings.DeckName = dir.file("deck.txt");
    const Result<TDeckInter> d = makeCoverInterpreter(settings);
    EXPECT_TRUE(d.ok());
    ASSERT_EQ(d.status().messages().size(), 1u);
    EXPECT_EQ(d.status().messages()[0].severity(), Severity::Info);
    EXPECT_EQ(d.status().plain(),
              "Datei " + settings.DeckName + " nicht gefunden.\rIch nehme eine vorgegebene Code-Variante.");
    EXPECT_EQ(d->Titel(), "Logarithmisch 1 bis 4");
}

TEST(DeckFile, DefinitionsThatCannotServeAreRefusedWithTheReason) {
    TempDir dir;
    struct Case {
        std::string content;
        std::string problem;  // empty: usable
    };
    const Case cases[] = {
        {"T;Typ;;Integer\r\n", ""},
        {"T;Typ;;Code\r\nT;Code;;a;b\r\n", ""},
        {"", "keine Zeile \"Typ\""},
        {std::string("\0\x01\xFF\xFEZ\0", 6), "keine Zeile \"Typ\""},
        {"T;Code;;1;2\r\n", "keine Zeile \"Typ\""},
        {"T;Typ;;code\r\nT;Code;;1\r\n",
         "unbekannter Typ \"code\" (möglich sind: Code, Integer, Float, Percent, Text)"},
        {"T;Typ;;Code\r\n", "keine Codes"},
        {"T;Typ;;Code\r\nT;Code;; ; ;\r\n", "keine Codes"},
        {std::string(1u << 20, 'x') + "\r\nT;Typ;;Text\r\n", "larger than 1 MB"},
    };
    const std::string fname = dir.file("def.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.problem);
        testing::writeBytes(fname, c.content);
        CoverSettings settings;
        settings.DeckEinst = 10;
        settings.DeckName = fname;
        const Result<TDeckInter> d = makeCoverInterpreter(settings);
        EXPECT_EQ(d.ok(), c.problem.empty());
        EXPECT_EQ(
            d.status().plain(),
            c.problem.empty()
                ? std::string()
                : "Kann " + fname + " nicht als Definition von Deckungscodes lesen: " + c.problem + ".");
        if (!c.problem.empty()) {
            EXPECT_EQ(d->Titel(), "Logarithmisch 1 bis 4");  // the fallback
        }
    }
}

}  // namespace
}  // namespace tav
