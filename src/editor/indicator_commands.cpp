// "Zeigerwerte": the indicator values of the current list of the species database turned into header
// rows of type 'F' (means and statistics, values with variance data, density maxima, shares, counts and
// ranks of categorical and composite values), indicator values of the species derived from header rows
// in the window "Zeigerwerte" (the layout the indicator import reads), the choice of the current list
// and the joining of indicator files.
//
// The species rows considered (the marked ones, or all, of type 'A') are reduced to taxa: every row goes
// to its accepted name, rows of one taxon are merged (their weights add up), and each taxon's values are
// looked up once per indicator. The species part is read once into a weight view.

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analysis/indicator_values.h"
#include "analysis/stat_params.h"
#include "analysis/weight_view.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/evaluations.h"
#include "editor/session.h"
#include "env/dialogs.h"
#include "species/art_db.h"
#include "species/artdb_browser.h"
#include "species/name_text.h"

namespace tav {

namespace {

// The commands' numbers, with their captions.
constexpr std::int64_t kMeanValues = 108010000;           // "Mittlere Zeigerwerte der Aufnahmen"
constexpr std::int64_t kCategorical = 108020000;          // "Zeigerwerte kategorial oder ordinal"
constexpr std::int64_t kComposite = 108030000;            // "Zusammengesetzte Zeigerwerte"
constexpr std::int64_t kDerive = 108040000;               // "Zeigerwerte herleiten"
constexpr std::int64_t kDeriveByCategory = 108050000;     // "Zeigerwerte kategorienweise herleiten"
constexpr std::int64_t kSpeciesScores = 108060000;        // "Species Scores in Randfelder setzen"
constexpr std::int64_t kHistogram = 108080000;            // "Quantil-Histogramm (Werte)"
constexpr std::int64_t kHistogramByCategory = 108090000;  // "Quantil-Histogramm kategorienweise"
constexpr std::int64_t kAffinities = 108100000;           // "Affinitäten herleiten"
constexpr std::int64_t kSelectList = 108110000;           // "Zeigerwerte wählen"
constexpr std::int64_t kScaleFile = 108120000;            // "Zeigerwerte in Datei skalieren"
constexpr std::int64_t kSelectListModules = 109010500;    // "Zeigerwerte wählen" under "Module"
constexpr std::int64_t kMergeFiles = 109010600;           // "Zeigerwert-Dateien zusammenlegen"

constexpr const char* kNoDatabase = "Keine Artenliste aktiv";

// ---------------------------------------------------------------- taxa of the species rows

struct TaxonView {
    WeightView view;       // species = taxa
    std::vector<int> key;  // per taxon its database key (-1: unknown to the database)
    std::vector<std::string> name;
};

TaxonView taxaOfTable(Session& s, TArtDb& db) {
    TEditBuffer& b = s.buffer();
    s.progress().setStatus("Arten registrieren ...");
    const TMenge rows = consideredSpeciesRows(b);
    WeightView rowsView = readCoverWeights(s, &rows);
    TaxonView t;
    std::map<std::string, int, bool (*)(std::string_view, std::string_view)> byName(&textLess);
    std::map<int, int> byKey;
    std::vector<int> taxonOfRow(static_cast<std::size_t>(rowsView.species), -1);
    for (int r : rows.elements()) {
        if (rowsView.bySpecies[static_cast<std::size_t>(r)].empty()) continue;
        // Layers and other additions of a name belong to its taxon.
        const std::string name = RmZusatz("1", b.GetZl('A', r));
        const int key = db.SearchSyn('R', name);
        int& taxon =
            key >= 0 ? byKey.try_emplace(key, -1).first->second : byName.try_emplace(name, -1).first->second;
        if (taxon < 0) {
            taxon = static_cast<int>(t.key.size());
            t.key.push_back(key);
            t.name.push_back(name);
        }
        taxonOfRow[static_cast<std::size_t>(r)] = taxon;
    }
    WeightView& v = t.view;
    v.releves = rowsView.releves;
    v.species = static_cast<int>(t.key.size());
    v.counts = rowsView.counts;
    v.invalid = rowsView.invalid;
    v.byReleve.resize(static_cast<std::size_t>(v.releves));
    v.bySpecies.resize(static_cast<std::size_t>(v.species));
    for (int c = 0; c < v.releves; ++c) {
        auto& out = v.byReleve[static_cast<std::size_t>(c)];
        for (const auto& [row, w] : rowsView.byReleve[static_cast<std::size_t>(c)])
            out.emplace_back(taxonOfRow[static_cast<std::size_t>(row)], w);
        std::sort(out.begin(), out.end());
        // Rows of one taxon in a releve count once, with their weights added.
        std::size_t k = 0;
        for (std::size_t i = 0; i < out.size(); ++i) {
            if (k > 0 && out[k - 1].first == out[i].first)
                out[k - 1].second += out[i].second;
            else
                out[k++] = out[i];
        }
        out.resize(k);
        for (const auto& [taxon, w] : out) v.bySpecies[static_cast<std::size_t>(taxon)].emplace_back(c, w);
    }
    s.progress().hideStatus();
    return t;
}

// The value of field of a database key; missing when none or no number.
double numberOf(const TArtDb& db, int key, int field) {
    double x = kMissing;
    std::string text;
    if (key < 0 || !db.GetZw(key, field, x, text) || !std::isfinite(x)) return kMissing;
    return x;
}
std::string textOf(const TArtDb& db, int key, int field) {
    double x = kMissing;
    std::string text;
    if (key >= 0) db.GetZw(key, field, x, text);
    return std::string(trimBlanks(text));
}

// The values of one indicator field per taxon; fill 1 … 4 fills missing values from the included taxa
// (1), from the aggregate (2) or from both in either order (3, 4).
RowValues taxonNumbers(TArtDb& db, const TaxonView& t, int field, int fill) {
    RowValues values(t.key.size(), kMissing);
    const auto included = [&](int key) {
        db.ScanAggr('D', key, nullptr, false);
        double sum = 0;
        int n = 0;
        for (int member : db.Ma().elements()) {
            if (member == key) continue;
            const double x = numberOf(db, member, field);
            if (isMissing(x)) continue;
            sum += x;
            ++n;
        }
        return n > 0 ? sum / n : kMissing;
    };
    const auto aggregate = [&](int key) {
        const int a = db.GetZ(key);
        return a >= 0 ? numberOf(db, db.ScanSyn('R', a), field) : kMissing;
    };
    for (std::size_t i = 0; i < t.key.size(); ++i) {
        const int key = t.key[i];
        double x = numberOf(db, key, field);
        if (isMissing(x) && key >= 0) {
            if (fill == 1 || fill == 3) x = included(key);
            if (isMissing(x) && fill >= 2) x = aggregate(key);
            if (isMissing(x) && fill == 4) x = included(key);
        }
        values[i] = x;
    }
    return values;
}

// ---------------------------------------------------------------- result rows

double finiteOrMissing(double x) {
    return std::isfinite(x) ? x : kMissing;
}
// A statistic as a cell: "NA" when missing or not finite (a sum of huge values).
std::string statText(const StatValue& v, int decimals) {
    return v.ok ? numberOrNa(v.value, decimals) : std::string("NA");
}

// The chosen indicators: (field, label).
struct Indicator {
    int field;
    std::string label;
};
std::optional<std::vector<Indicator>> askIndicators(Session& s, const TArtDb& db, char oc) {
    std::vector<int> picks;
    std::string joined;
    if (!GetZwItems(db, s.ui(), oc, picks, joined)) return std::nullopt;
    std::vector<Indicator> out;
    for (int p : picks) out.push_back({p + 1, db.SQLzw().fields()[static_cast<std::size_t>(p + 1)].name});
    return out;
}

// The statistics choice of the indicator runs ("DlgStats" with "DlgQuantileZW") or of deriving values
// ("DlgStats" with "DlgQuantile"), the missing-value rule and the bootstrap numbers.
std::optional<StatChoice> askStatistics(Session& s, const char* quantiles) {
    std::string stats;
    if (!TDCheckDlg::Execute(s.ui(), s.catalogue(), "DlgStats", quantiles, "", stats)) return std::nullopt;
    std::string flags(StatSelection::kSize, '0');
    for (std::size_t i = 0; i < stats.size() && i < 25; ++i) flags[i] = stats[i] == '1' ? '1' : '0';
    StatChoice c{StatSelection(flags)};
    if (!askStatOptions(s, c)) return std::nullopt;
    if (!c.selection.anyParameter()) return std::nullopt;
    return c;
}

// ---------------------------------------------------------------- option tables

struct VarianceRow {
    Indicator indicator;
    int varianceField = -1;
    VarianceOptions options;
};

// The variance option table of modes 'B', 'L', 'R', 'V' with its preset rows, read back after the
// window (the user edits its cells there).
std::optional<std::vector<VarianceRow>> askVarianceOptions(Session& s, const TArtDb& db, char mode,
                                                           const std::vector<Indicator>& indicators) {
    std::vector<Indicator> variances;
    if (mode != 'B') {
        const auto v = askIndicators(s, db, 'V');
        if (!v) return std::nullopt;
        variances = *v;
    }
    const char* title = mode == 'B'   ? "Überlagern der Bereiche (Wahl: Doppelklick)"
                        : mode == 'L' ? "Überlagern der Verteilungen (Wahl: Doppelklick)"
                        : mode == 'R' ? "Gewichten mit Varianzdaten (Wahl: Doppelklick)"
                                      : "Interpolieren mit Varianzdaten (Wahl: Doppelklick)";
    std::vector<std::string> lines = {
        mode == 'B' ? "Zeigerwert;-;-;Gew. Deckungen;kritische Minimalstreuung"
                    : "Zeigerwert;Varianzdaten;Gew. Varianzdaten;Gew. Deckungen;Kritische Minimalstreuung"};
    for (std::size_t i = 0; i < indicators.size(); ++i) {
        const std::string first = std::to_string(indicators[i].field - 1) + " " + indicators[i].label;
        if (mode == 'B') {
            lines.push_back(first + ";-;-;a Deckung nicht gewichtet;0.1");
        } else {
            const std::string var = i < variances.size()
                                        ? std::to_string(variances[i].field - 1) + " " + variances[i].label
                                        : std::string("-");
            lines.push_back(first + ";" + var + ";A Gewichtung 1/x;a Deckung nicht gewichtet;0.1");
        }
    }
    std::string res;
    if (!TGridDlg::Execute(s.ui(), title, lines, 12, res)) return std::nullopt;
    std::vector<VarianceRow> out;
    for (std::size_t i = 1; i < lines.size() && i - 1 < indicators.size(); ++i) {
        const std::vector<std::string> cells = splitFields(lines[i]);
        VarianceRow row{indicators[i - 1], -1, {}};
        if (cells.size() > 1 && mode != 'B') {
            const auto pos = parseInteger(fieldAt(std::string(trimBlanks(cells[1])), 0, ' '));
            if (pos && *pos >= 0 && *pos + 1 < db.SQLzw().fieldCount())
                row.varianceField = static_cast<int>(*pos + 1);
        }
        const std::string weighting = cells.size() > 2 ? std::string(trimBlanks(cells[2])) : std::string();
        row.options.wVar = weighting.rfind('A', 0) == 0 ? 2 : weighting.rfind('B', 0) == 0 ? 1 : 0;
        row.options.wDeck = cells.size() > 3 && trimBlanks(cells[3]).rfind('b', 0) == 0;
        row.options.minVar = minimalSpread(cells.size() > 4 ? cells[4] : std::string());
        out.push_back(row);
    }
    return out;
}

const char* const kSeparatorCells[] = {"1   kein Trennz. (einzelne Zeichen)", "2   Trennz. = Punkt (.)",
                                       "3   Trennz. = Doppelpunkt (:)",       "4   Trennz. = Strich (-)",
                                       "5   Trennz. = Leerzeichen ( )",       "6   Trennz. = Komma (,)"};
constexpr char kSeparators[] = {'0', '.', ':', '-', ' ', ','};
const char* const kTypes[] = {"Hier", "ListOhne", "List1x", "List1wx", "ordOhne", "ordLin", "ordGeo"};

CompositeLevel levelOf(const std::string& separator, const std::string& type, const std::string& levels) {
    CompositeLevel l;
    const std::string_view sep = trimBlanks(separator), ty = trimBlanks(type), lv = trimBlanks(levels);
    const int sd = !sep.empty() && isDigit(sep[0]) ? sep[0] - '0' : 1;
    l.separator = kSeparators[std::clamp(sd, 1, 6) - 1];
    const int td = !ty.empty() && isDigit(ty[0]) ? ty[0] - '0' : 0;
    l.composite = td >= 1 && td <= 7;
    if (l.composite) l.type = kTypes[td - 1];
    if (!lv.empty()) {
        const char first = lv[0];
        std::size_t end = 1;
        while (end < lv.size() && isDigit(lv[end])) ++end;
        const auto n = parseInteger(lv.substr(1, end - 1));
        l.levels = n ? static_cast<int>(std::clamp<std::int64_t>(*n, 0, 255)) : 0;
        l.range = first != '=';
        l.naIncomplete = first != '-';
    }
    return l;
}

std::optional<std::vector<CompositeOptions>> askCompositeOptions(Session& s,
                                                                 const std::vector<Indicator>& indicators) {
    std::vector<std::string> lines = {
        "Zeigerwert;UNTERE EBENE;Typ, Gewichtung;Stufe(n);OBERE EBENE;Typ, Gewichtung;Stufe(n)"};
    for (const Indicator& i : indicators)
        lines.push_back(
            std::to_string(i.field - 1) + " " + i.label + ";" + kSeparatorCells[0] +
            ";1   Hierarchisch (keine Gewichtung);-0   alle Stufen;0   Nicht zusammengesetzt;0   Nicht "
            "zusammengesetzt;-0   alle Stufen");
    std::string res;
    if (!TGridDlg::Execute(
            s.ui(),
            "Wahl von Trennzeichen und Typ: Doppelklick.        Stufen:  =x  genau Stufe x;  -x  "
            "Stufen 1 bis x, unvollst. -> Klasse;  *x  Stufen 1 bis x, unvollst. -> NA",
            lines, 13, res))
        return std::nullopt;
    std::vector<CompositeOptions> out;
    for (std::size_t i = 1; i < lines.size() && i - 1 < indicators.size(); ++i) {
        std::vector<std::string> c = splitFields(lines[i]);
        c.resize(7);
        CompositeOptions o;
        o.lower = levelOf(c[1], c[2], c[3]);
        // The upper level's separator is the one of its type cell's row: its first cell names it.
        o.upper = levelOf(c[4], c[5], c[6]);
        out.push_back(o);
    }
    return out;
}

// ---------------------------------------------------------------- the runs

Status numericRun(Session& s, TArtDb& db, char mode, const std::vector<Indicator>& indicators, int fill) {
    std::optional<StatChoice> choice;
    std::vector<VarianceRow> variance;
    int peaks = 1;
    std::string overlap = "000";
    if (mode == 'M' || mode == 'N') {
        choice = askStatistics(s, "DlgQuantileZW");
        if (!choice) return {};
    } else {
        const auto v = askVarianceOptions(s, db, mode, indicators);
        if (!v) return {};
        variance = *v;
        if (mode == 'B' || mode == 'L') {
            if (!TCheckDlg::Execute(s.ui(), s.catalogue(), "DlgOverlap", "", "", overlap)) return {};
            overlap.resize(3, '0');
            if (overlap[2] == '1') {
                const auto n = askText(s, "Anzahl Maxima (1-99)", "Anzahl Maxima (1-99)", "1");
                if (!n) return {};
                const auto k = parseInteger(trimBlanks(*n));
                peaks = static_cast<int>(std::clamp<std::int64_t>(k.value_or(1), 1, 99));
            }
        }
    }
    const TaxonView t = taxaOfTable(s, db);
    const WeightView& v = t.view;
    TEditBuffer& b = s.buffer();
    const int decimals = s.settings().Diversa.Decimals;
    s.undoList().begin();
    for (std::size_t i = 0; i < indicators.size(); ++i) {
        const Indicator& ind = indicators[i];
        const RowValues values = taxonNumbers(db, t, ind.field, mode == 'N' ? fill : 0);
        if (choice) {
            const auto stats =
                releveStatistics(v, values, choice->selection, choice->nconf, choice->pconf, s.random());
            const auto names = TStatParams::columnNames(choice->selection,
                                                        choice->nconf > 0 && choice->selection.bootstrap(),
                                                        choice->pconf, ind.label);
            std::vector<std::pair<std::string, char>> rows;
            for (const std::string& n : names) rows.emplace_back(n, 'F');
            const int first = appendHeaderRows(b, rows);
            for (int c = 0; c < v.releves; ++c) {
                const auto& r = stats[static_cast<std::size_t>(c)];
                for (std::size_t k = 0; k < names.size() && k < r.size(); ++k)
                    b.Put('K', statText(r[k], decimals), c, first + static_cast<int>(k));
            }
            continue;
        }
        const VarianceRow& opt = variance[i];
        VarianceOptions o = opt.options;
        if (mode == 'L') o.wVar = 1;
        const RowValues vars =
            opt.varianceField > 0 ? taxonNumbers(db, t, opt.varianceField, 0) : RowValues();
        if (mode == 'R' || mode == 'V') {
            const int row = appendHeaderRows(b, {{"gew_" + ind.label, 'F'}});
            for (int c = 0; c < v.releves; ++c) {
                const auto& present = v.byReleve[static_cast<std::size_t>(c)];
                const double x = mode == 'R' ? varianceWeightedMean(present, values, vars, o)
                                             : interpolatedMean(present, values, vars, o);
                b.Put('K', numberOrNa(x, decimals), c, row);
            }
            continue;
        }
        std::vector<std::pair<std::string, char>> rows;
        for (int k = 1; k <= peaks; ++k) {
            rows.emplace_back(ind.label + "_" + std::to_string(k), 'F');
            if (overlap[0] == '1') rows.emplace_back(ind.label + "_s_" + std::to_string(k), 'F');
            if (overlap[1] == '1') rows.emplace_back(ind.label + "_h_" + std::to_string(k), 'F');
        }
        const int first = appendHeaderRows(b, rows);
        for (int c = 0; c < v.releves; ++c) {
            const auto found = densityPeaks(v.byReleve[static_cast<std::size_t>(c)], values,
                                            mode == 'L' ? &vars : nullptr, o);
            int row = first;
            for (int k = 0; k < peaks; ++k) {
                const bool has = static_cast<std::size_t>(k) < found.size();
                const DensityPeak p = has ? found[static_cast<std::size_t>(k)] : DensityPeak{};
                b.Put('K', has ? numberOrNa(p.position, decimals) : "NA", c, row++);
                if (overlap[0] == '1') b.Put('K', has ? numberOrNa(p.spread, decimals) : "NA", c, row++);
                if (overlap[1] == '1') b.Put('K', has ? numberOrNa(p.height, decimals) : "NA", c, row++);
            }
        }
    }
    s.undoList().end();
    b.ClearM();
    return {};
}

Status categoricalRun(Session& s, TArtDb& db, char mode, const std::vector<Indicator>& indicators,
                      const std::vector<CompositeOptions>& composite) {
    bool withCover = false, naIgnore = false;
    int nRang = 1;
    double minWert = 0.001;
    std::vector<double> bounds;
    if (mode == 'A' || mode == 'T' || mode == 'G') {
        std::string flags;
        if (!TCheckDlg::Execute(s.ui(), s.catalogue(), "DlgWeigh", "", "", flags)) return {};
        withCover = !flags.empty() && flags[0] == '1';
        naIgnore = flags.size() > 1 && flags[1] == '1';
    }
    if (mode == 'T') {
        const auto n = askWholeNumber(s, "Anzahl Ränge (0 = alle)", "Anzahl Ränge (0 = alle)", 1, 0, 9999);
        if (!n) return {};
        nRang = *n;
        const auto m = askText(s, "Minimaler Wert für Zuordnung", "Minimaler Wert für Zuordnung", "0.001");
        if (!m) return {};
        minWert = parseNumber(trimBlanks(*m)).value_or(0.001);
    }
    if (mode == 'G' || mode == 'K') {
        const auto k = askText(s, "Klassieren", "Klassengrenzen", "0   2.4   3.6   6");
        if (!k) return {};
        for (const std::string& w : splitFields(*k, " "))
            if (const auto x = parseNumber(trimBlanks(w))) bounds.push_back(*x);
        if (bounds.size() < 2 || !std::is_sorted(bounds.begin(), bounds.end())) {
            s.ui().showError("Bitte mindestens zwei aufsteigende Klassengrenzen eingeben.");
            return commandFailed();
        }
    }
    const TaxonView t = taxaOfTable(s, db);
    const WeightView& v = t.view;
    TEditBuffer& b = s.buffer();
    const int decimals = s.settings().Diversa.Decimals;
    const bool counts = mode == 'Z' || mode == 'K';
    s.undoList().begin();
    for (std::size_t i = 0; i < indicators.size(); ++i) {
        const Indicator& ind = indicators[i];
        RowCategories cats(t.key.size());
        for (std::size_t k = 0; k < t.key.size(); ++k) {
            const std::string text = textOf(db, t.key[k], ind.field);
            if (!bounds.empty()) {
                const auto x = parseNumber(text);
                const int cls = x ? classOf(*x, bounds) : 0;
                if (cls > 0) cats[k].emplace_back("Klasse_" + std::to_string(cls), 1.0);
            } else if (i < composite.size()) {
                cats[k] = splitComposite(text, composite[i]);
            } else if (!text.empty()) {
                cats[k].emplace_back(text, 1.0);
            }
        }
        const CategoryTable table = categoryShares(v, cats, withCover, naIgnore);
        if (mode == 'T') {
            const int n = nRang > 0 ? nRang : static_cast<int>(table.categories.size());
            std::vector<std::pair<std::string, char>> rows;
            for (int k = 1; k <= n; ++k) {
                rows.emplace_back(ind.label + "_Rang_" + std::to_string(k), 'T');
                rows.emplace_back(ind.label + "_Wert_" + std::to_string(k), 'F');
            }
            const int first = appendHeaderRows(b, rows);
            for (int c = 0; c < v.releves; ++c) {
                const std::vector<int> ranked = rankedCategories(table, c, n);
                for (std::size_t k = 0; k < ranked.size(); ++k) {
                    const double share =
                        table.share[static_cast<std::size_t>(ranked[k])][static_cast<std::size_t>(c)];
                    if (isMissing(share) || share < minWert) continue;
                    const int row = first + 2 * static_cast<int>(k);
                    b.Put('K', table.categories[static_cast<std::size_t>(ranked[k])], c, row);
                    b.Put('K', std::string(trimBlanks(alignRight(formatNumber(share, decimals), 20))), c,
                          row + 1);
                }
            }
            continue;
        }
        std::vector<std::pair<std::string, char>> rows;
        for (const std::string& cat : table.categories)
            rows.emplace_back(
                counts ? "Anzahl_" + ind.label + "_" + cat : "gew_" + ind.label + "_Anteil_" + cat, 'F');
        const int first = appendHeaderRows(b, rows);
        for (std::size_t k = 0; k < table.categories.size(); ++k)
            for (int c = 0; c < v.releves; ++c)
                b.Put('K',
                      numberOrNa(counts ? table.count[k][static_cast<std::size_t>(c)]
                                        : table.share[k][static_cast<std::size_t>(c)],
                                 decimals),
                      c, first + static_cast<int>(k));
    }
    s.undoList().end();
    b.ClearM();
    return {};
}

TArtDb* databaseOrSay(Session& s) {
    TArtDb* db = s.speciesDb();
    if (!db) s.ui().showInfo(kNoDatabase);
    return db;
}

Status indicatorRun(Session& s, const char* dialog, const char* modes) {
    TArtDb* db = databaseOrSay(s);
    if (!db) return {};
    int answer = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), dialog, "", "", answer)) return {};
    const std::string letters(modes);
    if (answer < 0 || static_cast<std::size_t>(answer) >= letters.size()) return {};
    const char mode = letters[static_cast<std::size_t>(answer)];
    int fill = 0;
    if (mode == 'N' && !TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgZeigOpts", "", "", fill)) return {};
    db->SelectZW();
    const auto indicators = askIndicators(s, *db, 'Z');
    if (!indicators) return {};
    if (std::string("MNBLRV").find(mode) != std::string::npos)
        return numericRun(s, *db, mode, *indicators, fill);
    std::vector<CompositeOptions> composite;
    char run = mode;
    if (mode == 'O' || mode == 'P' || mode == 'Q') {
        const auto c = askCompositeOptions(s, *indicators);
        if (!c) return {};
        composite = *c;
        run = mode == 'O' ? 'A' : mode == 'P' ? 'T' : 'Z';
    }
    return categoricalRun(s, *db, run, *indicators, composite);
}

