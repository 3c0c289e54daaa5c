// The help pages: one per topic with its commands, and the contents linking them all.

#include "editor/help_pages.h"

#include <gtest/gtest.h>

#include "support/editor_fixture.h"

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
        if (p.html.find("103110000") != std::string::npos) sorting = &p;
    ASSERT_NE(sorting, nullptr);
    EXPECT_NE(sorting->html.find("noch nicht verfügbar"), std::string::npos);
}

}  // namespace
}  // namespace tav
