// The main window offscreen over the dune sample: what the grids show, typing into a cell and undoing
// it, the cursor keys across the grids, commands from the menus, and paging through a long table.

#include <filesystem>

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>
#include <set>

#include "editor/dispatch.h"
#include "editor/grid_control.h"
#include "editor/session.h"
#include "gui/artdb_window.h"
#include "gui/dialog_windows.h"
#include "gui/drawing_window.h"
#include "gui/grid_model.h"
#include "gui/grid_view.h"
#include "gui/lines_model.h"
#include "gui/main_window.h"
#include "gui/qt_port.h"
#include "platform/script_ui.h"
#include "species/art_db.h"
#include "support/test_files.h"

namespace tav {

namespace {

// Answers the dialogs from tokens, but shows windows that draw as the desktop does.
class ScriptWithDrawings : public ScriptUi {
  public:
    void showDrawingWindow(DrawingWindow& window) override {
        DrawingDialog dialog(window);
        dialog.exec();
    }
};

QAction* menuCommand(QMenuBar* bar, const QString& menu, const QString& command) {
    for (QAction* m : bar->actions())
        if (m->text() == menu && m->menu())
            for (QAction* a : m->menu()->actions())
                if (a->text() == command) return a;
    return nullptr;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<testing::TempDir> dir_;
    std::unique_ptr<ScriptWithDrawings> script_;
    std::unique_ptr<QtPort> port_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<Dispatcher> dispatcher_;
    std::unique_ptr<MainWindow> window_;

    void open(const std::string& table) {
        cleanup();
        dir_ = std::make_unique<testing::TempDir>();
        script_ = std::make_unique<ScriptWithDrawings>();
        port_ = std::make_unique<QtPort>();
        port_->answerFrom(script_.get());
        session_ = std::make_unique<Session>(*port_, 1);
        StartOptions o;
        o.catalogueFile = std::string(TAVOLEX_SOURCE) + "/data/tavolex.$ms";
        o.dataFolder = dir_->path();
        o.settingsSource = SettingsSource::Defaults;
        o.tableFile = table;
        QVERIFY(session_->start(o).ok());
        dispatcher_ = std::make_unique<Dispatcher>();
        window_ = std::make_unique<MainWindow>(*session_, *dispatcher_, *port_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->refresh();
    }
    QString shown(int grid, int row, int col) {
        GridModel* m = window_->model(grid);
        return m->data(m->index(row, col), Qt::DisplayRole).toString();
    }

  private Q_SLOTS:
    void init() { open(std::string(TAVOLEX_SAMPLES) + "/dune.tab"); }
    void cleanup() {
        window_.reset();
        dispatcher_.reset();
        session_.reset();
    }

    void theGridsShowTheTable() {
        QCOMPARE(shown(1, 3, 0), QString("Management"));
        QCOMPARE(shown(2, 3, 1), QString("BF"));
        QCOMPARE(shown(3, 0, 0), QString("Achillea millefolium"));
        QCOMPARE(shown(4, 0, 1), QString("3"));
        QCOMPARE(window_->model(3)->rowCount(), 30);
        QVERIFY(window_->windowTitle().contains("dune.tab"));
    }

    void typingGoesIntoTheTableAndUndoTakesItBack() {
        GridView* v = window_->view(4);
        v->setFocus();
        v->setCurrentIndex(window_->model(4)->index(0, 2));
        // The first key opens the cell's editor with it; the rest goes to the editor.
        QTest::keyClick(v, '2');
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(qobject_cast<QLineEdit*>(editor));
        QTest::keyClicks(editor, "a");
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();  // the view commits after the key
        QCOMPARE(QString::fromStdString(std::string(session_->buffer().Get('A', 2, 0))), QString("2a"));
        QVERIFY(session_->modified());
        window_->button(102010000)->trigger();  // the undo button
        QCOMPARE(QString::fromStdString(std::string(session_->buffer().Get('A', 2, 0))), QString(""));
        QCOMPARE(shown(4, 0, 2), QString(""));
    }

    void caretKeysInsideTheTextAndCursorKeysOutside() {
        GridView* v = window_->view(4);
        v->setFocus();
        v->setCurrentIndex(window_->model(4)->index(0, 2));
        session_->settings().CurScrEinst.CR = false;
        session_->settings().Pruef.DeckSofort = false;  // "5x67" is no cover
        // Typed text: Right commits it and moves the cursor on.
        QTest::keyClick(v, '4');
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(QString::fromStdString(std::string(session_->buffer().Get('A', 2, 0))), QString("4"));
        QCOMPARE(session_->cursorCol, 3);
        // Enter switches to the caret inside the text: Left and Home stay in the cell.
        QTest::keyClick(window_->view(4), '5');
        auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(line);
        QTest::keyClicks(line, "67");
        QTest::keyClick(line, Qt::Key_Return);
        QTest::keyClick(line, Qt::Key_Left);
        QTest::keyClick(line, Qt::Key_Left);
        QTest::keyClicks(line, "x");
        QCOMPARE(line->text(), QString("5x67"));
        QCOMPARE(session_->cursorCol, 3);
        // Down always moves the cursor, with the text committed.
        QTest::keyClick(line, Qt::Key_Down);
        QCOMPARE(QString::fromStdString(std::string(session_->buffer().Get('A', 3, 0))), QString("5x67"));
        QCOMPARE(session_->cursorRow, 1);
    }

    void insDelAndF2() {
        GridView* v = window_->view(4);
        v->setFocus();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {},
                          v->visualRect(window_->model(4)->index(0, 1)).center());
        QTest::keyClick(v, Qt::Key_Delete);
        QCOMPARE(QString::fromStdString(std::string(session_->buffer().Get('A', 1, 0))), QString(""));
        window_->action(102010000)->trigger();  // undo
        QCOMPARE(QString::fromStdString(std::string(session_->buffer().Get('A', 1, 0))), QString("3"));
        // Copy the cell, paste it one row down with Ins.
        window_->action(102030000)->trigger();
        QTest::keyClick(window_->view(4), Qt::Key_Down);
        QTest::keyClick(window_->view(4), Qt::Key_Insert);
        QCOMPARE(QString::fromStdString(std::string(session_->buffer().Get('A', 1, 1))), QString("3"));
        // F2: editing inside the text, the caret at its end.
        QTest::keyClick(window_->view(4), Qt::Key_F2);
        auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(line);
        QCOMPARE(line->cursorPosition(), 1);
        QVERIFY(!line->hasSelectedText());
    }

    void keysMoveTheCursorAcrossTheGrids() {
        GridView* v = window_->view(4);
        v->setFocus();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {},
                          v->visualRect(window_->model(4)->index(2, 0)).center());
        QCOMPARE(session_->activeGrid, 4);
        QCOMPARE(session_->cursorRow, 2);
        QTest::keyClick(v, Qt::Key_Down);
        QCOMPARE(session_->cursorRow, 3);
        QTest::keyClick(v, Qt::Key_Left);  // from the first releve to the species name
        QCOMPARE(session_->activeGrid, 3);
        QCOMPARE(window_->view(3)->currentIndex().row(), 3);
    }

