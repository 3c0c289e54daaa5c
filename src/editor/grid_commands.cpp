// The commands of the grids' editing: undo and redo; copy, cut and delete of marked rows and releves
// (or of the cursor cell); new rows and releves; the cursor to a row or column number; complement and
// random choice of the marks.

#include <algorithm>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/grid_control.h"
#include "editor/session.h"
#include "editor/window_commands.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr std::int64_t kUndo = 102010000;              // "Rückgängig / Abbruch"
constexpr std::int64_t kRedo = 102020000;              // "Widerrufen"
constexpr std::int64_t kCopy = 102030000;              // "Kopieren"
constexpr std::int64_t kCut = 102040000;               // "Ausschneiden"
constexpr std::int64_t kDelete = 102050000;            // "Löschen (Del)"
constexpr std::int64_t kCopyComplement = 102060000;    // "Komplement kopieren"
constexpr std::int64_t kCutComplement = 102070000;     // "Komplement ausschneiden"
constexpr std::int64_t kDeleteComplement = 102080000;  // "Komplement löschen (Alt + Del)"
constexpr std::int64_t kToRow = 102170400;             // "Zu Zeile Nr."
constexpr std::int64_t kToColumn = 102170500;          // "Zu Spalte Nr."
constexpr std::int64_t kRowsBefore = 103010100;        // "Neue Zeile(n) einfügen" › "davor"
constexpr std::int64_t kRowsAfter = 103010200;         // … › "danach"
constexpr std::int64_t kRowComplement = 103050200;     // rows: "Komplement"
constexpr std::int64_t kRowRandom = 103050300;         // rows: "Zufallswahl"
constexpr std::int64_t kColsBefore = 104010100;        // "Neue Spalte(n) einfügen" › "davor"
constexpr std::int64_t kColsAfter = 104010200;         // … › "danach"
constexpr std::int64_t kColComplement = 104020200;     // columns: "Komplement"
constexpr std::int64_t kColRandom = 104020300;         // columns: "Zufallswahl"

constexpr std::int64_t kInsertDate = 102110900;    // "Datum einsetzen"
constexpr std::int64_t kInsertTime = 102111000;    // "Zeit einsetzen"
constexpr std::int64_t kNumberRow = 103140100;     // "Durchnummerieren in akt. Zeile"
constexpr std::int64_t kRandomRow = 103140200;     // "Zufällig nummerieren in akt. Zeile"
constexpr std::int64_t kContinueRow = 103140300;   // "Weiter nummerieren ab Cursor"
constexpr std::int64_t kCumulative = 103140500;    // "Kumulativ durchnummerieren"
constexpr std::int64_t kNumberColumn = 104080100;  // "Durchnummerieren in akt. Spalte" › "Zeilennummern"
constexpr std::int64_t kRandomColumn = 104080200;  // … › "zufällig"

constexpr std::int64_t kPaste = 102090000;       // "Einfügen (Ins)"
constexpr std::int64_t kNewRight = 102100100;    // "Neu, nach rechts schieben"
constexpr std::int64_t kNewDown = 102100200;     // "Neu, nach unten schieben"
constexpr std::int64_t kDeleteLeft = 102100300;  // "Löschen, nach links schieben"
constexpr std::int64_t kDeleteUp = 102100400;    // "Löschen, nach oben schieben"
constexpr std::int64_t kCutLeft = 102100500;     // "Ausschneiden, nach links schieben"
constexpr std::int64_t kCutUp = 102100600;       // "Ausschneiden, nach oben schieben"
constexpr std::int64_t kPasteRight = 102100700;  // "Einfügen, nach rechts schieben"
constexpr std::int64_t kPasteDown = 102100800;   // "Einfügen, nach unten schieben"
constexpr std::int64_t kNextLeft = 102170701;  // "Nächster Eintrag / Markierung" › "links", "rechts", …
constexpr std::int64_t kDifferingLeft = 102170801;  // "Nächster abweichender Eintrag" › "links …", …
constexpr std::int64_t kRowType = 103020000;        // "Zeilentyp ändern"
constexpr std::int64_t kFillRows = 103130000;       // "Zeile(n) ausfüllen"
constexpr std::int64_t kFillColumns = 104070000;    // "Spalte(n) ausfüllen"

