#pragma once
// The species list of a releve ("Arten in akt. Spalte anzeigen"), the entry list it can follow, and the
// input filter of species names.

#include <string>
#include <vector>

namespace tav {

class Session;

// The columns the list can show, in the order of "Inhalte für Auflistung von Arten".
enum SpeciesListColumn : int {
    kListFrequency,      // "Frequenz"
    kListFreqSelection,  // "Freq. Auswahl"
    kListCover,          // "Deckung"
    kListConstancy,      // "Stetigkeit"
    kListLatinName,      // "Lateinischer Name"
    kListRecord,         // "Datensatz-Nr"
    kListFamily,         // "Familie"
    kListScores,         // "Species scores"
    kListColumnCount
};

// The list as the table window shows it: the caption, then a title line and one line per species
// present, fields ";"-separated. Of the cursor releve ("Arten in der Aufnahme"), of the marked releves
// ("Arten in den ausgewählten Aufnahmen") or, from a name grid, of the whole table ("Arten in der
// Tabelle"). With "Übersicht gemäss Eingabe" on, the species entered into the releve come first, in
// the order they were entered.
struct SpeciesList {
    std::string caption;
    std::vector<std::string> lines;
};
SpeciesList speciesList(Session& session);

// "Inhalte in Randspalte setzen": the species margin shows the chosen contents of the list (for the
// marked releves, or all) instead of the statistics, until "Inhalte zurücksetzen".
std::string listContentsMargin(Session& session, int row);

// Typing in grid 4 with "Übersicht gemäss Eingabe" on: the species row's name joins the entry list of
// the releve; the list starts over in another releve or when the number of releves changed.
void noteEntry(Session& session, int col, int row);

// The species list window follows the cursor while it is open: it shows the list again.
void followSpeciesList(Session& session);

}  // namespace tav
