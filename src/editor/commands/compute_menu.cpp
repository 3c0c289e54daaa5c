// The menu "Berechnen": formulas, statistics, similarity matrices and diagnostic species tables.
// In menu order; depth 0 is the top menu itself.

#include "editor/commands/menus.h"

namespace tav::commands {

namespace {

constexpr CommandEntry kEntries[] = {
    {106000000, 0, 0, "Berechnen", Owner::MainWindow, "", "", kSubmenu},
    {106010000, 106000000, 1, "Felder auswerten, transformieren", Owner::Formulas, "", "", 0},
    {106020000, 106000000, 1, "Zeilen auswerten", Owner::Statistics, "", "", 0},
    {106030000, 106000000, 1, "Spalten auswerten", Owner::Statistics, "", "", kSubmenu},
    {106030100, 106030000, 2, "Spaltenweise auswerten", Owner::Statistics, "", "", 0},
    {106030200, 106030000, 2, "Gepaarte Zeilen spaltenweise", Owner::Statistics, "", "", 0},
    {106030300, 106030000, 2, "Zeilen mit einer bestimmten Zeile paaren", Owner::Statistics, "", "", 0},
    {106050000, 106000000, 1, "Aehnlichkeitsmatrix", Owner::Similarity, "", "", kSubmenu},
    {106050100, 106050000, 2, "Kopfdaten", Owner::Similarity, "", "", kSubmenu},
    {106050101, 106050100, 3, "Zeilen (numerische Kopfdaten)", Owner::Similarity, "", "", 0},
    {106050102, 106050100, 3, "Zeilen paarweise (num. Kopfd.)", Owner::Similarity, "", "", 0},
    {106050103, 106050100, 3, "Spalten (numerische Kopfdaten)", Owner::Similarity, "", "", 0},
    {106050104, 106050100, 3, "Spalten paarweise (num. Kopfd.)", Owner::Similarity, "", "", 0},
    {106050200, 106050000, 2, "Abundanzdaten", Owner::Similarity, "", "", kSubmenu},
    {106050201, 106050200, 3, "Arten (Deckungscode)", Owner::Similarity, "", "", 0},
    {106050202, 106050200, 3, "Aufnahmen (Deckungscode)", Owner::Similarity, "", "", 0},
    {106050203, 106050200, 3, "Aufnahmen paarweise (Deck.)", Owner::Similarity, "", "", 0},
    {106050300, 106050000, 2, "Kategorien (Gruppen)", Owner::Similarity, "", "", kSubmenu},
    {106050301, 106050300, 3, "Mittl. Aehnlichkeit Kopfdaten", Owner::Similarity, "", "", 0},
    {106050302, 106050300, 3, "Mittl. Aehnlichkeit Abundanzdaten", Owner::Similarity, "", "", 0},
    {106060000, 106000000, 1, "Aehnlichkeiten zu Referenz", Owner::Similarity, "", "", kSubmenu},
    {106060100, 106060000, 2, "Kopfdaten in Datei (numerische Zeilen)", Owner::Similarity, "", "", 0},
    {106060200, 106060000, 2, "Aufnahmen in Datei (Deckungscode)", Owner::Similarity, "", "", 0},
    {106060300, 106060000, 2, "Zeilen (numerische Kopfdaten)", Owner::Similarity, "", "", 0},
    {106060400, 106060000, 2, "Spalten (numerische Kopfdaten)", Owner::Similarity, "", "", 0},
    {106060500, 106060000, 2, "Arten (Deckungscode)", Owner::Similarity, "", "", 0},
    {106060600, 106060000, 2, "Aufnahmen (Deckungscode)", Owner::Similarity, "", "", 0},
    {106070000, 106000000, 1, "Zusammenzüge", Owner::Statistics, "", "", 0},
    {106080000, 106000000, 1, "Kategorienweise Berechnungen", Owner::Statistics, "", "", kSubmenu},
    {106080100, 106080000, 2, "Stat. Parameter, Operationen", Owner::Statistics, "", "", 0},
    {106080200, 106080000, 2, "Tests", Owner::Statistics, "", "", 0},
    {106080300, 106080000, 2, "Weitere Funktionen", Owner::Statistics, "", "", 0},
    {106090000, 106000000, 1, "Kreuztabelle", Owner::Statistics, "", "", kSubmenu},
    {106090100, 106090000, 2, "Kategorien untereinander", Owner::Statistics, "", "", 0},
    {106090200, 106090000, 2, "Kategorien nebeneinander (verbundene Stichprobe)", Owner::Statistics, "", "",
     0},
    {106100000, 106000000, 1, "Räumliche Verteilung von Ereignissen", Owner::Statistics, "", "", 0},
    {106110000, 106000000, 1, "Zeitreihen", Owner::NotImplemented, "", "", kNotImplemented},
    {106130000, 106000000, 1, "Kennartentabelle", Owner::DiagnosticSpecies, "", "", 0},
    {106140000, 106000000, 1, "Hierarchische Kennartentabelle", Owner::DiagnosticSpecies, "", "", 0},
    {106150000, 106000000, 1, "Markierte Zl. oder Sp. anzeigen", Owner::Unspecified, "", "", 0},
    {106160000, 106000000, 1, "Kopfdaten 3D-transponieren", Owner::NotImplemented, "", "", kNotImplemented},
};

}  // namespace

std::span<const CommandEntry> computeMenu() {
    return kEntries;
}

}  // namespace tav::commands
