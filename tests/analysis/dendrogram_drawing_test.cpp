// The dendrogram's drawing: the scale step, the rounding of pixel positions, where the leaves, merges,
// cut and texts lie for small trees, and the ranges that leave nothing to spread.

#include "analysis/dendrogram_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

namespace tav {
namespace {

Canvas canvas(int width = 800) {
    Canvas c;
    c.width = width;
    c.height = 600;
    c.fontPixels = 13;
    c.scale = 1;
    return c;
}

using Segment = std::tuple<int, int, int, int>;

// The black lines of the tree: those below the header.
std::set<Segment> treeLines(const Drawing& d, int headerGap) {
    std::set<Segment> out;
    for (const Drawing::Line& l : d.lines)
        if (!l.red && l.y1 >= headerGap) out.insert({l.x1, l.y1, l.x2, l.y2});
    return out;
}

const Drawing::Text* textAt(const Drawing& d, int x, int y) {
    for (const Drawing::Text& t : d.texts)
        if (t.x == x && t.y == y) return &t;
    return nullptr;
}

const Drawing::Text* findText(const Drawing& d, const std::string& text) {
    for (const Drawing::Text& t : d.texts)
        if (t.text == text) return &t;
    return nullptr;
}

TEST(Dendrogram, ScaleStep) {
    const struct {
        double minSim, maxSim, cluFac, scale, step;
    } cases[] = {
        {0, 1, 630, 1, 0.1},           // a twentieth of the range is 0.05: the step lies strictly above
        {0, 1, 630, 2, 0.2},           // twice the screen wants steps of 100 pixels
        {0, 3, 210, 1, 0.4},           // 0.2 is 42 pixels wide: taken twice
        {0, 1e6, 630e-6, 1, 1e5},      // a wide range
        {0.5, 0.50005, 1e7, 1, 2e-4},  // a tiny range counts as 0.002
        {0.5, 0.50005, 100, 1, 0.5},   // … and at 100 pixels per unit the step is widened to 50 pixels
    };
    for (const auto& c : cases)
        EXPECT_NEAR(scaleStep(c.minSim, c.maxSim, c.cluFac, c.scale), c.step, c.step * 1e-9)
            << c.minSim << " … " << c.maxSim << " at " << c.cluFac;
}

TEST(Dendrogram, RoundEvenTakesHalvesToTheEvenNeighbour) {
    const std::pair<double, int> cases[] = {{0.5, 0},  {1.5, 2},   {2.5, 2},  {79.5, 80}, {118.5, 118},
                                            {-0.5, 0}, {-1.5, -2}, {2.49, 2}, {2.51, 3},  {-2.51, -3}};
    for (const auto& [x, rounded] : cases) EXPECT_EQ(roundEven(x), rounded) << x;
}

TEST(Dendrogram, TwoObjects) {
    const Dendrogram tree{{-1}, {-2}, {0.4}, 2};
    DendrogramPicture picture;
    picture.dendrogram = &tree;
    picture.order = dendrogramOrder(tree);
    picture.names = {"Aufn. 1", "<&"};
    picture.minSim = 0.4;
    picture.maxSim = 1;
    DendrogramLayout layout = initialLayout(0.7, canvas());
    EXPECT_EQ(std::tie(layout.labelGap, layout.headerGap, layout.cluWidth), std::make_tuple(100, 50, 100));
    EXPECT_EQ(layout.fontGap, 19.5);

    const Drawing d = drawDendrogram(picture, layout, canvas());
    EXPECT_EQ(layout.cluWidth, 700);
    EXPECT_NEAR(layout.cluFac, 1050, 1e-9);
    EXPECT_EQ(layout.kla, 2);
    // Leaves at y 60 and 79.5 (to 80), joined at 0.4, 630 pixels right of the leaves.
    EXPECT_EQ(
        treeLines(d, layout.headerGap),
        (std::set<Segment>{{100, 60, 730, 60}, {100, 80, 730, 80}, {730, 60, 730, 80}, {730, 70, 740, 70}}));
    ASSERT_EQ(d.dots.size(), 1u);
    EXPECT_EQ(std::tie(d.dots[0].x, d.dots[0].y), std::make_tuple(730, 70));
    // The cut at 0.7 from the header to 20 pixels below the last leaf.
    const Drawing::Line cut = d.lines.back();
    EXPECT_TRUE(cut.red);
    EXPECT_EQ(std::tie(cut.x1, cut.y1, cut.x2, cut.y2), std::make_tuple(415, 50, 415, 100));
    EXPECT_NEAR(similarityAtX(layout, picture.maxSim, 415), 0.7, 1e-12);

    const struct {
        int x, y;
        std::string text;
        bool red;
    } texts[] = {
        {10, 10, "Schnitt: 0.700", true},
        {10, 26, "Klassen: 2", true},
        {30, 54, "Aufn. 1", false},
        {10, 54, "1", true},
        {30, 74, "<&", false},
        {10, 74, "2", true},
        {102, 11, "1.00", false},  // the scale labels begin just right of their ticks
        {732, 11, "0.40", false},
    };
    for (const auto& t : texts) {
        const Drawing::Text* found = textAt(d, t.x, t.y);
        ASSERT_TRUE(found) << t.text;
        EXPECT_EQ(found->text, t.text);
        EXPECT_EQ(found->red, t.red) << t.text;
    }
    // The scale: 0.05 apart from 1.00 down to 0.40, on a line 20 pixels above the header.
    EXPECT_EQ(std::count_if(d.texts.begin(), d.texts.end(), [](const Drawing::Text& t) { return t.y == 11; }),
              13);
    EXPECT_TRUE(std::any_of(d.lines.begin(), d.lines.end(), [](const Drawing::Line& l) {
        return l.y1 == 30 && l.y2 == 30 && l.x1 == 100 && l.x2 == 730;
    }));

    const std::string svg = drawingToSvg(d);
    EXPECT_TRUE(svg.starts_with("<svg"));
    EXPECT_NE(svg.find(">&lt;&amp;</text>"), std::string::npos);
    std::size_t lines = 0;
    for (std::size_t at = svg.find("<line"); at != std::string::npos; at = svg.find("<line", at + 1)) ++lines;
    EXPECT_EQ(lines, d.lines.size());
}

TEST(Dendrogram, FourObjects) {
    // (1 2) at 0.9, (3 4) at 0.8, both joined at 0.3.
    const Dendrogram tree{{-1, -3, 1}, {-2, -4, 2}, {0.9, 0.8, 0.3}, 4};
    DendrogramPicture picture;
    picture.dendrogram = &tree;
    picture.order = dendrogramOrder(tree);
    picture.names = {"a", "b", "c", "d"};
    picture.minSim = 0.3;
    picture.maxSim = 1;
    DendrogramLayout layout = initialLayout(0.5, canvas());
    Drawing d = drawDendrogram(picture, layout, canvas());

    // Leaves at 60, 80, 99 and 118; each pair joins halfway, the root halfway between the pairs.
    EXPECT_EQ(treeLines(d, layout.headerGap), (std::set<Segment>{{100, 60, 190, 60},
                                                                 {100, 80, 190, 80},
                                                                 {190, 60, 190, 80},
                                                                 {100, 99, 280, 99},
                                                                 {100, 118, 280, 118},
                                                                 {280, 99, 280, 118},
                                                                 {190, 70, 730, 70},
                                                                 {280, 108, 730, 108},
                                                                 {730, 70, 730, 108},
                                                                 {730, 89, 740, 89}}));
    ASSERT_EQ(d.dots.size(), 2u);
    EXPECT_EQ(std::tie(d.dots[1].x, d.dots[1].y), std::make_tuple(280, 108));
    EXPECT_EQ(std::tie(d.lines.back().x1, d.lines.back().y2), std::make_tuple(550, 138));
    ASSERT_TRUE(findText(d, "Klassen: 2"));
    const std::string classes[] = {"1", "1", "2", "2"};
    const int rows[] = {54, 74, 93, 112};
    for (int o = 0; o < 4; ++o) {
        const Drawing::Text* c = textAt(d, 10, rows[o]);
        ASSERT_TRUE(c) << o;
        EXPECT_EQ(c->text, classes[o]) << o;
    }

    // A cut above the pairs makes four classes; rows no higher than the font leave out the names.
    layout.cut = 0.95;
    layout.fontGap = 13;
    d = drawDendrogram(picture, layout, canvas());
    EXPECT_EQ(layout.kla, 4);
    ASSERT_TRUE(findText(d, "Klassen: 4"));
    EXPECT_FALSE(findText(d, "a"));
    EXPECT_FALSE(findText(d, "1"));
    // Scrolled up by 40 pixels, the first leaf lies 40 pixels higher.
    layout.mvY = -40;
    d = drawDendrogram(picture, layout, canvas());
    EXPECT_EQ(treeLines(d, 0).count({100, 20, 190, 20}), 1u);
}

TEST(Dendrogram, RangesThatLeaveLittleToSpread) {
    const struct {
        const char* what;
        double minSim, maxSim;
        int width;
        double cluFac;
        int mergeX;
    } cases[] = {
        {"equal similarities, widened by one each way", -0.5, 1.5, 800, 315, 415},
        {"equal similarities, not widened", 0.5, 0.5, 800, 100, 100},
        {"a range below 0.0001", 0.5, 0.50005, 800, 100, 100},
        {"a window without width", 0, 1, 0, 90, 145},
    };
    const Dendrogram tree{{-1}, {-2}, {0.5}, 2};
    for (const auto& c : cases) {
        DendrogramPicture picture;
        picture.dendrogram = &tree;
        picture.minSim = c.minSim;
        picture.maxSim = c.maxSim;
        DendrogramLayout layout = initialLayout((c.minSim + c.maxSim) / 2, canvas(c.width));
        const Drawing d = drawDendrogram(picture, layout, canvas(c.width));
        EXPECT_NEAR(layout.cluFac, c.cluFac, 1e-9) << c.what;
        EXPECT_EQ(treeLines(d, layout.headerGap).count({c.mergeX, 60, c.mergeX, 80}), 1u) << c.what;
        EXPECT_EQ(d.texts.back().text, "Klassen: 2") << c.what;
    }
    // The widened scale runs from 1.60 (1.5 / 0.2 rounded to the even 8) past a zero without a sign.
    DendrogramPicture picture;
    picture.dendrogram = &tree;
    picture.minSim = -0.5;
    picture.maxSim = 1.5;
    DendrogramLayout layout = initialLayout(0.5, canvas());
    const Drawing d = drawDendrogram(picture, layout, canvas());
    for (const char* label : {"1.60", "0.00", "-0.40"}) EXPECT_TRUE(findText(d, label)) << label;
    EXPECT_FALSE(findText(d, "-0.60"));
}

TEST(Dendrogram, ScaleLabelsStayInsideTheWindow) {
    // Ticks 0.1 apart down to 0.10, below the smallest similarity and 29 pixels from the right edge.
    const Dendrogram tree{{-1}, {-2}, {0.14}, 2};
    DendrogramPicture picture;
    picture.dendrogram = &tree;
    picture.minSim = 0.14;
    picture.maxSim = 1;
    DendrogramLayout layout = initialLayout(0.5, canvas(600));
    const Drawing d = drawDendrogram(picture, layout, canvas(600));
    const Drawing::Text* first = findText(d, "1.00");
    const Drawing::Text* last = findText(d, "0.10");
    ASSERT_TRUE(first && last);
    EXPECT_EQ(std::tie(first->x, first->rightAligned), std::make_tuple(102, false));
    EXPECT_EQ(std::tie(last->x, last->rightAligned), std::make_tuple(598, true));
}

}  // namespace
}  // namespace tav
