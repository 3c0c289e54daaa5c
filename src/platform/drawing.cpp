#include "platform/drawing.h"

#include <algorithm>

#include "core/numbers.h"
#include "core/text.h"
#include "platform/dialog_answers.h"
#include "platform/ui_port.h"

namespace tav {

namespace {

std::string number(double x) {
    return formatNumber(x, 2);
}

const char* colour(bool red) {
    return red ? "#ff0000" : "#000000";
}

// A caption or a token as commands are compared: up to its first "(", without blanks, folded.
std::string commandKey(std::string_view s) {
    s = s.substr(0, s.find('('));
    std::string kept;
    for (char c : s)
        if (!isBlank(c)) kept += c;
    return upperFold(kept);
}

}  // namespace

std::string drawingToSvg(const Drawing& d) {
    // Points are 1/72 inch, SVG pixels 1/96; a line is never thinner than one pixel.
    const double stroke = std::max(1.0, d.lineWidth * 96.0 / 72.0);
    const std::string w = std::to_string(std::max(d.width, 0)), h = std::to_string(std::max(d.height, 0));
    std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + w +
                      "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\" xml:space=\"preserve\">\n";
    out += "<rect x=\"0\" y=\"0\" width=\"" + w + "\" height=\"" + h + "\" fill=\"#ffffff\"/>\n";
    for (const Drawing::Line& l : d.lines) {
        out += "<line x1=\"" + std::to_string(l.x1) + "\" y1=\"" + std::to_string(l.y1) + "\" x2=\"" +
               std::to_string(l.x2) + "\" y2=\"" + std::to_string(l.y2) + "\" stroke=\"" + colour(l.red) +
               "\" stroke-width=\"" + number(stroke) + "\" stroke-linecap=\"square\"/>\n";
    }
    // A dot covers its pixel, as wide as a line.
    for (const Drawing::Dot& p : d.dots) {
        out += "<rect x=\"" + number(p.x + 0.5 - stroke / 2) + "\" y=\"" + number(p.y + 0.5 - stroke / 2) +
               "\" width=\"" + number(stroke) + "\" height=\"" + number(stroke) + "\" fill=\"#000000\"/>\n";
    }
    const std::string family =
        xmlEscaped(d.fontFamily.empty() ? "sans-serif" : d.fontFamily + ", sans-serif");
    // Texts are placed by their top; the baseline lies about the font's ascent below it.
    const int ascent = static_cast<int>(d.fontPixels * 0.9 + 0.5);
    for (const Drawing::Text& t : d.texts) {
        out += "<text x=\"" + std::to_string(t.x) + "\" y=\"" + std::to_string(t.y + ascent) +
               "\" font-family=\"" + family + "\" font-size=\"" + std::to_string(d.fontPixels) +
               "\" fill=\"" + colour(t.red) + "\"";
        if (t.rightAligned) out += " text-anchor=\"end\"";
        out += ">" + xmlEscaped(t.text) + "</text>\n";
    }
    out += "</svg>\n";
    return out;
}

std::optional<std::string> drawingCommand(const DrawingWindow& window, std::string_view token) {
    const std::string key = commandKey(token);
    if (key.empty()) return std::nullopt;
    for (const DrawingWindow::Menu& menu : window.menus())
        for (const std::string& command : menu.commands)
            if (!command.empty() && commandKey(command) == key) return command;
    return std::nullopt;
}

bool runDrawingCommands(DrawingWindow& window, std::string_view token, UiPort& messages) {
    if (window.lastCanvas.width <= 0 || window.lastCanvas.height <= 0) {
        Canvas canvas;
        canvas.width = 800;
        canvas.height = 600;
        window.lastCanvas = canvas;
    }
    window.draw(window.lastCanvas);
    const std::string commands = CleanAnswer(token);
    std::size_t start = 0;
    while (start < commands.size()) {
        std::size_t bar = commands.find('|', start);
        if (bar == std::string::npos) bar = commands.size();
        const std::string_view name = std::string_view(commands).substr(start, bar - start);
        start = bar + 1;
        if (trimBlanks(name).empty()) continue;
        const std::optional<std::string> command = drawingCommand(window, name);
        if (!command) {
            messages.showWarning("Fenster " + window.caption() + ": unbekannter Befehl " + std::string(name));
            return false;
        }
        if (!window.run(*command)) return true;
        window.draw(window.lastCanvas);
    }
    return true;
}

}  // namespace tav
