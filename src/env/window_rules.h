#pragma once
// The rules of the dialog windows that need no toolkit: where they open, how the lines of a list window
// are drawn, what each kind of table window does, and the table window's search, replace and saving.
// Sizes are in pixels; a layout unit is a thousandth of the screen width.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "env/project_settings_records.h"

namespace tav {

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// units layout units in pixels, rounded.
int layoutUnits(int units, ScreenSize screen);

// The choice dialogs, the option-box panel and the input form open at the shared position plus offset;
// a coordinate below 0 or beyond the screen's size less 100 pixels becomes 200 layout units.
PixelPoint choiceDialogPosition(PixelPoint stored, ScreenSize screen, int offset);
// The action button panel: below 10 pixels or beyond the screen's size less 200 layout units becomes
// 100 layout units.
PixelPoint buttonPanelPosition(PixelPoint stored, ScreenSize screen, int offset);
// The prompt that stays open: below 50 pixels or beyond the screen's size less 100 pixels becomes 100
// pixels.
PixelPoint promptPosition(PixelPoint stored, ScreenSize screen);
// A moved dialog opens 20 layout units up-left or down-right of its place, so that one repeated in a
// loop is visibly a new window; unmoved ones open on it.
int moveOffset(bool moved, bool downRight, ScreenSize screen);
// The list and text windows share a rectangle, the table window has its own. A moved list window opens
// 30 pixels up-left of it. The rectangle is kept on the screen and at least 200 × 120 pixels large.
PixelRect windowRect(PixelRect stored, ScreenSize screen, bool moved);

// How a line of a list window is drawn: format k of the ";"-separated formats is a blank-separated list
// of FETT (bold), KURSIV (italic), ROT, BLAU, GRUEN. On a selected line the colours are yellow, aqua and
// lime, and a line with a format but no colour is white.
enum class LineColour { Plain, Red, Blue, Green, Yellow, Aqua, Lime, White };
struct LineFormat {
    bool bold = false;
    bool italic = false;
    LineColour colour = LineColour::Plain;
    bool operator==(const LineFormat&) const = default;
};
LineFormat lineFormat(std::string_view formats, int line, bool selected);

// What a kind of table window does.
struct TableKind {
    bool modal = true;
    bool editing = false;       // the cells can be edited from the start
    bool changeButton = false;  // "ändern" steps the current cell (also on double click)
    bool wholeRows = false;     // whole rows are selected and a double click is OK
    bool saveAtOnce = false;    // nothing is shown: the lines are written to the file named by the caller
    enum class Buttons { OkCancel, ApplyClose, RowsColumnsClose } buttons = Buttons::OkCancel;
    // Cells before this data row and column (1-based) stay as they are while editing.
    int editFromRow = 1;
    int editFromColumn = 1;
    // Column widths: the stored widths the kind uses (three for the plain kinds, two for kind 4) and a
    // factor on them.
    enum class Widths { Plain, Two, Mixed } widths = Widths::Plain;
    double widthFactor = 1;
};
TableKind tableKind(int aOC);

// The width of data column col (0-based) of a table window of the given kind from the stored widths;
// the fixed first column takes LstG1 (plain kinds) or LstG11 (kind 4).
int tableColumnWidth(const RBildEinst& dims, int aOC, int col);
int tableHeaderWidth(const RBildEinst& dims, int aOC);
// Keeps the width of data column col after the user changed it.
void storeTableColumnWidth(RBildEinst& dims, int aOC, int col, int width);

// The cells of ";"-separated lines.
std::vector<std::vector<std::string>> tableCells(const std::vector<std::string>& lines);
// The lines as a text file, one line per row; transposed, column k of every line becomes line k (short
// lines give empty cells).
std::string tableFileText(const std::vector<std::string>& lines, bool transposed);

struct CellPosition {
    int row = 0;
    int col = 0;
    bool operator==(const CellPosition&) const = default;
};
// The next cell after from (row by row) whose text contains text; case-insensitive unless matchCase.
// The search goes on from the start once (wrapping); nothing when no cell has it.
std::optional<CellPosition> findInLines(const std::vector<std::string>& lines, std::string_view text,
                                        CellPosition from, bool matchCase);
// Replaces every occurrence of from in the cells (not across the ";" between them) and returns how
// many were replaced. Rows before firstRow stay.
int replaceInLines(std::vector<std::string>& lines, std::string_view from, std::string_view to,
                   bool matchCase, int firstRow = 0);

}  // namespace tav
