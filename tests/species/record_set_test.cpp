#include "species/record_set.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/numbers.h"
#include "core/random.h"
#include "core/text.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::TempDir;
using testing::writeBytes;

FieldDef field(std::string name, FieldType type, int width = 36, bool required = false,
               KeyKind key = KeyKind::None) {
    return FieldDef{std::move(name), type, width, required, key};
}

// Every row and field of b equals a, including which cells are empty.
void expectSameTable(const RecordSet& a, const RecordSet& b) {
    ASSERT_EQ(a.fields(), b.fields());
    ASSERT_EQ(a.count(), b.count());
    for (int r = 0; r < a.count(); ++r) {
        for (int f = 0; f < a.fieldCount(); ++f) {
            SCOPED_TRACE("row " + std::to_string(r) + " field " + a.fields()[f].name);
            EXPECT_EQ(a.text(r, f), b.text(r, f));
            EXPECT_EQ(a.isEmpty(r, f), b.isEmpty(r, f));
            EXPECT_EQ(a.integer(r, f), b.integer(r, f));
            const auto x = a.number(r, f), y = b.number(r, f);
            ASSERT_EQ(x.has_value(), y.has_value());
            if (x) {
                EXPECT_EQ(*x, *y);  // bit for bit, not within a tolerance
            }
        }
    }
}

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs SQL on a new database file, for files the program itself would never write.
void makeDatabase(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

// ---------------------------------------------------------------- appending and checking values

// A species-like table: key, name (5 characters, required), count, value, species relation, free note.
RecordSet checkedTable() {
    RecordSet t;
    t.define({field("Prim", FieldType::Integer, 0, true, KeyKind::Primary),
              field("Name", FieldType::String, 5, true), field("Menge", FieldType::Integer, 0),
              field("Wert", FieldType::Float, 0),
              field("Art", FieldType::Integer, 0, false, KeyKind::SpeciesRelation),
              field("Notiz", FieldType::String, 0)});
    EXPECT_EQ(t.appendTexts({"1", "Abies"}), std::nullopt);
    return t;
}

struct AppendCase {
    const char* what;
    std::vector<std::string> texts;
    std::optional<std::string> reason;  // nullopt: accepted
};

TEST(RecordSetAppend, AcceptsOrRefusesEachRecordWhole) {
    const std::string longNote(1000, 'x');
    const AppendCase cases[] = {
        {"plain record", {"2", "Picea", "3", "1.5", "1", "frei"}, std::nullopt},
        {"blanks around texts", {" 3 ", "\tPinus ", " 7", "2 "}, std::nullopt},
        {"umlauts count as one character", {"4", "Äöüßé"}, std::nullopt},
        {"no width limit", {"5", "Larix", "", "", "", longNote}, std::nullopt},
        {"exponent in a float field", {"6", "Taxus", "", "1e3"}, std::nullopt},
        {"empty optional fields", {"7", "Acer", "", "", "", ""}, std::nullopt},
        {"text in an integer field", {"8", "Acer", "viele"}, "Feld \"Menge\": keine ganze Zahl"},
        {"fraction in an integer field", {"8", "Acer", "1.5"}, "Feld \"Menge\": keine ganze Zahl"},
        {"comma as decimal separator", {"8", "Acer", "", "1,5"}, "Feld \"Wert\": keine Zahl"},
        {"text in a float field", {"8", "Acer", "", "hoch"}, "Feld \"Wert\": keine Zahl"},
        {"the empty marker as a value",
         {"8", "Acer", "-9223372036854775808"},
         "Feld \"Menge\": Zahl zu klein"},
        {"too long", {"8", "Abcdef"}, "Feld \"Name\": länger als 5 Zeichen"},
        {"too long with umlauts", {"8", "Äbcdéf"}, "Feld \"Name\": länger als 5 Zeichen"},
        {"missing required", {"8", ""}, "Feld \"Name\": darf nicht leer sein"},
        {"blank required", {"8", "   "}, "Feld \"Name\": darf nicht leer sein"},
        {"required field beyond the texts", {"8"}, "Feld \"Name\": darf nicht leer sein"},
        {"duplicate key", {"1", "Acer"}, "Feld \"Prim\": Schlüssel 1 ist schon vergeben"},
        {"zero key", {"0", "Acer"}, "Feld \"Prim\": Schlüssel muss größer als 0 sein"},
        {"negative key", {"-4", "Acer"}, "Feld \"Prim\": Schlüssel muss größer als 0 sein"},
        {"largest key", {"992436542", "Acer"}, std::nullopt},
        {"key beyond the record range",
         {"4294967297", "Acer"},
         "Feld \"Prim\": Schlüssel 4294967297 liegt nicht zwischen 1 und 992436542"},
        {"missing key", {"", "Acer"}, "Feld \"Prim\": Schlüssel fehlt"},
        {"text as key", {"A1", "Acer"}, "Feld \"Prim\": keine ganze Zahl"},
        {"species relation holds a number", {"8", "Acer", "", "", "Abies"}, "Feld \"Art\": keine ganze Zahl"},
        {"more texts than fields", {"8", "Acer", "", "", "", "", "zuviel"}, "7 Werte für 6 Felder"},
    };
    for (const AppendCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordSet t = checkedTable();
        EXPECT_EQ(t.appendTexts(c.texts), c.reason);
        EXPECT_EQ(t.count(), c.reason ? 1 : 2);
        // A refused record leaves no key behind.
        if (c.reason) {
            EXPECT_EQ(t.appendTexts({"8", "Acer"}), std::nullopt);
        }
    }
}

TEST(RecordSetAppend, ValuesReadBackByType) {
    RecordSet t = checkedTable();
    ASSERT_EQ(t.appendTexts({" 12 ", " Pinus\t", "-3", "3.14159265358979323846", "7", ""}), std::nullopt);
    const int r = 1;
    EXPECT_EQ(t.text(r, 0), "12");
    EXPECT_EQ(t.text(r, 1), "Pinus");
    EXPECT_EQ(t.integer(r, 2), -3);
    EXPECT_EQ(t.number(r, 2), -3.0);
    EXPECT_EQ(t.number(r, 3), 3.141592653589793);
    EXPECT_EQ(t.integer(r, 3), std::nullopt);  // a float field has no integers
    EXPECT_EQ(t.integer(r, 4), 7);
    EXPECT_TRUE(t.isEmpty(r, 5));
    EXPECT_EQ(t.text(r, 5), "");
    // Empty integer and float cells are empty, not zero.
    EXPECT_TRUE(t.isEmpty(0, 2));
    EXPECT_EQ(t.integer(0, 2), std::nullopt);
    EXPECT_EQ(t.number(0, 3), std::nullopt);
    // Out of range reads are empty rather than undefined.
    EXPECT_EQ(t.text(5, 0), "");
    EXPECT_EQ(t.text(0, 9), "");
    EXPECT_TRUE(t.isEmpty(-1, 0));
    // A string field reads as a number when its text is one.
    ASSERT_EQ(t.appendTexts({"13", "1.25"}), std::nullopt);
    EXPECT_EQ(t.number(2, 1), 1.25);
}

TEST(RecordSetAppend, KeysFollowEveryChange) {
    RecordSet t = checkedTable();
    ASSERT_EQ(t.appendTexts({"5", "Picea"}), std::nullopt);
    ASSERT_EQ(t.appendTexts({"9", "Pinus"}), std::nullopt);
    EXPECT_EQ(t.rowOfKey(1), 0);
    EXPECT_EQ(t.rowOfKey(5), 1);
    EXPECT_EQ(t.rowOfKey(9), 2);
    EXPECT_EQ(t.rowOfKey(4), -1);

    // removeLast frees its key for a new record.
    t.removeLast();
    EXPECT_EQ(t.rowOfKey(9), -1);
    EXPECT_EQ(t.appendTexts({"9", "Larix"}), std::nullopt);
    EXPECT_EQ(t.text(t.rowOfKey(9), 1), "Larix");

    // setText moves a key, refuses a taken one and may rewrite a row's own key.
    std::string why;
    EXPECT_FALSE(t.setText(1, 0, "9", &why));
    EXPECT_EQ(why, "Feld \"Prim\": Schlüssel 9 ist schon vergeben");
    EXPECT_EQ(t.text(1, 0), "5");
    EXPECT_TRUE(t.setText(1, 0, "5"));
    EXPECT_TRUE(t.setText(1, 0, "6"));
    EXPECT_EQ(t.rowOfKey(5), -1);
    EXPECT_EQ(t.rowOfKey(6), 1);
    EXPECT_EQ(t.appendTexts({"5", "Taxus"}), std::nullopt);

    t.clearRecords();
    EXPECT_EQ(t.count(), 0);
    EXPECT_EQ(t.rowOfKey(1), -1);
    EXPECT_EQ(t.appendTexts({"1", "Abies"}), std::nullopt);
}

TEST(RecordSetAppend, SetTextChecksLikeAppend) {
    RecordSet t = checkedTable();
    std::string why;
    EXPECT_FALSE(t.setText(0, 1, "Abcdef", &why));
    EXPECT_EQ(why, "Feld \"Name\": länger als 5 Zeichen");
    EXPECT_FALSE(t.setText(0, 2, "x", &why));
    EXPECT_EQ(why, "Feld \"Menge\": keine ganze Zahl");
    EXPECT_FALSE(t.setText(0, 1, " ", &why));
    EXPECT_EQ(why, "Feld \"Name\": darf nicht leer sein");
    EXPECT_FALSE(t.setText(1, 1, "Acer"));  // no such row
    EXPECT_EQ(t.text(0, 1), "Abies");
    EXPECT_TRUE(t.setText(0, 3, " 2.5 "));
    EXPECT_EQ(t.number(0, 3), 2.5);
    EXPECT_TRUE(t.setText(0, 3, ""));
    EXPECT_TRUE(t.isEmpty(0, 3));
}

TEST(RecordSetAppend, RowsWithIntegerSeesEveryChange) {
    RecordSet t = checkedTable();
    for (const char* k : {"2", "3", "4", "5"})
        ASSERT_EQ(t.appendTexts({k, "Acer", "", "", "7"}), std::nullopt);
    ASSERT_TRUE(t.setText(2, 4, "8"));
    EXPECT_EQ(t.rowsWithInteger(4, 7), (std::vector<int>{1, 3, 4}));
    ASSERT_TRUE(t.setText(0, 4, "7"));
    EXPECT_EQ(t.rowsWithInteger(4, 7), (std::vector<int>{0, 1, 3, 4}));
    t.removeLast();
    EXPECT_EQ(t.rowsWithInteger(4, 7), (std::vector<int>{0, 1, 3}));
    ASSERT_EQ(t.appendTexts({"9", "Acer", "", "", "7"}), std::nullopt);
    EXPECT_EQ(t.rowsWithInteger(4, 7), (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(t.rowsWithInteger(4, 8), (std::vector<int>{2}));
    EXPECT_EQ(t.rowsWithInteger(4, 6), std::vector<int>{});
    EXPECT_EQ(t.rowsWithInteger(1, 7), std::vector<int>{});  // not an integer field
    EXPECT_EQ(t.rowsWithInteger(99, 7), std::vector<int>{});
}

TEST(RecordSetFields, NamesMatchExactlyFirstThenIgnoringCase) {
    RecordSet t;
    t.define({field("name", FieldType::String), field("Name", FieldType::String),
              field("Größe", FieldType::Float), field("Äste", FieldType::Integer)});
    EXPECT_EQ(t.fieldIndex("name"), 0);
    EXPECT_EQ(t.fieldIndex("Name"), 1);
    EXPECT_EQ(t.fieldIndex("NAME"), 0);
    EXPECT_EQ(t.fieldIndex("GRÖßE"), 2);
    EXPECT_EQ(t.fieldIndex("äste"), 3);
    EXPECT_EQ(t.fieldIndex("Ast"), -1);
    EXPECT_EQ(t.fieldIndex(""), -1);
}

TEST(RecordSetFields, DefiningEmptiesTheTableAndDropsTheFilter) {
    RecordSet t = checkedTable();
    ASSERT_TRUE(t.setFilter("Prim = 2"));
    t.define({field("Nr", FieldType::Integer, 0, false, KeyKind::Primary),
              field("Ref", FieldType::String, 36, false, KeyKind::SpeciesRelation)});
    EXPECT_EQ(t.count(), 0);
    EXPECT_FALSE(t.hasFilter());
    EXPECT_EQ(t.rowOfKey(1), -1);
    // Key fields hold record numbers whatever type they were given.
    EXPECT_EQ(t.fields()[1].type, FieldType::Integer);
    EXPECT_EQ(t.appendTexts({"1", "x"}), "Feld \"Ref\": keine ganze Zahl");
}

// ---------------------------------------------------------------- file

// Field names that differ only in letter case or carry umlauts, values that SQL would choke on if they
// were pasted into statements, and floats whose last digits matter.
RecordSet awkwardTable() {
    RecordSet t;
    t.define({field("Nr", FieldType::Integer, 0, true, KeyKind::Primary),
              field("name", FieldType::String, 40, true), field("Name", FieldType::String, 0),
              field("Größe", FieldType::Float, 0), field("Anzahl", FieldType::Integer, 0),
              field("Bezug", FieldType::Integer, 0, false, KeyKind::SpeciesRelation),
              field("Ä\"'; x", FieldType::String, 3)});
    const std::vector<std::vector<std::string>> rows = {
        {"1", "Äpfel", "Öl", "0.30000000000000004", "-5", "2", "a'b"},
        {"2", "Robert'); DROP TABLE rows; --", "", "", "", "", ""},
        {"3", "Müller", "MÜLLER", "1.2345678901234567e-300", "9223372036854775807", "1", "\"\""},
        {"7", "x", "ß€😀", "-9999999999999999.9", "0", "", "é"},
        {"8", "y", "", "123456789.12345678", "", "", ""},
    };
    for (const auto& r : rows) EXPECT_EQ(t.appendTexts(r), std::nullopt);
    return t;
}

TEST(RecordSetFile, SaveThenLoadGivesTheSameTable) {
    TempDir dir;
    const std::string path = dir.file("arten.db");
    const RecordSet saved = awkwardTable();
    ASSERT_TRUE(saved.save(path));
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"arten.db"});

    RecordSet loaded;
    ASSERT_TRUE(loaded.load(path));
    expectSameTable(saved, loaded);
    EXPECT_EQ(loaded.rowOfKey(7), 3);
    EXPECT_EQ(loaded.rowsWithInteger(5, 1), std::vector<int>{2});
    // The reloaded table refuses a duplicate key as the saved one did.
    EXPECT_EQ(loaded.appendTexts({"8", "z"}), "Feld \"Nr\": Schlüssel 8 ist schon vergeben");
}

TEST(RecordSetFile, ColumnsAreNamedByPosition) {
    // Other tools read the container: one column per field, c0, c1, …, whatever the field names.
    TempDir dir;
    const std::string path = dir.file("t.db");
    ASSERT_TRUE(awkwardTable().save(path));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT c1, c2, c4 FROM rows WHERE c0 = 3", -1, &st, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "Müller");
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)), "MÜLLER");
    EXPECT_EQ(sqlite3_column_int64(st, 2), 9223372036854775807);
    sqlite3_finalize(st);
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT name, type, width, required, key FROM fields WHERE pos = 6", -1,
                                 &st, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "Ä\"'; x");
    EXPECT_EQ(sqlite3_column_int(st, 2), 3);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

