#include "editor/field_list.h"

#include <algorithm>
#include <optional>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_support.h"
#include "editor/grid_control.h"
#include "editor/session.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr std::string_view kSlashWarning =
    "Die Angabenliste enthält Schrägstriche ( / ).\rBitte entfernen, damit die Angabendatenbank richtig "
    "funktioniert.";
constexpr std::string_view kEmptyListQuestion =
    "Die Angabenliste ist leer.\rIch kann keine Datenbankfelder prüfen.\rTrotzdem weiter?";
constexpr std::string_view kEmptyList = "Die Angabenliste ist leer.";
constexpr std::string_view kUnknownRowName = "Unbekannter Zeilenkopf";
constexpr std::string_view kStrayLookupRow = "Fremde Zeile in Datenbank-Block";
constexpr std::string_view kIncomplete = "Eintrag unvollständig";

// The first value of a field list; items before it are the name, the section, the type and the margin.
constexpr std::size_t kFirstValue = 4;

// The entry as the code comparison sees it: no blanks at the ends, "/" and "," as blanks, runs of blanks
// as one.
std::string normalizedEntry(std::string_view entry) {
    std::string out;
    bool gap = false;
    for (const char c : entry) {
        if (isBlank(c) || c == '/' || c == ',') {
            gap = true;
            continue;
        }
        if (gap && !out.empty()) out += ' ';
        gap = false;
        out += c;
    }
    return out;
}

std::size_t wordCount(std::string_view normalized) {
    return normalized.empty()
               ? 0
               : static_cast<std::size_t>(std::count(normalized.begin(), normalized.end(), ' ')) + 1;
}

std::string framed(std::string_view s) {
    std::string out = " ";
    out += s;
    out += ' ';
    return out;
}

// A value of the list as it is compared: folded, without blanks at the ends.
std::string foldedValue(std::string_view value) {
    return foldCodeText(trimBlanks(value));
}

// A-Z and Ä, Ö, Ü to lower case; everything else stays.
std::string lowerCodeLetters(std::string_view s) {
    std::string out;
    for (std::size_t pos = 0; pos < s.size();) {
        char32_t c = nextCodePoint(s, pos);
        if (c >= U'A' && c <= U'Z')
            c = c - U'A' + U'a';
        else if (c == U'Ä' || c == U'Ö' || c == U'Ü')
            c += 0x20;
        appendUtf8(out, c);
    }
    return out;
}

// Places the cursor of the header grid on a cell, also while a check keeps the editor busy.
void cursorTo(Session& s, int col, int row) {
    const bool busy = s.busy;
    s.busy = false;
    setCursor(s, 2, 'N', 'N', true, false, col, row);
    s.busy = busy;
}

// A text asked in a one-line dialog until accept takes it. Nothing when the dialog is cancelled, or
// when the same refused answer comes twice in a row (a macro or a preset that cannot give another).
template <class Accept>
std::optional<std::string> askUntil(Session& s, std::string_view caption, std::string_view prompt,
                                    std::string_view preset, std::string_view refusal, Accept accept) {
    std::optional<std::string> refused;
    for (;;) {
        const std::optional<std::string> answer = askText(s, caption, prompt, preset);
        if (!answer || (refused && *refused == *answer)) return std::nullopt;
        if (std::optional<std::string> taken = accept(*answer)) return taken;
        s.ui().showError(refusal);
        refused = answer;
    }
}

