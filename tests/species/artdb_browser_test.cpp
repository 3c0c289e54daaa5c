#include "species/artdb_browser.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/file_io.h"
#include "platform/script_ui.h"
#include "support/artdb_fixture.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::messageTexts;
using testing::readBytes;
using testing::speciesListText;
using testing::SpeciesRecord;
using testing::TempDir;
using testing::writeBytes;

// One synonym group (3 with its synonym 4), one aggregate (5 with 6 and 7), a record without family,
// and a taxon number (1000) whose text would sort before the others.
std::string speciesList() {
    return speciesListText(
        "Artenliste\tBrowser",
        {
            SpeciesRecord("2", "Carex", "flava", "L.", "Cyperaceae", "102"),
            SpeciesRecord("1", "Carex", "nigra", "(L.) Reichard", "Cyperaceae", "101"),
            SpeciesRecord("3", "Agrostis", "stolonifera", "L.", "Poaceae", "201"),
            SpeciesRecord("4", "Agrostis", "alba", "auct.", "Poaceae", "202").synonymOf("201").status("S"),
            SpeciesRecord("5", "Achillea", "millefolium", "agg.", "Asteraceae", "301")
                .status("Z")
                .members("302,303"),
            SpeciesRecord("6", "Achillea", "millefolium", "L.", "Asteraceae", "302").status("E"),
            SpeciesRecord("7", "Achillea", "collina", "Becker", "Asteraceae", "303").status("E"),
            SpeciesRecord("8", "Betula", "pendula", "Müller", "", "1000"),
        });
}

struct SpeciesBrowserTest : ::testing::Test {
    TempDir dir;
    ScriptUi ui;
    std::string dbFile = dir.file("arten.adb");

    TArtDb imported() {
        writeBytes(dir.file("liste.txt"), speciesList());
        TArtDb db(dbFile, {}, ui);
        const Status s = db.ImportTable(dir.file("liste.txt"), U'\t', noProgress());
        EXPECT_TRUE(s.ok());
        EXPECT_EQ(messageTexts(s), std::vector<std::string>{});
        return TArtDb(dbFile, {}, ui);
    }

    // Indicator list 1: L for three species, F missing for Carex flava.
    void importIndicators(TArtDb& db) {
        writeBytes(dir.file("zw.txt"),
                   "Zeigerwerte Test\r\nArt s 60 t r\tL i 0 f f\tF i 0 f f\tBem s 10 f f\r\n"
                   "Carex nigra\t8\t9\tnass\r\nCarex flava\t7\t\t\r\nAgrostis stolonifera\t8\t6\tfrisch\r\n");
        const Status s = db.ImportZw(dir.file("zw.txt"), U'\t', noProgress(), false);
        ASSERT_TRUE(s.ok());
        ASSERT_EQ(messageTexts(s), std::vector<std::string>{});
        ASSERT_EQ(db.SQLzw().count(), 3);
    }

    static std::vector<int> shownKeys(const TArtDb& db) {
        std::vector<int> keys;
        for (int row : sortedRows(db, {}))
            keys.push_back(static_cast<int>(db.SQLarten().integer(row, art::kPrim).value_or(-1)));
        return keys;
    }
};

