// The menu "Basisdaten": looking up names and header values, data checks and the taxonomy of the species
// rows. In menu order; depth 0 is the top menu itself.

#include "editor/commands/menus.h"

namespace tav::commands {

namespace {

constexpr CommandEntry kEntries[] = {
    {105000000, 0, 0, "Basisdaten", Owner::MainWindow, "", "", kSubmenu},
    {105010000, 105000000, 1, "Nachschlagen", Owner::NameOperations, "Ctrl+Q", "NachschlagenButton", 0},
    {105020000, 105000000, 1, "Datensatz-Nr / Systematik-Nr suchen", Owner::NameOperations, "", "", 0},
    {105030000, 105000000, 1, "Familie / Trivialnamen / Info suchen", Owner::NameOperations, "", "",
     kSubmenu},
    {105030100, 105030000, 2, "Wortanfang", Owner::NameOperations, "", "", 0},
    {105030200, 105030000, 2, "Im Wort", Owner::NameOperations, "", "", 0},
    {105040000, 105000000, 1, "Stammdatensatz anzeigen", Owner::NameOperations, "", "", 0},
    {105050000, 105000000, 1, "Daten prüfen", Owner::Validation, "", "", kSubmenu},
    {105050100, 105050000, 2, "Zeilen", Owner::Validation, "Ctrl+D", "PruefButton", 0},
    {105050200, 105050000, 2, "Spalten", Owner::Validation, "", "", 0},
    {105050300, 105050000, 2, "Liste der Fehler im akt. Gitter", Owner::Validation, "", "", 0},
    {105050400, 105050000, 2, "Vollständige Fehlerliste (alle Gitter)", Owner::Validation, "", "", 0},
    {105060000, 105000000, 1, "Synonymie", Owner::NameOperations, "", "", kSubmenu},
    {105060100, 105060000, 2, "Synonymliste anzeigen", Owner::NameOperations, "", "", 0},
    {105060200, 105060000, 2, "Aggregat(e) anzeigen", Owner::NameOperations, "", "", 0},
    {105070000, 105000000, 1, "Taxa bereinigen", Owner::NameOperations, "", "", kSubmenu},
    {105070100, 105070000, 2, "Systematik wählen", Owner::NameOperations, "", "", 0},
    {105070200, 105070000, 2, "Nomenklatur anpassen", Owner::NameOperations, "", "", 0},
    {105070300, 105070000, 2, "Eingeschlossene Taxa ersetzen", Owner::NameOperations, "", "", 0},
    {105070400, 105070000, 2, "Aggregate einsetzen", Owner::NameOperations, "", "", 0},
    {0, 105070000, 2, "bei /cf. Übergeordnetes einsetzen", Owner::NameOperations, "", "", 0},
    {105070500, 105070000, 2, "Namen gemäss Datei ersetzen", Owner::NameOperations, "", "", 0},
    {105070600, 105070000, 2, "Gemäss Datei zusammenfassen", Owner::NameOperations, "", "", 0},
    {105080000, 105000000, 1, "Code / Triv. / Info statt Artnamen einsetzen", Owner::NameOperations, "", "",
     0},
    {105090000, 105000000, 1, "Artnamen für Code / Triv. / Info einsetzen", Owner::NameOperations, "", "", 0},
    {105100000, 105000000, 1, "Autoren entfernen", Owner::NameOperations, "", "", 0},
    {105110000, 105000000, 1, "Autoren ergänzen", Owner::NameOperations, "", "", 0},
    {105120000, 105000000, 1, "Kürzel für Artnamen", Owner::NameOperations, "", "", 0},
    {105130000, 105000000, 1, "Lateinische Namen einfügen", Owner::NameOperations, "", "", 0},
    {105140000, 105000000, 1, "Arten gem. Familie / Triv. / Info einfügen", Owner::NameOperations, "", "", 0},
};

}  // namespace

std::span<const CommandEntry> baseDataMenu() {
    return kEntries;
}

}  // namespace tav::commands