// The row types in the order of the row-type dialogs.
constexpr std::string_view kHeaderTypes = "TIFPDZBUSLC";
constexpr std::string_view kSpeciesTypes = "AK";

constexpr int kMaxInserted = 1'000'000;

bool nameGrid(const Session& s) {
    return s.activeGrid == 1 || s.activeGrid == 3;
}

// The positions a mark set names, or all others with complement.
std::vector<int> chosen(const TMenge& marks, int count, bool complement) {
    std::vector<int> out;
    if (!complement) {
        for (int i : marks.elements())
            if (i < count) out.push_back(i);
        return out;
    }
    for (int i = 0; i < count; ++i)
        if (!marks.Element(i)) out.push_back(i);
    return out;
}

// Copy (keep), cut (keep and remove) or delete (remove) the marked header rows, species rows and
// releves, or with complement all others; without marks the cursor cell. Everything is removed in one
// pass per part, so no index shifts under the removal.
Status cut(Session& s, bool remove, bool keep, bool complement, char mode = 'N') {
    if (remove && !GridEditable(s, 0)) return {};
    TEditBuffer& b = s.buffer();
    if (b.CheckM()) {
        const TMenge header = b.MroK(), species = b.MroA(), releves = b.McoR();
        const bool rows = !header.empty() || !species.empty();
        const std::vector<int> headerRows =
            header.empty() ? std::vector<int>{} : chosen(header, b.GetRowCount('K'), complement);
        const std::vector<int> speciesRows =
            species.empty() ? std::vector<int>{} : chosen(species, b.GetRowCount('A'), complement);
        const std::vector<int> columns =
            releves.empty() ? std::vector<int>{} : chosen(releves, b.GetColCount(), complement);
        if (keep) {
            // Only what another program copies from now on replaces this clip.
            rememberClipboard(s);
            b.StartClip(rows ? 'K' : 'C');
            for (int r : headerRows) b.addClipLine(b.GetRow('K', r));
            for (int r : speciesRows) b.addClipLine(b.GetRow('A', r));
            for (int c : columns) b.addClipLine(b.GetCol(c));
        }
        if (remove) {
            b.DelRows('K', headerRows);
            b.DelRows('A', speciesRows);
            b.DelCols(columns);
            // The cursor goes where the first removed item was, within what is left.
            const std::vector<int>& first = !headerRows.empty() ? headerRows : speciesRows;
            if (!first.empty()) s.cursorRow = std::min(first.front(), b.GetRowCount(activePart(s)) - 1);
            if (!columns.empty()) s.cursorCol = std::min(columns.front(), b.GetColCount() - 1);
        }
        b.ClearM();
        return {};
    }
    if (complement) return {};
    // The selection, or the cursor cell; removing it clears the fields ('N') or closes the gap to the left
    // ('L') or upwards ('U').
    const char part = activePart(s);
    CellRect r = selectionOrCursor(s);
    if (r.top < 0 || r.bottom >= b.GetRowCount(part)) return {};
    if (!nameGrid(s) && (r.left < 0 || r.right >= b.GetColCount())) return {};
    if (keep) {
        rememberClipboard(s);
        b.StartClip('R');
    }
    const char deleteMode = !remove ? 'N' : mode == 'N' ? 'F' : mode;
    // A cleared cursor cell is checked before the cursor leaves it, as a typed one.
    if (remove && mode == 'N' && r.width() == 1 && r.height() == 1) {
        TVGrid& g = s.grid(s.activeGrid);
        if (g.checkRow < 0) {
            g.checkCol = nameGrid(s) ? -1 : r.left;
            g.checkRow = r.top;
            g.checkStart = std::string(cellText(s, s.activeGrid, r.left, r.top));
        }
    }
    b.DelRange(s.activeGrid, {r.left, r.top, r.right, r.bottom}, deleteMode, keep);
    b.ClearM();
    clearSelections(s);
    return {};
}

Status insertRows(Session& s, bool after) {
    if (!GridEditable(s, 0)) return {};
    const std::optional<int> n = askWholeNumber(s, "Zeilen einfügen", "Anzahl eingeben", 1, 1, kMaxInserted);
    if (!n) return {};
    const char part = activePart(s);
    const int count = s.buffer().GetRowCount(part);
    const int at = std::clamp(s.cursorRow + (after ? 1 : 0), 0, count);
    s.buffer().InsRows(part, at, *n);
    s.buffer().ClearM();
    s.cursorRow = at;
    return {};
}