TEST(SpeciesBrowserGuard, InsertsAGuardBeforeEveryComparison) {
    const struct {
        const char* condition;
        const char* guarded;
    } cases[] = {
        {"Genus = 'Carex'", "Genus <> '' and Genus = 'Carex'"},
        {"Genus = \"Carex\" AND  Familie <> \"Poaceae\"",
         "Genus <> '' and Genus = 'Carex' AND Familie <> '' and Familie <> 'Poaceae'"},
        {"a = 1 or b < 2 Xor c >= 3", "a <> '' and a = 1 or b <> '' and b < 2 Xor c <> '' and c >= 3"},
        // "band" and "Order" are field names, not joiners.
        {"band = 1 and Order = 2", "band <> '' and band = 1 and Order <> '' and Order = 2"},
        {"  ", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(guardCondition(c.condition), c.guarded) << c.condition;
}

TEST_F(SpeciesBrowserTest, BasicFilterIsGuardedAndRefusesBadConditions) {
    TArtDb db = imported();
    const struct {
        const char* condition;
        std::vector<int> keys;
    } cases[] = {
        // The guard keeps the record without family out of an "is not" comparison.
        {"Familie <> 'Poaceae'", {1, 2, 5, 6, 7}},
        {"Genus = \"Carex\" or Sys01 > 400", {1, 2, 8}},
        {"Species = 'millefolium' and Autor = 'agg.'", {5}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(filterByBasics(db, c.condition)) << c.condition;
        EXPECT_EQ(shownKeys(db), c.keys) << c.condition;
    }
    const Status refused = filterByBasics(db, "Genus = ");
    EXPECT_FALSE(refused.ok());
    ASSERT_EQ(refused.messages().size(), 1u);
    EXPECT_EQ(refused.messages()[0].severity(), Severity::Info);
    EXPECT_EQ(refused.messages()[0].plain(), "Fehler in Filterausdruck");
    EXPECT_TRUE(ui.messages().empty());   // returned, never shown as well
    EXPECT_EQ(shownKeys(db).size(), 8u);  // no filter left
}

TEST_F(SpeciesBrowserTest, IndicatorFilterMarksSpeciesAndCombinesWithThePreviousFilter) {
    TArtDb db = imported();
    importIndicators(db);
    const int scratch = db.SQLarten().fieldIndex("ResField");

    ASSERT_TRUE(filterByIndicators(db, "L = 8", false));
    EXPECT_EQ(shownKeys(db), (std::vector<int>{1, 3}));
    EXPECT_EQ(db.SQLarten().text(db.SQLarten().rowOfKey(3), scratch), "1");
    EXPECT_EQ(db.SQLarten().text(db.SQLarten().rowOfKey(2), scratch), "");

    // A text comparison: the guard keeps Carex flava (no remark) out of "<>".
    ASSERT_TRUE(filterByIndicators(db, "Bem <> 'nass'", false));
    EXPECT_EQ(shownKeys(db), (std::vector<int>{3}));

    // Additionally: only what the previous filter showed and the new condition selects.
    ASSERT_TRUE(filterByBasics(db, "Genus = 'Carex'"));
    ASSERT_TRUE(filterByIndicators(db, "L > 6", true));
    EXPECT_EQ(shownKeys(db), (std::vector<int>{1, 2}));
    ASSERT_TRUE(filterByIndicators(db, "F = 9", true));
    EXPECT_EQ(shownKeys(db), (std::vector<int>{1}));
    // Replacing instead: Agrostis comes back.
    ASSERT_TRUE(filterByIndicators(db, "L = 8", false));
    EXPECT_EQ(shownKeys(db), (std::vector<int>{1, 3}));

    EXPECT_EQ(messageTexts(filterByIndicators(db, "Unbekannt = 1", false)),
              std::vector<std::string>{"Fehler in Filterausdruck"});
    EXPECT_FALSE(db.SQLzw().hasFilter());

    clearFilters(db);
    EXPECT_FALSE(db.SQLarten().hasFilter());
    EXPECT_EQ(shownKeys(db).size(), 8u);
}

TEST_F(SpeciesBrowserTest, FilterStepOffersTheChosenFieldsForEditing) {
    TArtDb db = imported();
    importIndicators(db);
    // Genus and Sys01 of the species table (list lines 1 and 15), then the edited condition (a text
    // answer cannot hold quotes, so it compares numbers).
    for (const char* t : {"1,15", "Sys01 < 200"}) ui.addToken(t);
    ASSERT_TRUE(filterByChosenFields(db, ui, 'B'));
    EXPECT_EQ(ui.lastDialog().caption, "Filter setzen");
    EXPECT_EQ(ui.lastDialog().initial, "Genus = .. and Sys01 = ..");
    EXPECT_EQ(shownKeys(db), (std::vector<int>{1, 2}));
    // An indicator field, additionally to the filter above.
    for (const char* t : {"1", "L = 8"}) ui.addToken(t);
    ASSERT_TRUE(filterByChosenFields(db, ui, '+'));
    EXPECT_EQ(ui.lastDialog().initial, "L = ..");
    EXPECT_EQ(shownKeys(db), (std::vector<int>{1}));
    // A cancelled edit keeps the filter as it was.
    ui.addToken("1");
    EXPECT_TRUE(filterByChosenFields(db, ui, 'Z'));
    EXPECT_EQ(ui.cancelledDialogs().back(), "Filter setzen");
    EXPECT_EQ(shownKeys(db), (std::vector<int>{1}));
}

TEST_F(SpeciesBrowserTest, DeletingAnIndicatorListKeepsTheOpenOne) {
    TArtDb db = imported();
    importIndicators(db);  // list 1
    ui.addToken("3");
    ASSERT_TRUE(db.ImportZw(dir.file("zw.txt"), U'\t', noProgress(), true));  // list 3, now the open one
    const std::string first = replaceExtension(dbFile, ".z1"), third = replaceExtension(dbFile, ".z3");
    ASSERT_EQ(db.GetZwNames().size(), 2u);

    ui.addToken("2");  // the open list 3
    EXPECT_EQ(messageTexts(deleteIndicatorList(db, ui)),
              std::vector<std::string>{third + " ist geöffnet. Ich kann die Datenmenge nicht löschen."});
    for (const char* t : {"1", "N"}) ui.addToken(t);
    EXPECT_TRUE(deleteIndicatorList(db, ui));
    EXPECT_EQ(ui.lastDialog().caption, "Datenmenge " + first + " wirklich löschen?");
    EXPECT_TRUE(fileExists(first));
    for (const char* t : {"1", "Y"}) ui.addToken(t);
    EXPECT_TRUE(deleteIndicatorList(db, ui));
    EXPECT_FALSE(fileExists(first));
    EXPECT_TRUE(fileExists(third));
    const std::vector<std::string> left = db.GetZwNames();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].rfind("ZW03", 0), 0u);
    EXPECT_EQ(ui.tokensLeft(), 0u);
}

TEST_F(SpeciesBrowserTest, BasicDataOfTheShownSpeciesCountEachAcceptedNameOnce) {
    TArtDb db = imported();
    // The synonym Agrostis alba stands for Agrostis stolonifera, which is shown too.
    ASSERT_TRUE(filterByBasics(db, "Genus = 'Agrostis' or Genus = 'Betula'"));
    EXPECT_EQ(listBasics(db, {art::kFamilie, art::kSys01}),
              (std::vector<std::string>{"Art;Familie;Sys01", "Agrostis stolonifera L.;Poaceae;201",
                                        "Betula pendula Müller;;1000"}));
    clearFilters(db);
    EXPECT_EQ(summariseBasics(db, {art::kFamilie}),
              (std::vector<std::string>{"Feld;Wert;Anzahl Arten", "Familie;Asteraceae;3",
                                        "Familie;Cyperaceae;2", "Familie;(leer);1", "Familie;Poaceae;1"}));
}

TEST_F(SpeciesBrowserTest, ExportWritesHeaderAndShownRecordsInTheChosenEncoding) {
    TArtDb db = imported();
    ASSERT_TRUE(filterByBasics(db, "Genus = 'Betula' or Genus = 'Carex'"));
    const std::string text = "Prim;Genus;Autor\r\n1;Carex;(L.) Reichard\r\n2;Carex;L.\r\n8;Betula;Müller\r\n";
    const struct {
        ExportEncoding enc;
        std::string bytes;
    } cases[] = {
        {ExportEncoding::Utf8, "\xEF\xBB\xBF" + text},
        {ExportEncoding::CodePage, utf8ToCp1252(text)},
        {ExportEncoding::Utf16, "\xFF\xFE" + utf8ToUtf16LE(text)},
        {ExportEncoding::Ascii, utf8ToAscii(text)},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(
            exportShown(db, {art::kPrim, art::kGenus, art::kAutor}, dir.file("out.txt"), U';', c.enc));
        EXPECT_EQ(readBytes(dir.file("out.txt")), c.bytes) << static_cast<int>(c.enc);
    }
    EXPECT_NE(utf8ToCp1252(text).find("M\xFCller"), std::string::npos);
    // Text the code page cannot hold goes out as UTF-8, marked as such.
    EXPECT_EQ(encodeForExport("Ω", ExportEncoding::CodePage), "\xEF\xBB\xBFΩ");

    // A given order is followed, and rows the filter hides stay out.
    const std::vector<int> order = {db.SQLarten().rowOfKey(8), db.SQLarten().rowOfKey(3),
                                    db.SQLarten().rowOfKey(1)};
    ASSERT_TRUE(exportShown(db, {art::kSpecies}, dir.file("out.txt"), U'\t', ExportEncoding::Utf8, &order));
    EXPECT_EQ(readBytes(dir.file("out.txt")), "\xEF\xBB\xBFSpecies\r\npendula\r\nnigra\r\n");
}

TEST_F(SpeciesBrowserTest, FindLooksInShownRowsFromTheGivenRow) {
    TArtDb db = imported();
    const int nigra = db.SQLarten().rowOfKey(1), flava = db.SQLarten().rowOfKey(2);
    ASSERT_LT(flava, nigra);  // flava comes first in the table
    const struct {
        const char* text;
        int fromRow;
        int column;
        bool matchCase;
        int row;
    } cases[] = {
        {"NIGRA", 0, -1, false, nigra},
        {"NIGRA", 0, -1, true, -1},
        {"Cyper", 0, -1, true, flava},
        {"Cyper", flava + 1, -1, true, nigra},
        {"Cyper", 0, art::kGenus, false, -1},
        {"Cyper", 0, art::kFamilie, false, flava},
        {"reichard", 0, art::kAutor, false, nigra},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findText(db, c.text, c.fromRow, c.column, c.matchCase), c.row)
            << c.text << " " << c.fromRow;
    ASSERT_TRUE(filterByBasics(db, "Species = 'nigra'"));
    EXPECT_EQ(findText(db, "Cyper", 0, -1, true), nigra);
}

TEST_F(SpeciesBrowserTest, ReplaceOnlyInEditModeAndKeepsTheChangeInTheFile) {
    TArtDb db = imported();
    const Result<int> refused = replaceText(db, "Carex", "Karex", -1, true, false);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(messageTexts(refused.status()),
              std::vector<std::string>{"Die Artenliste ist nicht im Bearbeitungsmodus."});
    EXPECT_EQ(db.GetLat(1), "Carex nigra (L.) Reichard");

    EXPECT_EQ(replaceText(db, "Carex", "Karex", art::kGenus, false, true).value(), 1);
    EXPECT_EQ(db.GetLat(2), "Karex flava L.");
    EXPECT_EQ(db.GetLat(1), "Carex nigra (L.) Reichard");
    EXPECT_EQ(replaceText(db, "a", "A", art::kSpecies, true, true).value(), 8);
    EXPECT_EQ(db.GetLat(4), "Agrostis AlbA auct.");
    // Not in the chosen column; and a number field refuses text.
    EXPECT_EQ(replaceText(db, "Carex", "X", art::kFamilie, true, true).value(), 0);
    EXPECT_EQ(replaceText(db, "10", "x", art::kSys01, true, true).value(), 0);
    EXPECT_EQ(db.GetSysNr(1, 1), 101);

    TArtDb reopened(dbFile, {}, ui);
    EXPECT_EQ(reopened.GetLat(2), "Karex flAvA L.");
    EXPECT_EQ(reopened.GetLat(1), "Carex nigrA (L.) Reichard");
}

TEST_F(SpeciesBrowserTest, SortOrdersShownRowsByChosenFields) {
    TArtDb db = imported();
    auto keysOf = [&](const std::vector<int>& rows) {
        std::vector<int> keys;
        for (int row : rows)
            keys.push_back(static_cast<int>(db.SQLarten().integer(row, art::kPrim).value_or(-1)));
        return keys;
    };
    const struct {
        std::vector<int> fields;
        std::vector<int> keys;
    } cases[] = {
        {{}, {1, 2, 3, 4, 5, 6, 7, 8}},
        // Equal genera keep key order.
        {{art::kGenus}, {5, 6, 7, 3, 4, 8, 1, 2}},
        {{art::kGenus, art::kSpecies}, {7, 5, 6, 4, 3, 8, 2, 1}},
        // Numbers by value: 1000 comes last although its text sorts first.
        {{art::kSys01}, {1, 2, 3, 4, 5, 6, 7, 8}},
        // Empty family first, then by family, then by author.
        {{art::kFamilie, art::kAutor}, {8, 5, 7, 6, 1, 2, 4, 3}},
    };
    for (const auto& c : cases) EXPECT_EQ(keysOf(sortedRows(db, c.fields)), c.keys);
    ASSERT_TRUE(filterByBasics(db, "Familie = 'Poaceae' or Familie = 'Cyperaceae'"));
    EXPECT_EQ(keysOf(sortedRows(db, {art::kSpecies})), (std::vector<int>{4, 2, 1, 3}));
}

TEST_F(SpeciesBrowserTest, SynonymAndAggregateLists) {
    TArtDb db = imported();
    // Filters of the browser do not shorten the integrity lists.
    ASSERT_TRUE(filterByBasics(db, "Genus = 'Carex'"));
    EXPECT_EQ(synonymList(db), (std::vector<std::string>{
                                   "",
                                   "Agrostis stolonifera L. // A (gültiger Name)",
                                   "Agrostis alba auct. // S",
                               }));
    EXPECT_EQ(aggregateList(db), (std::vector<std::string>{
                                     "",
                                     std::string(48, '-'),
                                     "",
                                     "// Kleinarten von",
                                     "Achillea millefolium agg. // Z",
                                     "",
                                     "  - Achillea millefolium L. // E",
                                     "  - Achillea collina Becker // E",
                                 }));
}

TEST_F(SpeciesBrowserTest, AggregateListStartsOnlyAtTopLevelAggregates) {
    // 1 holds 2, which holds 3: the listing of 1 covers both levels, and 2 gets no listing of its own.
    const std::string text = speciesListText(
        "Artenliste",
        {SpeciesRecord("1", "Rubus", "fruticosus", "agg.", "Rosaceae", "11").status("Z").members("12"),
         SpeciesRecord("2", "Rubus", "sectio", "Rubus", "Rosaceae", "12").status("Z").members("13"),
         SpeciesRecord("3", "Rubus", "bifrons", "Vest", "Rosaceae", "13").status("E")});
    writeBytes(dir.file("rubus.txt"), text);
    TArtDb db(dbFile, {}, ui);
    ASSERT_TRUE(db.ImportTable(dir.file("rubus.txt"), U'\t', noProgress()));
    const std::vector<std::string> lines = aggregateList(db);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string(48, '-')), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "  - Rubus bifrons Vest // E"), 1);
    EXPECT_EQ(lines.at(4), "Rubus fruticosus agg. // Z");
}

