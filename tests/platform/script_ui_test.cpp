#include "platform/script_ui.h"

#include <gtest/gtest.h>

namespace tav {
namespace {

TEST(ScriptUi, AnswersFromTokensAndRefusesBadOnes) {
    const std::vector<std::string> items = {"Ort", "Datum", "Höhe"};
    struct Case {
        const char* token;
        bool multi;
        std::optional<std::vector<int>> pick;
    };
    const Case listCases[] = {
        {"1", false, std::vector<int>{1}},
        {"HÖHE", false, std::vector<int>{2}},  // item text, letter case ignored
        {"2,0,2", true, std::vector<int>{0, 2}},
        {"2,0", false, std::nullopt},  // one pick only
        {"3", false, std::nullopt},
        {"-1", true, std::nullopt},
        {"1,x", true, std::nullopt},
        {"Ort ", false, std::vector<int>{0}},
    };
    for (const Case& c : listCases) {
        ScriptUi ui({c.token});
        EXPECT_EQ(ui.pickFromList("Liste", items, c.multi), c.pick) << c.token;
        EXPECT_EQ(ui.cancelledDialogs().size(), c.pick ? 0u : 1u) << c.token;
    }

    const std::pair<const char*, std::optional<int>> radioCases[] = {{"0", 0},
                                                                     {"3", 3},
                                                                     {" 2 ", 2},
                                                                     {"4", std::nullopt},
                                                                     {"-1", std::nullopt},
                                                                     {"x", std::nullopt},
                                                                     {"", std::nullopt}};
    for (const auto& [token, answer] : radioCases) {
        ScriptUi ui({token});
        EXPECT_EQ(ui.radioDialog("DlgDelimEinst", 4, 0), answer) << token;
    }
}

TEST(ScriptUi, NoTokenLeftCancelsAndSaysWhich) {
    std::FILE* log = std::tmpfile();
    ScriptUi ui({"Bern"}, log);
    EXPECT_EQ(ui.inputText("MsgWhichChar", "MsgDelimitor", ""), "Bern");
    EXPECT_EQ(ui.inputText("MsgWhichChar", "MsgDelimitor", ""), std::nullopt);
    EXPECT_EQ(ui.radioDialog("DlgDelimEinst", 4, 1), std::nullopt);
    ui.showError("Kann x nicht öffnen.");
    EXPECT_EQ(ui.cancelledDialogs(), (std::vector<std::string>{"MsgWhichChar", "DlgDelimEinst"}));

    std::rewind(log);
    char buf[512] = {};
    std::size_t n = std::fread(buf, 1, sizeof buf - 1, log);
    std::fclose(log);
    EXPECT_EQ(std::string(buf, n),
              "warning: dialog MsgWhichChar cancelled: no answer given\n"
              "warning: dialog DlgDelimEinst cancelled: no answer given\n"
              "error: Kann x nicht öffnen.\n");
}

}  // namespace
}  // namespace tav