// ---------------------------------------------------------------- deriving values from header rows

std::string withoutBlanks(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != ' ') out += c;
    return out;
}

// The marked header rows a derivation reads; none, after the message "MsgNoRowsM", when none is marked.
std::vector<int> markedHeaderRowsOrSay(Session& s) {
    std::vector<int> rows = s.buffer().MroK().elements();
    if (rows.empty()) s.ui().showError(s.catalogue().GetLangMsg("MsgNoRowsM"));
    return rows;
}

// The numbers of header rows by releve, read once; missing where a cell holds no finite number.
std::vector<std::vector<double>> headerNumbers(const TEditBuffer& b, const std::vector<int>& rows) {
    std::vector<std::vector<double>> numbers;
    for (int h : rows) {
        std::vector<double> x(static_cast<std::size_t>(b.GetColCount()));
        for (int c = 0; c < b.GetColCount(); ++c)
            x[static_cast<std::size_t>(c)] = finiteOrMissing(headerNumber(b, c, h));
        numbers.push_back(std::move(x));
    }
    return numbers;
}

// The lines of derived values in the table window "Zeigerwerte", in the layout the indicator import reads.
Status showIndicatorLines(Session& s, std::vector<std::string>& lines) {
    std::string res;
    TGridDlg::Execute(s.ui(), "Zeigerwerte", lines, 2, res);
    return {};
}

