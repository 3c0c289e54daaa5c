#include "platform/ui_port.h"

#include <algorithm>

#include "core/numbers.h"
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
