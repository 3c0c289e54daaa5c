// The menu "Optionen": language, the look of the editor, cover codes, input and output, checks and filters.
// In menu order; depth 0 is the top menu itself.

#include "editor/commands/menus.h"

namespace tav::commands {

namespace {

constexpr CommandEntry kEntries[] = {
    {110000000, 0, 0, "Optionen", Owner::MainWindow, "", "", kSubmenu},
    {110010000, 110000000, 1, "Sprache (Language)", Owner::Settings, "", "", 0},
    {110020000, 110000000, 1, "Editor-Ungebung", Owner::MainWindow, "", "", kSubmenu},
    {0, 110020000, 2, "Schriftarten", Owner::MainWindow, "", "", kSubmenu},
    {110020101, 110020000, 3, "Schriftart Editor", Owner::MainWindow, "", "FontButton", 0},
    {110020102, 110020000, 3, "Schriftart Menüs", Owner::MainWindow, "", "", 0},
    {110020103, 110020000, 3, "Schriftart Listen", Owner::MainWindow, "", "", 0},
    {110020104, 110020000, 3, "Schriften zurücksetzen", Owner::MainWindow, "", "", 0},
    {110020300, 110020000, 2, "Cursor, Bildschirm", Owner::MainWindow, "", "", 0},
    {110020500, 110020000, 2, "Farben im Editor", Owner::MainWindow, "", "", kSubmenu},
    {110020501, 110020500, 3, "Farbe Editor-Gitter", Owner::MainWindow, "", "", 0},
    {110020502, 110020500, 3, "Farbe Randfelder", Owner::MainWindow, "", "", 0},
    {110020503, 110020500, 3, "Farbe Focus", Owner::MainWindow, "", "", 0},
    {110020504, 110020500, 3, "Farbe Markierung", Owner::MainWindow, "", "", 0},
    {110020505, 110020500, 3, "Farben zurücksetzen", Owner::MainWindow, "", "", 0},
    {110020600, 110020000, 2, "Höhe und Breite", Owner::MainWindow, "", "", kSubmenu},
    {110020601, 110020600, 3, "Breite der Randfelder", Owner::MainWindow, "", "", 0},
    {110020602, 110020600, 3, "Spaltenbreite", Owner::MainWindow, "", "", 0},
    {110020603, 110020600, 3, "Zeilenhöhe", Owner::MainWindow, "", "", 0},
    {110020604, 110020600, 3, "Höhe und Breite zurücksetzen", Owner::MainWindow, "", "", 0},
    {110020700, 110020000, 2, "Symbolleiste", Owner::MainWindow, "", "", kSubmenu},
    {110020701, 110020700, 3, "Grösse der Symbole", Owner::MainWindow, "", "", kNeverRecorded},
    {110020702, 110020700, 3, "Inhalt der Symbolleiste", Owner::MainWindow, "", "", 0},
    {110030000, 110000000, 1, "Inhalt der Randfelder", Owner::MainWindow, "", "", 0},
    {110040000, 110000000, 1, "Deckungscodes", Owner::CoverCodes, "", "", kSubmenu},
    {110040100, 110040000, 2, "Deckungscode wählen", Owner::CoverCodes, "", "", 0},
    {110040200, 110040000, 2, "Umrechnungsoptionen", Owner::CoverCodes, "", "", 0},
    {110040300, 110040000, 2, "Deckungscode definieren", Owner::CoverCodes, "", "", 0},
    {110040400, 110040000, 2, "Aktuellen Code editieren", Owner::CoverCodes, "", "", 0},
    {110050000, 110000000, 1, "Dezimalstellen", Owner::Settings, "", "", 0},
    {110060000, 110000000, 1, "Ein- und Ausgabe", Owner::TableFiles, "", "", kSubmenu},
    {110060100, 110060000, 2, "Trennzeichen", Owner::TableFiles, "", "", 0},
    {110060200, 110060000, 2, "Codierung (Tabellen)", Owner::NotImplemented, "", "",
     kNotImplemented | kNeverRecorded},
    {110060300, 110060000, 2, "Codierung (Export)", Owner::TableFiles, "", "", 0},
    {110060400, 110060000, 2, "Inhalte für Export", Owner::TableFiles, "", "", 0},
    {110070000, 110000000, 1, "Datenprüfung", Owner::Validation, "", "", 0},
    {110080000, 110000000, 1, "Schnellsuche", Owner::GridEditing, "", "", kSubmenu},
    {110080100, 110080000, 2, "Schnellsuche einrichten", Owner::GridEditing, "", "", 0},
    {110080200, 110080000, 2, "Schnellsuche (ein/aus)", Owner::GridEditing, "F11", "", kCheckable},
    {110080300, 110080000, 2, "Übersicht gemäss Eingabe (ein/aus)", Owner::GridEditing, "", "", kCheckable},
    {110090000, 110000000, 1, "Eingabefilter", Owner::GridEditing, "", "", kSubmenu},
    {110090100, 110090000, 2, "Setzen", Owner::GridEditing, "", "FiltButton", 0},
    {110090200, 110090000, 2, "Löschen", Owner::GridEditing, "", "", 0},
    {110090300, 110090000, 2, "Eingabefilter (ein/aus)", Owner::GridEditing, "F12", "", kCheckable},
    {110110000, 110000000, 1, "Gitter sperren", Owner::MainWindow, "", "", kSubmenu},
    {110110100, 110110000, 2, "1. Gitter (Feldnamen)", Owner::MainWindow, "", "", kCheckable},
    {110110200, 110110000, 2, "2. Gitter (Kopfdaten)", Owner::MainWindow, "", "", kCheckable},
    {110110300, 110110000, 2, "3. Gitter (Artnamen)", Owner::MainWindow, "", "", kCheckable},
    {110110400, 110110000, 2, "4. Gitter (Deckungen)", Owner::MainWindow, "", "", kCheckable},
};

}  // namespace

std::span<const CommandEntry> optionsMenu() {
    return kEntries;
}

}  // namespace tav::commands
