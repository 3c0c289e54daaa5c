#include "env/dialog_ui.h"

#include "core/numbers.h"
#include "platform/dialog_answers.h"
#include "platform/drawing.h"

namespace tav {

namespace {

bool takesMacroToken(DialogKind k) {
    switch (k) {
        case DialogKind::Radio:
        case DialogKind::Check:
        case DialogKind::DRadio:
        case DialogKind::DCheck:
        case DialogKind::List:
        case DialogKind::Text:
        case DialogKind::OpenFile:
        case DialogKind::SaveFile:
        case DialogKind::Folder:
        case DialogKind::YesNoCancel:
        case DialogKind::YesNoCancelAll:
            return true;
        default:
            return false;
    }
}

bool startsWith(std::string_view s, std::string_view p) {
    return s.substr(0, p.size()) == p;
}

}  // namespace

std::string shownItem(std::string_view item) {
    std::string s(item);
    for (;;) {
        if (startsWith(s, "$S")) {
            s.erase(0, 2);
        } else if (startsWith(s, "$B")) {
            s.erase(0, 2);
            s.erase(0, s.find_first_not_of(' ') == std::string::npos ? s.size() : s.find_first_not_of(' '));
        } else {
            break;
        }
    }
    return s;
}

DialogRequest::ItemStyle itemStyle(std::string_view item) {
    DialogRequest::ItemStyle style;
    for (;;) {
        if (startsWith(item, "$S")) {
            style.gapAbove = true;
            item.remove_prefix(2);
        } else if (startsWith(item, "$B")) {
            style.bold = true;
            item.remove_prefix(2);
            const std::size_t text = item.find_first_not_of(' ');
            item.remove_prefix(text == std::string_view::npos ? item.size() : text);
        } else {
            return style;
        }
    }
}

std::optional<DialogRequest> DialogUi::resolved(const DialogRequest& r) const {
    bool unnamedItems = true;
    for (const std::string& i : r.items) unnamedItems = unnamedItems && i.empty();
    const bool fromDefinition = startsWith(r.name, "Dlg") && unnamedItems;
    bool messagePrompt = false;
    if (r.kind == DialogKind::Text)
        for (const std::string& prompt : r.items) messagePrompt = messagePrompt || startsWith(prompt, "Msg");
    // Most requests are complete as they come, and a table window's lines are not copied for nothing.
    if (!fromDefinition && !messagePrompt && !startsWith(r.caption, "Msg")) return std::nullopt;
    DialogRequest out = r;
    if (fromDefinition) {
        const DlgDef def = cat_.GetDlgDef(r.name);
        out.caption = def.caption();
        out.groups = {def.groupCaption()};
        out.items.clear();
        out.itemStyles.clear();
        for (const std::string& item : def.items()) {
            out.items.push_back(shownItem(item));
            out.itemStyles.push_back(itemStyle(item));
        }
    }
    if (startsWith(out.caption, "Msg")) out.caption = cat_.GetLangMsg(out.caption);
    if (out.kind == DialogKind::Text)
        for (std::string& prompt : out.items)
            if (startsWith(prompt, "Msg")) prompt = cat_.GetLangMsg(prompt);
    return out;
}

void DialogUi::record(const DialogRequest& r, const std::string& answer) const {
    if (!RecordLine) return;
    const int n = static_cast<int>(r.items.size());
    const int g1 = r.firstGroupSize;
    auto group = [&](std::size_t k) { return k < r.groups.size() ? r.groups[k] : std::string(); };
    std::string flags(static_cast<std::size_t>(n), '0');
    std::string line;
    switch (r.kind) {
        case DialogKind::Radio: {
            const auto i = parseInteger(answer);
            if (!i || *i < 0 || *i >= n) return;
            flags[*i] = '1';
            line = "Radio;" + group(0) + ';' + flags + ';' + r.items[*i];
            break;
        }
        case DialogKind::DRadio: {
            const auto v = parseInteger(answer);
            if (!v) return;
            const std::int64_t i1 = *v % 100, i2 = g1 + *v / 100;
            line = "DRadio;" + group(0) + ", " + group(1) + ';';
            if (i1 >= 0 && i1 < g1) flags[i1] = '1';
            if (i2 >= g1 && i2 < n) flags[i2] = '1';
            line += flags;
            for (int k = 0; k < n; ++k)
                if (flags[k] == '1') line += ';' + r.items[k];
            break;
        }
        case DialogKind::Check:
        case DialogKind::DCheck: {
            line = r.kind == DialogKind::Check ? "Check;" + group(0) + ';'
                                               : "DCheck;" + group(0) + ", " + group(1) + ';';
            for (int k = 0; k < n; ++k)
                flags[k] = k < static_cast<int>(answer.size()) && answer[k] == '1' ? '1' : '0';
            line += flags;
            for (int k = 0; k < n; ++k)
                if (flags[k] == '1') line += ';' + r.items[k];
            break;
        }
        default:
            return;
    }
    RecordLine(line);
}

std::optional<std::string> DialogUi::dialog(const DialogRequest& request) {
    const std::optional<DialogRequest> changed = resolved(request);
    const DialogRequest& r = changed ? *changed : request;
    if (macro_ && r.kind == DialogKind::Buttons) {
        // The action panel takes its statement's token like the choice dialogs, so the tokens after it
        // reach the dialogs they belong to; but it is always shown, since its buttons act while it
        // stays open.
        std::string token;
        macro_->NextMacroAnswer(token);
    }
    if (macro_ && takesMacroToken(r.kind)) {
        std::string token;
        if (!macro_->NextMacroAnswer(token)) {
            // The macro answers: nothing is shown and nothing recorded. A token that does not fit is
            // refused and the dialog counts as cancelled.
            TokenAnswer a = answerFromToken(r, token);
            if (!a.answer) {
                macro_->refuse();
                front_.showWarning("Makro: " + (r.name.empty() ? r.caption : r.name) + ": " + a.refusal);
            }
            return a.answer;
        }
    }
    std::optional<std::string> answer = front_.dialog(r);
    if (answer) record(r, *answer);
    return answer;
}

void DialogUi::showDrawingWindow(DrawingWindow& window) {
    std::string token;
    if (macro_ && !macro_->NextMacroAnswer(token)) {
        // A command the window does not have fails the statement, as a token a dialog refuses does.
        if (!runDrawingCommands(window, token, front_)) macro_->refuse();
        front_.showWindowLines(window.caption(), window.textLines());
        window.closing();
        return;
    }
    front_.showDrawingWindow(window);
}

}  // namespace tav
