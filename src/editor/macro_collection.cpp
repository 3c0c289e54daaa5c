#include "editor/macro_collection.h"

#include <map>
#include <set>

#include "core/file_io.h"
#include "core/text.h"
#include "table/edit_buffer.h"

namespace tav {

namespace {

bool isLeaf(std::string_view field) {
    return !field.empty() && (field[0] == 'z' || field[0] == 'y' || field[0] == 'Z' || field[0] == 'Y');
}

std::string withoutBlanks(std::string_view s) {
    std::string out;
    for (char c : s)
        if (c != ' ') out += c;
    return out;
}

std::string_view unpadded(std::string_view code) {
    const std::size_t last = code.find_last_not_of('0');
    return last == std::string_view::npos ? std::string_view() : code.substr(0, last + 1);
}

// The level cells of a 'T' row take at most the code's length.
constexpr int kMaxLevels = static_cast<int>(kEntryCodeLength);
// How many different values one level of the tree may have below one node.
constexpr std::size_t kMaxValues = 99;

}  // namespace

std::string MacroEntry::listText() const {
    return std::string(unpadded(code)) + " --- " + caption;
}

std::string MacroEntry::macroText() const {
    return caption + ';' + contents;
}

MacroCollection MacroCollection::parse(std::string_view text) {
    MacroCollection c;
    int lineNumber = 0;
    for (std::string_view line : splitLines(text)) {
        ++lineNumber;
        std::vector<std::string> f = splitFields(line);
        if (f.empty() || f[0] != "T") continue;
        while (!f.empty() && f.back().empty()) f.pop_back();  // trailing ";" do not count
        MacroEntry e;
        e.line = lineNumber;
        e.code = f.size() > 1 ? f[1] : std::string();
        e.offered = !(e.code.size() >= kEntryCodeLength && e.code.find_first_not_of('0') >= kEntryCodeLength);
        std::size_t i = 3;
        // A level cell is its key character and the caption; an empty one (a gap in the row) has neither.
        for (; i < f.size() && !isLeaf(f[i]); ++i)
            e.levels.push_back(f[i].empty() ? std::string() : withoutBlanks(f[i].substr(1)));
        if (i < f.size()) {
            e.caption = f[i].size() > 2 ? f[i].substr(2) : std::string();
            ++i;
        }
        for (std::size_t k = i; k < f.size(); ++k) {
            if (k > i) e.contents += ';';
            e.contents += f[k];
        }
        c.entries_.push_back(std::move(e));
    }
    return c;
}

Result<MacroCollection> MacroCollection::read(const std::string& file) {
    Result<std::string> bytes = readWholeFile(file);
    if (!bytes) return bytes.status();
    return parse(decodeFileText(bytes.value()));
}

std::vector<const MacroEntry*> MacroCollection::offered() const {
    std::vector<const MacroEntry*> out;
    for (const MacroEntry& e : entries_)
        if (e.offered && !e.caption.empty()) out.push_back(&e);
    return out;
}

const MacroEntry* MacroCollection::find(std::string_view name) const {
    const std::string_view wanted = trimBlanks(name);
    if (wanted.empty()) return nullptr;
    const std::string folded = upperFold(wanted);
    for (const MacroEntry& e : entries_)
        if (e.code == wanted || unpadded(e.code) == wanted) return &e;
    for (const MacroEntry& e : entries_)
        if (!e.caption.empty() && upperFold(trimBlanks(e.caption)) == folded) return &e;
    return nullptr;
}

CollectionCheck checkCollection(const TEditBuffer& buffer,
                                const std::function<bool(std::string_view)>& isCommand) {
    CollectionCheck out;
    const int rows = buffer.GetRowCount('K');
    const int cols = buffer.GetColCount();
    std::map<std::string, int> codes;                   // code → first row using it
    std::map<std::string, std::set<char>> valuesBelow;  // node code → the keys of its values
    for (int r = 0; r < rows; ++r) {
        if (buffer.GetTyp('K', r) != 'T') continue;
        const std::string row = "Zeile " + std::to_string(r + 1) + ": ";
        int last = cols - 1;
        while (last >= 0 && trimBlanks(buffer.Get('K', last, r)).empty()) --last;
        if (last < 0) continue;  // an empty row is no entry

        std::string code;
        std::vector<std::string> cells;
        int c = 0;
        bool leaf = false;
        bool valueMissing = false;
        for (; c <= last && c < kMaxLevels; ++c) {
            const std::string_view cell = buffer.Get('K', c, r);
            if (trimBlanks(cell).empty() || cell.size() < 2) {
                valueMissing = true;
                break;
            }
            // A leaf adds its mark and its own key to the code.
            const char key = isLeaf(cell) ? cell[1] : cell[0];
            valuesBelow[code].insert(key);
            if (isLeaf(cell)) code += static_cast<char>(cell[0] | 0x20);
            code += key;
            cells.emplace_back(cell);
            if (isLeaf(cell)) {
                leaf = true;
                ++c;
                break;
            }
        }
        if (valueMissing) {
            out.errors.push_back(row + "Merkmal ohne Ausprägung.");
            continue;
        }
        if (leaf) {
            if (const auto [at, fresh] = codes.emplace(code, r); !fresh)
                out.errors.push_back(row + "doppelter Merkmalscode (" + code + ").");
            // The statements: command and argument alternating; an empty command ends them.
            for (int k = c; k <= last; k += 2) {
                const std::string_view command = trimBlanks(buffer.Get('K', k, r));
                if (command.empty()) break;
                const std::string upper = upperFold(command);
                const bool control = upper == "&SUB" || upper.starts_with("&IF") || upper == "&ELSE";
                if (!control && !isCommand(command))
                    out.errors.push_back(row + "unbekannte Zeichenfolge (" + std::string(command) + ")");
            }
            for (int k = c; k <= last; ++k) cells.emplace_back(buffer.Get('K', k, r));
        }
        std::string line = "T;" + code + std::string(kEntryCodeLength - code.size(), '0') + ";";
        for (const std::string& cell : cells) line += ';' + cell;
        out.lines.push_back(std::move(line));
    }
    for (const auto& [node, keys] : valuesBelow)
        if (keys.size() > kMaxValues) out.errors.push_back(node + " hat zuviele Ausprägungen.");
    return out;
}

}  // namespace tav
