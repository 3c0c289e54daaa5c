#pragma once
// The main window: a view of the session. Four grids over the page of the table the window holds, the
// menus and shortcuts built from the command registry, scroll bars over the whole table, the status text
// and progress bar of long work. Every command goes through the dispatcher; nothing is done here that
// the batch runner could not do.

#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <map>
#include <optional>

#include "editor/dispatch.h"
#include "editor/grid_window.h"
#include "env/project_settings_records.h"
#include "gui/artdb_window.h"
#include "platform/progress.h"

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QProgressBar;
class QScrollBar;
class QSlider;
class QTableView;
class QTextBrowser;
class QToolBar;

namespace tav {

class GridModel;
class GridView;
class QtPort;
class Session;
struct CommandEntry;

// The status text and bar at the bottom of the window; Esc sets the abort flag.
class WindowProgress : public Progress {
  public:
    WindowProgress(QLabel* text, QProgressBar* bar) : text_(text), bar_(bar) {}
    void setStatus(std::string_view text) override;
    void hideStatus() override;
    void startBar(std::int64_t max) override;
    void setPosition(std::int64_t pos) override;
    void endBar() override;

  private:
    QLabel* text_;
    QProgressBar* bar_;
};

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    MainWindow(Session& session, Dispatcher& dispatcher, QtPort& port);
    ~MainWindow() override;

    // Runs a command as its menu item does, then shows what it changed.
    void runCommand(const CommandEntry& entry, CommandSource source = CommandSource::Menu);
    // The action of a command's menu item (nullptr for a submenu or an unknown number).
    QAction* action(std::int64_t number) const;
    // The tool button of a command (nullptr when it has none).
    QAction* button(std::int64_t number) const;
    GridView* view(int grid) const { return views_[grid - 1]; }
    GridModel* model(int grid) const { return models_[grid - 1]; }
    QSlider* trackBar(bool horizontal) const { return horizontal ? trackH_ : trackV_; }
    // The help page of a command number, or the contents when it has none.
    void showHelp(std::int64_t number);
    // Where the help pages are, when not beside the program or in its installation.
    void setHelpFolder(const QString& folder) { helpFolder_ = folder; }
    // The help window once it was opened (nullptr before).
    QTextBrowser* helpWindow() const { return help_; }
    // The species database browser once it was opened and while it is open.
    ArtDbWindow* artDbWindow() const { return browser_.data(); }
    // Reads the page again around the cursor and redraws the grids, the scroll bars and the caption.
    void refresh();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A new size shows more or fewer rows and releves.
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildMenus();
    void buildToolBar();
    // Captions and hints in the catalogue's language, numbers shown or not.
    void translate();
    void addWindowHandlers();
    // Fonts, cell sizes, colours and the sizes of the grids from the settings.
    void applyDisplay();
    void addItems(QMenu* menu, const CommandEntry& parent);
    void updateChecks(QMenu* menu);
    void cellChosen(int grid, int viewRow, int viewCol);
    void scrolled(int area, int value);
    // A track bar moved: the left grids' width or the upper grids' height follows.
    void tracked(QSlider* track);
    void showCursor();
    // A key in a grid's in-place editor: true when it moved the cursor (or switched the caret mode).
    bool editorKey(int grid, QWidget* editor, QKeyEvent* key);
    VisibleCells visibleCells() const;

    Session& session_;
    Dispatcher& dispatcher_;
    QtPort& port_;
    GridPages pages_;
    GridModel* models_[4] = {};
    GridView* views_[4] = {};
    QScrollBar* headerBar_ = nullptr;
    QScrollBar* speciesBar_ = nullptr;
    QScrollBar* releveBar_ = nullptr;
    QSlider* trackH_ = nullptr;
    QSlider* trackV_ = nullptr;
    QLabel* statusText_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    WindowProgress* progress_ = nullptr;
    std::map<std::int64_t, QAction*> actions_;
    // The tool bar's buttons by command number.
    std::map<std::int64_t, QAction*> buttons_;
    QToolBar* toolBar_ = nullptr;
    QTextBrowser* help_ = nullptr;
    QString helpFolder_;
    std::map<QAction*, const CommandEntry*> entries_;
    bool syncing_ = false;
    // What the display was last set from (settings, the part the cursor is in, the window size).
    struct DisplayState {
        RBildEinst bild;
        RDiversa diversa;
        bool lowerPart;
        QSize size;
        QSize client;  // the grids' area, laid out after the window
        bool operator==(const DisplayState&) const = default;
    };
    std::optional<DisplayState> shownDisplay_;
    // What the menus were translated with: they are translated again when the language or the numbers
    // change.
    int menuLanguage_ = -1;
    bool menuNumbers_ = false;
    QPointer<ArtDbWindow> browser_;
    // Whether the filter button shows the filter on.
    bool filterShownOn_ = false;
    // Whether lines were recorded when the last command ended.
    bool recordingShown_ = false;
    void showRecording();
    // The releve the species list window last showed.
    int followedColumn_ = -1;
};

}  // namespace tav
