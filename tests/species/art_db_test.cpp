#include "species/art_db.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/file_io.h"
#include "platform/script_ui.h"
#include "support/artdb_fixture.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::definitions;
using testing::messageTexts;
using testing::readBytes;
using testing::speciesListText;
using testing::SpeciesRecord;
using testing::TempDir;
using testing::writeBytes;

std::string speciesList() {
    return speciesListText(
        "Artenliste\tTestliste$Schichten\t/B,/S,/K\tInfo03\tB,S,K",
        {
            SpeciesRecord("1", "Carex", "nigra", "(L.) Reichard", "Cyperaceae", "101"),
            SpeciesRecord("2", "Carex", "nigrescens", "Bruckner", "Cyperaceae", "102"),
            SpeciesRecord("3", "Carex", "flava", "L.", "Cyperaceae", "103"),
            SpeciesRecord("4", "Cardamine", "nigra", "Test", "Brassicaceae", "104"),
            SpeciesRecord("5", "Agrostis", "stolonifera", "L.", "Poaceae", "201"),
            SpeciesRecord("6", "Agrostis", "alba", "auct.", "Poaceae", "202").synonymOf("201").status("S"),
            SpeciesRecord("7", "Achillea", "millefolium", "agg.", "Asteraceae", "301")
                .status("Z")
                .members("302, 303,,301"),
            SpeciesRecord("8", "Achillea", "millefolium", "L.", "Asteraceae", "302").status("E"),
            SpeciesRecord("9", "Achillea", "collina", "Becker", "Asteraceae", "303").status("E"),
            SpeciesRecord("10", "Betula", "pendula", "Roth", "Betulaceae", "401").info("B", 3),
            SpeciesRecord("11", "Cyclus", "primus", "", "Testaceae", "501").synonymOf("502").status("S"),
            SpeciesRecord("12", "Cyclus", "secundus", "", "Testaceae", "502").synonymOf("501").status("S"),
            SpeciesRecord("13", "Salix", "x-rubens", "Schrank", "Salicaceae", "601").gross("2"),
            SpeciesRecord("x", "Falsch", "schluessel", "", "Testaceae", "701").members("101"),
            SpeciesRecord("1", "Doppelt", "schluessel", "", "Testaceae", "702"),
            SpeciesRecord("14", "Ohne", "", "", "Testaceae", "703"),
            "",
            SpeciesRecord("15", "Taxus", "baccata", "L.", "Taxaceae", "801")
                .synonymOf("999")
                .status("S")
                .members("304"),
        });
}

struct ArtDbTest : ::testing::Test {
    TempDir dir;
    ScriptUi ui;
    std::vector<std::string> errors;  // the messages of the last import
    Status last;
    std::string dbFile = dir.file("arten.adb");

    bool collect(Status s) {
        errors = messageTexts(s);
        last = std::move(s);
        return last.ok();
    }

    TArtDb imported(ArtDbSettings s = {}) {
        writeBytes(dir.file("liste.txt"), speciesList());
        TArtDb db(dbFile, s, ui);
        EXPECT_TRUE(collect(db.ImportTable(dir.file("liste.txt"), U'\t', noProgress())));
        return TArtDb(dbFile, s, ui);  // read back from the files
    }
};

