#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTextBrowser>
#include <QToolBar>
#include <QWheelEvent>

#include "editor/command_registry.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/file_commands.h"
#include "editor/grid_control.h"
#include "editor/grid_window.h"
#include "editor/releve_taxa.h"
#include "editor/session.h"
#include "editor/tool_bar.h"
#include "editor/window_commands.h"
#include "env/catalogue.h"
#include "env/dialogs.h"
#include "gui/artdb_window.h"
#include "gui/dialog_windows.h"
#include "gui/grid_model.h"
#include "gui/grid_view.h"
#include "gui/qt_port.h"
#include "gui/qt_text.h"
#include "gui/tool_icons.h"
#include "gui/translate.h"

namespace tav {

namespace {

int modifiersOf(Qt::KeyboardModifiers m) {
    int out = kNoModifier;
    if (m & Qt::ShiftModifier) out |= kShift;
    if (m & Qt::ControlModifier) out |= kCtrl;
    if (m & Qt::AltModifier) out |= kAlt;
    return out;
}

}  // namespace

void WindowProgress::setStatus(std::string_view text) {
    text_->setText(qs(text));
    QCoreApplication::processEvents();
}

void WindowProgress::hideStatus() {
    text_->clear();
}

void WindowProgress::startBar(std::int64_t max) {
    bar_->setRange(0, static_cast<int>(std::min<std::int64_t>(max, 1 << 30)));
    bar_->setValue(0);
    bar_->show();
}

void WindowProgress::setPosition(std::int64_t pos) {
    bar_->setValue(static_cast<int>(std::min<std::int64_t>(pos, bar_->maximum())));
    QCoreApplication::processEvents();
}

void WindowProgress::endBar() {
    bar_->hide();
}

MainWindow::MainWindow(Session& session, Dispatcher& dispatcher, QtPort& port)
    : session_(session), dispatcher_(dispatcher), port_(port) {
    port_.setWindow(this);
    port_.setDims(&session_.settings().BildEinst);
    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    grid->setSpacing(2);
    grid->setContentsMargins(2, 2, 2, 2);
    for (int g = 1; g <= 4; ++g) {
        auto* v = new GridView(central);
        auto* m = new GridModel(session_, g, pages_, v);
        v->setModel(m);
        v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        v->setSelectionMode(QAbstractItemView::SingleSelection);
        v->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::DoubleClicked);
        v->verticalHeader()->setDefaultSectionSize(v->fontMetrics().height() + 6);
        v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        v->horizontalHeader()->setDefaultSectionSize(g % 2 == 1 ? 240 : 56);
        if (g % 2 == 0) v->verticalHeader()->hide();
        if (g % 2 == 1) v->horizontalHeader()->setStretchLastSection(true);
        v->setItemDelegate(new GridDelegate(
            [this, g](QWidget* editor, QKeyEvent* k) { return editorKey(g, editor, k); }, v));
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
        connect(v, &QTableView::pressed, this,
                [this, g](const QModelIndex& i) { cellChosen(g, i.row(), i.column()); });
        views_[g - 1] = v;
        models_[g - 1] = m;
    }
    headerBar_ = new QScrollBar(Qt::Vertical, central);
    speciesBar_ = new QScrollBar(Qt::Vertical, central);
    releveBar_ = new QScrollBar(Qt::Horizontal, central);
    connect(headerBar_, &QScrollBar::valueChanged, this, [this](int v) { scrolled(0, v); });
    connect(speciesBar_, &QScrollBar::valueChanged, this, [this](int v) { scrolled(1, v); });
    connect(releveBar_, &QScrollBar::valueChanged, this, [this](int v) { scrolled(2, v); });
    // The track bars: above the grids the width of the left ones (10 pixels a step), left of them the
    // height of the upper ones (5 pixels a step). A change counts when the mouse lets go.
    trackH_ = new QSlider(Qt::Horizontal, central);
    trackV_ = new QSlider(Qt::Vertical, central);
    trackV_->setInvertedAppearance(true);
    for (QSlider* t : {trackH_, trackV_}) {
        t->setMinimum(4);
        connect(t, &QSlider::valueChanged, this, [this, t] {
            if (!t->isSliderDown()) tracked(t);
        });
        connect(t, &QSlider::sliderReleased, this, [this, t] { tracked(t); });
    }
    grid->addWidget(trackH_, 0, 1, 1, 2);
    grid->addWidget(trackV_, 1, 0, 2, 1);
    grid->addWidget(views_[0], 1, 1);
    grid->addWidget(views_[1], 1, 2);
    grid->addWidget(headerBar_, 1, 3);
    grid->addWidget(views_[2], 2, 1);
    grid->addWidget(views_[3], 2, 2);
    grid->addWidget(speciesBar_, 2, 3);
    grid->addWidget(releveBar_, 3, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 3);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(2, 2);
    setCentralWidget(central);