    void menusRunCommands() {
        session_->activeGrid = 4;
        session_->cursorRow = 5;
        window_->action(103050101)->trigger();  // "Zeile anwählen"
        QCOMPARE(session_->buffer().MroA().elements(), std::vector<int>{5});
        GridModel* names = window_->model(3);
        QVERIFY(names->data(names->index(5, 0), Qt::BackgroundRole).isValid());
        // Buttons record themselves as buttons.
        session_->recordingList().setOn(true);
        window_->button(102030000)->trigger();  // "Kopieren"
        QVERIFY(QString::fromStdString(session_->recordingList().lines().back())
                    .startsWith("Button;102030000;Kopieren;"));
        // A command that is not built yet says so.
        window_->action(109050100)->trigger();  // "Streudiagramm"
        QVERIFY(!script_->messages().empty());
        QCOMPARE(QString::fromStdString(script_->messages().back().second),
                 QString("Streudiagramm: noch nicht verfügbar."));
    }

    void theSpeciesListFollowsTheCursor() {
        // The real windows: the species list stays open beside the grids and shows the releve the cursor
        // moves to; F10 in a grid hands it the focus.
        port_->answerFrom(nullptr);
        session_->activeGrid = 4;
        tav::setCursor(*session_, 4, 'N', 'N', false, false, 0, 0);
        window_->refresh();
        window_->action(107050100)->trigger();  // "Arten in akt. Spalte anzeigen"
        AnswerWindow* list = port_->openWindow(DialogKind::Grid);
        QVERIFY(list && list->isVisible());
        auto rowsShown = [list] { return tableViewOf(list)->model()->rowCount(); };
        const int first = rowsShown();
        QVERIFY(first > 0);
        std::vector<int> counts;
        for (int col = 1; col < 6; ++col) {
            QTest::keyClick(window_->view(4), Qt::Key_Right);
            QCOMPARE(port_->openWindow(DialogKind::Grid), list);
            counts.push_back(rowsShown());
        }
        // The dune releves hold different numbers of species.
        QVERIFY(std::any_of(counts.begin(), counts.end(), [first](int n) { return n != first; }));
        QTest::keyClick(window_->view(4), Qt::Key_F10);
        list->close();
        port_->answerFrom(script_.get());
    }

