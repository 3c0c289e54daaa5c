// The menu "Bearbeiten": the clipboard, cell editing, search, cursor movement and variables.
// In menu order; depth 0 is the top menu itself.

#include "editor/commands/menus.h"

namespace tav::commands {

namespace {

constexpr CommandEntry kEntries[] = {
    {102000000, 0, 0, "Bearbeiten", Owner::MainWindow, "", "", kSubmenu},
    {102010000, 102000000, 1, "Rückgängig / Abbruch", Owner::GridEditing, "Ctrl+Z", "UndoButton", 0},
    {102020000, 102000000, 1, "Widerrufen", Owner::GridEditing, "", "", 0},
    {102030000, 102000000, 1, "Kopieren", Owner::GridEditing, "Ctrl+C", "CopyButton", 0},
    {102040000, 102000000, 1, "Ausschneiden", Owner::GridEditing, "Ctrl+X", "CutButton", 0},
    {102050000, 102000000, 1, "Löschen (Del)", Owner::GridEditing, "", "", 0},
    {102060000, 102000000, 1, "Komplement kopieren", Owner::GridEditing, "", "", 0},
    {102070000, 102000000, 1, "Komplement ausschneiden", Owner::GridEditing, "", "", 0},
    {102080000, 102000000, 1, "Komplement löschen (Alt + Del)", Owner::GridEditing, "", "", 0},
    {102090000, 102000000, 1, "Einfügen (Ins)", Owner::GridEditing, "Ctrl+V", "PasteButton", 0},
    {102100000, 102000000, 1, "Felder zufügen / entfernen", Owner::GridEditing, "", "", kSubmenu},
    {102100100, 102100000, 2, "Neu, nach rechts schieben", Owner::GridEditing, "", "", 0},
    {102100200, 102100000, 2, "Neu, nach unten schieben", Owner::GridEditing, "", "", 0},
    {102100300, 102100000, 2, "Löschen, nach links schieben", Owner::GridEditing, "", "", 0},
    {102100400, 102100000, 2, "Löschen, nach oben schieben", Owner::GridEditing, "", "", 0},
    {102100500, 102100000, 2, "Ausschneiden, nach links schieben", Owner::GridEditing, "", "", 0},
    {102100600, 102100000, 2, "Ausschneiden, nach oben schieben", Owner::GridEditing, "", "", 0},
    {102100700, 102100000, 2, "Einfügen, nach rechts schieben", Owner::GridEditing, "", "", 0},
    {102100800, 102100000, 2, "Einfügen, nach unten schieben", Owner::GridEditing, "", "", 0},
    {102110000, 102000000, 1, "Felder bearbeiten", Owner::GridEditing, "", "", kSubmenu},
    {102110100, 102110000, 2, "Text einsetzen", Owner::GridEditing, "", "", 0},
    {102110200, 102110000, 2, "Text herauslöschen", Owner::GridEditing, "", "", 0},
    {102110300, 102110000, 2, "Text an Trennzeichen kürzen", Owner::GridEditing, "", "", 0},
    {102110400, 102110000, 2, "Grossbuchstaben einsetzen", Owner::GridEditing, "", "", 0},
    {102110500, 102110000, 2, "Kleinbuchstaben einsetzen", Owner::GridEditing, "", "", 0},
    {102110600, 102110000, 2, "Erstes Zeichen gross, Rest klein", Owner::GridEditing, "", "", 0},
    {102110700, 102110000, 2, "Doppel aus Liste löschen", Owner::GridEditing, "", "", 0},
    {102110800, 102110000, 2, "Spezialzeichen einsetzen", Owner::GridEditing, "", "", 0},
    {102110900, 102110000, 2, "Datum einsetzen", Owner::GridEditing, "", "DateButton", 0},
    {102111000, 102110000, 2, "Zeit einsetzen", Owner::GridEditing, "", "TimeButton", 0},
    {102111100, 102110000, 2, "Pfadnamen einsetzen", Owner::GridEditing, "", "", 0},
    {102120000, 102000000, 1, "Suchen", Owner::GridEditing, "Ctrl+F", "FindButton", 0},
    {102130000, 102000000, 1, "Ersetzen", Owner::GridEditing, "Ctrl+H", "ReplaceButton", 0},
    {0, 102000000, 1, "Suchtext zählen", Owner::GridEditing, "", "", kNeverRecorded},
    {102140000, 102000000, 1, "Suchtext zurücksetzen", Owner::GridEditing, "", "SuchRueckButton", 0},
    {102150000, 102000000, 1, "Zeile lokalisieren", Owner::GridEditing, "F3", "", 0},
    {102160000, 102000000, 1, "Memo-Editor", Owner::GridEditing, "F4", "MemoButton", 0},
    {102170000, 102000000, 1, "Cursor", Owner::GridEditing, "", "", kSubmenu},
    {102170100, 102170000, 2, "Wechseln Kopfdaten / Arten", Owner::MainWindow, "F7", "WechselButton", 0},
    {102170200, 102170000, 2, "in anderes Datengitter", Owner::MainWindow, "", "", kSubmenu},
    {102170201, 102170200, 3, "Feldnamen (Gitter 1)", Owner::MainWindow, "", "", 0},
    {102170202, 102170200, 3, "Kopfdaten (Gitter 2)", Owner::MainWindow, "", "", 0},
    {102170203, 102170200, 3, "Artnamen (Gitter 3)", Owner::MainWindow, "", "", 0},
    {102170204, 102170200, 3, "Deckungen (Gitter 4)", Owner::MainWindow, "", "", 0},
    {102170300, 102170000, 2, "Begrenzung der Datengitter", Owner::MainWindow, "", "", kSubmenu},
    {102170301, 102170300, 3, "nach rechts", Owner::MainWindow, "", "", 0},
    {102170302, 102170300, 3, "nach links", Owner::MainWindow, "", "", 0},
    {102170303, 102170300, 3, "nach unten", Owner::MainWindow, "", "", 0},
    {102170304, 102170300, 3, "nach oben", Owner::MainWindow, "", "", 0},
    {102170400, 102170000, 2, "Zu Zeile Nr.", Owner::GridEditing, "", "", 0},
    {102170500, 102170000, 2, "Zu Spalte Nr.", Owner::GridEditing, "", "", 0},
    {102170600, 102170000, 2, "Verschieben", Owner::GridEditing, "", "", kSubmenu},
    {102170601, 102170600, 3, "nach rechts", Owner::GridEditing, "", "", 0},
    {102170602, 102170600, 3, "nach links", Owner::GridEditing, "", "", 0},
    {102170603, 102170600, 3, "nach unten", Owner::GridEditing, "", "", 0},
    {102170604, 102170600, 3, "nach oben", Owner::GridEditing, "", "", 0},
    {102170605, 102170600, 3, "Ganz rechts", Owner::GridEditing, "", "", 0},
    {102170606, 102170600, 3, "Ganz links", Owner::GridEditing, "", "", 0},
    {102170607, 102170600, 3, "Seite ab", Owner::GridEditing, "", "", 0},
    {102170608, 102170600, 3, "Seite auf", Owner::GridEditing, "", "", 0},
    {102170700, 102170000, 2, "Nächster Eintrag / Markierung", Owner::GridEditing, "", "", kSubmenu},
    {102170701, 102170700, 3, "links", Owner::GridEditing, "", "LinksButton", 0},
    {102170702, 102170700, 3, "rechts", Owner::GridEditing, "", "RechtsButton", 0},
    {102170703, 102170700, 3, "oben", Owner::GridEditing, "", "ObenButton", 0},
    {102170704, 102170700, 3, "unten", Owner::GridEditing, "", "UntenButton", 0},
    {102170800, 102170000, 2, "Nächster abweichender Eintrag", Owner::GridEditing, "", "", kSubmenu},
    {102170801, 102170800, 3, "links (Shift + Toolbutton)", Owner::GridEditing, "", "", 0},
    {102170802, 102170800, 3, "rechts ( Shift + Toolbutton)", Owner::GridEditing, "", "", 0},
    {102170803, 102170800, 3, "oben (Shift + Toolbutton)", Owner::GridEditing, "", "", 0},
    {102170804, 102170800, 3, "unten (Shift + Toolbutton)", Owner::GridEditing, "", "", 0},
    {102170900, 102170000, 2, "Markierung aufheben", Owner::GridEditing, "", "", 0},
    {102180000, 102000000, 1, "Variable", Owner::Macros, "", "", kSubmenu},
    {102180100, 102180000, 2, "Cursor-Position registrieren", Owner::Macros, "", "", 0},
    {102180200, 102180000, 2, "zu registrierter Position", Owner::Macros, "", "", 0},
    {102180300, 102180000, 2, "Manuell registrieren", Owner::Macros, "", "", 0},
    {102180400, 102180000, 2, "Feldinhalt registrieren", Owner::Macros, "", "", 0},
    {102180500, 102180000, 2, "Inhalt einsetzen", Owner::Macros, "", "", 0},
    {102180600, 102180000, 2, "Anzahl markierte Zl. od. Sp. registrieren", Owner::Macros, "", "", 0},
};

}  // namespace

std::span<const CommandEntry> editMenu() {
    return kEntries;
}

}  // namespace tav::commands