TEST_F(SpeciesBrowserTest, ColumnChoiceTitlesAndPositions) {
    TArtDb db = imported();
    importIndicators(db);
    const struct {
        char OC;
        const char* title;
    } titles[] = {
        {'Z', "Zeigerwerte wählen"},  {'P', "Zeigerwerte wählen"}, {'R', "Referenz-Zeigerwerte wählen"},
        {'V', "Varianzdaten wählen"}, {'B', "Felder wählen"},      {'K', "Felder wählen"},
    };
    std::vector<int> L{7};
    std::string s = "x";
    for (const auto& t : titles) {
        EXPECT_FALSE(GetZwItems(db, ui, t.OC, L, s));  // no answer: cancelled
        EXPECT_EQ(ui.cancelledDialogs().back(), t.title);
        EXPECT_TRUE(L.empty());
    }
    // Indicator positions count from the first field after the species relation.
    ui.addToken("1,3");
    ASSERT_TRUE(GetZwItems(db, ui, 'Z', L, s));
    EXPECT_EQ(L, (std::vector<int>{0, 2}));
    EXPECT_EQ(s, "0;2");
    EXPECT_EQ(db.SQLzw().fields()[L[1] + 1].name, "Bem");
    // Species fields after the key, without the scratch column: 47 of them.
    ui.addToken("1,47");
    ASSERT_TRUE(GetZwItems(db, ui, 'B', L, s));
    EXPECT_EQ(L, (std::vector<int>{0, 46}));
    EXPECT_EQ(db.SQLarten().fields()[L[0] + 1].name, "Genus");
    EXPECT_EQ(db.SQLarten().fields()[L[1] + 1].name, "Info08");
    ui.addToken("48");
    EXPECT_FALSE(GetZwItems(db, ui, 'K', L, s));
}

