#include "platform/ui_port.h"

#include <algorithm>

#include "core/numbers.h"
#include "core/text.h"
#include "platform/drawing.h"

namespace tav {

void UiPort::showDrawingWindow(DrawingWindow& window) {
    window.closing();
}

std::optional<int> UiPort::radioDialog(std::string_view dialogName, int itemCount, int preset) {
    DialogRequest r;
    r.kind = DialogKind::Radio;
    r.name = dialogName;
    r.items.assign(static_cast<std::size_t>(std::max(itemCount, 0)), std::string());
    r.initial = std::to_string(preset);
    auto a = dialog(r);
    if (!a) return std::nullopt;
    auto n = parseInteger(*a);
    if (!n || *n < 0 || *n >= itemCount) return std::nullopt;
    return static_cast<int>(*n);
}

std::optional<TextDelimiter> askTextDelimiter(UiPort& ui, std::string_view firstLine, TextDelimiter setting) {
    // With a qualifier set, tabs and ";" inside quoted fields are text, not candidates for the delimiter:
    // a ";" export whose first line quotes cells with tabs is still read as ";" text.
    std::int64_t tabs = 0, semis = 0;
    std::string quote;
    if (setting.qualifier != 0) appendUtf8(quote, setting.qualifier);
    bool inside = false;
    for (std::size_t i = 0; i < firstLine.size(); ++i) {
        if (!quote.empty() && firstLine.compare(i, quote.size(), quote) == 0) {
            inside = !inside;
            i += quote.size() - 1;
        } else if (!inside) {
            tabs += firstLine[i] == '\t';
            semis += firstLine[i] == ';';
        }
    }
    TextDelimiter chosen;
    chosen.delimiter = tabs + semis > 0 ? (semis > tabs ? U';' : U'\t') : setting.delimiter;
    if (chosen.delimiter == setting.delimiter) {
        chosen.qualifier = setting.qualifier == chosen.delimiter ? 0 : setting.qualifier;
        return chosen;
    }
    const int preset = chosen.delimiter == U'\t' ? 0 : chosen.delimiter == U';' ? 1 : 2;
    const std::optional<int> answer = ui.radioDialog("DlgDelimEinst", 4, preset);
    if (!answer) return std::nullopt;
    const auto character = [&ui](std::string_view promptKey) -> std::optional<char32_t> {
        const std::optional<std::string> text = ui.inputText("MsgWhichChar", promptKey, "");
        if (!text) return std::nullopt;
        std::size_t pos = 0;
        return text->empty() ? char32_t{0} : nextCodePoint(*text, pos);
    };
    if (*answer == 0) {
        chosen.delimiter = U'\t';
    } else if (*answer == 1) {
        chosen.delimiter = U';';
    } else {
        const auto d = character("MsgDelimitor");
        if (!d) return std::nullopt;
        chosen.delimiter = *d == 0 ? U'\t' : *d;
        if (*answer == 3) {
            const auto q = character("MsgQualifier");
            if (!q) return std::nullopt;
            chosen.qualifier = *q == chosen.delimiter ? 0 : *q;
        }
    }
    return chosen;
}

std::optional<std::string> UiPort::inputText(std::string_view captionKey, std::string_view promptKey,
                                             std::string_view defaultText) {
    DialogRequest r;
    r.kind = DialogKind::Text;
    r.name = captionKey;
    r.caption = captionKey;
    r.items.emplace_back(promptKey);
    r.initial = defaultText;
    return dialog(r);
}

std::optional<std::vector<int>> UiPort::pickFromList(std::string_view caption,
                                                     const std::vector<std::string>& items, bool multi) {
    DialogRequest r;
    r.name = caption;
    r.caption = caption;
    r.items = items;
    r.multi = multi;
    return pickFromList(r);
}

std::optional<std::vector<int>> UiPort::pickFromList(DialogRequest r) {
    r.kind = DialogKind::List;
    const std::vector<std::string>& items = r.items;
    auto a = dialog(r);
    if (!a) return std::nullopt;
    std::vector<int> picks;
    std::size_t start = 0;
    while (start <= a->size()) {
        std::size_t comma = a->find(',', start);
        if (comma == std::string::npos) comma = a->size();
        auto n = parseInteger(std::string_view(*a).substr(start, comma - start));
        if (n && *n >= 0 && *n < static_cast<std::int64_t>(items.size()))
            picks.push_back(static_cast<int>(*n));
        start = comma + 1;
    }
    std::sort(picks.begin(), picks.end());
    picks.erase(std::unique(picks.begin(), picks.end()), picks.end());
    if (picks.empty()) return std::nullopt;
    return picks;
}

}  // namespace tav