// The categories of releves a derivation runs over, each a label ("" for the whole table, else the
// category's text without blanks, ";" as "_", then "_") with its releves; nothing when cancelled.
using ReleveCategories = std::vector<std::pair<std::string, std::vector<int>>>;
std::optional<ReleveCategories> askReleveCategories(TEditBuffer& b, bool byCategory) {
    ReleveCategories categories;
    if (!byCategory) {
        std::vector<int> all(static_cast<std::size_t>(b.GetColCount()));
        for (int c = 0; c < b.GetColCount(); ++c) all[static_cast<std::size_t>(c)] = c;
        categories.emplace_back("", std::move(all));
        return categories;
    }
    std::vector<std::string> names;
    TLongList picks;
    int one = 0;
    if (!b.AskCat('M', "Kategorien wählen", names, picks, one)) return std::nullopt;
    std::vector<int> keyRows;
    for (int i = 0; i < picks.Count(); ++i) keyRows.push_back(static_cast<int>(picks.GetLong(i)));
    if (keyRows.empty()) return std::nullopt;
    std::map<std::string, std::vector<int>, bool (*)(std::string_view, std::string_view)> byKey(&textLess);
    for (int c = 0; c < b.GetColCount(); ++c) {
        std::string key;
        for (std::size_t k = 0; k < keyRows.size(); ++k)
            key += (k ? ";" : "") + std::string(b.Get('K', c, keyRows[k]));
        byKey[key].push_back(c);
    }
    for (auto& [key, releves] : byKey) {
        std::string label = withoutBlanks(key);
        std::replace(label.begin(), label.end(), ';', '_');
        categories.emplace_back(label + "_", std::move(releves));
    }
    return categories;
}