// The template code of a coded entry completed by the parts of the field "$" + field name: the cell's
// new text, the entry as it stands when the field has no template, nothing when the user abandoned it.
std::optional<std::string> completeTemplate(Session& s, int f, int col, int row, std::string_view entry,
                                            std::string_view codes) {
    const FieldList& list = s.fieldList;
    const int tf = list.find("$" + list.field(f)[0]);
    if (tf < 0) return std::string(entry);
    std::vector<std::string> words = splitFields(codes, " ");
    const auto code = std::find_if(words.begin(), words.end(),
                                   [](const std::string& w) { return w.find('$') != std::string::npos; });
    if (code == words.end()) return std::string(entry);
    std::string result = charLeft(*code, charLength(*code) - 1);
    const std::string typed = foldCodeText(trimBlanks(entry));
    // Where the typed entry goes on after the result so far; npos when it does not begin with it.
    auto typedAfterResult = [&]() {
        const std::string sofar = foldCodeText(result);
        return typed.compare(0, sofar.size(), sofar) == 0 ? sofar.size() : std::string::npos;
    };
    bool lower = false;
    const std::vector<std::string>& parts = list.field(tf);
    for (std::size_t i = kFirstValue; i < parts.size() && !parts[i].empty(); ++i) {
        const std::string& part = parts[i];
        if (part.front() == '"') {
            const std::size_t close = part.find('"', 1);
            result += part.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        } else if (part == "#") {
            std::string digits;
            if (std::size_t k = typedAfterResult(); k != std::string::npos)
                while (k < typed.size() && isDigit(typed[k])) digits += typed[k++];
            if (digits.empty()) {
                cursorTo(s, col, row);
                const std::optional<std::string> number =
                    askUntil(s, result, "Nummer eingeben", "", "bitte positive Zahl!",
                             [](const std::string& a) -> std::optional<std::string> {
                                 const auto n = parseInteger(trimBlanks(a));
                                 if (!n || *n < 0) return std::nullopt;
                                 return std::to_string(*n);
                             });
                if (!number) return std::nullopt;
                digits = *number;
            }
            result += digits;
        } else if (part.front() == '$') {
            if (part.size() > 1 && part[1] == 'L') lower = true;
        } else {
            const int pf = list.find(part);
            // A part that names no field of the list can never be answered.
            if (pf < 0) return std::nullopt;
            std::string letters;
            if (std::size_t k = typedAfterResult(); k != std::string::npos)
                while (k < typed.size() && typed[k] >= 'A' && typed[k] <= 'Z') letters += typed[k++];
            auto oneCode = [&](std::string_view text) -> std::optional<std::string> {
                std::string c = list.translateCodes(pf, text);
                if (c.empty() || c.find(' ') != std::string::npos) return std::nullopt;
                return c;
            };
            std::optional<std::string> c = oneCode(letters);
            if (!c) {
                cursorTo(s, col, row);
                c = askUntil(s, result, part + " eingeben", letters,
                             "Unbekannter " + part + ". Bitte nochmal!", oneCode);
                if (!c) return std::nullopt;
            }
            result += *c;
        }
    }
    if (lower) result = lowerCodeLetters(result);
    *code = result;
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
    return text;
}

// What the checks and the chooser share: whether lookup cells that differ are asked about, and whether
// a code not in the list may open the chooser (not in the check of what the chooser itself wrote).
struct CheckMode {
    bool askLookups = true;
    bool mayChoose = true;
};

bool chooseValue(Session& s, bool interactive, char& kind, CheckMode mode, FieldCheckRun& run);

