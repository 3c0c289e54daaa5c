// "Felder bearbeiten": text operations on the marked fields or the selection (insert, delete, cut at a
// delimiter, letter case, double items of a list), special characters and path names into the cell
// being edited, the memo editor; and "Zahlen gegen Buchstaben tauschen".
//
// The fields an operation works on: the filled cells of the marked header or species rows, else the
// filled cells of the marked releves in the active part, else the selection's cells (names in the name
// grids), else the cursor cell.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
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

constexpr std::int64_t kInsertText = 102110100;   // "Text einsetzen"
constexpr std::int64_t kDeleteText = 102110200;   // "Text herauslöschen"
constexpr std::int64_t kCutAtDelim = 102110300;   // "Text an Trennzeichen kürzen"
constexpr std::int64_t kUpperCase = 102110400;    // "Grossbuchstaben einsetzen"
constexpr std::int64_t kLowerCase = 102110500;    // "Kleinbuchstaben einsetzen"
constexpr std::int64_t kCapitalise = 102110600;   // "Erstes Zeichen gross, Rest klein"
constexpr std::int64_t kListDoubles = 102110700;  // "Doppel aus Liste löschen"
constexpr std::int64_t kSpecialChar = 102110800;  // "Spezialzeichen einsetzen"
constexpr std::int64_t kPathName = 102111100;     // "Pfadnamen einsetzen"
constexpr std::int64_t kMemoEditor = 102160000;   // "Memo-Editor"
constexpr std::int64_t kLetters = 103150100;  // "Zahlen gegen Buchstaben tauschen" › "Buchstaben einsetzen"
constexpr std::int64_t kNumbers = 103150200;  // … › "Zahlen einsetzen"

// The characters "Spezialzeichen einsetzen" offers, as the list shows them and as they are inserted.
struct SpecialChar {
    const char* shown;
    const char* text;
};
constexpr SpecialChar kSpecialChars[] = {
    {"#9  (Tab)", "\t"}, {"°  (Grad)", "°"}, {"±", "±"},           {"×", "×"}, {"µ", "µ"},
    {"²", "²"},          {"³", "³"},         {"½", "½"},           {"¼", "¼"}, {"¾", "¾"},
    {"§", "§"},          {"‰", "‰"},         {"–  (Strich)", "–"}, {"…", "…"}, {"≤", "≤"},
    {"≥", "≥"},          {"†", "†"},         {"♂", "♂"},           {"♀", "♀"}, {"€", "€"},
};

struct Field {
    char part;
    int col;  // -1: the row name
    int row;
};

std::vector<Field> fieldsOf(const Session& s) {
    const TEditBuffer& b = s.buffer();
    std::vector<Field> out;
    if (!b.MroK().empty() || !b.MroA().empty()) {
        for (const char part : {'K', 'A'}) {
            const TMenge& rows = part == 'K' ? b.MroK() : b.MroA();
            if (rows.empty()) continue;
            b.forEachFilled(part, [&](const FilledCell& c) {
                if (rows.Element(c.row)) out.push_back({part, c.col, c.row});
            });
        }
        return out;
    }
    const char part = activePart(s);
    if (!b.McoR().empty()) {
        b.forEachFilled(part, [&](const FilledCell& c) {
            if (b.McoR().Element(c.col)) out.push_back({part, c.col, c.row});
        });
        return out;
    }
    if (s.activeGrid < 1) return out;
    const CellRect r = selectionOrCursor(s);
    for (int row = r.top; row <= r.bottom; ++row)
        for (int col = r.left; col <= r.right; ++col) out.push_back({part, col, row});
    return out;
}

std::string_view fieldText(const Session& s, const Field& f) {
    return f.col < 0 ? s.buffer().GetZl(f.part, f.row) : s.buffer().Get(f.part, f.col, f.row);
}