TEST_F(ArtDbTest, ImportChecksRecordsAndStoresMembers) {
    TArtDb db = imported();
    EXPECT_EQ(db.SQLarten().count(), 14);
    EXPECT_EQ(db.SQLarten().fields().back().name, "ResField");
    EXPECT_EQ(
        errors,
        (std::vector<std::string>{
            "WARNUNG: Taxon Nr. 7 = Achillea millefolium agg. schliesst sich selbst ein. Ich habe diesen "
            "Bezug überlesen.",
            "FEHLER: Fehlender oder falscher Wert bei Taxon Nr. x = Falsch schluessel  konnte ich nicht "
            "einlesen.",
            "FEHLER: Fehlender oder falscher Wert bei Taxon Nr. 1 = Doppelt schluessel  konnte ich nicht "
            "einlesen.",
            "FEHLER: Fehlender oder falscher Wert in Feld \"Species\" bei Taxon Nr. 14 = Ohne   konnte ich "
            "nicht einlesen.",
        }));
    // Members of aggregate 7, but not those of the refused record "x" (which named 101).
    EXPECT_EQ(db.SQLaggr().count(), 3);
    EXPECT_EQ(db.GetZ(8), 7);
    EXPECT_EQ(db.GetZ(1), -1);
    EXPECT_EQ(readBytes(replaceExtension(dbFile, ".adm")), "$Schichten;/B,/S,/K;Info03;B,S,K\r\n");
    EXPECT_EQ(db.SchichtInfo().InfoFieldNr, 3);
    EXPECT_TRUE(db.HasLayers(10));
    EXPECT_FALSE(db.HasLayers(1));
    EXPECT_TRUE(db.LayerRem("Betula pendula /B"));
    EXPECT_FALSE(db.LayerRem("Betula pendula"));
}

TEST_F(ArtDbTest, RefusedImportsChangeNothing) {
    TArtDb db = imported();
    const std::string meta = readBytes(replaceExtension(dbFile, ".adm"));
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"Namen\r\n" + definitions() + "\r\n", "Diese Datei enthält keine Artenliste. Ich importiere nicht."},
        {"artenliste $Neu\r\na\tb\tc\td\te\tf\tg\th\ti\tj\tk\tl\tm\tn\r\n",
         "Bitte das richtige Trennzeichen einstellen\r(Optionen, Ein- und Ausgabe)"},
        {"Artenliste $Neu\r\nGenus s 40 t t" + definitions().substr(definitions().find('\t')) + "\r\n",
         "Im 1. Feld der Tabelle muss entweder ein Primärschlüssel\roder eine Art-Relation sein.\rBitte "
         "nachprüfen, ob "
         "das Format der einzulesenden Tabelle stimmt."},
        {"Artenliste\r\n" + definitions() + std::string(1000 - 48, '\t') + "\r\n" +
             SpeciesRecord("1", "Poa", "annua", "L.", "Poaceae", "1") + "\r\n",
         "Die Definitionszeile hat 1001 Felder, höchstens 1000 sind möglich. Ich importiere nicht."},
        // Lists that would store no record at all.
        {speciesListText("Artenliste $Neu", {}), "Die Datei " + dir.file("bad.txt") +
                                                     " enthält keinen Datensatz, den ich einlesen kann. Ich "
                                                     "importiere nicht."},
        {speciesListText("Artenliste $Neu", {SpeciesRecord("0", "Poa", "annua", "L.", "Poaceae", "1"),
                                             SpeciesRecord("9", "Poa", "", "L.", "Poaceae", "2")}),
         "Die Datei " + dir.file("bad.txt") +
             " enthält keinen Datensatz, den ich einlesen kann. Ich "
             "importiere nicht."},
    };
    const std::string adb = readBytes(dbFile), adl = readBytes(replaceExtension(dbFile, ".adl"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 20));
        writeBytes(dir.file("bad.txt"), c.text);
        EXPECT_FALSE(collect(db.ImportTable(dir.file("bad.txt"), U'\t', noProgress())));
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors.back(), c.message);
        EXPECT_EQ(last.messages().back().severity(), Severity::Error);
        EXPECT_TRUE(ui.messages().empty());                            // returned, never shown as well
        EXPECT_EQ(readBytes(replaceExtension(dbFile, ".adm")), meta);  // the meta file survives
        EXPECT_EQ(readBytes(dbFile), adb);
        EXPECT_EQ(readBytes(replaceExtension(dbFile, ".adl")), adl);
        EXPECT_FALSE(std::filesystem::exists(replaceExtension(dbFile, ".~adb")));
        EXPECT_EQ(TArtDb(dbFile, {}, ui).SQLarten().count(), 14);
    }
    // Fifteen fields are enough; lower-case "artenliste" is accepted.
    writeBytes(dir.file("short.txt"),
               "artenliste\r\nPrim i 0 t p\tGenus s 40 t t\tSpecies s 40 t t\tAutor s 80 f t\tgross s 1 f "
               "f\tsupp s 1 f f\tFamilie s 30 f t\ta s 1\tb s 1\tc s 1\td s 1\te s 1\tf s 1\tg s 1\th s 1\r\n"
               "1\tPoa\tannua\tL.\t\t\tPoaceae\r\n");
    EXPECT_TRUE(collect(db.ImportTable(dir.file("short.txt"), U'\t', noProgress())));
    // A store with fewer fields answers the positional accessors without reading past its end.
    EXPECT_EQ(db.GetLat(1), "Poa annua L.");
    EXPECT_EQ(db.GetInfo(1, 8), "");
    EXPECT_EQ(db.GetSysNr(1, 12), kMissingNumber);
    EXPECT_EQ(db.GetT(1, 12), "");
    EXPECT_EQ(db.GetZ(1), -1);
    EXPECT_EQ(db.ScanSyn('R', 1), 1);
}

