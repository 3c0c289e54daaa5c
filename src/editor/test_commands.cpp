// The tests of rows and the spatial indices: "Zeilen auswerten" › test of association (pairs of marked
// header rows), test against 0 (each marked header row) and test against the rest (a chosen row grouped
// by each marked header row); "Kategorienweise Berechnungen" › "Tests"; "Räumliche Verteilung von
// Ereignissen" (dispersion and association indices). Results are shown in table windows.

#include <algorithm>
#include <map>

#include "analysis/stat_tests.h"
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

constexpr std::int64_t kCategoryTests = 106080200;  // "Kategorienweise Berechnungen" › "Tests"
constexpr std::int64_t kSpatial = 106100000;        // "Räumliche Verteilung von Ereignissen"

// A species cell for the tests: its cover weight, or 1 / 0 for presence and absence; empty is 0, an
// invalid code missing.
double speciesNumber(Session& s, int col, int row, bool presence) {
    std::string entry(trimBlanks(s.buffer().Get('A', col, row)));
    if (entry.empty()) return 0;
    double x = 0;
    CoverCounts counts;
    if (!s.coverInterpreter().DeckVal('S', entry, x, false, counts)) return kMissing;
    return presence ? (x > 0 ? 1 : 0) : x;
}

// The selection of a test mode from its dialogs; nothing when cancelled.
}  // namespace

std::optional<std::string> askTestSelection(Session& s, int mode) {
    static constexpr const char* kTests[][2] = {
        {"DlgTestZero1", "DlgTestZero2"}, {"DlgTestCat1", "DlgTestCat2"}, {"DlgTestCor1", "DlgTestCor2"}};
    static constexpr const char* kResampling[][2] = {{"DlgTestResampZ1", "DlgTestResampZ2"},
                                                     {"DlgTestResampCat1", "DlgTestResampCat2"},
                                                     {"DlgTestResampC1", "DlgTestResampC2"}};
    std::string tests;
    if (!TDCheckDlg::Execute(s.ui(), s.catalogue(), kTests[mode][0], kTests[mode][1], "", tests))
        return std::nullopt;
    std::string part1 = tests;
    part1.resize(20, '0');
    std::string part2(10, '0');
    const int randomPos = mode == 2 ? 4 : 2;
    if (part1[static_cast<std::size_t>(randomPos)] == '1' ||
        part1[static_cast<std::size_t>(randomPos + 1)] == '1') {
        std::string resampling = "100010";
        if (!TDCheckDlg::Execute(s.ui(), s.catalogue(), kResampling[mode][0], kResampling[mode][1], "",
                                 resampling))
            return std::nullopt;
        part2 = resampling;
        part2.resize(10, '0');
    }
    return part1 + part2;
}

namespace {

std::string joined(const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& f : fields) line += ";" + f;
    return line;
}

// The invalid values and gaps a category test met.
void reportGaps(Session& s, std::int64_t invalid) {
    if (invalid > 0)
        s.ui().showInfo("Ich habe " + std::to_string(invalid) +
                        " ungültige Werte oder Lücken angetroffen\rund als fehlende Werte behandelt.");
}

void showTable(Session& s, std::string_view caption, std::vector<std::string>& lines) {
    std::string res;
    TGridDlg::Execute(s.ui(), caption, lines, 1, res);
}

// "Zeilen auswerten" › test against 0 (each marked header row) or of association (each pair).
Status rowTests(Session& s, int mode) {
    TEditBuffer& b = s.buffer();
    const std::vector<int> rows = b.MroK().elements();
    if (!enoughMarkedRows(s, rows.size(), mode == 2 ? 2 : 1)) return commandFailed();
    const auto selection = askTestSelection(s, mode);
    if (!selection) return {};
    std::vector<std::pair<std::string, TStatTests>> cases;
    std::int64_t invalid = 0;
    if (mode == 0) {
        for (int r : rows) {
            TStatTests t(0, *selection);
            for (int c = 0; c < b.GetColCount(); ++c) {
                const double v = headerNumber(b, c, r);
                if (isMissing(v))
                    ++invalid;
                else
                    t.add(v, 0);
            }
            cases.emplace_back(std::string(b.GetZl('K', r)), std::move(t));
        }
    } else {
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (std::size_t j = i + 1; j < rows.size(); ++j) {
                TStatTests t(2, *selection);
                for (int c = 0; c < b.GetColCount(); ++c) {
                    const double x = headerNumber(b, c, rows[i]), y = headerNumber(b, c, rows[j]);
                    if (isMissing(x) || isMissing(y)) {
                        ++invalid;
                        continue;
                    }
                    t.add(x, 0);
                    t.add(y, 1);
                }
                cases.emplace_back(
                    std::string(b.GetZl('K', rows[i])) + " - " + std::string(b.GetZl('K', rows[j])),
                    std::move(t));
            }
    }
    if (invalid > 0 && AskYesNoCancel(s.ui(), std::to_string(invalid) +
                                                  " ungültige Werte werden ignoriert.\rWeiter?") != 'Y')
        return {};
    std::vector<std::string> lines{joined(TStatTests(mode, *selection).headings())};
    const int decimals = s.settings().Diversa.Decimals;
    for (auto& [name, t] : cases) {
        s.progress().setStatus("in Bearbeitung: " + name);
        lines.push_back(name + joined(t.results(decimals, s.random(), &s.progress())));
    }
    s.progress().hideStatus();
    showTable(s, mode == 0 ? "Test gegen 0" : "Test auf Zusammenhang", lines);
    return {};
}

