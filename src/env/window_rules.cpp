#include "env/window_rules.h"

#include <algorithm>
#include <cmath>

#include "core/text.h"

namespace tav {

int layoutUnits(int units, ScreenSize screen) {
    return static_cast<int>(std::lround(static_cast<double>(units) * screen.width / 1000.0));
}

namespace {

// A coordinate of a stored position, or fallback when it is off the screen.
int kept(int value, int low, int high, int fallback) {
    return value < low || value > high ? fallback : value;
}

}  // namespace

PixelPoint choiceDialogPosition(PixelPoint stored, ScreenSize screen, int offset) {
    const int fallback = layoutUnits(200, screen);
    return {kept(stored.X, 0, screen.width - 100, fallback) + offset,
            kept(stored.Y, 0, screen.height - 100, fallback) + offset};
}

PixelPoint buttonPanelPosition(PixelPoint stored, ScreenSize screen, int offset) {
    const int fallback = layoutUnits(100, screen);
    const int margin = layoutUnits(200, screen);
    return {kept(stored.X, 10, screen.width - margin, fallback) + offset,
            kept(stored.Y, 10, screen.height - margin, fallback) + offset};
}

PixelPoint promptPosition(PixelPoint stored, ScreenSize screen) {
    return {kept(stored.X, 50, screen.width - 100, 100), kept(stored.Y, 50, screen.height - 100, 100)};
}

int moveOffset(bool moved, bool downRight, ScreenSize screen) {
    if (!moved) return 0;
    const int step = layoutUnits(20, screen);
    return downRight ? step : -step;
}

PixelRect windowRect(PixelRect stored, ScreenSize screen, bool moved) {
    constexpr int kMinWidth = 200, kMinHeight = 120;
    int width = std::clamp(stored.Right - stored.Left, kMinWidth, std::max(kMinWidth, screen.width));
    int height = std::clamp(stored.Bottom - stored.Top, kMinHeight, std::max(kMinHeight, screen.height));
    int left = stored.Left - (moved ? 30 : 0);
    int top = stored.Top - (moved ? 30 : 0);
    left = std::clamp(left, 0, std::max(0, screen.width - width));
    top = std::clamp(top, 0, std::max(0, screen.height - height));
    return {left, top, left + width, top + height};
}

LineFormat lineFormat(std::string_view formats, int line, bool selected) {
    LineFormat f;
    if (line < 0) return f;
    std::string_view format;
    int k = 0;
    for (FieldReader r(formats); auto field = r.next(); ++k)
        if (k == line) {
            format = *field;
            break;
        }
    bool any = false;
    for (const std::string& word : splitFields(upperFold(format), " ")) {
        if (word.empty()) continue;
        any = true;
        if (word == "FETT")
            f.bold = true;
        else if (word == "KURSIV")
            f.italic = true;
        else if (word == "ROT")
            f.colour = selected ? LineColour::Yellow : LineColour::Red;
        else if (word == "BLAU")
            f.colour = selected ? LineColour::Aqua : LineColour::Blue;
        else if (word == "GRUEN")
            f.colour = selected ? LineColour::Lime : LineColour::Green;
    }
    if (selected && any && f.colour == LineColour::Plain) f.colour = LineColour::White;
    return f;
}

TableKind tableKind(int aOC) {
    TableKind k;
    switch (aOC) {
        case 1:
        case 6:
        case 7:
        case 23:
            k.modal = false;
            break;
        case 3:
        case 18:
        case 24:
            k.editing = true;
            break;
        case 4:
            k.modal = false;
            k.widths = TableKind::Widths::Two;
            break;
        case 5:
            k.widths = TableKind::Widths::Mixed;
            break;
        case 8:
            k.changeButton = true;
            k.buttons = TableKind::Buttons::ApplyClose;
            break;
        case 9:
            k.modal = false;
            k.buttons = TableKind::Buttons::RowsColumnsClose;
            break;
        case 10:
        case 17:
        case 19:
        case 20:
        case 21:
            k.changeButton = k.editing = true;
            break;
        case 11:
        case 25:
            k.changeButton = true;
            break;
        case 12:
            k.changeButton = k.editing = true;
            k.widthFactor = 2;
            break;
        case 13:
            k.changeButton = k.editing = true;
            k.widthFactor = 2.7;
            break;
        case 14:
            k.saveAtOnce = true;
            break;
        case 15:
            k.wholeRows = true;
            break;
        case 22:
            k.editing = true;
            k.editFromRow = k.editFromColumn = 2;
            break;
        default:
            break;
    }
    return k;
}

int tableHeaderWidth(const RBildEinst& dims, int aOC) {
    const TableKind k = tableKind(aOC);
    const int w = k.widths == TableKind::Widths::Two ? dims.LstG11 : dims.LstG1;
    return static_cast<int>(std::lround(std::max(w, 20) * k.widthFactor));
}

int tableColumnWidth(const RBildEinst& dims, int aOC, int col) {
    const TableKind k = tableKind(aOC);
    int w = 0;
    switch (k.widths) {
        case TableKind::Widths::Plain:
            w = col == 0 ? dims.LstG2 : dims.LstG3;
            break;
        case TableKind::Widths::Two:
            w = dims.LstG12;
            break;
        case TableKind::Widths::Mixed:
            w = col == 0 ? dims.LstG2 : dims.LstG12;
            break;
    }
    return static_cast<int>(std::lround(std::max(w, 20) * k.widthFactor));
}

void storeTableColumnWidth(RBildEinst& dims, int aOC, int col, int width) {
    const TableKind k = tableKind(aOC);
    const auto w = static_cast<std::int32_t>(std::lround(width / k.widthFactor));
    if (col < 0) {
        (k.widths == TableKind::Widths::Two ? dims.LstG11 : dims.LstG1) = w;
        return;
    }
    switch (k.widths) {
        case TableKind::Widths::Plain:
            (col == 0 ? dims.LstG2 : dims.LstG3) = w;
            break;
        case TableKind::Widths::Two:
            dims.LstG12 = w;
            break;
        case TableKind::Widths::Mixed:
            (col == 0 ? dims.LstG2 : dims.LstG12) = w;
            break;
    }
}

std::vector<std::vector<std::string>> tableCells(const std::vector<std::string>& lines) {
    std::vector<std::vector<std::string>> cells;
    cells.reserve(lines.size());
    for (const std::string& line : lines) cells.push_back(splitFields(line));
    return cells;
}

std::string tableFileText(const std::vector<std::string>& lines, bool transposed) {
    std::string out;
    if (!transposed) {
        for (const std::string& line : lines) out += line + "\r\n";
        return out;
    }
    const auto cells = tableCells(lines);
    std::size_t width = 0;
    for (const auto& row : cells) width = std::max(width, row.size());
    for (std::size_t c = 0; c < width; ++c) {
        for (std::size_t r = 0; r < cells.size(); ++r) {
            if (r > 0) out += ';';
            if (c < cells[r].size()) out += cells[r][c];
        }
        out += "\r\n";
    }
    return out;
}

std::optional<CellPosition> findInLines(const std::vector<std::string>& lines, std::string_view text,
                                        CellPosition from, bool matchCase) {
    if (text.empty() || lines.empty()) return std::nullopt;
    const auto cells = tableCells(lines);
    const int rows = static_cast<int>(cells.size());
    auto hit = [&](int r, int c) {
        const auto& row = cells[static_cast<std::size_t>(r)];
        return c < static_cast<int>(row.size()) &&
               !textOccurrences(row[static_cast<std::size_t>(c)], text, matchCase).empty();
    };
    // Every cell once, starting after from and wrapping round to from itself.
    const int start = std::clamp(from.row, 0, rows - 1);
    for (int step = 0; step <= rows; ++step) {
        const int r = (start + step) % rows;
        const int width = static_cast<int>(cells[static_cast<std::size_t>(r)].size());
        const int first = step == 0 ? from.col + 1 : 0;
        const int last = step == rows ? std::min(from.col + 1, width) : width;
        for (int c = std::max(first, 0); c < last; ++c)
            if (hit(r, c)) return CellPosition{r, c};
    }
    return std::nullopt;
}

int replaceInLines(std::vector<std::string>& lines, std::string_view from, std::string_view to,
                   bool matchCase, int firstRow) {
    if (from.empty()) return 0;
    int count = 0;
    for (std::size_t r = static_cast<std::size_t>(std::max(firstRow, 0)); r < lines.size(); ++r) {
        std::vector<std::string> cells = splitFields(lines[r]);
        bool changed = false;
        for (std::string& cell : cells) {
            const std::size_t n = textOccurrences(cell, from, matchCase).size();
            if (n == 0) continue;
            cell = replacedText(cell, from, to, matchCase);
            count += static_cast<int>(n);
            changed = true;
        }
        if (!changed) continue;
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) line += (c ? ";" : "") + cells[c];
        lines[r] = std::move(line);
    }
    return count;
}

}  // namespace tav
