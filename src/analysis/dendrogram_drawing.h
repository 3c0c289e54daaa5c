#pragma once
// The dendrogram as the window draws it: the layout of the drawing (sizes in pixels, scaled by the
// screen), the scale line, the tree, the leaves with their names and classes, and the cut with its
// texts, as shapes the desktop paints and the batch runner writes as SVG. Pure functions, so the
// geometry and the cut rules are tested without a display.

#include <string>
#include <vector>

#include "analysis/clustering.h"
#include "platform/drawing.h"

namespace tav {

// x rounded to the nearest whole number, halves to the even neighbour.
int roundEven(double x);

// The layout of the drawing.
struct DendrogramLayout {
    double cut = 0;             // the cut level shown
    double fontGap = 20;        // vertical distance of two leaves
    double zoom = 1;            // zoom divisor
    double cluFac = 100;        // pixels per unit of similarity
    double mvY = 0;             // vertical scroll offset (≤ 0)
    int labelGap = 100;         // x of the leaves; the labels lie left of it
    int headerGap = 50;         // y of the scale region
    int cluWidth = 100;         // width of the tree area
    int kla = 2;                // classes at the cut, found at every drawing
    int cutPos = 0, mvPos = 0;  // x and y of the last mouse press
};

// The layout a new window starts with: fontGap 1.5 × the font height, labelGap ⟨100 s⟩, headerGap
// ⟨50 s⟩, cluWidth ⟨100 s⟩, the cut given.
DendrogramLayout initialLayout(double cut, const Canvas& canvas);

// What the drawing shows.
struct DendrogramPicture {
    const Dendrogram* dendrogram = nullptr;
    std::vector<int> order;          // objects numbered from 1, top to bottom (dendrogramOrder)
    std::vector<std::string> names;  // per object (0-based)
    double minSim = 0, maxSim = 1;   // the range of the matrix (already widened when equal)
    int decimals = 2;                // digits of the scale
    double lineWidth = 1;            // points
    std::string fontFamily;
};

// The step of the scale line for a similarity range: the smallest 1, 2 or 5 × 10^k (k = −4 … 16) above
// range / 20 (range / 20 raised to 0.0001), multiplied by the first whole number that makes it at least
// 50 × scale pixels wide at cluFac pixels per unit.
double scaleStep(double minSim, double maxSim, double cluFac, double scale);

// The drawing on the canvas. Sets layout.cluWidth, layout.cluFac and layout.kla (the classes at
// layout.cut).
Drawing drawDendrogram(const DendrogramPicture& picture, DendrogramLayout& layout, const Canvas& canvas);

// The similarity at pixel column x of the drawing (a double click there sets the cut).
double similarityAtX(const DendrogramLayout& layout, double maxSim, int x);

}  // namespace tav
