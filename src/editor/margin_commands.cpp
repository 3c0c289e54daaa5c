// The margin commands of "Randfelder bearbeiten": remarks, numbers and species groups written into the
// margins of the marked rows, single items edited, items cleared, listed or saved; and the row types of
// the header part adjusted to their contents. A margin item cannot hold "," (it separates the items) or
// ";" (it separates the fields of a row): texts with them are refused with a message.

#include <algorithm>

#include "core/file_io.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/session.h"
#include "editor/validation.h"
#include "env/dialogs.h"
#include "table/cell_stats.h"

namespace tav {

namespace {

constexpr std::int64_t kAdjustTypes = 103030000;   // "Zeilentypen automatisch anpassen"
constexpr std::int64_t kListMargins = 103040100;   // "Randfelder bearbeiten" › "Inhalte auflisten"
constexpr std::int64_t kSaveMargins = 103040200;   // … › "Inhalte speichern"
constexpr std::int64_t kSetMargin = 103040400;     // … › "Inhalte setzen"
constexpr std::int64_t kClearMargins = 103040500;  // … › "Einträge aus Randfeldern löschen"
constexpr std::string_view kEditMargin = "Inhalte einzelner Zeilen editieren";  // no number

// The marked rows of the part, or the cursor row when none is marked.
std::vector<int> markedOrCursor(Session& s, char part) {
    const TMenge& m = part == 'K' ? s.buffer().MroK() : s.buffer().MroA();
    if (!m.empty()) return m.elements();
    if (s.cursorRow >= 0 && s.cursorRow < s.buffer().GetRowCount(part)) return {s.cursorRow};
    return {};
}

// A text for a margin item, asked with the cursor row's item as preset; nothing when cancelled or when
// it holds a separator (then with a message).
std::optional<std::string> askItem(Session& s, char part, char code, std::string_view caption,
                                   std::string_view prompt) {
    const std::string preset = s.cursorRow < s.buffer().GetRowCount(part)
                                   ? s.buffer().ReadP(part, code, s.cursorRow)
                                   : std::string();
    std::optional<std::string> text = askText(s, caption, prompt, trimBlanks(preset));
    if (!text) return std::nullopt;
    if (text->find_first_of(",;") != std::string::npos) {
        s.ui().showError("Komma (,) und Strichpunkt (;) sind in Randfeldern nicht zulässig.");
        return std::nullopt;
    }
    return text;
}

void writeItem(TEditBuffer& b, char part, char code, const std::string& text, int row) {
    if (b.ReadP(part, code, row) != text) b.WriteP(part, code, text, row);
}

// Numbers 1 … n into item N of the marked rows (all when none is marked, whose marks then end), in row
// order or in a random order; right-aligned in five characters.
Status setNumbers(Session& s, char part, bool random) {
    TEditBuffer& b = s.buffer();
    const TMenge& m = part == 'K' ? b.MroK() : b.MroA();
    std::vector<int> rows = m.elements();
    if (rows.empty())
        for (int r = 0; r < b.GetRowCount(part); ++r) rows.push_back(r);
    std::vector<int> numbers(rows.size());
    for (std::size_t i = 0; i < numbers.size(); ++i) numbers[i] = static_cast<int>(i) + 1;
    if (random)
        for (std::size_t i = numbers.size(); i > 1; --i)
            std::swap(numbers[i - 1], numbers[static_cast<std::size_t>(s.random().below(i))]);
    for (std::size_t i = 0; i < rows.size(); ++i)
        writeItem(b, part, 'N', alignRight(std::to_string(numbers[i]), 5), rows[i]);
    return {};
}

Status setMargin(Session& s) {
    const char part = activePart(s);
    int choice = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), part == 'K' ? "DlgSetMarginK" : "DlgSetMarginA", "", "",
                            choice))
        return {};
    switch (choice) {
        case 0: {
            const auto text = askItem(s, part, 'R', "Anmerkung", "Text eingeben");
            if (!text) return {};
            for (int r : markedOrCursor(s, part)) writeItem(s.buffer(), part, 'R', *text, r);
            return {};
        }
        case 1:
        case 2:
            return setNumbers(s, part, choice == 2);
        case 3: {
            if (part == 'K') return setRowCheck(s);
            const auto text = askItem(s, part, 'G', "Artengruppen", "Gruppenbezeichnung");
            if (!text) return {};
            for (int r : markedOrCursor(s, part)) writeItem(s.buffer(), part, 'G', *text, r);
            return {};
        }
        default:
            return {};
    }
}

// One item of the cursor row: the answer with one blank in front and runs of blanks reduced to one.
Status editMargin(Session& s) {
    const char part = activePart(s);
    int choice = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), part == 'K' ? "DlgEditMarginK" : "DlgEditMarginA", "", "",
                            choice))
        return {};
    static constexpr char kHeader[] = {'R', 'N', 'C'}, kSpecies[] = {'R', 'N', 'G'};
    static constexpr const char* kLabels[] = {"Anmerkung", "Nummer", nullptr};
    if (choice < 0 || choice > 2) return {};
    const char code = part == 'K' ? kHeader[choice] : kSpecies[choice];
    const std::string label =
        kLabels[choice] ? kLabels[choice] : (part == 'K' ? "Codes für Check" : "Artengruppe");
    const auto text = askItem(s, part, code, label, "Text eingeben");
    if (!text) return {};
    std::string item;
    for (const std::string& w : splitFields(*text, " "))
        if (!w.empty()) item += " " + w;
    if (s.cursorRow < s.buffer().GetRowCount(part)) writeItem(s.buffer(), part, code, item, s.cursorRow);
    return {};
}