TEST_F(ArtDbTest, ImportKeepsThePreviousFilesAsBackups) {
    TArtDb db = imported();
    const std::vector<std::string> extensions = {".adb", ".adl", ".adm"};
    std::vector<std::string> before;
    for (const std::string& e : extensions) before.push_back(readBytes(replaceExtension(dbFile, e)));
    writeBytes(dir.file("neu.txt"),
               speciesListText("Artenliste", {SpeciesRecord("1", "Poa", "annua", "L.", "Poaceae", "1")}));
    ASSERT_TRUE(collect(db.ImportTable(dir.file("neu.txt"), U'\t', noProgress())));
    for (std::size_t k = 0; k < extensions.size(); ++k)
        EXPECT_EQ(readBytes(replaceExtension(dbFile, ".~" + extensions[k].substr(1))), before[k])
            << extensions[k];
    EXPECT_EQ(readBytes(replaceExtension(dbFile, ".adm")), "");  // the new list carries no information line
    EXPECT_EQ(TArtDb(dbFile, {}, ui).GetLat(1), "Poa annua L.");
}

TEST_F(ArtDbTest, ImportReplacesItsFilesTogetherOrNotAtAll) {
    // The second file cannot be written (its target is a folder), or cannot be put in place (its backup
    // name is taken by a folder with content): the first file keeps its bytes.
    const std::string adl = replaceExtension(dbFile, ".adl");
    const std::string blockers[] = {adl, replaceExtension(dbFile, ".~adl")};
    for (const std::string& blocker : blockers) {
        SCOPED_TRACE(blocker);
        TArtDb db = imported();
        const std::string adb = readBytes(dbFile), meta = readBytes(replaceExtension(dbFile, ".adm"));
        std::filesystem::remove_all(blocker);
        std::filesystem::create_directories(blocker + "/inhalt");
        writeBytes(dir.file("neu.txt"),
                   speciesListText("Artenliste", {SpeciesRecord("1", "Poa", "annua", "L.", "Poaceae", "1")}));
        EXPECT_FALSE(collect(db.ImportTable(dir.file("neu.txt"), U'\t', noProgress())));
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(last.messages().back().severity(), Severity::Error);
        EXPECT_EQ(readBytes(dbFile), adb);
        EXPECT_EQ(readBytes(replaceExtension(dbFile, ".adm")), meta);
        EXPECT_EQ(db.GetLat(1), "Carex nigra (L.) Reichard");  // the open database is unchanged too
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
        std::filesystem::remove_all(blocker);
    }
}

