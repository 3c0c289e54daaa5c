#pragma once
// The operations of the species database browser that need no window: filters, export, searching and
// replacing, sort order, the synonym and aggregate lists, the preparation of import files and the choice
// of columns. The browser window calls them; tests and macros call them directly.

#include <optional>
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

// The filter step of the browser: fields are chosen (kind 'B' fields of the species table, 'Z' and '+'
// fields of the current indicator list), the template label + " = .." joined by " and " is offered for
// editing ("Filter setzen", "Bedingung"), and the edited condition filters by basics ('B'), by indicator
// values ('Z') or by indicator values additionally ('+'). A cancelled choice or edit changes nothing.
Status filterByChosenFields(TArtDb& db, UiPort& ui, char kind);

// The template offered for editing: label + " = .." for the chosen positions (as GetZwItems gives them)
// of the species table or, with indicators, of the current indicator list, joined by " and ".
std::string filterTemplate(const TArtDb& db, const std::vector<int>& chosen, bool indicators);

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

// "Basisdaten der aktuellen Arten auflisten": the title line "Art" and the labels of fields (field
// positions of the species table), then one line per accepted name of the shown records (in order, or
// in key order; a shown synonym stands for its accepted name, each name once): the full name and the
// values of the fields, ";"-separated (a ";" in a value as ",").
std::vector<std::string> listBasics(TArtDb& db, const std::vector<int>& fields,
                                    const std::vector<int>* order = nullptr);

// "... zusammenfassen": over the same accepted names, the title line "Feld;Wert;Anzahl Arten", then per
// field each of its values (an empty one as "(leer)") with the number of names that hold it, the most
// frequent first.
std::vector<std::string> summariseBasics(TArtDb& db, const std::vector<int>& fields,
                                         const std::vector<int>* order = nullptr);

// Turns a delimited text file whose first line names its columns into a file that ImportTable
// (indicatorVariant false) or ImportZw (true) reads. The steps: the delimiter question about the source's
// first line (setting: the delimiter and qualifier of the settings), the columns through list windows,
// the target through a save dialog and the overwrite question. Cancelling any question ends the
// preparation (a failure without a message). The target is written with the setting's delimiter in enc.
Status prepareImportFile(UiPort& ui, const std::string& source, bool indicatorVariant, TextDelimiter setting,
                         ExportEncoding enc);

// The number of the indicator list chosen in the list window "Zeigerwerte wählen": the meta lines of the
// lists, sorted, the current one preselected. Nothing when cancelled, or when there is no list (after the
// information "Keine Zeigerwertliste vorhanden.").
std::optional<int> chooseIndicatorList(const TArtDb& db, UiPort& ui);

// Deletes an indicator list chosen in the list window "Zeigerwerte wählen" (as chooseIndicatorList). The
// open list is kept, with the information file + " ist geöffnet. Ich kann die Datenmenge nicht löschen.";
// any other is deleted after the question "Datenmenge " + file + " wirklich löschen?", and the meta file
// drops the lines of lists whose file is gone. A cancelled choice or a No changes nothing.
Status deleteIndicatorList(TArtDb& db, UiPort& ui);

// Multi-choice of columns: OC 'Z'/'P' indicator values, 'R' reference indicator values, 'V' variance
// data (fields of the indicator table), 'B'/'K' fields of the species table. L gets the chosen
// positions counted from the first field after the key field, s the same joined by ";". False when
// cancelled.
bool GetZwItems(const TArtDb& db, UiPort& ui, char OC, std::vector<int>& L, std::string& s);

// Text in the export encoding, with the byte-order mark the encoding asks for.
std::string encodeForExport(std::string_view utf8, ExportEncoding enc);

}  // namespace tav
