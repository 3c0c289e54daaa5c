#include "editor/margins.h"

#include <algorithm>
#include <cmath>

#include "core/numbers.h"
#include "core/text.h"
#include "editor/grid_control.h"
#include "editor/releve_taxa.h"
#include "editor/session.h"

namespace tav {

namespace {

std::string percent(double fraction) {
    return formatNumber(fraction * 100.0, 0) + "%";
}

std::string coverText(double cover) {
    return formatNumber(cover, 1) + "%";
}

// "(all)" or "(all/marked)".
std::string piece(const std::string& all, const std::string* marked) {
    return "(" + all + (marked ? "/" + *marked : std::string()) + ")";
}

void join(std::string& out, const std::string& p) {
    if (!out.empty()) out += "  ";
    out += p;
}

bool quickSearchOn(const Session& s) {
    return s.settings().Diversa.Schnellsuche != 0;
}

// The genus and the epithet, three characters each: "Poa.pra".
std::string twoLevelLabel(std::string_view name) {
    const std::size_t blank = name.find(' ');
    const std::string genus = charLeft(name.substr(0, blank), 3);
    if (blank == std::string_view::npos) return genus;
    return genus + "." + charLeft(trimBlanks(name.substr(blank + 1)), 3);
}

// The finer step of the two-level labels: count × 5 / lines², at least 1.
int fineStep(int count, int lines) {
    return std::max(1, count * 5 / std::max(lines * lines, 1));
}

int fineRow(const Session& s, int count, int lines, int line) {
    const int row = s.cursorRow + (line - lines / 2) * fineStep(count, lines);
    return std::clamp(row, 0, std::max(count - 1, 0));
}

}  // namespace

const CellStats::Summary& MarginCache::summary() {
    if (!valid_) {
        CellStats stats(buffer_, deck_);
        summary_ = stats.summarise(true);
        valid_ = true;
    }
    return summary_;
}

std::string speciesMargin(Session& s, int row) {
    const TEditBuffer& b = s.buffer();
    const auto& m = s.settings().EditorMargin;
    if (row < 0 || row >= b.GetRowCount('A') || b.GetTyp('A', row) != 'A') return {};
    if (s.listContentsInMargin) return listContentsMargin(s, row);
    if (!m.ZahlFreq && !m.Stet && !m.Deck) return {};
    const CellStats::Summary& all = s.margins().summary();
    const auto r = static_cast<std::size_t>(row);
    const int releves = b.GetColCount();
    const TMenge& marked = b.McoR();
    const bool withMarked = !marked.empty();
    CellStats stats(b, s.coverInterpreter());
    std::string out, value;
    if (m.ZahlFreq) {
        if (m.ZaFrMark && withMarked) value = std::to_string(stats.GetFreq('A', &marked, row, true));
        join(out, piece(std::to_string(all.rowFreq[r]), m.ZaFrMark && withMarked ? &value : nullptr));
    }
    if (m.Stet) {
        if (m.StetMark && withMarked) value = percent(stats.GetStet('A', &marked, row, true));
        const double stet = releves > 0 ? static_cast<double>(all.rowFreq[r]) / releves : 0.0;
        join(out, piece(percent(stet), m.StetMark && withMarked ? &value : nullptr));
    }
    if (m.Deck) {
        if (m.DeckMark && withMarked) value = coverText(stats.GetRowDeck('A', &marked, row, true));
        join(out, piece(coverText(all.rowCover[r]), m.DeckMark && withMarked ? &value : nullptr));
    }
    return out;
}

std::string releveMargin(Session& s, int col) {
    const TEditBuffer& b = s.buffer();
    const auto& m = s.settings().EditorMargin;
    if (col < 0 || col >= b.GetColCount()) return {};
    const CellStats::Summary& all = s.margins().summary();
    const auto c = static_cast<std::size_t>(col);
    std::string out;
    if (m.ZahlFreq) join(out, "(" + std::to_string(all.colCount[c]) + ")");
    if (m.Deck) join(out, "(" + coverText(all.colCover[c]) + ")");
    return out;
}

int quickSearchPosition(int count, int lines, int line) {
    if (count <= 0) return 0;
    // A margin of one line has one position: the first row.
    if (lines <= 1) return 0;
    const double step = static_cast<double>(count) / (lines - 1);
    return std::clamp(static_cast<int>(std::lround(step * line)), 0, count - 1);
}

std::vector<std::string> quickSearchLabels(Session& s, int grid, int lines) {
    const TEditBuffer& b = s.buffer();
    const char area = grid <= 2 ? 'K' : 'A';
    const int count = b.GetRowCount(area);
    const bool twoLevel = grid == 3 && s.settings().SchnellEinst.Art2;
    std::vector<std::string> out;
    for (int i = 0; i < lines; ++i) {
        const std::string_view name = b.GetZl(area, quickSearchPosition(count, lines, i));
        if (twoLevel)
            out.push_back(charLeft(name, 1) + "  " +
                          twoLevelLabel(b.GetZl(area, fineRow(s, count, lines, i))));
        else
            out.push_back(charLeft(name, 3) + "    ");
    }
    return out;
}

std::vector<std::string> quickSearchReleveLabels(Session& s, int columns) {
    const TEditBuffer& b = s.buffer();
    const int row = s.activeGrid == 1 || s.activeGrid == 2 ? s.cursorRow : std::max(s.grid(2).oldRow, 0);
    std::vector<std::string> out;
    for (int j = 0; j < columns; ++j)
        out.push_back(charLeft(b.Get('K', quickSearchPosition(b.GetColCount(), columns, j), row), 12));
    return out;
}

bool quickSearchClick(Session& s, int grid, int line, int lines, double x, int modifiers) {
    if (!quickSearchOn(s) || (modifiers & (kShift | kCtrl)) || grid % 2 == 0) return false;
    const auto& q = s.settings().SchnellEinst;
    if (grid == 1 && !q.Ang) return false;
    const bool twoLevel = grid == 3 && q.Art2;
    const int count = s.buffer().GetRowCount(grid <= 2 ? 'K' : 'A');
    if (count <= 0) return false;
    int row;
    if (x < (twoLevel ? 2.0 / 3.0 : 0.5))
        row = quickSearchPosition(count, lines, line);
    else if (twoLevel)
        row = fineRow(s, count, lines, line);
    else
        return false;
    setCursor(s, grid, 'C', 'N', false, false, s.cursorCol, row);
    return true;
}

bool quickSearchReleveClick(Session& s, int grid, int column, int columns, int modifiers) {
    if (!quickSearchOn(s) || !s.settings().SchnellEinst.Kopf || (modifiers & (kShift | kCtrl)) ||
        grid % 2 == 1)
        return false;
    const int cols = s.buffer().GetColCount();
    if (cols <= 0) return false;
    const TVGrid& g = s.grid(grid);
    const int row = g.oldRow >= 0 ? g.oldRow : (grid == 2 ? s.screenTop.headerRow : s.screenTop.speciesRow);
    setCursor(s, grid, 'N', 'C', false, false, quickSearchPosition(cols, columns, column), row);
    return true;
}

}  // namespace tav
