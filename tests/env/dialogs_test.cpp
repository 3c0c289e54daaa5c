#include "env/dialogs.h"

#include <gtest/gtest.h>

#include <functional>

#include "env/dialog_ui.h"
#include "platform/script_ui.h"
#include "support/fake_drawing_window.h"

namespace tav {
namespace {

const char* kCatalogue =
    "D;DlgDelimEinst;Trennzeichen;Trennzeichen der Textdatei;0100;Tabulator;Strichpunkt;Anderes Zeichen;"
    "Anderes Zeichen mit Textbegrenzer\n"
    "D;DlgOpts;Optionen für %;Was tun?;00000;$BErstes;Zweites;Drittes;Viertes;Fünftes\n"
    "D;DlgG1;T;Gruppe 1;;a;b\n"
    "D;DlgG2;T;Gruppe 2;;x;y;z\n"
    "D;DlgForm;Eingabe;Werte;;Name;Höhe\n"
    "D;DlgFormCmds;;;21;;;Wählen;Rechnen\n"
    "D;MsgWhichChar;Welches Zeichen?\n"
    "D;DlgActs;Aktionen;Was tun?;;Zeigen;$SNeu zeichnen;$S$B  Beides\n"
    "D;DlgCombo;Darstellung;Optionen;;$BFarbe[$C eigene,weiss,rot,blau];Datei[$D ];$SWert[a,b,$Z "
    "Zahl];Name\n";

struct DialogTest : ::testing::Test {
    Catalogue cat;
    ScriptUi front;
    MacroAnswers macro;
    DialogUi ui{cat, front, &macro};
    std::vector<std::string> recorded;
    DialogTest() {
        cat.loadFromText(kCatalogue);
        ui.RecordLine = [this](const std::string& line) { recorded.push_back(line); };
    }
};

TEST_F(DialogTest, MacroTokensAnswerWithoutShowingOrRecording) {
    macro.start("#0010 str & and");
    int res = 0;
    ASSERT_TRUE(TRadioDlg::Execute(ui, cat, "DlgDelimEinst", "", "", res));
    EXPECT_EQ(res, 2);
    // The lower layers ask by name; the definition's items come from the catalogue.
    EXPECT_EQ(ui.radioDialog("DlgDelimEinst", 4, 0), 1);

    // "&" lets the user answer: the front end is asked and the choice is recorded.
    front.addToken("3");
    ASSERT_TRUE(TRadioDlg::Execute(ui, cat, "DlgDelimEinst", "", "", res));
    EXPECT_EQ(res, 3);
    EXPECT_EQ(recorded, (std::vector<std::string>{"Radio;Trennzeichen der Textdatei;0001;Anderes Zeichen mit "
                                                  "Textbegrenzer"}));

    std::string flags;
    ASSERT_TRUE(TCheckDlg::Execute(ui, cat, "DlgDelimEinst", "", "", flags));
    EXPECT_EQ(flags, "0011");
    // The statement has no token left: the user is asked; ScriptUi has none either, so it is cancelled.
    EXPECT_FALSE(TRadioDlg::Execute(ui, cat, "DlgDelimEinst", "", "", res));
    EXPECT_EQ(front.cancelledDialogs(), (std::vector<std::string>{"DlgDelimEinst"}));
    EXPECT_EQ(recorded.size(), 1u);
}

TEST_F(DialogTest, TokensThatPointNowhereAreRefused) {
    macro.start("#0000 9 xyz");
    int res = 5;
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(TRadioDlg::Execute(ui, cat, "DlgDelimEinst", "", "", res)) << k;
    EXPECT_EQ(res, 5);
    ASSERT_EQ(front.messages().size(), 3u);
    EXPECT_EQ(front.messages()[0].first, MessageKind::Warning);
}

TEST_F(DialogTest, ItemsWithSubstitutionsAndCallerTexts) {
    front.addToken("#1");
    std::string flags;
    ASSERT_TRUE(TCheckDlg::Execute(ui, cat, "DlgOpts", ";;viel", "Poa; alpina", flags));
    EXPECT_EQ(flags, "1    ");
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0], "Check;Was tun?;10000;Erstes");

