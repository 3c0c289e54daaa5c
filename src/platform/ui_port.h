#pragma once
// Every question to the user and every message box goes through this port. The desktop program answers
// with real dialogs; ScriptUi answers from tokens, so that macros, the batch runner and tests drive the
// program without a display. A dialog answers std::nullopt when it was cancelled.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

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
    // List windows: ";"-separated line formats, format k for line k (words FETT, KURSIV, ROT, BLAU, GRUEN).
    std::string lineFormats;
};

class UiPort {
  public:
    virtual ~UiPort() = default;

    virtual void showMessage(MessageKind kind, std::string_view text) = 0;
    // Shows a generic dialog and returns its answer, or std::nullopt when it was cancelled.
    virtual std::optional<std::string> dialog(const DialogRequest& request) = 0;

    virtual std::string clipboardText() = 0;
    virtual void setClipboardText(std::string_view text) = 0;

    // Shortcuts for the dialogs the lower layers ask.
    // A radio dialog of the catalogue; items come from its definition. Returns the chosen index.
    std::optional<int> radioDialog(std::string_view dialogName, int itemCount, int preset);
    // A one-line text input; captionKey and promptKey are catalogue keys.
    std::optional<std::string> inputText(std::string_view captionKey, std::string_view promptKey,
                                         std::string_view defaultText);
    // A list window titled caption; one pick, or several with multi. Returns item indices, ascending.
    std::optional<std::vector<int>> pickFromList(std::string_view caption,
                                                 const std::vector<std::string>& items, bool multi);

    void showInfo(std::string_view text) { showMessage(MessageKind::Info, text); }
    void showWarning(std::string_view text) { showMessage(MessageKind::Warning, text); }
    void showError(std::string_view text) { showMessage(MessageKind::Error, text); }
};

// Answers nothing and shows nothing: every dialog is cancelled. For operations run without a user.
UiPort& silentUi();

}  // namespace tav