TEST(RecordSetFile, EmptyTablesRoundTrip) {
    TempDir dir;
    RecordSet noRecords = checkedTable();
    noRecords.clearRecords();
    RecordSet noFields;
    noFields.define({});
    ASSERT_TRUE(noFields.appendTexts({}) == std::nullopt);
    for (const RecordSet* t : {&noRecords, &noFields}) {
        ASSERT_TRUE(t->save(dir.file("e.db")));
        RecordSet back;
        ASSERT_TRUE(back.load(dir.file("e.db")));
        expectSameTable(*t, back);
    }
}

TEST(RecordSetFile, MissingFileOpensAsVoidTable) {
    TempDir dir;
    const FieldDef voidField{"void", FieldType::Integer, 0, false, KeyKind::None};
    for (const std::string& path : {dir.file("fehlt.db"), dir.file("kein/ordner/fehlt.db")}) {
        RecordSet t = checkedTable();
        ASSERT_TRUE(t.load(path));
        EXPECT_EQ(t.fields(), std::vector<FieldDef>{voidField});
        EXPECT_EQ(t.count(), 0);
        // Opening never creates the file.
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST(RecordSetFile, UnreadableFilesAreRefusedAndTheTableKept) {
    TempDir dir;
    writeBytes(dir.file("text.db"), "Artenliste\tgenerated\r\nPrim i 0 t p\r\n" + std::string(4000, 'x'));
    writeBytes(dir.file("leer.db"), "");
    makeDatabase(dir.file("fremd.db"), "CREATE TABLE arten(nr INTEGER, name TEXT)");
    makeDatabase(dir.file("ohnezeilen.db"),
                 "CREATE TABLE fields(pos INTEGER PRIMARY KEY, name TEXT, type TEXT, width INTEGER, required "
                 "INTEGER, key TEXT)");
    makeDatabase(dir.file("spalte.db"),
                 "CREATE TABLE fields(pos INTEGER PRIMARY KEY, name TEXT, type TEXT, width INTEGER, required "
                 "INTEGER, key TEXT); INSERT INTO fields VALUES(0, 'a', 'Integer', 0, 0, 'None'), (1, 'b', "
                 "'String', 9, 0, 'None'); CREATE TABLE rows(c0 INTEGER)");
    makeDatabase(dir.file("typ.db"),
                 "CREATE TABLE fields(pos INTEGER PRIMARY KEY, name TEXT, type TEXT, width INTEGER, required "
                 "INTEGER, key TEXT); INSERT INTO fields VALUES(0, 'a', 'Datum', 0, 0, 'None'); CREATE TABLE "
                 "rows(c0)");
    makeDatabase(
        dir.file("wert.db"),
        "CREATE TABLE fields(pos INTEGER PRIMARY KEY, name TEXT, type TEXT, width INTEGER, required "
        "INTEGER, key TEXT); INSERT INTO fields VALUES(0, 'Anzahl', 'Integer', 0, 0, 'None'); CREATE "
        "TABLE rows(c0); INSERT INTO rows VALUES(4), ('viele')");
    makeDatabase(dir.file("neuer.db"), "PRAGMA user_version = 99");
    makeDatabase(dir.file("schluessel.db"),
                 "CREATE TABLE fields(pos INTEGER PRIMARY KEY, name TEXT, type TEXT, width INTEGER, required "
                 "INTEGER, key TEXT); INSERT INTO fields VALUES(0, 'Nr', 'Integer', 0, 1, 'Primary'); CREATE "
                 "TABLE rows(c0); INSERT INTO rows VALUES(7), (4294967297)");
    ASSERT_EQ(::mkfifo(dir.file("fifo.db").c_str(), 0600), 0);
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"text.db", "keine Tabellendatei"},
        {"leer.db", "die Tabelle \"fields\" fehlt"},
        {"fremd.db", "die Tabelle \"fields\" fehlt"},
        {"ohnezeilen.db", "die Tabelle \"rows\" fehlt"},
        {"spalte.db", "die Datensätze passen nicht zur Feldliste (no such column: c1)"},
        {"typ.db", "unbekannter Typ \"Datum\""},
        {"wert.db", "Datensatz 2, Feld \"Anzahl\": keine ganze Zahl"},
        {"neuer.db", "mit einer neueren Programmversion gespeichert"},
        {"", "das ist ein Ordner"},
        {"fifo.db", "keine gewöhnliche Datei"},  // refused at once, never waited on
        {"schluessel.db", "Datensatz 2, Feld \"Nr\": Schlüssel 4294967297 liegt nicht zwischen 1 und"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        RecordSet t = checkedTable();
        const std::string path = dir.file(c.file);
        const Status loaded = t.load(path);
        EXPECT_FALSE(loaded.ok());
        const std::string error = loaded.messages().at(0).plain();
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_EQ(error.rfind("Kann " + path + " nicht lesen: ", 0), 0u) << error;
        EXPECT_EQ(t.count(), 1);
        EXPECT_EQ(t.text(0, 1), "Abies");
    }
}

TEST(RecordSetFile, ValuesWrittenByOtherToolsAreConvertedOrTakenAsSaved) {
    // SQLite does not enforce column types: text digits in an integer column and integers in a text
    // column are read by the field's type; length and key rules of appending are not reapplied.
    TempDir dir;
    makeDatabase(
        dir.file("x.db"),
        "CREATE TABLE fields(pos INTEGER PRIMARY KEY, name TEXT, type TEXT, width INTEGER, required "
        "INTEGER, key TEXT); INSERT INTO fields VALUES(0, 'Nr', 'integer', 0, 1, 'primary'), (1, 'Name', "
        "'String', 2, NULL, NULL), (2, 'Wert', 'Float', 0, 0, 'None'); CREATE TABLE rows(c0, c1, c2); "
        "INSERT INTO rows VALUES(' 5 ', 12, '2.5'), (5.0, 'lang', 3), (6, '', ' ')");
    RecordSet t;
    ASSERT_TRUE(t.load(dir.file("x.db")));
    ASSERT_EQ(t.count(), 3);
    EXPECT_EQ(t.fields()[0].key, KeyKind::Primary);
    EXPECT_EQ(t.integer(0, 0), 5);
    EXPECT_EQ(t.text(0, 1), "12");
    EXPECT_EQ(t.number(0, 2), 2.5);
    EXPECT_EQ(t.integer(1, 0), 5);
    EXPECT_EQ(t.text(1, 1), "lang");
    EXPECT_EQ(t.number(1, 2), 3.0);
    EXPECT_TRUE(t.isEmpty(2, 1));
    EXPECT_TRUE(t.isEmpty(2, 2));
    // A key the file repeats belongs to its first row.
    EXPECT_EQ(t.rowOfKey(5), 0);
    EXPECT_EQ(t.rowOfKey(6), 2);
}

TEST(RecordSetFile, SaveReplacesTheTargetOnlyOnSuccess) {
    TempDir dir;
    const std::string path = dir.file("arten.db");
    const RecordSet first = checkedTable();
    ASSERT_TRUE(first.save(path));

    // A successful save replaces the old file.
    const RecordSet second = awkwardTable();
    ASSERT_TRUE(second.save(path));
    RecordSet back;
    ASSERT_TRUE(back.load(path));
    expectSameTable(second, back);

    // A folder that does not exist: nothing is written anywhere.
    const Status missing = first.save(dir.file("fehlt/arten.db"));
    EXPECT_FALSE(missing.ok());
    const std::string error = missing.messages().at(0).plain();
    EXPECT_EQ(error.rfind("Kann " + dir.file("fehlt/arten.db") + " nicht speichern: ", 0), 0u) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.file("fehlt")));

    // A target that cannot be replaced (a folder) fails after writing: the temporary file is gone again.
    std::filesystem::create_directory(dir.file("ordner.db"));
    std::filesystem::create_directory(dir.file("ordner.db/inhalt"));
    EXPECT_FALSE(first.save(dir.file("ordner.db")));
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"arten.db", "ordner.db"}));

    // A symbolic link is written through: the file it names gets the table, the link stays a link.
    std::filesystem::create_symlink("arten.db", dir.file("link.db"));
    ASSERT_TRUE(first.save(dir.file("link.db")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.db")));
    ASSERT_TRUE(back.load(path));
    expectSameTable(first, back);
    ASSERT_TRUE(second.save(path));

    // A failed save left the good file as it was.
    ASSERT_TRUE(back.load(path));
    expectSameTable(second, back);
}

// ---------------------------------------------------------------- folded index

RecordSet namesTable(const std::vector<std::string>& names) {
    RecordSet t;
    t.define({field("Name", FieldType::String, 0), field("Nr", FieldType::Integer, 0)});
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(t.appendTexts({names[i], std::to_string(i * 7)}), std::nullopt);
    return t;
}

TEST(RecordSetIndex, PrefixSearchIgnoresLetterCaseAndAccents) {
    const RecordSet t =
        namesTable({"Äpfel", "apfel", "Apfelbaum", "Ahorn", "äsche", "ÄPFEL", "", "Zeder", "ápfel"});
    const FoldedIndex& index = t.index(0);
    const struct {
        const char* prefix;
        std::vector<int> rows;
    } cases[] = {
        {"äp", {0, 5}},     // ä folds to Ä, not to A
        {"AP", {1, 8, 2}},  // á folds to A; equal values keep row order
        {"apfelb", {2}},     {"Ä", {0, 5, 4}},
        {"A", {3, 1, 8, 2}}, {"", {6, 3, 1, 8, 2, 7, 0, 5, 4}},  // everything, the empty value first
        {"ZEDERN", {}},      {"ZZ", {}},
        {"\xff", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix);
        EXPECT_EQ(index.withPrefix(upperFold(c.prefix)), c.rows);
    }
    EXPECT_EQ(index.entries().size(), 9u);
    EXPECT_EQ(index.lowerBound("B"), 5u);
}

TEST(RecordSetIndex, AgreesWithAFullScanOnRandomNames) {
    const char* const letters[] = {"a", "A", "ä", "Ä", "b", "é", "E", "e", " "};
    Random r(11);
    std::vector<std::string> names;
    for (int i = 0; i < 3000; ++i) {
        std::string s;
        const int n = static_cast<int>(r.below(5));
        for (int k = 0; k < n; ++k) s += letters[r.below(9)];
        names.push_back(s);
    }
    const RecordSet t = namesTable(names);
    const FoldedIndex& index = t.index(0);
    for (int q = 0; q < 300; ++q) {
        std::string prefix;
        const int n = static_cast<int>(r.below(4));
        for (int k = 0; k < n; ++k) prefix += letters[r.below(9)];
        const std::string folded = upperFold(prefix);
        std::vector<int> expected;
        for (int row = 0; row < t.count(); ++row)
            if (upperFold(t.text(row, 0)).starts_with(folded)) expected.push_back(row);
        std::vector<int> found = index.withPrefix(folded);
        std::sort(found.begin(), found.end());
        ASSERT_EQ(found, expected) << "prefix \"" << prefix << "\"";
    }
}

TEST(RecordSetIndex, FollowsChangesOfTheRecords) {
    RecordSet t = namesTable({"Abies", "Acer"});
    EXPECT_EQ(t.index(0).withPrefix("A"), (std::vector<int>{0, 1}));
    ASSERT_TRUE(t.setText(0, 0, "Betula"));
    EXPECT_EQ(t.index(0).withPrefix("A"), (std::vector<int>{1}));
    ASSERT_EQ(t.appendTexts({"Alnus", "1"}), std::nullopt);
    EXPECT_EQ(t.index(0).withPrefix("A"), (std::vector<int>{1, 2}));
    t.removeLast();
    EXPECT_EQ(t.index(0).withPrefix("A"), (std::vector<int>{1}));
    t.clearRecords();
    EXPECT_EQ(t.index(0).withPrefix(""), std::vector<int>{});
    // Number fields are indexed by their text.
    t = namesTable({"a", "b", "c"});  // Nr 0, 7, 14
    EXPECT_EQ(t.index(1).withPrefix("1"), std::vector<int>{2});
    EXPECT_TRUE(t.index(7).entries().empty());
}

// ---------------------------------------------------------------- filter

RecordSet filterTable() {
    RecordSet t;
    t.define({field("Nr", FieldType::Integer, 0, true, KeyKind::Primary), field("Name", FieldType::String, 0),
              field("Wert", FieldType::Float, 0), field("Menge", FieldType::Integer, 0),
              field("Code", FieldType::String, 0), field("Größe", FieldType::String, 0)});
    EXPECT_EQ(t.appendTexts({"1", "Abies alba", "1.5", "10", "b", "x"}), std::nullopt);
    EXPECT_EQ(t.appendTexts({"2", "abies grandis", "", "20", "10", "y"}), std::nullopt);
    EXPECT_EQ(t.appendTexts({"3", "Äcker", "2.5", "", "9", ""}), std::nullopt);
    EXPECT_EQ(t.appendTexts({"4", "O'Brien", "-1", "5", "", "x"}), std::nullopt);
    return t;
}

std::vector<int> passing(const RecordSet& t) {
    std::vector<int> rows;
    for (int r = 0; r < t.count(); ++r)
        if (t.passes(r)) rows.push_back(r);
    return rows;
}

TEST(RecordFilter, SelectsTheRowsTheConditionDescribes) {
    const struct {
        const char* condition;
        std::vector<int> rows;
    } cases[] = {
        {"Nr = 1", {0}},
        {"Nr=1", {0}},
        {"nr >= 3", {2, 3}},
        {"Nr != 2", {0, 2, 3}},
        {"Nr <> 2", {0, 2, 3}},
        // Text compares folded to upper case, byte by byte.
        {"Name = 'ABIES ALBA'", {0}},
        {"Name = 'äcker'", {2}},
        {"Name = 'O''Brien'", {3}},
        {"Name < 'B'", {0, 1}},
        {"Name >= 'a'", {0, 1, 2, 3}},
        {"\"Name\" = 'Äcker'", {2}},
        {"größe = 'X'", {0, 3}},
        // Numbers compare numerically in number fields; an empty value passes only "= ''".
        {"Wert > 1", {0, 2}},
        {"Wert <> 1.5", {2, 3}},
        {"Wert = -1", {3}},
        {"Wert >= -1.0e0", {0, 2, 3}},
        {"Wert = ''", {1}},
        {"Menge = ''", {2}},
        {"Menge < 15", {0, 3}},
        {"15 > Menge", {0, 3}},
        {"'' = Menge", {2}},
        {"Menge <= 1e1", {0, 3}},
        // A text constant compares a number field as text; a number compares a text field as text.
        {"Menge < '5'", {0, 1, 2}},
        {"Code < '9'", {1, 3}},
        {"Code < 9", {1, 3}},
        {"Code = 10", {1}},
        // AND binds tighter than OR and XOR, which join from the left.
        {"Nr = 1 OR Nr = 2 AND Menge = 10", {0}},
        {"(Nr = 1 OR Nr = 2) AND Menge = 20", {1}},
        {"Nr > 1 XOR Menge > 5", {0, 2, 3}},
        {"Nr = 1 OR Nr = 2 XOR Nr = 2", {0}},
        {"Nr = 2 XOR Nr = 2 OR Nr = 3", {2}},
        {"NOT Nr = 1", {1, 2, 3}},
        {"not (Nr = 1 or Nr = 2)", {2, 3}},
        {"NOT NOT Nr = 1 and not Menge = ''", {0}},
        {"((Nr = 4))", {3}},
        {"  ", {0, 1, 2, 3}},
    };
    RecordSet t = filterTable();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.condition);
        ASSERT_TRUE(t.setFilter(c.condition));
        EXPECT_EQ(passing(t), c.rows);
    }
    EXPECT_FALSE(t.hasFilter());  // the blank condition removed it
}

