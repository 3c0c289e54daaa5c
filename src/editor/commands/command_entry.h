#pragma once
// One entry of the command registry: a menu item or submenu of the main window, as data. The menus, the
// tool bar, the shortcuts, the recording and the macros all find commands here, so a command exists once
// whatever front end shows it.

#include <cstdint>
#include <string_view>

namespace tav {

// The module that does what a command does.
enum class Owner : std::uint8_t {
    TableFiles,
    Sorting,
    CoverCodes,
    MainWindow,
    GridEditing,
    Validation,
    Marking,
    SpeciesDb,
    Indicators,
    DiagnosticSpecies,
    NameOperations,
    Diversity,
    Formulas,
    Statistics,
    Similarity,
    Clustering,
    Tests,
    Settings,
    Catalogue,
    Macros,
    External,
    Maps,
    Raster,
    ReleveDb,
    Sql,
    Unspecified,     // the menu has the item, but what it does is not laid down yet
    NotImplemented,  // kept in the menu so that numbers and caption paths stay as users know them
};

enum CommandFlag : unsigned {
    kSubmenu = 1u << 0,         // opens a submenu; the entries of greater depth that follow are its items
    kCheckable = 1u << 1,       // an on/off item that shows its state
    kNotImplemented = 1u << 2,  // shown, but the program says it is not available
    kNeverRecorded = 1u << 3,   // writes no recording line: a listing, a display or recording setting,
                                // or an edit of files beside the table
};

struct CommandEntry {
    // The nine-digit command number: the catalogue key of the caption, the number the recording writes
    // and the help topic. 0 for the few items that never had one.
    std::int64_t number;
    // The number of the nearest enclosing entry that has a number (0 for a top menu). An item inside a
    // submenu without a number names the submenu's own parent; the depth keeps the exact tree.
    std::int64_t parent;
    int depth;                 // 0 top menu, 1 its items, 2 and 3 the submenus below
    std::string_view caption;  // the German caption used when the catalogue has none
    Owner owner;
    std::string_view shortcut;  // "Ctrl+N", "Shift+F8" …; empty for none
    std::string_view button;    // the tool button running the same command; empty for none
    unsigned flags;

    bool has(CommandFlag f) const { return (flags & f) != 0; }
};

}  // namespace tav
