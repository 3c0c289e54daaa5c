// The menu "Spalten": inserting, marking, naming, merging and sorting columns (releves).
// In menu order; depth 0 is the top menu itself.

#include "editor/commands/menus.h"

namespace tav::commands {

namespace {

constexpr CommandEntry kEntries[] = {
    {104000000, 0, 0, "Spalten", Owner::MainWindow, "", "", kSubmenu},
    {104010000, 104000000, 1, "Neue Spalte(n) einfügen", Owner::GridEditing, "", "", kSubmenu},
    {104010100, 104010000, 2, "davor", Owner::GridEditing, "", "", 0},
    {104010200, 104010000, 2, "danach", Owner::GridEditing, "", "", 0},
    {104020000, 104000000, 1, "Spalten markieren", Owner::Marking, "", "", kSubmenu},
    {104020100, 104020000, 2, "Manuell", Owner::GridEditing, "", "", kSubmenu},
    {104020101, 104020100, 3, "Spalte anwählen", Owner::GridEditing, "F9", "", 0},
    {104020102, 104020100, 3, "Bereich anwählen", Owner::GridEditing, "Shift+F9", "", 0},
    {104020103, 104020100, 3, "Einzeln an/abwählen", Owner::GridEditing, "Ctrl+F9", "", 0},
    {104020104, 104020100, 3, "Einzelbereich anwählen", Owner::GridEditing, "Ctrl+Shift+F9", "", 0},
    {104020200, 104020000, 2, "Komplement", Owner::GridEditing, "", "", 0},
    {104020300, 104020000, 2, "Zufallswahl", Owner::GridEditing, "", "", 0},
    {104020400, 104020000, 2, "Leere Spalten", Owner::Marking, "", "", 0},
    {104020500, 104020000, 2, "Doppelte Spalten", Owner::Marking, "", "", 0},
    {0, 104020000, 2, "Doppel, leere Felder ignorieren", Owner::Marking, "", "", 0},
    {104020600, 104020000, 2, "Ueberzählige Spalten", Owner::Marking, "", "", 0},
    {104020700, 104020000, 2, "Gleich in (mark.) Zeilen", Owner::Marking, "", "", 0},
    {104020800, 104020000, 2, "Abweichend in (mark.) Zl.", Owner::Marking, "", "", 0},
    {0, 104020000, 2, "Abweichend, leere Felder ignorieren", Owner::Marking, "", "", 0},
    {104020900, 104020000, 2, "Spalten mit Suchtext", Owner::Marking, "", "", 0},
    {104021000, 104020000, 2, "Bestimmte Kategorien", Owner::Marking, "", "", 0},
    {104030000, 104000000, 1, "Spalten bezeichnen", Owner::Marking, "", "", kSubmenu},
    {104030100, 104030000, 2, "Markierte Spalten", Owner::Marking, "", "", 0},
    {104030200, 104030000, 2, "Zufallswahl", Owner::Marking, "", "", 0},
    {104030300, 104030000, 2, "Stratifizierte Zufallswahl", Owner::Marking, "", "", 0},
    {104030400, 104030000, 2, "Bernoulli-Stichprobe vorbereiten", Owner::Unspecified, "", "", 0},
    {104030500, 104030000, 2, "Bernoulli-Stichprobe ziehen", Owner::Unspecified, "", "", 0},
    {104030600, 104030000, 2, "Angeglichene Verteilung von Kategorien", Owner::Unspecified, "", "", 0},
    {104040000, 104000000, 1, "Spalten verschmelzen", Owner::Marking, "", "", kSubmenu},
    {104040100, 104040000, 2, "Markierte Spalten", Owner::Marking, "", "", 0},
    {104040200, 104040000, 2, "Gleiche Spalten", Owner::Marking, "", "", 0},
    {104050000, 104000000, 1, "Spalten sortieren", Owner::Sorting, "", "SortSpButton", 0},
    {104060000, 104000000, 1, "Spalten rangieren", Owner::Sorting, "", "", 0},
    {104070000, 104000000, 1, "Spalte(n) ausfüllen", Owner::GridEditing, "Ctrl+U", "", 0},
    {104080000, 104000000, 1, "Durchnummerieren in akt. Spalte", Owner::GridEditing, "", "", kSubmenu},
    {104080100, 104080000, 2, "Zeilennummern", Owner::GridEditing, "", "", 0},
    {104080200, 104080000, 2, "zufällig", Owner::GridEditing, "", "", 0},
    {104090000, 104000000, 1, "Artnamen in die Kopfdaten transponieren", Owner::Unspecified, "", "", 0},
};

}  // namespace

std::span<const CommandEntry> columnsMenu() {
    return kEntries;
}

}  // namespace tav::commands