    void escStopsLongWork() {
        // While a command runs, Esc sets the abort flag its loops poll; other keys are dropped.
        session_->busy = true;
        QTest::keyClick(window_->view(4), Qt::Key_Down);
        QVERIFY(!session_->progress().aborted());
        QTest::keyClick(window_->view(4), Qt::Key_Escape);
        QVERIFY(session_->progress().aborted());
        session_->busy = false;
        session_->progress().clearAbort();
    }

    void trackBarsAndTheirCommandsSizeTheGrids() {
        auto& b = session_->settings().BildEinst;
        b.G1Width = 300;
        window_->refresh();
        QCOMPARE(window_->view(1)->width(), 300);
        QCOMPARE(window_->trackBar(true)->value(), 30);
        window_->action(102170301)->trigger();  // "Begrenzung der Datengitter" › "nach rechts"
        QCOMPARE(b.G1Width, 350);
        QCOMPARE(window_->view(3)->width(), 350);
        window_->trackBar(true)->setValue(25);
        QCOMPARE(b.G1Width, 250);
        QCOMPARE(window_->view(1)->width(), 250);
        // The height of the upper grids belongs to the part the cursor is in.
        session_->activeGrid = 2;
        window_->trackBar(false)->setValue(30);
        QCOMPARE(b.G1HeightK, 150);
        QCOMPARE(window_->view(2)->height(), 150);
    }

    void theRecordingWindowOpensWithTheFirstLine() {
        port_->answerFrom(nullptr);
        session_->recordingList().setOn(true);
        window_->button(102030000)->trigger();  // "Kopieren"
        AnswerWindow* w = port_->openWindow(DialogKind::Memo);
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QString("Aufzeichnung"));
        auto* text = w->findChild<QPlainTextEdit*>();
        QVERIFY(text->toPlainText().startsWith("Button;102030000;Kopieren;"));
        // Later lines show after "Refresh".
        window_->button(102040000)->trigger();  // "Ausschneiden"
        QVERIFY(!text->toPlainText().contains("102040000"));
        for (QPushButton* b : w->findChildren<QPushButton*>())
            if (b->text() == "Refresh") b->click();
        QVERIFY(text->toPlainText().contains("102040000"));
        w->close();
        port_->answerFrom(script_.get());
    }

    void theToolBarShowsTheChosenButtons() {
        // "Inhalt der Symbolleiste": the change button turns "Kopieren" off; the tool bar follows at once.
        port_->answerFrom(nullptr);
        QTimer::singleShot(0, [] {
            auto* w = dynamic_cast<AnswerWindow*>(QApplication::activeModalWidget());
            QVERIFY(w);
            QTableView* view = tableViewOf(w);
            QAbstractItemModel* m = view->model();
            int copy = -1;
            for (int r = 0; r < m->rowCount(); ++r)
                if (m->data(m->index(r, 0), Qt::DisplayRole).toString() == "Kopieren") copy = r;
            QVERIFY(copy >= 0);
            QCOMPARE(m->data(m->index(copy, 1), Qt::DisplayRole).toString(), QString("Ja"));
            view->setCurrentIndex(m->index(copy, 1));
            Q_EMIT view->doubleClicked(m->index(copy, 1));
            QCOMPARE(m->data(m->index(copy, 1), Qt::DisplayRole).toString(), QString("Nein"));
            w->accept();
        });
        QVERIFY(window_->button(102030000));
        window_->action(110020702)->trigger();
        port_->answerFrom(script_.get());
        QVERIFY(!window_->button(102030000));
        QVERIFY(window_->button(102040000));
        QCOMPARE(session_->settings().BildEinst.ToolButtons.substr(0, 6), std::string("000001"));
    }

