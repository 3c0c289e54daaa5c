// The dialog windows offscreen: the table window's kinds, the windows that stay open with their current
// result and close code, the list window's formats, the text window's modes, the action panel, the
// input form's buttons and where the dialogs open.

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "env/dialogs.h"
#include "gui/dialog_windows.h"
#include "gui/qt_port.h"

namespace tav {

namespace {

// Runs check on the modal window once it is shown.
void whenShown(std::function<void(AnswerWindow*)> check) {
    QTimer::singleShot(0, [check = std::move(check)] {
        auto* w = dynamic_cast<AnswerWindow*>(QApplication::activeModalWidget());
        QVERIFY(w);
        check(w);
    });
}

QPushButton* buttonOf(QWidget* w, const QString& caption) {
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->text() == caption) return b;
    return nullptr;
}

}  // namespace

class DialogWindowsTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void editingTableWindowWritesItsLinesBack() {
        QtPort port;
        whenShown([](AnswerWindow* w) {
            QTableView* view = tableViewOf(w);
            QVERIFY(view);
            // The change button steps the weighting of the current cell; typing edits a cell.
            view->setCurrentIndex(view->model()->index(0, 2));
            QPushButton* change = buttonOf(w, "ändern");
            QVERIFY(change);
            change->click();
            QVERIFY(view->model()->setData(view->model()->index(0, 0), "Poa; annua"));
            w->accept();
        });
        std::vector<std::string> lines = {"Art;Gruppe;Gewichtung;Deckung;Schwelle",
                                          "Poa;x;A Gewichtung 1/x;a Deckung nicht gewichtet;0.01"};
        std::string res;
        QVERIFY(TGridDlg::Execute(port, "Gewichte", lines, 12, res));
        const std::string row = "Poa, annua;x;B Gewichtung 1/Wurzel(x);a Deckung nicht gewichtet;0.01";
        QCOMPARE(QString::fromStdString(lines[1]), QString::fromStdString(row));
        QCOMPARE(QString::fromStdString(res), QString::fromStdString(row));
        // A plain kind cannot be edited, and Cancel leaves the lines as they were.
        whenShown([](AnswerWindow* w) {
            QTableView* view = tableViewOf(w);
            QVERIFY(!view->model()->setData(view->model()->index(0, 0), "neu"));
            QVERIFY(!buttonOf(w, "ändern"));
            w->reject();
        });
        QVERIFY(!TGridDlg::Execute(port, "Gewichte", lines, 16, res));
        QCOMPARE(QString::fromStdString(lines[1]), QString::fromStdString(row));
    }

    void tableWindowMenuMovesFields() {
        QtPort port;
        whenShown([](AnswerWindow* w) {
            QTableView* view = tableViewOf(w);
            // Picks a command of the window's menu as the user would.
            auto command = [view](const QModelIndex& at, const QString& caption) {
                view->setCurrentIndex(at);
                QTimer::singleShot(0, [caption] {
                    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                    QVERIFY(menu);
                    for (QAction* a : menu->actions())
                        if (a->text() == caption) a->trigger();
                    menu->close();
                });
                Q_EMIT view->customContextMenuRequested(QPoint(1, 1));
            };
            QAbstractItemModel* m = view->model();
            command(m->index(0, 0), "Feld einfügen, nach rechts schieben");
            command(m->index(1, 1), "Feld löschen, nach links schieben");
            command(m->index(1, 0), "Zelle nach oben");
            QCOMPARE(view->currentIndex(), m->index(0, 0));
            w->accept();
        });
        std::vector<std::string> lines = {"A;B;C", "1;2;", "4;5;6"};
        std::string res;
        QVERIFY(TGridDlg::Execute(port, "Felder", lines, 3, res));
        QCOMPARE(QString::fromStdString(lines[1]), QString("4;1;2"));
        QCOMPARE(QString::fromStdString(lines[2]), QString(";6;"));
    }

    void windowsThatStayOpenPublishTheirState() {
        QtPort port;
        std::vector<std::string> lines = {"Art;Deckung", "Poa;1", "Carex;2"};
        std::string res;
        // The species list kind returns at once and stays open.
        QVERIFY(TGridDlg::Execute(port, "Arten in der Aufnahme", lines, 1, res, 1));
        AnswerWindow* w = port.openWindow(DialogKind::Grid);
        QVERIFY(w && w->isVisible());
        DialogState s = port.dialogState(DialogKind::Grid);
        QCOMPARE(s.closeCode, 0);
        QCOMPARE(QString::fromStdString(s.caption), QString("Arten in der Aufnahme"));
        QCOMPARE(QString::fromStdString(s.result), QString("Carex;2"));
        // A second call only replaces the lines of the same window.
        std::vector<std::string> other = {"Art;Deckung", "Festuca;3"};
        QVERIFY(TGridDlg::Execute(port, "Arten in der Aufnahme", other, 1, res));
        QCOMPARE(port.openWindow(DialogKind::Grid), w);
        QCOMPARE(tableViewOf(w)->model()->rowCount(), 1);
        w->reject();
        QCOMPARE(port.dialogState(DialogKind::Grid).closeCode, 2);
        // The compare kind's buttons act through the caller's control while the window stays open.
        std::vector<int> pressed;
        QVERIFY(
            TGridDlg::Execute(port, "Vergleichen", lines, 9, res, 0, [&](int v) { pressed.push_back(v); }));
        AnswerWindow* compare = port.openWindow(DialogKind::Grid);
        buttonOf(compare, "Zeilen")->click();
        buttonOf(compare, "Spalten")->click();
        QCOMPARE(pressed, (std::vector<int>{6, 7}));
        QVERIFY(compare->isVisible());
        buttonOf(compare, "schliessen")->click();
        QCOMPARE(port.dialogState(DialogKind::Grid).closeCode, 2);
    }

    void listWindowFormatsAndAnswers() {
        QtPort port;
        whenShown([](AnswerWindow* w) {
            auto* view = w->findChild<QListView*>();
            QVERIFY(view);
            QAbstractItemModel* m = view->model();
            QVERIFY(m->data(m->index(0, 0), Qt::FontRole).value<QFont>().bold());
            QCOMPARE(m->data(m->index(1, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
            QVERIFY(!m->data(m->index(2, 0), Qt::FontRole).isValid());
            QCOMPARE(m->data(m->index(3, 0), Qt::ToolTipRole).toString(), QString("a\nb"));
            // The preselected line is current, the status line says where.
            QCOMPARE(view->currentIndex().row(), 3);
            bool statusShown = false;
            for (QLabel* l : w->findChildren<QLabel*>())
                statusShown |= l->text() == "Zeile 4 / 5. Menü: F10.";
            QVERIFY(statusShown);
            view->selectionModel()->select(m->index(1, 0), QItemSelectionModel::Select);
            view->selectionModel()->select(m->index(3, 0), QItemSelectionModel::Select);
            w->accept();
        });
        int current = 3;
        std::vector<int> chosen;
        QVERIFY(TListDlg::Execute(port, "Liste", {"Kopf", "rot", "x", "a;b", "y"}, true, current, &chosen,
                                  "FETT;ROT;;;"));
        QCOMPARE(current, 3);
        QCOMPARE(chosen, (std::vector<int>{3, 1}));
    }

    void textWindowModes() {
        QtPort port;
        // The editor that stays open: "Accept" publishes the text and acts, the window stays; Cancel
        // publishes with close code 2 and closes.
        int acted = 0;
        std::string text = "erste Zeile";
        QVERIFY(TMemoDlg::Execute(
            port, 'E', false, "Editor", [&](int v) { acted += v == -1; }, nullptr, text));
        AnswerWindow* w = port.openWindow(DialogKind::Memo);
        QVERIFY(w && w->isVisible());
        w->findChild<QPlainTextEdit*>()->setPlainText("neuer Text");
        buttonOf(w, "Accept")->click();
        QCOMPARE(acted, 1);
        QVERIFY(w->isVisible());
        DialogState s = port.dialogState(DialogKind::Memo);
        QCOMPARE(QString::fromStdString(s.result), QString("neuer Text"));
        w->reject();
        s = port.dialogState(DialogKind::Memo);
        QCOMPARE(s.closeCode, 2);
        // The recording view shows its lines read-only and "Refresh" asks for them again.
        const std::vector<std::string> recorded = {"101010000;Neu", "102010000;Kopieren"};
        int refreshed = 0;
        QVERIFY(TMemoDlg::Execute(
            port, 'T', false, "Aufzeichnung", [&](int) { ++refreshed; }, &recorded, text));
        w = port.openWindow(DialogKind::Memo);
        auto* edit = w->findChild<QPlainTextEdit*>();
        QVERIFY(edit->isReadOnly());
        QCOMPARE(edit->toPlainText(), QString("101010000;Neu\n102010000;Kopieren"));
        buttonOf(w, "Refresh")->click();
        QCOMPARE(refreshed, 1);
        w->close();
    }

    void actionPanelAndInputFormButtons() {
        QtPort port;
        std::vector<int> pressed;
        DialogRequest panel;
        panel.kind = DialogKind::Buttons;
        panel.caption = "Aktionen";
        panel.items = {"Zeigen", "Neu zeichnen: Grafik"};
        panel.modal = false;
        panel.onAction = [&](int k) { pressed.push_back(k); };
        QVERIFY(port.dialog(panel));
        AnswerWindow* w = port.openWindow(DialogKind::Buttons);
        buttonOf(w, "Neu zeichnen")->click();
        QCOMPARE(pressed, (std::vector<int>{1}));
        QVERIFY(w->isVisible());
        w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(QString::fromStdString(port.dialogState(DialogKind::Buttons).result), QString("-1"));
        QCOMPARE(port.dialogState(DialogKind::Buttons).closeCode, 1);

        whenShown([](AnswerWindow* form) {
            QPushButton* defaults = buttonOf(form, "Voreinstellungen");
            QVERIFY(defaults);
            defaults->click();
            form->accept();
        });
        DialogRequest input;
        input.kind = DialogKind::Input;
        input.caption = "Funktionen einrichten";
        input.items = {"Datei", "Verzeichnis", "Voreinstellungen"};
        input.fieldButtons = "002";
        input.buttonCaptions = {"", "", "Voreinstellungen"};
        input.initial = "a;b;;";
        input.onFieldButton = [](int field, std::vector<std::string>& values) {
            if (field != 2) return false;
            values[0] = "funktionen.txt";
            values[1] = "/tmp";
            return true;
        };
        const auto answer = port.dialog(input);
        QVERIFY(answer);
        QCOMPARE(QString::fromStdString(*answer), QString("funktionen.txt;/tmp;;"));
    }

    void choiceDialogsOpenAtTheSharedPlaceAndKeepIt() {
        QtPort port;
        RBildEinst dims;
        dims.DimChk = {120, 90};
        port.setDims(&dims);
        QPoint openedAt;
        whenShown([&openedAt](AnswerWindow* w) {
            openedAt = w->pos();
            w->move(150, 100);
            w->accept();
        });
        DialogRequest r;
        r.kind = DialogKind::Radio;
        r.caption = "Wahl";
        r.items = {"eins", "zwei"};
        r.initial = "1";
        const auto answer = port.dialog(r);
        QVERIFY(answer);
        QCOMPARE(QString::fromStdString(*answer), QString("1"));
        QCOMPARE(openedAt, QPoint(120, 90));
        QCOMPARE(dims.DimChk.X, 150);
        QCOMPARE(dims.DimChk.Y, 100);
    }

    void optionBoxesAnswerPerBox() {
        QtPort port;
        whenShown([](AnswerWindow* w) {
            auto combos = w->findChildren<QComboBox*>();
            QCOMPARE(combos.size(), 1);
            combos[0]->setCurrentIndex(2);
            auto edits = w->findChildren<QLineEdit*>();
            QCOMPARE(edits.size(), 1);
            edits[0]->setText("Titel");
            w->accept();
        });
        DialogRequest r;
        r.kind = DialogKind::Combo;
        r.caption = "Darstellung";
        r.comboBoxes = {{"Farbe", {"eigene", "weiss", "rot"}, 'C', 0, 1, ""}, {"Name", {}, 0, -1, 0, "alt"}};
        const auto answer = port.dialog(r);
        QVERIFY(answer);
        QCOMPARE(QString::fromStdString(*answer), QString("2;Titel"));
    }

    void messageWindowStaysWhileTheProgramWorks() {
        QtPort port;
        TNonModalMsg m(port);
        m.Show("Export", "Datei 1 von 3");
        QDialog* w = port.statusWindow();
        QVERIFY(w && w->isVisible());
        m.SetMsg("Datei 2 von 3");
        QCOMPARE(w->findChild<QLabel*>()->text(), QString("Datei 2 von 3"));
        port.closeStatusWindow();
        QVERIFY(!port.statusWindow() || !port.statusWindow()->isVisible());
    }
};

}  // namespace tav

QTEST_MAIN(tav::DialogWindowsTest)
#include "dialog_windows_test.moc"
