// Finding a command by the caption path of a macro statement.

#include "editor/caption_path.h"

#include <gtest/gtest.h>

#include "env/catalogue.h"

namespace tav {
namespace {

const std::string kCatalogue = std::string(TAVOLEX_SOURCE) + "/data/tavolex.$ms";

TEST(CaptionPath, FindsTheCommandAStatementNames) {
    Catalogue catalogue;
    ASSERT_TRUE(catalogue.LoadTexts(kCatalogue).ok());
    struct Case {
        const char* statement;
        Language language;
        std::int64_t number;  // 0: no command
    };
    const Case cases[] = {
        {"ZEILEN SORT", Language::D, 103110000},   // a word inside the caption
        {"zeilen  sort", Language::D, 103110000},  // case folded, blanks between parts collapse
        {"DATEI NEU", Language::D, 101020000},
        {"DATEI &NEU", Language::D, 101020000},  // "&" asks for the whole caption
        {"DATEI &NE", Language::D, 0},
        {"HILFE VERS", Language::D, 111020000},
        {"HILFE V*ON", Language::D, 111020000},  // first letter, then the rest somewhere after it
        {"HILFE X*ON", Language::D, 0},
        {"HILFE", Language::D, 0},            // a submenu runs nothing
        {"HILFE VERS MEHR", Language::D, 0},  // nothing lies below a command
        {"GIBTS NICHT", Language::D, 0},
        {"", Language::D, 0},
        {"HELP VERS", Language::E, 111020000},
        {"HILFE VERS", Language::E, 111020000},  // German captions still work in English
        {"HELP VERS", Language::D, 0},           // but not the other way round
    };
    for (const Case& c : cases) {
        catalogue.setLanguage(c.language);
        const CommandEntry* found = findByCaptionPath(c.statement, catalogue);
        EXPECT_EQ(found ? found->number : 0, c.number) << c.statement;
    }
}

}  // namespace
}  // namespace tav