// Category keys of the columns over the given header rows ("v1;v2", compared without letter case), in
// sorted order with their columns.
std::map<std::string, std::vector<int>> categoriesOf(const TEditBuffer& b, const std::vector<int>& keyRows) {
    std::map<std::string, std::vector<int>> categories;
    for (int c = 0; c < b.GetColCount(); ++c) {
        std::string key;
        for (int r : keyRows) key += (key.empty() ? "" : ";") + upperCaseOnly(trimBlanks(b.Get('K', c, r)));
        categories[key].push_back(c);
    }
    return categories;
}

std::string caseName(std::string key) {
    std::replace(key.begin(), key.end(), ';', '.');
    return key;
}

// The lines of "Test gegen Rest" for one row's values (missing ones left out) grouped by categories:
// each category against all other columns, then, with pairs, each pair of categories.
void groupTests(const std::vector<double>& values, const std::map<std::string, std::vector<int>>& categories,
                const std::string& rowName, const std::string& selection, bool pairs, bool blockLines,
                int decimals, Session& s, std::vector<std::string>& lines) {
    std::vector<const std::pair<const std::string, std::vector<int>>*> list;
    for (const auto& c : categories) list.push_back(&c);
    if (blockLines) lines.push_back("Kategorien vs. Gesamt");
    for (const auto* cat : list) {
        std::vector<char> inGroup(values.size(), 0);
        for (int c : cat->second) inGroup[static_cast<std::size_t>(c)] = 1;
        TStatTests t(1, selection);
        for (std::size_t c = 0; c < values.size(); ++c)
            if (!isMissing(values[c])) t.add(values[c], inGroup[c]);
        lines.push_back(caseName(cat->first) + ";" + rowName +
                        joined(t.results(decimals, s.random(), &s.progress())));
    }
    if (!pairs || list.size() < 2) return;
    if (blockLines) lines.push_back("Einzelne Kategorien");
    for (std::size_t i = 0; i < list.size(); ++i)
        for (std::size_t j = i + 1; j < list.size(); ++j) {
            TStatTests t(1, selection);
            for (int c : list[i]->second)
                if (!isMissing(values[static_cast<std::size_t>(c)]))
                    t.add(values[static_cast<std::size_t>(c)], 1);
            for (int c : list[j]->second)
                if (!isMissing(values[static_cast<std::size_t>(c)]))
                    t.add(values[static_cast<std::size_t>(c)], 0);
            lines.push_back(caseName(list[i]->first) + " vs. " + caseName(list[j]->first) + ";" + rowName +
                            joined(t.results(decimals, s.random(), &s.progress())));
        }
}

