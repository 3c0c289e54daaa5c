#pragma once
// The species database browser: the species table (with its filter and sort order) in a grid, read-only
// until "Bearbeiten (ein/aus)" is checked, with the browser's commands in its menus. Every command is a
// core operation on the database; the window only shows and asks.

#include <QMainWindow>
#include <functional>
#include <vector>

class QAction;
class QLabel;
class QTableView;

namespace tav {

class Session;
class SpeciesTableModel;

class ArtDbWindow : public QMainWindow {
  public:
    // help opens the help page of the species database.
    ArtDbWindow(Session& session, QWidget* parent, std::function<void()> help = {});
    ~ArtDbWindow() override;

    // Reads the table again (after an import, a filter or a sort).
    void reload();
    bool editMode() const;
    void setEditMode(bool on);
    QTableView* view() const { return view_; }
    // The menu action with the caption (for tests and scripts).
    QAction* command(const QString& caption) const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    void showStatus();
    // Shows the messages of an operation: a list titled "Fehlerliste" when there are several.
    void report(const class Status& status);
    void importSpecies();
    void prepareImport(bool indicators);
    void listBasics(bool summary);
    void exportShown();
    void importIndicators();
    void find(bool inColumn);
    void replace(bool inColumn);
    void sort();
    void filter(char kind);

    Session& session_;
    SpeciesTableModel* model_;
    QTableView* view_;
    QLabel* status_;
    QAction* editing_ = nullptr;
    std::vector<int> sortFields_;
    QString lastFind_;
    std::function<void()> help_;
};

}  // namespace tav