TEST_F(ArtDbTest, KeysBeyondTheRecordRangeAreRefusedWithTheirLine) {
    writeBytes(
        dir.file("liste.txt"),
        speciesListText("Artenliste", {SpeciesRecord("992436542", "Poa", "annua", "L.", "Poaceae", "1"),
                                       SpeciesRecord("992436543", "Poa", "alpina", "L.", "Poaceae", "2")}));
    TArtDb db(dbFile, {}, ui);
    ASSERT_TRUE(collect(db.ImportTable(dir.file("liste.txt"), U'\t', noProgress())));
    EXPECT_EQ(errors, (std::vector<std::string>{"FEHLER: Zeile 4: Schlüssel 992436543 ist zu groß (höchstens "
                                                "992436542) bei Taxon Nr. 992436543 = Poa alpina L. konnte "
                                                "ich nicht einlesen."}));
    EXPECT_EQ(db.Search("Poa alpina", false).elements(), std::vector<int>{});
    EXPECT_EQ(db.Search("Poa annua", false).elements(), std::vector<int>{992436542});
    EXPECT_EQ(db.GetLat(992436542), "Poa annua L.");
}

TEST_F(ArtDbTest, AggregateEntriesThatNameNoRecordAreReportedNeverCutShort) {
    // A member the aggregate list cannot hold is reported with its line, like other refused members.
    writeBytes(dir.file("liste.txt"),
               speciesListText("Artenliste", {SpeciesRecord("1", "Poa", "annua", "L.", "Poaceae", "101"),
                                              SpeciesRecord("2", "Poa", "agg.", "", "Poaceae", "100")
                                                  .status("Z")
                                                  .members("101, -9223372036854775808")}));
    TArtDb db(dbFile, {}, ui);
    ASSERT_TRUE(collect(db.ImportTable(dir.file("liste.txt"), U'\t', noProgress())));
    EXPECT_EQ(errors,
              (std::vector<std::string>{
                  "WARNUNG: Zeile 4: Taxon Nr. 2 = Poa agg. : Mitglied \"-9223372036854775808\" kann ich "
                  "nicht speichern (Feld \"Child\": Zahl zu klein). Ich habe diesen Bezug überlesen."}));
    EXPECT_EQ(db.GetZ(1), 2);

    // A hand-made aggregate list whose aggregate number lies beyond the record keys: 2^32 + 1 must not
    // be taken for record 1, which would make Poa annua the aggregate of Poa agg.
    RecordSet aggr;
    const std::string adl = replaceExtension(dbFile, ".adl");
    ASSERT_TRUE(aggr.load(adl));
    ASSERT_EQ(aggr.appendTexts({"7", "4294967297", "100"}), std::nullopt);
    ASSERT_TRUE(aggr.save(adl));
    TArtDb opened(dbFile, {}, ui);
    ASSERT_TRUE(opened.openStatus().ok());
    std::vector<std::string> warnings;
    for (const Message& m : opened.openStatus().messages()) {
        EXPECT_EQ(m.severity(), Severity::Warning);
        warnings.push_back(m.plain());
    }
    EXPECT_EQ(warnings, std::vector<std::string>{
                            adl + ": Datensatz 7: Aggregat 4294967297 ist keine Datensatznummer (1 … " +
                            "992436542). Ich habe den Bezug zu Mitglied 100 überlesen."});
    EXPECT_EQ(opened.GetZ(2), -1);
    EXPECT_EQ(opened.ScanAggr('U', 2, nullptr, false), 2);
    EXPECT_EQ(opened.GetZ(1), 2);
}