Status deriveIndicators(Session& s, bool byCategory) {
    TEditBuffer& b = s.buffer();
    const std::vector<int> headerRows = markedHeaderRowsOrSay(s);
    if (headerRows.empty()) return {};
    const auto asked = askReleveCategories(b, byCategory);
    if (!asked) return {};
    const ReleveCategories& categories = *asked;
    const auto choice = askStatistics(s, "DlgQuantile");
    if (!choice) return {};
    const bool bounds = choice->nconf > 0 && choice->selection.bootstrap();
    const int decimals = s.settings().Diversa.Decimals;
    const TMenge rows = consideredSpeciesRows(b);
    const WeightView v = readCoverWeights(s, &rows);
    const std::vector<std::vector<double>> header = headerNumbers(b, headerRows);
    std::string definition = "Species s 128 t r";
    std::size_t columns = 0;
    for (const auto& [label, releves] : categories)
        for (int h : headerRows)
            for (const std::string& n : TStatParams::columnNames(choice->selection, bounds, choice->pconf,
                                                                 label + withoutBlanks(b.GetZl('K', h)))) {
                definition += ";" + n + " s " + std::to_string(decimals + 12);
                ++columns;
            }
    std::vector<std::string> lines = {"Zeigerwerte" + std::string(columns, ';'), definition};
    TStatParams params(choice->selection);
    std::vector<char> inCategory(static_cast<std::size_t>(b.GetColCount()));
    for (int r : rows.elements()) {
        std::string line(b.GetZl('A', r));
        for (const auto& [label, releves] : categories) {
            std::fill(inCategory.begin(), inCategory.end(), 0);
            for (int c : releves) inCategory[static_cast<std::size_t>(c)] = 1;
            for (std::size_t h = 0; h < headerRows.size(); ++h) {
                params.Clear();
                for (const auto& [c, w] : v.bySpecies[static_cast<std::size_t>(r)])
                    if (inCategory[static_cast<std::size_t>(c)])
                        params.add(header[h][static_cast<std::size_t>(c)], w);
                const auto results =
                    bounds ? params.results(choice->nconf, choice->pconf, s.random()) : params.results();
                for (const StatValue& x : results) line += ";" + statText(x, decimals);
            }
        }
        lines.push_back(line);
    }
    return showIndicatorLines(s, lines);
}