    recorded.clear();
    front.addToken("#0");  // nothing checked is still recorded
    ASSERT_TRUE(TCheckDlg::Execute(ui, cat, "DlgOpts", "", "", flags));
    EXPECT_EQ(recorded, (std::vector<std::string>{"Check;Was tun?;00000"}));

    recorded.clear();
    front.addToken("d");
    ASSERT_TRUE(TCheckDlg::Execute(ui, cat, "DlgOpts", ";;viel", "", flags));
    EXPECT_EQ(recorded, (std::vector<std::string>{"Check;Was tun?;00100;Drittes: viel"}));
}

TEST_F(DialogTest, TwoGroupDialogs) {
    front.addToken("#01001");
    int res = 0;
    ASSERT_TRUE(TDRadioDlg::Execute(ui, cat, "DlgG1", "DlgG2", "", res));
    EXPECT_EQ(res, 1 + 100 * 2);
    EXPECT_EQ(recorded.back(), "DRadio;Gruppe 1, Gruppe 2;01001;b;z");

    front.addToken("#10011");
    std::string flags;
    ASSERT_TRUE(TDCheckDlg::Execute(ui, cat, "DlgG1", "DlgG2", "", flags));
    EXPECT_EQ(flags, "10011");
    EXPECT_EQ(recorded.back(), "DCheck;Gruppe 1, Gruppe 2;10011;a;y;z");
}

TEST_F(DialogTest, FormsAndOptionBoxesTakeNoMacroToken) {
    macro.start("Poa");
    front.addToken("Carex;1200");
    std::string values = "Festuca;800;";
    ASSERT_TRUE(TInputDlg::Execute(ui, cat, "DlgForm", "", values));
    EXPECT_EQ(values, "Carex;1200;");

    // Buttons beside or in place of fields, captioned by the second definition's items after the fields.
    struct Spy : ScriptUi {
        DialogRequest seen;
        std::optional<std::string> dialog(const DialogRequest& r) override {
            seen = r;
            return std::string("a;b");
        }
    } spy;
    ASSERT_TRUE(TInputDlg::Execute(spy, cat, "DlgForm", "DlgFormCmds", values));
    EXPECT_EQ(spy.seen.fieldButtons, "21");
    EXPECT_EQ(spy.seen.buttonCaptions, (std::vector<std::string>{"Wählen", "Rechnen"}));
    EXPECT_EQ(values, "a;b;");
    // The statement's token is still there for the next dialog that takes one.
    EXPECT_EQ(ui.inputText("MsgWhichChar", "MsgWhichChar", ""), "Poa");
}

// The action panel takes its statement's token but is still shown; the next token goes to the next
// dialog.
TEST_F(DialogTest, ButtonPanelTakesATokenAndIsShown) {
    macro.start("egal 2");
    front.addToken("1");  // the button pressed on the panel
    int pressed = -2;
    ASSERT_TRUE(TButtonDlg::Execute(ui, cat, "DlgActs", "", "", pressed));
    EXPECT_EQ(pressed, 1);
    int res = 0;
    ASSERT_TRUE(TRadioDlg::Execute(ui, cat, "DlgDelimEinst", "", "", res));
    EXPECT_EQ(res, 2);
    EXPECT_TRUE(front.messages().empty());
}

