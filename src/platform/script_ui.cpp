#include "platform/script_ui.h"

#include <algorithm>

#include "core/numbers.h"
#include "core/text.h"
#include "platform/dialog_answers.h"
#include "platform/drawing.h"

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

// The preset of a dialog, when it has one that points somewhere: a radio preset names one of its items.
std::optional<std::string> usablePreset(const DialogRequest& r) {
    if (r.initial.empty()) return std::nullopt;
    if (r.kind == DialogKind::Radio) {
        const auto i = parseInteger(r.initial);
        if (!i || *i < 0 || *i >= static_cast<std::int64_t>(r.items.size())) return std::nullopt;
    }
    return r.initial;
}

// The preset as the user would see it chosen: the item of a radio dialog, else the answer itself.
std::string shownPreset(const DialogRequest& r, const std::string& preset) {
    if (r.kind == DialogKind::Radio) {
        const auto i = parseInteger(preset);
        if (i && *i >= 0 && *i < static_cast<std::int64_t>(r.items.size()) && !r.items[*i].empty())
            return "\"" + r.items[*i] + "\"";
    }
    return "\"" + preset + "\"";
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
    lastDialog_ = request;
    if (windowEcho_ && (request.kind == DialogKind::Grid || request.kind == DialogKind::List)) {
        std::fprintf(windowEcho_, "== %s\n", request.caption.c_str());
        for (const std::string& line : request.items) std::fprintf(windowEcho_, "%s\n", line.c_str());
        if (request.lineAt)
            for (int k = 0; k < request.lineCount; ++k)
                std::fprintf(windowEcho_, "%s\n", request.lineAt(k).c_str());
        std::fflush(windowEcho_);
    }
    // Named by its caption as the user would see it, and by its definition name.
    const std::string name = request.name.empty() ? request.caption : request.name;
    const std::string shown = !request.caption.empty() && request.caption != name
                                  ? "\"" + request.caption + "\" (" + name + ")"
                                  : name;
    if (tokens_.empty()) {
        if (acceptPresets_ && !isOverwriteQuestion(request)) {
            if (std::optional<std::string> preset = usablePreset(request)) {
                showMessage(MessageKind::Info, "dialog " + shown + ": no answer given, preset answer " +
                                                   shownPreset(request, *preset) + " taken");
                return preset;
            }
        }
        cancel(name, "no answer given", shown);
        return std::nullopt;
    }
    std::string token = std::move(tokens_.front());
    tokens_.pop_front();
    TokenAnswer a = answerFromToken(request, token);
    if (!a.answer) cancel(name, a.refusal, shown);
    return a.answer;
}

void ScriptUi::showDrawingWindow(DrawingWindow& window) {
    if (!tokens_.empty()) {
        const std::string token = std::move(tokens_.front());
        tokens_.pop_front();
        if (!runDrawingCommands(window, token, *this)) cancelled_.push_back(window.caption());
    }
    showWindowLines(window.caption(), window.textLines());
    window.closing();
}

void ScriptUi::showWindowLines(std::string_view caption, const std::vector<std::string>& lines) {
    if (!windowEcho_) return;
    std::fprintf(windowEcho_, "== %.*s\n", static_cast<int>(caption.size()), caption.data());
    for (const std::string& line : lines) std::fprintf(windowEcho_, "%s\n", line.c_str());
    std::fflush(windowEcho_);
}

bool isOverwriteQuestion(const DialogRequest& request) {
    if (request.overwrite) return true;
    if (request.kind != DialogKind::YesNoCancel && request.kind != DialogKind::YesNoCancelAll) return false;
    // A question that does not say what it asks is recognised by its text: the program's overwrite
    // questions end in "existiert bereits. Überschreiben?", and the catalogue's conflict question asks
    // to overwrite too.
    const std::string text = upperFold(request.caption + " " + request.name);
    return text.find("BERSCHREIBEN") != std::string::npos || text.find("OVERWRITE") != std::string::npos;
}

void ScriptUi::clearLog() {
    messages_.clear();
    cancelled_.clear();
}

}  // namespace tav