// Quantile histograms of the marked header rows over the occurrences of each species (in each category
// of releves): the quantiles at the bounds asked and the number of occurrences per interval in the bins
// between them, in the window "Zeigerwerte" without its title line.
Status deriveHistograms(Session& s, bool byCategory) {
    TEditBuffer& b = s.buffer();
    const std::vector<int> headerRows = markedHeaderRowsOrSay(s);
    if (headerRows.empty()) return {};
    const auto asked = askReleveCategories(b, byCategory);
    if (!asked) return {};
    const auto boundsText =
        askText(s, "Grenzen angeben", "Grenzen angeben", "0.1  0.2  0.3  0.4  0.5  0.6  0.7  0.8  0.9");
    if (!boundsText) return {};
    std::vector<double> bounds;
    for (const std::string& w : splitFields(*boundsText, " "))
        if (const auto p = parseNumber(trimBlanks(w)); p && *p > 0 && *p < 1) bounds.push_back(*p);
    std::sort(bounds.begin(), bounds.end());
    const auto intervalText = askText(s, "Intervall für Dichteangabe", "Intervall für Dichteangabe", "1");
    if (!intervalText) return {};
    const auto interval = parseNumber(trimBlanks(*intervalText));
    if (bounds.empty() || !interval || !(*interval > 0)) {
        s.ui().showError("Bitte Grenzen zwischen 0 und 1 und ein Intervall über 0 eingeben.");
        return commandFailed();
    }
    const TMenge rows = consideredSpeciesRows(b);
    const WeightView v = readCoverWeights(s, &rows);
    const std::vector<std::vector<double>> header = headerNumbers(b, headerRows);
    const int decimals = s.settings().Diversa.Decimals;
    const std::string width = " s " + std::to_string(decimals + 12);
    std::string definition = "Species s 128 t r";
    for (const auto& [label, releves] : *asked)
        for (int h : headerRows) {
            const std::string name = label + withoutBlanks(b.GetZl('K', h));
            for (double p : bounds) definition += ";" + name + "&Quantil" + formatNumber(p) + width;
            for (std::size_t j = 1; j <= bounds.size() + 1; ++j)
                definition +=
                    ";" + name + "&Anzahl_pro_" + formatNumber(*interval) + "_" + std::to_string(j) + width;
        }
    std::vector<std::string> lines = {definition};
    std::vector<char> inCategory(static_cast<std::size_t>(b.GetColCount()));
    for (int r : rows.elements()) {
        std::string line(b.GetZl('A', r));
        for (const auto& [label, releves] : *asked) {
            std::fill(inCategory.begin(), inCategory.end(), 0);
            for (int c : releves) inCategory[static_cast<std::size_t>(c)] = 1;
            for (const std::vector<double>& x : header) {
                std::vector<double> values;
                for (const auto& [c, w] : v.bySpecies[static_cast<std::size_t>(r)])
                    if (inCategory[static_cast<std::size_t>(c)])
                        values.push_back(x[static_cast<std::size_t>(c)]);
                const QuantileHistogram q = quantileHistogram(std::move(values), bounds, *interval);
                for (double x : q.quantiles) line += ";" + numberOrNa(x, decimals);
                for (double x : q.density) line += ";" + numberOrNa(x, decimals);
            }
        }
        lines.push_back(line);
    }
    return showIndicatorLines(s, lines);
}

