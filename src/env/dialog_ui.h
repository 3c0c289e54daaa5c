#pragma once
// DialogUi stands in front of the real front end (the desktop window or ScriptUi): it fills dialogs from
// their catalogue definitions, lets a running macro answer them, and writes the recording lines of the
// choice dialogs. Every layer of the program asks its questions through it.

#include <functional>
#include <optional>
#include <string>

#include "env/catalogue.h"
#include "env/macro_answers.h"
#include "platform/ui_port.h"

namespace tav {

class DialogUi : public UiPort {
  public:
    DialogUi(const Catalogue& catalogue, UiPort& frontEnd, MacroAnswers* macro = nullptr)
        : cat_(catalogue), front_(frontEnd), macro_(macro) {}

    // Appends a line to the command recording; unset while recording is off.
    std::function<void(const std::string&)> RecordLine;

    void showMessage(MessageKind kind, std::string_view text) override { front_.showMessage(kind, text); }
    std::optional<std::string> dialog(const DialogRequest& request) override;
    std::string clipboardText() override { return front_.clipboardText(); }
    void setClipboardText(std::string_view text) override { front_.setClipboardText(text); }
    DialogState dialogState(DialogKind kind) override { return front_.dialogState(kind); }
    void showStatusWindow(std::string_view caption, std::string_view text) override {
        front_.showStatusWindow(caption, text);
    }
    void closeStatusWindow() override { front_.closeStatusWindow(); }
    // A running macro's token lists the window's commands, which run without showing it; otherwise the
    // front end shows it.
    void showDrawingWindow(DrawingWindow& window) override;
    void showWindowLines(std::string_view caption, const std::vector<std::string>& lines) override {
        front_.showWindowLines(caption, lines);
    }
    bool saveBitmap(const Drawing& drawing, const std::string& file) override {
        return front_.saveBitmap(drawing, file);
    }

    const Catalogue& catalogue() const { return cat_; }

  private:
    // The request with its definition, message caption and prompts filled in; nothing when it needs
    // none of them.
    std::optional<DialogRequest> resolved(const DialogRequest& r) const;
    void record(const DialogRequest& r, const std::string& answer) const;

    const Catalogue& cat_;
    UiPort& front_;
    MacroAnswers* macro_;
};

// Removes the "$B" (with the blanks after it) and "$S" markers from an item as it is shown.
std::string shownItem(std::string_view item);
// What those markers ask of the front end.
DialogRequest::ItemStyle itemStyle(std::string_view item);

}  // namespace tav