FieldCheck checkCoded(Session& s, int col, int row, bool interactive, FieldCheckRun& run, CheckMode mode) {
    if (s.commitEdit) s.commitEdit();
    TEditBuffer& b = s.buffer();
    const FieldList& list = s.fieldList;
    if (list.empty()) {
        if (!run.fullCheck || run.emptyListAccepted) return {};
        // Asked once per run: a "No" holds for the other coded cells too.
        if (run.emptyListRefused || AskYesNoCancel(s.ui(), kEmptyListQuestion) != 'Y') {
            run.emptyListRefused = true;
            return {false, 0};
        }
        run.emptyListAccepted = true;
        return {};
    }
    if (row < 0 || row >= b.GetRowCount('K') || col < 0 || col >= b.GetColCount()) return {};
    const std::string entry(b.Get('K', col, row));
    const int f = list.find(b.GetZl('K', row));
    if (f < 0 || trimBlanks(entry).empty()) return {};
    const std::string codes = list.translateCodes(f, entry);
    if (codes.empty()) {
        if (!interactive || !mode.mayChoose) return {false, 'F'};
        cursorTo(s, col, row);
        char kind = 0;
        if (chooseValue(s, true, kind, CheckMode{false, false}, run)) return {};
        return {false, kind ? kind : 'F'};
    }
    if (interactive) {
        if (codes.find('$') != std::string::npos) {
            const std::optional<std::string> done = completeTemplate(s, f, col, row, entry, codes);
            if (!done)
                s.ui().showInfo(kIncomplete);
            else if (*done != entry)
                b.Put('K', *done, col, row);
        } else if (codes != entry) {
            b.Put('K', codes, col, row);
        }
    }
    // The lookup rows below show the texts of these codes.
    FieldCheck result;
    bool moved = false;
    for (int r = row + 1; r < b.GetRowCount('K') && b.GetTyp('K', r) == 'L'; ++r) {
        const int l = list.find(b.GetZl('K', r));
        const std::string expected = l < 0 ? std::string() : list.lookupValues(f, l, codes);
        const std::string cell(b.Get('K', col, r));
        if (!cell.empty() && cell != expected) {
            if (!interactive) {
                result = {false, 'X'};
                break;
            }
            if (mode.askLookups) {
                cursorTo(s, col, r);
                moved = true;
                const char answer = AskYesNoCancel(
                    s.ui(), s.catalogue().GetLangMsg("MsgWrongLook") + "\r\"" + expected + "\" einsetzen?");
                if (answer == 'C') {
                    result = {false, 'X'};
                    break;
                }
                if (answer == 'N') break;
            }
        }
        if (interactive && cell != expected) b.Put('K', expected, col, r);
    }
    if (moved) cursorTo(s, col, row);
    return result;
}

