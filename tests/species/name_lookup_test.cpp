#include "species/name_lookup.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/script_ui.h"
#include "support/artdb_fixture.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::speciesListText;
using testing::SpeciesRecord;
using testing::TempDir;
using testing::writeBytes;

std::string speciesList() {
    return speciesListText(
        "Artenliste\tTestliste$Schichten\t/B,/S,/K\tInfo03\tB,S,K",
        {
            SpeciesRecord("1", "Carex", "nigra", "(L.) Reichard", "Cyperaceae", "101")
                .status("A", 2)
                .vernacular("Braune Segge"),
            SpeciesRecord("2", "Carex", "nigrescens", "Bruckner", "Cyperaceae", "102")
                .status("A", 2)
                .vernacular("Graue Segge"),
            SpeciesRecord("3", "Carex", "flava", "L.", "Cyperaceae", "103")
                .status("A", 2)
                .vernacular("Gelbe Segge"),
            SpeciesRecord("5", "Agrostis", "stolonifera", "L.", "Poaceae", "201").status("S", 2),
            SpeciesRecord("6", "Agrostis", "alba", "auct.", "Poaceae", "202")
                .synonymOf("201")
                .status("S")
                .status("A", 2),
            SpeciesRecord("7", "Achillea", "millefolium", "agg.", "Asteraceae", "301")
                .status("Z")
                .members("302,303"),
            SpeciesRecord("8", "Achillea", "millefolium", "L.", "Asteraceae", "302").status("E"),
            SpeciesRecord("9", "Achillea", "collina", "Becker", "Asteraceae", "303").status("E"),
            SpeciesRecord("10", "Betula", "pendula", "Roth", "Betulaceae", "401").info("B", 3),
        });
}

// Answers from tokens like ScriptUi and keeps every dialog it was shown.
class RecordingUi : public ScriptUi {
  public:
    using ScriptUi::ScriptUi;
    std::optional<std::string> dialog(const DialogRequest& request) override {
        shown.push_back(request);
        return ScriptUi::dialog(request);
    }
    std::vector<std::string> infos() const {
        std::vector<std::string> out;
        for (const auto& [kind, text] : messages())
            if (kind == MessageKind::Info) out.push_back(text);
        return out;
    }
    std::vector<DialogRequest> shown;
};

struct NameLookupTest : ::testing::Test {
    TempDir dir;
    Catalogue cat;
    std::string dbFile = dir.file("arten.adb");

    void SetUp() override {
        ASSERT_TRUE(cat.LoadTexts(std::string(TAVOLEX_SOURCE) + "/data/tavolex.$ms"));
        writeBytes(dir.file("liste.txt"), speciesList());
        TArtDb db(dbFile, ArtDbSettings{}, silentUi());
        const Status imported = db.ImportTable(dir.file("liste.txt"), U'\t', noProgress());
        ASSERT_TRUE(imported.ok());
        ASSERT_TRUE(imported.messages().empty());
    }

    TArtDb open(UiPort& ui, const ArtDbSettings& s = {}) { return TArtDb(dbFile, s, ui); }
};

TEST_F(NameLookupTest, CheckArtDbNeedsTheSpeciesFile) {
    RecordingUi ui;
    TArtDb db = open(ui);
    EXPECT_TRUE(CheckArtDb(&db, ui, cat));
    EXPECT_TRUE(ui.messages().empty());

    EXPECT_FALSE(CheckArtDb(nullptr, ui, cat));
    TArtDb missing(dir.file("fehlt.adb"), ArtDbSettings{}, ui);
    EXPECT_FALSE(CheckArtDb(&missing, ui, cat));
    ASSERT_EQ(ui.messages().size(), 2u);
    for (const auto& [kind, text] : ui.messages()) {
        EXPECT_EQ(kind, MessageKind::Error);
        EXPECT_EQ(text, cat.GetLangMsg("MsgNoSpecListA"));
    }
}

