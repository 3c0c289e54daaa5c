// The file menu through statements: new, open, save, save as, close with the question about unsaved
// changes, the file history, temporary names and the template.

#include "editor/file_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "editor/dispatch.h"
#include "editor/session.h"
#include "editor/statements.h"
#include "platform/script_ui.h"
#include "support/editor_fixture.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

const char* kTable = "T;Ort;;Alp;Tal\r\nA;Carex nigra;;1;+\r\n";

struct Editor : testing::EditorFixture {
    Editor() { writeBytes(dir.file("a.tab"), kTable); }
    // With a work environment, which the template needs.
    explicit Editor(bool) : EditorFixture("umgebung.ini") { writeBytes(dir.file("a.tab"), kTable); }
    void change() { session.buffer().Put('A', "2", 0, 0); }
};

TEST(FileCommands, OpenSaveAsSaveAndNew) {
    Editor e;
    const std::string a = e.dir.file("a.tab"), b = e.dir.file("b.tab");
    ASSERT_TRUE(e.run("DATEI ÖFFNEN;" + a).ok()) << e.lastMessage();
    EXPECT_EQ(e.session.fileName(), a);
    EXPECT_EQ(e.session.buffer().GetZl('A', 0), "Carex nigra");

    e.change();
    ASSERT_TRUE(e.session.modified());
    ASSERT_TRUE(e.run("DATEI S*UNTER;" + b).ok()) << e.lastMessage();
    EXPECT_EQ(e.session.fileName(), b);
    EXPECT_FALSE(e.session.modified());
    EXPECT_EQ(readBytes(b), "T;Ort;;Alp;Tal\r\nA;Carex nigra;;2;+\r\n");
    EXPECT_EQ(readBytes(a), kTable);

    // Saving again keeps the previous version as the backup.
    e.session.buffer().Put('A', "3", 0, 0);
    ASSERT_TRUE(e.run("DATEI SPEICHERN;").ok());
    EXPECT_EQ(readBytes(e.dir.file("b.~ta")), "T;Ort;;Alp;Tal\r\nA;Carex nigra;;2;+\r\n");

    // Save as onto an existing file asks first; No keeps it.
    EXPECT_FALSE(e.run("DATEI S*UNTER;" + a + " N").ok());
    EXPECT_EQ(readBytes(a), kTable);

    ASSERT_TRUE(e.run("DATEI NEU;").ok());
    EXPECT_EQ(e.session.fileName(), kUnnamedTable);
    EXPECT_EQ(e.session.buffer().GetZl('A', 0), "");
    // An unnamed table asks for its name when saved.
    e.ui.addToken(e.dir.file("c.tab"));
    ASSERT_TRUE(e.run("DATEI SPEICHERN;").ok());
    EXPECT_EQ(e.session.fileName(), e.dir.file("c.tab"));
}

TEST(FileCommands, UnsavedChangesAreAskedFor) {
    struct Case {
        const char* answer;
        bool closed;   // the new table replaced the old one
        bool written;  // the changes were saved first
    };
    for (const Case c : {Case{"Y", true, true}, Case{"N", true, false}, Case{"C", false, false}}) {
        Editor e;
        ASSERT_TRUE(e.run("DATEI ÖFFNEN;" + e.dir.file("a.tab")).ok());
        e.change();
        const Status s = e.run(std::string("DATEI SCHLIESSEN;") + c.answer);
        EXPECT_EQ(s.ok(), c.closed) << c.answer;
        EXPECT_EQ(e.session.fileName() == kUnnamedTable, c.closed) << c.answer;
        EXPECT_EQ(readBytes(e.dir.file("a.tab")) != kTable, c.written) << c.answer;
        EXPECT_EQ(e.session.modified(), !c.closed) << c.answer;
    }
}