// "Zeilen auswerten" › test against the rest: each chosen numeric row grouped by each marked header row.
Status restTests(Session& s) {
    TEditBuffer& b = s.buffer();
    const std::vector<int> grouping = b.MroK().elements();
    if (grouping.empty()) {
        s.ui().showInfo(s.catalogue().GetLangMsg("MsgNoRowsM"));
        return commandFailed();
    }
    std::vector<int> numeric;
    std::vector<std::string> names;
    for (int r = 0; r < b.GetRowCount('K'); ++r) {
        const char t = b.GetTyp('K', r);
        if (t == 'F' || t == 'I' || t == 'P') {
            numeric.push_back(r);
            names.emplace_back(b.GetZl('K', r));
        }
    }
    if (numeric.empty()) {
        s.ui().showInfo(s.catalogue().GetLangMsg("MsgNoRoCo"));
        return commandFailed();
    }
    int current = 0;
    std::vector<int> picked;
    if (!TListDlg::Execute(s.ui(), "Numerische Zeile(n) wählen", names, true, current, &picked)) return {};
    if (picked.empty()) picked.push_back(current);
    const auto selection = askTestSelection(s, 1);
    if (!selection) return {};
    const std::vector<std::string> headings = TStatTests(1, *selection).headings();
    std::vector<std::string> lines{"Testreihe ungeppart" + std::string(headings.size() + 1, ';'),
                                   "Kategorie;Werte" + joined(headings)};
    const int decimals = s.settings().Diversa.Decimals;
    for (int p : picked) {
        if (p < 0 || p >= static_cast<int>(numeric.size())) continue;
        const int tested = numeric[static_cast<std::size_t>(p)];
        std::vector<double> values;
        for (int c = 0; c < b.GetColCount(); ++c) values.push_back(headerNumber(b, c, tested));
        for (int g : grouping) {
            const std::size_t first = lines.size();
            groupTests(values, categoriesOf(b, {g}), std::string(b.GetZl('K', tested)), *selection, true,
                       false, decimals, s, lines);
            if (first < lines.size()) lines[first] = std::string(b.GetZl('K', g)) + ": " + lines[first];
            lines.emplace_back();
        }
    }
    showTable(s, "Tests", lines);
    return {};
}

// The paired tests: the samples are the categories of the chosen header rows (with strata, of the last
// one, within each category of the others); the columns of two samples that share an element
// identifier form pairs, and their differences are tested against 0, for each pair of samples.
Status pairedCategoryTests(Session& s, bool strata) {
    TEditBuffer& b = s.buffer();
    const std::vector<MarkedRow> rows = markedRows(b);
    if (!enoughMarkedRows(s, rows.size(), 1)) return commandFailed();
    const std::vector<int> keyRows = askCategoryRows(s);
    if (keyRows.empty()) return {};
    std::vector<std::string> names;
    for (int r = 0; r < b.GetRowCount('K'); ++r) names.emplace_back(b.GetZl('K', r));
    if (strata && keyRows.size() < 2) {
        s.ui().showInfo(
            "Bitte mindestens zwei Zeilen angeben: die Straten und zuletzt das Kriterium für die "
            "Stichproben.");
        return commandFailed();
    }
    int idRow = 0;
    if (!TListDlg::Execute(s.ui(), "Element-ID angeben", names, false, idRow)) return {};
    if (idRow < 0 || idRow >= b.GetRowCount('K')) return {};
    const std::vector<int> sampleRows = strata ? std::vector<int>{keyRows.back()} : keyRows;
    const std::vector<int> strataRows =
        strata ? std::vector<int>(keyRows.begin(), keyRows.end() - 1) : std::vector<int>{};
    const auto samples = categoriesOf(b, sampleRows);
    if (samples.size() > 2 &&
        AskYesNoCancel(s.ui(), "Das Kriterium für die Stichproben hat mehr als 2, nämlich " +
                                   std::to_string(samples.size()) +
                                   " Zustände.\rIch teste alle möglichen Paare von Kategorien. Weiter?") !=
            'Y')
        return {};
    bool presence = false;
    if (std::any_of(rows.begin(), rows.end(), [](const MarkedRow& r) { return r.part == 'A'; })) {
        int pa = 1;
        if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgPA", "", "", pa)) return {};
        presence = pa == 0;
    }
    const auto selection = askTestSelection(s, 0);
    if (!selection) return {};
    std::string keyNames;
    for (int r : keyRows) keyNames += (keyNames.empty() ? "" : ".") + std::string(b.GetZl('K', r));
    std::vector<std::string> lines{keyNames + ";Werte" + joined(TStatTests(0, *selection).headings())};
    const int decimals = s.settings().Diversa.Decimals;
    const auto strataOf =
        strata ? categoriesOf(b, strataRows) : std::map<std::string, std::vector<int>>{{"", {}}};
    // The sample and stratum of each column.
    std::vector<std::string> sampleOf(static_cast<std::size_t>(b.GetColCount())), stratumOf(sampleOf.size());
    for (const auto& [key, cols] : samples)
        for (int c : cols) sampleOf[static_cast<std::size_t>(c)] = key;
    if (strata)
        for (const auto& [key, cols] : strataOf)
            for (int c : cols) stratumOf[static_cast<std::size_t>(c)] = key;
    std::vector<std::string> sampleKeys;
    for (const auto& entry : samples) sampleKeys.push_back(entry.first);
    std::int64_t invalid = 0;
    for (const auto& [part, row] : rows) {
        std::vector<double> values;
        for (int c = 0; c < b.GetColCount(); ++c)
            values.push_back(part == 'K' ? headerNumber(b, c, row) : speciesNumber(s, c, row, presence));
        const std::string name(b.GetZl(part, row));
        for (const auto& [stratum, unused] : strataOf) {
            (void)unused;
            for (std::size_t i = 0; i < sampleKeys.size(); ++i)
                for (std::size_t j = i + 1; j < sampleKeys.size(); ++j) {
                    // The first column of each element in each of the two samples.
                    std::map<std::string, int> first, second;
                    for (int c = 0; c < b.GetColCount(); ++c) {
                        const auto cc = static_cast<std::size_t>(c);
                        if (strata && stratumOf[cc] != stratum) continue;
                        const std::string id = upperCaseOnly(trimBlanks(b.Get('K', c, idRow)));
                        if (id.empty()) continue;
                        if (sampleOf[cc] == sampleKeys[i]) first.emplace(id, c);
                        if (sampleOf[cc] == sampleKeys[j]) second.emplace(id, c);
                    }
                    TStatTests t(0, *selection);
                    for (const auto& [id, c1] : first) {
                        const auto other = second.find(id);
                        if (other == second.end()) continue;
                        const double x = values[static_cast<std::size_t>(c1)];
                        const double y = values[static_cast<std::size_t>(other->second)];
                        if (isMissing(x) || isMissing(y)) {
                            ++invalid;
                            continue;
                        }
                        t.add(x - y, 0);
                    }
                    std::string label = caseName(sampleKeys[i]) + " vs. " + caseName(sampleKeys[j]);
                    if (strata) label = caseName(stratum) + ": " + label;
                    lines.push_back(label + ";" + name +
                                    joined(t.results(decimals, s.random(), &s.progress())));
                }
        }
    }
    reportGaps(s, invalid);
    showTable(s, "Tests", lines);
    return {};
}

