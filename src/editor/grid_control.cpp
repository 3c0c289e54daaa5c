// The grid controllers' operations. The cursor is the session's (cursorCol, cursorRow in the active
// grid); each grid remembers the cell it last had, and the screen's first row and releve follow the
// cursor as the modes of setCursor say.

#include "editor/grid_control.h"

#include <algorithm>

#include "core/text.h"
#include "editor/grid_window.h"
#include "editor/releve_taxa.h"
#include "editor/session.h"
#include "editor/validation.h"
#include "values/pen.h"

namespace tav {

namespace {

int areaRows(const Session& s, int grid) {
    return s.buffer().GetRowCount(grid <= 2 ? 'K' : 'A');
}

int& screenTopRow(Session& s, char area) {
    return area == 'K' ? s.screenTop.headerRow : s.screenTop.speciesRow;
}

int& windowRow(Session& s, char area) {
    return area == 'K' ? s.windowStart.headerRow : s.windowStart.speciesRow;
}

VisibleCells visibleCells(const Session& s) {
    VisibleCells v;
    v.headerRows = std::max({s.grid(1).visibleRows, s.grid(2).visibleRows, 1});
    v.speciesRows = std::max({s.grid(3).visibleRows, s.grid(4).visibleRows, 1});
    // Grids 2 and 4 show the same releves: the larger of their counts.
    v.releves = std::max({s.grid(2).visibleCols, s.grid(4).visibleCols, 1});
    return v;
}

// The window (the page the grids hold) moves when the target lies in the first half-screen of it
// while it does not start at the beginning, or in its last screen while it does not reach the end.
bool windowMustMove(int target, int first, int total, int visible) {
    const PageSpan page = pageSpan(first, total, visible);
    return (target < page.first + visible / 2 && page.first > 0) ||
           (target > page.first + page.count - visible && page.first + page.count < total);
}

// The first line on screen that shows target with the given mode, from the old cursor line.
int screenTop(char mode, int target, int oldTarget, int oldTop, int visible, int total) {
    const int oldLine = oldTarget - oldTop;
    int line;
    switch (mode) {
        case 'C':
            line = visible / 2;
            break;
        case 'E':
            line = visible - 1;
            break;
        case 'D':
        case 'R':
            line = oldLine + 1;
            break;
        case 'U':
        case 'L':
            line = oldLine - 1;
            break;
        default:
            line = target - oldTop;
            break;
    }
    line = std::clamp(line, 0, visible - 1);
    // No empty lines below the last row when the part has enough rows.
    return std::clamp(target - line, 0, std::max(0, total - visible));
}

// Moves the window, the screen and the cursor to (col, row) of grid; the target is inside the table.
void place(Session& s, int grid, char vertical, char horizontal, int col, int row) {
    TVGrid& g = s.grid(grid);
    const char area = g.area();
    const int rows = areaRows(s, grid), cols = s.buffer().GetColCount();
    const VisibleCells visible = visibleCells(s);
    const int visibleRows = area == 'K' ? visible.headerRows : visible.speciesRows;
    WindowStart wanted = s.windowStart;
    bool reload = false;
    if (windowMustMove(row, windowRow(s, area), rows, visibleRows)) {
        (area == 'K' ? wanted.headerRow : wanted.speciesRow) = row - 2 * visibleRows;
        reload = true;
    }
    if (!g.names() && windowMustMove(col, s.windowStart.releve, cols, visible.releves)) {
        wanted.releve = col - 2 * visible.releves;
        reload = true;
    }
    if (reload) reloadWindow(s, wanted, visible);

    const bool sameArea = s.activeGrid >= 1 && s.grid(s.activeGrid).area() == area;
    const int oldRow = sameArea ? s.cursorRow : screenTopRow(s, area);
    int& top = screenTopRow(s, area);
    top = screenTop(vertical, row, oldRow, top, visibleRows, rows);
    if (!g.names()) {
        const int oldCol = s.activeGrid == 2 || s.activeGrid == 4 ? s.cursorCol : s.screenTop.releve;
        s.screenTop.releve =
            screenTop(horizontal, col, oldCol, s.screenTop.releve, visible.releves, std::max(cols, 1));
        s.cursorCol = col;
    }
    s.cursorRow = row;
    s.activeGrid = grid;
    g.oldCol = g.names() ? -1 : col;
    g.oldRow = row;
    g.penCol = g.oldCol;
    g.penRow = row;
    g.editText.reset();
    g.insideEditor = false;
    g.escText = std::string(cellText(s, grid, col, row));
    // A cell waiting for its check is forgotten once the cursor is elsewhere.
    if (g.checkCol != g.oldCol || g.checkRow != row) g.checkCol = g.checkRow = -1;
}

MarkSet rowSet(int grid) {
    return grid <= 2 ? MarkSet::MroK : MarkSet::MroA;
}

MarkSet columnSet(int grid) {
    return grid % 2 == 1 ? MarkSet::McoL : MarkSet::McoR;
}

}  // namespace

std::string_view cellText(const Session& s, int grid, int col, int row) {
    const char area = grid <= 2 ? 'K' : 'A';
    return grid % 2 == 1 ? s.buffer().GetZl(area, row) : s.buffer().Get(area, col, row);
}

std::string editorText(const Session& s) {
    if (s.activeGrid < 1) return {};
    const TVGrid& g = s.grid(s.activeGrid);
    if (g.editText) return *g.editText;
    return std::string(cellText(s, s.activeGrid, s.cursorCol, s.cursorRow));
}

void typeText(Session& s, std::string text) {
    if (s.activeGrid < 1) return;
    TVGrid& g = s.grid(s.activeGrid);
    if (g.oldRow < 0) {
        g.oldCol = g.names() ? -1 : s.cursorCol;
        g.oldRow = s.cursorRow;
    }
    // The cell is checked before the cursor leaves it.
    if (g.checkRow < 0) {
        g.checkCol = g.oldCol;
        g.checkRow = g.oldRow;
        g.checkStart = g.escText;
    }
    g.editText = std::move(text);
}

void escapeEdit(Session& s) {
    if (s.activeGrid < 1) return;
    TVGrid& g = s.grid(s.activeGrid);
    g.editText.reset();
    g.insideEditor = false;
}

void commitEdit(Session& s) {
    TEditBuffer& b = s.buffer();
    for (int grid = 1; grid <= 4; ++grid) {
        TVGrid& g = s.grid(grid);
        if (!g.editText) continue;
        const std::string text = std::move(*g.editText);
        g.editText.reset();
        const char area = g.area();
        if (g.oldRow < 0 || g.oldRow >= b.GetRowCount(area)) continue;
        if (!g.names() && (g.oldCol < 0 || g.oldCol >= b.GetColCount())) continue;
        if (cellText(s, grid, g.oldCol, g.oldRow) == text) continue;
        s.undoList().begin();
        if (g.names())
            b.PutZl(area, text, g.oldRow);
        else
            b.Put(area, text, g.oldCol, g.oldRow);
        s.undoList().end();
        if (grid == 4 && s.activeGrid == 4) noteEntry(s, g.oldCol, g.oldRow);
    }
}

bool checkEndRow(const Session& s, char area, int p) {
    const TEditBuffer& b = s.buffer();
    const int rows = b.GetRowCount(area);
    if (p < rows - 1) return true;
    return p >= 0 && !b.isEmptyRow(area, p);
}

void setCursor(Session& s, int grid, char vertical, char horizontal, bool check, bool stopMark, int col,
               int row) {
    if (s.busy || grid < 1 || grid > 4) return;
    commitEdit(s);
    TEditBuffer& b = s.buffer();
    TVGrid& g = s.grid(grid);
    const char area = g.area();
    int rows = b.GetRowCount(area);
    if (row >= rows) {
        if (!check || checkEndRow(s, area, rows - 1)) {
            b.InsRows(area, rows, 1);
        } else if (vertical == 'D') {
            vertical = 'N';
        }
        rows = b.GetRowCount(area);
    }
    row = std::clamp(row, 0, std::max(rows - 1, 0));
    if (!g.names()) {
        if (col >= b.GetColCount() && !check) b.InsCols(b.GetColCount(), 1);
        col = std::clamp(col, 0, std::max(b.GetColCount() - 1, 0));
    } else {
        col = s.cursorCol;
    }
    place(s, grid, vertical, horizontal, col, row);
    if (b.CheckM() || s.anySelection()) {
        if (stopMark) clearMarks(s);
    } else {
        const int c = g.names() ? -1 : col;
        g.selStart = {c, row, c, row};
    }
}

void settleCursor(Session& s) {
    if (s.activeGrid < 1) return;
    const TVGrid& g = s.grid(s.activeGrid);
    const int rows = areaRows(s, s.activeGrid), cols = s.buffer().GetColCount();
    const int row = std::clamp(s.cursorRow, 0, std::max(rows - 1, 0));
    const int col = std::clamp(s.cursorCol, 0, std::max(cols - 1, 0));
    const std::optional<std::string> pending = g.editText;
    place(s, s.activeGrid, 'N', 'N', col, row);
    s.grid(s.activeGrid).editText = pending;
}

void resetSelection(Session& s, int grid, bool shift) {
    TVGrid& g = s.grid(grid);
    if (!shift) {
        g.selOn = false;
        return;
    }
    if (g.selOn) return;
    const int c = g.names() ? -1 : s.cursorCol;
    g.selStart = g.sel = {c, s.cursorRow, c, s.cursorRow};
    g.selOn = true;
}

void setSelection(Session& s, int grid, int col, int row) {
    TVGrid& g = s.grid(grid);
    if (g.names()) col = -1;
    g.sel = CellRect::spanning(g.selStart.left, g.selStart.top, col, row);
    g.selOn = true;
}

bool inSelection(const Session& s, int grid, int col, int row) {
    const TVGrid& g = s.grid(grid);
    if (!g.selOn) return true;
    return g.sel.contains(g.names() ? -1 : col, row);
}

bool cellMarked(const Session& s, int grid, int col, int row) {
    const TEditBuffer& b = s.buffer();
    const TVGrid& g = s.grid(grid);
    if (b.marks(rowSet(grid)).Element(row)) return true;
    if (g.names() ? b.McoL().Element(0) : b.McoR().Element(col)) return true;
    return g.selOn && g.sel.contains(g.names() ? -1 : col, row);
}

void clearSelections(Session& s) {
    for (int grid = 1; grid <= 4; ++grid) s.grid(grid).selOn = false;
}

CellRect selectionOrCursor(const Session& s) {
    if (s.activeGrid < 1) return {};
    const TVGrid& g = s.grid(s.activeGrid);
    if (g.selOn) return g.sel;
    const int c = g.names() ? -1 : s.cursorCol;
    return {c, s.cursorRow, c, s.cursorRow};
}

void markClick(Session& s, int grid, bool rows, int index, int modifiers, char cursorMode) {
    if (grid < 1 || grid > 4) return;
    if (!checkData(s)) return;
    commitEdit(s);
    TEditBuffer& b = s.buffer();
    const int kind = rows ? 1 : 2;
    const int count = rows ? areaRows(s, grid) : (grid % 2 == 1 ? 1 : b.GetColCount());
    if (count <= 0) return;
    index = std::clamp(index, 0, count - 1);
    // Row marks and column marks exclude each other.
    if (s.lastMarking != 0 && s.lastMarking != kind) {
        const int anchor = s.markAnchor, previous = s.previousAnchor;
        b.ClearM();
        s.markAnchor = anchor;
        s.previousAnchor = previous;
    }
    clearSelections(s);
    const MarkSet set = rows ? rowSet(grid) : columnSet(grid);
    TMenge m = b.marks(set);
    bool shift = modifiers & kShift;
    const bool ctrl = modifiers & kCtrl;
    if (modifiers & kDoubleClick) {
        shift = true;
        s.markAnchor = s.previousAnchor;
    }
    if (shift) {
        if (s.markAnchor < 0) {
            s.markAnchor = index;
            m.Add(index);
        } else if (ctrl) {
            int below = index;
            for (int i : m.elements())
                if (i < index) below = i;
            for (int i = below; i <= index; ++i) m.Add(i);
        } else {
            m.Fill(std::min(s.markAnchor, index), std::max(s.markAnchor, index));
        }
        b.setMarks(set, m);
    } else if (ctrl) {
        b.mark(set, index, !m.Element(index));
    } else {
        const int anchor = s.markAnchor;
        b.ClearM();
        b.mark(set, index);
        s.previousAnchor = anchor;
        s.markAnchor = index;
    }
    if (rows)
        setCursor(s, grid, cursorMode, 'N', false, false, s.cursorCol, index);
    else if (grid % 2 == 0)
        setCursor(s, grid, 'N', cursorMode, false, false, index,
                  std::min(s.cursorRow, areaRows(s, grid) - 1));
    s.lastMarking = kind;
}

void clearMarks(Session& s) {
    s.buffer().ClearM();
    clearSelections(s);
}

void moveCursor(Session& s, CursorKey key, int modifiers) {
    if (s.activeGrid < 1) return;
    const int grid = s.activeGrid;
    const TVGrid& g = s.grid(grid);
    const auto& opt = s.settings().CurScrEinst;
    const int rows = areaRows(s, grid), cols = s.buffer().GetColCount();
    const int nameGrid = grid % 2 == 1 ? grid : grid - 1, dataGrid = nameGrid + 1;
    const bool shift = modifiers & kShift;
    int col = s.cursorCol, row = s.cursorRow;
    if (key == CursorKey::Enter) {
        if (!opt.CR) {
            s.grid(grid).insideEditor = !g.insideEditor;
            return;
        }
        key = shift ? CursorKey::Right : CursorKey::Down;
    }
    if (!checkData(s)) return;
    // Shift with an arrow extends the selection from the cell the cursor leaves; without Shift the
    // selection ends. In the data grids, after marking releves, Shift+Right/Left extends the marking.
    const bool arrow =
        key == CursorKey::Right || key == CursorKey::Left || key == CursorKey::Down || key == CursorKey::Up;
    if (shift && !g.names() && s.lastMarking == 2 && (key == CursorKey::Right || key == CursorKey::Left)) {
        const int next = std::clamp(col + (key == CursorKey::Right ? 1 : -1), 0, std::max(cols - 1, 0));
        markClick(s, grid, false, next, kShift, key == CursorKey::Right ? 'R' : 'L');
        return;
    }
    if (arrow && shift) resetSelection(s, grid, true);
    if (!shift) resetSelection(s, grid, false);
    const bool carry = (modifiers & kCtrl) && opt.Copy;
    auto carryValue = [&](int toCol) {
        if (!carry) return;
        const std::string text = editorText(s);
        commitEdit(s);
        s.buffer().Put(g.area(), text, toCol, row);
    };
    switch (key) {
        case CursorKey::Right:
            if (g.names()) {
                setCursor(s, dataGrid, 'N', 'N', true, false, s.screenTop.releve, row);
            } else if (modifiers & kAlt) {
                setCursor(s, grid, 'N', 'C', true, false,
                          std::min(col + g.visibleCols, std::max(cols - 1, 0)), row);
            } else if (col + 1 < cols) {
                carryValue(col + 1);
                setCursor(s, grid, 'N', 'R', true, false, col + 1, row);
            } else if (opt.AutoZlWechsel && checkEndRow(s, g.area(), row)) {
                setCursor(s, nameGrid, 'D', 'N', true, false, col, row + 1);
            }
            break;
        case CursorKey::Left:
            if (g.names()) {
                if (opt.AutoZlWechsel && row > 0)
                    setCursor(s, dataGrid, 'U', 'E', true, false, cols - 1, row - 1);
            } else if (modifiers & kAlt) {
                setCursor(s, grid, 'N', 'C', true, false, std::max(col - g.visibleCols, 0), row);
            } else if (col > 0) {
                carryValue(col - 1);
                setCursor(s, grid, 'N', 'L', true, false, col - 1, row);
            } else {
                setCursor(s, nameGrid, 'N', 'N', true, false, col, row);
            }
            break;
        case CursorKey::Down:
            setCursor(s, grid, 'D', 'N', true, false, col, row + 1);
            break;
        case CursorKey::Up:
            setCursor(s, grid, 'U', 'N', true, false, col, std::max(row - 1, 0));
            break;
        case CursorKey::PageDown:
            setCursor(s, grid, 'N', 'N', true, false, col,
                      std::min(row + g.visibleRows, std::max(rows - 1, 0)));
            break;
        case CursorKey::PageUp:
            setCursor(s, grid, 'N', 'N', true, false, col, std::max(row - g.visibleRows, 0));
            break;
        case CursorKey::Home:
            if (!g.names()) setCursor(s, grid, 'N', 'N', true, false, 0, row);
            break;
        case CursorKey::End:
            if (!g.names()) setCursor(s, grid, 'N', 'E', true, false, std::max(cols - 1, 0), row);
            break;
        case CursorKey::Enter:
            break;
    }
    if (arrow && shift && s.activeGrid == grid) setSelection(s, grid, s.cursorCol, s.cursorRow);
}

void cellClick(Session& s, int grid, int col, int row, int modifiers) {
    if (grid < 1 || grid > 4) return;
    TVGrid& g = s.grid(grid);
    const char area = g.area();
    TEditBuffer& b = s.buffer();
    const bool penCell = !g.names() && g.penCol == col && g.penRow == row && s.activeGrid == grid;
    if (s.settings().CurScrEinst.pen && penCell && row < b.GetRowCount(area) && col < b.GetColCount()) {
        commitEdit(s);
        std::string value(b.Get(area, col, row));
        const bool back = modifiers & kCtrl;
        if (area == 'A') {
            back ? s.coverInterpreter().PenPrior(value) : s.coverInterpreter().PenNext(value);
        } else {
            const char type = b.GetTyp('K', row);
            back ? PenPriorHeader(type, value) : PenNextHeader(type, value);
        }
        if (value != b.Get(area, col, row)) {
            s.undoList().begin();
            b.Put(area, value, col, row);
            s.undoList().end();
        }
        return;
    }
    if (!checkData(s)) return;
    if (modifiers & kShift) {
        resetSelection(s, grid, true);
        setCursor(s, grid, 'N', 'N', false, false, col, row);
        setSelection(s, grid, col, row);
        return;
    }
    setCursor(s, grid, 'N', 'N', false, true, col, row);
}

void enterGrid(Session& s, int grid) {
    if (grid < 1 || grid > 4) return;
    s.activeGrid = grid;
    checkClipboard(s);
}

void leaveGrid(Session& s, int grid) {
    if (grid < 1 || grid > 4) return;
    commitEdit(s);
    TVGrid& g = s.grid(grid);
    g.penCol = g.penRow = -1;
    g.insideEditor = false;
    g.escText = std::string(cellText(s, grid, s.cursorCol, s.cursorRow));
}

void rememberClipboard(Session& s) {
    s.buffer().setOldClip(s.ui().clipboardText());
}

void checkClipboard(Session& s) {
    TEditBuffer& b = s.buffer();
    const std::string now = s.ui().clipboardText();
    if (now == b.oldClip()) return;
    b.setOldClip(now);
    if (now.empty()) return;
    b.StartClip('R');
    std::string_view text = now;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    for (const std::string& line : splitFields(text, "\n")) {
        std::string fields = line;
        if (!fields.empty() && fields.back() == '\r') fields.pop_back();
        // A ";" inside a field would split it: it becomes "," as when typed.
        std::replace(fields.begin(), fields.end(), ';', ',');
        std::replace(fields.begin(), fields.end(), '\t', ';');
        b.addClipLine(std::move(fields));
    }
}

bool acceptKey(Session& s, char32_t key) {
    if (!s.settings().CurScrEinst.pen || key < 32 || key > 127 || s.activeGrid < 1) return false;
    typeText(s, std::string(1, static_cast<char>(key)));
    commitEdit(s);
    return true;
}

}  // namespace tav