TEST(FileCommands, FilesThatCannotBeOpened) {
    Editor e;
    EXPECT_FALSE(e.run("DATEI ÖFFNEN;" + e.dir.file("fehlt.tab")).ok());
    EXPECT_EQ(e.lastMessage(), "Datei \"" + e.dir.file("fehlt.tab") + "\": nicht gefunden");
    EXPECT_EQ(e.session.fileName(), kUnnamedTable);
    if (::geteuid() != 0) {  // root may write any file
        ::chmod(e.dir.file("a.tab").c_str(), 0444);
        EXPECT_FALSE(e.run("DATEI ÖFFNEN;" + e.dir.file("a.tab")).ok());
        EXPECT_EQ(e.lastMessage(), "Die Datei " + e.dir.file("a.tab") +
                                       " ist schreibgeschützt.\nIch kann sie nicht öffnen. Bitte freigeben.");
    }
}

TEST(FileCommands, History) {
    Editor e;
    auto& history = e.session.settings().FileHistory;
    history[0] = "/x/eins.tab";
    history[2] = "/x/zwei.tab";
    history[kFileHistorySize - 1] = "/x/alt.tab";
    // Opening puts the table that is closed on top; one that is there moves up, the oldest drops out.
    for (const char* name : {"/x/drei.tab", "/x/zwei.tab"}) {
        e.session.setFileName(name);
        PutFileHist(e.session);
    }
    EXPECT_EQ(GetFileHist(e.session, 1, false), "/x/zwei.tab");
    EXPECT_EQ(GetFileHist(e.session, 2, false), "/x/drei.tab");
    EXPECT_EQ(GetFileHist(e.session, 3, false), "/x/eins.tab");
    EXPECT_EQ(history[kFileHistorySize - 1], "");
    EXPECT_EQ(GetFileHist(e.session, 4, false), "");
    history[3] = "/home/benutzerin/aufnahmen/2026/juli/wiesen.tab";
    EXPECT_EQ(GetFileHist(e.session, 4, true), "/home/.../wiesen.tab");
    EXPECT_EQ(GetFileHist(e.session, 3, true), "/x/eins.tab");

    // The history items open their entry.
    history = {};
    history[0] = e.dir.file("a.tab");
    history[1] = "/x/drei.tab";
    e.session.setFileName(std::string(kUnnamedTable));
    ASSERT_TRUE(e.run("DATEI 1;").ok());
    EXPECT_EQ(e.session.fileName(), e.dir.file("a.tab"));
    // "Wieder öffnen" lists them all: "/x/drei.tab" does not exist, and a new table takes its place.
    EXPECT_FALSE(e.run("DATEI WIEDER;2").ok());
    EXPECT_EQ(e.lastMessage(), "Datei \"/x/drei.tab\": nicht gefunden");
    EXPECT_EQ(e.session.fileName(), kUnnamedTable);
}

TEST(FileCommands, TemporaryNames) {
    struct Case {
        const char* argument;
        const char* name;
    };
    const Case cases[] = {
        {"-", "NoName.tab"},
        {"*_v2", "/d/tab.old_v2.tab"},
        {"*_Kopie*1", "/d/tab.old_Kopie 1.tab"},
        {"neu_*", "/d/neu_tab.old.tab"},
        {"/e/ganz*neu.tab", "/e/ganz neu.tab"},
    };
    for (const Case& c : cases) EXPECT_EQ(temporaryName("/d/tab.old.tab", c.argument), c.name) << c.argument;

    Editor e;
    ASSERT_TRUE(e.run("DATEI ÖFFNEN;" + e.dir.file("a.tab")).ok());
    ASSERT_TRUE(e.run("DATEI AKT TABELLE;*_v2").ok());
    EXPECT_EQ(e.session.fileName(), e.dir.file("a_v2.tab"));
    ASSERT_TRUE(e.run("DATEI AKT TABELLE;").ok());  // asked by the user: no name
    EXPECT_EQ(e.session.fileName(), kUnnamedTable);
}

