// The session seen by a front end: start-up, settings reaching every object, the file name and
// modified flag of file operations, and the random generator of the run.

#include "editor/session.h"

#include <gtest/gtest.h>

#include "platform/script_ui.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

const std::string kCatalogue = std::string(TAVOLEX_SOURCE) + "/data/tavolex.$ms";
const std::string kSpeciesDb = std::string(TAVOLEX_SAMPLES) + "/arten.adb";

// Options for a run in its own data folder, so that no installation file of the machine counts.
StartOptions optionsIn(const TempDir& dir, SettingsSource source = SettingsSource::Defaults) {
    StartOptions o;
    o.catalogueFile = kCatalogue;
    o.dataFolder = dir.path();
    o.settingsSource = source;
    return o;
}

std::vector<std::string> shown(const ScriptUi& ui) {
    std::vector<std::string> out;
    for (const auto& [kind, text] : ui.messages()) out.push_back(text);
    return out;
}

TEST(Session, StartUpNeedsTheCatalogue) {
    TempDir dir;
    ScriptUi ui;
    Session session(ui, 1);
    StartOptions o = optionsIn(dir);
    o.catalogueFile = dir.file("tavolex.$ms");
    const Status s = session.start(o);
    ASSERT_FALSE(s.ok());
    ASSERT_EQ(s.messages().size(), 1u);
    EXPECT_EQ(s.messages()[0].plain(), missingCatalogueMessage(o.catalogueFile));
    EXPECT_TRUE(ui.messages().empty());  // returned, not shown: the front end decides

    // With the catalogue: an empty, unnamed table and no species database.
    ScriptUi ok;
    Session started(ok, 1);
    ASSERT_TRUE(started.start(optionsIn(dir)).ok()) << ::testing::PrintToString(shown(ok));
    EXPECT_EQ(started.fileName(), "NoName.tab");
    EXPECT_FALSE(started.modified());
    EXPECT_EQ(started.buffer().GetColCount(), 1);
    EXPECT_EQ(started.speciesDb(), nullptr);
    EXPECT_EQ(started.catalogue().GetLangMsg("NotFoundLC").empty(), false);
}

TEST(Session, StartUpWithASettingsFileAndItsTemplate) {
    TempDir dir;
    const std::string env = dir.file("env.VP");
    writeBytes(env, "Sprache;English\r\nDelimEinst;59\r\nDeckEinst;2\r\nDecimals;x\r\n");
    writeBytes(dir.file("env.$ta"), "T;Ort;;\r\nD;Datum;;\r\nA;;;\r\n");
    ScriptUi ui;
    Session session(ui, 1);
    StartOptions o = optionsIn(dir, SettingsSource::File);
    o.settingsFile = env;
    ASSERT_TRUE(session.start(o).ok());
    // The refused line is shown, the rest of the file counts.
    EXPECT_EQ(shown(ui), std::vector<std::string>{env + ", Zeile 4: 'x' ist kein gültiger Integerwert"})
        << ::testing::PrintToString(shown(ui));
    EXPECT_EQ(session.catalogue().language(), Language::E);
    EXPECT_EQ(session.buffer().ioSettings().DelimEinst, U';');
    EXPECT_EQ(session.coverInterpreter().settings().DeckEinst, 2);
    // The new table is the environment's template.
    ASSERT_EQ(session.buffer().GetRowCount('K'), 2);
    EXPECT_EQ(session.buffer().GetZl('K', 1), "Datum");
    EXPECT_EQ(session.fileName(), "NoName.tab");

    ScriptUi missingUi;
    Session missing(missingUi, 1);
    o.settingsFile = dir.file("none.VP");
    const Status s = missing.start(o);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.messages()[0].plain(), "Kann " + o.settingsFile + " nicht öffnen.");
}

TEST(Session, StartUpOpensTheSpeciesDatabaseOfTheWorkEnvironment) {
    TempDir dir;
    const std::string env = dir.file("Standard.VP");
    writeBytes(env, "ArtListName;" + kSpeciesDb + "\r\n");
    writeBytes(dir.file("Tavolex.$in"), "E\r\n" + env + "\r\n");
    ScriptUi ui;
    Session session(ui, 1);
    ASSERT_TRUE(session.start(optionsIn(dir, SettingsSource::Installation)).ok());
    ASSERT_NE(session.speciesDb(), nullptr);
    EXPECT_EQ(session.settings().settingsPath(), env);

    // A front end that names none gets none; one that names a missing database fails to start.
    ScriptUi noneUi;
    Session none(noneUi, 1);
    StartOptions o = optionsIn(dir, SettingsSource::Installation);
    o.speciesDb = "";
    ASSERT_TRUE(none.start(o).ok());
    EXPECT_EQ(none.speciesDb(), nullptr);
    ScriptUi missingUi;
    Session missing(missingUi, 1);
    o.speciesDb = dir.file("none.adb");
    const Status s = missing.start(o);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.messages()[0].plain(), "Kann " + dir.file("none.adb") + " nicht öffnen.");
}

