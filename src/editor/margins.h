#pragma once
// The statistics margins of the species grids and the quick-search labels of the margins.
//
// The species margin (fixed column of grid 3) shows per species row its frequency "(n)", its constancy
// "(p%)" and its cover sum "(c%)", each switched on in the settings, and for the marked releves after
// the value for all ("(12/3)"). The fixed row of grid 4 shows per releve its number of species and its
// total cover. The values for all releves come from one pass over the table, kept until the table
// changes; the values for the marked releves are computed for the rows shown.
//
// Quick search: the margin lines show a thumb index of the rows (the first three letters of the row at
// the line's proportional position), and a click on it jumps there.

#include <string>
#include <vector>

#include "table/cell_stats.h"
#include "table/table_change.h"

namespace tav {

class Session;

// The per-row and per-releve statistics of the species part for all releves, computed when first asked
// for after a change of the table.
class MarginCache : public TableObserver {
  public:
    MarginCache(const TEditBuffer& buffer, const TDeckInter& deck) : buffer_(buffer), deck_(deck) {}
    const CellStats::Summary& summary();
    // The cover codes mean something else now.
    void invalidate() { valid_ = false; }
    bool valid() const { return valid_; }
    void tableChanged(const TableChange& c) override {
        if (c.kind != TableChange::Kind::Marks) valid_ = false;
    }
    void tableReverted(const TableChange& c) override { tableChanged(c); }

  private:
    const TEditBuffer& buffer_;
    const TDeckInter& deck_;
    CellStats::Summary summary_;
    bool valid_ = false;
};

// The species margin of species row row, as the settings ask; empty for a row that is no species row.
std::string speciesMargin(Session& session, int row);
// The statistics of releve col for the fixed row of grid 4.
std::string releveMargin(Session& session, int col);

// The row (or releve) a margin line stands for in quick search: line of lines shown over count rows,
// round(count / (lines − 1) × line); the first row when only one line is shown.
int quickSearchPosition(int count, int lines, int line);

// The quick-search labels of the name grid's margin (grid 1 or 3), one per shown line: the first three
// characters of the row at the line's position and four blanks; with the two-level labels in grid 3
// the first letter, two blanks and genus and epithet (three characters each) of the rows around the
// cursor.
std::vector<std::string> quickSearchLabels(Session& session, int grid, int lines);
// The labels of the releves in the fixed row of grids 2 and 4: the first 12 characters of the cursor
// row's header value of the releve at each column's position.
std::vector<std::string> quickSearchReleveLabels(Session& session, int columns);

// A click on line of the margin of grid at x (0 left edge … 1 right edge of the margin), lines shown.
// With quick search on and no Shift or Ctrl in its zone it jumps to the row and returns true; otherwise
// nothing happens and the caller treats it as a marking click.
bool quickSearchClick(Session& session, int grid, int line, int lines, double x, int modifiers);
// The same for a click on the fixed row of grids 2 and 4 (column of columns shown).
bool quickSearchReleveClick(Session& session, int grid, int column, int columns, int modifiers);

}  // namespace tav
