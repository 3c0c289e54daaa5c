// Species occurrence per releve written as new header rows ("Artvorkommen", "Artvorkommen kumuliert",
// "Vorkommen je Artengruppe", "Vork. je Artengrp. kumuliert"): entries, species numbers with the rows
// of one name counted once, total cover, shares of the species set, cover per accepted taxon, and the
// cumulative counts over the releves. And "Frequenzen und Stetigkeiten", a list of every species row's
// frequency and constancy. The species numbers count taxa on a grouped view of the rows: the table
// itself is never reduced for them, so the new rows are the only change.

#include <algorithm>
#include <map>

#include "analysis/taxon_occurrence.h"
#include "analysis/weight_view.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/session.h"
#include "env/dialogs.h"
#include "table/cell_stats.h"

namespace tav {

namespace {

constexpr std::int64_t kOccurrence = 107010000;        // "Artvorkommen"
constexpr std::int64_t kOccurrenceGroups = 107020000;  // "Vorkommen je Artengruppe"
constexpr std::int64_t kFrequencies = 107030000;       // "Frequenzen und Stetigkeiten"

bool isSpeciesRow(const TEditBuffer& b, int r) {
    return b.GetTyp('A', r) == 'A';
}

std::vector<int> speciesRowsOf(const TEditBuffer& b, const std::vector<int>& rows) {
    std::vector<int> out;
    for (int r : rows)
        if (isSpeciesRow(b, r)) out.push_back(r);
    return out;
}

std::vector<int> allSpeciesRows(const TEditBuffer& b) {
    std::vector<int> all(static_cast<std::size_t>(b.GetRowCount('A')));
    for (int r = 0; r < b.GetRowCount('A'); ++r) all[static_cast<std::size_t>(r)] = r;
    return speciesRowsOf(b, all);
}

// What the radio dialogs of the four commands choose.
enum class Measure { Entries, Taxa, Cover, Share, TaxonCover, EntriesByCategory, TaxaByCategory };

struct OccurrenceRun {
    Session& s;
    bool cumulative;
    Measure measure;
    int shareBase = 0;
    std::vector<int> categoryRows;
    WeightView view;
    CellStats stats;
    int lastRow = -1;

    OccurrenceRun(Session& session, bool cum, Measure m)
        : s(session), cumulative(cum), measure(m), stats(session.buffer(), session.coverInterpreter()) {}