// Species list source: two name columns plus author, taxon number, synonym reference, family, two
// vernacular columns, one info column; ";"-separated with a "ß" in a vernacular name.
constexpr const char* kSpeciesSource =
    "Gattung;Art;Autor;Nummer;Synonym von;Familie;Deutsch;English;Wuchsform\r\n"
    "Carex;nigra;(L.) Reichard;101;;Cyperaceae;Braune Segge;Common sedge;H\r\n"
    "Agrostis;stolonifera;L.;201;;Poaceae;Weißes Straußgras;Creeping bent;H\r\n"
    "\r\n"
    "Agrostis;alba;auct. non L.;202;201;Poaceae;;;H\r\n";

TEST_F(SpeciesBrowserTest, PreparedSpeciesListImports) {
    writeBytes(dir.file("quelle.csv"), kSpeciesSource);
    // The source's ";" is not the tab of the settings, so the delimiter question comes first (";" is its
    // item 1). Lines are 1-based, and line 1 is "< Keine >". The target comes last.
    ui.addToken("1");
    for (const char* t : {"2,3,4", "5", "6", "7", "8,9", "10"}) ui.addToken(t);
    ui.addToken(dir.file("import.txt"));
    ASSERT_TRUE(prepareImportFile(ui, dir.file("quelle.csv"), false, {U'\t', 0}, ExportEncoding::CodePage));
    EXPECT_EQ(ui.tokensLeft(), 0u);
    EXPECT_TRUE(ui.cancelledDialogs().empty());
    const std::string prepared = readBytes(dir.file("import.txt"));
    EXPECT_EQ(prepared.rfind("Artenliste quelle.csv\r\nPrim i 0 t p\tGenus s 40 t t\t", 0), 0u);
    // Widths count characters; integer columns are integer fields.
    for (const char* def : {"\tFamilie s 10 f t\t", "\tDeutsch s 17 f t\tEnglish s 13 f t\tTriv03 s 1 f t\t",
                            "\tNummer i 0 t t\tSys02 i 0 f t\t", "\tSynRel i 0 f t\tt01 s 1 f f\t",
                            "\tWuchsform s 1 f t\tInfo02 s 10 f t\t", "\tAggrList l 0 f t\r\n"})
        EXPECT_NE(prepared.find(utf8ToCp1252(def)), std::string::npos) << def;

    TArtDb db(dbFile, {}, ui);
    const Status imported = db.ImportTable(dir.file("import.txt"), U'\t', noProgress());
    ASSERT_TRUE(imported.ok());
    EXPECT_EQ(messageTexts(imported), std::vector<std::string>{});
    ASSERT_EQ(db.SQLarten().count(), 3);
    EXPECT_EQ(db.GetLat(1), "Carex nigra (L.) Reichard");
    EXPECT_EQ(db.GetLat(3), "Agrostis alba auct. non L.");
    EXPECT_EQ(db.GetFam(2), "Poaceae");
    EXPECT_EQ(db.GetTriv(2, 1), "Weißes Straußgras");
    EXPECT_EQ(db.GetTriv(1, 2), "Common sedge");
    EXPECT_EQ(db.GetTriv(1, 3), "");
    EXPECT_EQ(db.GetInfo(3, 1), "H");
    EXPECT_EQ(db.GetSysNr(3, 1), 202);
    EXPECT_EQ(db.field(3, art::kSynRel), "201");
    EXPECT_EQ(db.field(2, art::kSynRel), "");
    EXPECT_EQ(db.GetT(1, 1), "A");
    EXPECT_EQ(db.GetT(3, 1), "S");
    EXPECT_EQ(db.GetT(3, 2), "");
    EXPECT_EQ(db.ScanSyn('R', 3), 2);
    EXPECT_EQ(db.SQLarten().fields()[art::kTriv01].name, "Deutsch");
    EXPECT_EQ(db.SQLarten().fields()[art::kSys01].name, "Nummer");
}

