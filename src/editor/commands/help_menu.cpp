// The menu "Hilfe": help, version, and releasing deleted rows.
// In menu order; depth 0 is the top menu itself.

#include "editor/commands/menus.h"

namespace tav::commands {

namespace {

constexpr CommandEntry kEntries[] = {
    {111000000, 0, 0, "Hilfe", Owner::MainWindow, "", "", kSubmenu},
    {111010000, 111000000, 1, "? TAVOLEX-Hilfe", Owner::Catalogue, "F1", "HelpButton", 0},
    {111020000, 111000000, 1, "Version", Owner::MainWindow, "", "", 0},
    {111030000, 111000000, 1, "Gelöschte Zeilen freigeben", Owner::Sorting, "", "", 0},
};

}  // namespace

std::span<const CommandEntry> helpMenu() {
    return kEntries;
}

}  // namespace tav::commands