bool chooseValue(Session& s, bool interactive, char& kind, CheckMode mode, FieldCheckRun& run) {
    if (s.commitEdit) s.commitEdit();
    TEditBuffer& b = s.buffer();
    const FieldList& list = s.fieldList;
    const int col = s.cursorCol, row = s.cursorRow;
    kind = 0;
    int codeRow = -1;
    const char type = row >= 0 && row < b.GetRowCount('K') ? b.GetTyp('K', row) : ' ';
    if (type == 'L') {
        codeRow = b.GetCodePos(row);
        if (codeRow < 0) {
            kind = 'D';
            if (interactive && row > 0) cursorTo(s, col, row - 1);
        }
    } else if (type == 'S') {
        codeRow = row;
    }
    const int f = codeRow < 0 || list.empty() ? -1 : list.find(b.GetZl('K', codeRow));
    if (f < 0) {
        if (kind != 'D') kind = 'U';
        if (interactive)
            s.ui().showError(list.empty() ? kEmptyList : kind == 'D' ? kStrayLookupRow : kUnknownRowName);
        return false;
    }
    std::string entry;
    if (type == 'L') {
        if (interactive) cursorTo(s, col, codeRow);
    } else {
        entry = foldCodeText(trimBlanks(b.Get('K', col, row)));
    }
    const std::vector<std::string>& field = list.field(f);

    // The values offered: those that contain a "/"-separated part of the entry, or all.
    std::vector<std::size_t> offered, all;
    std::vector<std::string> parts;
    for (const std::string& p : splitFields(entry, "/"))
        if (!trimBlanks(p).empty()) parts.emplace_back(trimBlanks(p));
    for (std::size_t i = kFirstValue; i < field.size(); ++i) {
        const std::string value = foldedValue(field[i]);
        if (value.empty()) continue;
        all.push_back(i);
        if (std::any_of(parts.begin(), parts.end(),
                        [&](const std::string& p) { return value.find(p) != std::string::npos; }))
            offered.push_back(i);
    }
    if (offered.empty()) offered = all;

    // Whole-number codes are shown right-aligned, so that they sort by value.
    const bool numbers = field[2] == "I";
    auto shown = [numbers](std::string_view code) {
        if (!numbers) return std::string(trimBlanks(code));
        return alignRight(std::to_string(parseInteger(trimBlanks(code)).value_or(0)), 10);
    };
    std::vector<int> lookups;
    for (int r = codeRow + 1; r < b.GetRowCount('K') && b.GetTyp('K', r) == 'L'; ++r)
        if (const int l = list.find(b.GetZl('K', r)); l >= 0) lookups.push_back(l);
    std::vector<std::pair<std::string, std::size_t>> lines;
    for (const std::size_t i : offered) {
        std::string line = shown(field[i]);
        for (const int l : lookups) {
            const std::vector<std::string>& texts = list.field(l);
            line += ";       " + (i < texts.size() ? texts[i] : std::string());
        }
        lines.emplace_back(std::move(line), i);
    }
    std::sort(lines.begin(), lines.end(),
              [](const auto& x, const auto& y) { return textLess(x.first, y.first); });
    const std::string near = entry.empty() ? entry : shown(entry);
    int current = static_cast<int>(
        std::lower_bound(lines.begin(), lines.end(), near,
                         [](const auto& line, const std::string& e) { return textLess(line.first, e); }) -
        lines.begin());
    current = std::min(current, static_cast<int>(lines.size()) - 1);
    std::vector<std::string> texts;
    for (const auto& line : lines) texts.push_back(line.first);
    std::vector<int> chosen;
    if (!interactive || !TListDlg::Execute(s.ui(), "Angaben wählen", texts, true, current, &chosen)) {
        kind = 'F';
        return false;
    }
    // The codes in the list's spelling, in the order of the lines.
    std::sort(chosen.begin(), chosen.end());
    std::string text;
    for (const int c : chosen)
        text += std::string(trimBlanks(field[lines[static_cast<std::size_t>(c)].second])) + ' ';
    b.Put('K', text, col, codeRow);
    const FieldCheck check = checkCoded(s, col, codeRow, true, run, CheckMode{mode.askLookups, false});
    if (!check.ok) kind = check.kind ? check.kind : 'F';
    return check.ok;
}

}  // namespace

std::string foldCodeText(std::string_view s) {
    return upperFold(s);
}

void FieldList::load(const std::string& file, UiPort& ui, std::string& zusatzlist) {
    fields_.clear();
    if (file.empty() || !fileExists(file)) return;
    Result<std::string> bytes = readWholeFile(file);
    if (!bytes) {
        ui.showError(file + ": " + bytes.status().plain());
        return;
    }
    const std::string text = decodeFileText(bytes.value());
    std::vector<std::string> lines;
    for (const std::string_view line : splitLines(text)) lines.emplace_back(line);
    setLines(lines, ui, zusatzlist);
}

void FieldList::setLines(const std::vector<std::string>& lines, UiPort& ui, std::string& zusatzlist) {
    fields_.clear();
    std::string section;
    // Lines with "/" are used, and named together in one message at the end.
    std::string slashLines;
    int lineNumber = 0;
    for (const std::string& line : lines) {
        ++lineNumber;
        std::vector<std::string> f = splitFields(line);
        if (line.find("$/Z") != std::string::npos) {
            std::string additions;
            for (std::size_t i = 3; i < f.size(); ++i)
                if (!f[i].empty()) additions += (additions.empty() ? "" : ";") + f[i];
            zusatzlist = additions;
            continue;
        }
        if (line.find("$/") != std::string::npos) continue;
        if (line.find('/') != std::string::npos)
            slashLines += (slashLines.empty() ? "" : ", ") + std::to_string(lineNumber);
        const std::string type(trimBlanks(f[0]));
        const std::string name = f.size() > 1 ? f[1] : std::string();
        if (type == "S") section = name;
        if (name.empty()) continue;
        std::vector<std::string> field{name, section, type};
        if (f.size() > 2)
            field.insert(field.end(), f.begin() + 2, f.end());
        else
            field.emplace_back();  // every field has a margin item, if only an empty one
        fields_.push_back(std::move(field));
    }
    if (!slashLines.empty()) ui.showError(std::string(kSlashWarning) + "\rZeile(n) " + slashLines);
}

