#pragma once
// The generic dialogs as toolkit-free models: each builds its request from a catalogue definition and
// the caller's arguments, asks the UiPort (normally a DialogUi, which lets a running macro answer and
// records the choice), and turns the answer string back into the caller's result. Execute returns true
// when the dialog was confirmed or answered, false when it was cancelled.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "env/catalogue.h"
#include "platform/ui_port.h"

namespace tav {

struct TRadioDlg {
    // DlgStr: ";"-separated texts appended to the items as ": " + text; r: the first substitution text.
    // Res: in the preselected item, out the chosen one (0-based).
    static bool Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts, std::string_view DlgStr,
                        std::string_view r, int& Res);
};

struct TCheckDlg {
    static constexpr int kCapacity = 18;
    // aRes: one "0"/"1" per item, in and out (empty in: the definition's default).
    static bool Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts, std::string_view DlgStr,
                        std::string_view r, std::string& aRes);
};

struct TDRadioDlg {
    // Res = index in group 1 + 100 × index in group 2.
    static bool Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts1, std::string_view DlgIts2,
                        std::string_view r, int& Res);
};

struct TDCheckDlg {
    static constexpr int kCapacity = 16;  // per group
    static bool Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts1, std::string_view DlgIts2,
                        std::string_view r, std::string& aRes);
};

struct TButtonDlg {
    // pressed: the number of the action button (0 … 9), or -1 for OK.
    static bool Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts, std::string_view DlgStr,
                        std::string_view r, int& pressed);
};

// The option-box panel. Each item is "<label>[<choice>,<choice>,...]"; a choice "$L text" is an option
// of type L whose value the box keeps in its options string "L,slot,slot,…". A box without choices is a
// free edit box.
struct TComboDlg {
    struct Box {
        std::string label;
        bool bold = false, gap = false;
        std::vector<std::string> choices;  // as shown
        char type = 0;                     // option type letter, 0 for none; 'E' for an edit box
        int optionChoice = -1;             // the choice that is the option entry
        std::vector<std::string> slots;    // one per choice
        int chosen = 0;
        std::string text;  // D and E boxes
        // The options string: the type letter, then the slots, comma-separated; empty without a type.
        std::string options() const;
    };
    // The boxes of a definition with the caller's answers: aRes1 the chosen index or text of each box,
    // aRes2 the option values; aCat replaces labels where its line is not empty.
    static std::vector<Box> boxes(const DlgDef& def, std::string_view aRes1, std::string_view aRes2,
                                  const std::vector<std::string>& aCat = {});
    // The result strings of the boxes as the panel leaves them.
    static void results(const std::vector<Box>& boxes, std::string& aRes1, std::string& aRes2);

    // The front end answers per box, ";"-separated: the chosen index, or "index=value" to set the value of
    // the option entry, or the text of a D or E box.
    static bool Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts, std::string_view DlgCh1,
                        std::string_view DlgCh2, std::string& aRes1, std::string& aRes2,
                        const std::vector<std::string>& aCat = {});
};

struct TInputDlg {
    static constexpr int kCapacity = 16;
    // aRes: the field values, each followed by ";", in and out. aCmds names the definition of the
    // fields' buttons: its items name the command of each button, which aButtonAction carries out on the
    // field values (true when it changed them).
    using ButtonAction =
        std::function<bool(std::string_view command, int field, std::vector<std::string>& values)>;
    static bool Execute(UiPort& ui, const Catalogue& cat, std::string_view DlgIts, std::string_view aCmds,
                        std::string& aRes, ButtonAction aButtonAction = {});
};

struct TListDlg {
    // aRes: in the preselected line, out the current line; aResL: all chosen lines. aFormat: the
    // ";"-separated line formats (FETT, KURSIV, ROT, BLAU, GRUEN).
    static bool Execute(UiPort& ui, std::string_view aCaption, const std::vector<std::string>& Lst,
                        bool aMultiSel, int& aRes, std::vector<int>* aResL = nullptr,
                        std::string_view aFormat = {});
};

struct TMemoDlg {
    static bool Execute(UiPort& ui, std::string_view capt, std::string& res);
    // The text window of a mode: 'T' shows lines read-only and its button refreshes them through
    // aToolButton; 'E' edits res and, when not modal, its "Accept" publishes the text (close code 1)
    // and triggers aToolButton while the window stays open.
    static bool Execute(UiPort& ui, char aOC, bool aDefModal, std::string_view capt,
                        std::function<void(int)> aToolButton, const std::vector<std::string>* Lst,
                        std::string& res);
};

struct TGridDlg {
    // aLst: ";"-separated lines, rewritten from the window by the editing kinds; res: the cells of the
    // chosen row (kind 10: in and out one flag per data row from the second, "1" for "Nein"; kind 14:
    // the file the lines are written to at once). Kinds 1, 4, 6, 7, 9 and 23 stay open and return at
    // once; kind 9's buttons "Zeilen" and "Spalten" trigger aToolButton with 6 and 7. p: the current row.
    static bool Execute(UiPort& ui, std::string_view Capt, std::vector<std::string>& aLst, int aOC,
                        std::string& res, int p = 0, std::function<void(int)> aToolButton = {});
    // What the change button makes of a cell of table kind aOC: col counts the data columns from 1, row
    // the data rows from 1 (row 1 is the title row and never changes). Nothing when the cell has no cycle.
    static std::optional<std::string> changedCell(int aOC, int col, int row, std::string_view text);
    // Kinds whose cells the change button steps.
    static bool hasChangeButton(int aOC);
};

// A prompt that stays open while the program works: "Weiter" answers (with the edit text when DoEdit),
// "Abbruch" cancels.
struct TNonModalDlg {
    static bool Execute(UiPort& ui, std::string_view Capt, std::string_view Msg, bool DoEdit, std::string& s);
};

struct TTavDirDlg {
    static bool Execute(UiPort& ui, std::string& res);
};

// A message window that stays on top while the program works; SetMsg replaces its text.
class TNonModalMsg {
  public:
    explicit TNonModalMsg(UiPort& ui) : ui_(ui) {}
    void Show(std::string_view Capt, std::string_view aMsg);
    void SetMsg(std::string_view aMsg);

  private:
    UiPort& ui_;
    std::string caption_;
};

// Message boxes. The answers are 'Y', 'N', 'C' (and 'A' for All).
char AskYesNoCancel(UiPort& ui, std::string_view text);
char AskYesNoCancelAll(UiPort& ui, std::string_view text);
// Asks only when the file exists; 'Y' otherwise.
char ConfirmOverwrite(UiPort& ui, const std::string& file);
void ShowNotImplemented(UiPort& ui, std::string_view name);

}  // namespace tav