TEST_F(ArtDbTest, ImportsRefuseWhatIsNoRegularFile) {
    TArtDb db = imported();
    ASSERT_EQ(::mkfifo(dir.file("fifo.txt").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("ordner.txt"));
    for (const std::string& file : {dir.file("fifo.txt"), dir.file("ordner.txt")}) {
        EXPECT_FALSE(collect(db.ImportTable(file, U'\t', noProgress())));  // returns at once, never waits
        EXPECT_EQ(errors, std::vector<std::string>{"Kann " + file + " nicht öffnen."});
        EXPECT_FALSE(collect(db.ImportZw(file, U'\t', noProgress(), false)));
        EXPECT_EQ(errors, std::vector<std::string>{"Kann " + file + " nicht öffnen."});
    }
    EXPECT_EQ(TArtDb(dbFile, {}, ui).SQLarten().count(), 14);
}

TEST_F(ArtDbTest, AccessorsAndNames) {
    ArtDbSettings s;
    s.ArtGross = true;
    TArtDb db = imported(s);
    EXPECT_EQ(db.GetLat(1), "Carex nigra (L.) Reichard");
    EXPECT_EQ(db.GetLat(13), "Salix X-Rubens Schrank");  // gross "2": first letter and the one after "-"
    EXPECT_EQ(db.GetLat(999), "");
    EXPECT_EQ(db.GetFam(5), "Poaceae");
    EXPECT_EQ(db.GetSysNr(5, 1), 201);
    EXPECT_EQ(db.GetSysNr(999, 1), kMissingNumber);
    EXPECT_EQ(db.GetT(6, 1), "S");
    EXPECT_EQ(db.GetT(999, 1), "0");
    EXPECT_EQ(db.GetTriv(1, 9), "");  // positions outside the store read as empty
    char status = ' ';
    EXPECT_EQ(db.GetSysStates(5, status), "Agrostis stolonifera L. // A (gültiger Name)");
    EXPECT_EQ(status, 'A');
    EXPECT_EQ(db.GetSysNames().substr(0, 11), "Sys01;Sys02");
}

TEST_F(ArtDbTest, SearchWithJokers) {
    TArtDb db = imported();
    struct Case {
        const char* text;
        bool query;
        std::vector<int> keys;
    };
    const Case cases[] = {
        {"Carex nigra", false, {1}},  // the exact name wins over "nigrescens"
        {"Carex nig", false, {1, 2}},   {"C nig", false, {1, 2, 4}},
        {"C.rex nig", false, {1, 2}},  // "." splits "C" from the tail "REX"
        {"C. nig", false, {}},         // a "." with nothing after it stays in the prefix
        {"Car*ex nigra", false, {1}},   {"* nigra", false, {1, 4}},
        {"Carex nigra /B", false, {1}}, {"Carex nigra (L.) Reichard", false, {1}},
        {"Carex nigra Rei", false, {}},  // without Query the author must begin so
        {"Carex nigra Rei", true, {1}},  // with Query it is ignored
        {"carex FLAVA", false, {3}},
    };
    for (const Case& c : cases) EXPECT_EQ(db.Search(c.text, c.query).elements(), c.keys) << c.text;
    EXPECT_EQ(db.Search("??? ", false).Count(), 14);
    EXPECT_EQ(db.Search(" ? ? ?", false).Count(), 14);
    EXPECT_EQ(db.Ma().Count(), 14);

    EXPECT_EQ(db.SearchInfo('F', 0, "Poa", false).elements(), (std::vector<int>{5, 6}));
    EXPECT_EQ(db.SearchInfo('f', 0, "aceae", true).Count(), 14);
    EXPECT_EQ(db.SearchInfo('N', 1, "30*", false).elements(), (std::vector<int>{7, 8, 9}));
    db.Search("Carex n", false);
    db.RedToMatchOhneAutor("Carex nigra Hoppe");
    EXPECT_EQ(db.Ma().elements(), (std::vector<int>{1}));
}

TEST_F(ArtDbTest, SpeciesNamesOfTableRowsAreWholeNames) {
    TArtDb db = imported();
    struct Case {
        const char* row;
        bool species;
    };
    const Case cases[] = {
        {"Taxus baccata", true},
        {"taxus BACCATA L. /B", true},
        {"Carex nigra (L.) Reichard", true},
        {"Achillea millefolium L.", true},
        // Prefixes and jokers find a single record too, but a header row is no species.
        {"T", false},
        {"Taxus", false},
        {"Tax bac", false},
        {"Taxus bacc", false},
        {"Tax*us baccata", false},
        {"Taxus baccata*", false},
        {"??? ", false},
        {"Achillea millefolium", false},  // the aggregate and the species
        {"Carex nigra Hoppe", false},
        {"Planta ignota", false},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(db.isSpeciesName(c.row), c.species) << c.row;
}

TEST_F(ArtDbTest, SynonymsAndAggregates) {
    TArtDb db = imported();
    EXPECT_EQ(db.ScanSyn('R', 6), 5);
    EXPECT_EQ(db.ScanSyn('X', 5), 5);
    EXPECT_EQ(db.Ma().elements(), (std::vector<int>{5, 6}));  // the synonym group
    EXPECT_EQ(db.ScanSyn('R', 11), -1);                       // a reference cycle has no accepted name
    EXPECT_EQ(db.ScanSyn('R', 15), 15);  // a reference to a number no record has: its own accepted name
    // A key no record has is its own accepted and valid name, the only one of its group.
    for (char mode : {'R', 'S', 'X'}) {
        EXPECT_EQ(db.ScanSyn(mode, 999), 999) << mode;
        EXPECT_EQ(db.Ma().elements(), std::vector<int>{999}) << mode;
    }
    EXPECT_EQ(db.ScanSyn('R', -1), -1);
    EXPECT_EQ(db.SearchSyn('R', "Agrostis alba"), 5);

    EXPECT_EQ(db.ScanAggr('U', 8, nullptr, false), 7);
    EXPECT_EQ(db.ScanAggr('X', 5, nullptr, false), 5);
    EXPECT_EQ(db.ScanAggr('D', 7, nullptr, false), 7);
    EXPECT_EQ(db.Ma().elements(), (std::vector<int>{8, 9}));
    std::vector<std::string> listing;
    db.ScanAggr('A', 7, &listing, false);
    ASSERT_GE(listing.size(), 5u);
    EXPECT_EQ(listing[1], "// Kleinarten von");
    EXPECT_EQ(listing[2], "Achillea millefolium agg. // Z");
    EXPECT_EQ(listing[4], "  - Achillea millefolium L. // E");
    listing.clear();
    db.ScanAggr('R', 8, &listing, false);
    EXPECT_EQ(listing.front(), "Sammelarten mit Achillea millefolium L. // E:");
    EXPECT_EQ(db.CheckAggr("Achillea collina"), "E");
    EXPECT_EQ(db.CheckAggr("Carex flava"), "0");
    EXPECT_EQ(db.SearchAggr('U', "Carex flava", nullptr), -2);
}

TEST_F(ArtDbTest, AggregateListingsFollowTheFilter) {
    // A collective aggregate of invalid status ("N") holds a valid aggregate of two species and a species.
    writeBytes(
        dir.file("liste.txt"),
        speciesListText("Artenliste", {SpeciesRecord("1", "Rubus", "fruticosus", "agg.", "Rosaceae", "10")
                                           .status("N")
                                           .members("11, 12"),
                                       SpeciesRecord("2", "Rubus", "corylifolius", "agg.", "Rosaceae", "11")
                                           .status("Z")
                                           .members("13, 14"),
                                       SpeciesRecord("3", "Rubus", "caesius", "L.", "Rosaceae", "12"),
                                       SpeciesRecord("4", "Rubus", "nessensis", "Hall", "Rosaceae", "13"),
                                       SpeciesRecord("5", "Rubus", "plicatus", "Weihe", "Rosaceae", "14")}));
    ArtDbSettings valid;
    valid.ValidFilter = true;
    TArtDb db(dbFile, valid, ui);
    ASSERT_TRUE(collect(db.ImportTable(dir.file("liste.txt"), U'\t', noProgress())));

    // Every mode but 'D' answers the top aggregate; with the filter the one of invalid status is none.
    struct Case {
        char mode;
        bool filter;
        int result;
    };
    const Case cases[] = {{'A', false, 1}, {'Z', false, 1}, {'X', false, 1}, {'U', false, 2},
                          {'D', false, 4}, {'A', true, 2},  {'Z', true, 2}};
    for (const Case& c : cases) {
        std::vector<std::string> listing;
        EXPECT_EQ(db.ScanAggr(c.mode, 4, &listing, c.filter), c.result) << c.mode << " " << c.filter;
    }

    // The aggregate that fails the filter lists neither itself nor its members.
    std::vector<std::string> listing;
    EXPECT_EQ(db.ScanAggr('A', 1, &listing, true), 1);
    EXPECT_EQ(listing, (std::vector<std::string>{"", "// Kleinarten von", "Rubus corylifolius agg. // Z", "",
                                                 "  - Rubus nessensis Hall // A (gültiger Name)",
                                                 "  - Rubus plicatus Weihe // A (gültiger Name)"}));
}

TEST_F(ArtDbTest, AggregateCyclesEnd) {
    std::string text = speciesList();
    // Two aggregates that contain each other.
    text +=
        SpeciesRecord("20", "Circulus", "alter", "", "Testaceae", "901").status("Z").members("902") + "\r\n";
    text +=
        SpeciesRecord("21", "Circulus", "idem", "", "Testaceae", "902").status("Z").members("901") + "\r\n";
    writeBytes(dir.file("liste.txt"), text);
    TArtDb db(dbFile, {}, ui);
    ASSERT_TRUE(collect(db.ImportTable(dir.file("liste.txt"), U'\t', noProgress())));
    std::vector<std::string> listing;
    EXPECT_EQ(db.ScanAggr('A', 20, &listing, false), 20);
    EXPECT_EQ(listing.back(), "*** Fehler *** Zyklische Aggregatsstruktur bei Circulus alter");
    EXPECT_EQ(db.ScanAggr('Y', 20, nullptr, false), 20);  // upwards: cyclic, the name itself
}

TEST_F(ArtDbTest, IntegrityReport) {
    TArtDb db = imported();
    const Status report = db.CheckVerweise();
    EXPECT_TRUE(report.ok());
    EXPECT_EQ(
        messageTexts(report),
        (std::vector<std::string>{
            "******* Leere Synonym-Verweise *******", "999 in Datensatz 15 Taxus baccata L.",
            "******* Leere Verweise in Aggregatsliste *******", "304 in Datensatz 15 Taxus baccata L."}));
}

TEST_F(ArtDbTest, IndicatorValuesImport) {
    TArtDb db = imported();
    const std::string file = dir.file("zw.txt");
    writeBytes(file,
               "Zeigerwerte\tEllenberg $Format\tFETT\tROT\r\nArt s 60 t r\tL i 0 f f\tF i 0 f f\r\n"
               "Carex nigra\t7\t8\r\nAgrostis alba\t8\t6\r\nPlanta ignota\t1\t1\r\nCyclus primus\t1\t1\r\n");
    ScriptUi answers({"7"});
    db.setUi(answers);
    ASSERT_TRUE(collect(db.ImportZw(file, U'\t', noProgress(), true)));
    EXPECT_EQ(db.ZWi(), 7);
    double x = 0;
    std::string s;
    EXPECT_TRUE(db.GetZw(1, 1, x, s));
    EXPECT_EQ(x, 7);
    EXPECT_TRUE(db.GetZw(5, 2, x, s));  // the synonym's values belong to its accepted name
    EXPECT_EQ(x, 6);
    EXPECT_FALSE(db.GetZw(3, 1, x, s));
    EXPECT_EQ(errors.back(), "Unbekannt oder mehrdeutig (nicht eingelesen): Cyclus primus");
    EXPECT_EQ(db.ZWFormat(), "FETT;ROT");

    // Importing list 7 again asks before overwriting; the meta file keeps one line for it.
    const std::string list7 = readBytes(replaceExtension(dbFile, ".z7"));
    answers.addToken("7");
    answers.addToken("ja");
    ASSERT_TRUE(collect(db.ImportZw(file, U'\t', noProgress(), true)));
    EXPECT_EQ(answers.tokensLeft(), 0u);
    EXPECT_EQ(db.GetZwNames(), (std::vector<std::string>{"ZW07;   arten.z7;   zw.txt"}));
    EXPECT_EQ(readBytes(replaceExtension(dbFile, ".~z7")), list7);  // the previous list is kept

    // A list of which no line could be read leaves the stored list as it was.
    const std::string unknown = dir.file("unbekannt.txt");
    writeBytes(unknown, "Zeigerwerte\r\nArt s 60 t r\tL i 0 f f\r\nPlanta ignota\t1\r\n");
    answers.addToken("7");
    answers.addToken("ja");
    EXPECT_FALSE(collect(db.ImportZw(unknown, U'\t', noProgress(), true)));
    EXPECT_EQ(errors, (std::vector<std::string>{
                          "Unbekannt oder mehrdeutig (nicht eingelesen): Planta ignota",
                          "Die Datei " + unknown +
                              " enthält keinen Datensatz, den ich einlesen kann. Ich importiere nicht."}));
    EXPECT_TRUE(db.GetZw(1, 1, x, s));
    EXPECT_EQ(TArtDb(dbFile, {}, ui).GetZwNames(), (std::vector<std::string>{"ZW07;   arten.z7;   zw.txt"}));
    answers.addToken("7");
    answers.addToken("nein");
    EXPECT_FALSE(collect(db.ImportZw(file, U'\t', noProgress(), true)));
    answers.addToken("100");
    EXPECT_FALSE(collect(db.ImportZw(file, U'\t', noProgress(), true)));
}

TEST_F(ArtDbTest, ReimportedSpeciesListWarnsOfIndicatorListsKeyedToOtherRecords) {
    TArtDb db = imported();
    writeBytes(dir.file("zw.txt"),
               "Zeigerwerte\r\nArt s 60 t r\tL i 0 f f\r\nCarex nigra\t7\r\nAgrostis alba\t8\r\n");
    ASSERT_TRUE(collect(db.ImportZw(dir.file("zw.txt"), U'\t', noProgress(), false)));
    const auto staleLines = [this] {
        std::vector<std::string> found;
        for (const std::string& e : errors)
            if (e.find("Zeigerwertliste") != std::string::npos) found.push_back(e);
        return found;
    };
    // The same list again: every key still names its taxon.
    ASSERT_TRUE(collect(db.ImportTable(dir.file("liste.txt"), U'\t', noProgress())));
    EXPECT_EQ(staleLines(), std::vector<std::string>{});
    // Record 1 now names another taxon and record 5 is gone.
    writeBytes(dir.file("neu.txt"),
               speciesListText("Artenliste\tNeu",
                               {SpeciesRecord("1", "Carex", "panicea", "L.", "Cyperaceae", "101"),
                                SpeciesRecord("2", "Carex", "nigrescens", "Bruckner", "Cyperaceae", "102")}));
    ASSERT_TRUE(collect(db.ImportTable(dir.file("neu.txt"), U'\t', noProgress())));
    EXPECT_EQ(staleLines(),
              std::vector<std::string>{
                  "WARNUNG: In der Zeigerwertliste ZW01 verweisen 2 von 2 Einträgen auf Datensätze, "
                  "die in der neuen Artenliste fehlen oder eine andere Art bezeichnen. Bitte die "
                  "Zeigerwerte neu importieren."});
}

TEST_F(ArtDbTest, ShippedSampleDatabaseIsTheImportOfItsList) {
    const std::string samples = TAVOLEX_SAMPLES;
    TArtDb fresh(dbFile, {}, ui);
    ASSERT_TRUE(collect(fresh.ImportTable(samples + "/artenliste.txt", U'\t', noProgress())));
    EXPECT_TRUE(errors.empty());
    const TArtDb shipped(samples + "/arten.adb", {}, ui);
    ASSERT_EQ(shipped.SQLarten().fields(), fresh.SQLarten().fields());
    ASSERT_EQ(shipped.SQLarten().count(), fresh.SQLarten().count());
    for (int row = 0; row < fresh.SQLarten().count(); ++row)
        for (int f = 0; f < fresh.SQLarten().fieldCount(); ++f)
            ASSERT_EQ(shipped.SQLarten().text(row, f), fresh.SQLarten().text(row, f)) << row << " " << f;
    ASSERT_EQ(shipped.SQLaggr().count(), fresh.SQLaggr().count());
}

}  // namespace
}  // namespace tav