struct LookupCase {
    const char* what;
    char mode;
    std::string input;
    bool quiet;
    std::vector<std::string> tokens;
    bool ok;
    std::string name;
    std::string info;                // the one info message expected, "" for none
    std::string title;               // the list window shown, "" for none
    std::vector<std::string> items;  // its lines, when the case checks them
};

void configure(ArtDbSettings& s, const std::string& what) {
    s.Layers = what.find("layers") != std::string::npos;
    s.OhneAutor = what.find("without authors") != std::string::npos;
    s.AccFilter = what.find("accepted names only") != std::string::npos;
    if (what.find("additions list") != std::string::npos) {
        s.Rem = true;
        s.Zusatzlist = "B;S;K;cf.";
    }
}

TEST_F(NameLookupTest, LookupNameCases) {
    const std::string notFound = "Nicht gefunden.";
    const LookupCase cases[] = {
        {"unique name", 'L', "Carex flava", false, {}, true, "Carex flava L.", "", "", {}},
        {"exact name wins over longer epithets",
         'L',
         "  Carex nigra",
         false,
         {},
         true,
         "Carex nigra (L.) Reichard",
         "",
         "",
         {}},
        {"ambiguous name, second line chosen",
         'L',
         "Carex nig",
         false,
         {"2"},
         true,
         "Carex nigrescens Bruckner",
         "",
         "Artnamen wählen",
         {"Carex nigra (L.) Reichard", "Carex nigrescens Bruckner"}},
        {"ambiguous name, choice cancelled keeps the text",
         'L',
         "Carex nig /k",
         false,
         {},
         false,
         "Carex nig /K",
         "",
         "Artnamen wählen",
         {}},
        {"accepted names only: the synonym is no candidate",
         'L',
         "Agrostis",
         false,
         {},
         true,
         "Agrostis stolonifera L.",
         "",
         "",
         {}},
        {"not found", 'L', "Quercus robur /b", false, {}, false, "Quercus robur /B", notFound, "", {}},
        {"not found without a message in mode z",
         'z',
         "Quercus robur",
         true,
         {},
         false,
         "Quercus robur",
         "",
         "",
         {}},
        {"quiet lookup confirms even a unique name",
         'L',
         "Carex fla",
         true,
         {"1"},
         true,
         "Carex flava L.",
         "",
         "Artnamen wählen",
         {"Carex flava L."}},
        {"additions kept and normalised",
         'L',
         "Carex nigra /b / cf",
         false,
         {},
         true,
         "Carex nigra (L.) Reichard /B /cf.",
         "",
         "",
         {}},
        {"additions list: invalid addition",
         'L',
         "Carex nigra /xy",
         false,
         {},
         false,
         "Carex nigra (L.) Reichard /xy",
         "Ungültiger Zusatz",
         "",
         {}},
        {"additions list: valid addition in the list's spelling",
         'L',
         "Carex nigra /CF",
         false,
         {},
         true,
         "Carex nigra (L.) Reichard /cf.",
         "",
         "",
         {}},
        {"layers offered three times",
         'L',
         "Betula pendula",
         false,
         {"2"},
         true,
         "Betula pendula Roth /S",
         "",
         "Artnamen wählen",
         {"Betula pendula Roth /K", "Betula pendula Roth /S", "Betula pendula Roth /B"}},
        {"layers: a name with a layer needs no choice",
         'L',
         "Betula pendula /b",
         false,
         {},
         true,
         "Betula pendula Roth /B",
         "",
         "",
         {}},
        {"layers: quiet choice offers the variants",
         'L',
         "Betula pendula",
         true,
         {"3"},
         true,
         "Betula pendula Roth /B",
         "",
         "Artnamen wählen",
         {"Betula pendula Roth /K", "Betula pendula Roth /S", "Betula pendula Roth /B"}},
        {"without authors: unique name becomes the plain name",
         'L',
         "Carex flava L.",
         false,
         {},
         true,
         "Carex flava",
         "",
         "",
         {}},
        {"without authors: chosen line becomes the plain name",
         'L',
         "Carex nig",
         false,
         {"1"},
         true,
         "Carex nigra",
         "",
         "Artnamen wählen",
         {}},
        {"synonym group of a synonym",
         'S',
         "Agrostis alba",
         false,
         {"2"},
         true,
         "Agrostis stolonifera L.",
         "",
         "Synonyme",
         {"Agrostis alba auct. // SA", "Agrostis stolonifera L. // AS (gültiger Name)"}},
        {"aggregate listing, member chosen",
         'A',
         "Achillea millefolium agg.",
         true,
         {"6"},
         true,
         "Achillea collina Becker",
         "",
         "Aggregate",
         {"", "// Kleinarten von", "Achillea millefolium agg. // Z", "", "  - Achillea millefolium L. // E",
          "  - Achillea collina Becker // E"}},
        {"aggregate listing, heading chosen",
         'A',
         "Achillea millefolium agg.",
         true,
         {"2"},
         false,
         "Achillea millefolium agg.",
         "",
         "Aggregate",
         {}},
        {"family column mode",
         'F',
         "Cyperaceae",
         false,
         {"1"},
         true,
         "Carex flava L.",
         "",
         "Artnamen wählen",
         {"Carex flava L. // Cyperaceae", "Carex nigra (L.) Reichard // Cyperaceae",
          "Carex nigrescens Bruckner // Cyperaceae"}},
        {"vernacular name column, several may be chosen",
         't',
         "G",
         false,
         {"2,1"},
         true,
         "Carex flava L.",
         "",
         "Arten wählen",
         {"Carex flava L. // Gelbe Segge", "Carex nigrescens Bruckner // Graue Segge"}},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingUi ui(c.tokens);
        ArtDbSettings s;
        configure(s, c.what);
        TArtDb db = open(ui, s);
        std::vector<std::string> lines;
        std::string name = c.input;
        const int column = c.mode == 't' ? 1 : 0;
        EXPECT_EQ(LookupName(db, ui, cat, c.mode, column, lines, name, nullptr, false, false, c.quiet), c.ok);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(ui.infos(), c.info.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.info});
        EXPECT_EQ(ui.tokensLeft(), 0u);
        const DialogRequest* list = nullptr;
        for (const DialogRequest& r : ui.shown)
            if (r.kind == DialogKind::List) list = &r;
        if (c.title.empty()) {
            EXPECT_EQ(list, nullptr);
        } else {
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(list->caption, c.title);
            EXPECT_EQ(list->multi, c.mode == 't');
            if (!c.items.empty()) {
                EXPECT_EQ(list->items, c.items);
            }
        }
    }
}

