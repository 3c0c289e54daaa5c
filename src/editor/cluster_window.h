#pragma once
// The dendrogram window of a cluster analysis: the clustering of a square similarity matrix, its
// drawing with the cut level, the cut by number of classes, by level or by double click, and the
// classes, the dendrogram order and the hierarchy of class levels written back into the table (header
// rows when the objects were releves, the margins of the species rows when they were species).

#include <string>
#include <vector>

#include "analysis/clustering.h"
#include "analysis/dendrogram_drawing.h"
#include "core/status.h"
#include "platform/drawing.h"

namespace tav {

class Session;
class TTavMatrix;

class ClusterWindow : public DrawingWindow {
  public:
    // Clusters the matrix's objects with the linkage ('S', 'A', 'C', 'M'); with a gradient value per
    // object (may be empty) the children of each merge are ordered by it. forEditor: the window may
    // write into the table.
    // The clustering may work in the matrix's cells, which are used up then.
    ClusterWindow(Session& session, TTavMatrix&& matrix, char linkage, const std::vector<double>& gradient,
                  bool forEditor = true);

    // False when Esc stopped the clustering.
    bool clustered() const { return clustered_; }

    std::string caption() const override;
    std::vector<Menu> menus() const override;
    Drawing draw(const Canvas& canvas) override;
    bool run(std::string_view command) override;
    void doubleClick(int x, int y) override;
    void drag(int dy) override;
    // The merges: step, the two clusters (objects −1, −2, …; steps 1, 2, …) and their similarity.
    std::vector<std::string> textLines() const override;
    // The window's rectangle is kept in the settings (DimClu).
    WindowPlace placement() const override;
    void storePlacement(const WindowPlace& place) override;

    // ---- the state, as the commands change it
    double cut() const { return layout_.cut; }
    void setCut(double cut);
    // The cut that gives k classes: below every merge for one class, else at the (k − 1)-th least
    // similar merge (ties give more classes).
    void setClassCount(int k);
    int classCount() const { return layout_.kla; }
    // Objects numbered from 1, top to bottom.
    const std::vector<int>& order() const { return order_; }
    // The class of each dendrogram position at the cut.
    std::vector<int> classesByPosition() const;
    double minSim() const { return minSim_; }
    double maxSim() const { return maxSim_; }
    const Dendrogram& dendrogram() const { return dendrogram_; }
    const DendrogramLayout& layout() const { return layout_; }

    // "Klassen einsetzen" and "Hierarchie einsetzen".
    void insertClasses();
    void insertHierarchy();

  private:
    // Writes the classes of the current cut: for releves as the header rows given (or the three rows
    // of classes, order and labels), for species into the margins. False when the user declined.
    bool writeClasses(bool level);
    bool writeColumns(bool level);
    bool writeSpecies();
    bool askNumber(std::string_view caption, std::string_view prompt, double preset, int decimals,
                   double& value);
    void saveDrawing();
    void ensureLayout();

    Session& s_;
    Dendrogram dendrogram_;
    bool clustered_ = false;
    bool forEditor_;
    char linkage_;
    std::string title_;
    std::vector<std::string> names_;
    double minSim_ = 0, maxSim_ = 1;
    std::vector<int> order_;
    DendrogramLayout layout_;
    bool laidOut_ = false;
};

// Clusters the matrix and shows the dendrogram window until it is closed.
Status showClusterWindow(Session& session, TTavMatrix&& matrix, char linkage,
                         const std::vector<double>& gradient);

}  // namespace tav