// The affinities of the species to the categories of releves, in the window "Zeigerwerte" in the layout
// the indicator import reads.
Status deriveAffinities(Session& s) {
    TEditBuffer& b = s.buffer();
    const auto asked = askReleveCategories(b, true);
    if (!asked) return {};
    s.progress().setStatus("Affinitäten kategorienweise");
    const TMenge rows = consideredSpeciesRows(b);
    const WeightView v = readCoverWeights(s, &rows);
    s.progress().hideStatus();
    if (v.invalid > 0 && AskYesNoCancel(s.ui(), "Ungültige Deckungen angetroffen. Weiter?") != 'Y') return {};
    std::vector<int> categoryOf(static_cast<std::size_t>(v.releves), -1);
    const int n = static_cast<int>(asked->size());
    for (int k = 0; k < n; ++k)
        for (int c : (*asked)[static_cast<std::size_t>(k)].second)
            categoryOf[static_cast<std::size_t>(c)] = k;
    const auto affinity = categoryAffinities(v, categoryOf, n);
    const int decimals = s.settings().Diversa.Decimals;
    std::string definition = "Species s 128 t r";
    for (const auto& [label, releves] : *asked)
        definition += ";" + label + "Affinität s " + std::to_string(decimals + 12);
    std::vector<std::string> lines = {"Zeigerwerte" + std::string(asked->size(), ';'), definition};
    for (int r : rows.elements()) {
        std::string line(b.GetZl('A', r));
        for (double x : affinity[static_cast<std::size_t>(r)]) line += ";" + numberOrNa(x, decimals);
        lines.push_back(line);
    }
    return showIndicatorLines(s, lines);
}