// A macro's token runs the window's commands without showing it; "&", a statement without a token left,
// or no macro at all show it through the front end.
TEST_F(DialogTest, DrawingWindowTakesTheMacroTokenOrIsShown) {
    const std::string draw = "draw 800x600";
    const struct {
        const char* statement;  // nullptr: no macro runs
        std::vector<std::string> log;
        bool refused;
    } cases[] = {
        {"Niveau|beenden 2", {draw, "Niveau    (Doppelklick)", draw, "Beenden", "closing"}, false},
        {"Niveau|Zoom 2", {draw, "Niveau    (Doppelklick)", draw, "closing"}, true},
        {"& 2", {draw, "Speichern", draw, "closing"}, false},
        {nullptr, {draw, "Speichern", draw, "closing"}, false},
    };
    for (const auto& c : cases) {
        ScriptUi shown({"Speichern"});
        MacroAnswers statement;
        if (c.statement) statement.start(c.statement);
        DialogUi port{cat, shown, &statement};
        testing::FakeDrawingWindow window;
        port.showDrawingWindow(window);
        const char* what = c.statement ? c.statement : "no macro";
        EXPECT_EQ(window.log, c.log) << what;
        EXPECT_EQ(statement.refused(), c.refused) << what;
        // Only the window shown by the front end takes the front end's token.
        EXPECT_EQ(shown.tokensLeft(), c.log[1] == "Speichern" ? 0u : 1u) << what;
        if (c.refused) {
            ASSERT_EQ(shown.messages().size(), 1u);
            EXPECT_EQ(shown.messages()[0].second, "Fenster Dendrogramm: unbekannter Befehl Zoom");
        }
        if (c.statement) {
            std::string next;
            EXPECT_FALSE(statement.NextMacroAnswer(next));
            EXPECT_EQ(next, "2") << what;
        }
    }
}

// "$B" and "$S" are gone from the item texts but reach the front end as the items' styles, whichever way
// the dialog is asked.
TEST_F(DialogTest, BoldAndGapMarkersReachTheFrontEnd) {
    struct Spy : ScriptUi {
        DialogRequest seen;
        std::optional<std::string> dialog(const DialogRequest& r) override {
            seen = r;
            return std::nullopt;
        }
    } spy;
    DialogUi spyUi{cat, spy};
    using S = DialogRequest::ItemStyle;
    const S plain, bold{true, false}, gap{false, true}, both{true, true};
    struct Case {
        const char* what;
        std::function<void()> ask;
        std::vector<std::string> items;
        std::vector<S> styles;
    };
    int res = 0;
    std::string flags, r1, r2;
    const Case cases[] = {
        {"check",
         [&] { TCheckDlg::Execute(spyUi, cat, "DlgOpts", ";viel", "", flags); },
         {"Erstes", "Zweites: viel", "Drittes", "Viertes", "Fünftes"},
         {bold, plain, plain, plain, plain}},
        {"buttons",
         [&] { TButtonDlg::Execute(spyUi, cat, "DlgActs", "", "", res); },
         {"Zeigen", "Neu zeichnen", "Beides"},
         {plain, gap, both}},
        {"two groups",
         [&] { TDCheckDlg::Execute(spyUi, cat, "DlgOpts", "DlgActs", "", flags); },
         {"Erstes", "Zweites", "Drittes", "Viertes", "Fünftes", "Zeigen", "Neu zeichnen", "Beides"},
         {bold, plain, plain, plain, plain, plain, gap, both}},
        {"by name",
         [&] { spyUi.radioDialog("DlgActs", 3, 0); },
         {"Zeigen", "Neu zeichnen", "Beides"},
         {plain, gap, both}},
        {"option boxes",
         [&] { TComboDlg::Execute(spyUi, cat, "DlgCombo", "", "", r1, r2); },
         {"Farbe[eigene,weiss,rot,blau]", "Datei[]", "Wert[a,b,Zahl]", "Name"},
         {bold, plain, gap, plain}},
    };
    for (const Case& c : cases) {
        spy.seen = {};
        c.ask();
        EXPECT_EQ(spy.seen.items, c.items) << c.what;
        EXPECT_EQ(spy.seen.itemStyles, c.styles) << c.what;
    }
}

