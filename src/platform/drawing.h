#pragma once
// Windows that show a drawing and offer their commands in menus (the dendrogram). The drawing is a list
// of shapes in pixels, so the desktop paints it, and the batch runner and scripts write it as SVG, from
// the same shapes.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

class UiPort;

struct Drawing {
    struct Line {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        bool red = false;
    };
    // A filled dot of one pixel (drawn with the line width).
    struct Dot {
        int x = 0, y = 0;
    };
    // Text whose top left corner lies at (x, y); right-aligned texts end at x.
    struct Text {
        int x = 0, y = 0;
        std::string text;  // UTF-8
        bool red = false;
        bool rightAligned = false;
    };
    int width = 0, height = 0;
    double lineWidth = 1;  // in points, as the settings give it
    std::string fontFamily;
    int fontPixels = 13;  // the height of the text font in pixels
    std::vector<Line> lines;
    std::vector<Dot> dots;
    std::vector<Text> texts;
};

// The drawing as an SVG document (white background, black or red shapes, texts escaped).
std::string drawingToSvg(const Drawing& drawing);

// What a window that draws needs to know of the place it draws into.
struct Canvas {
    int width = 0, height = 0;  // of the paint box, in pixels
    int fontPixels = 13;        // height of the text font in pixels
    double scale = 1;           // the screen scale: screen width / 1000
};

// Where a window stands on the screen, in pixels; a width of 0 leaves it to the front end.
struct WindowPlace {
    int left = 0, top = 0, width = 0, height = 0;
};

// A window that shows a drawing and has menus of commands. The front end shows it modally until a
// command closes it or the user closes the window; every command may ask its questions through the
// program's dialogs while the window is open.
class DrawingWindow {
  public:
    virtual ~DrawingWindow() = default;

    struct Menu {
        std::string caption;
        std::vector<std::string> commands;  // captions; an empty one is a separator
    };
    virtual std::string caption() const = 0;
    virtual std::vector<Menu> menus() const = 0;
    // The drawing for the canvas. Drawing may update the window's state (the class count at the cut).
    virtual Drawing draw(const Canvas& canvas) = 0;
    // Runs the menu command with this caption (as menus() gives it). False when the command closes
    // the window.
    virtual bool run(std::string_view command) = 0;
    // Mouse in the drawing: a double click at x, a vertical drag by dy pixels.
    virtual void doubleClick(int x, int y) = 0;
    virtual void drag(int dy) = 0;
    // The window closes (by a command or by the user).
    virtual void closing() {}
    // Where the window opens, and where it stood when it closed.
    virtual WindowPlace placement() const { return {}; }
    virtual void storePlacement(const WindowPlace& /*place*/) {}
    // The window's contents as ";"-separated lines, for scripts that print the windows; none by default.
    virtual std::vector<std::string> textLines() const { return {}; }
    // The canvas the window last drew on, so that commands that save a drawing use its size.
    Canvas lastCanvas;
};

// The menu command a token names: the first in menu order whose caption agrees with the token when
// both, cut at their first "(", are compared without blanks and case ("anzahlklassen" names "Anzahl
// Klassen", "Niveau" names "Niveau    (Doppelklick)"). Nothing when none does.
std::optional<std::string> drawingCommand(const DrawingWindow& window, std::string_view token);

// Runs the commands a token lists, separated by "|", on a window that is not shown (macros, scripts):
// the window is drawn once first (on its last canvas, or 800 × 600 pixels when it never drew) so its
// state is what the user would see, and again after every command. A command that closes the window
// ends the run; so does a name that names no command, after a warning. False only in that last case,
// when the token was refused. The window is not closed here.
bool runDrawingCommands(DrawingWindow& window, std::string_view token, UiPort& messages);

}  // namespace tav