    std::string rowName() const;
    // One run over the species rows `rows`; prefix goes before the row names.
    void run(const std::vector<int>& rows, const std::string& prefix);
    void taxonCover(const std::vector<int>& rows, const std::string& prefix);
    // The total cover of the rows in every releve, from one pass over the filled cells.
    std::vector<double> coverOf(const std::vector<int>& rows);
};

std::string OccurrenceRun::rowName() const {
    switch (measure) {
        case Measure::Entries:
            return cumulative ? "Anzahl Einträge kumuliert" : "Anzahl Einträge";
        case Measure::Taxa:
            return cumulative ? "Artenzahl kumuliert" : "Artenzahl";
        case Measure::Cover:
            return "Gesamtdeckungen (%)";
        case Measure::Share: {
            static constexpr const char* kShare[] = {"Anteil am gesamten Artenbestand",
                                                     "Anteil am Artenbestand der Aufnahme",
                                                     "Anteil an den markierten Arten"};
            return kShare[std::clamp(shareBase, 0, 2)];
        }
        case Measure::EntriesByCategory:
            return "Anzahl Einträge kategorienweise kumuliert";
        case Measure::TaxaByCategory:
            return "Artenzahl kategorienweise kumuliert";
        default:
            return {};
    }
}

std::vector<double> OccurrenceRun::coverOf(const std::vector<int>& rows) {
    const TEditBuffer& b = s.buffer();
    std::vector<char> chosen(static_cast<std::size_t>(b.GetRowCount('A')), 0);
    for (int r : rows) chosen[static_cast<std::size_t>(r)] = 1;
    std::vector<double> sum(static_cast<std::size_t>(b.GetColCount()), 0);
    b.forEachFilled('A', [&](const FilledCell& c) {
        if (!chosen[static_cast<std::size_t>(c.row)]) return;
        const double x = stats.cellValue('D', c.handle, true);
        if (x > 0) sum[static_cast<std::size_t>(c.col)] += x;
    });
    return sum;
}

void OccurrenceRun::run(const std::vector<int>& rows, const std::string& prefix) {
    if (measure == Measure::TaxonCover) return taxonCover(rows, prefix);
    TEditBuffer& b = s.buffer();
    const int cols = b.GetColCount(), decimals = s.settings().Diversa.Decimals;
    const bool taxa = measure == Measure::Taxa || measure == Measure::TaxaByCategory;
    const RowGroups groups = taxa ? taxaByName(b, rows) : eachRow(b.GetRowCount('A'), rows);
    std::vector<double> value(static_cast<std::size_t>(cols), 0);
    auto take = [&](const std::vector<int>& counts) {
        std::copy(counts.begin(), counts.end(), value.begin());
    };
    if (measure == Measure::Cover) {
        value = coverOf(rows);
    } else if (measure == Measure::EntriesByCategory || measure == Measure::TaxaByCategory) {
        std::vector<std::string> keys;
        for (int c = 0; c < cols; ++c) {
            std::string key;
            for (int r : categoryRows) key += ';' + std::string(b.Get('K', c, r));
            keys.push_back(std::move(key));
        }
        take(cumulativeGroups(view, groups, &keys));
    } else if (cumulative) {
        take(cumulativeGroups(view, groups));
    } else {
        take(groupsPerReleve(view, groups));
    }
    if (measure == Measure::Share) {
        // Shares of the species set: of all species rows, of those present in the releve, or of the
        // marked ones. A base without any row gives 0.
        std::vector<int> base(static_cast<std::size_t>(cols), 0);
        if (shareBase == 1) {
            base = groupsPerReleve(view, eachRow(b.GetRowCount('A'), allSpeciesRows(b)));
        } else {
            const int n = static_cast<int>(shareBase == 0 ? allSpeciesRows(b).size()
                                                          : speciesRowsOf(b, b.MroA().elements()).size());
            std::fill(base.begin(), base.end(), n);
        }
        for (std::size_t c = 0; c < value.size(); ++c) value[c] = base[c] > 0 ? value[c] / base[c] : 0;
    }
    std::vector<std::string> cells;
    cells.reserve(value.size());
    for (double x : value) cells.push_back(formatNumber(x, decimals));
    const char type = measure == Measure::Share || measure == Measure::Cover ? 'F' : 'I';
    appendHeaderRow(b, prefix + rowName(), type, cells);
    lastRow = b.GetRowCount('K') - 1;
}

void OccurrenceRun::taxonCover(const std::vector<int>& rows, const std::string& prefix) {
    TEditBuffer& b = s.buffer();
    s.progress().setStatus("Arten registrieren (Schritt 1/2)");
    // Each row under its accepted name; a name the species database does not know (or every name, when
    // no database is open) stands for itself.
    std::map<std::string, std::vector<int>, decltype(&textLess)> byTaxon(&textLess);
    TArtDb* db = s.speciesDb();
    for (int r : rows) {
        const std::string name(b.GetZl('A', r));
        std::string accepted;
        if (db) {
            const int key = db->SearchSyn('R', name);
            if (key >= 0) accepted = db->GetLat(key);
        }
        byTaxon[accepted.empty() ? name : accepted].push_back(r);
    }
    s.progress().setStatus("Deckungen (Schritt 2/2)");
    const int decimals = s.settings().Diversa.Decimals;
    for (const auto& [taxon, members] : byTaxon) {
        std::vector<std::string> cells;
        for (double x : coverOf(members)) cells.push_back(formatNumber(x, decimals));
        appendHeaderRow(b, prefix + "Deckung " + taxon, 'F', cells);
        lastRow = b.GetRowCount('K') - 1;
    }
    s.progress().hideStatus();
}

Status speciesOccurrence(Session& s, char mode) {
    TEditBuffer& b = s.buffer();
    const bool cumulative = mode == 'C' || mode == 'K', byGroup = mode == 'G' || mode == 'K';
    static constexpr const char* kDialogs[] = {"DlgArtVorkommen", "DlgArtVorKumuliert", "DlgArtVorGrp",
                                               "DlgArtVorGrpKum"};
    int answer = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), kDialogs[(cumulative ? 1 : 0) + (byGroup ? 2 : 0)], "", "",
                            answer))
        return {};
    static constexpr Measure kSingle[] = {Measure::Entries, Measure::Taxa, Measure::Cover, Measure::Share,
                                          Measure::TaxonCover};
    static constexpr Measure kCumulative[] = {Measure::Entries, Measure::EntriesByCategory, Measure::Taxa,
                                              Measure::TaxaByCategory};
    const Measure measure =
        cumulative ? kCumulative[std::clamp(answer, 0, 3)] : kSingle[std::clamp(answer, 0, 4)];
    OccurrenceRun run(s, cumulative, measure);
    if (measure == Measure::Share &&
        !TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgArtAnteil", "", "", run.shareBase))
        return {};
    if (measure == Measure::EntriesByCategory || measure == Measure::TaxaByCategory) {
        std::vector<std::string> names;
        TLongList picks;
        int unused = 0;
        if (!b.AskCat('M', "Kategorien angeben", names, picks, unused)) return {};
        run.categoryRows.assign(picks.items().begin(), picks.items().end());
    }
    // The runs: once over the rows considered, or once per species group (margin item 'G').
    std::vector<std::pair<std::string, std::vector<int>>> runs;
    if (byGroup) {
        std::map<std::string, std::vector<int>, decltype(&textLess)> groups(&textLess);
        for (int r : allSpeciesRows(b)) groups[b.ReadP('A', 'G', r)].push_back(r);
        for (auto& [value, rows] : groups)
            runs.emplace_back("Gruppe " + (value.empty() ? std::string("<LEER>") : value) + ": ", rows);
    } else {
        runs.emplace_back(std::string(), speciesRowsOf(b, markedOrAll(b.MroA(), b.GetRowCount('A'))));
    }
    if (measure != Measure::Cover && measure != Measure::TaxonCover) {
        // The weights of the rows the runs count, and of every species row where a share is taken of
        // the species present in a releve.
        TMenge read;
        for (const auto& r : runs)
            for (int row : r.second) read.Add(row);
        if (measure == Measure::Share && run.shareBase == 1)
            for (int row : allSpeciesRows(b)) read.Add(row);
        run.view = readCoverWeights(s, &read);
    }
    for (const auto& [prefix, rows] : runs) {
        if (byGroup) {
            // The group's rows are the marked ones, for the share of the marked species.
            TMenge marks;
            for (int r : rows) marks.Add(r);
            b.setMarks(MarkSet::MroA, marks);
        }
        run.run(rows, prefix);
    }
    if (byGroup) b.ClearM();
    s.coverCounts += run.stats.counts();
    if (run.lastRow >= 0) {
        s.activeGrid = 1;
        s.cursorRow = run.lastRow;
    }
    return {};
}