TEST_F(SpeciesBrowserTest, PreparationMovesTextCodesToInfosAndNumbersRecords) {
    // Taxon "numbers" holding text and no synonym column: the codes become an info after the chosen
    // ones, Sys01 is the running number, every name is accepted.
    writeBytes(dir.file("quelle.txt"),
               "Name\tCode\tFamilie\tStatus\r\nCarex nigra (L.) Reichard\tC-1\tCyperaceae\trote Liste\r\n"
               "Betula pendula Roth\tB-2\tBetulaceae\t\r\n");
    for (const char* t : {"0", "2", "3", "1", "4", "1", "5"}) ui.addToken(t);
    ui.addToken(dir.file("import.txt"));
    ASSERT_TRUE(prepareImportFile(ui, dir.file("quelle.txt"), false, {U';', 0}, ExportEncoding::Utf8));
    const std::string prepared = readBytes(dir.file("import.txt"));
    EXPECT_NE(prepared.find(";Sys01 i 0 t t;"), std::string::npos);
    EXPECT_NE(prepared.find(";Status s 10 f t;Code s 3 f t;Info03 s 10 f t;"), std::string::npos);

    TArtDb db(dbFile, {}, ui);
    const Status imported = db.ImportTable(dir.file("import.txt"), U';', noProgress());
    ASSERT_TRUE(imported.ok());
    EXPECT_EQ(messageTexts(imported), std::vector<std::string>{});
    ASSERT_EQ(db.SQLarten().count(), 2);
    EXPECT_EQ(db.GetLat(2), "Betula pendula Roth");
    EXPECT_EQ(db.GetSysNr(2, 1), 2);
    EXPECT_EQ(db.GetInfo(1, 1), "rote Liste");
    EXPECT_EQ(db.GetInfo(1, 2), "C-1");
    EXPECT_EQ(db.GetFam(1), "Cyperaceae");
    EXPECT_EQ(db.GetT(2, 1), "A");
}

