// The species list of a releve, of the marked releves and of the table; the entry order it can follow;
// the input filter of name lookups.

#include "editor/releve_taxa.h"

#include <gtest/gtest.h>

#include "editor/grid_control.h"
#include "editor/margins.h"
#include "support/editor_fixture.h"

namespace tav {
namespace {

struct Editor : testing::EditorFixture {
    Editor() { openSample("dune.tab"); }
};

TEST(SpeciesList, OfTheReleveTheMarkedOnesAndTheTable) {
    Editor e;
    setCursor(e.session, 4, 'N', 'N', false, false, 0, 0);
    SpeciesList list = speciesList(e.session);
    EXPECT_EQ(list.caption, "Arten in der Aufnahme");
    EXPECT_EQ(list.lines,
              (std::vector<std::string>{"Art;Deckung", "Achillea millefolium;1", "Elymus repens;4",
                                        "Lolium perenne;7", "Poa pratensis;4", "Poa trivialis;2"}));
    // The contents chosen as a macro does: frequency, frequency in the selection, constancy (the
    // frequencies count valid covers: Agrostis has an "8" and a "7").
    ASSERT_TRUE(e.run("ARTEN ARTEN*AUFLISTEN INHALTE*FÜR;#11010000").ok());
    markClick(e.session, 4, false, 17, kNoModifier);
    markClick(e.session, 4, false, 19, kCtrl);
    list = speciesList(e.session);
    EXPECT_EQ(list.caption, "Arten in den ausgewählten Aufnahmen");
    ASSERT_EQ(list.lines.size(), 15u);
    EXPECT_EQ(list.lines[0], "Art;Frequenz;Freq. Auswahl;Stetigkeit");
    EXPECT_EQ(list.lines[1], "Agrostis stolonifera;8;1;40%");
    // The scores a species row keeps in its margin.
    e.session.buffer().WriteP('A', 'S', "0 1.5", 1);
    ASSERT_TRUE(e.run("ARTEN ARTEN*AUFLISTEN INHALTE*FÜR;#00000001").ok());
    EXPECT_EQ(speciesList(e.session).lines[1], "Agrostis stolonifera;0 1.5");
    // From a name grid: the whole table.
    ASSERT_TRUE(e.run("BEARB CURSOR MARKIERUNG;;ARTEN ARTEN*AUFLISTEN INHALTE*ZURÜCK;").ok());
    setCursor(e.session, 3, 'N', 'N', false, false, 0, 0);
    list = speciesList(e.session);
    EXPECT_EQ(list.caption, "Arten in der Tabelle");
    EXPECT_EQ(list.lines.size(), 31u);
}

TEST(SpeciesList, TheEnteredSpeciesComeFirstInTheirOrder) {
    Editor e;
    e.session.settings().Diversa.UeberEingabe = 1;
    for (const int row : {19, 11}) {  // Poa trivialis, then Elymus repens
        setCursor(e.session, 4, 'N', 'N', false, false, 0, row);
        typeText(e.session, "3");
        moveCursor(e.session, CursorKey::Down);
    }
    EXPECT_EQ(e.session.entryList.names, (std::vector<std::string>{"Poa trivialis;1", "Elymus repens;2"}));
    setCursor(e.session, 4, 'N', 'N', false, false, 0, 0);
    const SpeciesList list = speciesList(e.session);
    EXPECT_EQ(list.lines,
              (std::vector<std::string>{"Art;Deckung", "Poa trivialis;3", "Elymus repens;3",
                                        "Achillea millefolium;1", "Lolium perenne;7", "Poa pratensis;4"}));
    // Another releve starts the list over.
    setCursor(e.session, 4, 'N', 'N', false, false, 1, 0);
    typeText(e.session, "+");
    moveCursor(e.session, CursorKey::Down);
    EXPECT_EQ(e.session.entryList.names, std::vector<std::string>{"Achillea millefolium;1"});
}

TEST(SpeciesList, TheInputFilterNarrowsTheLookups) {
    Editor e;
    ASSERT_TRUE(e.run("OPTIONEN EINGABEFILTER SETZEN;+").ok());  // no species database
    EXPECT_EQ(e.lastMessage(), "Keine Artenliste aktiv");
    ASSERT_TRUE(e.session.useSpeciesDb(std::string(TAVOLEX_SAMPLES) + "/arten.adb", false).ok());
    const std::size_t all = e.session.lookupSpecies("Poa").size();
    ASSERT_GT(all, 1u);
    testing::writeBytes(e.dir.file("filter.tab"), "T;Ort;;1\r\nA;Poa trivialis;;+\r\nA;Unbekannt;;1\r\n");
    ASSERT_TRUE(e.run("OPTIONEN EINGABEFILTER SETZEN;" + e.dir.file("filter.tab")).ok());
    EXPECT_TRUE(e.session.inputFilterOn);
    EXPECT_EQ(e.session.inputFilter.Count(), 1);
    const std::vector<SpeciesMatch> found = e.session.lookupSpecies("Poa");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front().name.rfind("Poa trivialis", 0), 0u);
    ASSERT_TRUE(e.run("OPTIONEN EINGABEFILTER EINGABEFILTER;").ok());  // off
    EXPECT_EQ(e.session.lookupSpecies("Poa").size(), all);
    // Without a filter set the switch reads one first, and is on when that worked.
    ASSERT_TRUE(e.run("OPTIONEN EINGABEFILTER LÖSCHEN;").ok());
    ASSERT_TRUE(e.run("OPTIONEN EINGABEFILTER EINGABEFILTER;" + e.dir.file("filter.tab")).ok());
    EXPECT_TRUE(e.session.inputFilterOn);
    EXPECT_EQ(e.session.lookupSpecies("Poa").size(), 1u);
}

TEST(SpeciesList, IntoTheHeaderAndIntoTheMargin) {
    Editor e;
    const std::string original = e.savedTable();
    ASSERT_TRUE(e.run("ARTEN ARTEN*AUFLISTEN ARTENLISTEN;").ok());
    const int row = e.session.buffer().GetRowCount('K') - 1;
    EXPECT_EQ(e.session.buffer().GetZl('K', row), "Artenliste");
    EXPECT_EQ(e.session.buffer().Get('K', 0, row),
              "Achillea millefolium, Elymus repens, Lolium perenne, Poa pratensis, Poa trivialis");
    ASSERT_TRUE(e.run("BEARB RÜCK;").ok());
    EXPECT_EQ(e.savedTable(), original);
    // The chosen contents in the species margin instead of the statistics, until they are reset.
    auto& m = e.session.settings().EditorMargin;
    m = {};
    m.ZahlFreq = true;
    ASSERT_TRUE(
        e.run("ARTEN ARTEN*AUFLISTEN INHALTE*FÜR;#10010000;ARTEN ARTEN*AUFLISTEN INHALTE*RANDSPALTE;").ok());
    EXPECT_EQ(speciesMargin(e.session, 18), "14  70%");
    ASSERT_TRUE(e.run("ARTEN ARTEN*AUFLISTEN INHALTE*ZURÜCK;").ok());
    EXPECT_EQ(speciesMargin(e.session, 18), "(14)");
}

}  // namespace
}  // namespace tav
