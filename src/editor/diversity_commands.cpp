// "Diversität": the diversity indices of each releve and the species turnover between neighbouring
// releves as new header rows of type 'F', and the alpha, beta and gamma diversity of the whole table, of
// each category or of the groups of a category in the table window "Diversität der Aufnahmen".
//
// The species part is read once into a weight view over the rows considered (the marked species rows,
// or all, of type 'A' only); invalid covers count as absent and reach the command's count check.
// Categories and groups are column subsets of that view: the table itself is never cut or merged.

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "analysis/diversity.h"
#include "analysis/weight_view.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/session.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr std::int64_t kIndices = 107040100;          // "Diversitätsindices"
constexpr std::int64_t kAlphaBetaGamma = 107040200;   // "Alpha Beta Gamma"
constexpr std::int64_t kTurnoverReleves = 107040300;  // "Turnover in den Aufnahmen"
constexpr std::int64_t kTurnoverEachRow = 107040400;  // "Turnover für jede Artzeile"

// More new header rows than this are only added after the user agreed.
constexpr std::size_t kRowsWithoutAsking = 100;

constexpr const char* kIndexNames[kDiversityIndexCount] = {
    "Shannon Index", "Shannon Equitability", "McIntosh Index", "McIntosh Dominance", "McIntosh Eveness"};
constexpr const char* kTurnoverNames[SpeciesChange::kQuantities] = {
    "neu aufgetreten",         "verschwunden",         "Gemeinsame",        "Unterschiedliche", "Gesamtzahl",
    "Anteil neu Aufgetretene", "Anteil Verschwundene", "Anteil Gemeinsame", "Turnover"};

// The positions of the "1" flags of a check dialog's answer, at most count of them.
std::vector<int> chosenFlags(const std::string& flags, int count) {
    std::vector<int> out;
    for (int i = 0; i < count && i < static_cast<int>(flags.size()); ++i)
        if (flags[static_cast<std::size_t>(i)] == '1') out.push_back(i);
    return out;
}

Status diversityIndicesCommand(Session& s) {
    std::string flags;
    if (!TCheckDlg::Execute(s.ui(), s.catalogue(), "DlgDiversity", "", "", flags)) return {};
    const std::vector<int> chosen = chosenFlags(flags, kDiversityIndexCount);
    if (chosen.empty()) return {};
    TEditBuffer& b = s.buffer();
    const TMenge considered = consideredSpeciesRows(b);
    const WeightView v = readCoverWeights(s, &considered);
    std::vector<std::pair<std::string, char>> names;
    for (int i : chosen) names.emplace_back(kIndexNames[i], 'F');
    const int first = appendHeaderRows(b, names);
    const int decimals = s.settings().Diversa.Decimals;
    for (int c = 0; c < v.releves; ++c) {
        const auto indices = diversityIndices(v.byReleve[static_cast<std::size_t>(c)]);
        for (std::size_t k = 0; k < chosen.size(); ++k)
            b.Put('K', numberOrNa(indices[static_cast<std::size_t>(chosen[k])], decimals), c,
                  first + static_cast<int>(k));
    }
    b.ClearM();
    return {};
}

// The chosen quantities of one run as rows from first on; the first releve has none before it.
void putChanges(TEditBuffer& b, const std::vector<SpeciesChange>& changes, const std::vector<int>& chosen,
                int first, int decimals) {
    for (std::size_t k = 0; k < chosen.size(); ++k) b.Put('K', "NA", 0, first + static_cast<int>(k));
    for (std::size_t j = 1; j < changes.size(); ++j) {
        const auto q = changes[j].quantities();
        for (std::size_t k = 0; k < chosen.size(); ++k)
            b.Put('K', numberOrNa(q[static_cast<std::size_t>(chosen[k])], decimals), static_cast<int>(j),
                  first + static_cast<int>(k));
    }
}

Status turnoverCommand(Session& s, bool eachRow) {
    std::string flags;
    if (!TCheckDlg::Execute(s.ui(), s.catalogue(), "DlgTurnover", "", "", flags)) return {};
    const std::vector<int> chosen = chosenFlags(flags, SpeciesChange::kQuantities);
    if (chosen.empty()) return {};
    TEditBuffer& b = s.buffer();
    const TMenge rows = consideredSpeciesRows(b);
    const int decimals = s.settings().Diversa.Decimals;
    if (!eachRow) {
        const WeightView v = readCoverWeights(s, &rows);
        std::vector<std::pair<std::string, char>> names;
        for (int i : chosen) names.emplace_back(kTurnoverNames[i], 'F');
        putChanges(b, neighbourChanges(v), chosen, appendHeaderRows(b, names), decimals);
        b.ClearM();
        return {};
    }
    const std::vector<int> runs = rows.elements();
    const std::size_t added = runs.size() * chosen.size();
    if (added > kRowsWithoutAsking &&
        AskYesNoCancel(s.ui(), std::to_string(added) + " neue Kopfdatenzeilen werden angefügt (" +
                                   std::to_string(runs.size()) + " Artzeilen × " +
                                   std::to_string(chosen.size()) + " Werte).\rWeiter?") != 'Y')
        return {};
    const WeightView v = readCoverWeights(s, &rows);
    std::vector<std::pair<std::string, char>> names;
    for (int r : runs)
        for (int i : chosen) names.emplace_back(std::string(b.GetZl('A', r)) + " " + kTurnoverNames[i], 'F');
    // Many rows take a while: Esc takes back what was written.
    s.undoList().begin();
    const int first = appendHeaderRows(b, names);
    s.progress().startBar(static_cast<std::int64_t>(runs.size()));
    for (std::size_t k = 0; k < runs.size(); ++k) {
        if (k % 16 == 0) {
            s.progress().setPosition(static_cast<std::int64_t>(k));
            if (s.progress().aborted()) {
                s.progress().endBar();
                s.undoList().rollback();
                s.ui().showInfo("Bearbeitung abgebrochen");
                return commandFailed();
            }
        }
        putChanges(b, neighbourChangesOfRow(v, runs[k]), chosen, first + static_cast<int>(k * chosen.size()),
                   decimals);
    }
    s.progress().endBar();
    s.undoList().end();
    b.ClearM();
    return {};
}