// "Kategorienweise Berechnungen" › "Tests": against the rest (0), against 0 (2), and the species rows
// grouped by the marked header rows (4).
Status categoryTests(Session& s) {
    int answer = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgOpAnalyseCatT", "", "", answer)) return {};
    if (answer == 1 || answer == 3) return pairedCategoryTests(s, answer == 3);
    TEditBuffer& b = s.buffer();
    std::vector<int> keyRows;
    std::vector<MarkedRow> rows;
    if (answer == 4) {
        keyRows = b.MroK().elements();
        for (int r : markedOrAll(b.MroA(), b.GetRowCount('A')))
            if (b.GetTyp('A', r) == 'A') rows.push_back({'A', r});
        if (keyRows.empty()) {
            s.ui().showInfo(s.catalogue().GetLangMsg("MsgNoRowsM"));
            return commandFailed();
        }
    } else {
        rows = markedRows(b);
        if (!enoughMarkedRows(s, rows.size(), 1)) return commandFailed();
        keyRows = askCategoryRows(s);
        if (keyRows.empty()) return {};
    }
    bool presence = false;
    if (std::any_of(rows.begin(), rows.end(), [](const MarkedRow& r) { return r.part == 'A'; })) {
        int pa = 1;
        if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgPA", "", "", pa)) return {};
        presence = pa == 0;
    }
    const int mode = answer == 2 ? 0 : 1;
    const auto selection = askTestSelection(s, mode);
    if (!selection) return {};
    const auto categories = categoriesOf(b, keyRows);
    std::string keyNames;
    for (int r : keyRows) keyNames += (keyNames.empty() ? "" : ".") + std::string(b.GetZl('K', r));
    std::vector<std::string> lines{keyNames + ";Werte" + joined(TStatTests(mode, *selection).headings())};
    const int decimals = s.settings().Diversa.Decimals;
    std::int64_t invalid = 0;
    for (const MarkedRow& row : rows) {
        std::vector<double> values;
        for (int c = 0; c < b.GetColCount(); ++c) {
            const double v =
                row.part == 'K' ? headerNumber(b, c, row.row) : speciesNumber(s, c, row.row, presence);
            if (isMissing(v)) ++invalid;
            values.push_back(v);
        }
        const std::string name(b.GetZl(row.part, row.row));
        s.progress().setStatus("in Bearbeitung: " + name);
        if (mode == 0) {
            for (const auto& [key, cols] : categories) {
                TStatTests t(0, *selection);
                for (int c : cols)
                    if (!isMissing(values[static_cast<std::size_t>(c)]))
                        t.add(values[static_cast<std::size_t>(c)], 0);
                lines.push_back(caseName(key) + ";" + name +
                                joined(t.results(decimals, s.random(), &s.progress())));
            }
        } else {
            groupTests(values, categories, name, *selection, answer == 0, answer == 0, decimals, s, lines);
        }
    }
    s.progress().hideStatus();
    reportGaps(s, invalid);
    showTable(s, "Tests", lines);
    return {};
}

