#include "editor/cluster_window.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/tav_matrix.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_support.h"
#include "editor/session.h"
#include "editor/window_commands.h"
#include "env/dialogs.h"
#include "platform/progress.h"

namespace tav {

namespace {

// The cells below the diagonal of a square matrix: a symmetric one as it is, another one with the mean
// of its two cells per pair.
PackedTriangle lowerTriangle(const TTavMatrix& m) {
    if (m.isSymmetric()) return m.lower();
    PackedTriangle t(m.ColCount());
    for (int i = 1; i < m.ColCount(); ++i)
        for (int j = 0; j < i; ++j) t.set(i, j, (m.Get(i, j) + m.Get(j, i)) / 2);
    return t;
}

const char* linkageName(char linkage) {
    switch (linkage) {
        case 'A':
            return "Average";
        case 'C':
            return "Complete";
        case 'M':
            return "Middle";
        default:
            return "Single";
    }
}

bool endsWithSvg(const std::string& file) {
    return file.size() >= 4 && lowerCaseOnly(std::string_view(file).substr(file.size() - 4)) == ".svg";
}

}  // namespace

ClusterWindow::ClusterWindow(Session& session, TTavMatrix&& matrix, char linkage,
                             const std::vector<double>& gradient, bool forEditor)
    : s_(session), forEditor_(forEditor), linkage_(linkage), title_(matrix.Title) {
    const int n = matrix.ColCount();
    for (int i = 0; i < n; ++i) names_.push_back(matrix.GetColName(i));
    if (!matrix.range(minSim_, maxSim_)) minSim_ = maxSim_ = 0;
    if (minSim_ == maxSim_) {
        minSim_ -= 1;
        maxSim_ += 1;
    }
    Progress& progress = s_.progress();
    progress.setStatus("Clusteranalyse");
    if (matrix.isSymmetric()) {
        // The matrix is not needed afterwards: the clustering works in its cells, not in a copy.
        dendrogram_ = clusterObjects(matrix.takeLower(), linkage, &progress);
    } else {
        dendrogram_ = clusterObjects(lowerTriangle(matrix), linkage, &progress);
    }
    progress.hideStatus();
    clustered_ = n < 2 || static_cast<int>(dendrogram_.td.size()) == n - 1;
    if (!clustered_) return;
    dendrogram_.objects = n;
    if (!gradient.empty()) orderByGradient(dendrogram_, gradient);
    order_ = dendrogramOrder(dendrogram_);
    layout_.cut = (minSim_ + maxSim_) / 2;
    setCut(layout_.cut);
}

std::string ClusterWindow::caption() const {
    return std::string(linkageName(linkage_)) + " Linkage Clustering " + title_;
}

std::vector<DrawingWindow::Menu> ClusterWindow::menus() const {
    return {
        {"Datei", {"Darstellung als Bitmap speichern", "Drucken", "", "Beenden"}},
        {"Zoom",
         {"Grösser", "Kleiner", "Faktor setzen", "", "Anschrift breiter", "Anschrift schmaler", "Wert setzen",
          "", "Zurücksetzen"}},
        {"Schnitt",
         {"Anzahl Klassen", "Niveau    (Doppelklick)", "", "Klassen einsetzen", "Hierarchie einsetzen"}},
        {"Einstellungen", {"Schriftart", "Strichdicke", "Dezimalen", "", "Alles zurücksetzen"}},
        {"Hilfe", {"Hilfe"}},
    };
}

void ClusterWindow::ensureLayout() {
    if (laidOut_) return;
    const Canvas canvas =
        lastCanvas.width > 0 ? lastCanvas : Canvas{800, 600, 13, s_.settings().screenScale()};
    const double cut = layout_.cut;
    const int kla = layout_.kla;
    layout_ = initialLayout(cut, canvas);
    layout_.kla = kla;
    laidOut_ = true;
}

Drawing ClusterWindow::draw(const Canvas& shown) {
    lastCanvas = shown;
    ensureLayout();
    const RCluEinst& e = s_.settings().CluEinst;
    // Labels and scale in the font of the settings (points at 96 pixels an inch).
    Canvas canvas = shown;
    if (e.ItemFont.size > 0) canvas.fontPixels = std::max(1, roundEven(e.ItemFont.size * 4.0 / 3.0));
    DendrogramPicture picture;
    picture.dendrogram = &dendrogram_;
    picture.order = order_;
    picture.names = names_;
    picture.minSim = minSim_;
    picture.maxSim = maxSim_;
    picture.decimals = e.Decimals;
    picture.lineWidth = e.Bo;
    picture.fontFamily = e.ItemFont.name;
    return drawDendrogram(picture, layout_, canvas);
}

void ClusterWindow::setCut(double cut) {
    layout_.cut = cut;
    int count = 0;
    classesAtCut(dendrogram_, cut, count);
    layout_.kla = std::max(count, 1);
}

void ClusterWindow::setClassCount(int k) {
    const int merges = static_cast<int>(dendrogram_.td.size());
    k = std::min(k, merges + 1);
    if (k < 2) {
        // Below every merge: one class, also when the least similar merge lies at the matrix's minimum.
        double lowest = minSim_;
        for (double v : dendrogram_.td) lowest = std::min(lowest, v);
        setCut(std::nextafter(lowest, -std::numeric_limits<double>::infinity()));
        return;
    }
    // The merges need not come in the order of their levels (the middle linkage): the (k − 1)-th least
    // similar merge, wherever it lies.
    std::vector<double> levels = dendrogram_.td;
    std::sort(levels.begin(), levels.end());
    setCut(levels[static_cast<std::size_t>(k - 2)]);
}

std::vector<int> ClusterWindow::classesByPosition() const {
    int count = 0;
    const std::vector<int> classes = classesAtCut(dendrogram_, layout_.cut, count);
    std::vector<int> out;
    for (int o : order_) out.push_back(classes[static_cast<std::size_t>(o - 1)]);
    return out;
}

bool ClusterWindow::askNumber(std::string_view caption, std::string_view prompt, double preset, int decimals,
                              double& value) {
    const auto v = tav::askNumber(s_, caption, prompt, formatFixed(preset, decimals));
    if (v) value = *v;
    return v.has_value();
}

bool ClusterWindow::writeColumns(bool level) {
    TEditBuffer& b = s_.buffer();
    const int n = static_cast<int>(names_.size());
    if (n != b.GetColCount() && AskYesNoCancel(s_.ui(), s_.catalogue().GetLangMsg("MsgWrongCluster")) != 'Y')
        return false;
    if (n > b.GetColCount()) b.InsCols(b.GetColCount(), n - b.GetColCount());
    const std::vector<int> classes = classesByPosition();
    const int first =
        level ? appendHeaderRows(b, {{"Stufe " + std::to_string(layout_.kla), 'I'}})
              : appendHeaderRows(
                    b, {{"Cluster-Klassen", 'I'}, {"Cluster-Ordnung", 'I'}, {"Cluster-Labels", 'T'}});
    bool mismatch = false;
    for (int p = 0; p < n; ++p) {
        const int o = order_[static_cast<std::size_t>(p)] - 1;
        b.Put('K', std::to_string(classes[static_cast<std::size_t>(p)]), o, first);
        if (!level) {
            b.Put('K', std::to_string(p + 1), o, first + 1);
            b.Put('K', names_[static_cast<std::size_t>(p)], p, first + 2);
        }
        const std::string_view shown = b.GetRowCount('K') > 0 ? trimBlanks(b.Get('K', p, 0)) : "";
        if (!shown.empty() && shown != trimBlanks(names_[static_cast<std::size_t>(p)])) mismatch = true;
    }
    if (mismatch) s_.ui().showInfo(s_.catalogue().GetLangMsg("MsgWrongRes"));
    s_.activeGrid = 2;
    s_.cursorRow = b.GetRowCount('K') - 1;
    return true;
}

bool ClusterWindow::writeSpecies() {
    TEditBuffer& b = s_.buffer();
    const int n = static_cast<int>(names_.size());
    std::vector<int> targets;
    for (int r = 0; r < b.GetRowCount('A'); ++r)
        if (b.GetTyp('A', r) == 'A' && !trimBlanks(b.GetZl('A', r)).empty()) targets.push_back(r);
    const bool named =
        targets.size() >= 2 || (b.GetRowCount('A') > 0 && !trimBlanks(b.GetZl('A', 0)).empty());
    if (named && static_cast<int>(targets.size()) != n &&
        AskYesNoCancel(s_.ui(), s_.catalogue().GetLangMsg("MsgWrongCluster")) != 'Y')
        return false;
    const bool wasEmpty = targets.empty();
    if (b.GetRowCount('A') < n) {
        const int from = b.GetRowCount('A');
        b.InsRows('A', from, n - from);
        if (wasEmpty)
            for (int i = from; i < n; ++i) b.PutZl('A', names_[static_cast<std::size_t>(i)], i);
    }
    const std::vector<int> classes = classesByPosition();
    bool mismatch = false;
    for (int i = 0; i < n; ++i) {
        const int j = order_[static_cast<std::size_t>(i)] - 1;
        const int row = j < static_cast<int>(targets.size()) ? targets[static_cast<std::size_t>(j)] : j;
        b.WriteP('A', 'N', std::to_string(i + 1), row);
        b.WriteP('A', 'G', std::to_string(classes[static_cast<std::size_t>(i)]), row);
        if (trimBlanks(b.GetZl('A', row)) != trimBlanks(names_[static_cast<std::size_t>(j)])) mismatch = true;
    }
    if (mismatch) s_.ui().showInfo(s_.catalogue().GetLangMsg("MsgWrongRes"));
    return true;
}

bool ClusterWindow::writeClasses(bool level) {
    if (!forEditor_) {
        s_.ui().showInfo("Funktion nur für den Editor verfügbar.");
        return false;
    }
    if (!GridEditable(s_, 0)) return false;
    if (title_ == "Spalten" || title_ == "Aufnahmen") return writeColumns(level);
    if (title_ == "Arten") return writeSpecies();
    if (title_ == "Zeilen") {
        s_.ui().showInfo("Cluster-Resultate für Zeilen: noch nicht implementiert.");
        return false;
    }
    return false;
}

void ClusterWindow::insertClasses() {
    writeClasses(false);
}

void ClusterWindow::insertHierarchy() {
    const int levels = layout_.kla;
    for (int k = 1; k <= levels; ++k) {
        setClassCount(k);
        if (!writeClasses(true)) return;
    }
}

void ClusterWindow::saveDrawing() {
    const auto file = askFile(s_, DialogKind::SaveFile, "Darstellung als Bitmap speichern");
    if (!file) return;
    if (fileExists(*file) && ConfirmOverwrite(s_.ui(), *file) != 'Y') return;
    const Canvas shown = lastCanvas;
    Canvas canvas = shown.width > 0 ? shown : Canvas{800, 600, 13, s_.settings().screenScale()};
    if (endsWithSvg(*file)) {
        // A picture drawn without a window shows every leaf.
        const double needed =
            layout_.headerGap + 30 * canvas.scale + static_cast<double>(names_.size() + 1) * layout_.fontGap;
        canvas.height = std::max(canvas.height, static_cast<int>(std::ceil(needed)));
    }
    const Drawing drawing = draw(canvas);
    lastCanvas = shown;
    if (endsWithSvg(*file)) {
        const Status st = writeFileAtomically(*file, drawingToSvg(drawing));
        if (!st) s_.report(st);
        return;
    }
    if (!s_.ui().saveBitmap(drawing, *file))
        s_.ui().showError("Die Darstellung liess sich nicht als Bild speichern: " + *file +
                          "\rOhne Fenster wird sie nur als SVG gespeichert (Dateiname auf .svg).");
}

bool ClusterWindow::run(std::string_view command) {
    ensureLayout();
    RCluEinst& e = s_.settings().CluEinst;
    const double scale = lastCanvas.scale > 0 ? lastCanvas.scale : s_.settings().screenScale();
    const double font = lastCanvas.fontPixels > 0 ? lastCanvas.fontPixels : 13;
    if (command == "Darstellung als Bitmap speichern") {
        saveDrawing();
    } else if (command == "Drucken") {
        s_.ui().showInfo("Drucken: noch nicht implementiert.");
    } else if (command == "Beenden") {
        return false;
    } else if (command == "Grösser") {
        layout_.zoom /= 2;
        layout_.fontGap *= 2;
        layout_.mvY *= 2;
    } else if (command == "Kleiner") {
        layout_.zoom *= 2;
        layout_.fontGap /= 2;
        layout_.mvY /= 2;
    } else if (command == "Faktor setzen") {
        double factor = 1 / layout_.zoom;
        if (!askNumber("Zoom-Faktor", "Zoom-Faktor", factor, 2, factor)) return true;
        if (factor < 0.01) factor = 1;
        layout_.zoom = 1 / factor;
        layout_.fontGap = 1.5 * font * factor;
        layout_.mvY = 0;
    } else if (command == "Anschrift breiter") {
        layout_.labelGap = roundEven(layout_.labelGap + 20 * scale);
    } else if (command == "Anschrift schmaler") {
        layout_.labelGap = std::max(20, roundEven(layout_.labelGap - 20 * scale));
    } else if (command == "Wert setzen") {
        const auto v = askWholeNumber(s_, "Wert setzen", "Breite der Anschrift in Pixels", layout_.labelGap,
                                      std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        if (v) layout_.labelGap = std::max(20, *v);
    } else if (command == "Zurücksetzen") {
        layout_.fontGap = 1.5 * font;
        layout_.mvY = 0;
        layout_.labelGap = roundEven(100 * scale);
    } else if (command == "Anzahl Klassen") {
        const auto k = askWholeNumber(s_, "Anzahl Klassen", "Anzahl Klassen", layout_.kla,
                                      std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        if (k) setClassCount(*k);
    } else if (command == "Niveau    (Doppelklick)") {
        double level = layout_.cut;
        if (askNumber("Schnitt-Niveau", "Schnitt-Niveau", level, 2, level))
            setCut(std::clamp(level, minSim_, maxSim_));
    } else if (command == "Klassen einsetzen") {
        insertClasses();
    } else if (command == "Hierarchie einsetzen") {
        insertHierarchy();
    } else if (command == "Schriftart") {
        const auto text = askText(s_, "Schriftart", "Schriftart (Name;Grösse in Punkt)",
                                  e.ItemFont.name + ";" + std::to_string(e.ItemFont.size));
        if (text) {
            std::vector<std::string> f = splitFields(*text);
            f.resize(2);
            if (!trimBlanks(f[0]).empty()) e.ItemFont.name = std::string(trimBlanks(f[0]));
            if (const auto size = parseInteger(trimBlanks(f[1])); size && *size > 0)
                e.ItemFont.size = static_cast<std::int32_t>(*size);
        }
    } else if (command == "Strichdicke") {
        const auto v = askWholeNumber(s_, "Strichdicke", "Strichdicke: wieviel Punkt?", e.Bo,
                                      std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        if (v) e.Bo = *v <= 0 ? 1 : *v;
    } else if (command == "Dezimalen") {
        const auto v = askWholeNumber(s_, "Anzahl eingeben", "Skala: wieviele Dezimalen?", e.Decimals,
                                      std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        if (v) e.Decimals = std::min(std::max(*v, 0), 15);
    } else if (command == "Alles zurücksetzen") {
        s_.settings().SetCluDefaults();
    }
    return true;
}

WindowPlace ClusterWindow::placement() const {
    const PixelRect& r = s_.settings().CluEinst.DimClu;
    return {r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top};
}

void ClusterWindow::storePlacement(const WindowPlace& place) {
    PixelRect& r = s_.settings().CluEinst.DimClu;
    r.Left = place.left;
    r.Top = place.top;
    r.Right = place.left + place.width;
    r.Bottom = place.top + place.height;
}

std::vector<std::string> ClusterWindow::textLines() const {
    std::vector<std::string> lines{"Schritt;Cluster 1;Cluster 2;Ähnlichkeit"};
    for (std::size_t k = 0; k < dendrogram_.td.size(); ++k)
        lines.push_back(std::to_string(k + 1) + ";" + std::to_string(dendrogram_.ta[k]) + ";" +
                        std::to_string(dendrogram_.tb[k]) + ";" + formatNumber(dendrogram_.td[k]));
    return lines;
}

void ClusterWindow::doubleClick(int x, int /*y*/) {
    ensureLayout();
    layout_.cutPos = x;
    setCut(similarityAtX(layout_, maxSim_, x));
}

void ClusterWindow::drag(int dy) {
    ensureLayout();
    layout_.mvY = std::min(0.0, layout_.mvY + dy);
}

Status showClusterWindow(Session& s, TTavMatrix&& matrix, char linkage, const std::vector<double>& gradient) {
    ClusterWindow window(s, std::move(matrix), linkage, gradient);
    if (!window.clustered()) {
        if (s.progress().aborted()) s.ui().showInfo("Bearbeitung abgebrochen");
        return {};
    }
    s.ui().showDrawingWindow(window);
    return {};
}

}  // namespace tav
