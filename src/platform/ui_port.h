#pragma once
// Every question to the user and every message box goes through this port. The desktop program answers
// with real dialogs; ScriptUi answers from tokens, so that macros, the batch runner and tests drive the
// program without a display. A dialog answers std::nullopt when it was cancelled.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

class DrawingWindow;
struct Drawing;

enum class MessageKind { Info, Warning, Error };

// The generic dialogs. Each is a definition (caption, group caption, default, items) plus an answer
// string, so a macro or a test can answer any of them with a string.
enum class DialogKind {
    Radio,           // answer: 0-based item index
    Check,           // answer: one "0"/"1" per item
    DRadio,          // answer: index in group 1 + 100 × index in group 2
    DCheck,          // answer: flags of group 1 followed by flags of group 2
    Buttons,         // answer: number of the pressed button
    Combo,           // answer: per box the chosen index or text, ";"-separated
    Input,           // answer: the field values, each followed by ";"
    List,            // answer: 0-based line numbers, ","-separated
    Memo,            // answer: the edited text
    Grid,            // answer: the cells of the current row, ";"-separated
    Text,            // a one-line text or number; answer: the text
    OpenFile,        // answer: file names, "|"-separated where several may be chosen
    SaveFile,        // answer: the file name
    Folder,          // answer: the folder
    YesNoCancel,     // answer: "Y", "N" or "C"
    YesNoCancelAll,  // answer: "Y", "N", "C" or "A"
};

struct DialogRequest {
    DialogKind kind = DialogKind::Radio;
    std::string name;  // definition name or catalogue key, for messages and scripts
    std::string caption;
    std::vector<std::string> groups;  // group captions (two for the two-group dialogs)
    std::vector<std::string> items;   // all items, group 1 first; list lines; field labels
    // How the front end draws each item (parallel to items; missing entries are plain): bold, and with a
    // gap of one control height above it. The catalogue marks them with "$B" and "$S", which the item
    // texts no longer hold.
    struct ItemStyle {
        bool bold = false;
        bool gapAbove = false;
        bool operator==(const ItemStyle&) const = default;
    };
    std::vector<ItemStyle> itemStyles;
    int firstGroupSize = 0;  // two-group dialogs: items of group 1
    std::string initial;     // the preset answer, in the kind's answer form
    bool overwrite = false;  // asks whether to overwrite a file: never answered by a preset
    bool multi = false;      // list: several lines may be chosen; open file: several files
    // Input forms: per field '0' no button, '1' a button beside the field, '2' a button in its place,
    // with the buttons' captions.
    std::string fieldButtons;
    std::vector<std::string> buttonCaptions;
    // Option-box panels: the boxes. A box without choices is an edit box; a typed box (type letter L of
    // the definition's "$L" entry) lets the user set the value of its option entry, answered as
    // "index=value".
    struct ComboBox {
        std::string label;
        std::vector<std::string> choices;
        char type = 0;
        int optionChoice = -1;
        int chosen = 0;
        std::string text;  // edit boxes and file boxes (type D)
    };
    std::vector<ComboBox> comboBoxes;
    // The input form's button of a field does its work here: it may change the field values (all of
    // them, in order) and says whether it did.
    std::function<bool(int field, std::vector<std::string>& values)> onFieldButton;
    // Table windows whose lines are made only when shown (a large matrix): lineCount lines, line k made
    // by lineAt(k). items stays empty then.
    int lineCount = 0;
    std::function<std::string(int)> lineAt;
    // List windows: ";"-separated line formats, format k for line k (words FETT, KURSIV, ROT, BLAU, GRUEN).
    std::string lineFormats;

    // How the window behaves. A dialog that is not modal is shown and the call returns at once with an
    // empty answer; the caller reads its current result and close code through dialogState.
    bool modal = true;
    bool moved = false;      // opens 20 layout units away from the stored position
    bool resizable = false;  // the user may change the width, which is kept
    // Text windows: 'T' the recording view (the OK button refreshes), 'E' the editor (the OK button
    // accepts and the window stays open).
    char mode = 0;
    // Table windows: the kind (1 … 25) and the current row.
    int tableKind = 0;
    int currentRow = 0;
    // Editing table windows write their lines back here when they close with OK.
    std::vector<std::string>* editedLines = nullptr;
    // The caller's control: action buttons and the accepting buttons of windows that stay open report
    // their number through it (-1 OK, -2 Cancel).
    std::function<void(int)> onAction;
};