// A field four wide with the decimals of the settings, "NA" for a missing value.
std::string windowField(double x, int decimals) {
    return isMissing(x) ? std::string("NA") : alignRight(formatFixed(x, decimals), 4);
}

std::string unitLine(const std::string& label, const UnitDiversity& u, int decimals) {
    std::string line = label;
    for (double x : {u.alpha, u.gamma, u.meanDiffering, u.meanTurnover, u.beta})
        line += ";" + windowField(x, decimals);
    return line;
}

// The categories of the releves over the key rows: the cell texts joined by ";" and folded to upper
// case, in case-insensitive order, each with its releves.
struct TextOrder {
    bool operator()(const std::string& a, const std::string& b) const { return textLess(a, b); }
};
std::map<std::string, std::vector<int>, TextOrder> categoriesOf(const TEditBuffer& b,
                                                                const std::vector<int>& keyRows) {
    std::map<std::string, std::vector<int>, TextOrder> out;
    for (int c = 0; c < b.GetColCount(); ++c) {
        std::string key;
        for (std::size_t k = 0; k < keyRows.size(); ++k) {
            if (k > 0) key += ';';
            key += b.Get('K', c, keyRows[k]);
        }
        out[upperFold(key)].push_back(c);
    }
    return out;
}

std::string labelOf(std::string key) {
    std::replace(key.begin(), key.end(), ';', ' ');
    return key;
}

Status alphaBetaGammaCommand(Session& s) {
    int units = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgABCdiversity", "", "", units)) return {};
    if (units < 0 || units > 2) return {};
    TEditBuffer& b = s.buffer();
    std::vector<int> keyRows;
    if (units > 0) {
        std::vector<std::string> names;
        TLongList picks;
        int one = 0;
        if (!b.AskCat('M', units == 1 ? "Kategorien" : "Gruppenkriterium", names, picks, one)) return {};
        for (int i = 0; i < picks.Count(); ++i) keyRows.push_back(static_cast<int>(picks.GetLong(i)));
        if (keyRows.empty()) return {};
    }
    const TMenge considered = consideredSpeciesRows(b);
    const WeightView v = readCoverWeights(s, &considered);
    const int decimals = s.settings().Diversa.Decimals;
    std::vector<std::string> lines = {
        ";Alpha-Diversität;Gamma-Diversität;mittl. Anzahl Unterschiedliche;mittl. Anteil "
        "Unterschiedliche;Whittaker Beta (Gamma / Alpha)"};
    auto columnsOf = [&](const std::vector<int>& releves) {
        std::vector<const PresentRows*> out;
        for (int c : releves) out.push_back(&v.byReleve[static_cast<std::size_t>(c)]);
        return out;
    };
    if (units == 0) {
        std::vector<int> all(static_cast<std::size_t>(v.releves));
        for (int c = 0; c < v.releves; ++c) all[static_cast<std::size_t>(c)] = c;
        lines.push_back(unitLine("Aufnahmen", unitDiversity(columnsOf(all), s.random()), decimals));
    } else {
        s.progress().setStatus("Kategorien vorbereiten ...");
        const auto categories = categoriesOf(b, keyRows);
        if (units == 1) {
            for (const auto& [key, releves] : categories)
                lines.push_back(
                    unitLine(labelOf(key), unitDiversity(columnsOf(releves), s.random()), decimals));
        } else {
            std::vector<std::vector<int>> groups;
            for (const auto& [key, releves] : categories) groups.push_back(releves);
            const std::vector<PresentRows> merged = mergedColumns(v, groups);
            std::vector<const PresentRows*> columns;
            for (const PresentRows& m : merged) columns.push_back(&m);
            lines.push_back(unitLine("", unitDiversity(columns, s.random()), decimals));
            lines.emplace_back();
            std::string line = "Gruppen:";
            int onLine = 0;
            for (const auto& [key, releves] : categories) {
                if (onLine == 4) {
                    lines.push_back(line);
                    line.clear();
                    onLine = 0;
                }
                line += ";" + labelOf(key);
                ++onLine;
            }
            lines.push_back(line);
        }
        s.progress().hideStatus();
    }
    std::string res;
    TGridDlg::Execute(s.ui(), "Diversität der Aufnahmen", lines, 2, res);
    b.ClearM();
    return {};
}

}  // namespace

void addDiversityCommands(Dispatcher& d) {
    d.add(kIndices, whenEditable(diversityIndicesCommand));
    d.add(kTurnoverReleves, whenEditable([](Session& s) { return turnoverCommand(s, false); }));
    d.add(kTurnoverEachRow, whenEditable([](Session& s) { return turnoverCommand(s, true); }));
    d.add(kAlphaBetaGamma, alphaBetaGammaCommand);
}

}  // namespace tav
