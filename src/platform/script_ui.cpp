#include "platform/script_ui.h"

#include <algorithm>

#include "core/numbers.h"
#include "core/text.h"
#include "platform/dialog_answers.h"

namespace tav {

namespace {

const char* prefixOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Info:
            return "info: ";
        case MessageKind::Warning:
            return "warning: ";
        case MessageKind::Error:
            return "error: ";
    }
    return "";
}

class SilentUi final : public UiPort {
  public:
    void showMessage(MessageKind, std::string_view) override {}
    std::optional<std::string> dialog(const DialogRequest&) override { return std::nullopt; }
    std::string clipboardText() override { return clip_; }
    void setClipboardText(std::string_view text) override { clip_ = text; }

  private:
    std::string clip_;
};

}  // namespace

UiPort& silentUi() {
    static SilentUi ui;
    return ui;
}

ScriptUi::ScriptUi(std::vector<std::string> tokens, std::FILE* echo)
    : tokens_(tokens.begin(), tokens.end()), echo_(echo) {}

void ScriptUi::showMessage(MessageKind kind, std::string_view text) {
    messages_.emplace_back(kind, std::string(text));
    if (echo_) {
        // One message, one line: the line breaks of a message box become blanks.
        std::string line(text);
        std::replace(line.begin(), line.end(), '\r', ' ');
        std::replace(line.begin(), line.end(), '\n', ' ');
        std::fprintf(echo_, "%s%s\n", prefixOf(kind), line.c_str());
        std::fflush(echo_);
    }
}

void ScriptUi::cancel(std::string_view dialogName, std::string_view why, std::string_view shownAs) {
    cancelled_.emplace_back(dialogName);
    std::string text =
        "dialog " + std::string(shownAs.empty() ? dialogName : shownAs) + " cancelled: " + std::string(why);
    showMessage(MessageKind::Warning, text);
}

std::optional<std::string> ScriptUi::dialog(const DialogRequest& request) {
    // Named by its caption as the user would see it, and by its definition name.
    const std::string name = request.name.empty() ? request.caption : request.name;
    const std::string shown = !request.caption.empty() && request.caption != name
                                  ? "\"" + request.caption + "\" (" + name + ")"
                                  : name;
    if (tokens_.empty()) {
        cancel(name, "no answer given", shown);
        return std::nullopt;
    }
    std::string token = std::move(tokens_.front());
    tokens_.pop_front();
    TokenAnswer a = answerFromToken(request, token);
    if (!a.answer) cancel(name, a.refusal, shown);
    return a.answer;
}

void ScriptUi::clearLog() {
    messages_.clear();
    cancelled_.clear();
}

}  // namespace tav