TEST_F(SpeciesBrowserTest, PreparedIndicatorListImports) {
    TArtDb db = imported();
    // The settings' ";" and quote: the source is read without a question, and a ";" inside quotes is text
    // (written as ",", since the target is ";"-separated too).
    writeBytes(
        dir.file("zeiger.csv"),
        "Gattung;Art;L;F;Bemerkung\r\nCarex;nigra;8;9;\"nass; torfig\"\r\nAgrostis;stolonifera;8;6,5;x\r\n"
        "Unbekannt;species;1;1;\r\n");
    for (const char* t : {"1,2", "3,4,5"}) ui.addToken(t);
    ui.addToken(dir.file("zw.txt"));
    ASSERT_TRUE(prepareImportFile(ui, dir.file("zeiger.csv"), true, {U';', U'"'}, ExportEncoding::Utf8));
    EXPECT_EQ(ui.tokensLeft(), 0u);
    EXPECT_EQ(readBytes(dir.file("zw.txt")),
              "\xEF\xBB\xBFZeigerwerte zeiger.csv\r\nArt s 26 t r;L i 0;F s 3;Bemerkung s 12\r\n"
              "Carex nigra;8;9;nass, torfig\r\nAgrostis stolonifera;8;6,5;x\r\nUnbekannt species;1;1;\r\n");
    const Status zw = db.ImportZw(dir.file("zw.txt"), U';', noProgress(), false);
    ASSERT_TRUE(zw.ok());
    EXPECT_EQ(messageTexts(zw),
              (std::vector<std::string>{"Unbekannt oder mehrdeutig (nicht eingelesen): Unbekannt species"}));
    double x = 0;
    std::string s;
    EXPECT_TRUE(db.GetZw(1, 1, x, s));
    EXPECT_EQ(x, 8);
    EXPECT_FALSE(db.GetZw(3, 2, x, s));
    EXPECT_EQ(s, "6,5");
}

