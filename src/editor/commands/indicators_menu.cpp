// The menu "Zeigerwerte": indicator values of releves and species.
// In menu order; depth 0 is the top menu itself.

#include "editor/commands/menus.h"

namespace tav::commands {

namespace {

constexpr CommandEntry kEntries[] = {
    {108000000, 0, 0, "Zeigerwerte", Owner::MainWindow, "", "", kSubmenu},
    {108010000, 108000000, 1, "Mittlere Zeigerwerte der Aufnahmen", Owner::Indicators, "", "", 0},
    {108020000, 108000000, 1, "Zeigerwerte kategorial oder ordinal", Owner::Indicators, "", "", 0},
    {108030000, 108000000, 1, "Zusammengesetzte Zeigerwerte", Owner::Indicators, "", "", 0},
    {108040000, 108000000, 1, "Zeigerwerte herleiten", Owner::Indicators, "", "", 0},
    {108050000, 108000000, 1, "Zeigerwerte kategorienweise herleiten", Owner::Indicators, "", "", 0},
    {108060000, 108000000, 1, "Species Scores in Randfelder setzen", Owner::Indicators, "", "", 0},
    {108080000, 108000000, 1, "Quantil-Histogramm (Werte)", Owner::Indicators, "", "", 0},
    {108090000, 108000000, 1, "Quantil-Histogramm kategorienweise", Owner::Indicators, "", "", 0},
    {108100000, 108000000, 1, "Affinitäten herleiten", Owner::Indicators, "", "", 0},
    {108110000, 108000000, 1, "Zeigerwerte wählen", Owner::Indicators, "", "", 0},
    {108120000, 108000000, 1, "Zeigerwerte in Datei skalieren", Owner::Indicators, "", "", 0},
};

}  // namespace

std::span<const CommandEntry> indicatorsMenu() {
    return kEntries;
}

}  // namespace tav::commands