// "Frequenzen und Stetigkeiten": frequency and constancy of each row considered, in table order or
// sorted, with the number of releves per cover code in answer 1.
Status frequencyTable(Session& s) {
    int f = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgFreq", "", "", f)) return {};
    TEditBuffer& b = s.buffer();
    const std::vector<int> rows = speciesRowsOf(b, markedOrAll(b.MroA(), b.GetRowCount('A')));
    s.progress().setStatus("zählen ...");
    TMenge chosen;
    for (int r : rows) chosen.Add(r);
    const WeightView view = readCoverWeights(s, &chosen);
    const int decimals = s.settings().Diversa.Decimals;
    const auto width = static_cast<std::size_t>(decimals + 4);
    auto line = [&](const std::string& name, const std::string& freq, const std::string& stet) {
        return f <= 1 ? name + ';' + freq + ';' + stet
                      : (f == 2 ? freq + ';' + stet : stet + ';' + freq) + ';' + name;
    };
    // Answer 1: the codes of the rows ordered by their weight, then by text, and per row and code the
    // releves holding exactly that code.
    std::vector<std::string> codes;
    std::vector<std::vector<int>> perCode(rows.size());
    if (f == 1) {
        s.progress().setStatus("Code-Liste erstellen ...");
        std::vector<int> slot(static_cast<std::size_t>(b.GetRowCount('A')), -1);
        for (std::size_t i = 0; i < rows.size(); ++i)
            slot[static_cast<std::size_t>(rows[i])] = static_cast<int>(i);
        std::map<TextHandle, int> codeOf;
        std::vector<std::pair<int, TextHandle>> cells;
        b.forEachFilled('A', [&](const FilledCell& c) {
            const int at = slot[static_cast<std::size_t>(c.row)];
            if (at < 0) return;
            codeOf.emplace(c.handle, 0);
            cells.emplace_back(at, c.handle);
        });
        std::vector<std::pair<double, std::string>> ordered;
        std::map<std::string, int> indexOfText;
        for (auto& [handle, unused] : codeOf) {
            (void)unused;
            std::string text(b.L().pool.text(handle));
            double w = 0;
            CoverCounts ignored;
            if (!s.coverInterpreter().DeckVal('S', text, w, s.coverInterpreter().settings().NaAccept,
                                              ignored))
                w = 0;
            ordered.emplace_back(w, std::string(b.L().pool.text(handle)));
        }
        std::sort(ordered.begin(), ordered.end(), [](const auto& x, const auto& y) {
            return x.first != y.first ? x.first < y.first : textLess(x.second, y.second);
        });
        for (const auto& [w, text] : ordered) {
            indexOfText.emplace(text, static_cast<int>(codes.size()));
            codes.push_back(text);
        }
        for (auto& [handle, index] : codeOf) index = indexOfText[std::string(b.L().pool.text(handle))];
        for (auto& counts : perCode) counts.assign(codes.size(), 0);
        for (const auto& [at, handle] : cells)
            ++perCode[static_cast<std::size_t>(at)][static_cast<std::size_t>(codeOf[handle])];
    }
    std::vector<std::string> lines;
    const int N = b.GetColCount();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto freq = static_cast<double>(view.bySpecies[static_cast<std::size_t>(rows[i])].size());
        std::string l =
            line(std::string(b.GetZl('A', rows[i])), alignRight(formatFixed(freq, decimals), width),
                 alignRight(formatFixed(N > 0 ? freq / N : 0, decimals), width));
        for (int n : perCode[i]) l += ';' + std::to_string(n);
        lines.push_back(std::move(l));
    }
    if (f > 0) std::stable_sort(lines.begin(), lines.end(), textLess);
    lines.insert(lines.begin(), line("Species", "Frequenz", "Stetigkeit"));
    s.progress().hideStatus();
    b.ClearM();
    std::string res;
    TGridDlg::Execute(s.ui(), "Frequenzen", lines, 2, res);
    return {};
}

}  // namespace

void addOccurrenceCommands(Dispatcher& d) {
    d.add(kOccurrence, whenEditable([](Session& s) { return speciesOccurrence(s, 'S'); }));
    d.add(kOccurrenceGroups, whenEditable([](Session& s) { return speciesOccurrence(s, 'G'); }));
    auto unnumbered = [&d](std::string_view caption, char mode) {
        d.addUnnumbered(caption, [handler = whenEditable([mode](Session& s) {
                                      return speciesOccurrence(s, mode);
                                  })](Session& s, const CommandEntry&) { return handler(s); });
    };
    unnumbered("Artvorkommen kumuliert", 'C');
    unnumbered("Vork. je Artengrp. kumuliert", 'K');
    d.addUnnumbered("Arten aus Referenzdatei", [](Session& s, const CommandEntry&) {
        ShowNotImplemented(s.ui(), "Arten aus Referenzdatei");
        return commandFailed();
    });
    d.add(kFrequencies, frequencyTable);
}

}  // namespace tav
