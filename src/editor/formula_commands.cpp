// "Felder auswerten, transformieren": a formula asked in the formula editor and applied to the numeric
// cells of the marked rows and releves (all when none are marked) inside the grid's selection. Every
// result is computed before the first cell changes, so a failure leaves the table as it was and the
// whole change is one undo step.

#include <unordered_map>

#include "analysis/formula.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/grid_control.h"
#include "editor/session.h"
#include "editor/window_commands.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr std::int64_t kEvaluateFields = 106010000;  // "Felder auswerten, transformieren"

// The formula editor: asked again with the normalised text after an error, until it compiles or the
// user cancels (a macro or preset that gives the same refused text twice ends it).
std::optional<Formula> askFormula(Session& s) {
    std::string help;
    for (const std::string& line : formulaHelpLines(true)) help += line + "\r";
    std::string text;
    std::optional<std::string> refused;
    for (;;) {
        const std::optional<std::string> answer = askText(s, "Formeleditor", help, text);
        if (!answer || (refused && *refused == *answer)) return std::nullopt;
        std::string error, normalized;
        if (auto f = Formula::compile(*answer, error, &normalized)) return f;
        s.ui().showError(error);
        s.macroAnswers().refuse();
        refused = answer;
        text = normalized;
    }
}

// A cell's value for the formula: the number it holds; an empty species cell is 0; anything else is
// missing.
double cellValue(std::string_view text, char part) {
    const std::string_view t = trimBlanks(text);
    if (t.empty() && part == 'A') return 0;
    const auto v = parseNumber(t);
    return v ? *v : kMissing;
}

bool numericRow(char type) {
    return type == 'A' || type == 'F' || type == 'I' || type == 'P';
}

Status evaluateFields(Session& s) {
    const int grid = std::clamp(s.activeGrid, 1, 4);
    if (!GridEditable(s, grid)) return {};
    const char part = grid <= 2 ? 'K' : 'A';
    TEditBuffer& b = s.buffer();
    const Catalogue& cat = s.catalogue();
    if (part == 'K' && b.MroK().empty()) {
        s.ui().showInfo(cat.GetLangMsg("MsgNoRowsM"));
        return commandFailed();
    }
    if (part == 'A' && s.settings().DeckEinst >= 5 &&
        AskYesNoCancel(s.ui(), cat.GetLangMsg("MsgNoNumCheck")) != 'Y')
        return {};
    const std::optional<Formula> formula = askFormula(s);
    if (!formula) return {};

    const std::vector<int> rows = markedOrAll(part == 'K' ? b.MroK() : b.MroA(), b.GetRowCount(part));
    const std::vector<int> columns = markedOrAll(b.McoR(), b.GetColCount());
    const int decimals = s.settings().Diversa.Decimals;
    struct Change {
        int col, row;
        std::string text;
    };
    std::vector<Change> changes;
    std::vector<std::string> skipped;
    std::int64_t nas = 0;
    // Without neighbours a result depends on the cell's text only: each distinct text is computed once.
    std::unordered_map<std::string_view, std::pair<std::string, bool>> known;
    Progress& progress = s.progress();
    progress.setStatus("Bearbeiten ...");
    progress.startBar(static_cast<std::int64_t>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int r = rows[i];
        progress.setPosition(static_cast<std::int64_t>(i));
        if (progress.aborted() || s.abortRequested) break;
        if (!numericRow(b.GetTyp(part, r))) {
            skipped.emplace_back(b.GetZl(part, r));
            continue;
        }
        for (int c : columns) {
            if (!inSelection(s, grid, c, r)) continue;
            const std::string_view text = b.Get(part, c, r);
            std::pair<std::string, bool> result;
            if (formula->usesNeighbours()) {
                const Formula::Neighbour neighbour = [&](int dr, int dc) {
                    const int rr = r + dr, cc = c + dc;
                    if (rr < 0 || rr >= b.GetRowCount(part) || cc < 0 || cc >= b.GetColCount())
                        return cellValue("", part);
                    return cellValue(b.Get(part, cc, rr), part);
                };
                result.first = formulaCellText(*formula, text, cellValue(text, part), neighbour, decimals,
                                               part == 'A', result.second);
            } else if (auto it = known.find(text); it != known.end()) {
                result = it->second;
            } else {
                result.first = formulaCellText(*formula, text, cellValue(text, part), {}, decimals,
                                               part == 'A', result.second);
                known.emplace(text, result);
            }
            if (result.second) ++nas;
            if (result.first != text) changes.push_back({c, r, std::move(result.first)});
        }
    }
    progress.endBar();
    progress.hideStatus();
    if (progress.aborted() || s.abortRequested) {
        progress.clearAbort();
        s.abortRequested = false;
        s.ui().showInfo("Bearbeitung abgebrochen");
        return {};
    }
    if (!skipped.empty()) {
        std::string names;
        for (std::size_t i = 0; i < skipped.size() && i < 20; ++i) names += "\r" + skipped[i];
        if (skipped.size() > 20) names += "\r…";
        s.ui().showError("Nicht-numerische Felder. Ich kann nichts rechnen." + names);
    }
    for (const Change& ch : changes) b.Put(part, ch.text, ch.col, ch.row);
    if (nas > 0) s.ui().showInfo(std::to_string(nas) + " NAs erzeugt.");
    return {};
}

}  // namespace

void addFormulaCommands(Dispatcher& d) {
    d.add(kEvaluateFields, evaluateFields);
}

}  // namespace tav
