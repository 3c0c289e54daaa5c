// The diagnostic species: "Kennartentabelle" (the chosen measures of every species in every category of
// the marked header rows, with tests between the categories), "Hierarchische Kennartentabelle" (each
// species assigned to the group of a nested classification where its index is highest) and "Beste
// Kennarten selektieren" (a table of index values thinned to the best ones). The tables are shown in a
// window that makes its lines as they are shown; the table itself is not changed by them.

#include <algorithm>
#include <memory>

#include "analysis/diagnostic_taxa.h"
#include "analysis/stat_tests.h"
#include "analysis/weight_view.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/evaluations.h"
#include "editor/session.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr std::int64_t kDiagnosticTable = 106130000;    // "Kennartentabelle"
constexpr std::int64_t kHierarchicalTable = 106140000;  // "Hierarchische Kennartentabelle"
constexpr std::int64_t kBestDiagnostic = 101120900;     // "Beste Kennarten selektieren"

constexpr const char* kCaption = "Kennartentabelle";

std::vector<std::string> rowNames(const TEditBuffer& b, const std::vector<int>& rows) {
    std::vector<std::string> names;
    names.reserve(rows.size());
    for (int r : rows) names.emplace_back(b.GetZl('A', r));
    return names;
}

// The weights of the rows; nothing when invalid covers were met and the user does not go on. Their
// counts are reported again with the others when the command ends.
std::optional<WeightView> readCounted(Session& s, const std::vector<int>& rows) {
    TMenge chosen;
    for (int r : rows) chosen.Add(r);
    WeightView view = readCoverWeights(s, &chosen);
    if (view.invalid > 0 &&
        AskYesNoCancel(
            s.ui(), std::to_string(view.invalid) + " ungültige Deckungen werden ignoriert.\rWeiter?") != 'Y')
        return std::nullopt;
    return view;
}

bool on(const std::string& flags, std::size_t i) {
    return i < flags.size() && flags[i] == '1';
}

// The letters of a check dialog's chosen items; nothing when it was cancelled.
std::optional<std::string> checkedLetters(Session& s, std::string_view dialog, std::string_view letters) {
    std::string flags;
    if (!TCheckDlg::Execute(s.ui(), s.catalogue(), dialog, "", "", flags)) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < letters.size(); ++i)
        if (on(flags, i)) out += letters[i];
    return out;
}

// The data the tests take: presence (1 / 0) or the cover weights.
std::optional<bool> askPresence(Session& s) {
    int pa = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgPA", "", "", pa)) return std::nullopt;
    return pa == 0;
}

struct NormalChoice {
    std::string selection;
    std::string tests;  // the test selection when "9" is chosen
    bool presence = true;
};

std::optional<NormalChoice> askNormalChoice(Session& s) {
    NormalChoice c;
    std::string main;
    if (!TCheckDlg::Execute(s.ui(), s.catalogue(), "DlgOpKennArtMain", "", "", main)) return std::nullopt;
    for (std::size_t i = 0; i < 4; ++i)
        if (on(main, i)) c.selection += "YBCA"[i];
    const std::pair<std::string_view, std::string_view> more[] = {
        {"DlgOpKennArtFreq", "DEFGHIJKL"}, {"DlgOpKennArtDeck", "MOPNQ"}, {"DlgOpKennArtZus", "RSaTUVWXbcy"}};
    for (std::size_t i = 0; i < 3; ++i) {
        if (!on(main, 3 + i)) continue;
        const auto letters = checkedLetters(s, more[i].first, more[i].second);
        if (!letters) return std::nullopt;
        c.selection += *letters;
    }
    if (on(main, 6)) {
        const auto tests = askTestSelection(s, 1);
        if (!tests) return std::nullopt;
        c.tests = *tests;
        c.selection += '9';
    }
    const auto presence = askPresence(s);
    if (!presence) return std::nullopt;
    c.presence = *presence;
    return c;
}

// One species row's values over all releves as the tests take them.
std::vector<double> testValues(const WeightView& view, int row, bool presence) {
    std::vector<double> values(static_cast<std::size_t>(view.releves), 0);
    for (const auto& [releve, w] : view.bySpecies[static_cast<std::size_t>(row)])
        values[static_cast<std::size_t>(releve)] = presence ? 1 : w;
    return values;
}

// The test of one group of releves against the rest.
std::vector<std::string> groupTest(Session& s, const std::string& selection,
                                   const std::vector<double>& values, const std::vector<int>& groupOf,
                                   int group) {
    TStatTests t(1, selection);
    for (std::size_t c = 0; c < values.size(); ++c) t.add(values[c], groupOf[c] == group ? 1 : 0);
    return t.results(s.settings().Diversa.Decimals, s.random(), &s.progress());
}

