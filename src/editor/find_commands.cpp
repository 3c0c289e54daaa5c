// Find, replace and count in the grids, the rows and releves that hold the search text, and locating a
// row by its name.
//
// Where a search looks: in the marked header rows, else the marked species rows (their names and
// cells), else the marked releves of the active part, else the active grid's selection, else the active
// grid from the cursor on (in reading order: row by row, each row's releves left to right). Only filled
// cells can hold a search text, so the search walks the filled cells, and each distinct text is
// compared once.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/grid_control.h"
#include "editor/session.h"
#include "editor/window_commands.h"

namespace tav {

namespace {

constexpr std::int64_t kFind = 102120000;                      // "Suchen"
constexpr std::int64_t kReplace = 102130000;                   // "Ersetzen"
constexpr std::int64_t kResetFind = 102140000;                 // "Suchtext zurücksetzen"
constexpr std::int64_t kLocateRow = 102150000;                 // "Zeile lokalisieren"
constexpr std::int64_t kRowsWithText = 103051100;              // "Zeilen mit Suchtext"
constexpr std::int64_t kColsWithText = 104020900;              // "Spalten mit Suchtext"
constexpr std::string_view kCountCaption = "Suchtext zählen";  // a command without a number

// How often the search text occurs in a text, under the options: ignoring case unless asked, and with
// whole words only where the whole field equals the text.
class Matcher {
  public:
    explicit Matcher(const SearchOptions& o)
        : options_(o), text_(o.matchCase ? o.text : upperCaseOnly(o.text)) {}

    int occurrences(std::string_view field) const {
        if (text_.empty()) return 0;
        const std::string folded = options_.matchCase ? std::string(field) : upperCaseOnly(field);
        if (options_.wholeWord) return folded == text_ ? 1 : 0;
        int n = 0;
        for (std::size_t at = folded.find(text_); at != std::string::npos;
             at = folded.find(text_, at + text_.size()))
            ++n;
        return n;
    }
    // The field with every occurrence replaced.
    std::string replaced(std::string_view field, std::string_view by) const {
        if (options_.wholeWord) return std::string(by);
        return replacedText(field, options_.text, by, options_.matchCase);
    }