// The items the eleven flags of "DlgClearP" and "DlgShowP" stand for: flag 0 the whole margin, then per
// part and item.
struct FlagItem {
    int flag;
    char part;
    char code;
};
constexpr FlagItem kFlagItems[] = {{1, 'K', 'R'}, {2, 'A', 'R'}, {3, 'K', 'M'}, {4, 'A', 'M'},
                                   {5, 'K', 'N'}, {6, 'A', 'N'}, {7, 'K', 'C'}, {8, 'A', 'G'},
                                   {9, 'A', 'S'}, {10, 'K', 'S'}};

// The rows taken: the marked ones of both parts, or all rows when none is marked.
std::vector<std::pair<char, int>> takenRows(const TEditBuffer& b) {
    std::vector<std::pair<char, int>> rows;
    const bool none = b.MroK().empty() && b.MroA().empty();
    for (const char part : {'K', 'A'})
        for (int r = 0; r < b.GetRowCount(part); ++r)
            if (none || (part == 'K' ? b.MroK() : b.MroA()).Element(r)) rows.emplace_back(part, r);
    return rows;
}

bool flagOn(const std::string& flags, int i) {
    return static_cast<std::size_t>(i) < flags.size() && flags[static_cast<std::size_t>(i)] == '1';
}

Status clearMargins(Session& s) {
    std::string flags;
    if (!TCheckDlg::Execute(s.ui(), s.catalogue(), "DlgClearP", "", "", flags)) return {};
    TEditBuffer& b = s.buffer();
    for (const auto& [part, r] : takenRows(b)) {
        if (flagOn(flags, 0)) {
            if (!b.GetP(part, r).empty()) b.PutP(part, "", r);
            continue;
        }
        for (const FlagItem& f : kFlagItems)
            if (f.part == part && flagOn(flags, f.flag) && !b.ReadP(part, f.code, r).empty())
                b.WriteP(part, f.code, "", r);
    }
    b.ClearM();
    return {};
}

// "Inhalte auflisten" / "Inhalte speichern": one line per taken row with the chosen content.
Status listMargins(Session& s, bool save) {
    std::string flags;
    if (!TCheckDlg::Execute(s.ui(), s.catalogue(), "DlgShowP", "", "", flags)) return {};
    std::optional<std::string> file;
    if (save) {
        file = askFile(s, DialogKind::SaveFile, "Inhalte speichern");
        if (!file || ConfirmOverwrite(s.ui(), *file) != 'Y') return {};
    }
    TEditBuffer& b = s.buffer();
    std::vector<std::string> lines;
    std::size_t widest = 0;
    for (const auto& [part, r] : takenRows(b)) {
        std::string content;
        if (flagOn(flags, 0)) {
            content = b.GetP(part, r);
        } else {
            for (const FlagItem& f : kFlagItems) {
                if (f.part != part || !flagOn(flags, f.flag)) continue;
                std::string item = b.ReadP(part, f.code, r);
                if (item.empty()) continue;
                if (!save && f.code == 'S' && charLength(item) > 99) item = charLeft(item, 100) + " ...";
                content += (content.empty() ? "" : ",") + item;
            }
        }
        if (content.empty()) continue;
        std::replace(content.begin(), content.end(), ',', ';');
        lines.push_back(std::string(b.GetZl(part, r)) + ";" + content);
        widest = std::max<std::size_t>(
            widest, static_cast<std::size_t>(std::count(lines.back().begin(), lines.back().end(), ';')));
    }
    lines.insert(lines.begin(), "Inhalt der Randfelder" + std::string(widest, ';'));
    b.ClearM();
    if (save) {
        std::string text;
        for (const std::string& l : lines) text += l + "\r\n";
        return writeFileAtomically(*file, encodeTextFile(text));
    }
    std::string res;
    TGridDlg::Execute(s.ui(), "Randfelder", lines, 1, res);
    return {};
}

}  // namespace

void addMarginCommands(Dispatcher& d) {
    d.add(kAdjustTypes, [](Session& s) {
        TEditBuffer& b = s.buffer();
        for (int r = 0; r < b.GetRowCount('K'); ++r)
            if (const char t = EstimateTyp(b, 'K', r); t != b.GetTyp('K', r)) b.PutTyp('K', t, r);
        return Status();
    });
    d.add(kSetMargin, setMargin);
    d.addUnnumbered(kEditMargin, [](Session& s, const CommandEntry&) { return editMargin(s); });
    d.add(kClearMargins, clearMargins);
    d.add(kListMargins, [](Session& s) { return listMargins(s, false); });
    d.add(kSaveMargins, [](Session& s) { return listMargins(s, true); });
}

}  // namespace tav