Status insertColumns(Session& s, bool after) {
    const Catalogue& cat = s.catalogue();
    if (nameGrid(s) || s.activeGrid == 0) {
        s.ui().showError(cat.GetLangMsg("MsgOneCol"));
        return commandFailed();
    }
    if (!GridEditable(s, 0)) return {};
    const std::optional<int> n =
        askWholeNumber(s, cat.GetLangMsg("MsgInsCol"), cat.GetLangMsg("MsgNumCol"), 1, 1, kMaxInserted);
    if (!n) return {};
    s.progress().setStatus("Spalte(n) einfügen ...");
    const int at = std::clamp(s.cursorCol + (after ? 1 : 0), 0, s.buffer().GetColCount());
    s.buffer().InsCols(at, *n);
    s.progress().hideStatus();
    s.buffer().ClearM();
    s.cursorCol = at;
    return {};
}

// "Zu Zeile Nr." and "Zu Spalte Nr.": the cursor to a 1-based row or releve of the active grid.
Status goTo(Session& s, bool row) {
    const TEditBuffer& b = s.buffer();
    const int count = row ? b.GetRowCount(activePart(s)) : b.GetColCount();
    if (!row && nameGrid(s)) return {};  // the name grids have one column
    const std::optional<int> n = askWholeNumber(s, "Cursor setzen", row ? "in Zeile" : "in Spalte",
                                                (row ? s.cursorRow : s.cursorCol) + 1, 1, std::max(count, 1));
    if (!n) return {};
    (row ? s.cursorRow : s.cursorCol) = *n - 1;
    return {};
}

Status complement(Session& s, bool rows) {
    TEditBuffer& b = s.buffer();
    const MarkSet which = rows ? rowMarkSet(activePart(s)) : MarkSet::McoR;
    const int count = rows ? b.GetRowCount(activePart(s)) : b.GetColCount();
    TMenge inverted;
    if (count > 0) inverted.Fill(0, count - 1);
    for (int i : b.marks(which).elements()) inverted.Remove(i);
    b.setMarks(which, inverted);
    return {};
}

Status randomChoice(Session& s, bool rows) {
    TEditBuffer& b = s.buffer();
    const MarkSet which = rows ? rowMarkSet(activePart(s)) : MarkSet::McoR;
    const int count = rows ? b.GetRowCount(activePart(s)) : b.GetColCount();
    const std::optional<int> n = askWholeNumber(
        s, "Zahl eingeben", rows ? "Wieviele Zeilen?" : "Wieviele Spalten?", 1, 1, std::max(count, 1));
    if (!n) return {};
    TMenge m = b.marks(which);
    m.Zufallswahl(*n, count, s.random());
    b.setMarks(which, m);
    return {};
}

// 1 … n in order, or in a random order with each number drawn from those not yet used.
std::vector<int> numbers(Session& s, int n, bool random) {
    std::vector<int> out(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) out[static_cast<std::size_t>(i)] = i + 1;
    if (random)
        for (int i = n - 1; i > 0; --i)
            std::swap(out[static_cast<std::size_t>(i)],
                      out[static_cast<std::size_t>(s.random().below(static_cast<std::uint64_t>(i) + 1))]);
    return out;
}

// The releves of a header row that numbering writes: those in grid 2's selection, or all.
std::vector<int> numberedCells(const Session& s, int row) {
    std::vector<int> out;
    for (int c = 0; c < s.buffer().GetColCount(); ++c)
        if (inSelection(s, 2, c, row)) out.push_back(c);
    return out;
}

Status numberRow(Session& s, bool random) {
    const int row = singleHeaderRow(s);
    if (row < 0) return commandFailed();
    if (!GridEditable(s, 2)) return {};
    TEditBuffer& b = s.buffer();
    const std::vector<int> cells = numberedCells(s, row);
    const std::vector<int> n = numbers(s, static_cast<int>(cells.size()), random);
    for (std::size_t i = 0; i < cells.size(); ++i) b.Put('K', std::to_string(n[i]), cells[i], row);
    if (!s.grid(2).selOn) b.PutTyp('K', 'I', row);
    return {};
}