// The cover-weighted mean of every marked header row over the releves where a species is present, as
// the species' scores in its margin (one axis per header row, named by it).
Status speciesScores(Session& s) {
    TEditBuffer& b = s.buffer();
    const std::vector<int> headerRows = markedHeaderRowsOrSay(s);
    if (headerRows.empty()) return {};
    const TMenge rows = consideredSpeciesRows(b);
    const WeightView v = readCoverWeights(s, &rows);
    std::vector<std::string> lines = {"0"};
    for (int h : headerRows) lines[0] += ";" + withoutBlanks(b.GetZl('K', h));
    const std::vector<std::vector<double>> header = headerNumbers(b, headerRows);
    const int decimals = s.settings().Diversa.Decimals;
    for (int r : rows.elements()) {
        std::string line = "A" + std::to_string(r);
        for (const std::vector<double>& x : header) {
            double sw = 0, swx = 0;
            for (const auto& [c, w] : v.bySpecies[static_cast<std::size_t>(r)]) {
                const double h = x[static_cast<std::size_t>(c)];
                if (isMissing(h)) continue;
                sw += w;
                swx += w * h;
            }
            line += ";" + (sw > 0 ? numberOrNa(swx / sw, decimals) : std::string("NA"));
        }
        lines.push_back(line);
    }
    s.undoList().begin();
    b.PutScores('A', lines);
    s.undoList().end();
    return {};
}

// ---------------------------------------------------------------- the current list

Status selectList(Session& s) {
    TArtDb* db = databaseOrSay(s);
    if (!db) return {};
    const std::optional<int> n = chooseIndicatorList(*db, s.ui());
    if (!n) return {};
    s.useIndicatorList(*n);
    return {};
}

// ---------------------------------------------------------------- scaling an indicator file

// The lines of an indicator text file, its fields split at the delimiter of the settings (or ";").
struct IndicatorFile {
    std::vector<std::string> lines;
    std::string delimiter;
    std::vector<std::string> fields(std::string_view line) const {
        std::vector<std::string> f = splitFields(line, delimiter);
        if (delimiter != ";" && f.size() == 1) f = splitFields(line, ";");
        return f;
    }
};

// The file's lines; nothing (after a message) when it cannot be read.
std::optional<IndicatorFile> readIndicatorFile(Session& s, const std::string& file) {
    Result<std::string> bytes = readWholeFile(file);
    if (!bytes.ok()) {
        s.report(bytes.status());
        return std::nullopt;
    }
    IndicatorFile f;
    const std::string text = decodeFileText(bytes.value());
    for (std::string_view line : splitLines(text)) f.lines.emplace_back(line);
    const char32_t d = s.settings().Diversa.DelimEinst;
    f.delimiter = d == U'\t' ? std::string("\t") : d < 128 ? std::string(1, static_cast<char>(d)) : ";";
    return f;
}

bool beginsWithIndicatorTitle(const IndicatorFile& f) {
    return !f.lines.empty() && upperFold(trimBlanks(f.lines[0])).rfind("ZEIGERWERTE", 0) == 0;
}

static_assert(std::size(kTransformationNames) == kScaleMethods);

Status scaleFile(Session& s) {
    const auto file = askFile(s, DialogKind::OpenFile, "Zeigerwerte in Datei skalieren");
    if (!file) return {};
    const auto f = readIndicatorFile(s, *file);
    if (!f) return commandFailed();
    if (!beginsWithIndicatorTitle(*f)) {
        s.ui().showError("Die Datei " + *file + " enthält keine Zeigerwerte.");
        return commandFailed();
    }
    int answer = 3;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgScaleZW", "", "", answer)) return {};
    if (answer < 0 || answer >= kScaleMethods) return {};
    const ScaleMethod method = static_cast<ScaleMethod>(answer);
    const std::vector<std::string> defs =
        f->lines.size() > 1 ? f->fields(f->lines[1]) : std::vector<std::string>{};
    const std::size_t columns = defs.empty() ? 0 : defs.size() - 1;
    std::vector<std::vector<std::string>> rows;
    for (std::size_t n = 2; n < f->lines.size(); ++n)
        if (!trimBlanks(f->lines[n]).empty()) {
            rows.push_back(f->fields(f->lines[n]));
            rows.back().resize(columns + 1);
        }
    // The reference indicator of each species from the current list, found by its unique name.
    std::vector<double> reference(rows.size(), kMissing);
    if (method == ScaleMethod::Divided || method == ScaleMethod::Calibrated) {
        TArtDb* db = databaseOrSay(s);
        if (!db) return {};
        const auto picked = askIndicators(s, *db, 'R');
        if (!picked || picked->empty()) return {};
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const TMenge found = db->Search(trimBlanks(rows[i][0]), false);
            if (found.Count() != 1) continue;
            reference[i] = numberOf(*db, db->ScanSyn('R', found.elements().front()), picked->front().field);
        }
    }
    const auto nameOf = [&](std::size_t c) { return std::string(fieldAt(defs[c + 1], 0, ' ')); };
    std::vector<std::string> table = {"Zeigerwert;Methode (ändern: DOPPELKLICK);Referenz-Zeigerwert"};
    for (std::size_t c = 0; c < columns; ++c) table.push_back(nameOf(c) + ";skalieren;");
    std::string res;
    if (!TGridDlg::Execute(s.ui(), "Skalieren", table, scaleIsLinear(method) ? 19 : 20, res)) return {};
    std::vector<std::vector<double>> values(columns, std::vector<double>(rows.size(), kMissing));
    for (std::size_t c = 0; c < columns; ++c)
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (const auto x = parseNumber(trimBlanks(rows[i][c + 1]))) values[c][i] = *x;
    // A column that follows takes the factor of the column named in its reference cell, else of the
    // nearest scaled column before it.
    std::vector<ColumnPlan> plans(columns);
    for (std::size_t c = 0; c < columns && c + 1 < table.size(); ++c) {
        std::vector<std::string> cells = splitFields(table[c + 1]);
        cells.resize(3);
        const std::string how(trimBlanks(cells[1]));
        const std::string leader(trimBlanks(cells[2]));
        ColumnPlan& p = plans[c];
        p.how = how == "linear mit-transformieren"        ? ColumnScaling::Linear
                : how == "quadratisch mit-transformieren" ? ColumnScaling::Quadratic
                : how == "nicht ändern"                   ? ColumnScaling::Keep
                                                          : ColumnScaling::Scale;
        if (!leader.empty()) {
            for (std::size_t k = 0; k < columns; ++k)
                if (compareText(nameOf(k), leader) == 0) p.follows = static_cast<int>(k);
        } else {
            for (std::size_t k = c; k-- > 0;)
                if (plans[k].how == ColumnScaling::Scale) {
                    p.follows = static_cast<int>(k);
                    break;
                }
        }
    }
    values = scaleColumns(std::move(values), plans, method, reference);
    const int decimals = s.settings().Diversa.Decimals;
    std::vector<std::string> out = {
        std::string(trimBlanks(f->lines[0])) + " " + kTransformationNames[answer] + std::string(columns, ';'),
        ""};
    for (std::size_t k = 0; k < defs.size(); ++k) out[1] += (k ? ";" : "") + defs[k];
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string line = rows[i][0];
        for (std::size_t c = 0; c < columns; ++c) {
            // Texts that are no numbers stay as they are.
            const std::string& text = rows[i][c + 1];
            const bool number = parseNumber(trimBlanks(text)).has_value();
            line += ";" + (plans[c].how != ColumnScaling::Keep && number ? numberOrNa(values[c][i], decimals)
                                                                         : text);
        }
        out.push_back(line);
    }
    TGridDlg::Execute(s.ui(), "Zeigerwerte skaliert", out, 2, res);
    return {};
}