    void theArtDbWindowShowsFiltersAndEdits() {
        // A copy of the sample species list, since edits are written to its file.
        for (const char* f : {"arten.adb", "arten.adl"})
            std::filesystem::copy_file(std::string(TAVOLEX_SAMPLES) + "/" + f, dir_->file(f));
        QVERIFY(session_->useSpeciesDb(dir_->file("arten.adb"), false).ok());
        window_->action(109010100)->trigger();  // "Benützen"
        ArtDbWindow* b = window_->artDbWindow();
        QVERIFY(b && b->isVisible());
        QAbstractItemModel* m = b->view()->model();
        const int all = m->rowCount();
        QVERIFY(all > 1);
        TArtDb* db = session_->speciesDb();
        QCOMPARE(all, db->SQLarten().count());
        // Read-only until edit mode; replacing outside it is refused.
        QVERIFY(!m->setData(m->index(0, 1), "Xgenus"));
        b->command("Ersetzen")->trigger();
        QCOMPARE(QString::fromStdString(script_->messages().back().second),
                 QString("Die Artenliste ist nicht im Bearbeitungsmodus."));
        b->setEditMode(true);
        QVERIFY(m->setData(m->index(0, 1), "Xgenus"));
        QCOMPARE(m->data(m->index(0, 1), Qt::DisplayRole).toString(), QString("Xgenus"));
        // Filter by a field of the species table: the template is edited into a condition.
        const RecordSet& t = db->SQLarten();
        const int sys = t.fieldIndex("Sys01");
        const std::string value = t.text(0, sys);
        int expected = 0;
        for (int r = 0; r < t.count(); ++r) expected += t.text(r, sys) == value;
        script_->addToken(std::to_string(sys));  // list lines start with the field after the key
        script_->addToken("Sys01 = " + value);
        b->command("Filtern nach Basisdaten")->trigger();
        QCOMPARE(m->rowCount(), expected);
        QVERIFY(expected < all);
        QVERIFY(db->SQLarten().hasFilter());
        // The family of the accepted names shown.
        script_->addToken("6");
        b->command("Basisdaten der aktuellen Arten auflisten")->trigger();
        const DialogRequest& listing = script_->lastDialog();
        QCOMPARE(listing.caption, std::string("Basisdaten"));
        QVERIFY(!listing.items.empty() && listing.items.front() == "Art;Familie");
        QVERIFY(listing.items.size() >= 2 && listing.items.size() <= static_cast<std::size_t>(expected) + 1);
        // Closing the browser removes the filters.
        b->close();
        QVERIFY(!db->SQLarten().hasFilter());
    }

    void theLanguageSwitchesTheMenus() {
        QCOMPARE(window_->menuBar()->actions().front()->text(), QString("Datei"));
        script_->addToken("4");  // the fifth language: English
        window_->action(110010000)->trigger();
        QCOMPARE(window_->menuBar()->actions().front()->text(), QString("File"));
        QVERIFY(window_->action(102010000) != nullptr);
        QCOMPARE(window_->button(102010000)->toolTip(), QString("Undo / Cancel"));
    }

    void helpOpensThePageOfACommand() {
        window_->setHelpFolder(TAVOLEX_HELP);
        window_->showHelp(102100700);  // "Einfügen, nach rechts schieben"
        QVERIFY(window_->helpWindow());
        QVERIFY(window_->helpWindow()->source().toString().endsWith("mnuFelder.htm"));
        QVERIFY(window_->helpWindow()->toPlainText().contains("Einfügen, nach rechts schieben"));
        window_->showHelp(999);  // no page: the contents
        QVERIFY(window_->helpWindow()->source().toString().endsWith("index.htm"));
    }

    void theTableWindowModelSplitsOnlyWhatItShows() {
        std::vector<std::string> lines;
        std::string title = "Name";
        for (int c = 1; c < 1000; ++c) title += ";S" + std::to_string(c);
        lines.push_back(title);
        for (int r = 0; r < 1000; ++r) {
            std::string line = "R" + std::to_string(r);
            for (int c = 1; c < 1000; ++c) line += ";" + std::to_string(r * c);
            lines.push_back(line);
        }
        LinesModel m(lines);
        QCOMPARE(m.rowCount(), 1000);
        QCOMPARE(m.columnCount(), 1000);
        QCOMPARE(m.headerData(999, Qt::Horizontal, Qt::DisplayRole).toString(), QString("S999"));
        QCOMPARE(m.data(m.index(999, 999), Qt::DisplayRole).toString(), QString::number(999 * 999));
        QCOMPARE(m.data(m.index(3, 0), Qt::DisplayRole).toString(), QString("R3"));
        // A short line has empty cells at its end; the answer is the row's cells.
        LinesModel ragged({"A;B;C", "x", "y;z;w"});
        QCOMPARE(ragged.data(ragged.index(0, 2), Qt::DisplayRole).toString(), QString(""));
        QCOMPARE(QString::fromStdString(ragged.rowText(0)), QString("x;;"));
        QCOMPARE(QString::fromStdString(ragged.rowText(1)), QString("y;z;w"));
        // Lines made only when shown: a window over 100 000 rows makes the few it shows, and forgets
        // old ones, but gives every line back when asked for all of them.
        int made = 0;
        LinesModel lazy({});
        lazy.setSource(100001, [&made](int k) {
            ++made;
            return k == 0 ? std::string("T;a;b") : "r" + std::to_string(k) + ";" + std::to_string(k) + ";x";
        });
        QCOMPARE(lazy.rowCount(), 100000);
        QCOMPARE(lazy.columnCount(), 3);
        QCOMPARE(lazy.data(lazy.index(99999, 1), Qt::DisplayRole).toString(), QString("100000"));
        for (int r = 0; r < 5000; ++r) lazy.data(lazy.index(r, 0), Qt::DisplayRole);
        QCOMPARE(lazy.data(lazy.index(0, 0), Qt::DisplayRole).toString(), QString("r1"));
        QVERIFY(made < 5100);
        QCOMPARE(lazy.lines().size(), std::size_t(100001));
        QCOMPARE(QString::fromStdString(lazy.lines()[99999]), QString("r99999;99999;x"));
    }

