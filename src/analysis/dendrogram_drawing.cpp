#include "analysis/dendrogram_drawing.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/numbers.h"
#include "core/text.h"

namespace tav {

namespace {

// A value of the scale or the cut as the window writes it: fixed point, at least three characters,
// and a plain 0 for what is only a rounding error away from it.
std::string scaleText(double v, int decimals) {
    if (std::fabs(v) < 0.0001) v = 0;
    return alignRight(formatFixed(v, std::max(decimals, 0)), 3);
}

}  // namespace

int roundEven(double x) {
    constexpr double lowest = std::numeric_limits<int>::min(), highest = std::numeric_limits<int>::max();
    if (!(x > lowest)) return std::numeric_limits<int>::min();
    if (!(x < highest)) return std::numeric_limits<int>::max();
    const double down = std::floor(x);
    const double rest = x - down;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(down, 2.0) != 0)) return static_cast<int>(down) + 1;
    return static_cast<int>(down);
}

DendrogramLayout initialLayout(double cut, const Canvas& canvas) {
    DendrogramLayout l;
    l.cut = cut;
    l.fontGap = 1.5 * canvas.fontPixels;
    l.labelGap = roundEven(100 * canvas.scale);
    l.headerGap = roundEven(50 * canvas.scale);
    l.cluWidth = roundEven(100 * canvas.scale);
    return l;
}

double scaleStep(double minSim, double maxSim, double cluFac, double scale) {
    const double r = std::max((maxSim - minSim) / 20, 0.0001);
    double base = 1e21;
    bool found = false;
    for (int k = -4; k <= 16 && !found; ++k) {
        // 10^k from whole powers of ten, so that 0.0002 is the number nearest to it.
        const double power = k < 0 ? 1 / std::pow(10.0, -k) : std::pow(10.0, k);
        for (double m : {1.0, 2.0, 5.0}) {
            if (m * power > r) {
                base = m * power;
                found = true;
                break;
            }
        }
    }
    // The first multiple of the base step that is at least 50 s pixels wide; a width a rounding error
    // short counts as wide enough.
    const double wanted = 50 * scale * (1 - 1e-9);
    const double baseWidth = base * cluFac;
    if (!(baseWidth > 0) || !std::isfinite(wanted) || baseWidth >= wanted) return base;
    double times = std::ceil(wanted / baseWidth);
    if (times > 1 && (times - 1) * baseWidth >= wanted) times -= 1;
    return base * times;
}

