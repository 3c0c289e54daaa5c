// The help pages: one per topic with its commands, and the contents linking them all.

#include "editor/help_pages.h"

#include <gtest/gtest.h>

#include "support/editor_fixture.h"
#include "support/test_files.h"

namespace tav {
namespace {

TEST(HelpPages, OnePagePerTopicAndTheContents) {
    testing::EditorFixture e;
    const std::vector<HelpPage> pages =
        helpPages(e.session.catalogue(), [&e](std::int64_t n) { return e.dispatcher.available(n); });
    ASSERT_GT(pages.size(), 60u);
    EXPECT_EQ(pages.back().file, "index.htm");
    const HelpPage* fields = nullptr;
    for (const HelpPage& p : pages) {
        if (p.file == "mnuFelder.htm") fields = &p;
        if (p.file != "index.htm") {
            EXPECT_NE(pages.back().html.find("href=\"" + p.file + "\""), std::string::npos);
        }
    }
    ASSERT_NE(fields, nullptr);
    EXPECT_NE(fields->html.find("<title>Felder zufügen / entfernen</title>"), std::string::npos);
    EXPECT_NE(fields->html.find("102100700"), std::string::npos);
    // A command the program cannot run yet says so on its page.
    const HelpPage* sorting = nullptr;
    for (const HelpPage& p : pages)
        if (p.html.find("109050100") != std::string::npos) sorting = &p;  // "Streudiagramm"
    ASSERT_NE(sorting, nullptr);
    EXPECT_NE(sorting->html.find("noch nicht verfügbar"), std::string::npos);
}

TEST(HelpPages, TextsDescribeTopicsAndCommands) {
    testing::TempDir dir;
    testing::writeBytes(dir.file("a.txt"), "# Felder\nmnuFelder;Felder fügen Zeilen & Spalten ein.\n\n");
    testing::writeBytes(dir.file("b.txt"), "102100700 ; Setzt ein neues Feld.\r\n");
    testing::writeBytes(dir.file("c.md"), "kein Text");
    Result<HelpTexts> texts = readHelpTexts(dir.path());
    ASSERT_TRUE(texts.ok());
    EXPECT_EQ(texts.value().size(), 2u);
    testing::EditorFixture e;
    for (const HelpPage& p : helpPages(e.session.catalogue(), {}, texts.value())) {
        if (p.file != "mnuFelder.htm") continue;
        EXPECT_NE(p.html.find("<p>Felder fügen Zeilen &amp; Spalten ein.</p>"), std::string::npos);
        EXPECT_NE(p.html.find("<td>Setzt ein neues Feld.</td>"), std::string::npos);
    }
    // A line that is no KEY;TEXT names its file and line.
    testing::writeBytes(dir.file("d.txt"), "mnuRand;gut\nohne Trenner\n");
    const Result<HelpTexts> bad = readHelpTexts(dir.path());
    ASSERT_FALSE(bad.ok());
    EXPECT_NE(bad.status().plain().find("d.txt, Zeile 2"), std::string::npos);
}

}  // namespace
}  // namespace tav