    void theDendrogramOfDuneCutsIntoFourClasses() {
        // "Aufnahmen (Deckungscode)": average linkage of the Ochiai similarities, no filter, no gradient.
        // The sample holds its covers as numbers.
        session_->settings().DeckEinst = 3;
        session_->applySettings();
        for (const char* t : {"#00001", "#1", "#0001", "0", "1", "4"}) script_->addToken(t);
        const int headerRows = session_->buffer().GetRowCount('K');
        bool shown = false;
        // The progress line lets events through while the matrix is computed: wait for the window.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* d = qobject_cast<DrawingDialog*>(QApplication::activeModalWidget());
            if (!d) return;
            poll.stop();
            shown = true;
            QCOMPARE(d->windowTitle(), QString("Average Linkage Clustering Aufnahmen"));
            menuCommand(d->menuBar(), "Schnitt", "Anzahl Klassen")->trigger();  // answered by "4"
            menuCommand(d->menuBar(), "Schnitt", "Klassen einsetzen")->trigger();
            menuCommand(d->menuBar(), "Datei", "Beenden")->trigger();
        });
        poll.start(10);
        window_->action(106050202)->trigger();
        QVERIFY(shown);
        const TEditBuffer& b = session_->buffer();
        QCOMPARE(b.GetRowCount('K'), headerRows + 3);
        QCOMPARE(QString::fromStdString(std::string(b.GetZl('K', headerRows))), QString("Cluster-Klassen"));
        std::set<std::string> classes;
        for (int c = 0; c < b.GetColCount(); ++c) classes.insert(std::string(b.Get('K', c, headerRows)));
        QCOMPARE(classes, (std::set<std::string>{"1", "2", "3", "4"}));
    }

    void theTableWindowAnswersWithTheChosenRow() {
        QtPort port;
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            auto* view = d->findChild<QTableView*>();
            QVERIFY(view);
            view->setCurrentIndex(view->model()->index(1, 0));
            d->accept();
        });
        DialogRequest r;
        r.kind = DialogKind::Grid;
        r.caption = "Tabelle";
        r.items = {"A;B", "1;2", "3;4"};
        const std::optional<std::string> answer = port.dialog(r);
        QVERIFY(answer.has_value());
        QCOMPARE(QString::fromStdString(*answer), QString("3;4"));
    }

    void pagingThroughALongTable() {
        std::string text = "T;Ort;;a;b;c\r\n";
        for (int r = 0; r < 2000; ++r) text += "A;Art " + std::to_string(r) + ";;1;;+\r\n";
        testing::TempDir tables;
        testing::writeBytes(tables.file("lang.tab"), text);
        open(tables.file("lang.tab"));
        QVERIFY(window_->model(4)->rowCount() < 2000);  // a page, not the table
        // The cursor to the last row and back: the page follows it.
        setCursor(*session_, 4, 'N', 'N', false, false, 0, 1999);
        window_->refresh();
        GridModel* m = window_->model(3);
        QVERIFY(m->viewRow(1999) >= 0);
        QCOMPARE(shown(3, m->viewRow(1999), 0), QString("Art 1999"));
        setCursor(*session_, 4, 'N', 'N', false, false, 0, 0);
        window_->refresh();
        QCOMPARE(shown(3, m->viewRow(0), 0), QString("Art 0"));
    }
};

}  // namespace tav

QTEST_MAIN(tav::MainWindowTest)
#include "main_window_test.moc"
