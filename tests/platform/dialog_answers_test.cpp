#include "platform/dialog_answers.h"

#include <gtest/gtest.h>

#include "platform/script_ui.h"

namespace tav {
namespace {

DialogRequest request(DialogKind kind, std::vector<std::string> items, int firstGroup = 0,
                      bool multi = false) {
    DialogRequest r;
    r.kind = kind;
    r.name = "DlgT";
    r.items = std::move(items);
    r.firstGroupSize = firstGroup;
    r.multi = multi;
    return r;
}

TEST(DialogAnswers, ItemMatching) {
    struct Case {
        const char* token;
        const char* item;
        bool match;
    };
    const Case cases[] = {
        {"ar*li", "Art / Linie", true},  // first letters agree, "LI" found from position 3 on
        {"ar*xx", "Art / Linie", false},
        {"a*", "Art", true},
        {"art", "Art / Linie", true},     // the item begins with the token
        {"linie", "Art / Linie", false},  // first characters differ
        {"&linie", "Linie", true},        // "&": the whole item, no prefix
        {"&lin", "Linie", false},
        {"ö", "Ökologie", true},  // folded: ö and Ö agree
        {"e", "é", true},
        {"", "Art", false},
        {"s&h", "&Schliessen", false},
        {"&schliessen", "&Schliessen", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matchesItem(c.token, c.item), c.match) << c.token << " / " << c.item;

    const std::pair<const char*, const char*> clean[] = {
        {"abc", "abc"}, {"'a b'", "a b"}, {"x\"in side\"y", "in side"}, {"\"open", "open"}, {"it's", "s"}};
    for (const auto& [token, answer] : clean) EXPECT_EQ(CleanAnswer(token), answer) << token;
}

TEST(DialogAnswers, TokensGiveAnswersOrAreRefused) {
    const std::vector<std::string> five = {"Tab", "Strichpunkt", "Anderes Zeichen",
                                           "Zeichen und Textbegrenzer", "Art / Linie"};
    struct Case {
        DialogRequest req;
        const char* token;
        std::optional<std::string> answer;
    };
    const Case cases[] = {
        {request(DialogKind::Radio, five), "#0010", "2"},
        {request(DialogKind::Radio, five), "#", std::nullopt},        // no item: refused, not −2
        {request(DialogKind::Radio, five), "#000001", std::nullopt},  // beyond the items
        {request(DialogKind::Radio, five), "str", "1"},
        {request(DialogKind::Radio, five), "ar*li", "4"},
        {request(DialogKind::Radio, five), "3", "3"},  // a number names the item when no text does
        {request(DialogKind::Radio, five), "9", std::nullopt},
        {request(DialogKind::Radio, five), "xyz", std::nullopt},
        {request(DialogKind::Check, five), "#1", "1    "},
        {request(DialogKind::Check, five), "#10101", "10101"},
        {request(DialogKind::Check, five), "#101011", std::nullopt},
        {request(DialogKind::Check, five), "#12", std::nullopt},
        {request(DialogKind::Check, five), "zeichen", "00010"},
        {request(DialogKind::DRadio, {"a", "b", "c", "x", "y"}, 3), "#00101", "102"},
        {request(DialogKind::DRadio, {"alpha", "beta", "ax", "bx"}, 2), "b", "101"},
        {request(DialogKind::DRadio, {"alpha", "beta", "gx", "hx"}, 2), "b", std::nullopt},
        {request(DialogKind::DCheck, {"a", "b", "ab", "c"}, 2), "a", "1010"},
        {request(DialogKind::DCheck, {"a", "b", "ab", "c"}, 2), "#01", "01  "},
        {request(DialogKind::List, {"l1", "l2", "l3"}), "2", "1"},
        {request(DialogKind::List, {"l1", "l2", "l3"}, 0, true), "3,1", "2,0"},
        {request(DialogKind::List, {"l1", "l2", "l3"}), "3,1", std::nullopt},  // one line only
        {request(DialogKind::List, {"l1", "l2", "l3"}), "4", std::nullopt},
        {request(DialogKind::List, {"l1", "l2", "l3"}), "0", std::nullopt},
        {request(DialogKind::List, {"l1", "l2", "l3"}), "x", std::nullopt},
        {request(DialogKind::OpenFile, {}), "my*table.tab", "my table.tab"},
        {request(DialogKind::OpenFile, {}, 0, true), "a.tab b*c.tab", "a.tab|b c.tab"},
        {request(DialogKind::SaveFile, {}), "a.tab b.tab", std::nullopt},
        {request(DialogKind::SaveFile, {}), "", std::nullopt},
        {request(DialogKind::YesNoCancel, {}), "ja", "Y"},
        {request(DialogKind::YesNoCancel, {}), "Nein", "N"},
        {request(DialogKind::YesNoCancel, {}), "alle", std::nullopt},
        {request(DialogKind::YesNoCancelAll, {}), "alle", "A"},
        {request(DialogKind::Text, {}), "'Poa alpina'", "Poa alpina"},
    };
    for (const Case& c : cases) {
        TokenAnswer a = answerFromToken(c.req, c.token);
        EXPECT_EQ(a.answer, c.answer) << static_cast<int>(c.req.kind) << " " << c.token;
        EXPECT_EQ(a.refusal.empty(), a.answer.has_value()) << c.token;
    }
}

TEST(ScriptUi, AnswersFromTokensAndCancelsWhenNoneIsLeft) {
    std::FILE* log = std::tmpfile();
    ScriptUi ui({"Bern", "2", "2,1", "x"}, log);
    EXPECT_EQ(ui.inputText("MsgWhichChar", "MsgDelimitor", ""), "Bern");
    EXPECT_EQ(ui.radioDialog("DlgDelimEinst", 4, 1), 2);
    EXPECT_EQ(ui.pickFromList("Liste", {"a", "b", "c"}, true), (std::vector<int>{0, 1}));
    EXPECT_EQ(ui.radioDialog("DlgDelimEinst", 4, 1), std::nullopt);  // refused
    EXPECT_EQ(ui.radioDialog("DlgDelimEinst", 4, 1), std::nullopt);  // none left
    ui.showError("Kann x nicht öffnen.\rZweite Zeile");
    EXPECT_EQ(ui.cancelledDialogs(), (std::vector<std::string>{"DlgDelimEinst", "DlgDelimEinst"}));

    std::rewind(log);
    char buf[512] = {};
    std::size_t n = std::fread(buf, 1, sizeof buf - 1, log);
    std::fclose(log);
    EXPECT_EQ(std::string(buf, n),
              "warning: dialog DlgDelimEinst cancelled: \"x\" names no item\n"
              "warning: dialog DlgDelimEinst cancelled: no answer given\n"
              "error: Kann x nicht öffnen. Zweite Zeile\n");
}

}  // namespace
}  // namespace tav