TEST_F(SpeciesBrowserTest, PreparationKeepsTheTargetDelimiterOutOfValues) {
    // A ";" source whose values hold tabs, prepared into a tab-separated file: a tab inside a value would
    // shift every later column of its record.
    writeBytes(dir.file("quelle.csv"),
               "Name;Deutsch;L\r\nCarex nigra;Braune\tSegge;8\r\nBetula pendula;Hänge\tBirke;7\r\n");
    for (const char* t : {"1", "2", "1", "1", "1", "3", "1"}) ui.addToken(t);
    ui.addToken(dir.file("import.txt"));
    ASSERT_TRUE(prepareImportFile(ui, dir.file("quelle.csv"), false, {U'\t', 0}, ExportEncoding::Utf8));
    const std::vector<std::string> lines =
        splitFields(decodeFileText(readBytes(dir.file("import.txt"))), "\r\n");
    ASSERT_GE(lines.size(), 4u);
    const std::size_t fields = splitFields(lines[1], "\t").size();
    EXPECT_EQ(fields, 49u);
    for (std::size_t n = 2; n < 4; ++n) EXPECT_EQ(splitFields(lines[n], "\t").size(), fields) << lines[n];
    EXPECT_NE(lines[2].find("\tBraune Segge\t"), std::string::npos) << lines[2];
}

