// The menu "Arten": species occurrences, diversity, species lists and name suffixes.
// In menu order; depth 0 is the top menu itself.

#include "editor/commands/menus.h"

namespace tav::commands {

namespace {

constexpr CommandEntry kEntries[] = {
    {107000000, 0, 0, "Arten", Owner::MainWindow, "", "", kSubmenu},
    {107010000, 107000000, 1, "Artvorkommen", Owner::DiagnosticSpecies, "", "", 0},
    {0, 107000000, 1, "Artvorkommen kumuliert", Owner::DiagnosticSpecies, "", "", 0},
    {107020000, 107000000, 1, "Vorkommen je Artengruppe", Owner::DiagnosticSpecies, "", "", 0},
    {0, 107000000, 1, "Vork. je Artengrp. kumuliert", Owner::DiagnosticSpecies, "", "", 0},
    {0, 107000000, 1, "Arten aus Referenzdatei", Owner::DiagnosticSpecies, "", "", 0},
    {107030000, 107000000, 1, "Frequenzen und Stetigkeiten", Owner::DiagnosticSpecies, "", "", 0},
    {107040000, 107000000, 1, "Diversität", Owner::Diversity, "", "", kSubmenu},
    {107040100, 107040000, 2, "Diversitätsindices", Owner::Diversity, "", "", 0},
    {107040200, 107040000, 2, "Alpha Beta Gamma", Owner::Diversity, "", "", 0},
    {107040300, 107040000, 2, "Turnover in den Aufnahmen", Owner::Diversity, "", "", 0},
    {107040400, 107040000, 2, "Turnover für jede Artzeile", Owner::Diversity, "", "", 0},
    {107050000, 107000000, 1, "Arten auflisten", Owner::GridEditing, "", "", kSubmenu},
    {107050100, 107050000, 2, "Arten in akt. Spalte anzeigen", Owner::GridEditing, "F5", "UeberButton", 0},
    {107050200, 107050000, 2, "Nach Eingabe sortiert anzeigen (ein/aus)", Owner::GridEditing, "", "",
     kCheckable},
    {107010100, 107050000, 2, "Artenlisten in die Kopfdaten", Owner::GridEditing, "", "", 0},
    {107050300, 107050000, 2, "Inhalte für Auflistung von Arten", Owner::GridEditing, "", "", 0},
    {0, 107050000, 2, "Inhalte in Randspalte setzen", Owner::GridEditing, "", "", 0},
    {107050400, 107050000, 2, "Inhalte zurücksetzen", Owner::GridEditing, "", "", 0},
    {107060000, 107000000, 1, "Zusätze", Owner::NameOperations, "", "", kSubmenu},
    {107060100, 107060000, 2, "setzen", Owner::NameOperations, "F6", "ZusatzButton", 0},
    {107060200, 107060000, 2, "global entfernen", Owner::NameOperations, "", "", 0},
    {107060300, 107060000, 2, "/B /S global ergänzen", Owner::NameOperations, "", "", 0},
    {107060400, 107060000, 2, "/K /S /B zyklisch", Owner::NameOperations, "", "KSBZyklischButton", 0},
    {107060500, 107060000, 2, "/cf. /qs. zyklisch", Owner::NameOperations, "", "cfButton", 0},
};

}  // namespace

std::span<const CommandEntry> taxaMenu() {
    return kEntries;
}

}  // namespace tav::commands