std::optional<std::int64_t> integerIn(std::string_view text) {
    return parseInteger(trimBlanks(text));
}

Status continueRow(Session& s) {
    const int row = singleHeaderRow(s);
    if (row < 0) return commandFailed();
    TEditBuffer& b = s.buffer();
    if (b.GetTyp('K', row) != 'I') {
        s.ui().showError("Falscher Zeilentyp: muss ganzzahlig sein.");
        return commandFailed();
    }
    if (!GridEditable(s, 2)) return {};
    const TVGrid& g = s.grid(2);
    const int start = std::clamp(g.selOn ? g.sel.left : s.cursorCol, 0, b.GetColCount() - 1);
    std::int64_t next;
    int from;
    if (const auto v = integerIn(b.Get('K', start, row))) {
        next = *v + 1;
        from = start + 1;
    } else {
        std::int64_t largest = 0;
        for (int c = 0; c < start; ++c)
            if (const auto x = integerIn(b.Get('K', c, row))) largest = std::max(largest, *x);
        next = largest + 1;
        from = start;
    }
    for (int c = from; c < b.GetColCount(); ++c)
        if (inSelection(s, 2, c, row)) b.Put('K', std::to_string(next++), c, row);
    return {};
}

Status numberColumn(Session& s, bool random) {
    TEditBuffer& b = s.buffer();
    int col = -1;
    if ((s.activeGrid == 2 || s.activeGrid == 4) && s.cursorCol >= 0 && s.cursorCol < b.GetColCount())
        col = s.cursorCol;
    else if (b.McoR().Count() == 1)
        col = b.McoR().elements().front();
    if (col < 0) {
        s.ui().showError("Funktion nur für 1 Spalte verfügbar.");
        return commandFailed();
    }
    if (!GridEditable(s, 0)) return {};
    const char part = activePart(s);
    const std::vector<int> n = numbers(s, b.GetRowCount(part), random);
    for (int r = 0; r < b.GetRowCount(part); ++r)
        b.Put(part, std::to_string(n[static_cast<std::size_t>(r)]), col, r);
    return {};
}

Status cumulative(Session& s) {
    TEditBuffer& b = s.buffer();
    const int row = b.MroK().Count() == 1 ? b.MroK().elements().front() : -1;
    if (row < 0 || !b.IsNumRow('K', row)) {
        s.ui().showError("Funktion nur für 1 numerische Kopfzeile verfügbar.");
        return commandFailed();
    }
    const std::optional<std::string> answer = askText(s, "Schwelle für Summe", "Zahl", "1");
    if (!answer) return {};
    const std::optional<double> threshold = parseNumber(trimBlanks(*answer));
    if (!threshold) {
        s.ui().showError("Schwelle für Summe: \"" + *answer + "\" ist keine Zahl.");
        s.macroAnswers().refuse();
        return commandFailed();
    }
    if (!GridEditable(s, 2)) return {};
    const int classRow = b.GetRowCount('K');
    b.InsRow('K', classRow);
    b.PutZl('K', "Klasse", classRow);
    b.PutTyp('K', 'I', classRow);
    double sum = 0;
    int number = 1;
    for (int c = 0; c < b.GetColCount(); ++c) {
        if (const auto v = parseNumber(trimBlanks(b.Get('K', c, row)))) {
            sum += *v;
            if (sum > *threshold) {
                ++number;
                sum = *v;
            }
        }
        b.Put('K', std::to_string(number), c, classRow);
    }
    return {};
}

// Today's date as dd.MM.yyyy or the time as hh:mm:ss, the form a date or time row reads.
Status insertNow(Session& s, bool date) {
    if (s.activeGrid != 2) {
        s.ui().showError(std::string(date ? "Datum" : "Zeit") +
                         " einsetzen: nur in den Kopfdaten (Gitter 2).");
        return commandFailed();
    }
    TEditBuffer& b = s.buffer();
    if (s.cursorRow < 0 || s.cursorRow >= b.GetRowCount('K') || s.cursorCol < 0 ||
        s.cursorCol >= b.GetColCount())
        return commandFailed();
    if (b.GetTyp('K', s.cursorRow) != (date ? 'D' : 'Z') &&
        AskYesNoCancel(s.ui(), s.catalogue().GetLangMsg(date ? "MsgNoDate" : "MsgNoTime")) != 'Y')
        return {};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    if (date)
        std::strftime(text, sizeof text, "%d.%m.%Y", &local);
    else
        std::strftime(text, sizeof text, "%H:%M:%S", &local);
    b.Put('K', text, s.cursorCol, s.cursorRow);
    return {};
}

