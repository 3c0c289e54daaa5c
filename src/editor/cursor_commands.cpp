// The commands that move the cursor or mark by hand: the menu forms of the marking clicks (F8 for rows,
// F9 for columns), the cursor keys of "Verschieben", and the switch between the header and the species
// part.

#include <cstdint>
#include <functional>

#include "editor/command_handlers.h"
#include "editor/dispatch.h"
#include "editor/grid_control.h"
#include "editor/session.h"

namespace tav {

namespace {

constexpr std::int64_t kSelectRow = 103050101;          // "Zeile anwählen" (F8)
constexpr std::int64_t kRowRange = 103050102;           // "Bereich anwählen"
constexpr std::int64_t kRowToggle = 103050103;          // "Einzeln an/abwählen"
constexpr std::int64_t kRowSingleRange = 103050104;     // "Einzelbereich anwählen"
constexpr std::int64_t kSelectColumn = 104020101;       // "Spalte anwählen" (F9)
constexpr std::int64_t kColumnRange = 104020102;        // "Bereich anwählen"
constexpr std::int64_t kColumnToggle = 104020103;       // "Einzeln an/abwählen"
constexpr std::int64_t kColumnSingleRange = 104020104;  // "Einzelbereich anwählen"
constexpr std::int64_t kSwitchPart = 102170100;         // "Wechseln Kopfdaten / Arten" (F7)
constexpr std::int64_t kMoveRight = 102170601;          // "Verschieben" › "nach rechts", … "Seite auf"

// A marking click on the cursor's row or releve. "Zeile anwählen" is a Shift click while nothing is
// marked and a plain click otherwise.
Status markByMenu(Session& s, bool rows, int modifiers, bool plainOrShift) {
    if (s.activeGrid < 1) return {};
    if (plainOrShift) modifiers = s.buffer().CheckM() ? kNoModifier : kShift;
    const bool nameGrid = s.activeGrid % 2 == 1;
    const int index = rows ? s.cursorRow : (nameGrid ? 0 : s.cursorCol);
    markClick(s, s.activeGrid, rows, index, modifiers);
    return {};
}

// From the header part to the species part and back, in the same kind of grid, at the other part's
// row and the same releve; the marks end.
Status switchPart(Session& s) {
    if (s.activeGrid < 1) return {};
    setCursor(s, s.activeGrid, 'N', 'N', false, true, s.cursorCol, s.cursorRow);
    const int target = s.activeGrid <= 2 ? s.activeGrid + 2 : s.activeGrid - 2;
    const TVGrid& g = s.grid(target);
    const int row =
        g.oldRow >= 0 ? g.oldRow : (g.area() == 'K' ? s.screenTop.headerRow : s.screenTop.speciesRow);
    setCursor(s, target, 'N', 'N', true, false, s.cursorCol, row);
    return {};
}

}  // namespace

void addCursorCommands(Dispatcher& d) {
    for (const bool rows : {true, false}) {
        const std::int64_t first = rows ? kSelectRow : kSelectColumn;
        d.add(first, [rows](Session& s) { return markByMenu(s, rows, kNoModifier, true); });
        d.add(first + 1, [rows](Session& s) { return markByMenu(s, rows, kShift, false); });
        d.add(first + 2, [rows](Session& s) { return markByMenu(s, rows, kCtrl, false); });
        d.add(first + 3, [rows](Session& s) { return markByMenu(s, rows, kShift | kCtrl, false); });
    }
    static_assert(kRowRange == kSelectRow + 1 && kRowToggle == kSelectRow + 2 &&
                  kRowSingleRange == kSelectRow + 3);
    static_assert(kColumnRange == kSelectColumn + 1 && kColumnToggle == kSelectColumn + 2 &&
                  kColumnSingleRange == kSelectColumn + 3);
    d.add(kSwitchPart, switchPart);
    const CursorKey keys[] = {CursorKey::Right, CursorKey::Left, CursorKey::Down,     CursorKey::Up,
                              CursorKey::End,   CursorKey::Home, CursorKey::PageDown, CursorKey::PageUp};
    for (int i = 0; i < 8; ++i) {
        const CursorKey key = keys[i];
        d.add(kMoveRight + i, [key](Session& s) {
            moveCursor(s, key);
            return Status();
        });
    }
}

}  // namespace tav