    statusText_ = new QLabel(this);
    progressBar_ = new QProgressBar(this);
    progressBar_->setMaximumWidth(240);
    progressBar_->hide();
    statusBar()->addWidget(statusText_, 1);
    statusBar()->addPermanentWidget(progressBar_);
    progress_ = new WindowProgress(statusText_, progressBar_);
    session_.setProgress(progress_);
    qApp->installEventFilter(this);

    addWindowHandlers();
    buildMenus();
    // Where the window was when the program last ended.
    const PixelRect& dim = session_.settings().BildEinst.DimMain;
    if (dim.Right - dim.Left >= 800 && dim.Bottom - dim.Top >= 560)
        setGeometry(dim.Left, dim.Top, dim.Right - dim.Left, dim.Bottom - dim.Top);
    else
        resize(1200, 800);
    if (session_.activeGrid < 1) session_.activeGrid = 1;
    refresh();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    session_.setProgress(nullptr);
    port_.setWindow(nullptr);
    port_.setDims(nullptr);
    delete progress_;
}

void MainWindow::buildMenus() {
    menuBar()->clear();
    actions_.clear();
    entries_.clear();
    menuLanguage_ = static_cast<int>(session_.catalogue().language());
    menuNumbers_ = session_.showCommandNumbers;
    for (const CommandEntry& top : commands::allCommands()) {
        if (top.depth != 0) continue;
        QMenu* menu = menuBar()->addMenu(qs(top.caption));
        menu->menuAction()->setData(QVariant::fromValue<qlonglong>(top.number));
        addItems(menu, top);
    }
    buildToolBar();
    translate();
}

void MainWindow::translate() {
    // An empty or unknown language setting becomes German.
    std::string& language = session_.settings().Sprache;
    language = normalisedLanguageSetting(language);
    menuLanguage_ = static_cast<int>(session_.catalogue().language());
    menuNumbers_ = session_.showCommandNumbers;
    TranslateMenu(session_.catalogue(), menuBar(), session_.showCommandNumbers);
    TranslateHints(session_.catalogue(), toolBar_);
}

namespace {}  // namespace

void MainWindow::buildToolBar() {
    if (!toolBar_) {
        toolBar_ = addToolBar("Werkzeugleiste");
        toolBar_->setMovable(false);
    }
    toolBar_->clear();
    buttons_.clear();
    const auto& b = session_.settings().BildEinst;
    const int side = b.ToolSize != 0 ? 72 : 36;
    toolBar_->setIconSize(QSize(side * 2 / 3, side * 2 / 3));
    const std::span<const std::string_view> layout = toolBarLayout();
    for (std::size_t i = 0; i < layout.size(); ++i) {
        if (layout[i].empty()) {
            toolBar_->addSeparator();
            continue;
        }
        const CommandEntry* entry = toolButtonCommand(layout[i]);
        if (!entry || !toolButtonShown(b.ToolButtons, i)) continue;
        const QIcon icon = toolIcon(layout[i], layout[i] == "FiltButton" && session_.inputFilterOn);
        QAction* a =
            icon.isNull() ? toolBar_->addAction(qs(entry->caption)) : toolBar_->addAction(icon, QString());
        // The caption is the hint where the catalogue has none.
        a->setToolTip(qs(entry->caption));
        a->setData(QVariant::fromValue<qlonglong>(entry->number));
        connect(a, &QAction::triggered, this, [this, entry] { runCommand(*entry, CommandSource::Button); });
        buttons_[entry->number] = a;
    }
    toolBar_->setVisible(!session_.settings().CurScrEinst.ToolOff);
}

