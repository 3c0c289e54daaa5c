#pragma once
// The grid controllers' operations over the session: placing the cursor (the one way it moves, with
// the window following it), committing what the user typed, the selection rectangle, marking clicks
// on the margins, the cursor keys and the pen. The desktop calls them from its events; the commands and
// the batch runner call the same ones, so every behaviour runs without a display.

#include <string>
#include <string_view>

#include "editor/tv_grid.h"

namespace tav {

class Session;

// The text a grid shows at a table position: the row name in grids 1 and 3 (col is ignored), the
// header value in grid 2, the cover in grid 4.
std::string_view cellText(const Session& session, int grid, int col, int row);

// The text the in-place editor of the active grid starts with at the cursor, or holds while typing.
std::string editorText(const Session& session);

// Typing: the active grid's in-place editor now holds text (committed by the next cursor move, command
// or save). Esc takes back what was typed since the cursor came to the cell.
void typeText(Session& session, std::string text);
void escapeEdit(Session& session);

// Writes every grid's pending editor text into the table, as one undo step per cell; ";" and line
// breaks become what the table keeps (as typing always does).
void commitEdit(Session& session);

// Places the cursor of grid at releve col and row (see grid_control.cpp for the modes):
// vertical 'C' middle line, 'E' last line, 'D' one line down, 'U' one up, 'N' where it is;
// horizontal the same for releves with 'C', 'E', 'R', 'L', 'N'. With check, a row past the end is only
// added behind a row that holds data; without it a row (and in the data grids a releve) is added.
// stopMark clears all marks and selections.
void setCursor(Session& session, int grid, char vertical, char horizontal, bool check, bool stopMark, int col,
               int row);
// After a command: the cursor back inside the table and the window around it; nothing is added.
void settleCursor(Session& session);
// True when row p of the area is not its last row, or the last row holds data.
bool checkEndRow(const Session& session, char area, int p);

// The selection rectangle of a grid.
void resetSelection(Session& session, int grid, bool shift);
void setSelection(Session& session, int grid, int col, int row);
// True when the cell lies in the grid's selection, or when the grid has none.
bool inSelection(const Session& session, int grid, int col, int row);
void clearSelections(Session& session);
// Whether the desktop paints a cell of grid in the mark colour: its row is marked, its column is marked
// (releves in grids 2 and 4, the name column in grids 1 and 3), or it lies in the grid's selection.
bool cellMarked(const Session& session, int grid, int col, int row);
// The active grid's selection, or its cursor cell; in the name grids the column is -1.
CellRect selectionOrCursor(const Session& session);

// Modifier keys of a click or key.
enum KeyModifier : int { kNoModifier = 0, kShift = 1, kCtrl = 2, kAlt = 4, kDoubleClick = 8 };

// A marking click on the margin of a row (rows) or a column of grid: plain, Shift, Ctrl, Shift+Ctrl or
// a double click. The cursor follows to the row or releve with the given mode.
void markClick(Session& session, int grid, bool rows, int index, int modifiers, char cursorMode = 'N');
// "Markierung aufheben": every mark and every selection gone.
void clearMarks(Session& session);

enum class CursorKey { Right, Left, Down, Up, PageDown, PageUp, Home, End, Enter };
// The cursor keys of the active grid, with Tab as Right and Shift+Tab as Left.
void moveCursor(Session& session, CursorKey key, int modifiers = kNoModifier);

// A click on a data or name cell: the cursor goes there and the marks end; with Shift the selection
// grows to it. With the pen on, a second click on the pen cell steps its value (with Ctrl backwards):
// covers along the cover-code system, header values by the type of their row.
void cellClick(Session& session, int grid, int col, int row, int modifiers = kNoModifier);

// The grid gets the focus (it becomes the active grid and the clipboard is looked at) or loses it (what
// was typed is committed, the pen cell is forgotten).
void enterGrid(Session& session, int grid);
void leaveGrid(Session& session, int grid);

// The clipboard watch: text that another program put on the system clipboard since the editor last
// looked becomes the editor's clip as a range of fields (tabs separate fields, lines rows), so that
// pasting pastes it. Remember marks the clipboard's text as seen without taking it.
void checkClipboard(Session& session);
void rememberClipboard(Session& session);

// Pen input: a printable key (32 … 127) replaces the cursor cell's text and is committed. False when
// the pen is off or the key is not printable.
bool acceptKey(Session& session, char32_t key);

}  // namespace tav
