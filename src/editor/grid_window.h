#pragma once
// What the four grids show of the table, as numbers the desktop draws from: the window start (first
// releve, first header row, first species row) and the stretch of rows and releves a grid holds. A grid
// never holds the whole table, only a page around what is visible. Also the window's caption.

#include <string>

#include "editor/session.h"

namespace tav {

// A stretch of rows or releves: the first and how many.
struct PageSpan {
    int first = 0;
    int count = 0;
    bool operator==(const PageSpan&) const = default;
};

// The rows (or releves) a grid holds when it should start at first: first is limited to total − visible
// and to at least 0; the grid holds max(4 × visible, 30) of them, or fewer when fewer remain.
PageSpan pageSpan(int first, int total, int visible);

// How many rows and releves the grids show completely (at least 1 each).
struct VisibleCells {
    int headerRows = 1;   // grids 1 and 2
    int speciesRows = 1;  // grids 3 and 4
    int releves = 1;      // grids 2 and 4
};

// The pages of the three areas for a wanted window start; the start becomes what the pages begin with.
struct GridPages {
    PageSpan releves;
    PageSpan headerRows;
    PageSpan speciesRows;
};
GridPages reloadWindow(Session& session, WindowStart wanted, VisibleCells visible);

// The sizes of the grids' cells in pixels for an editor font of fontHeight pixels: the row height and
// the releve column width of the settings (DimCells; 0 or less means the default: 1.5 font heights, and
// 3.5 row heights), the width of the margin column of grids 1 and 3 by the margin width setting
// (RandBreite 0 … 3: a third, one, two or four times five font heights) and the height of the fixed row
// (a fifth of a row with the narrowest margins).
struct CellGeometry {
    int rowHeight = 0;
    int columnWidth = 0;
    int marginWidth = 0;
    int fixedRowHeight = 0;
    bool operator==(const CellGeometry&) const = default;
};
CellGeometry cellGeometry(int fontHeight, int dimCellsX, int dimCellsY, int randBreite);

// Where the four grids, the scroll bars and the track bars go in a client area of width × height:
// grid 1 as set (at most the client less 30 pixels each way), grid 2 beside it after a gap of one layout
// unit up to the vertical scroll bar, grids 3 and 4 below them down to the horizontal scroll bar and the
// tool bar. The track bars' range and position are the grid sizes in steps of 10 (width) and 5 (height)
// pixels.
struct PixelBox {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const PixelBox&) const = default;
};
struct GridArrangement {
    PixelBox grid[4];
    PixelBox hScroll, vScrollTop, vScrollBottom;
    int trackHMax = 0, trackHPos = 0, trackVMax = 0, trackVPos = 0;
};
GridArrangement arrangeGrids(int width, int height, int grid1Width, int grid1Height, int unit,
                             int scrollThickness, int toolBarHeight);

// "TAVOLEX", then the table, the work environment, the species list, the header-field list and the
// template, each with its label and its file name without folder.
std::string windowCaption(Session& session);

}  // namespace tav
