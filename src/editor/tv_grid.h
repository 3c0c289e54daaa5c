#pragma once
// TVGrid: what one of the four editor grids keeps of its own, without any toolkit. Grid 1 shows the
// header row names, grid 2 the header data, grid 3 the species names and grid 4 the species data; odd
// grids have a single column (the names), grids 1 and 2 show the header part ('K'), 3 and 4 the species
// part ('A'). The cells themselves are never copied here: the desktop draws them from the table.
//
// What a grid keeps: the last cell its cursor stood on (compared with the table when an edit is
// committed), the text of its in-place editor while the user types, its selection rectangle, the cell
// of the pen and how many rows and columns it shows completely. The operations on the grids are in
// grid_control.h.

#include <algorithm>
#include <optional>
#include <string>

namespace tav {

// A rectangle of cells in visible table positions, corners included.
struct CellRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool contains(int col, int row) const {
        return col >= left && col <= right && row >= top && row <= bottom;
    }
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    // The smallest rectangle holding both corners.
    static CellRect spanning(int c1, int r1, int c2, int r2) {
        return {std::min(c1, c2), std::min(r1, r2), std::max(c1, c2), std::max(r1, r2)};
    }
    bool operator==(const CellRect&) const = default;
};

class TVGrid {
  public:
    explicit TVGrid(int typ = 1) : typ_(typ) {}

    int typ() const { return typ_; }
    // The part of the table the grid shows: 'K' header, 'A' species.
    char area() const { return typ_ <= 2 ? 'K' : 'A'; }
    // Grids 1 and 3 show row names only.
    bool names() const { return typ_ % 2 == 1; }

    // The cell the cursor was last placed on (releve, row; the releve is -1 in a name grid), -1 when
    // the grid never had the cursor.
    int oldCol = -1;
    int oldRow = -1;

    // The text of the in-place editor while it differs from the table; committing writes it.
    std::optional<std::string> editText;
    // Caret keys move inside the text instead of moving the cursor (F2).
    bool insideEditor = false;
    // The cell text when the grid was left; Esc brings it back.
    std::string escText;

    // The selection rectangle and its anchor cell, in table positions.
    bool selOn = false;
    CellRect sel;
    CellRect selStart;

    // The cell typed into since the cursor came to it, checked before the cursor may leave it (-1 when
    // none), and the value it had before.
    int checkCol = -1;
    int checkRow = -1;
    std::string checkStart;

    // The cell last clicked in pen mode (-1 when none).
    int penCol = -1;
    int penRow = -1;

    // Rows and releves the grid shows completely, as the desktop last measured them (at least 1).
    int visibleRows = 20;
    int visibleCols = 10;

    // The clipboard is compared with the last text seen when the focus frame is drawn next.
    bool checkClip = false;

  private:
    int typ_;
};

}  // namespace tav