Drawing drawDendrogram(const DendrogramPicture& picture, DendrogramLayout& layout, const Canvas& canvas) {
    const double s = canvas.scale;
    Drawing d;
    d.width = canvas.width;
    d.height = canvas.height;
    d.lineWidth = picture.lineWidth;
    d.fontFamily = picture.fontFamily;
    d.fontPixels = canvas.fontPixels;

    const double minSim = picture.minSim, maxSim = picture.maxSim;
    layout.cluWidth = std::max(roundEven(canvas.width - layout.labelGap), 100);
    layout.cluFac = maxSim - minSim > 0.0001 ? layout.cluWidth / (maxSim - minSim) * 0.9 : 100;
    const auto xOf = [&](double v) { return layout.labelGap + roundEven((maxSim - v) * layout.cluFac); };
    const auto yOf = [&](int p) {
        return roundEven(p * layout.fontGap + layout.headerGap + 10 * s + layout.mvY);
    };

    static const Dendrogram none;
    const Dendrogram& tree = picture.dendrogram ? *picture.dendrogram : none;
    const int n = std::max(tree.objects, 0);
    const std::vector<int> order =
        static_cast<int>(picture.order.size()) == n ? picture.order : dendrogramOrder(tree);
    // The leaf row of each object.
    std::vector<int> leafY(static_cast<std::size_t>(n), 0);
    for (std::size_t p = 0; p < order.size(); ++p)
        if (order[p] >= 1 && order[p] <= n)
            leafY[static_cast<std::size_t>(order[p] - 1)] = yOf(static_cast<int>(p));

    // The merges, each at the x of its similarity and halfway between its children.
    const std::size_t steps = std::min({tree.ta.size(), tree.tb.size(), tree.td.size()});
    std::vector<int> stepX(steps, 0), stepY(steps, 0);
    bool rootDrawn = false;
    for (std::size_t k = 0; k < steps; ++k) {
        const int children[2] = {tree.ta[k], tree.tb[k]};
        int cx[2] = {0, 0}, cy[2] = {0, 0};
        bool known = true;
        for (int c = 0; c < 2; ++c) {
            const int id = children[c];
            if (id < 0 && -id <= n) {
                cx[c] = layout.labelGap;
                cy[c] = leafY[static_cast<std::size_t>(-id - 1)];
            } else if (id > 0 && static_cast<std::size_t>(id) <= k) {
                cx[c] = stepX[static_cast<std::size_t>(id - 1)];
                cy[c] = stepY[static_cast<std::size_t>(id - 1)];
            } else {
                known = false;
            }
        }
        if (!known) continue;
        const int x = xOf(tree.td[k]);
        stepX[k] = x;
        stepY[k] = (cy[0] + cy[1]) / 2;
        d.lines.push_back({cx[0], cy[0], x, cy[0]});
        d.lines.push_back({cx[1], cy[1], x, cy[1]});
        d.lines.push_back({x, cy[0], x, cy[1]});
        if (children[0] < 0 && children[1] < 0) d.dots.push_back({x, stepY[k]});
        rootDrawn = k + 1 == steps;
    }
    if (rootDrawn)
        d.lines.push_back({stepX.back(), stepY.back(), stepX.back() + roundEven(10 * s), stepY.back()});

    // The scale: ticks at the multiples of the step, labelled above them from just right of the tick,
    // which keeps the first label clear of the cut's text in the label column.
    const double step = scaleStep(minSim, maxSim, layout.cluFac, s);
    const int scaleY = roundEven(layout.headerGap - 20 * s);
    const int tick = std::max(roundEven(5 * s), 1), labelShift = roundEven(2 * s);
    int scaleLeft = layout.labelGap, scaleRight = xOf(minSim);
    const double first = std::nearbyint(maxSim / step);
    for (int i = 0; i < 1000; ++i) {
        const double v = (first - i) * step;
        if (!(v > minSim - step / 2)) break;
        const int x = xOf(v);
        scaleLeft = std::min(scaleLeft, x);
        scaleRight = std::max(scaleRight, x);
        d.lines.push_back({x, scaleY - tick, x, scaleY});
        Drawing::Text label{x + labelShift, scaleY - tick - canvas.fontPixels - 1,
                            scaleText(v, picture.decimals)};
        // A label that would run past the right edge (digits are about 0.65 of the font's height wide)
        // ends at the edge instead; ticks lie at least 50 s apart, so it stays clear of the one before.
        if (label.x + charLength(label.text) * canvas.fontPixels * 0.65 > canvas.width) {
            label.x = canvas.width - labelShift;
            label.rightAligned = true;
        }
        d.texts.push_back(label);
    }
    d.lines.push_back({scaleLeft, scaleY, scaleRight, scaleY});

    // The leaves' names and classes, when the rows are high enough for a line of text.
    int classCount = 0;
    const std::vector<int> classes = classesAtCut(tree, layout.cut, classCount);
    layout.kla = classCount;
    if (canvas.fontPixels < layout.fontGap) {
        for (int o = 0; o < n; ++o) {
            const int y = leafY[static_cast<std::size_t>(o)] - canvas.fontPixels / 2;
            if (static_cast<std::size_t>(o) < picture.names.size())
                d.texts.push_back({roundEven(30 * s), y, picture.names[static_cast<std::size_t>(o)]});
            if (static_cast<std::size_t>(o) < classes.size())
                d.texts.push_back(
                    {roundEven(10 * s), y, std::to_string(classes[static_cast<std::size_t>(o)]), true});
        }
    }

    // The cut, from the scale down past the last leaf, and what it makes.
    const int cutX = xOf(layout.cut);
    d.lines.push_back({cutX, layout.headerGap, cutX, roundEven(yOf(std::max(n - 1, 0)) + 20 * s), true});
    const int textX = roundEven(10 * s), textY = roundEven(layout.headerGap - 40 * s);
    d.texts.push_back({textX, textY, "Schnitt: " + scaleText(layout.cut, picture.decimals + 1), true});
    d.texts.push_back(
        {textX, textY + roundEven(canvas.fontPixels * 1.25), "Klassen: " + std::to_string(layout.kla), true});
    return d;
}

double similarityAtX(const DendrogramLayout& layout, double maxSim, int x) {
    if (!(layout.cluFac > 0)) return maxSim;
    return maxSim - (x - layout.labelGap) / layout.cluFac;
}

}  // namespace tav
