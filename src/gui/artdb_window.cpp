#include "gui/artdb_window.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableView>

#include "core/status.h"
#include "core/text.h"
#include "editor/session.h"
#include "env/dialogs.h"
#include "gui/qt_text.h"
#include "species/art_db.h"
#include "species/artdb_browser.h"

namespace tav {

// The shown records of the species table, in the browser's order; edits go to the table and its file.
class SpeciesTableModel : public QAbstractTableModel {
  public:
    SpeciesTableModel(Session& s, QObject* parent) : QAbstractTableModel(parent), session_(s) {}

    void reload(const std::vector<int>& sortFields) {
        beginResetModel();
        const TArtDb* db = session_.speciesDb();
        rows_ = db ? sortedRows(*db, sortFields) : std::vector<int>();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        const TArtDb* db = session_.speciesDb();
        return parent.isValid() || !db ? 0 : db->SQLarten().fieldCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
        return qs(session_.speciesDb()->SQLarten().text(tableRow(index.row()), index.column()));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) return {};
        if (orientation == Qt::Vertical) return section + 1;
        const TArtDb* db = session_.speciesDb();
        if (!db || section >= db->SQLarten().fieldCount()) return {};
        return qs(db->SQLarten().fields()[static_cast<std::size_t>(section)].name);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = QAbstractTableModel::flags(index);
        // The key field never changes: the other stores refer to it.
        if (editing_ && index.column() > 0) f |= Qt::ItemIsEditable;
        return f;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        TArtDb* db = session_.speciesDb();
        if (!db || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
        RecordSet& t = db->editArten();
        std::string why;
        if (!t.setText(tableRow(index.row()), index.column(), value.toString().toStdString(), &why)) {
            session_.ui().showError(why.empty() ? "Der Wert passt nicht in das Feld." : why);
            return false;
        }
        if (Status saved = t.save(db->ArtTabName()); !saved)
            session_.ui().showError("Kann die Artenliste nicht speichern: " + saved.plain());
        Q_EMIT dataChanged(index, index);
        return true;
    }
    int tableRow(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    const std::vector<int>& rows() const { return rows_; }
    bool editing_ = false;

  private:
    Session& session_;
    std::vector<int> rows_;
};

ArtDbWindow::ArtDbWindow(Session& session, QWidget* parent, std::function<void()> help)
    : QMainWindow(parent, Qt::Window), session_(session), help_(std::move(help)) {
    setAttribute(Qt::WA_DeleteOnClose);
    model_ = new SpeciesTableModel(session, this);
    view_ = new QTableView;
    view_->setModel(model_);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    setCentralWidget(view_);
    status_ = new QLabel;
    statusBar()->addWidget(status_, 1);
    buildMenus();
    reload();
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { showStatus(); });
    const PixelRect& d = session.settings().BildEinst.DimLstD;
    resize(std::max(d.Right - d.Left, 640), std::max(d.Bottom - d.Top, 420));
}

ArtDbWindow::~ArtDbWindow() = default;

void ArtDbWindow::closeEvent(QCloseEvent* event) {
    // The filters last only while the browser is open.
    if (TArtDb* db = session_.speciesDb()) clearFilters(*db);
    QMainWindow::closeEvent(event);
}

QAction* ArtDbWindow::command(const QString& caption) const {
    for (QAction* a : findChildren<QAction*>())
        if (a->text() == caption) return a;
    return nullptr;
}

bool ArtDbWindow::editMode() const {
    return model_->editing_;
}

void ArtDbWindow::setEditMode(bool on) {
    model_->editing_ = on;
    editing_->setChecked(on);
}

void ArtDbWindow::reload() {
    model_->reload(sortFields_);
    const TArtDb* db = session_.speciesDb();
    setWindowTitle(db ? QFileInfo(qs(db->DbName())).fileName() : QString("Datenbank Arten"));
    showStatus();
}

void ArtDbWindow::showStatus() {
    const int current = view_->currentIndex().isValid() ? view_->currentIndex().row() + 1 : 0;
    status_->setText(QString("Datensatz %1 / %2").arg(current).arg(model_->rowCount()));
}

void ArtDbWindow::buildMenus() {
    auto add = [this](QMenu* m, const char* caption, auto action) {
        QAction* a = m->addAction(QString::fromUtf8(caption));
        connect(a, &QAction::triggered, this, action);
        return a;
    };
    QMenu* file = menuBar()->addMenu("Datei");
    add(file, "Artenliste importieren", [this] { importSpecies(); });
    add(file, "Textdatei zum Import vorbereiten", [this] { prepareImport(false); });
    add(file, "Angezeigten Inhalt exportieren", [this] { exportShown(); });
    add(file, "Zeigerwerte importieren", [this] { importIndicators(); });
    add(file, "Datei zum Import vorbereiten", [this] { prepareImport(true); });
    add(file, "Zeigerwerte wählen", [this] {
        TArtDb* db = session_.speciesDb();
        if (!db) return;
        if (const std::optional<int> n = chooseIndicatorList(*db, session_.ui()))
            session_.useIndicatorList(*n);
    });
    add(file, "Zeigerwerte löschen", [this] {
        if (TArtDb* db = session_.speciesDb()) report(deleteIndicatorList(*db, session_.ui()));
    });
    file->addSeparator();
    add(file, "Schliessen", [this] { close(); });
    QMenu* edit = menuBar()->addMenu("Bearbeiten");
    editing_ = add(edit, "Bearbeiten (ein/aus)", [this] { setEditMode(!model_->editing_); });
    editing_->setCheckable(true);
    add(edit, "Suchen", [this] { find(false); });
    add(edit, "Suchen in Spalte", [this] { find(true); });
    add(edit, "Ersetzen", [this] { replace(false); });
    add(edit, "Ersetzen in Spalte", [this] { replace(true); });
    QMenu* order = menuBar()->addMenu("Ansicht");
    add(order, "Sortieren", [this] { sort(); });
    add(order, "Sortierung zurücksetzen", [this] {
        sortFields_.clear();
        reload();
    });
    add(order, "Filtern nach Basisdaten", [this] { filter('B'); });
    add(order, "Filtern nach Zeigerwerten", [this] { filter('Z'); });
    add(order, "Nach Zeigerwerten zusätzlich", [this] { filter('+'); });
    add(order, "Filter zurücksetzen", [this] {
        if (TArtDb* db = session_.speciesDb()) clearFilters(*db);
        reload();
    });
    QMenu* lists = menuBar()->addMenu("Listen");
    add(lists, "Synonymliste", [this] {
        if (TArtDb* db = session_.speciesDb()) {
            int line = 0;
            TListDlg::Execute(session_.ui(), "Aggregate", synonymList(*db), false, line);
        }
    });
    add(lists, "Aggregatsliste", [this] {
        if (TArtDb* db = session_.speciesDb()) {
            int line = 0;
            TListDlg::Execute(session_.ui(), "Aggregate", aggregateList(*db), false, line);
        }
    });
    for (const bool summary : {false, true})
        add(lists,
            summary ? "Basisdaten der aktuellen Arten zusammenfassen"
                    : "Basisdaten der aktuellen Arten auflisten",
            [this, summary] { listBasics(summary); });
}

void ArtDbWindow::listBasics(bool summary) {
    TArtDb* db = session_.speciesDb();
    if (!db) return;
    std::vector<int> chosen;
    std::string names;
    if (!GetZwItems(*db, session_.ui(), 'B', chosen, names)) return;
    std::vector<int> fields;
    for (int p : chosen) fields.push_back(p + 1);
    session_.progress().setStatus(summary ? "zusammenfassen ..." : "heraussuchen ...");
    const std::vector<std::string> lines = summary ? summariseBasics(*db, fields, &model_->rows())
                                                   : tav::listBasics(*db, fields, &model_->rows());
    session_.progress().hideStatus();
    int line = 0;
    TListDlg::Execute(session_.ui(), "Basisdaten", lines, false, line);
}

void ArtDbWindow::report(const Status& status) {
    std::vector<std::string> lines;
    for (const Message& m : status.messages()) lines.push_back(session_.shownText(m));
    if (lines.size() == 1) {
        status.ok() ? session_.ui().showInfo(lines.front()) : session_.ui().showError(lines.front());
    } else if (!lines.empty()) {
        int line = 0;
        TListDlg::Execute(session_.ui(), "Fehlerliste", lines, false, line);
    }
}

namespace {

char32_t delimiterOf(const Session& s) {
    const std::int32_t d = s.settings().Diversa.DelimEinst;
    return d > 0 ? static_cast<char32_t>(d) : U'\t';
}

std::optional<std::string> chooseFile(Session& s, DialogKind kind, const std::string& caption) {
    DialogRequest r;
    r.kind = kind;
    r.name = caption;
    r.caption = caption;
    std::optional<std::string> file = s.ui().dialog(r);
    if (!file || file->empty()) return std::nullopt;
    if (kind == DialogKind::SaveFile && ConfirmOverwrite(s.ui(), *file) != 'Y') return std::nullopt;
    return file->substr(0, file->find('|'));
}

}  // namespace

void ArtDbWindow::importSpecies() {
    const auto file = chooseFile(session_, DialogKind::OpenFile, "Artenliste importieren");
    if (!file) return;
    const Status s = session_.importSpeciesList(*file, delimiterOf(session_), session_.progress());
    session_.progress().hideStatus();
    report(s);
    reload();
}

void ArtDbWindow::importIndicators() {
    TArtDb* db = session_.speciesDb();
    if (!db) return;
    const auto file = chooseFile(session_, DialogKind::OpenFile, "Zeigerwerte importieren");
    if (!file) return;
    const Status s =
        session_.importIndicatorList(*file, delimiterOf(session_), session_.progress(), std::nullopt);
    session_.progress().hideStatus();
    report(s);
    reload();
}

void ArtDbWindow::prepareImport(bool indicators) {
    const char* caption = indicators ? "Datei zum Import vorbereiten" : "Textdatei zum Import vorbereiten";
    const auto source = chooseFile(session_, DialogKind::OpenFile, caption);
    if (!source) return;
    const auto& io = session_.settings().Diversa;
    report(prepareImportFile(session_.ui(), *source, indicators,
                             {delimiterOf(session_), static_cast<char32_t>(io.QualiEinst)},
                             static_cast<ExportEncoding>(io.ExportEncoding)));
}

void ArtDbWindow::exportShown() {
    TArtDb* db = session_.speciesDb();
    if (!db) return;
    std::vector<int> chosen;
    std::string names;
    if (!GetZwItems(*db, session_.ui(), 'K', chosen, names)) return;
    std::vector<int> fields;
    for (int p : chosen) fields.push_back(p + 1);
    const auto file = chooseFile(session_, DialogKind::SaveFile, "Angezeigten Inhalt exportieren");
    if (!file) return;
    report(tav::exportShown(*db, fields, *file, delimiterOf(session_),
                            static_cast<ExportEncoding>(session_.settings().Diversa.ExportEncoding),
                            &model_->rows()));
}

void ArtDbWindow::find(bool inColumn) {
    const TArtDb* db = session_.speciesDb();
    if (!db) return;
    bool ok = false;
    const QString text = QInputDialog::getText(this, "Suchen", "Text", QLineEdit::Normal, lastFind_, &ok);
    if (!ok || text.isEmpty()) return;
    lastFind_ = text;
    const std::string wanted = upperFold(text.toStdString());
    const QModelIndex at = view_->currentIndex();
    const int column = inColumn && at.isValid() ? at.column() : -1;
    const RecordSet& t = db->SQLarten();
    // From the record after the current one, in the order shown.
    for (int r = at.isValid() ? at.row() + 1 : 0; r < model_->rowCount(); ++r) {
        for (int f = column < 0 ? 0 : column; f <= (column < 0 ? t.fieldCount() - 1 : column); ++f)
            if (upperFold(t.text(model_->tableRow(r), f)).find(wanted) != std::string::npos) {
                view_->setCurrentIndex(model_->index(r, f));
                return;
            }
    }
    session_.ui().showInfo(session_.catalogue().GetMsg("NotFound"));
}

void ArtDbWindow::replace(bool inColumn) {
    TArtDb* db = session_.speciesDb();
    if (!db) return;
    if (!model_->editing_) {
        session_.ui().showError("Die Artenliste ist nicht im Bearbeitungsmodus.");
        return;
    }
    bool ok = false;
    const QString from = QInputDialog::getText(this, "Ersetzen", "Suchen", QLineEdit::Normal, {}, &ok);
    if (!ok || from.isEmpty()) return;
    const QString to = QInputDialog::getText(this, "Ersetzen", "Ersetzen durch", QLineEdit::Normal, {}, &ok);
    if (!ok) return;
    const char answer = AskYesNoCancel(session_.ui(), "Alle Vorkommen ersetzen?");
    if (answer == 'C') return;
    const QModelIndex at = view_->currentIndex();
    const Result<int> done = replaceText(*db, from.toStdString(), to.toStdString(),
                                         inColumn && at.isValid() ? at.column() : -1, answer == 'Y', true);
    if (!done.ok()) report(done.status());
    session_.ui().showInfo(std::to_string(done.value()) + " Ersetzungen vorgenommen.");
    reload();
}

void ArtDbWindow::sort() {
    const TArtDb* db = session_.speciesDb();
    if (!db) return;
    std::vector<int> chosen;
    std::string names;
    if (!GetZwItems(*db, session_.ui(), 'B', chosen, names)) return;
    sortFields_.clear();
    for (int p : chosen) sortFields_.push_back(p + 1);
    reload();
}

void ArtDbWindow::filter(char kind) {
    TArtDb* db = session_.speciesDb();
    if (!db) return;
    session_.progress().setStatus("filtern ...");
    const Status s = filterByChosenFields(*db, session_.ui(), kind);
    session_.progress().hideStatus();
    report(s);
    reload();
}

}  // namespace tav