Status setRowType(Session& s) {
    TEditBuffer& b = s.buffer();
    const char part = activePart(s);
    const std::string_view types = part == 'K' ? kHeaderTypes : kSpeciesTypes;
    const TMenge marked = b.marks(rowMarkSet(part));
    std::vector<int> rows = marked.elements();
    if (rows.empty()) {
        if (s.cursorRow < 0 || s.cursorRow >= b.GetRowCount(part)) return commandFailed();
        rows.push_back(s.cursorRow);
    }
    const std::size_t current = types.find(b.GetTyp(part, rows.front()));
    int choice = current == std::string_view::npos ? 0 : static_cast<int>(current);
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), part == 'K' ? "DlgZlTypK" : "DlgZlTypA", "", "", choice))
        return {};
    if (choice < 0 || choice >= static_cast<int>(types.size())) return commandFailed();
    for (int r : rows) b.PutTyp(part, types[static_cast<std::size_t>(choice)], r);
    b.ClearM();
    return {};
}

// Fills a column ('C') or a row ('R') of the active part with the text of the cursor cell; with marked
// releves (rows), each marked one with its own first value.
Status fill(Session& s, bool columns) {
    if (!GridEditable(s, 0)) return {};
    TEditBuffer& b = s.buffer();
    char part = activePart(s);
    const TVGrid& g = s.grid(std::max(s.activeGrid, 1));
    if (g.selOn && !nameGrid(s)) {
        // Each selected column from its top cell down, or each selected row from its leftmost cell.
        const CellRect r = g.sel;
        for (int c = r.left; c <= r.right; ++c)
            for (int row = r.top; row <= r.bottom; ++row) {
                const std::string first(columns ? b.Get(part, c, r.top) : b.Get(part, r.left, row));
                b.Put(part, first, c, row);
            }
        return {};
    }
    if (columns) {
        const std::vector<int> marked = b.McoR().elements();
        if (marked.empty()) {
            if (nameGrid(s) || s.cursorCol < 0 || s.cursorCol >= b.GetColCount()) return commandFailed();
            const std::string text(b.Get(part, s.cursorCol, s.cursorRow));
            for (int r = 0; r < b.GetRowCount(part); ++r) b.Put(part, text, s.cursorCol, r);
            return {};
        }
        const char answer = AskYesNoCancel(s.ui(), s.catalogue().GetLangMsg("MsgHeadOrAb"));
        if (answer != 'Y' && answer != 'N') return {};
        part = answer == 'Y' ? 'K' : 'A';
        for (int c : marked) {
            const std::string first(b.Get(part, c, 0));
            for (int r = 1; r < b.GetRowCount(part); ++r) b.Put(part, first, c, r);
        }
        return {};
    }
    const std::vector<int> marked = b.marks(rowMarkSet(part)).elements();
    if (marked.empty()) {
        if (nameGrid(s) || s.cursorRow < 0 || s.cursorRow >= b.GetRowCount(part)) return commandFailed();
        const std::string text(b.Get(part, s.cursorCol, s.cursorRow));
        for (int c = 0; c < b.GetColCount(); ++c) b.Put(part, text, c, s.cursorRow);
        return {};
    }
    for (int r : marked) {
        const std::string first(b.Get(part, 0, r));
        for (int c = 1; c < b.GetColCount(); ++c) b.Put(part, first, c, r);
    }
    return {};
}

