#include "editor/tool_bar.h"

#include <array>

#include "editor/command_registry.h"
#include "editor/dispatch.h"
#include "editor/session.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr std::int64_t kToolBarContents = 110020702;  // "Inhalt der Symbolleiste"
constexpr std::size_t kFlagCount = 64;

constexpr std::array<std::string_view, 42> kLayout = {
    "NewButton",
    "OpenButton",
    "SaveButton",
    "",
    "UndoButton",
    "CopyButton",
    "CutButton",
    "PasteButton",
    "DateButton",
    "TimeButton",
    "",
    "FindButton",
    "ReplaceButton",
    "SuchRueckButton",
    "MemoButton",
    "UeberButton",
    "WechselButton",
    "LinksButton",
    "RechtsButton",
    "ObenButton",
    "UntenButton",
    "ZlTypButton",
    "",
    "ZusatzButton",
    "KSBZyklischButton",
    "cfButton",
    "SortZlButton",
    "SortSpButton",
    "NachschlagenButton",
    "PruefButton",
    "FiltButton",
    "",
    "ImageButton",
    "ScatterButton",
    "GraphButton",
    "BiplotButton",
    "MapButton",
    "MacroButton",
    "ExternButton",
    "ClipButton",
    "FontButton",
    "HelpButton",
};
constexpr std::size_t kButtons = kLayout.size();

Status chooseContents(Session& s) {
    std::vector<std::string> lines = {"Schaltfläche;darstellen"};
    std::vector<std::size_t> places;
    std::string& flags = s.settings().BildEinst.ToolButtons;
    std::string res;
    // Every button but the last, which always shows.
    for (std::size_t i = 0; i + 1 < kButtons; ++i) {
        const CommandEntry* e = toolButtonCommand(kLayout[i]);
        if (!e) continue;
        std::string hint = s.catalogue().GetHintText(e->number);
        if (hint.empty()) hint = e->caption;
        for (char& c : hint)
            if (c == ';') c = ',';
        lines.push_back(hint + ";Ja");
        places.push_back(i);
        res += toolButtonShown(flags, i) ? '0' : '1';
    }
    if (!TGridDlg::Execute(s.ui(), "Inhalt der Werkzeugleiste", lines, 10, res)) return {};
    std::string now(kFlagCount, '0');
    for (std::size_t k = 0; k < places.size(); ++k)
        if (k < res.size() && res[k] == '1') now[places[k]] = '1';
    flags = now;
    s.applySettings();
    return {};
}

}  // namespace

std::span<const std::string_view> toolBarLayout() {
    return std::span<const std::string_view>(kLayout.data(), kButtons);
}

const CommandEntry* toolButtonCommand(std::string_view button) {
    if (button.empty()) return nullptr;
    for (const CommandEntry& e : commands::allCommands())
        if (e.button == button) return &e;
    return nullptr;
}

bool toolButtonShown(std::string_view flags, std::size_t i) {
    return i + 1 >= kButtons || i >= flags.size() || flags[i] != '1';
}

void addToolBarCommands(Dispatcher& d) {
    d.add(kToolBarContents, chooseContents);
}

}  // namespace tav