TEST_F(NameLookupTest, InputFilterNarrowsAmbiguousNames) {
    struct Case {
        std::vector<int> prefer;
        bool usePrefer;
        bool choice;
    };
    const Case cases[] = {
        {{2}, true, false},    // one candidate is in the filter: it is taken without a choice
        {{2}, false, true},    // the switch is off
        {{1, 2}, true, true},  // both are in it
        {{3, 5}, true, true},  // none is in it: all candidates stay
    };
    for (const Case& c : cases) {
        RecordingUi ui({"2"});
        TArtDb db = open(ui);
        TMenge prefer;
        for (int p : c.prefer) prefer.Add(p);
        std::vector<std::string> lines;
        std::string name = "Carex nig";
        EXPECT_TRUE(LookupName(db, ui, cat, 'L', 0, lines, name, &prefer, c.usePrefer, false, false));
        EXPECT_EQ(name, "Carex nigrescens Bruckner");
        EXPECT_EQ(ui.shown.size(), c.choice ? 1u : 0u);
    }
}

TEST_F(NameLookupTest, RecordModesListTheFields) {
    for (char mode : {'Z', 'z'}) {
        SCOPED_TRACE(mode);
        RecordingUi ui({"x"});
        TArtDb db = open(ui);
        std::vector<std::string> lines = {"alt"};
        std::string name = "Carex flava /b";
        // "Z" shows the record and inserts nothing, so the name keeps its text; "z" only lists the fields.
        EXPECT_EQ(LookupName(db, ui, cat, mode, 0, lines, name, nullptr, false, false, mode == 'z'),
                  mode == 'z');
        EXPECT_EQ(name, mode == 'Z' ? "Carex flava /B" : "Carex flava L. /B");
        ASSERT_EQ(lines.size(), db.SQLarten().fields().size());
        EXPECT_EQ(lines[0], "Prim;3");
        EXPECT_EQ(lines[1], "Genus;Carex");
        EXPECT_EQ(lines[3], "Autor;L.");
        EXPECT_EQ(lines[7], "Triv01;Gelbe Segge");
        if (mode == 'Z') {
            ASSERT_EQ(ui.shown.size(), 1u);
            EXPECT_EQ(ui.shown[0].kind, DialogKind::Grid);
            EXPECT_EQ(ui.shown[0].caption, "Stammdatensatz");
            EXPECT_EQ(ui.shown[0].items, lines);
        } else {
            EXPECT_TRUE(ui.shown.empty());
        }
    }
}