// Applies op to every field; empty fields only with emptyToo (and never those of marked rows or
// releves, which are the filled ones).
Status applyToFields(Session& s, const std::function<std::string(std::string_view)>& op, bool emptyToo) {
    if (!GridEditable(s, 0)) return {};
    TEditBuffer& b = s.buffer();
    for (const Field& f : fieldsOf(s)) {
        const std::string old(fieldText(s, f));
        if (old.empty() && !emptyToo) continue;
        const std::string changed = op(old);
        if (changed == old) continue;
        if (f.col < 0)
            b.PutZl(f.part, changed, f.row);
        else
            b.Put(f.part, changed, f.col, f.row);
    }
    return {};
}

Status insertText(Session& s) {
    const std::optional<std::string> text = askText(s, "Text einsetzen", "Text", "");
    if (!text || text->empty()) return {};
    const std::optional<int> at =
        askWholeNumber(s, "Text einsetzen", "Position (0 = am Anfang, -1 = am Ende)", 0, -1, 100000);
    if (!at) return {};
    return applyToFields(
        s,
        [&](std::string_view old) {
            const std::size_t length = charLength(old);
            const std::size_t pos =
                *at < 0 ? length : std::min<std::size_t>(static_cast<std::size_t>(*at), length);
            return charLeft(old, pos) + *text + charMid(old, pos, length - pos);
        },
        true);
}

Status deleteText(Session& s) {
    const std::optional<std::string> text = askText(s, "Text herauslöschen", "Text", "");
    if (!text || text->empty()) return {};
    return applyToFields(
        s,
        [&](std::string_view old) {
            std::string out(old);
            for (std::size_t at; (at = out.find(*text)) != std::string::npos;) out.erase(at, text->size());
            return out;
        },
        false);
}

Status cutAtDelimiter(Session& s) {
    const std::optional<std::string> delim = askText(s, "Text an Trennzeichen kürzen", "Trennzeichen", " ");
    if (!delim || delim->empty()) return {};
    return applyToFields(
        s, [&](std::string_view old) { return std::string(old.substr(0, old.find(*delim))); }, false);
}

std::string capitalised(std::string_view old) {
    std::size_t pos = 0;
    const char32_t first = nextCodePoint(old, pos);
    std::string out;
    appendUtf8(out, upperCaseOnly(first));
    return out + lowerCaseOnly(old.substr(pos));
}

// The items of a list without the repeated ones (compared without the blanks around them), in order.
Status listDoubles(Session& s) {
    const std::optional<std::string> delim = askText(s, "Doppel aus Liste löschen", "Trennzeichen", ",");
    if (!delim || delim->empty()) return {};
    return applyToFields(
        s,
        [&](std::string_view old) {
            std::vector<std::string> kept;
            std::string out;
            for (const std::string& item : splitFields(old, *delim)) {
                const std::string key(trimBlanks(item));
                if (std::find(kept.begin(), kept.end(), key) != kept.end()) continue;
                kept.push_back(key);
                if (kept.size() > 1) out += *delim;
                out += item;
            }
            return out;
        },
        false);
}

// The chosen character goes into the cell's editor at the end of its text; the next move commits it.
Status specialChar(Session& s) {
    if (s.activeGrid < 1) return {};
    std::vector<std::string> shown;
    for (const SpecialChar& c : kSpecialChars) shown.emplace_back(c.shown);
    int choice = 0;
    if (!TListDlg::Execute(s.ui(), "Zeichen wählen", shown, false, choice)) return {};
    if (choice < 0 || choice >= static_cast<int>(shown.size())) return commandFailed();
    typeText(s, editorText(s) + kSpecialChars[choice].text);
    return {};
}

Status pathName(Session& s) {
    if (s.activeGrid < 1 || !GridEditable(s, s.activeGrid)) return {};
    const std::optional<std::string> file = askFile(s, DialogKind::OpenFile, "Pfadnamen einsetzen");
    if (!file) return {};
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(*file, ec);
    typeText(s, ec ? *file : full.string());
    commitEdit(s);
    return {};
}

// The full text of the cursor cell in a text window; what the user changes there goes into the cell.
Status memoEditor(Session& s) {
    if (s.activeGrid < 1) return {};
    std::string text = editorText(s);
    const std::string before = text;
    if (!TMemoDlg::Execute(s.ui(), "Memo-Editor", text) || text == before) return {};
    if (!GridEditable(s, s.activeGrid)) return {};
    typeText(s, text);
    commitEdit(s);
    return {};
}

