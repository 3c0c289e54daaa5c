#pragma once
// The window's own state as commands change it: grid locks, the active grid, the command numbers in
// the menus; and what the desktop's menus show checked.

#include "editor/commands/command_entry.h"

namespace tav {

class Session;

// True when grid (1 … 4; 0 for all four) is not locked, or when the user confirms "Das Gitter ist
// gesperrt. Aktion trotzdem ausführen?". Operations that change a grid's contents ask first.
bool GridEditable(Session& session, int grid);

// Whether a checkable command shows its check mark.
bool isChecked(const Session& session, const CommandEntry& entry);

}  // namespace tav
