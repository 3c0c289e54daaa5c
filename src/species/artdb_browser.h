#pragma once
// The operations of the species database browser that need no window: filters, export, searching and
// replacing, sort order, the synonym and aggregate lists, the preparation of import files and the choice
// of columns. The browser window calls them; tests and macros call them directly.

#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"
#include "core/text.h"
#include "platform/ui_port.h"
#include "species/art_db.h"

namespace tav {

// Puts an empty-value guard before every comparison of a filter condition: before the first word and
// before the word after each AND, OR or XOR, that word + " <> '' and" is inserted. Double quotes become
// single quotes. Words are separated by blanks; the result joins them with single blanks.
std::string guardCondition(std::string_view condition);

// The guarded condition becomes the species filter. A condition the table cannot read leaves no species
// filter and fails with the information "Fehler in Filterausdruck".
Status filterByBasics(TArtDb& db, std::string_view condition);

// The guarded condition filters the current indicator list; every species record whose key occurs in the
// filtered list gets "1" in its scratch field, all others an empty one, and the species filter becomes
// "ResField = 1". With additionally, only records that also pass the previous species filter are marked,
// which makes the new filter the previous one and "ResField = 1". Fails as filterByBasics does.
Status filterByIndicators(TArtDb& db, std::string_view condition, bool additionally);

// Removes the species and the indicator filter.
void clearFilters(TArtDb& db);

// Writes a header line of the labels of fields and one line per shown record (those that pass the
// species filter, in order or in key order without it), joined by delim, in the export encoding.
Status exportShown(const TArtDb& db, const std::vector<int>& fields, const std::string& file, char32_t delim,
                   ExportEncoding enc, const std::vector<int>* order = nullptr);

// The first shown row from fromRow on (table rows) that contains text in column (-1: any column); -1
// when none.
int findText(const TArtDb& db, std::string_view text, int fromRow, int column, bool matchCase);

// Replaces from by to in column (-1: any column) of the shown rows: the first occurrence, or every one
// with all. The table file keeps the change. Returns the number of replacements; outside edit mode a
// failure "Die Artenliste ist nicht im Bearbeitungsmodus." and nothing changes. When the table file
// cannot be saved the status fails and the value still holds the number of values changed in memory.
Result<int> replaceText(TArtDb& db, std::string_view from, std::string_view to, int column, bool all,
                        bool editMode);

// The shown rows ordered by fields (in the order given; numeric fields by value with empty values first,
// text by compareText); equal rows keep key order.
std::vector<int> sortedRows(const TArtDb& db, const std::vector<int>& fields);

// For every accepted name that has synonyms: an empty line, then the status line of every member of
// its synonym group.
std::vector<std::string> synonymList(TArtDb& db);

// For every aggregate that is no member of another one and has members: an empty line, a line of 48
// "-", then the member listing.
std::vector<std::string> aggregateList(TArtDb& db);

// Turns a delimited text file whose first line names its columns into a file that ImportTable
// (indicatorVariant false) or ImportZw (true) reads. The columns are chosen through pickFromList;
// cancelling any choice ends the preparation (a failure without a message).
Status prepareImportFile(UiPort& ui, const std::string& source, const std::string& target,
                         bool indicatorVariant, char32_t delim, ExportEncoding enc);

// Multi-choice of columns: OC 'Z'/'P' indicator values, 'R' reference indicator values, 'V' variance
// data (fields of the indicator table), 'B'/'K' fields of the species table. L gets the chosen
// positions counted from the first field after the key field, s the same joined by ";". False when
// cancelled.
bool GetZwItems(const TArtDb& db, UiPort& ui, char OC, std::vector<int>& L, std::string& s);

// Text in the export encoding, with the byte-order mark the encoding asks for.
std::string encodeForExport(std::string_view utf8, ExportEncoding enc);

}  // namespace tav