TEST_F(DialogTest, OptionBoxesKeepChoicesAndOptionValues) {
    const std::vector<TComboDlg::Box> boxes =
        TComboDlg::boxes(cat.GetDlgDef("DlgCombo"), "3;/tmp/x.map;2;Poa", "255;;7.5;");
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_TRUE(boxes[0].bold);
    EXPECT_TRUE(boxes[2].gap);
    EXPECT_EQ(boxes[0].choices, (std::vector<std::string>{"eigene", "weiss", "rot", "blau"}));
    EXPECT_EQ(boxes[0].options(), "C,C 255,,,");
    EXPECT_EQ(boxes[1].choices, (std::vector<std::string>{"/tmp/x.map"}));  // a D entry shows the file
    EXPECT_EQ(boxes[2].options(), "Z,,,Z 7.5");
    EXPECT_EQ(boxes[3].options(), "E Poa");

    front.addToken("2;/tmp/y.map;2=9.5;Carex");
    std::string res1 = "3;/tmp/x.map;2;Poa", res2 = "255;;7.5;";
    ASSERT_TRUE(TComboDlg::Execute(ui, cat, "DlgCombo", "", "", res1, res2));
    EXPECT_EQ(res1, "0;/tmp/y.map;2;Carex");  // a colour box answers its index minus 2
    EXPECT_EQ(res2, "C 255,,,;;,,Z 9.5;");
}

TEST(GridDialog, ChangeButtonCycles) {
    struct Case {
        int kind, col, row;
        const char* text;
        std::optional<std::string> next;
    };
    const Case cases[] = {
        {11, 2, 2, "1/n", "1 / Wurzel(n)"},
        {11, 2, 2, "0", "1/n"},
        {11, 2, 1, "1/n", std::nullopt},  // the title row never changes
        {12, 5, 3, "1.0", "0.01"},
        {12, 3, 3, "-", std::nullopt},
        {12, 4, 2, "a Deckung nicht gewichtet", "b Deckung gewichtet"},
        {13, 2, 2, "6   Trennz. = Komma (,)", "1   kein Trennz. (einzelne Zeichen)"},
        {13, 5, 2, "0   Nicht zusammengesetzt", "1   kein Trennz. (einzelne Zeichen)"},
        {13, 6, 2, "2   Liste ohne Gewichtung", "3   Liste 1/Anzahl Einträge"},
        {13, 4, 2, "-0   alle Stufen", "=3   genau nur Stufe 3"},
        {13, 1, 2, "1 K", std::nullopt},
        {19, 2, 2, "nicht ändern", "skalieren"},
        {21, 3, 2, "Abfallend", "Aufsteigend"},
        {25, 1, 4, "+", "-"},
        {25, 2, 4, "+", std::nullopt},
        {1, 1, 2, "x", std::nullopt},
        {10, 2, 2, "Ja", "Nein"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TGridDlg::changedCell(c.kind, c.col, c.row, c.text), c.next) << c.kind << " " << c.text;
}

TEST_F(DialogTest, MessageBoxes) {
    front.addToken("nein");
    EXPECT_EQ(AskYesNoCancel(ui, "Speichern?"), 'N');
    EXPECT_EQ(ConfirmOverwrite(ui, "/no/such/file.tab"), 'Y');  // nothing to ask
    EXPECT_EQ(AskYesNoCancelAll(ui, "Alle?"), 'C');             // no answer: cancelled
    front.addToken("weiter");
    std::string unused;
    EXPECT_TRUE(
        TNonModalDlg::Execute(ui, "Externe Funktion", "Zeilen markieren, dann Weiter", false, unused));
    front.addToken("abbruch");
    EXPECT_FALSE(
        TNonModalDlg::Execute(ui, "Externe Funktion", "Zeilen markieren, dann Weiter", false, unused));
    ShowNotImplemented(ui, "Drucken");
    EXPECT_EQ(front.messages().back().second, "Drucken: noch nicht implementiert.");
}

}  // namespace
}  // namespace tav
