// Drawings as SVG, and the window commands a token names.

#include "platform/drawing.h"

#include <gtest/gtest.h>

#include "support/fake_drawing_window.h"

namespace tav {
namespace {

TEST(DrawingCommand, TokenNamesTheCaptionWithoutBlanksCaseAndRemark) {
    const testing::FakeDrawingWindow window;
    const struct {
        const char* token;
        std::optional<std::string> command;
    } cases[] = {
        {"Anzahl Klassen", "Anzahl Klassen"},
        {"anzahlklassen", "Anzahl Klassen"},
        {"  ANZAHL  klassen ", "Anzahl Klassen"},
        {"Niveau", "Niveau    (Doppelklick)"},
        {"niveau (doppelklick)", "Niveau    (Doppelklick)"},
        {"Beenden", "Beenden"},
        {"Klassen", std::nullopt},  // a beginning is not enough
        {"Anzahl Klassen einsetzen", std::nullopt},
        {"Datei", std::nullopt},  // menus are no commands
        {"", std::nullopt},
        {"(Doppelklick)", std::nullopt},  // nothing is left to compare, not even the separators' ""
    };
    for (const auto& c : cases) EXPECT_EQ(drawingCommand(window, c.token), c.command) << c.token;
}

TEST(DrawingToSvg, ShapesWithColoursWidthsAndEscapedTexts) {
    Drawing d;
    d.width = 200;
    d.height = 100;
    d.lineWidth = 3;
    d.fontFamily = "Arial";
    d.fontPixels = 10;
    d.lines = {{1, 2, 3, 4}, {5, 6, 7, 8, true}};
    d.dots = {{20, 30}};
    d.texts = {{10, 20, "a<b & \"c\">"}, {190, 50, "1.00", true, true}};
    const std::string svg = drawingToSvg(d);

    EXPECT_TRUE(
        svg.starts_with("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"200\" "
                        "height=\"100\""))
        << svg;
    EXPECT_TRUE(svg.ends_with("</svg>\n"));
    for (
        const char* part : {
            R"(<rect x="0" y="0" width="200" height="100" fill="#ffffff"/>)",
            // 3 points are 4 pixels.
            R"(<line x1="1" y1="2" x2="3" y2="4" stroke="#000000" stroke-width="4")",
            R"(<line x1="5" y1="6" x2="7" y2="8" stroke="#ff0000" stroke-width="4")",
            R"(<rect x="18.5" y="28.5" width="4" height="4" fill="#000000"/>)",
            R"(font-family="Arial, sans-serif" font-size="10" fill="#000000">a&lt;b &amp; &quot;c&quot;&gt;</text>)",
            R"(<text x="190" y="59" font-family="Arial, sans-serif" font-size="10" fill="#ff0000" text-anchor="end">1.00</text>)",
        })
        EXPECT_NE(svg.find(part), std::string::npos) << part << "\n" << svg;

    // A hairline is still one pixel wide.
    d.lineWidth = 0.25;
    EXPECT_NE(drawingToSvg(d).find(R"(stroke-width="1")"), std::string::npos);
}

}  // namespace
}  // namespace tav
