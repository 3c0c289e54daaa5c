// The command registry: the menu tree as the catalogue, the menus and the macros see it.

#include "editor/command_registry.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <map>
#include <set>
#include <string>

#include "env/catalogue.h"

namespace tav {
namespace {

using commands::allCommands;
using commands::captionPath;
using commands::children;
using commands::find;
using commands::parentOf;

const std::string kCatalogue = std::string(TAVOLEX_SOURCE) + "/data/tavolex.$ms";

Catalogue loadCatalogue() {
    Catalogue c;
    EXPECT_TRUE(c.LoadTexts(kCatalogue).ok());
    return c;
}

// Every caption of the catalogue names a command and every numbered command has a caption there, so
// neither a menu item nor a translation can be lost on the way.
TEST(CommandRegistry, NumbersMatchTheCatalogue) {
    const Catalogue cat = loadCatalogue();
    std::set<std::string> registered;
    for (const CommandEntry& e : allCommands()) {
        if (e.number == 0) continue;
        EXPECT_TRUE(registered.insert(std::to_string(e.number)).second) << "twice: " << e.number;
        EXPECT_EQ(std::to_string(e.number).size(), 9u) << e.number;
    }
    const std::vector<std::string> keys = cat.keys("Mnu");
    ASSERT_FALSE(keys.empty());
    for (const std::string& key : keys) EXPECT_TRUE(registered.count(key)) << "catalogue only: " << key;
    const std::set<std::string> captioned(keys.begin(), keys.end());
    for (const std::string& number : registered)
        EXPECT_TRUE(captioned.count(number)) << "no caption: " << number;
}

TEST(CommandRegistry, TreeIsWhole) {
    std::vector<std::string> tops;
    for (const CommandEntry* e : children(0)) tops.push_back(std::string(e->caption));
    EXPECT_EQ(tops,
              (std::vector<std::string>{"Datei", "Bearbeiten", "Zeilen", "Spalten", "Basisdaten", "Berechnen",
                                        "Arten", "Zeigerwerte", "Module", "Optionen", "Hilfe"}));
    for (const CommandEntry& e : allCommands()) {
        const CommandEntry* p = parentOf(e);
        if (e.depth == 0) {
            EXPECT_EQ(p, nullptr) << e.caption;
            EXPECT_EQ(e.parent, 0) << e.caption;
            continue;
        }
        ASSERT_NE(p, nullptr) << e.number << " " << e.caption;
        EXPECT_TRUE(p->has(kSubmenu)) << e.number << " " << e.caption;
        EXPECT_EQ(p->depth, e.depth - 1) << e.number << " " << e.caption;
        // The parent number is that of the nearest numbered submenu above.
        while (p->number == 0) p = parentOf(*p);
        EXPECT_EQ(e.parent, p->number) << e.number << " " << e.caption;
        if (e.has(kSubmenu)) {
            EXPECT_FALSE(children(e).empty()) << e.number << " " << e.caption;
        }
    }
}

// A submenu without a number sits in the tree like any other: its items are not the numbered submenu's.
TEST(CommandRegistry, SubmenuWithoutNumber) {
    std::vector<std::string> items;
    for (const CommandEntry* e : children(110020000)) items.push_back(std::string(e->caption));
    EXPECT_EQ(items, (std::vector<std::string>{"Schriftarten", "Cursor, Bildschirm", "Farben im Editor",
                                               "Höhe und Breite", "Symbolleiste"}));
    const CommandEntry* font = find(110020101);
    ASSERT_NE(font, nullptr);
    ASSERT_NE(parentOf(*font), nullptr);
    EXPECT_EQ(parentOf(*font)->caption, "Schriftarten");
    EXPECT_EQ(children(*parentOf(*font)).size(), 4u);
    EXPECT_EQ(find(0), nullptr);
    EXPECT_EQ(find(199000000), nullptr);
}

TEST(CommandRegistry, EntriesAsDesigned) {
    struct Case {
        std::int64_t number;
        std::string_view caption, shortcut, button;
        Owner owner;
        unsigned flags;
    };
    const Case cases[] = {
        {101020000, "Neu", "Ctrl+N", "NewButton", Owner::MainWindow, 0},
        {101150000, "Drucken", "Ctrl+P", "", Owner::NotImplemented, kNotImplemented},
        // The paste button pastes; it is not the delete item beside it.
        {102090000, "Einfügen (Ins)", "Ctrl+V", "PasteButton", Owner::GridEditing, 0},
        {102050000, "Löschen (Del)", "", "", Owner::GridEditing, 0},
        {102170100, "Wechseln Kopfdaten / Arten", "F7", "WechselButton", Owner::MainWindow, 0},
        {102170703, "oben", "", "ObenButton", Owner::GridEditing, 0},
        {103010100, "davor", "Ctrl+I", "", Owner::GridEditing, 0},
        {103050104, "Einzelbereich anwählen", "Ctrl+Shift+F8", "", Owner::GridEditing, 0},
        {103050800, "Ueberzählige Zeilenköpfe", "", "", Owner::Marking, 0},
        {103060800, "Datenbankfilter behalten (ein/aus)", "", "", Owner::NameOperations,
         kCheckable | kNeverRecorded},
        {103100900, "kategorienweise transponieren", "", "", Owner::Unspecified, 0},
        {104020102, "Bereich anwählen", "Shift+F9", "", Owner::GridEditing, 0},
        {105050100, "Zeilen", "Ctrl+D", "PruefButton", Owner::Validation, 0},
        {107010100, "Artenlisten in die Kopfdaten", "", "", Owner::GridEditing, 0},
        {107050100, "Arten in akt. Spalte anzeigen", "F5", "UeberButton", Owner::GridEditing, 0},
        {107060100, "setzen", "F6", "ZusatzButton", Owner::NameOperations, 0},
        {109050500, "Karte anzeigen", "", "MapButton", Owner::Maps, 0},
        {109060400, "2 Raster paarweise auswerten", "", "", Owner::NotImplemented, kNotImplemented},
        {109060700, "Import", "", "", Owner::Unspecified, kSubmenu},
        {109110300, "Funktion aus Zwischenablage ausführen", "Ctrl+E", "ClipButton", Owner::External, 0},
        {110020000, "Editor-Ungebung", "", "", Owner::MainWindow, kSubmenu},
        {110020101, "Schriftart Editor", "", "FontButton", Owner::MainWindow, 0},
        {110090300, "Eingabefilter (ein/aus)", "F12", "", Owner::GridEditing, kCheckable},
        {110110400, "4. Gitter (Deckungen)", "", "", Owner::MainWindow, kCheckable},
        {111010000, "? TAVOLEX-Hilfe", "F1", "HelpButton", Owner::Catalogue, 0},
    };
    for (const Case& c : cases) {
        const CommandEntry* e = find(c.number);
        ASSERT_NE(e, nullptr) << c.number;
        EXPECT_EQ(e->caption, c.caption) << c.number;
        EXPECT_EQ(e->shortcut, c.shortcut) << c.number;
        EXPECT_EQ(e->button, c.button) << c.number;
        EXPECT_EQ(e->owner, c.owner) << c.number;
        EXPECT_EQ(e->flags, c.flags) << c.number;
    }
    // A key or a button that ran two commands would run whichever the front end happened to bind last.
    std::map<std::string_view, std::int64_t> keys, buttons;
    for (const CommandEntry& e : allCommands()) {
        if (!e.shortcut.empty()) {
            EXPECT_TRUE(keys.emplace(e.shortcut, e.number).second) << e.shortcut;
        }
        if (!e.button.empty()) {
            EXPECT_TRUE(buttons.emplace(e.button, e.number).second) << e.button;
        }
    }
}

// A tool button's hint is the catalogue's hint of its command, so the paste button must not show
// the hint that sits under "Löschen (Del)".
TEST(CommandRegistry, ButtonHintsComeFromTheirCommand) {
    const Catalogue cat = loadCatalogue();
    const CommandEntry* paste = find(102090000);
    ASSERT_NE(paste, nullptr);
    EXPECT_EQ(paste->button, "PasteButton");
    EXPECT_EQ(cat.GetHintText(102090000), "Einfügen");
    EXPECT_NE(cat.GetHintText(102050000), "Einfügen");
}

TEST(CommandRegistry, CaptionPathInTheCataloguesLanguage) {
    Catalogue cat = loadCatalogue();
    const CommandEntry* deep = find(101140401);
    const CommandEntry* font = find(110020101);
    ASSERT_TRUE(deep && font);
    EXPECT_EQ(captionPath(*deep, cat),
              "Datei;Dateien;(Grosse) Textdatei bearbeiten;Zeilenköpfe aus Editor einsetzen (normal)");
    cat.setLanguage(Language::E);
    EXPECT_EQ(captionPath(*deep, cat),
              "File;Files;Edit (large) text file;Insert row names from editor (normal)");
    // The submenu without a number has no catalogue text and keeps its German caption.
    EXPECT_EQ(captionPath(*font, cat), "Options;Editor environment;Schriftarten;Editor font");
    // Without a catalogue every entry shows its design caption.
    EXPECT_EQ(captionPath(*font, Catalogue()), "Optionen;Editor-Ungebung;Schriftarten;Schriftart Editor");
}

// Every on/off item shows its state; the items that never record are the listings, display and
// recording settings, and edits of files beside the table.
TEST(CommandRegistry, Flags) {
    std::vector<std::string> neverRecorded;
    for (const CommandEntry& e : allCommands()) {
        if (std::string_view(e.caption).find("(ein/aus)") != std::string_view::npos) {
            EXPECT_TRUE(e.has(kCheckable)) << e.caption;
        }
        if (e.has(kNeverRecorded)) neverRecorded.emplace_back(e.caption);
        EXPECT_FALSE(e.has(kSubmenu) && e.has(kCheckable)) << e.caption;
    }
    EXPECT_EQ(neverRecorded.size(), 26u);
    for (const char* c :
         {"Liste leeren", "Aufzeichnen (ein/aus)", "Biplot", "Vorlage setzen", "Codierung (Tabellen)"})
        EXPECT_NE(std::find(neverRecorded.begin(), neverRecorded.end(), c), neverRecorded.end()) << c;
}

}  // namespace
}  // namespace tav