TEST(FileCommands, Template) {
    Editor none;
    EXPECT_FALSE(none.run("DATEI S*VORLAGE;").ok());

    Editor e(true);
    ASSERT_TRUE(e.run("DATEI ÖFFNEN;" + e.dir.file("a.tab")).ok());
    ASSERT_TRUE(e.run("DATEI S*VORLAGE;").ok()) << e.lastMessage();
    EXPECT_EQ(e.session.settings().VorName, e.dir.file("a.tab"));
    // A new table starts from the template, unnamed and unmodified.
    ASSERT_TRUE(e.run("DATEI NEU;").ok());
    EXPECT_EQ(e.session.buffer().GetZl('K', 0), "Ort");
    EXPECT_EQ(e.session.buffer().GetZl('A', 0), "Carex nigra");
    EXPECT_EQ(e.session.fileName(), kUnnamedTable);
    EXPECT_FALSE(e.session.modified());
    // Stored from an unnamed table, the template's name says it was changed.
    ASSERT_TRUE(e.run("DATEI S*VORLAGE;").ok());
    EXPECT_EQ(e.session.settings().VorName, e.dir.file("modified_a.tab"));
}

TEST(FileCommands, TemplatesInTheHeaderFieldList) {
    Editor e(true);
    const std::string list = e.dir.file("angaben.txt");
    // Lines of every kind, those beginning with "A" and "K" among them, and an empty one.
    const std::string before =
        "T;Ort;;S\r\nA;Art;x\r\nK;Kategorie;y\r\n\r\nT;$/Vorlage;;Wiese;Z;Datum;;T;Ort;M1\r\n";
    writeBytes(list, before);
    e.session.settings().AngName = list;
    ASSERT_TRUE(e.run("DATEI ÖFFNEN;" + e.dir.file("a.tab")).ok());

    // The header rows of the table become a template; every line of the list stays.
    ASSERT_TRUE(e.run("MODULE D*ANGABEN EDITOR;Alp").ok()) << e.lastMessage();
    EXPECT_EQ(readBytes(list),
              "T;Ort;;S\r\nA;Art;x\r\nK;Kategorie;y\r\n \r\nT;$/Vorlage;;Wiese;Z;Datum;;T;Ort;M1\r\n"
              "T;$/Vorlage;;Alp;T;Ort;\r\n");
    EXPECT_EQ(readBytes(e.dir.file("angaben.~ta")), before);

    // A stored template becomes the template table of "Neu".
    ASSERT_TRUE(e.run("MODULE D*ANGABEN V*SETZEN;1;DATEI NEU;").ok()) << e.lastMessage();
    EXPECT_EQ(e.session.settings().VorName, "Wiese");
    ASSERT_EQ(e.session.buffer().GetRowCount('K'), 2);
    EXPECT_EQ(e.session.buffer().GetZl('K', 0), "Datum");
    EXPECT_EQ(e.session.buffer().GetTyp('K', 0), 'Z');
    EXPECT_EQ(e.session.buffer().GetP('K', 1), "M1");

    // Or its rows are appended to a new table.
    ASSERT_TRUE(e.run("MODULE D*ANGABEN VORLAGE;2").ok()) << e.lastMessage();
    const TEditBuffer& b = e.session.buffer();
    EXPECT_EQ(b.GetZl('K', b.GetRowCount('K') - 1), "Ort");

    // Asked for at every opening once switched on.
    ASSERT_TRUE(e.run("MODULE D*ANGABEN V*JEDESMAL;").ok());
    // (the new table with the appended rows is not saved: N)
    ASSERT_TRUE(e.run("DATEI ÖFFNEN;N " + e.dir.file("a.tab") + " 2").ok()) << e.lastMessage();
    EXPECT_EQ(e.session.fileName(), e.dir.file("a.tab"));
    EXPECT_EQ(e.session.settings().VorName, "Alp");
}

}  // namespace
}  // namespace tav