void showTable(Session& s, std::function<std::string(int)> lineAt, int lineCount) {
    DialogRequest r;
    r.kind = DialogKind::Grid;
    r.name = kCaption;
    r.caption = kCaption;
    r.tableKind = 23;
    r.modal = false;
    r.lineCount = lineCount;
    r.lineAt = std::move(lineAt);
    s.ui().dialog(r);
}

Status normalCommand(Session& s) {
    TEditBuffer& b = s.buffer();
    const std::vector<int> headerRows = b.MroK().elements();
    if (headerRows.empty()) {
        s.ui().showError(s.catalogue().GetLangMsg("MsgMarkCat"));
        return commandFailed();
    }
    const auto choice = askNormalChoice(s);
    if (!choice) return {};
    const std::vector<int> rows = consideredSpeciesRows(b).elements();
    const auto view = readCounted(s, rows);
    if (!view) return {};
    const ReleveCategories categories = releveCategories(b, headerRows);
    DiagnosticCounts counts = countByCategory(*view, rows, categories);
    DiagnosticTests tests;
    if (!choice->tests.empty()) {
        tests.headings = TStatTests(1, choice->tests).headings();
        const auto K = static_cast<std::size_t>(categories.count());
        tests.fields.resize(rows.size() * K);
        // Esc ends the tests; the species not reached keep empty test fields.
        for (std::size_t i = 0; i < rows.size() && !s.progress().aborted(); ++i) {
            s.progress().setStatus("in Bearbeitung: " + std::string(b.GetZl('A', rows[i])));
            const std::vector<double> values = testValues(*view, rows[i], choice->presence);
            for (std::size_t k = 0; k < K; ++k)
                tests.fields[i * K + k] =
                    groupTest(s, choice->tests, values, categories.of, static_cast<int>(k));
        }
        s.progress().hideStatus();
    }
    auto table = std::make_shared<const DiagnosticTable>(std::move(counts), categories.labels,
                                                         rowNames(b, rows), choice->selection,
                                                         s.settings().Diversa.Decimals, std::move(tests));
    b.ClearM();
    showTable(
        s, [table](int k) { return table->line(k); }, table->lineCount());
    return {};
}

// The measure choice of the hierarchical table: the index, the table measure and the test selection
// ("" for none).
struct HierarchyChoice {
    char index = 'Y', table = 'E';
    std::string tests;
    bool presence = true;
};

std::optional<HierarchyChoice> askHierarchyChoice(Session& s) {
    HierarchyChoice c;
    int index = 0, table = 0, test = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgOpKennInd", "", "", index)) return std::nullopt;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgOpKennTab", "", "", table)) return std::nullopt;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgOpKennTest", "", "", test)) return std::nullopt;
    c.index = "YBCA"[std::clamp(index, 0, 3)];
    c.table = "EHOybca"[std::clamp(table, 0, 6)];
    if (test >= 1 && test <= 4) {
        // 1 binomial, 2 Wilcoxon, 3 permutation, 4 bootstrap: the positions 0 … 3 of a group test; the
        // resampling tests with their draws and statistics.
        std::string part1(20, '0'), part2(10, '0');
        part1[static_cast<std::size_t>(test - 1)] = '1';
        if (test >= 3) {
            std::string resampling = "100010";
            if (!TDCheckDlg::Execute(s.ui(), s.catalogue(), "DlgTestResampCat1", "DlgTestResampCat2", "",
                                     resampling))
                return std::nullopt;
            resampling.resize(10, '0');
            part2 = resampling;
        }
        c.tests = part1 + part2;
    }
    const auto presence = askPresence(s);
    if (!presence) return std::nullopt;
    c.presence = *presence;
    return c;
}

Status hierarchyCommand(Session& s) {
    TEditBuffer& b = s.buffer();
    const std::vector<int> headerRows = b.MroK().elements();
    if (headerRows.empty()) {
        s.ui().showError(s.catalogue().GetLangMsg("MsgMarkCat"));
        return commandFailed();
    }
    const auto choice = askHierarchyChoice(s);
    if (!choice) return {};
    const std::vector<int> rows = consideredSpeciesRows(b).elements();
    const auto view = readCounted(s, rows);
    if (!view) return {};
    auto categories = std::make_shared<CategoryLevels>(categoryLevels(b, headerRows));
    // The finest level is counted from the weights; every coarser one merges its categories.
    auto counts = std::make_shared<std::vector<DiagnosticCounts>>();
    const std::size_t levels = categories->levels.size();
    counts->resize(levels);
    s.progress().setStatus("Stufe " + std::to_string(levels));
    counts->back() = countByCategory(*view, rows, categories->levels.back());
    for (std::size_t l = 0; l + 1 < levels; ++l) {
        s.progress().setStatus("Stufe " + std::to_string(l + 1));
        (*counts)[l] = counts->back().grouped(categories->groupOf[l], categories->levels[l].count());
    }
    s.progress().hideStatus();
    const std::vector<HierarchyAssignment> assigned = assignToGroups(*counts, choice->index);

    HierarchyInput in;
    in.categories = categories.get();
    in.counts = counts.get();
    in.speciesNames = rowNames(b, rows);
    in.index = choice->index;
    in.table = choice->table;
    in.decimals = s.settings().Diversa.Decimals;
    if (!choice->tests.empty()) {
        // Only the test of the group a species is assigned to is shown, so only that one is run.
        in.testHeadings = TStatTests(1, choice->tests).headings();
        in.testFields = [&](int species, int level, int group) {
            s.progress().setStatus("in Bearbeitung: " + in.speciesNames[static_cast<std::size_t>(species)]);
            return groupTest(s, choice->tests,
                             testValues(*view, rows[static_cast<std::size_t>(species)], choice->presence),
                             categories->levels[static_cast<std::size_t>(level)].of, group);
        };
    }
    auto lines = std::make_shared<const std::vector<std::string>>(hierarchicalTable(in, assigned));
    s.progress().hideStatus();
    b.ClearM();
    showTable(
        s, [lines](int k) { return (*lines)[static_cast<std::size_t>(k)]; }, static_cast<int>(lines->size()));
    return {};
}