QAction* MainWindow::button(std::int64_t number) const {
    const auto found = buttons_.find(number);
    return found == buttons_.end() ? nullptr : found->second;
}

void MainWindow::addItems(QMenu* menu, const CommandEntry& parent) {
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { updateChecks(menu); });
    for (const CommandEntry* e : commands::children(parent)) {
        const QString caption = qs(e->caption);
        if (e->has(kSubmenu)) {
            QMenu* sub = menu->addMenu(caption);
            sub->menuAction()->setData(QVariant::fromValue<qlonglong>(e->number));
            addItems(sub, *e);
            continue;
        }
        QAction* a = menu->addAction(caption);
        a->setData(QVariant::fromValue<qlonglong>(e->number));
        if (!e->shortcut.empty()) a->setShortcut(QKeySequence::fromString(qs(e->shortcut)));
        a->setCheckable(e->has(kCheckable));
        connect(a, &QAction::triggered, this, [this, e] { runCommand(*e); });
        if (e->number != 0) actions_[e->number] = a;
        entries_[a] = e;
    }
}

void MainWindow::updateChecks(QMenu* menu) {
    for (QAction* a : menu->actions()) {
        const auto found = entries_.find(a);
        if (found != entries_.end() && a->isCheckable()) a->setChecked(isChecked(session_, *found->second));
    }
}

