#include "table/cell_stats.h"

#include <algorithm>
#include <unordered_set>

#include "core/numbers.h"
#include "core/text.h"
#include "values/typed_values.h"

namespace tav {

CellStats::CellStats(const TEditBuffer& b, const TDeckInter& deck) : b_(b), deck_(deck) {}

int CellStats::modeIndex(char mode) const {
    switch (mode) {
        case 'S':
            return 0;
        case 'D':
            return 1;
        case 'E':
            return 2;
        case 'I':
            return 3;
        case 'A':
            return 4;
        case 'Z':
            return 5;
        default:
            return 6;
    }
}

double CellStats::value(char mode, TextHandle h, bool doCheck, bool count) {
    if (h == 0) return 0;
    if (!doCheck) return 1;
    std::vector<Entry>& cache = cache_[modeIndex(mode)];
    if (cache.size() <= h) cache.resize(std::max<std::size_t>(b_.L().pool.size(), h + 1));
    Entry& e = cache[h];
    if (!e.known) {
        CoverCounts added;
        const double x = checkedValue(mode, b_.L().pool.text(h), added);
        e.x = x;
        e.known = true;
        const int* counts[5] = {&added.CodeErrCt, &added.SozErrCt, &added.UndefCt, &added.ExcludeCt,
                                &added.IgnoreCt};
        for (int k = 0; k < 5; ++k) e.counts[k] = static_cast<unsigned short>(std::min(*counts[k], 65535));
        if (count) counts_ += added;
        return x;
    }
    // The same text met again adds to the counts exactly what it added the first time.
    if (count) counts_ += CoverCounts{e.counts[0], e.counts[1], e.counts[2], e.counts[3], e.counts[4]};
    return e.x;
}

double CellStats::checkedValue(char mode, std::string_view s, CoverCounts& counts) const {
    std::string t(s);
    double x = 0;
    CoverCounts added;
    deck_.DeckVal(mode, t, x, deck_.settings().NaAccept, added);
    counts += added;
    // An entry reported as an invalid cover is ignored: a number outside the system's range would
    // otherwise count as present and add its value (150 % under percentages) to every total.
    return added.CodeErrCt != 0 ? 0.0 : x;
}

double CellStats::DeckValChecked(char OC, std::string_view s, bool doCheck) {
    const std::string_view t = trimBlanks(s);
    if (t.empty()) return 0;
    if (!doCheck) return 1;
    return checkedValue(OC, t, counts_);
}

int CellStats::columnOfSlot(std::uint32_t slot) {
    if (columnOfSlot_.empty()) {
        columnOfSlot_.assign(b_.L().slots, -1);
        for (int c = 0; c < b_.GetColCount(); ++c) columnOfSlot_[b_.GetBufCol(c) - 3] = c;
    }
    return slot < columnOfSlot_.size() ? columnOfSlot_[slot] : -1;
}

std::vector<int> CellStats::rowsOf(char OC, const TMenge* M) const {
    std::vector<int> rows;
    const int n = b_.GetRowCount(OC);
    if (M) {
        for (int r : M->elements())
            if (r < n) rows.push_back(r);
    } else {
        rows.resize(n);
        for (int r = 0; r < n; ++r) rows[r] = r;
    }
    return rows;
}

std::vector<int> CellStats::colsOf(const TMenge* M) const {
    std::vector<int> cols;
    const int n = b_.GetColCount();
    if (M) {
        for (int c : M->elements())
            if (c < n) cols.push_back(c);
    } else {
        cols.resize(n);
        for (int c = 0; c < n; ++c) cols[c] = c;
    }
    return cols;
}

int CellStats::GetFreq(char OC, const TMenge* M, int p, bool doCheck) {
    const int row = b_.GetBufRow(OC, p);
    if (row < 0) return 0;
    int n = 0;
    b_.L().rows[row].cells.forEach([&](std::uint32_t slot, TextHandle h) {
        const int c = columnOfSlot(slot);
        if (c >= 0 && (!M || M->Element(c)) && value('S', h, doCheck) > 0) ++n;
    });
    return n;
}

double CellStats::GetStet(char OC, const TMenge* M, int p, bool doCheck) {
    const std::size_t cols = M ? colsOf(M).size() : static_cast<std::size_t>(b_.GetColCount());
    return cols == 0 ? 0.0 : static_cast<double>(GetFreq(OC, M, p, doCheck)) / static_cast<double>(cols);
}

int CellStats::GetZahl(char OC, const TMenge* M, int p, bool doCheck) {
    const int entry = b_.GetBufCol(p);
    if (p < 0 || entry < 3) return 0;
    int n = 0;
    for (int r : rowsOf(OC, M))
        if (value('S', b_.L().handle(b_.GetBufRow(OC, r), entry), doCheck) > 0) ++n;
    return n;
}

double CellStats::GetColStet(char OC, const TMenge* M, int p, bool doCheck) {
    const std::size_t rows = rowsOf(OC, M).size();
    return rows == 0 ? 0.0 : static_cast<double>(GetZahl(OC, M, p, doCheck)) / static_cast<double>(rows);
}

int CellStats::GetZahlCum(char /*OC*/, TMenge& Mc, const TMenge* M, int p, bool doCheck) {
    const int entry = b_.GetBufCol(p);
    if (p >= 0 && entry >= 3) {
        for (int r : rowsOf('A', M)) {
            if (b_.GetTyp('A', r) != 'A') continue;
            if (value('S', b_.L().handle(b_.GetBufRow('A', r), entry), doCheck) > 0) Mc.Add(r);
        }
    }
    return Mc.Count();
}

int CellStats::GetZahlCumCat(char OC, TMenge& Mc, const TMenge* M, int p, bool doCheck, const TLongList& Li,
                             std::string& cat) {
    std::string key;
    for (std::int32_t r : Li.items()) {
        key += ';';
        key += b_.Get('K', p, r);
    }
    if (key != cat) {
        cat = key;
        Mc.Clear();
    }
    return GetZahlCum(OC, Mc, M, p, doCheck);
}

int CellStats::GetCodeZahl(char OC, const TMenge* M, int p, const std::string& st, bool ganz) {
    int n = 0;
    for (int r : rowsOf(OC, M)) {
        std::string_view cell = b_.Get(OC, p, r);
        if (ganz ? cell == st : cell.find(st) != std::string_view::npos) ++n;
    }
    return n;
}

namespace {

// Considered entries minus distinct values (letter case ignored); with emptyMeansAll, any empty entry
// makes the answer the number of entries.
template <class Cells>
int matches(const Cells& cells, bool emptyMeansAll) {
    std::unordered_set<std::string> distinct;
    for (std::string_view c : cells) {
        if (emptyMeansAll && c.empty()) return static_cast<int>(cells.size());
        distinct.insert(upperCaseOnly(c));
    }
    return static_cast<int>(cells.size() - distinct.size());
}

}  // namespace

int CellStats::GetMatchesInCol(char OCz, char OC, const TMenge* M, int p) {
    std::vector<std::string_view> cells;
    for (int r : rowsOf(OC, M)) cells.push_back(b_.Get(OC, p, r));
    return matches(cells, OCz == 'I');
}

int CellStats::GetMatchesInRow(char OC, const TMenge* M, int p) {
    std::vector<std::string_view> cells;
    for (int c : colsOf(M)) cells.push_back(b_.Get(OC, c, p));
    return matches(cells, false);
}

double CellStats::GetGesDeck(char /*OC*/, const TMenge* M, int p, bool doCheck) {
    const int entry = b_.GetBufCol(p);
    if (p < 0 || entry < 3) return 0;
    double sum = 0;
    for (int r : rowsOf('A', M)) {
        const double x = value('D', b_.L().handle(b_.GetBufRow('A', r), entry), doCheck);
        if (x > 0) sum += x;
    }
    return sum;
}

double CellStats::GetRowDeck(char /*OC*/, const TMenge* M, int p, bool doCheck) {
    const int row = b_.GetBufRow('A', p);
    if (row < 0) return 0;
    double sum = 0;
    b_.L().rows[row].cells.forEach([&](std::uint32_t slot, TextHandle h) {
        const int c = columnOfSlot(slot);
        if (c < 0 || (M && !M->Element(c))) return;
        const double x = value('D', h, doCheck);
        if (x > 0) sum += x;
    });
    return sum;
}

CellStats::Summary CellStats::summarise(bool doCheck) {
    Summary s;
    const int rows = b_.GetRowCount('A'), cols = b_.GetColCount();
    s.rowFreq.assign(rows, 0);
    s.rowCover.assign(rows, 0.0);
    s.colCount.assign(cols, 0);
    s.colCover.assign(cols, 0.0);
    b_.forEachFilled('A', [&](const FilledCell& cell) {
        if (value('S', cell.handle, doCheck) > 0) {
            ++s.rowFreq[cell.row];
            ++s.colCount[cell.col];
        }
        const double x = value('D', cell.handle, doCheck, false);
        if (x > 0) {
            s.rowCover[cell.row] += x;
            s.colCover[cell.col] += x;
        }
    });
    return s;
}

char EstimateTyp(const TEditBuffer& b, char OC, int i) {
    if (OC == 'A') return b.GetTyp('A', i) == 'K' ? 'K' : 'A';
    for (int c = 0; c < b.GetColCount(); ++c) {
        std::string_view cell = b.Get(OC, c, i);
        if (cell.empty() || upperFold(cell) == "NA") continue;
        double x = 0;
        std::string s(cell);
        if (NumVal('I', true, true, kMissing, kMissing, x, s)) return 'I';
        s = cell;
        if (NumVal('F', true, true, kMissing, kMissing, x, s)) return 'F';
        s = cell;
        RDatum d;
        std::int32_t key = 0;
        if (DatumVal(true, false, s, d, key)) return 'D';
        s = cell;
        RZeit z;
        if (ZeitVal(true, s, z)) return 'Z';
        return 'T';
    }
    return 'T';
}

}  // namespace tav