// The two numbers of an input line ("  20  0"); a field that is no number gives nothing there.
std::pair<std::optional<double>, std::optional<double>> twoNumbers(std::string_view text) {
    const std::vector<std::string> words = [&] {
        std::vector<std::string> w;
        for (const std::string& f : splitFields(text, " "))
            if (!trimBlanks(f).empty()) w.emplace_back(trimBlanks(f));
        return w;
    }();
    auto number = [&](std::size_t i) { return i < words.size() ? parseNumber(words[i]) : std::nullopt; };
    return {number(0), number(1)};
}

// A species cell as a number; a cell that is no number counts as 0.
double cellNumber(std::string_view cell) {
    return parseNumber(trimBlanks(cell)).value_or(0);
}

Status selectBestDiagnostic(Session& s) {
    int mode = 1;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgBestKenn", "", "", mode)) return {};
    static constexpr const char* kCaptions[] = {"Zu löschender Bereich", "Anzahl beste Kennarten je Aufnahme",
                                                "Anzahl beste Indices pro Art"};
    static constexpr const char* kPrompts[] = {"untere / obere Grenze", "Zeiger / Meider", "Zeiger / Meider"};
    static constexpr const char* kPresets[] = {"   -0.1    +0.1", "    20     0", "    2     0"};
    mode = std::clamp(mode, 0, 2);
    const auto text = askText(s, kCaptions[mode], kPrompts[mode], kPresets[mode]);
    if (!text) return {};
    const auto [first, second] = twoNumbers(*text);
    TEditBuffer& b = s.buffer();
    std::vector<int> rows;
    for (int r = 0; r < b.GetRowCount('A'); ++r)
        if (b.GetTyp('A', r) == 'A') rows.push_back(r);
    const int cols = b.GetColCount();
    auto clear = [&](int c, int r) {
        if (!b.Get('A', c, r).empty()) b.Put('A', "", c, r);
    };
    if (mode == 0) {
        const double lower = first.value_or(-1e9), upper = second.value_or(1e9);
        for (int r : rows)
            for (int c = 0; c < cols; ++c) {
                const double x = cellNumber(b.Get('A', c, r));
                if (lower < x && x < upper) clear(c, r);
            }
        return {};
    }
    if (!first || !second) {
        s.ui().showError(s.catalogue().GetMsg("InvalidNumber") + ": " + *text);
        return commandFailed();
    }
    const int k = static_cast<int>(*first), m = static_cast<int>(*second);
    if (mode == 1) {
        std::vector<double> column(rows.size());
        for (int c = 0; c < cols; ++c) {
            for (std::size_t i = 0; i < rows.size(); ++i) column[i] = cellNumber(b.Get('A', c, rows[i]));
            const std::vector<bool> out = outsideBest(column, k, m);
            for (std::size_t i = 0; i < rows.size(); ++i)
                if (out[i]) clear(c, rows[i]);
        }
    } else {
        std::vector<double> row(static_cast<std::size_t>(cols));
        for (int r : rows) {
            for (int c = 0; c < cols; ++c) row[static_cast<std::size_t>(c)] = cellNumber(b.Get('A', c, r));
            const std::vector<bool> out = outsideBest(row, k, m);
            for (int c = 0; c < cols; ++c)
                if (out[static_cast<std::size_t>(c)]) clear(c, r);
        }
    }
    return {};
}

}  // namespace

void addDiagnosticCommands(Dispatcher& d) {
    d.add(kDiagnosticTable, normalCommand);
    d.add(kHierarchicalTable, hierarchyCommand);
    d.add(kBestDiagnostic, whenEditable(selectBestDiagnostic));
}

}  // namespace tav