int FieldList::find(std::string_view name) const {
    if (name.empty()) return -1;
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i][0] == name) return static_cast<int>(i);
    return -1;
}

std::string FieldList::translateCodes(int f, std::string_view entry) const {
    if (f < 0 || f >= size()) return {};
    const std::string normalized = normalizedEntry(entry);
    const std::size_t words = wordCount(normalized);
    if (words == 0) return {};
    const std::string text = framed(foldCodeText(normalized));
    std::string codes;
    std::size_t matched = 0;
    const std::vector<std::string>& field = fields_[static_cast<std::size_t>(f)];
    for (std::size_t i = kFirstValue; i < field.size(); ++i) {
        const std::string value = foldedValue(field[i]);
        if (value.empty()) continue;
        const std::string framedValue = framed(value);
        // A template code ("AB$") matches an entry whose first word begins with its text.
        const bool match =
            value.find('$') != std::string::npos
                ? (charLeft(text, charLength(value)) + "$ ").find(framedValue) != std::string::npos
                : text.find(framedValue) != std::string::npos;
        if (!match) continue;
        codes += (codes.empty() ? "" : " ") + std::string(trimBlanks(field[i]));
        ++matched;
    }
    return matched == words ? normalizedEntry(codes) : std::string();
}

std::string FieldList::lookupValues(int f, int l, std::string_view codes) const {
    if (f < 0 || f >= size() || l < 0 || l >= size()) return {};
    const std::string text = framed(foldCodeText(normalizedEntry(codes)));
    const std::vector<std::string>& field = fields_[static_cast<std::size_t>(f)];
    const std::vector<std::string>& texts = fields_[static_cast<std::size_t>(l)];
    std::string out;
    for (std::size_t i = kFirstValue; i < field.size(); ++i) {
        const std::string value = foldedValue(field[i]);
        if (value.empty() || text.find(framed(value)) == std::string::npos) continue;
        if (!out.empty()) out += " / ";
        if (i < texts.size()) out += texts[i];
    }
    return out;
}

FieldCheck checkCodedCell(Session& session, int col, int row, bool interactive, FieldCheckRun& run) {
    return checkCoded(session, col, row, interactive, run, CheckMode{});
}

FieldCheck checkLookupCell(Session& session, int col, int row, std::string_view editStart, bool interactive,
                           FieldCheckRun& run) {
    if (session.commitEdit) session.commitEdit();
    const TEditBuffer& b = session.buffer();
    if (row < 0 || row >= b.GetRowCount('K') || col < 0 || col >= b.GetColCount()) return {};
    // In the full check the coded row of the block compares its lookup cells.
    if (run.fullCheck && b.GetCodePos(row) >= 0) return {};
    const std::string entry(b.Get('K', col, row));
    if (session.fieldList.empty() || entry.empty() || entry == editStart ||
        session.fieldList.find(b.GetZl('K', row)) < 0)
        return {};
    if (!interactive) return {false, b.GetCodePos(row) < 0 ? 'D' : 'F'};
    cursorTo(session, col, row);
    char kind = 0;
    if (chooseValue(session, true, kind, CheckMode{false, false}, run)) return {};
    return {false, kind ? kind : 'F'};
}

bool chooseFieldValue(Session& session, bool interactive, char& kind) {
    FieldCheckRun run;
    return chooseValue(session, interactive, kind, CheckMode{}, run);
}

}  // namespace tav