// The current result of a dialog kind's window that is not modal, and its close code: 0 while it is
// open, 1 after OK, 2 after Cancel.
struct DialogState {
    std::string caption;
    std::string result;
    int closeCode = 1;
};

class UiPort {
  public:
    virtual ~UiPort() = default;

    virtual void showMessage(MessageKind kind, std::string_view text) = 0;
    // Shows a generic dialog and returns its answer, or std::nullopt when it was cancelled.
    virtual std::optional<std::string> dialog(const DialogRequest& request) = 0;

    virtual std::string clipboardText() = 0;
    virtual void setClipboardText(std::string_view text) = 0;

    // The window of a kind that was opened without being modal; closed (code 1) when there is none.
    virtual DialogState dialogState(DialogKind) { return {}; }
    // A message window that stays on top while the program works; a second call replaces its text.
    // Without windows it is an information message.
    virtual void showStatusWindow(std::string_view caption, std::string_view text) {
        showInfo(caption.empty() ? std::string(text) : std::string(caption) + ": " + std::string(text));
    }
    virtual void closeStatusWindow() {}

    // A window that draws (platform/drawing.h), shown modally until it is closed. Without windows the
    // window's commands come from an answer token: their captions separated by "|" (ScriptUi, macros).
    virtual void showDrawingWindow(DrawingWindow& window);
    // Saves a drawing as a picture (PNG, BMP or JPG by the file name's ending). False when the front
    // end has no way to (no windows): only SVG can be written then.
    virtual bool saveBitmap(const Drawing& /*drawing*/, const std::string& /*file*/) { return false; }
    // The lines of a window after its commands ran, for front ends that print the windows (scripts);
    // the desktop shows the window itself.
    virtual void showWindowLines(std::string_view /*caption*/, const std::vector<std::string>& /*lines*/) {}

    // Shortcuts for the dialogs the lower layers ask.
    // A radio dialog of the catalogue; items come from its definition. Returns the chosen index.
    std::optional<int> radioDialog(std::string_view dialogName, int itemCount, int preset);
    // A one-line text input; captionKey and promptKey are catalogue keys.
    std::optional<std::string> inputText(std::string_view captionKey, std::string_view promptKey,
                                         std::string_view defaultText);
    // A list window titled caption; one pick, or several with multi. Returns item indices, ascending.
    std::optional<std::vector<int>> pickFromList(std::string_view caption,
                                                 const std::vector<std::string>& items, bool multi);
    // The same for a list request the caller filled (preselected line, line formats, window).
    std::optional<std::vector<int>> pickFromList(DialogRequest request);

    void showInfo(std::string_view text) { showMessage(MessageKind::Info, text); }
    void showWarning(std::string_view text) { showMessage(MessageKind::Warning, text); }
    void showError(std::string_view text) { showMessage(MessageKind::Error, text); }
};

// The delimiter of a text file's fields and its text qualifier (0: none).
struct TextDelimiter {
    char32_t delimiter = U'\t';
    char32_t qualifier = 0;
};

// The delimiter question asked of every text file that is read: the first line decides. The more frequent
// of tab and ";" in it (outside the setting's qualifier) is the candidate, tab on a tie; a line with
// neither gives the setting's delimiter. The setting's own delimiter keeps its qualifier and asks nothing.
// Otherwise the radio dialog "DlgDelimEinst" asks, preset to the candidate: tab, ";", another character
// ("MsgDelimitor"; empty gives tab), or another character and a qualifier ("MsgQualifier"; empty gives
// none). Nothing when a question was cancelled.
std::optional<TextDelimiter> askTextDelimiter(UiPort& ui, std::string_view firstLine, TextDelimiter setting);

// Answers nothing and shows nothing: every dialog is cancelled. For operations run without a user.
UiPort& silentUi();

}  // namespace tav
