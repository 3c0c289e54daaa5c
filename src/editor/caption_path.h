#pragma once
// Finds the command a macro statement names by its caption path: the blank-separated captions of the
// menu path, top menu first ("ZEILEN SORT" for "Zeilen" › "Zeilen sortieren").

#include <string_view>

#include "editor/commands/command_entry.h"

namespace tav {

class Catalogue;

// Each part selects, among the items of the current menu level, the first whose caption (without the
// "&" accelerator mark, case folded) begins with the part; when none does, the first with a word that
// begins with it. A part holding "&" must equal the caption exactly; a part "x*y" matches a caption that
// begins with the part's first letter and holds y at or after the position of the "*". The captions are
// those of the catalogue's current language; a path that finds no command there is tried once more with
// the German captions, so that macros written in German keep working. nullptr when no command is found,
// or the path ends on a submenu or goes on below a command.
const CommandEntry* findByCaptionPath(std::string_view statement, const Catalogue& catalogue);

}  // namespace tav
