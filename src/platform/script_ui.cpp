#include "platform/script_ui.h"

#include <algorithm>

#include "core/numbers.h"
#include "core/text.h"

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

// A list answer is either the 0-based number of an item or an item's text (letter case ignored).
std::optional<int> listItemOf(std::string_view token, const std::vector<std::string>& items) {
    if (auto n = parseInteger(token)) {
        if (*n >= 0 && *n < static_cast<std::int64_t>(items.size())) return static_cast<int>(*n);
        return std::nullopt;
    }
    const std::string wanted = upperFold(token);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (upperFold(items[i]) == wanted) return static_cast<int>(i);
    }
    return std::nullopt;
}

class SilentUi final : public UiPort {
  public:
    void showMessage(MessageKind, std::string_view) override {}
    std::optional<int> radioDialog(std::string_view, int, int) override { return std::nullopt; }
    std::optional<std::string> inputText(std::string_view, std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::vector<int>> pickFromList(std::string_view, const std::vector<std::string>&,
                                                 bool) override {
        return std::nullopt;
    }
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

std::optional<std::string> ScriptUi::takeToken(std::string_view dialogName) {
    if (tokens_.empty()) {
        cancel(dialogName, "no answer given");
        return std::nullopt;
    }
    std::string t = std::move(tokens_.front());
    tokens_.pop_front();
    return t;
}

void ScriptUi::cancel(std::string_view dialogName, std::string_view why) {
    cancelled_.emplace_back(dialogName);
    std::string text = "dialog " + std::string(dialogName) + " cancelled: " + std::string(why);
    showMessage(MessageKind::Warning, text);
}

std::optional<int> ScriptUi::radioDialog(std::string_view dialogName, int itemCount, int /*preset*/) {
    auto token = takeToken(dialogName);
    if (!token) return std::nullopt;
    auto n = parseInteger(trimBlanks(*token));
    if (!n || *n < 0 || *n >= itemCount) {
        cancel(dialogName,
               "answer \"" + *token + "\" is not a choice from 0 to " + std::to_string(itemCount - 1));
        return std::nullopt;
    }
    return static_cast<int>(*n);
}

std::optional<std::string> ScriptUi::inputText(std::string_view captionKey, std::string_view /*promptKey*/,
                                               std::string_view /*defaultText*/) {
    return takeToken(captionKey);
}

std::optional<std::vector<int>> ScriptUi::pickFromList(std::string_view caption,
                                                       const std::vector<std::string>& items, bool multi) {
    auto token = takeToken(caption);
    if (!token) return std::nullopt;
    std::vector<int> picks;
    auto refuse = [&](std::string_view piece) {
        cancel(caption, "answer \"" + std::string(piece) + "\" names no item of the list");
        return std::nullopt;
    };
    if (auto one = listItemOf(trimBlanks(*token), items)) {
        picks.push_back(*one);
    } else if (multi) {
        // Several picks: item numbers separated by ",".
        std::string_view rest = *token;
        while (!rest.empty()) {
            std::size_t comma = rest.find(',');
            std::string_view piece = trimBlanks(rest.substr(0, comma));
            auto n = parseInteger(piece);
            if (!n || *n < 0 || *n >= static_cast<std::int64_t>(items.size())) return refuse(piece);
            picks.push_back(static_cast<int>(*n));
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
    } else {
        return refuse(*token);
    }
    std::sort(picks.begin(), picks.end());
    picks.erase(std::unique(picks.begin(), picks.end()), picks.end());
    if (picks.empty()) return refuse(*token);
    return picks;
}

void ScriptUi::clearLog() {
    messages_.clear();
    cancelled_.clear();
}

}  // namespace tav
