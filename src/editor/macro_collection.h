#pragma once
// A macro collection: named statement lists kept as the entries of a tree, one entry a line:
//
//   T;<entry code, 30 characters>;;<level 1>;…;<leaf>;<command 1>;<argument 1>;…
//
// Every level field is a one-character key followed by the caption of its node; the leaf field starts
// with "z" or "y" and one more character, then the entry's caption. Lines whose first field is not "T"
// are ignored, and a code of 30 "0" keeps a line out of the list offered to the user. The external
// functions use the same layout with other contents behind the leaf.
//
// The collection is written from a table in the editor: every header row of type 'T' is an entry, its
// cells the level fields, the leaf field and the statements ("Prüfen und speichern").

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"

namespace tav {

class TEditBuffer;

inline constexpr std::size_t kEntryCodeLength = 30;

struct MacroEntry {
    std::string code;                 // as written: the key characters padded with "0"
    std::string caption;              // of the leaf, without its two leading characters
    std::string contents;             // the fields behind the leaf: the statements, without a trailing ";"
    std::vector<std::string> levels;  // the captions of the nodes above the leaf, blanks removed
    bool offered = true;
    int line = 0;  // 1-based line of the file

    // The entry as the user picks it: code without its padding, " --- ", caption.
    std::string listText() const;
    // The macro text a run starts from: the header, then the statements.
    std::string macroText() const;
};

class MacroCollection {
  public:
    static MacroCollection parse(std::string_view text);
    // The collection file; a missing or unreadable file fails with the reason.
    static Result<MacroCollection> read(const std::string& file);

    const std::vector<MacroEntry>& entries() const { return entries_; }
    std::vector<const MacroEntry*> offered() const;
    // The entry a sub-macro statement or the command line names: by its leaf caption (case and accents
    // folded) or by its code, with or without the "0" padding. Nothing when none does.
    const MacroEntry* find(std::string_view name) const;

  private:
    std::vector<MacroEntry> entries_;
};

// "Prüfen und speichern": the collection lines of the 'T' header rows of the table. The problems found
// are listed in errors ("Zeile n: …", numbered from the first header row); isCommand tells a caption
// path from an unknown command. The lines are complete only when errors stays empty.
struct CollectionCheck {
    std::vector<std::string> lines;
    std::vector<std::string> errors;
};
CollectionCheck checkCollection(const TEditBuffer& buffer,
                                const std::function<bool(std::string_view)>& isCommand);

}  // namespace tav
