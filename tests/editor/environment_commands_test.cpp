// The commands that write settings, run from statements: each option dialog's answer becomes its
// setting; settings kept aside, written to a file and read back; the cover-code definition as a table.

#include "editor/environment_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/file_io.h"
#include "editor/dispatch.h"
#include "editor/session.h"
#include "editor/statements.h"
#include "platform/script_ui.h"
#include "support/editor_fixture.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::TempDir;

using Editor = testing::EditorFixture;

TEST(EnvironmentCommands, OptionDialogsWriteTheirSettings) {
    struct Case {
        const char* statements;
        std::function<bool(const TProjectSettings&)> holds;
    };
    const Case cases[] = {
        {"OPTIONEN SPRACHE;4", [](const auto& s) { return s.Sprache == "English"; }},
        {"OPTIONEN DEZIMAL;3", [](const auto& s) { return s.Diversa.Decimals == 3; }},
        {"OPTIONEN EIN TRENN;1",
         [](const auto& s) { return s.Diversa.DelimEinst == ';' && s.Diversa.QualiEinst == 0; }},
        {"OPTIONEN EIN TRENN;3 | ~",
         [](const auto& s) { return s.Diversa.DelimEinst == '|' && s.Diversa.QualiEinst == '~'; }},
        {"OPTIONEN EIN TRENN;2 +",
         [](const auto& s) { return s.Diversa.DelimEinst == '\t'; }},  // no character
        {"OPTIONEN EIN C*EXPORT;1", [](const auto& s) { return s.Diversa.ExportEncoding == 1; }},
        {"OPTIONEN DECKUNGSC DECKUNGSCODE;3", [](const auto& s) { return s.DeckEinst == 4; }},
        {"OPTIONEN DECKUNGSC UMRECHNUNG;1", [](const auto& s) { return s.GesDeckEinst == 2; }},
        {"OPTIONEN SCHNELL S*AUS;", [](const auto& s) { return s.Diversa.Schnellsuche == 1; }},
        {"OPTIONEN SCHNELL S*AUS;;OPTIONEN SCHNELL S*AUS;",
         [](const auto& s) { return s.Diversa.Schnellsuche == 0; }},
        {"OPTIONEN SCHNELL ÜBERSICHT;", [](const auto& s) { return s.Diversa.UeberEingabe == 1; }},
        {"OPTIONEN EDITOR HÖHE BREITE;2", [](const auto& s) { return s.Diversa.RandBreite == 2; }},
        {"OPTIONEN EDITOR HÖHE SPALTEN;120", [](const auto& s) { return s.BildEinst.DimCells.X == 120; }},
        {"OPTIONEN EDITOR HÖHE ZEILEN;30;OPTIONEN EDITOR HÖHE HÖHE;",
         [](const auto& s) { return s.BildEinst.DimCells.Y == 0; }},
        {"OPTIONEN EDITOR SYMBOL GRÖSSE;1", [](const auto& s) { return s.BildEinst.ToolSize == 1; }},
    };
    for (const Case& c : cases) {
        Editor e;
        const Status s = e.run(c.statements);
        EXPECT_TRUE(s.ok()) << c.statements << ": " << s.plain();
        EXPECT_TRUE(c.holds(e.session.settings())) << c.statements;
    }
    // The language applies at once.
    Editor e;
    ASSERT_TRUE(e.run("OPTIONEN SPRACHE;4;HILFE VERS;").ok());
    EXPECT_EQ(e.ui.messages().back().second.rfind("Tavolex, version", 0), 0u)
        << e.ui.messages().back().second;
    // A number out of range is refused and changes nothing; so is a qualifier that is the delimiter.
    const int decimals = e.session.settings().Diversa.Decimals;
    EXPECT_FALSE(e.run("OPTIONEN DEZIMAL;zwei").ok());
    EXPECT_FALSE(e.run("OPTIONEN DEZIMAL;99").ok());
    EXPECT_EQ(e.session.settings().Diversa.Decimals, decimals);
    EXPECT_FALSE(e.run("OPTIONEN EIN TRENN;3 | |").ok());
    EXPECT_EQ(e.session.settings().Diversa.DelimEinst, '\t');
}

TEST(EnvironmentCommands, CheckDialogsOverSettingsGroups) {
    Editor e;
    std::string before;
    e.session.settings().SetCurScrEinst(before);
    ASSERT_FALSE(before.empty());
    std::string flipped = before;
    flipped[0] = flipped[0] == '1' ? '0' : '1';
    ASSERT_TRUE(e.run("OPTIONEN EDITOR CURSOR;#" + flipped).ok());
    std::string after;
    e.session.settings().SetCurScrEinst(after);
    EXPECT_EQ(after, flipped);
}