TEST(Session, ChangedSettingsReachBufferInterpreterAndDatabase) {
    TempDir dir;
    ScriptUi ui;
    Session session(ui, 1);
    StartOptions o = optionsIn(dir);
    o.speciesDb = kSpeciesDb;
    ASSERT_TRUE(session.start(o).ok()) << ::testing::PrintToString(shown(ui));

    TProjectSettings& s = session.settings();
    s.Sprache = "English";
    s.Diversa.DelimEinst = ';';
    s.Diversa.QualiEinst = '"';
    s.Diversa.ExportEncoding = 1;
    s.DeckEinst = 4;
    s.Pruef.NaAccept = true;
    s.Diversa.Decimals = 2;
    s.SystEinst = 3;
    s.Pruef.OhneAutor = true;
    s.Pruef.Layers = true;
    session.applySettings();

    EXPECT_EQ(session.catalogue().language(), Language::E);
    const CoverSettings& cover = session.coverInterpreter().settings();
    EXPECT_EQ(cover.DeckEinst, 4);
    EXPECT_TRUE(cover.NaAccept);
    EXPECT_EQ(cover.Decimals, 2);
    const ArtDbSettings& species = session.speciesDb()->Settings();
    EXPECT_EQ(species.SystEinst, 3);
    EXPECT_TRUE(species.OhneAutor);
    EXPECT_TRUE(species.Layers);
    EXPECT_EQ(species.DelimEinst, U';');

    // A text import with the new delimiter finds the species of the database; its export is written with
    // the new delimiter, qualifier and encoding (UTF-8 with a byte-order mark).
    const std::string in = dir.file("in.csv");
    writeBytes(in, "Nr;1;2\r\nAchillea millefolium;+;\r\n");
    session.keepDelimiterOfSettings();
    ASSERT_EQ(session.openTable(in, kLayoutNormal, noProgress()).value(), ReadResult::Ok)
        << ::testing::PrintToString(shown(ui));
    EXPECT_EQ(session.buffer().GetRowCount('A'), 1);
    EXPECT_EQ(session.buffer().GetZl('A', 0), "Achillea millefolium");
    ASSERT_TRUE(session.exportTable(kLayoutNormal, dir.file("out.txt"), noProgress()).ok());
    EXPECT_EQ(readBytes(dir.file("out.txt")).substr(0, 11), "\xEF\xBB\xBFNr;1;2\r\n");
}

TEST(Session, FileNameAndModifiedFlagFollowOpenImportAndSave) {
    TempDir dir;
    ScriptUi ui;
    Session session(ui, 1);
    ASSERT_TRUE(session.start(optionsIn(dir)).ok());
    writeBytes(dir.file("a.tab"), "T;Nr;;1\r\nA;Poa;;+\r\n");
    writeBytes(dir.file("x.txt"), "Nr\t1\r\n");
    writeBytes(dir.file("y.txt"), "Nr\t1\r\n");
    writeBytes(dir.file("y.tab"), "T;Nr;;1\r\n");

    struct Case {
        std::string file;
        int layout;
        ReadResult result;
        std::string name;
        bool modified;
    } cases[] = {
        {dir.file("a.tab"), kLayoutNative, ReadResult::Ok, dir.file("a.tab"), false},
        // An import is named after its file, unless that name would overwrite a table.
        {dir.file("x.txt"), kLayoutNormal, ReadResult::Ok, dir.file("x.tab"), true},
        {dir.file("y.txt"), kLayoutNormal, ReadResult::Ok, "NoName.tab", false},
        {dir.file("none.tab"), kLayoutNative, ReadResult::Unreadable, "NoName.tab", false},
    };
    for (const Case& c : cases) {
        session.setModified(true);
        EXPECT_EQ(session.openTable(c.file, c.layout, noProgress()).value(), c.result) << c.file;
        EXPECT_EQ(session.fileName(), c.name) << c.file;
        EXPECT_EQ(session.modified(), c.modified) << c.file;
    }
    // A failed open leaves a new empty table.
    EXPECT_EQ(session.buffer().GetRowCount('K'), 1);
    EXPECT_EQ(session.buffer().GetZl('K', 0), "");

    ASSERT_EQ(session.openTable(dir.file("a.tab"), kLayoutNative, noProgress()).value(), ReadResult::Ok);
    // Marking is no change of the table; a changed cell is, and so is taking it back.
    session.buffer().mark(MarkSet::MroA, 0, true);
    EXPECT_FALSE(session.modified());
    session.buffer().Put('A', "2", 0, 0);
    EXPECT_TRUE(session.modified());
    ASSERT_TRUE(session.saveTable(dir.file("b.tab"), noProgress()).ok());
    EXPECT_EQ(session.fileName(), dir.file("b.tab"));
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(readBytes(dir.file("b.tab")), "T;Nr;;1\r\nA;Poa;;2\r\n");
    // An export leaves the name and flag alone.
    session.setModified(true);
    ASSERT_TRUE(session.exportTable(kLayoutNormal, dir.file("b.txt"), noProgress()).ok());
    EXPECT_EQ(session.fileName(), dir.file("b.tab"));
    EXPECT_TRUE(session.modified());
    // A save that fails keeps both.
    EXPECT_FALSE(session.saveTable(dir.path(), noProgress()).ok());
    EXPECT_EQ(session.fileName(), dir.file("b.tab"));
    EXPECT_TRUE(session.modified());
}

TEST(Session, SeededGeneratorRepeatsItself) {
    ScriptUi ui;
    auto draws = [&](std::optional<std::uint64_t> seed) {
        Session s(ui, seed);
        std::vector<std::uint64_t> v;
        for (int i = 0; i < 4; ++i) v.push_back(s.random().below(1000000));
        return v;
    };
    EXPECT_EQ(draws(42), draws(42));
    EXPECT_NE(draws(42), draws(43));
    Session seeded(ui, 42);
    EXPECT_EQ(seeded.seed(), 42u);
    EXPECT_EQ(draws(seeded.seed()), draws(42));
}

}  // namespace
}  // namespace tav