  private:
    const SearchOptions& options_;
    std::string text_;
};

// One cell of a search: a releve's cell, or a row's name (col -1).
struct Hit {
    int col;
    int row;
    int count;
};

struct Scope {
    char part = 'A';
    bool names = false;  // row names
    bool cells = true;   // releve cells
    const TMenge* rows = nullptr;
    const TMenge* cols = nullptr;
    std::optional<CellRect> rect;
    bool fromCursor = false;
    std::string label;
};

const char* cursorLabel(int grid) {
    switch (grid) {
        case 1:
            return "Zeilenköpfe ab Cursor";
        case 2:
            return "Kopfdaten ab Cursor";
        case 3:
            return "Artnamen ab Cursor";
        default:
            return "Abundanzdaten ab Cursor";
    }
}

Scope scopeOf(const Session& s) {
    const TEditBuffer& b = s.buffer();
    const int grid = std::max(s.activeGrid, 1);
    Scope sc;
    sc.part = grid <= 2 ? 'K' : 'A';
    if (!b.MroK().empty() || !b.MroA().empty()) {
        sc.part = !b.MroK().empty() ? 'K' : 'A';
        sc.names = true;
        sc.rows = sc.part == 'K' ? &b.MroK() : &b.MroA();
        sc.label = sc.part == 'K' ? "Markierte Kopfdaten (Zeilen)" : "Markierte Abundanzdaten (Zeilen)";
        return sc;
    }
    if (!b.McoR().empty()) {
        sc.cols = &b.McoR();
        sc.label = sc.part == 'K' ? "Markierte Kopfdaten (Spalten)" : "Markierte Abundanzdaten (Spalten)";
        return sc;
    }
    sc.names = grid % 2 == 1;
    sc.cells = !sc.names;
    sc.label = cursorLabel(grid);
    if (s.grid(grid).selOn)
        sc.rect = s.grid(grid).sel;
    else
        sc.fromCursor = true;
    return sc;
}

// The cells of the scope that hold the search text, in reading order.
std::vector<Hit> hitsIn(const Session& s, const Scope& sc, const Matcher& m) {
    const TEditBuffer& b = s.buffer();
    std::vector<Hit> hits;
    auto inScope = [&](int col, int row) {
        if (sc.rows && !sc.rows->Element(row)) return false;
        if (sc.cols && !sc.cols->Element(col)) return false;
        if (sc.rect && !sc.rect->contains(sc.names ? -1 : col, row)) return false;
        if (sc.fromCursor && (row < s.cursorRow || (row == s.cursorRow && col < s.cursorCol && !sc.names)))
            return false;
        return true;
    };
    if (sc.names)
        for (int r = 0; r < b.GetRowCount(sc.part); ++r)
            if (inScope(-1, r))
                if (const int n = m.occurrences(b.GetZl(sc.part, r))) hits.push_back({-1, r, n});
    if (sc.cells) {
        std::unordered_map<TextHandle, int> seen;
        b.forEachFilled(sc.part, [&](const FilledCell& c) {
            if (!inScope(c.col, c.row)) return;
            auto [it, fresh] = seen.try_emplace(c.handle, 0);
            if (fresh) it->second = m.occurrences(c.text);
            if (it->second > 0) hits.push_back({c.col, c.row, it->second});
        });
    }
    std::sort(hits.begin(), hits.end(),
              [](const Hit& a, const Hit& b) { return a.row != b.row ? a.row < b.row : a.col < b.col; });
    return hits;
}

int gridOf(char part, bool name) {
    return (part == 'K' ? 1 : 3) + (name ? 0 : 1);
}

bool askSearchText(Session& s, const std::string& caption) {
    const std::optional<std::string> text = askText(s, caption, "Suchen nach", s.search.text);
    if (!text) return false;
    s.search.text = *text;
    return !text->empty();
}

void notFound(Session& s) {
    s.ui().showInfo(s.catalogue().GetMsg("NotFound"));
}

// The next cell after the cursor that holds the search text becomes the cursor cell.
Status findNext(Session& s) {
    if (!askSearchText(s, "Suchen")) return {};
    const Scope sc = scopeOf(s);
    const Matcher m(s.search);
    const std::vector<Hit> hits = hitsIn(s, sc, m);
    const bool cursorHere = s.activeGrid >= 1 && s.grid(s.activeGrid).area() == sc.part;
    const int curCol = s.activeGrid % 2 == 1 ? -1 : s.cursorCol;
    for (const Hit& h : hits) {
        if (cursorHere && (h.row < s.cursorRow || (h.row == s.cursorRow && h.col <= curCol))) continue;
        setCursor(s, gridOf(sc.part, h.col < 0), 'C', 'C', false, false, h.col < 0 ? s.cursorCol : h.col,
                  h.row);
        return {};
    }
    notFound(s);
    return {};
}

Status replaceAll(Session& s) {
    if (!askSearchText(s, "Ersetzen")) return {};
    const std::optional<std::string> by = askText(s, "Ersetzen", "Ersetzen durch", s.search.replacement);
    if (!by) return {};
    s.search.replacement = *by;
    const Scope sc = scopeOf(s);
    if (!GridEditable(s, gridOf(sc.part, sc.names && !sc.cells))) return {};
    const Matcher m(s.search);
    const std::vector<Hit> hits = hitsIn(s, sc, m);
    if (hits.empty()) {
        notFound(s);
        return {};
    }
    TEditBuffer& b = s.buffer();
    for (const Hit& h : hits) {
        // The replaced text is kept as typed text is: ";" becomes "," and line breaks blanks.
        if (h.col < 0)
            b.PutZl(sc.part, m.replaced(b.GetZl(sc.part, h.row), *by), h.row);
        else
            b.Put(sc.part, m.replaced(b.Get(sc.part, h.col, h.row), *by), h.col, h.row);
    }
    s.ui().showInfo(std::to_string(hits.size()) + " Felder bearbeitet.");
    return {};
}

Status countText(Session& s) {
    if (s.search.text.empty() && !askSearchText(s, std::string(kCountCaption))) return {};
    const Scope sc = scopeOf(s);
    const std::vector<Hit> hits = hitsIn(s, sc, Matcher(s.search));
    long long total = 0;
    for (const Hit& h : hits) total += h.count;
    s.ui().showInfo(sc.label + "\r" + std::to_string(hits.size()) + " Felder mit Suchtext\r" +
                    std::to_string(total) + " Vorkommen gesamt");
    return {};
}

// Marks every row of the active part (every releve) in which the search text occurs.
Status markWithText(Session& s, bool rows) {
    if (s.search.text.empty() && !askSearchText(s, "Suchen")) return {};
    TEditBuffer& b = s.buffer();
    const Matcher m(s.search);
    const char part = activePart(s);
    TMenge found;
    std::unordered_map<TextHandle, bool> seen;
    auto holds = [&](const FilledCell& c) {
        auto [it, fresh] = seen.try_emplace(c.handle, false);
        if (fresh) it->second = m.occurrences(c.text) > 0;
        return it->second;
    };
    if (rows) {
        for (int r = 0; r < b.GetRowCount(part); ++r)
            if (m.occurrences(b.GetZl(part, r)) > 0) found.Add(r);
        b.forEachFilled(part, [&](const FilledCell& c) {
            if (holds(c)) found.Add(c.row);
        });
        b.ClearM();
        b.setMarks(part == 'K' ? MarkSet::MroK : MarkSet::MroA, found);
    } else {
        for (const char p : {'K', 'A'})
            b.forEachFilled(p, [&](const FilledCell& c) {
                if (holds(c)) found.Add(c.col);
            });
        b.ClearM();
        b.setMarks(MarkSet::McoR, found);
    }
    if (found.empty()) notFound(s);
    return {};
}

// The cursor to the first row of the active part whose name begins with the text (else holds it).
Status locateRow(Session& s) {
    const std::optional<std::string> text = askText(s, "Zeile lokalisieren", "Suchtext", "");
    if (!text || trimBlanks(*text).empty()) return {};
    const TEditBuffer& b = s.buffer();
    const char part = activePart(s);
    const std::string wanted = upperCaseOnly(trimBlanks(*text));
    int inside = -1;
    for (int r = 0; r < b.GetRowCount(part); ++r) {
        const std::string name = upperCaseOnly(b.GetZl(part, r));
        if (name.rfind(wanted, 0) == 0) {
            inside = r;
            break;
        }
        if (inside < 0 && name.find(wanted) != std::string::npos) inside = r;
    }
    if (inside < 0) {
        notFound(s);
        return {};
    }
    const int grid = std::max(s.activeGrid, 1);
    setCursor(s, grid, 'C', 'N', false, false, s.cursorCol, inside);
    return {};
}

}  // namespace

void addFindCommands(Dispatcher& d) {
    d.add(kFind, findNext);
    d.add(kReplace, replaceAll);
    d.add(kResetFind, [](Session& s) {
        s.search.text.clear();
        return Status();
    });
    d.add(kLocateRow, locateRow);
    d.add(kRowsWithText, [](Session& s) { return markWithText(s, true); });
    d.add(kColsWithText, [](Session& s) { return markWithText(s, false); });
    d.addUnnumbered(std::string(kCountCaption), [](Session& s, const CommandEntry&) { return countText(s); });
}

}  // namespace tav