// "a" … "z", "aa", "ab", … for 0, 1, …
std::string letterCode(std::size_t n) {
    std::string out;
    for (std::size_t k = n + 1; k > 0; k = (k - 1) / 26)
        out.insert(out.begin(), static_cast<char>('a' + (k - 1) % 26));
    return out;
}

// A new header row below the one the cursor is on: with numbers for its texts ("num_", the texts in
// their sorted order get 1, 2, …) or with letters for its numbers ("alpha_", the smallest number gets
// "a"). Fields without a text (without a number) stay empty.
Status replaceCodes(Session& s, bool toNumbers) {
    const int row = singleHeaderRow(s);
    if (row < 0) return commandFailed();
    if (!GridEditable(s, 2)) return {};
    TEditBuffer& b = s.buffer();
    const int cols = b.GetColCount();
    std::vector<std::string> codes(static_cast<std::size_t>(cols));
    if (toNumbers) {
        std::vector<std::string> texts;
        for (int c = 0; c < cols; ++c)
            if (const std::string t(trimBlanks(b.Get('K', c, row))); !t.empty()) texts.push_back(t);
        std::sort(texts.begin(), texts.end(),
                  [](const std::string& x, const std::string& y) { return compareText(x, y) < 0; });
        texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
        for (int c = 0; c < cols; ++c) {
            const std::string t(trimBlanks(b.Get('K', c, row)));
            if (t.empty()) continue;
            const auto at = std::lower_bound(
                texts.begin(), texts.end(), t,
                [](const std::string& x, const std::string& y) { return compareText(x, y) < 0; });
            codes[static_cast<std::size_t>(c)] = std::to_string(at - texts.begin() + 1);
        }
    } else {
        std::map<double, std::size_t> ranks;
        for (int c = 0; c < cols; ++c)
            if (const auto v = parseNumber(trimBlanks(b.Get('K', c, row)))) ranks.emplace(*v, 0);
        std::size_t rank = 0;
        for (auto& [value, r] : ranks) r = rank++;
        for (int c = 0; c < cols; ++c)
            if (const auto v = parseNumber(trimBlanks(b.Get('K', c, row))))
                codes[static_cast<std::size_t>(c)] = letterCode(ranks[*v]);
    }
    const int at = row + 1;
    b.InsRow('K', at);
    b.PutZl('K', (toNumbers ? "num_" : "alpha_") + std::string(b.GetZl('K', row)), at);
    b.PutTyp('K', toNumbers ? 'I' : 'T', at);
    for (int c = 0; c < cols; ++c)
        if (!codes[static_cast<std::size_t>(c)].empty())
            b.Put('K', codes[static_cast<std::size_t>(c)], c, at);
    setCursor(s, 2, 'N', 'N', false, true, std::max(s.cursorCol, 0), at);
    return {};
}

}  // namespace

void addFieldCommands(Dispatcher& d) {
    d.add(kInsertText, insertText);
    d.add(kDeleteText, deleteText);
    d.add(kCutAtDelim, cutAtDelimiter);
    d.add(kUpperCase, [](Session& s) {
        return applyToFields(
            s, [](std::string_view t) { return upperCaseOnly(t); }, false);
    });
    d.add(kLowerCase, [](Session& s) {
        return applyToFields(
            s, [](std::string_view t) { return lowerCaseOnly(t); }, false);
    });
    d.add(kCapitalise, [](Session& s) { return applyToFields(s, capitalised, false); });
    d.add(kListDoubles, listDoubles);
    d.add(kSpecialChar, specialChar);
    d.add(kPathName, pathName);
    d.add(kMemoEditor, memoEditor);
    d.add(kLetters, [](Session& s) { return replaceCodes(s, false); });
    d.add(kNumbers, [](Session& s) { return replaceCodes(s, true); });
}

}  // namespace tav
