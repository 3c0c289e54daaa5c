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

class UiPort {
  public:
    virtual ~UiPort() = default;

    virtual void showMessage(MessageKind kind, std::string_view text) = 0;
    // A radio dialog defined in the catalogue under dialogName with itemCount choices; preset is the
    // choice shown first. Returns the chosen index.
    virtual std::optional<int> radioDialog(std::string_view dialogName, int itemCount, int preset) = 0;
    // A one-line text input; captionKey and promptKey are catalogue keys.
    virtual std::optional<std::string> inputText(std::string_view captionKey, std::string_view promptKey,
                                                 std::string_view defaultText) = 0;
    // A list window titled caption; one pick, or several with multi. Returns item indices, ascending.
    virtual std::optional<std::vector<int>> pickFromList(std::string_view caption,
                                                         const std::vector<std::string>& items,
                                                         bool multi) = 0;

    virtual std::string clipboardText() = 0;
    virtual void setClipboardText(std::string_view text) = 0;

    void showInfo(std::string_view text) { showMessage(MessageKind::Info, text); }
    void showWarning(std::string_view text) { showMessage(MessageKind::Warning, text); }
    void showError(std::string_view text) { showMessage(MessageKind::Error, text); }
};

// Answers nothing and shows nothing: every dialog is cancelled. For operations run without a user.
UiPort& silentUi();

}  // namespace tav
