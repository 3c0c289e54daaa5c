#include "env/window_rules.h"

#include <gtest/gtest.h>

#include "core/file_io.h"
#include "env/dialogs.h"
#include "support/test_files.h"

namespace tav {
namespace {

TEST(WindowRules, StoredPositionsOffTheScreenFallBack) {
    const ScreenSize screen{1000, 700};
    // Shared position of the choice dialogs: 0 … size − 100 is kept, else 200 layout units.
    EXPECT_EQ(choiceDialogPosition({50, 0}, screen, 0), (PixelPoint{50, 0}));
    EXPECT_EQ(choiceDialogPosition({-1, 601}, screen, 0), (PixelPoint{200, 200}));
    EXPECT_EQ(choiceDialogPosition({900, 600}, screen, -20), (PixelPoint{880, 580}));
    // The action panel: 10 … size − 200 units, else 100 units.
    EXPECT_EQ(buttonPanelPosition({9, 500}, screen, 0), (PixelPoint{100, 500}));
    EXPECT_EQ(buttonPanelPosition({801, 10}, screen, 0), (PixelPoint{100, 10}));
    // The prompt: 50 … size − 100 pixels, else 100 pixels.
    EXPECT_EQ(promptPosition({49, 600}, screen), (PixelPoint{100, 600}));
    // Layout units follow the screen width.
    EXPECT_EQ(choiceDialogPosition({-5, -5}, {2000, 1200}, 0), (PixelPoint{400, 400}));
    EXPECT_EQ(moveOffset(true, false, {2000, 1200}), -40);
    EXPECT_EQ(moveOffset(false, true, screen), 0);
    // A window rectangle stays on the screen, keeps a usable size, and a moved list window opens
    // 30 pixels up-left.
    EXPECT_EQ(windowRect({100, 100, 500, 400}, screen, true), (PixelRect{70, 70, 470, 370}));
    EXPECT_EQ(windowRect({900, 650, 1400, 660}, screen, false), (PixelRect{500, 580, 1000, 700}));
}

TEST(WindowRules, LineFormats) {
    const std::string formats = "FETT;rot kursiv;;BLAU;gruen fett;FETT KURSIV";
    struct Case {
        int line;
        bool selected;
        LineFormat want;
    };
    const Case cases[] = {
        {0, false, {true, false, LineColour::Plain}},
        {1, false, {false, true, LineColour::Red}},
        {1, true, {false, true, LineColour::Yellow}},
        {2, true, {}},
        {3, true, {false, false, LineColour::Aqua}},
        {4, true, {true, false, LineColour::Lime}},
        {5, true, {true, true, LineColour::White}},
        {6, false, {}},
        {-1, false, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(lineFormat(formats, c.line, c.selected), c.want) << c.line;
}

TEST(WindowRules, TableKindsAndTheirWidths) {
    EXPECT_FALSE(tableKind(1).modal);
    EXPECT_FALSE(tableKind(9).modal);
    EXPECT_TRUE(tableKind(10).modal);
    EXPECT_TRUE(tableKind(8).changeButton);
    EXPECT_FALSE(tableKind(8).editing);
    EXPECT_TRUE(tableKind(14).saveAtOnce);
    EXPECT_TRUE(tableKind(15).wholeRows);
    EXPECT_EQ(tableKind(22).editFromRow, 2);
    RBildEinst d;
    d.LstG1 = 30;
    d.LstG2 = 100;
    d.LstG3 = 50;
    d.LstG11 = 70;
    d.LstG12 = 120;
    EXPECT_EQ(tableColumnWidth(d, 1, 0), 100);
    EXPECT_EQ(tableColumnWidth(d, 1, 5), 50);
    EXPECT_EQ(tableColumnWidth(d, 4, 0), 120);
    EXPECT_EQ(tableHeaderWidth(d, 4), 70);
    EXPECT_EQ(tableColumnWidth(d, 5, 0), 100);
    EXPECT_EQ(tableColumnWidth(d, 5, 1), 120);
    EXPECT_EQ(tableColumnWidth(d, 12, 1), 100);
    EXPECT_EQ(tableColumnWidth(d, 13, 0), 270);
    // A width the user set on a doubled kind is kept undoubled.
    storeTableColumnWidth(d, 12, 0, 300);
    EXPECT_EQ(d.LstG2, 150);
    storeTableColumnWidth(d, 4, -1, 90);
    EXPECT_EQ(d.LstG11, 90);
}

TEST(WindowRules, TableTextsSearchAndReplace) {
    const std::vector<std::string> lines = {"Art;A;B", "Poa;1;2", "Carex;3"};
    EXPECT_EQ(tableFileText(lines, false), "Art;A;B\r\nPoa;1;2\r\nCarex;3\r\n");
    EXPECT_EQ(tableFileText(lines, true), "Art;Poa;Carex\r\nA;1;3\r\nB;2;\r\n");
    // Search goes on after the current cell and wraps round to it.
    EXPECT_EQ(findInLines(lines, "a", {0, 0}, false), (CellPosition{0, 1}));
    EXPECT_EQ(findInLines(lines, "a", {0, 1}, false), (CellPosition{1, 0}));
    EXPECT_EQ(findInLines(lines, "a", {2, 0}, false), (CellPosition{0, 0}));
    EXPECT_EQ(findInLines(lines, "a", {0, 0}, true), (CellPosition{1, 0}));
    EXPECT_EQ(findInLines(lines, "z", {0, 0}, false), std::nullopt);
    // Replacing ignores letter case unless asked, keeps the other text of the cell and never joins
    // cells; rows before the first stay.
    std::vector<std::string> edited = {"Größe;Ä", "äpfel;ÄÄ;b", "Äa"};
    EXPECT_EQ(replaceInLines(edited, "ä", "ae", false, 1), 4);
    EXPECT_EQ(edited, (std::vector<std::string>{"Größe;Ä", "aepfel;aeae;b", "aea"}));
    EXPECT_EQ(replaceInLines(edited, ";", "x", false), 0);
}

// A front end that shows the table window and changes what the user would.
struct TableUser : UiPort {
    std::function<std::string(const DialogRequest&)> user;
    std::vector<DialogRequest> shown;
    void showMessage(MessageKind, std::string_view) override {}
    std::optional<std::string> dialog(const DialogRequest& r) override {
        shown.push_back(r);
        return user(r);
    }
    std::string clipboardText() override { return {}; }
    void setClipboardText(std::string_view) override {}
};

TEST(TableWindow, KindsShowSaveAndWriteBack) {
    testing::TempDir dir;
    TableUser ui;
    ui.user = [](const DialogRequest& r) {
        // The user toggles the flag of the second row and edits a name.
        if (r.editedLines) {
            *r.editedLines = r.items;
            (*r.editedLines)[2] = "Carex;Nein";
            (*r.editedLines)[1] = "Poa annua;Ja";
        }
        return std::string("Poa annua;Ja");
    };
    // Kind 10: the flags become "Ja"/"Nein" in column 2 and come back from it.
    std::vector<std::string> lines = {"Art;Ausschliessen", "Poa", "Carex", "Festuca"};
    std::string flags = "001";
    ASSERT_TRUE(TGridDlg::Execute(ui, "Arten", lines, 10, flags, 1));
    EXPECT_EQ(ui.shown.back().items,
              (std::vector<std::string>{"Art;Ausschliessen", "Poa;Ja", "Carex;Ja", "Festuca;Nein"}));
    EXPECT_EQ(ui.shown.back().currentRow, 1);
    EXPECT_EQ(flags, "011");
    EXPECT_EQ(lines[1], "Poa annua;Ja");
    // Kind 1 stays open: no lines come back and the call returns at once.
    std::vector<std::string> list = {"A;B", "1;2"};
    std::string res;
    ASSERT_TRUE(TGridDlg::Execute(ui, "Liste", list, 1, res));
    EXPECT_FALSE(ui.shown.back().modal);
    EXPECT_EQ(ui.shown.back().editedLines, nullptr);
    EXPECT_EQ(list, (std::vector<std::string>{"A;B", "1;2"}));
    // Kind 14 shows nothing and writes the lines to the file named in res.
    const std::size_t before = ui.shown.size();
    res = dir.path() + "/liste.txt";
    ASSERT_TRUE(TGridDlg::Execute(ui, "Liste", list, 14, res));
    EXPECT_EQ(ui.shown.size(), before);
    EXPECT_EQ(readWholeFile(res).value(), "A;B\r\n1;2\r\n");
}

}  // namespace
}  // namespace tav
