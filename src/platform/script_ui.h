#pragma once
// ScriptUi answers dialogs from a queue of tokens and never blocks. With no token left a dialog is
// cancelled and the log says which one. A token answers as a macro token does (item text or number,
// "#" flags, 1-based list lines, file names with "*" for a blank); one that does not fit the dialog is
// refused with a message and the dialog counts as cancelled.
//
// With presets accepted, a dialog that finds no token takes its preset answer instead and the log says
// which; a question whether to overwrite a file is never answered that way.

#include <cstdio>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui_port.h"

namespace tav {

class ScriptUi : public UiPort {
  public:
    // Messages are kept in messages(); with echo they are also written to echo, one per line, with the
    // prefixes "info: ", "warning: ", "error: ".
    explicit ScriptUi(std::vector<std::string> tokens = {}, std::FILE* echo = nullptr);

    void addToken(std::string token) { tokens_.push_back(std::move(token)); }
    std::size_t tokensLeft() const { return tokens_.size(); }
    void setAcceptPresets(bool accept) { acceptPresets_ = accept; }
    // The lines of every table and list window are also written to echo: a line "== " + caption, then
    // the window's lines. A window that draws writes its caption line only.
    void setWindowEcho(std::FILE* echo) { windowEcho_ = echo; }

    void showMessage(MessageKind kind, std::string_view text) override;
    std::optional<std::string> dialog(const DialogRequest& request) override;
    // The next token lists the window's commands ("|"-separated); they run, then the window closes.
    void showDrawingWindow(DrawingWindow& window) override;
    void showWindowLines(std::string_view caption, const std::vector<std::string>& lines) override;
    std::string clipboardText() override { return clipboard_; }
    void setClipboardText(std::string_view text) override { clipboard_ = text; }

    const std::vector<std::pair<MessageKind, std::string>>& messages() const { return messages_; }
    // The dialogs that went unanswered or were refused, by name (a window that draws by its caption,
    // when its token names a command it does not have).
    const std::vector<std::string>& cancelledDialogs() const { return cancelled_; }
    // The last dialog asked, as it was asked (its lines, items and caption).
    const DialogRequest& lastDialog() const { return lastDialog_; }
    void clearLog();

  private:
    void cancel(std::string_view dialogName, std::string_view why, std::string_view shownAs = {});

    std::deque<std::string> tokens_;
    std::FILE* echo_;
    std::string clipboard_;
    std::vector<std::pair<MessageKind, std::string>> messages_;
    std::vector<std::string> cancelled_;
    bool acceptPresets_ = false;
    DialogRequest lastDialog_;
    std::FILE* windowEcho_ = nullptr;
};

// Whether a dialog asks to overwrite an existing file; such a question is answered by the user or a
// token only.
bool isOverwriteQuestion(const DialogRequest& request);

}  // namespace tav
