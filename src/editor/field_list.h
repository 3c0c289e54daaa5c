#pragma once
// The header-field list: a table file (named by the setting AngName) whose rows define the known header
// fields, the code lists of coded rows ('S'), the lookup rows ('L') that give the texts of the codes,
// the parts of templates ("$" + field name) and the accepted species additions ("$/Z"). In memory it is
// one string list per field, in file order: item 0 the field name, item 1 the name of the last 'S' row
// at or above it (empty before the first one), item 2 the row type, item 3 the margin (always there,
// if only empty), items 4 and on the values.
//
// Below the list itself: the checks of coded and lookup cells of the header grid, the value chooser
// "Angaben wählen", the completion of template codes, and what the commands of the list need
// (field_list_commands.cpp).

#include <string>
#include <string_view>
#include <vector>

namespace tav {

class Session;
class UiPort;

class FieldList {
  public:
    // Reads the list from file (text in the system's code page). The list is cleared first; a missing
    // file leaves it empty without a message. A line with "/" (other than the "$/" lines) is used, but
    // said once per line. zusatzlist gets the accepted additions of a "$/Z" line (";"-joined), and is
    // left alone when there is none.
    void load(const std::string& file, UiPort& ui, std::string& zusatzlist);
    void clear() { fields_.clear(); }
    bool empty() const { return fields_.empty(); }
    int size() const { return static_cast<int>(fields_.size()); }
    // The index of the first field with exactly this name; -1 when none or when the name is empty.
    int find(std::string_view name) const;
    const std::vector<std::string>& field(int i) const { return fields_[static_cast<std::size_t>(i)]; }

    // The normal form of a coded entry of field f: its codes in the list's spelling, blank-separated, in
    // the order of the list; empty when a part of it is not in the field's code list. "/", "," and
    // blanks separate the codes of an entry; letter case and accents do not count. A template code
    // ("AB$") stands for an entry whose first word begins with its text.
    std::string translateCodes(int f, std::string_view entry) const;
    // The texts of lookup field l that belong to the codes of field f, " / "-separated: the text at the
    // position of each code (the margin of a coded row is no code). Empty when l is -1.
    std::string lookupValues(int f, int l, std::string_view codes) const;

    // For tests: the list from lines as the file holds them.
    void setLines(const std::vector<std::string>& lines, UiPort& ui, std::string& zusatzlist);

  private:
    std::vector<std::vector<std::string>> fields_;
};

// Folds a text as the code comparison does: a-z to capitals, accented vowels to their plain capital,
// ä ö ü to Ä Ö Ü.
std::string foldCodeText(std::string_view s);

// The state of one run of the full data check that the coded-row check reads and writes. The immediate
// check of a cell passes a fresh one (fullCheck false).
struct FieldCheckRun {
    bool fullCheck = false;          // a "Daten prüfen" run is going on
    bool emptyListAccepted = false;  // "Trotzdem weiter?" was answered Yes in this run
    bool emptyListRefused = false;   // … or No
};

// The outcome of checking a coded or lookup cell: ok, or the kind of error ('F' a code not in the
// list, 'X' a lookup cell that differs, 'U' unknown row name, 'D' a lookup row outside a block; 0 when
// the empty list was refused, which the caller reports as an invalid value).
struct FieldCheck {
    bool ok = true;
    char kind = 0;
};

// The check of a cell of a coded row (header row `row`, releve `col`). What the grids are editing is
// committed first. Interactive: the codes are written in the list's spelling and the lookup rows below
// get their texts (a lookup cell that differs is asked about), a template code is completed, and a code
// not in the list opens the value chooser; the cursor may move while it asks and ends on the cell.
// Otherwise (for the error list) nothing changes. An empty header-field list accepts every entry, except
// in a full check, which asks once whether to go on.
FieldCheck checkCodedCell(Session& session, int col, int row, bool interactive, FieldCheckRun& run);
// The check of a cell of a lookup row; editStart is the text the cell had when editing began. In a full
// check a lookup row of a block passes (its coded row compares it). A changed entry of a known lookup
// field is refused; interactively the value chooser runs for the block, which writes the coded cell and
// the lookup texts of the block: the caller must not write the typed text back afterwards.
FieldCheck checkLookupCell(Session& session, int col, int row, std::string_view editStart, bool interactive,
                           FieldCheckRun& run);

// The value chooser "Angaben wählen" for the cursor cell of grid 2 (a coded row, or a lookup row whose
// block's coded row it works on); true when a value was chosen (it is then written and checked). kind
// is set to 'U', 'D' or 'F' when nothing was chosen.
bool chooseFieldValue(Session& session, bool interactive, char& kind);

// "Nachschlagen" in grid 1: a field of the template header list for the cursor row (name, type and
// margin).
void chooseKnownField(Session& session);

// "Angaben prüfen und speichern": the error lines of a header-field list opened as a table (doubled row
// names, doubled values in a row); empty when there are none.
std::vector<std::string> fieldListErrors(const Session& session);

}  // namespace tav
