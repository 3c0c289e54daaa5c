#pragma once
// The command registry: the whole menu tree of the main window as one table, joined from one table per
// top menu. Menus, tool bar and shortcuts are built from it; macros find a command by its caption path
// and the recording writes its number.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/commands/command_entry.h"

namespace tav {

class Catalogue;

namespace commands {

// Every entry in menu order, the top menus in menu-bar order. Entries live as long as the program, so
// pointers and references to them stay valid.
const std::vector<CommandEntry>& allCommands();

// The entry with this number; nullptr for 0 and for a number no menu has.
const CommandEntry* find(std::int64_t number);

// The items a submenu shows, in menu order; for 0 the top menus. An entry that is no submenu has none.
std::vector<const CommandEntry*> children(std::int64_t number);
std::vector<const CommandEntry*> children(const CommandEntry& entry);

// The submenu that shows the entry, numbered or not; nullptr for a top menu or an entry of another table.
const CommandEntry* parentOf(const CommandEntry& entry);

// The captions from the top menu down to the entry, ";"-joined, in the catalogue's current language; an
// entry without a number, or one the catalogue has no text for, shows its German caption.
std::string captionPath(const CommandEntry& entry, const Catalogue& catalogue);

// A stable English name of the owning module, for listings.
std::string_view ownerName(Owner owner);

}  // namespace commands
}  // namespace tav