TEST(RecordFilter, ReportsWhatAndWhere) {
    const struct {
        std::string condition;
        const char* message;
    } cases[] = {
        {"Gattung = 'x'", "Unbekanntes Feld \"Gattung\" an Position 1"},
        {"Name = 'Ä' AND Gr = 1", "Unbekanntes Feld \"Gr\" an Position 16"},  // characters, not bytes
        {"Nr = 1 AND", "Die Bedingung endet unerwartet"},
        {"Nr = 1 )", "Unerwartet an Position 8: )"},
        {"Nr = 1 Nr = 2", "Unerwartet an Position 8: Nr"},
        {"(Nr = 1", "Zur Klammer an Position 1 fehlt die schließende"},
        {"(Nr = 1 Menge", "Unerwartet an Position 9: Menge"},
        {"Name = 'abc", "Dem Text an Position 8 fehlt das schließende Anführungszeichen"},
        {"\"Name = 'abc'", "Dem Feldnamen an Position 1 fehlt das schließende Anführungszeichen"},
        {"Name = Abies", "Zahl oder Text erwartet an Position 8"},
        {"Nr 1", "Vergleich (=, <>, <, >, <=, >=) erwartet an Position 4"},
        {"Nr", "Vergleich erwartet am Ende der Bedingung"},
        {"1 = 2", "Feldname erwartet an Position 5"},
        {"Nr = 1.2.3", "Keine gültige Zahl an Position 6: 1.2.3"},
        {"Nr = 12abc", "Keine gültige Zahl an Position 6: 12abc"},
        {"Nr = 1 # 2", "Unerwartetes Zeichen an Position 8: #"},
        {"Nr = 1 AND OR Nr = 2", "Unerwartet an Position 12: OR"},
        {"Nr == 1", "Zahl oder Text erwartet an Position 5"},
        {std::string(300, '(') + "Nr = 1" + std::string(300, ')'), "Die Bedingung ist zu tief geschachtelt"},
    };
    RecordSet t = filterTable();
    ASSERT_TRUE(t.setFilter("Nr = 2"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.condition);
        const Status refused = t.setFilter(c.condition);
        EXPECT_FALSE(refused.ok());
        ASSERT_EQ(refused.messages().size(), 1u);
        EXPECT_EQ(refused.messages()[0].plain(), c.message);
        // The filter in effect stays.
        EXPECT_EQ(passing(t), std::vector<int>{1});
    }
}

TEST(RecordFilter, LongConditionsAndChangedValues) {
    RecordSet t = filterTable();
    // A long chain is evaluated without deep recursion.
    std::string chain = "Nr = 4";
    for (int k = 0; k < 20000; ++k) chain += " OR Nr = 99";
    ASSERT_TRUE(t.setFilter(chain));
    EXPECT_EQ(passing(t), std::vector<int>{3});
    // The filter reads the current values.
    ASSERT_TRUE(t.setFilter("Name = 'PICEA' OR Wert > 2"));
    EXPECT_EQ(passing(t), std::vector<int>{2});
    ASSERT_TRUE(t.setText(0, 1, "picea"));
    ASSERT_TRUE(t.setText(2, 2, "2"));
    EXPECT_EQ(passing(t), std::vector<int>{0});
    t.clearRecords();
    ASSERT_EQ(t.appendTexts({"9", "Picea"}), std::nullopt);
    EXPECT_EQ(passing(t), std::vector<int>{0});
    EXPECT_FALSE(t.passes(1));
    t.clearFilter();
    EXPECT_FALSE(t.hasFilter());
    EXPECT_TRUE(t.passes(0));
}

}  // namespace
}  // namespace tav