TEST_F(NameLookupTest, SeveralNamesChosenTogether) {
    RecordingUi ui({"1,3"});
    TArtDb db = open(ui);
    std::vector<std::string> lines;
    std::vector<int> selection;
    std::string name = "Carex flava; Betula pendula ;Agrostis alba";
    EXPECT_TRUE(LookupName(db, ui, cat, 'm', 0, lines, name, nullptr, false, false, false, &selection));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].caption, "Arten wählen");
    EXPECT_EQ(ui.shown[0].items,
              (std::vector<std::string>{"Agrostis alba auct.", "Betula pendula Roth", "Carex flava L."}));
    EXPECT_EQ(selection, (std::vector<int>{0, 2}));
    EXPECT_EQ(lines, (std::vector<std::string>{"Agrostis alba auct.", "Carex flava L."}));
    EXPECT_EQ(name, "Agrostis alba auct.");
}

TEST_F(NameLookupTest, NoAggregateForTheListing) {
    RecordingUi ui;
    TArtDb db = open(ui);
    db.Search("Carex nig", false);
    EXPECT_EQ(ChooseName(db, ui, cat, 'X', false, 0, "Carex nig"), "");
    EXPECT_EQ(ui.infos(), std::vector<std::string>{cat.GetLangMsg("MsgNoAggr")});
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(NameLookupTest, LocateInfoByNumber) {
    RecordingUi ui;
    TArtDb db = open(ui);
    const struct {
        char oc;
        int n;
        const char* s;
        int key;
    } cases[] = {
        {'N', 0, "103", 3},  {'N', 0, " 201 /B", 5}, {'N', 0, "-7", 7},   {'N', 0, "0", -1},
        {'N', 0, "abc", -1}, {'N', 0, "999", -1},    {'N', 1, "103", -1}, {'Q', 0, "103", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(LocateInfo(db, c.oc, c.n, c.s), c.key) << c.oc << c.n << c.s;
}

TEST_F(NameLookupTest, LocateLikeOffersTheLongestMatchingPrefix) {
    const struct {
        const char* s;
        std::vector<std::string> tokens;
        int key;
        std::vector<std::string> items;  // without the two closing lines
    } cases[] = {
        {"Grxx Segge", {"1"}, 2, {"Graue Segge;       Carex nigrescens Bruckner;2"}},
        {"G",
         {"2"},
         3,
         {"Graue Segge;       Carex nigrescens Bruckner;2", "Gelbe Segge;       Carex flava L.;3"}},
        {"g", {"3"}, -1, {}},
        {"G", {"4"}, -9, {}},
        {"G", {}, -9, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.s);
        RecordingUi ui(c.tokens);
        TArtDb db = open(ui);
        EXPECT_EQ(LocateLike(db, ui, 'T', 1, c.s), c.key);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].caption, "Auswahl");
        const auto& items = ui.shown[0].items;
        ASSERT_GE(items.size(), 2u);
        EXPECT_EQ(items[items.size() - 2], "< nichts einsetzen >;       ;-1");
        EXPECT_EQ(items.back(), "< ABBRECHEN >;       ;-9");
        if (!c.items.empty()) {
            EXPECT_EQ(std::vector<std::string>(items.begin(), items.end() - 2), c.items);
        }
    }
}

TEST_F(NameLookupTest, LocateLikeWithoutCandidates) {
    RecordingUi ui;
    TArtDb db = open(ui);
    EXPECT_EQ(LocateLike(db, ui, 'T', 1, "Xyz /B"), -1);
    EXPECT_EQ(ui.infos(), std::vector<std::string>{"Xyz nicht gefunden."});
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(NameLookupTest, AskZusatzCases) {
    const struct {
        bool listed;
        std::vector<std::string> tokens;
        std::string result;
        std::string caption;
    } cases[] = {
        {false, {"cf"}, " /cf", "Zusatz anfügen"}, {false, {"  /x y"}, " /x y", "Zusatz anfügen"},
        {false, {}, "", "Zusatz anfügen"},         {true, {"2"}, " /cf.", "Zusatz wählen"},
        {true, {"3"}, " /B", "Zusatz wählen"},
    };
    for (const auto& c : cases) {
        RecordingUi ui(c.tokens);
        ArtDbSettings s;
        s.Rem = c.listed;
        s.Zusatzlist = "S;cf.;/B";
        TArtDb db = open(ui, s);
        EXPECT_EQ(AskZusatz(db, ui), c.result);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].caption, c.caption);
    }
}

