// The menu "Module": the databases, pictures, graphics and maps, raster data, recording, macros, external
// statistics and SQL.
// In menu order; depth 0 is the top menu itself.

#include "editor/commands/menus.h"

namespace tav::commands {

namespace {

constexpr CommandEntry kEntries[] = {
    {109000000, 0, 0, "Module", Owner::MainWindow, "", "", kSubmenu},
    {109010000, 109000000, 1, "Datenbank Arten", Owner::SpeciesDb, "", "", kSubmenu},
    {109010100, 109010000, 2, "Benützen", Owner::SpeciesDb, "", "", 0},
    {109010200, 109010000, 2, "Artenliste wählen / neu", Owner::SpeciesDb, "", "", 0},
    {109010300, 109010000, 2, "Neue Artenliste aus Textfile erzeugen", Owner::SpeciesDb, "", "",
     kNeverRecorded},
    {109010400, 109010000, 2, "Systematik wählen", Owner::SpeciesDb, "", "", 0},
    {109010500, 109010000, 2, "Zeigerwerte wählen", Owner::Indicators, "", "", 0},
    {109010600, 109010000, 2, "Zeigerwert-Dateien zusammenlegen", Owner::Indicators, "", "", 0},
    {109010700, 109010000, 2, "Artenliste löschen", Owner::NotImplemented, "", "", kNotImplemented},
    {0, 109010000, 2, "Synonyme überprüfen", Owner::SpeciesDb, "", "", kNeverRecorded},
    {0, 109010000, 2, "AggrList -> InclRel", Owner::SpeciesDb, "", "", kNeverRecorded},
    {0, 109010000, 2, "InclRel -> AggrList", Owner::SpeciesDb, "", "", kNeverRecorded},
    {109020000, 109000000, 1, "Datenbank Angaben", Owner::Validation, "", "", kSubmenu},
    {109020100, 109020000, 2, "Angaben wählen", Owner::Validation, "", "", 0},
    {109020200, 109020000, 2, "Angaben prüfen und speichern", Owner::Validation, "", "", 0},
    {0, 109020000, 2, "Editor --> Vorlage in den Angaben", Owner::Validation, "", "", kNeverRecorded},
    {0, 109020000, 2, "Vorlage in den Angaben ---> Editor", Owner::Validation, "", "", kNeverRecorded},
    {0, 109020000, 2, "Vorlage setzen", Owner::Validation, "", "", kNeverRecorded},
    {0, 109020000, 2, "Vorlage jedesmal erfragen (ein/aus)", Owner::Validation, "", "",
     kCheckable | kNeverRecorded},
    {109030000, 109000000, 1, "Datenbank Aufnahmen", Owner::ReleveDb, "", "", kSubmenu},
    {109030100, 109030000, 2, "Benützen", Owner::ReleveDb, "", "", 0},
    {109030200, 109030000, 2, "Datenmenge wählen / neu", Owner::ReleveDb, "", "", 0},
    {109030300, 109030000, 2, "Datenmenge löschen", Owner::NotImplemented, "", "", kNotImplemented},
    {109040000, 109000000, 1, "Bilder", Owner::Unspecified, "", "", kSubmenu},
    {109040100, 109040000, 2, "Bild anzeigen", Owner::Unspecified, "", "ImageButton", 0},
    {109040200, 109040000, 2, "Bildersammlung wählen", Owner::Unspecified, "", "", 0},
    {109040300, 109040000, 2, "Kompilieren und speichern", Owner::Unspecified, "", "", 0},
    {109050000, 109000000, 1, "Grafik, Karten", Owner::Unspecified, "", "", kSubmenu},
    {109050100, 109050000, 2, "Streudiagramm", Owner::Unspecified, "", "ScatterButton", 0},
    {109050200, 109050000, 2, "Liniendiagramm", Owner::Unspecified, "", "GraphButton", 0},
    {109050300, 109050000, 2, "Biplot", Owner::Unspecified, "", "BiplotButton", kNeverRecorded},
    {109050500, 109050000, 2, "Karte anzeigen", Owner::Maps, "", "MapButton", 0},
    {109050600, 109050000, 2, "Karte wählen", Owner::Maps, "", "", 0},
    {109050700, 109050000, 2, "Linienkarte (id X Y) importieren", Owner::Unspecified, "", "", 0},
    {109050800, 109050000, 2, "Variablen-Zuordungen löschen", Owner::Unspecified, "", "", kNeverRecorded},
    {109050900, 109050000, 2, "Alle Grafik-Einstellungen zurücksetzen", Owner::Unspecified, "", "",
     kNeverRecorded},
    {109060000, 109000000, 1, "Rasterdaten", Owner::Raster, "", "", kSubmenu},
    {109060100, 109060000, 2, "Werte abrufen (zu Koordinaten im Editor)", Owner::Raster, "", "", 0},
    {109060200, 109060000, 2, "Raster generalisieren (X,Y)", Owner::Unspecified, "", "", 0},
    {109060300, 109060000, 2, "Raster auswerten, transformieren", Owner::Unspecified, "", "", 0},
    {109060400, 109060000, 2, "2 Raster paarweise auswerten", Owner::NotImplemented, "", "", kNotImplemented},
    {109060500, 109060000, 2, "Mehrere Raster zusammenlegen", Owner::Unspecified, "", "", 0},
    {109060600, 109060000, 2, "Raster aufteilen", Owner::Unspecified, "", "", 0},
    {109060700, 109060000, 2, "Import", Owner::Unspecified, "", "", kSubmenu},
    {109060702, 109060700, 3, "Import aus XY-Format", Owner::Unspecified, "", "", 0},
    {109060701, 109060700, 3, "Import aus Bitmap (*.BMP)", Owner::Unspecified, "", "", 0},
    {109060800, 109060000, 2, "Export", Owner::Unspecified, "", "", kSubmenu},
    {109060802, 109060800, 3, "Export nach XY-Format", Owner::Unspecified, "", "", 0},
    {109060801, 109060800, 3, "Export nach Bitmap (*.BMP)", Owner::Unspecified, "", "", 0},
    {109060900, 109060000, 2, "Header erzeugen / editieren", Owner::Unspecified, "", "", 0},
    {109061000, 109060000, 2, "Grid erzeugen", Owner::Unspecified, "", "", 0},
    {109090000, 109000000, 1, "Aufzeichnung", Owner::Macros, "", "", kSubmenu},
    {109090100, 109090000, 2, "Aufzeichnen (ein/aus)", Owner::Macros, "", "", kCheckable | kNeverRecorded},
    {109090200, 109090000, 2, "Liste leeren", Owner::Macros, "", "", kNeverRecorded},
    {109090300, 109090000, 2, "Gespeicherte Aufzeichnungen laden", Owner::Macros, "", "", 0},
    {109090400, 109090000, 2, "Anweisungsnummern anzeigen (ein/aus)", Owner::Macros, "", "",
     kCheckable | kNeverRecorded},
    {109100000, 109000000, 1, "Makros", Owner::Macros, "", "", kSubmenu},
    {109100100, 109100000, 2, "Makro ausführen", Owner::Macros, "", "MacroButton", 0},
    {109100200, 109100000, 2, "Makrosammlung wählen", Owner::Macros, "", "", 0},
    {109100300, 109100000, 2, "Schrittweise ausführen", Owner::Macros, "", "", 0},
    {109100400, 109100000, 2, "Auf mehrere Dateien anwenden", Owner::Macros, "", "", 0},
    {109100500, 109100000, 2, "Prüfen und speichern", Owner::Macros, "", "", 0},
    {109110000, 109000000, 1, "Externe Statistik-Funktionen", Owner::External, "", "", kSubmenu},
    {109110100, 109110000, 2, "Funktion ausführen", Owner::External, "", "ExternButton", 0},
    {109110200, 109110000, 2, "Funktion kategorienweise ausführen", Owner::External, "", "", 0},
    {109110300, 109110000, 2, "Funktion aus Zwischenablage ausführen", Owner::External, "Ctrl+E",
     "ClipButton", 0},
    {109110400, 109110000, 2, "Zwischenablage kategorienweise ausführen", Owner::External, "", "", 0},
    {109110500, 109110000, 2, "Resultate anzeigen", Owner::External, "", "", 0},
    {109110600, 109110000, 2, "Resultate einsetzen", Owner::External, "", "", 0},
    {109110700, 109110000, 2, "Funktionen einrichten", Owner::External, "", "", 0},
    {109110800, 109110000, 2, "Funktionensammlung Prüfen und speichern", Owner::External, "", "", 0},
    {0, 109000000, 1, "Externe Datenbanken", Owner::Sql, "", "", kSubmenu},
    {0, 109000000, 2, "SQL aus akt. Tabelle erzeugen", Owner::Sql, "", "", kNeverRecorded},
    {0, 109000000, 2, "Platzhalter aus akt. Tabelle einsetzen", Owner::Sql, "", "", kNeverRecorded},
    {0, 109000000, 2, "Mehrere SQLs verketten", Owner::Sql, "", "", kNeverRecorded},
    {0, 109000000, 2, "Leere Zl, Sp, Blanks aus Textfiles entfernen", Owner::TableFiles, "", "",
     kNeverRecorded},
};

}  // namespace

std::span<const CommandEntry> modulesMenu() {
    return kEntries;
}

}  // namespace tav::commands