// Pastes the clip: whole rows before the first marked row of the part (before the cursor row when none
// is marked), releves before the first marked releve (the cursor's), a range of fields at the cursor
// cell, overwriting ('N') or shifting what is there right ('R') or down ('D'). Pasted rows and releves
// come out marked.
Status paste(Session& s, char mode) {
    if (!GridEditable(s, s.activeGrid)) return {};
    checkClipboard(s);
    TEditBuffer& b = s.buffer();
    const char kind = b.GetClipStatus();
    const char part = activePart(s);
    const int typ = s.activeGrid == 0 ? 4 : s.activeGrid;
    if (kind == 'K' || kind == 'C') {
        if (mode != 'N') {
            s.ui().showError(s.catalogue().GetLangMsg("MsgNoFields"));
            return commandFailed();
        }
        const int lines = static_cast<int>(b.clipBuffer().size()) - 1;
        const TMenge& rows = b.marks(rowMarkSet(part));
        const int pr = rows.empty() ? std::max(s.cursorRow, 0) : rows.elements().front();
        const int pc = b.McoR().empty() ? std::max(s.cursorCol, 0) : b.McoR().elements().front();
        if (kind == 'C' && nameGrid(s)) {
            s.ui().showError(s.catalogue().GetLangMsg("MsgOneCol"));
            return commandFailed();
        }
        b.ClearM();
        b.Paste(typ, mode, pc, pr, s.progress());
        TMenge pasted;
        if (lines > 0) pasted.Fill(kind == 'K' ? pr : pc, (kind == 'K' ? pr : pc) + lines - 1);
        b.setMarks(kind == 'K' ? rowMarkSet(part) : MarkSet::McoR, pasted);
        return {};
    }
    if (kind != 'R') return {};
    const CellRect at = selectionOrCursor(s);
    b.ClearM();
    clearSelections(s);
    b.Paste(typ, mode, std::max(at.left, 0), std::max(at.top, 0), s.progress());
    return {};
}

// Empty fields pasted shifting right or down: as many as the selection holds, or one at the cursor.
Status newFields(Session& s, char mode) {
    if (!GridEditable(s, 0)) return {};
    TEditBuffer& b = s.buffer();
    const CellRect r = selectionOrCursor(s);
    b.StartClip('R');
    for (int row = r.top; row <= r.bottom; ++row)
        b.addClipLine(std::string(static_cast<std::size_t>(r.width() - 1), ';'));
    return paste(s, mode);
}

enum class Direction { Left, Right, Up, Down };

// Walks from the cursor cell to the next cell that holds a text (or, with differing, another text than
// the cursor cell): left and right in reading order (each row's name, then its releves, then the next
// row), up and down along the column. With marked releves (rows), left and right (up and down) go to the
// next marked one instead. At an end of the table or column the user decides whether to go on from the
// other end.
Status nextEntry(Session& s, Direction dir, bool differing) {
    const TEditBuffer& b = s.buffer();
    const char part = activePart(s);
    const int rows = b.GetRowCount(part), cols = b.GetColCount();
    if (rows == 0 || s.cursorRow < 0 || s.cursorRow >= rows) return {};
    const bool across = dir == Direction::Left || dir == Direction::Right;
    const int step = dir == Direction::Right || dir == Direction::Down ? 1 : -1;
    // A cell as one number: in reading order across, the row along a column.
    const int width = cols + 1;  // the name, then the releves
    const int startCol = nameGrid(s) ? -1 : std::clamp(s.cursorCol, 0, cols - 1);
    const long long total = across ? static_cast<long long>(rows) * width : rows;
    const long long start = across ? static_cast<long long>(s.cursorRow) * width + startCol + 1 : s.cursorRow;
    auto cellOf = [&](long long k) {
        return across ? std::pair<int, int>{static_cast<int>(k % width) - 1, static_cast<int>(k / width)}
                      : std::pair<int, int>{startCol, static_cast<int>(k)};
    };
    auto text = [&](long long k) {
        const auto [c, r] = cellOf(k);
        return c < 0 ? b.GetZl(part, r) : b.Get(part, c, r);
    };
    const TMenge& markedCols = b.McoR();
    const TMenge& markedRows = b.marks(rowMarkSet(part));
    const bool byMarks = across ? !markedCols.empty() : !markedRows.empty();
    const std::string first(text(start));
    auto stopsAt = [&](long long k) {
        const auto [c, r] = cellOf(k);
        if (byMarks) return across ? c >= 0 && markedCols.Element(c) : markedRows.Element(r);
        const std::string_view t = text(k);
        return differing ? t != first : !trimBlanks(t).empty();
    };
    long long k = start;
    for (long long walked = 0; walked < total; ++walked) {
        k += step;
        if (k < 0 || k >= total) {
            const char* key =
                across ? (step > 0 ? "MsgEndTab" : "MsgBeginTab") : (step > 0 ? "MsgEndCol" : "MsgBeginCol");
            if (AskYesNoCancel(s.ui(), s.catalogue().GetLangMsg(key)) != 'Y') return {};
            k = step > 0 ? 0 : total - 1;
        }
        if (k == start) return {};
        if (!stopsAt(k)) continue;
        const auto [c, r] = cellOf(k);
        const bool names = c < 0;
        s.activeGrid = (part == 'K' ? 1 : 3) + (names ? 0 : 1);
        if (!names) s.cursorCol = c;
        s.cursorRow = r;
        return {};
    }
    return {};
}

}  // namespace