// "Räumliche Verteilung von Ereignissen": the dispersion index of each marked row, or the association
// of every pair of marked rows.
Status spatialIndices(Session& s) {
    int answer = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgOpSpatial", "", "", answer)) return {};
    TEditBuffer& b = s.buffer();
    const std::vector<MarkedRow> rows = markedRows(b);
    if (!enoughMarkedRows(s, rows.size(), answer == 1 ? 2 : 1)) return commandFailed();
    const int decimals = s.settings().Diversa.Decimals;
    auto text = [&](const std::optional<double>& v) {
        return v ? formatNumber(*v, decimals) : std::string("NA");
    };
    std::int64_t invalid = 0;
    std::vector<std::string> lines;
    if (answer == 0) {
        lines = {"Eigenschaft;Dispersionsindex", ";<1 = regelmässig verteilt", ";1 = zufällig verteilt",
                 ";>1 = geklumpt", ""};
        for (const MarkedRow& row : rows) {
            std::vector<double> values;
            for (int c = 0; c < b.GetColCount(); ++c) {
                const std::string_view t = trimBlanks(b.Get(row.part, c, row.row));
                const auto v = t.empty() && row.part == 'A' ? std::optional<double>(0) : parseNumber(t);
                if (!v || *v < 0) {
                    ++invalid;
                    continue;
                }
                values.push_back(*v);
            }
            lines.push_back(std::string(b.GetZl(row.part, row.row)) + ";" + text(dispersionIndex(values)));
        }
        showTable(s, "Dispersionsindices", lines);
    } else {
        lines = {"Paarung;Assoziationsindex;Chi-Quadrat;pres pres;pres abs;abs pres;abs abs;N",
                 ";positiv = kommen miteinander vor;>= 3.842 heisst <=5% Irrtumswahrscheinlichkeit",
                 ";negativ = meiden sich;>= 6.635 heisst <=1% Irrtumswahrscheinlichkeit",
                 ";;>= 10.828 heisst <=0.1% Irrtumswahrscheinlichkeit", ""};
        // Presence per column: species by cover weight, header rows a number ≥ 0 (else unknown).
        auto presence = [&](const MarkedRow& row, int c) -> std::optional<bool> {
            if (row.part == 'A') {
                const double v = speciesNumber(s, c, row.row, false);
                if (isMissing(v)) return std::nullopt;
                return v > 0;
            }
            const double v = headerNumber(b, c, row.row);
            if (isMissing(v) || v < 0) return std::nullopt;
            return v > 0;
        };
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (std::size_t j = i + 1; j < rows.size(); ++j) {
                std::vector<std::pair<bool, bool>> both;
                for (int c = 0; c < b.GetColCount(); ++c) {
                    const auto x = presence(rows[i], c), y = presence(rows[j], c);
                    if (!x || !y) {
                        ++invalid;
                        continue;
                    }
                    both.emplace_back(*x, *y);
                }
                const Association a = associationOf(both);
                lines.push_back(std::string(b.GetZl(rows[i].part, rows[i].row)) + " - " +
                                std::string(b.GetZl(rows[j].part, rows[j].row)) + ";" + text(a.index) + ";" +
                                text(a.chiSquare) + ";" + std::to_string(a.a) + ";" + std::to_string(a.b) +
                                ";" + std::to_string(a.c) + ";" + std::to_string(a.d) + ";" +
                                std::to_string(a.a + a.b + a.c + a.d));
            }
        showTable(s, "Assoziationsindices", lines);
    }
    if (invalid > 0) s.ui().showInfo(std::to_string(invalid) + " ungültige Zählwerte ignoriert.");
    return {};
}

}  // namespace

Status runRowTest(Session& s, int answer) {
    switch (answer) {
        case 7:
            return rowTests(s, 2);
        case 8:
            return rowTests(s, 0);
        default:
            return restTests(s);
    }
}

void addTestCommands(Dispatcher& d) {
    d.add(kCategoryTests, categoryTests);
    d.add(kSpatial, spatialIndices);
}

}  // namespace tav