TEST_F(NameLookupTest, GetSysNameUsesTheGivenSystem) {
    const struct {
        int system;
        std::string name;
        std::vector<std::string> tokens;
        bool ok;
        std::string result;
    } cases[] = {
        {1, "Agrostis alba /b", {}, true, "Agrostis stolonifera L. /B"},
        {2, "Agrostis stolonifera", {}, true, "Agrostis alba auct."},
        {1, "Quercus robur", {}, true, "Quercus robur"},
        {2, "Carex nig /cf", {"2"}, true, "Carex nigrescens Bruckner /cf."},
        {2, "Carex nig", {}, false, "Carex nig"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingUi ui(c.tokens);
        TArtDb db = open(ui);
        std::string result;
        EXPECT_EQ(GetSysName(db, ui, cat, c.system, c.name, result), c.ok);
        if (c.ok) {
            EXPECT_EQ(result, c.result);
        }
        EXPECT_EQ(db.Settings().SystEinst, 1);
    }
}

class StatusLog : public Progress {
  public:
    void setStatus(std::string_view text) override { last = text; }
    std::string last;
};

TEST_F(NameLookupTest, ReadInputFilterTakesUniqueSpeciesRows) {
    const std::string file = dir.file("aufnahmen.tab");
    writeBytes(file,
               "Titel;Test\r\n"
               "A;Carex flava;;1;2\r\n"
               "A;Carex nig;;1\r\n"        // two records: not taken
               "B;Betula pendula;;3\r\n"   // no species row
               "A;Unbekannt art\n"         // no record
               "A; Betula pendula /B;;\r"  // additions are no part of the search
               "A;Agrostis alba auct.");
    RecordingUi ui;
    TArtDb db = open(ui);
    TMenge set;
    set.Add(9);  // a previous filter is replaced
    StatusLog status;
    ASSERT_TRUE(ReadInputFilter(db, file, set, status));
    EXPECT_EQ(set.elements(), (std::vector<int>{3, 6, 10}));
    EXPECT_EQ(status.last, "einlesen: " + file + ". Zeile: 7");
    EXPECT_FALSE(ReadInputFilter(db, dir.file("fehlt.tab"), set, status));
}

}  // namespace
}  // namespace tav