// ---------------------------------------------------------------- joining indicator files

// The files' columns joined on the species name (the first field): a species missing from a file gets
// empty fields there; the definition lines are joined into one.
Status mergeFiles(Session& s) {
    DialogRequest r;
    r.kind = DialogKind::OpenFile;
    r.name = "Zeigerwert-Dateien zusammenlegen";
    r.caption = r.name;
    r.multi = true;
    const auto answer = s.ui().dialog(r);
    if (!answer) return {};
    std::vector<std::string> files;
    for (const std::string& f : splitFields(*answer, "|"))
        if (!trimBlanks(f).empty()) files.emplace_back(trimBlanks(f));
    std::vector<std::string> order;  // species in the order met
    std::map<std::string, std::vector<std::string>, bool (*)(std::string_view, std::string_view)> rows(
        &textLess);
    std::string definition;
    std::size_t columns = 0;
    for (const std::string& file : files) {
        const auto f = readIndicatorFile(s, file);
        if (!f) return commandFailed();
        if (!beginsWithIndicatorTitle(*f)) {
            if (AskYesNoCancel(s.ui(), "Die Datei " + file + "\r enthält keine Zeigerwerte. Überspringen?") !=
                'Y')
                return {};
            continue;
        }
        const std::vector<std::string>& lines = f->lines;
        const auto fields = [&](std::string_view line) { return f->fields(line); };
        const std::vector<std::string> defs =
            lines.size() > 1 ? fields(lines[1]) : std::vector<std::string>{};
        const std::size_t width = defs.empty() ? 0 : defs.size() - 1;
        if (definition.empty() && !defs.empty()) definition = defs[0];
        for (std::size_t k = 1; k < defs.size(); ++k) definition += ";" + defs[k];
        for (std::size_t n = 2; n < lines.size(); ++n) {
            if (trimBlanks(lines[n]).empty()) continue;
            std::vector<std::string> f = fields(lines[n]);
            const std::string name(trimBlanks(f[0]));
            auto [it, added] = rows.try_emplace(name);
            if (added) order.push_back(name);
            it->second.resize(columns + width);
            for (std::size_t k = 1; k < f.size() && k <= width; ++k) it->second[columns + k - 1] = f[k];
        }
        columns += width;
    }
    std::vector<std::string> out = {"Zeigerwerte" + std::string(columns, ';'), definition};
    for (const std::string& name : order) {
        std::vector<std::string>& cells = rows.at(name);
        cells.resize(columns);
        std::string line = name;
        for (const std::string& c : cells) line += ";" + c;
        out.push_back(line);
    }
    return showIndicatorLines(s, out);
}

}  // namespace

void addIndicatorCommands(Dispatcher& d) {
    d.add(kMeanValues, whenEditable([](Session& s) { return indicatorRun(s, "DlgZeigVar", "MNBLRV"); }));
    d.add(kCategorical, whenEditable([](Session& s) { return indicatorRun(s, "DlgZeigCat", "ATZGK"); }));
    d.add(kComposite, whenEditable([](Session& s) { return indicatorRun(s, "DlgZeigZus", "OPQ"); }));
    d.add(kDerive, [](Session& s) { return deriveIndicators(s, false); });
    d.add(kDeriveByCategory, [](Session& s) { return deriveIndicators(s, true); });
    d.add(kSpeciesScores, whenEditable(speciesScores));
    d.add(kHistogram, [](Session& s) { return deriveHistograms(s, false); });
    d.add(kHistogramByCategory, [](Session& s) { return deriveHistograms(s, true); });
    d.add(kAffinities, deriveAffinities);
    d.add(kSelectList, selectList);
    d.add(kScaleFile, scaleFile);
    d.add(kSelectListModules, selectList);
    d.add(kMergeFiles, mergeFiles);
}

}  // namespace tav
