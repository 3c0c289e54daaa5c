#include "platform/script_ui.h"

#include <gtest/gtest.h>

#include "support/fake_drawing_window.h"

namespace tav {
namespace {

DialogRequest question(DialogKind kind, std::string caption, std::vector<std::string> items,
                       std::string preset) {
    DialogRequest r;
    r.kind = kind;
    r.name = "DlgT";
    r.caption = std::move(caption);
    r.items = std::move(items);
    r.initial = std::move(preset);
    return r;
}

TEST(ScriptUi, PresetsAnswerOnlyWhenAcceptedAndNeverAnOverwriteQuestion) {
    struct Case {
        const char* what;
        DialogRequest request;
        std::optional<std::string> answer;
        std::string message;
    };
    const Case cases[] = {
        {"radio preset", question(DialogKind::Radio, "Trennzeichen", {"Tab", "Semikolon"}, "1"), "1",
         "info: dialog \"Trennzeichen\" (DlgT): no answer given, preset answer \"Semikolon\" taken"},
        {"text preset", question(DialogKind::Text, "Name", {"Prompt"}, "abc"), "abc",
         "info: dialog \"Name\" (DlgT): no answer given, preset answer \"abc\" taken"},
        {"radio preset naming no item", question(DialogKind::Radio, "T", {"a", "b"}, "2"), std::nullopt,
         "warning: dialog \"T\" (DlgT) cancelled: no answer given"},
        {"no preset", question(DialogKind::SaveFile, "Datei", {}, ""), std::nullopt,
         "warning: dialog \"Datei\" (DlgT) cancelled: no answer given"},
        {"overwrite question",
         question(DialogKind::YesNoCancel, "a.tab existiert bereits. Überschreiben?", {}, "Y"), std::nullopt,
         "warning: dialog \"a.tab existiert bereits. Überschreiben?\" (DlgT) cancelled: no answer given"},
        {"overwrite question, all", question(DialogKind::YesNoCancelAll, "Trotzdem überschreiben?", {}, "A"),
         std::nullopt, "warning: dialog \"Trotzdem überschreiben?\" (DlgT) cancelled: no answer given"},
        {"other yes/no question with a preset", question(DialogKind::YesNoCancel, "Weiter?", {}, "Y"), "Y",
         "info: dialog \"Weiter?\" (DlgT): no answer given, preset answer \"Y\" taken"},
    };
    for (const Case& c : cases) {
        ScriptUi ui;
        ui.setAcceptPresets(true);
        EXPECT_EQ(ui.dialog(c.request), c.answer) << c.what;
        ASSERT_EQ(ui.messages().size(), 1u) << c.what;
        const auto& [kind, text] = ui.messages().front();
        const char* prefix = kind == MessageKind::Info ? "info: " : "warning: ";
        EXPECT_EQ(prefix + text, c.message) << c.what;

        // Without accepting presets every one of them goes unanswered.
        ScriptUi strict;
        EXPECT_EQ(strict.dialog(c.request), std::nullopt) << c.what;
        EXPECT_EQ(strict.cancelledDialogs(), std::vector<std::string>{"DlgT"}) << c.what;
    }
    // A question flagged as an overwrite question is never answered by its preset, whatever it says.
    DialogRequest replace = question(DialogKind::YesNoCancel, "Ersetzen?", {}, "Y");
    replace.overwrite = true;
    ScriptUi careful;
    careful.setAcceptPresets(true);
    EXPECT_EQ(careful.dialog(replace), std::nullopt);
    // A token answers before any preset.
    ScriptUi ui({"Tab"});
    ui.setAcceptPresets(true);
    EXPECT_EQ(ui.dialog(question(DialogKind::Radio, "T", {"Tab", "Semikolon"}, "1")), "0");
    EXPECT_TRUE(ui.messages().empty());
}

TEST(ScriptUi, DrawingWindowRunsTheCommandsOfOneToken) {
    const std::string draw = "draw 800x600";
    const struct {
        std::vector<std::string> tokens;
        std::vector<std::string> log;
        std::string warning;
    } cases[] = {
        {{"anzahl klassen|Niveau", "3"},
         {draw, "Anzahl Klassen", draw, "Niveau    (Doppelklick)", draw, "closing"},
         ""},
        {{"'Klassen einsetzen|Beenden|Speichern'", "3"},
         {draw, "Klassen einsetzen", draw, "Beenden", "closing"},
         ""},
        {{"Speichern|Drucken|Beenden", "3"},
         {draw, "Speichern", draw, "closing"},
         "Fenster Dendrogramm: unbekannter Befehl Drucken"},
        {{}, {"closing"}, ""},
    };
    for (const auto& c : cases) {
        const std::string what = c.tokens.empty() ? "no token" : c.tokens.front();
        ScriptUi ui(c.tokens);
        testing::FakeDrawingWindow window;
        ui.showDrawingWindow(window);
        EXPECT_EQ(window.log, c.log) << what;
        EXPECT_EQ(window.lastCanvas.width, c.tokens.empty() ? 0 : 800) << what;
        // The window takes one token; the next ones are left for the dialogs after it.
        EXPECT_EQ(ui.tokensLeft(), c.tokens.empty() ? 0u : 1u) << what;
        if (c.warning.empty()) {
            EXPECT_TRUE(ui.messages().empty()) << what;
            EXPECT_TRUE(ui.cancelledDialogs().empty()) << what;
        } else {
            ASSERT_EQ(ui.messages().size(), 1u) << what;
            EXPECT_EQ(ui.messages()[0].first, MessageKind::Warning);
            EXPECT_EQ(ui.messages()[0].second, c.warning);
            EXPECT_EQ(ui.cancelledDialogs(), std::vector<std::string>{"Dendrogramm"});
        }
    }

    std::FILE* echo = std::tmpfile();
    ScriptUi echoing({"Beenden"});
    echoing.setWindowEcho(echo);
    testing::FakeDrawingWindow window;
    echoing.showDrawingWindow(window);
    std::rewind(echo);
    char buf[64] = {};
    const std::size_t n = std::fread(buf, 1, sizeof buf - 1, echo);
    std::fclose(echo);
    EXPECT_EQ(std::string(buf, n), "== Dendrogramm\n");
}

}  // namespace
}  // namespace tav