TEST_F(SpeciesBrowserTest, CancelledPreparationWritesNothing) {
    writeBytes(dir.file("quelle.csv"), kSpeciesSource);
    for (const char* t : {"1", "2,3", "5", "6"}) ui.addToken(t);  // the family choice goes unanswered
    const Status cancelled =
        prepareImportFile(ui, dir.file("quelle.csv"), false, {U'\t', 0}, ExportEncoding::Utf8);
    EXPECT_FALSE(cancelled.ok());
    EXPECT_TRUE(cancelled.messages().empty());
    EXPECT_EQ(ui.cancelledDialogs(), (std::vector<std::string>{"Bitte Feld mit Familie anwählen."}));
    EXPECT_FALSE(fileExists(dir.file("import.txt")));

    // A cancelled delimiter question, and a No to overwriting an existing target, end it the same way.
    EXPECT_FALSE(prepareImportFile(ui, dir.file("quelle.csv"), false, {U'\t', 0}, ExportEncoding::Utf8));
    EXPECT_EQ(ui.cancelledDialogs().back(), "DlgDelimEinst");
    writeBytes(dir.file("import.txt"), "alt");
    for (const char* t : {"1", "2,3", "1", "1", "1", "1", "1"}) ui.addToken(t);
    ui.addToken(dir.file("import.txt"));
    ui.addToken("N");
    EXPECT_FALSE(prepareImportFile(ui, dir.file("quelle.csv"), false, {U'\t', 0}, ExportEncoding::Utf8));
    EXPECT_EQ(ui.tokensLeft(), 0u);
    EXPECT_EQ(readBytes(dir.file("import.txt")), "alt");
}

}  // namespace
}  // namespace tav