TEST(EnvironmentCommands, SettingsKeptAsideAndInFiles) {
    Editor e;
    auto& d = e.session.settings().Diversa;
    ASSERT_TRUE(e.run("OPTIONEN DEZIMAL;2;DATEI ARBEITS EINST ZWISCHEN;;OPTIONEN DEZIMAL;5").ok());
    ASSERT_EQ(d.Decimals, 5);
    ASSERT_TRUE(e.run("DATEI ARBEITS EINST LADEN;").ok());
    EXPECT_EQ(d.Decimals, 2);

    const std::string file = e.dir.file("eigene.$vp");
    ASSERT_TRUE(e.run("OPTIONEN DEZIMAL;4;DATEI ARBEITS EINST IN;" + file).ok());
    ASSERT_TRUE(e.run("OPTIONEN DEZIMAL;1;DATEI ARBEITS EINST AUS;" + file).ok());
    EXPECT_EQ(d.Decimals, 4);
    // Writing over an existing file asks first.
    EXPECT_TRUE(e.run("OPTIONEN DEZIMAL;6;DATEI ARBEITS EINST IN;" + file + " N").ok());
    ASSERT_TRUE(e.run("DATEI ARBEITS EINST AUS;" + file).ok());
    EXPECT_EQ(d.Decimals, 4);
    // A file that is not there changes nothing.
    EXPECT_FALSE(e.run("DATEI ARBEITS EINST AUS;" + e.dir.file("fehlt.$vp")).ok());
    EXPECT_EQ(d.Decimals, 4);

    ASSERT_TRUE(e.run("OPTIONEN DEZIMAL;3;DATEI ARBEITS EINST VOREIN;").ok());
    EXPECT_EQ(d.Decimals, Editor().session.settings().Diversa.Decimals);

    e.session.settings().FileHistory[4] = "/x/a.tab";
    ASSERT_TRUE(e.run("DATEI ARBEITS FILE;").ok());
    EXPECT_EQ(e.session.settings().FileHistory[4], "");
}

TEST(EnvironmentCommands, CoverCodeDefinitionOpensAsTable) {
    Editor e;
    ASSERT_TRUE(e.run("OPTIONEN DECKUNGSC AKTUELLEN;").ok()) << e.ui.messages().back().second;
    const TEditBuffer& b = e.session.buffer();
    EXPECT_GT(b.GetRowCount('K') + b.GetRowCount('A'), 1);
    bool hasR = false;  // the filled template holds the Braun-Blanquet codes of the run
    for (int c = -2; c < b.GetColCount(); ++c)
        for (char part : {'K', 'A'})
            for (int r = 0; r < b.GetRowCount(part); ++r) hasR = hasR || b.Get(part, c, r) == "r";
    EXPECT_TRUE(hasR);
    ASSERT_TRUE(e.run("OPTIONEN DECKUNGSC DEFINIEREN;").ok());
}

TEST(EnvironmentCommands, SwitchingTheEnvironment) {
    Editor e;
    const std::string file = e.dir.file("neu.$vp");
    ASSERT_TRUE(e.run("OPTIONEN DEZIMAL;5;DATEI ARBEITS UMGEBUNG*W;" + file).ok());
    EXPECT_EQ(e.session.settings().settingsPath(), file);
    EXPECT_TRUE(fileExists(file));  // created empty, so the defaults hold again
    EXPECT_EQ(e.session.settings().Diversa.Decimals, Editor().session.settings().Diversa.Decimals);
    EXPECT_EQ(e.session.fileName(), kUnnamedTable);

    // The assistant's standard environment in the data folder, here without any of its parts.
    ASSERT_TRUE(e.run("DATEI ARBEITS UMGEBUNG*EIN;0 #000").ok()) << e.ui.messages().back().second;
    EXPECT_EQ(e.session.settings().settingsPath(), e.dir.file("Standard.$VP"));
    EXPECT_TRUE(std::filesystem::is_directory(e.dir.file("Rdata/TavLink")));
    // Parts the program cannot set up yet say so.
    EXPECT_FALSE(e.run("DATEI ARBEITS UMGEBUNG*EIN;0 #010").ok());
    EXPECT_EQ(e.ui.messages().back().second, "Zeigerwerte einrichten: noch nicht verfügbar.");
}

TEST(EnvironmentCommands, ExternalFunctionsAndTheirFormButtons) {
    Editor e;
    e.ui.addToken("/r/funktionen.tab;/r/austausch;Rscript;");
    ASSERT_TRUE(e.run("MODULE EXTERN FUNKTIONEN*EIN;").ok()) << e.ui.messages().back().second;
    EXPECT_EQ(e.session.settings().Extern.Name, "/r/funktionen.tab");
    EXPECT_EQ(e.session.settings().Extern.Cmd, "Rscript");

    e.ui.addToken("/usr/bin/R.exe");
    EXPECT_EQ(inputFormButton(e.session, "FindFileExe", "/usr/bin/x"), "/usr/bin/R");
    e.ui.addToken(e.dir.path());
    EXPECT_EQ(inputFormButton(e.session, "FindDir", "/"), e.dir.path());
    EXPECT_EQ(inputFormButton(e.session, "Unbekannt", "x"), std::nullopt);
    const auto defaults = externDefaults(e.session);
    EXPECT_FALSE(defaults[0].empty());

    testing::writeBytes(e.dir.file("tavFirst.R"),
                        "# start\r\n  sourcedir <- \"C:/alt\"\r\nworkdir <- \"x\"\r\nprint(1)\r\n");
    e.ui.addToken(e.dir.file("erster.R"));
    ASSERT_TRUE(writeFirstStartScript(e.session, e.dir.file("funktionen.tab"), "C:\\tausch"));
    EXPECT_EQ(testing::readBytes(e.dir.file("erster.R")),
              "# start\r\nsourcedir <- \"" + e.dir.path() + "\"\r\nworkdir <- \"C:/tausch\"\r\nprint(1)\r\n");
}

}  // namespace
}  // namespace tav