void addGridCommands(Dispatcher& d) {
    d.add(kUndo, [](Session& s) {
        if (!s.undoList().undo()) s.ui().showInfo(s.catalogue().GetLangMsg("MsgNoUndo"));
        return Status();
    });
    d.add(kRedo, [](Session& s) {
        if (!s.undoList().redo()) s.ui().showInfo(s.catalogue().GetLangMsg("MsgNoRedo"));
        return Status();
    });
    d.add(kCopy, [](Session& s) { return cut(s, false, true, false); });
    d.add(kCut, [](Session& s) { return cut(s, true, true, false); });
    d.add(kDelete, [](Session& s) { return cut(s, true, false, false); });
    d.add(kCopyComplement, [](Session& s) { return cut(s, false, true, true); });
    d.add(kCutComplement, [](Session& s) { return cut(s, true, true, true); });
    d.add(kDeleteComplement, [](Session& s) { return cut(s, true, false, true); });
    d.add(kDeleteLeft, [](Session& s) { return cut(s, true, false, false, 'L'); });
    d.add(kDeleteUp, [](Session& s) { return cut(s, true, false, false, 'U'); });
    d.add(kCutLeft, [](Session& s) { return cut(s, true, true, false, 'L'); });
    d.add(kCutUp, [](Session& s) { return cut(s, true, true, false, 'U'); });
    d.add(kRowsBefore, [](Session& s) { return insertRows(s, false); });
    d.add(kRowsAfter, [](Session& s) { return insertRows(s, true); });
    d.add(kColsBefore, [](Session& s) { return insertColumns(s, false); });
    d.add(kColsAfter, [](Session& s) { return insertColumns(s, true); });
    d.add(kToRow, [](Session& s) { return goTo(s, true); });
    d.add(kToColumn, [](Session& s) { return goTo(s, false); });
    d.add(kRowComplement, [](Session& s) { return complement(s, true); });
    d.add(kColComplement, [](Session& s) { return complement(s, false); });
    d.add(kRowRandom, [](Session& s) { return randomChoice(s, true); });
    d.add(kColRandom, [](Session& s) { return randomChoice(s, false); });
    d.add(kNumberRow, [](Session& s) { return numberRow(s, false); });
    d.add(kRandomRow, [](Session& s) { return numberRow(s, true); });
    d.add(kContinueRow, continueRow);
    d.add(kCumulative, cumulative);
    d.add(kNumberColumn, [](Session& s) { return numberColumn(s, false); });
    d.add(kRandomColumn, [](Session& s) { return numberColumn(s, true); });
    d.add(kPaste, [](Session& s) { return paste(s, 'N'); });
    d.add(kPasteRight, [](Session& s) { return paste(s, 'R'); });
    d.add(kPasteDown, [](Session& s) { return paste(s, 'D'); });
    d.add(kNewRight, [](Session& s) { return newFields(s, 'R'); });
    d.add(kNewDown, [](Session& s) { return newFields(s, 'D'); });
    const Direction directions[] = {Direction::Left, Direction::Right, Direction::Up, Direction::Down};
    for (int i = 0; i < 4; ++i) {
        const Direction dir = directions[i];
        d.add(kNextLeft + i, [dir](Session& s) { return nextEntry(s, dir, false); });
        d.add(kDifferingLeft + i, [dir](Session& s) { return nextEntry(s, dir, true); });
    }
    d.add(kRowType, setRowType);
    d.add(kFillRows, [](Session& s) { return fill(s, false); });
    d.add(kFillColumns, [](Session& s) { return fill(s, true); });
    d.add(kInsertDate, [](Session& s) { return insertNow(s, true); });
    d.add(kInsertTime, [](Session& s) { return insertNow(s, false); });
}

}  // namespace tav