QAction* MainWindow::action(std::int64_t number) const {
    const auto found = actions_.find(number);
    return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::runCommand(const CommandEntry& entry, CommandSource source) {
    if (session_.busy) return;
    // What the user is typing belongs to the table before the command sees it.
    for (GridView* v : views_) v->commitEditor();
    session_.busy = true;
    session_.progress().clearAbort();
    // What went wrong the command has said itself.
    (void)dispatcher_.execute(session_, entry, source);
    session_.busy = false;
    session_.progress().hideStatus();
    refresh();
    // The first line recorded opens the recording window; its "Refresh" shows the lines again.
    const bool recorded = !session_.recordingList().lines().empty();
    if (recorded && !recordingShown_) showRecording();
    recordingShown_ = recorded;
}

void MainWindow::showRecording() {
    std::string text;
    TMemoDlg::Execute(
        port_, 'T', false, "Aufzeichnung", [this](int) { showRecording(); },
        &session_.recordingList().lines(), text);
}

VisibleCells MainWindow::visibleCells() const {
    VisibleCells v;
    auto rowsIn = [](const QTableView* view) {
        return std::max(
            1, view->viewport()->height() / std::max(1, view->verticalHeader()->defaultSectionSize()));
    };
    auto colsIn = [](const QTableView* view) {
        return std::max(
            1, view->viewport()->width() / std::max(1, view->horizontalHeader()->defaultSectionSize()));
    };
    v.headerRows = rowsIn(views_[1]);
    v.speciesRows = rowsIn(views_[3]);
    v.releves = colsIn(views_[3]);
    return v;
}

void MainWindow::refresh() {
    if (menuLanguage_ != static_cast<int>(session_.catalogue().language()) ||
        menuNumbers_ != session_.showCommandNumbers)
        translate();
    applyDisplay();
    syncing_ = true;
    const VisibleCells visible = visibleCells();
    for (int g = 1; g <= 4; ++g) {
        TVGrid& grid = session_.grid(g);
        grid.visibleRows = g <= 2 ? visible.headerRows : visible.speciesRows;
        grid.visibleCols = visible.releves;
    }
    pages_ = reloadWindow(session_, session_.windowStart, visible);
    for (GridModel* m : models_) m->reload();
    // The name grid's fixed row as high as its data grid's, so that their rows stay side by side.
    for (int pair : {0, 2}) {
        const int height = std::max(views_[pair]->horizontalHeader()->sizeHint().height(),
                                    views_[pair + 1]->horizontalHeader()->sizeHint().height());
        views_[pair]->horizontalHeader()->setFixedHeight(height);
        views_[pair + 1]->horizontalHeader()->setFixedHeight(height);
    }
    // What the boundary commands start from while the settings hold no size yet.
    session_.shownLeftWidth = views_[0]->width();
    session_.shownUpperHeight = views_[0]->height();
    const TEditBuffer& b = session_.buffer();
    headerBar_->setRange(0, std::max(0, b.GetRowCount('K') - 1));
    speciesBar_->setRange(0, std::max(0, b.GetRowCount('A') - 1));
    releveBar_->setRange(0, std::max(0, b.GetColCount() - 1));
    headerBar_->setValue(session_.screenTop.headerRow);
    speciesBar_->setValue(session_.screenTop.speciesRow);
    releveBar_->setValue(session_.screenTop.releve);
    showCursor();
    setWindowTitle(qs(windowCaption(session_)));
    syncing_ = false;
    // The filter button's hint says whether the input filter is on.
    if (QAction* filter = button(110090100)) {
        const std::string hint =
            session_.catalogue().GetHintText(session_.inputFilterOn ? 110090101 : 110090100);
        if (!hint.empty()) filter->setToolTip(qs(hint));
    }
    // The species list window follows the cursor to another releve.
    if (session_.cursorCol != followedColumn_) {
        followedColumn_ = session_.cursorCol;
        followSpeciesList(session_);
    }
}

// The screen's first rows and releve, and the cursor cell of the active grid, in the views.
void MainWindow::showCursor() {
    for (int g = 1; g <= 4; ++g) {
        GridView* v = views_[g - 1];
        GridModel* m = models_[g - 1];
        const int top = m->viewRow(g <= 2 ? session_.screenTop.headerRow : session_.screenTop.speciesRow);
        if (top >= 0) v->verticalScrollBar()->setValue(top);
        if (g % 2 == 0) {
            const int left = m->viewCol(session_.screenTop.releve);
            if (left >= 0) v->horizontalScrollBar()->setValue(left);
        }
    }
    if (session_.activeGrid < 1) return;
    const int g = session_.activeGrid;
    GridModel* m = models_[g - 1];
    const int row = m->viewRow(session_.cursorRow), col = m->viewCol(session_.cursorCol);
    if (row < 0 || col < 0) return;
    views_[g - 1]->setCurrentIndex(m->index(row, col));
    if (!views_[g - 1]->hasFocus()) views_[g - 1]->setFocus();
}

void MainWindow::cellChosen(int grid, int viewRow, int viewCol) {
    if (syncing_ || session_.busy) return;
    GridModel* m = models_[grid - 1];
    const int row = m->tableRow(viewRow);
    const int col = grid % 2 == 1 ? session_.cursorCol : m->tableCol(viewCol);
    if (row < 0) return;
    cellClick(session_, grid, col, row, modifiersOf(QApplication::keyboardModifiers()));
    refresh();
}

void MainWindow::scrolled(int area, int value) {
    if (syncing_) return;
    const WindowStart before = session_.windowStart;
    WindowStart wanted = before;
    const VisibleCells visible = visibleCells();
    if (area == 0) {
        session_.screenTop.headerRow = value;
        wanted.headerRow = value - visible.headerRows;
    } else if (area == 1) {
        session_.screenTop.speciesRow = value;
        wanted.speciesRow = value - visible.speciesRows;
    } else {
        session_.screenTop.releve = value;
        wanted.releve = value - visible.releves;
    }
    // Within the page only the views scroll; past it the page moves.
    const PageSpan& span = area == 0 ? pages_.headerRows : area == 1 ? pages_.speciesRows : pages_.releves;
    const int shown = area == 0 ? visible.headerRows : area == 1 ? visible.speciesRows : visible.releves;
    if (value < span.first || value + shown > span.first + span.count) {
        syncing_ = true;
        pages_ = reloadWindow(session_, wanted, visible);
        for (GridModel* m : models_) m->reload();
        syncing_ = false;
    }
    syncing_ = true;
    showCursor();
    syncing_ = false;
}

namespace {

std::optional<CursorKey> cursorKeyOf(int key) {
    switch (key) {
        case Qt::Key_Right:
        case Qt::Key_Tab:
            return CursorKey::Right;
        case Qt::Key_Left:
        case Qt::Key_Backtab:
            return CursorKey::Left;
        case Qt::Key_Down:
            return CursorKey::Down;
        case Qt::Key_Up:
            return CursorKey::Up;
        case Qt::Key_PageDown:
            return CursorKey::PageDown;
        case Qt::Key_PageUp:
            return CursorKey::PageUp;
        case Qt::Key_Home:
            return CursorKey::Home;
        case Qt::Key_End:
            return CursorKey::End;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return CursorKey::Enter;
        default:
            return std::nullopt;
    }
}

}  // namespace

bool MainWindow::editorKey(int g, QWidget* editor, QKeyEvent* k) {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line) return false;
    TVGrid& grid = session_.grid(g);
    const int key = k->key();
    // Enter switches between moving the caret inside the text and moving the cursor, unless Enter moves
    // the cursor by the settings.
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !session_.settings().CurScrEinst.CR) {
        grid.insideEditor = !grid.insideEditor;
        if (grid.insideEditor) {
            line->deselect();
            line->end(false);
        }
        return true;
    }
    const std::optional<CursorKey> cursor = cursorKeyOf(key);
    if (!cursor) return false;
    // Inside the text, or with a part of it selected, Home, End, Left and Right move the caret.
    const bool caretKey =
        key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_Left || key == Qt::Key_Right;
    const bool partSelected = line->hasSelectedText() && line->selectedText() != line->text();
    if (caretKey && (grid.insideEditor || partSelected)) return false;
    // Every other key commits the text and moves the cursor.
    views_[g - 1]->commitEditor();
    grid.insideEditor = false;
    session_.activeGrid = g;
    moveCursor(session_, *cursor, modifiersOf(k->modifiers()));
    refresh();
    return true;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // Esc while a long operation runs stops it at its next step.
    if (event->type() == QEvent::KeyPress && session_.busy) {
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) session_.progress().requestAbort();
        return true;
    }
    for (int g = 1; g <= 4; ++g) {
        GridView* v = views_[g - 1];
        if (watched == v && event->type() == QEvent::FocusIn && session_.activeGrid != g && !syncing_) {
            enterGrid(session_, g);
            return false;
        }
        if (watched == v->viewport() && event->type() == QEvent::Wheel) {
            const auto* w = static_cast<QWheelEvent*>(event);
            QScrollBar* bar = g <= 2 ? headerBar_ : speciesBar_;
            bar->setValue(bar->value() - w->angleDelta().y() / 40);
            return true;
        }
        if (watched != v || event->type() != QEvent::KeyPress || v->editing()) continue;
        const auto* k = static_cast<QKeyEvent*>(event);
        const int mods = modifiersOf(k->modifiers());
        // Ins pastes, Del deletes the marked rows and releves, the selection or the cursor cell (with
        // Alt everything that is not marked); Esc forgets what was typed and ends the marks; F2 edits
        // inside the cell's text with the caret at its end.
        std::int64_t command = 0;
        if (k->key() == Qt::Key_Insert) command = 102090000;  // "Einfügen (Ins)"
        if (k->key() == Qt::Key_Delete)
            command = (mods & kAlt) ? 102080000 : 102050000;  // "Komplement löschen", "Löschen (Del)"
        if (command != 0) {
            session_.activeGrid = g;
            runCommand(*commands::find(command));
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            escapeEdit(session_);
            tav::setCursor(session_, g, 'N', 'N', false, true, session_.cursorCol, session_.cursorRow);
            refresh();
            return true;
        }
        if (k->key() == Qt::Key_F10) {
            // The table window takes the focus while it is open.
            if (AnswerWindow* table = port_.openWindow(DialogKind::Grid); table && table->isVisible()) {
                table->activateWindow();
                table->setFocus();
                return true;
            }
            return false;
        }
        if (k->key() == Qt::Key_F2) {
            v->edit(v->currentIndex());
            if (auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
                line->deselect();
                line->end(false);
            }
            session_.grid(g).insideEditor = true;
            return true;
        }
        const std::optional<CursorKey> key = cursorKeyOf(k->key());
        if (!key) return false;
        session_.activeGrid = g;
        moveCursor(session_, *key, mods);
        refresh();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::applyDisplay() {
    const auto& settings = session_.settings();
    const RBildEinst& b = settings.BildEinst;
    // Fonts and style sheets are costly to set: only when what they come from changed.
    const DisplayState now{b, settings.Diversa, session_.activeGrid >= 3, size(), centralWidget()->size()};
    if (shownDisplay_ && *shownDisplay_ == now) return;
    const bool toolsChanged = shownDisplay_ && (shownDisplay_->bild.ToolButtons != b.ToolButtons ||
                                                shownDisplay_->bild.ToolSize != b.ToolSize);
    shownDisplay_ = now;
    if (toolsChanged) {
        buildToolBar();
        TranslateHints(session_.catalogue(), toolBar_);
    }
    QFont font = QApplication::font();
    if (!b.MainFont.name.empty()) font.setFamily(qs(b.MainFont.name));
    if (b.MainFont.size > 0) font.setPointSize(b.MainFont.size);
    font.setBold(b.MainFont.style & 1);
    font.setItalic(b.MainFont.style & 2);
    const CellGeometry geometry =
        cellGeometry(QFontMetrics(font).height(), b.DimCells.X, b.DimCells.Y, settings.Diversa.RandBreite);
    auto colour = [](std::int32_t c) { return colourOf(c).name(); };
    QString style;
    if (settings.Diversa.GridColor > 0)
        style += "QTableView { gridline-color: " + colour(settings.Diversa.GridColor) + "; } ";
    // The cursor cell has a frame in the focus colour; its text stays readable.
    style += "QTableView { selection-background-color: transparent; selection-color: palette(text); } ";
    if (settings.Diversa.FocusColor > 0)
        style += "QTableView::item:focus { border: 2px solid " + colour(settings.Diversa.FocusColor) + "; } ";
    if (settings.Diversa.FixedColor > 0)
        style += "QHeaderView::section { background-color: " + colour(settings.Diversa.FixedColor) + "; } ";
    for (int g = 1; g <= 4; ++g) {
        GridView* v = views_[g - 1];
        v->setFont(font);
        v->setStyleSheet(style);
        v->verticalHeader()->setDefaultSectionSize(geometry.rowHeight);
        if (g % 2 == 0) v->horizontalHeader()->setDefaultSectionSize(geometry.columnWidth);
    }
    // The left grids' width and the upper grids' height: the track bars' settings, else a quarter of the
    // width and what the layout gives; the arrangement keeps them inside the window.
    const QWidget* client = centralWidget();
    const int stored = session_.activeGrid >= 3 ? b.G1HeightA : b.G1HeightK;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int unit = std::max(1, (screen ? screen->geometry().width() : 1000) / 1000);
    const GridArrangement a =
        arrangeGrids(client->width(), client->height(), b.G1Width > 0 ? b.G1Width : client->width() / 4,
                     stored > 0 ? stored : views_[0]->height(), unit, headerBar_->sizeHint().width(), 0);
    views_[0]->setFixedWidth(a.grid[0].width);
    views_[2]->setFixedWidth(a.grid[0].width);
    if (stored > 0) {
        views_[0]->setFixedHeight(a.grid[0].height);
        views_[1]->setFixedHeight(a.grid[0].height);
    } else {
        for (int g : {0, 1}) {
            views_[g]->setMinimumHeight(0);
            views_[g]->setMaximumHeight(QWIDGETSIZE_MAX);
        }
    }
    // The track bars show what is set, without reporting it back.
    const QSignalBlocker blockH(trackH_), blockV(trackV_);
    trackH_->setMaximum(std::max(5, a.trackHMax));
    trackH_->setValue(a.trackHPos);
    trackV_->setMaximum(std::max(5, a.trackVMax));
    trackV_->setValue(a.trackVPos);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (isVisible() && !session_.busy) refresh();
}

void MainWindow::showHelp(std::int64_t number) {
    // Beside the program, or in share/tavolex of its installation.
    const QString exe = QCoreApplication::applicationDirPath();
    QString folder = helpFolder_;
    for (const QString& f : {exe + "/help", exe + "/../share/tavolex/help"})
        if (folder.isEmpty() && QFileInfo::exists(f + "/index.htm")) folder = f;
    if (folder.isEmpty()) {
        port_.showMessage(MessageKind::Error,
                          "Die Hilfe ist nicht installiert (" + (exe + "/help").toStdString() + ").");
        return;
    }
    QString page = qs(GetHelpTopic(number));
    if (page.startsWith("::/")) page.remove(0, 3);
    // A topic without its page shows the contents.
    if (page == ".htm" || page.isEmpty() || !QFileInfo::exists(folder + "/" + page)) page = "index.htm";
    if (!help_) {
        help_ = new QTextBrowser(this);
        help_->setWindowFlags(Qt::Window);
        help_->setWindowTitle("TAVOLEX-Hilfe");
        help_->resize(640, 560);
    }
    help_->setSearchPaths({folder});
    help_->setSource(QUrl::fromLocalFile(folder + "/" + page));
    help_->show();
    help_->raise();
}

void MainWindow::tracked(QSlider* track) {
    if (syncing_) return;
    RBildEinst& b = session_.settings().BildEinst;
    if (track == trackH_)
        b.G1Width = track->value() * 10;
    else
        (session_.activeGrid >= 3 ? b.G1HeightA : b.G1HeightK) = track->value() * 5;
    refresh();
}

void MainWindow::addWindowHandlers() {
    auto& d = dispatcher_;
    d.add(111010000, [this](Session&) {  // "TAVOLEX-Hilfe" (F1)
        showHelp(111010000);
        return Status();
    });
    d.add(109010100, [this](Session& s) {  // "Datenbank Arten" › "Benützen": the browser, one at a time
        if (!s.speciesDb()) {
            s.ui().showError("Ich habe keinen Zugriff auf die Arten-Datenbank. Bitte zuerst öffnen.");
            return commandFailed();
        }
        if (!browser_) browser_ = new ArtDbWindow(s, this, [this] { showHelp(109010100); });
        browser_->show();
        browser_->raise();
        browser_->activateWindow();
        return Status();
    });
    d.add(101190000, [this](Session&) {  // "Minimieren"
        showMinimized();
        return Status();
    });
    d.add(101200000, [this](Session&) {  // "Beenden"
        close();
        return Status();
    });
    const struct {
        std::int64_t number;
        RFont RBildEinst::*font;
    } fonts[] = {{110020101, &RBildEinst::MainFont},
                 {110020102, &RBildEinst::MenuFont},
                 {110020103, &RBildEinst::ListFont}};
    for (const auto& f : fonts)
        d.add(f.number, [this, f](Session& s) {
            RFont& stored = s.settings().BildEinst.*(f.font);
            QFont start = views_[0]->font();
            if (!stored.name.empty()) start.setFamily(qs(stored.name));
            bool ok = false;
            const QFont chosen = QFontDialog::getFont(&ok, start, this);
            if (!ok) return Status();
            stored.name = chosen.family().toStdString();
            stored.size = chosen.pointSize();
            stored.style = (chosen.bold() ? 1 : 0) | (chosen.italic() ? 2 : 0) |
                           (chosen.underline() ? 4 : 0) | (chosen.strikeOut() ? 8 : 0);
            return Status();
        });
    const struct {
        std::int64_t number;
        std::int32_t RDiversa::*colour;
    } colours[] = {{110020501, &RDiversa::GridColor},
                   {110020502, &RDiversa::FixedColor},
                   {110020503, &RDiversa::FocusColor},
                   {110020504, &RDiversa::MarkColor}};
    for (const auto& c : colours)
        d.add(c.number, [this, c](Session& s) {
            std::int32_t& stored = s.settings().Diversa.*(c.colour);
            const QColor chosen = QColorDialog::getColor(colourOf(stored), this);
            if (chosen.isValid()) stored = colourValue(chosen);
            return Status();
        });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!CheckSaved(session_)) {
        event->ignore();
        return;
    }
    // The window's place and size are kept in the settings for the next start.
    RBildEinst& b = session_.settings().BildEinst;
    const QRect g = geometry();
    b.DimMain = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    session_.report(session_.settings().WriteIniSettings());
    event->accept();
}

}  // namespace tav
