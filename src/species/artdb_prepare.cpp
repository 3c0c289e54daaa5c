// Preparation of import files: a delimited text file with one named column per attribute becomes a file
// in the layout the species list import or the indicator value import reads.

#include <algorithm>
#include <optional>

#include "core/file_io.h"
#include "core/numbers.h"
#include "env/dialogs.h"
#include "species/artdb_browser.h"

namespace tav {

namespace {

constexpr const char* kNone = "< Keine >";

std::string replaced(std::string s, char from, char to) {
    std::replace(s.begin(), s.end(), from, to);
    return s;
}

// Fields of a line whose text may be enclosed in quote; a delimiter inside quotes is text.
std::vector<std::string> splitQuotedFields(std::string_view line, const std::string& delim,
                                           const std::string& quote) {
    std::vector<std::string> fields(1);
    bool inside = false;
    for (std::size_t i = 0; i < line.size();) {
        if (line.compare(i, quote.size(), quote) == 0) {
            inside = !inside;
            i += quote.size();
        } else if (!inside && line.compare(i, delim.size(), delim) == 0) {
            fields.emplace_back();
            i += delim.size();
        } else {
            fields.back() += line[i++];
        }
    }
    return fields;
}

// The source, read once: column names and the cells of every non-blank line.
struct Source {
    std::vector<std::string> names;
    std::vector<std::vector<std::string>> rows;

    std::string targetDelim = "\t";

    // A text as it goes into the target: the target's delimiter inside it would shift the later columns
    // (a tab becomes a blank, "," a ".", any other a ","), and ";", which the imports' meta lines use,
    // becomes "," (or "." when "," is the delimiter).
    std::string clean(std::string_view text) const {
        const std::string_view by = targetDelim == "\t" ? " " : targetDelim == "," ? "." : ",";
        return replacedText(replacedText(text, targetDelim, by, true), ";", targetDelim == "," ? "." : ",",
                            true);
    }

    // A cell as it goes into the target: trimmed and clean.
    std::string cell(std::size_t row, int column) const {
        const std::vector<std::string>& r = rows[row];
        if (column < 0 || static_cast<std::size_t>(column) >= r.size()) return {};
        return clean(trimBlanks(r[column]));
    }

    // The longest value that is no integer; 0 when every value is an integer or empty.
    int width(int column) const {
        std::size_t w = 0;
        for (std::size_t row = 0; row < rows.size(); ++row) {
            const std::string v = cell(row, column);
            if (!v.empty() && !parseInteger(v)) w = std::max(w, charLength(v));
        }
        return static_cast<int>(w);
    }

    std::string definition(int column, std::string_view flags) const {
        std::string name =
            replaced(clean(column < static_cast<int>(names.size()) ? names[column] : ""), ' ', '_');
        name = std::string(trimBlanks(name));
        // A definition without a name would take its type letter as name.
        if (name.empty()) name = "Feld" + std::to_string(column + 1);
        const int w = width(column);
        return name + (w > 0 ? " s " + std::to_string(w) : std::string(" i 0")) + std::string(flags);
    }

    std::string joinedName(std::size_t row, const std::vector<int>& nameColumns) const {
        std::string name;
        for (int c : nameColumns) name += cell(row, c) + " ";
        return std::string(trimBlanks(name));
    }
};

// The source's lines; its delimiter is asked about its first line. False with an error when it cannot be
// read, false without one when the question was cancelled.
bool readSource(UiPort& ui, const std::string& path, TextDelimiter setting, Source& src, std::string& error) {
    const Result<std::string> bytes = readWholeFile(path, std::size_t{512} << 20);
    if (!bytes) {
        error = bytes.status().plain();
        return false;
    }
    const std::string text = decodeFileText(bytes.value());
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.empty() || trimBlanks(lines.front()).empty()) {
        error = "Die Datei " + path + " enthält in der ersten Zeile keine Feldnamen.";
        return false;
    }
    const std::optional<TextDelimiter> chosen = askTextDelimiter(ui, lines.front(), setting);
    if (!chosen) return false;
    std::string delim, quote;
    appendUtf8(delim, chosen->delimiter);
    if (chosen->qualifier != 0) appendUtf8(quote, chosen->qualifier);
    const auto fields = [&](std::string_view line) {
        return quote.empty() ? splitFields(line, delim) : splitQuotedFields(line, delim, quote);
    };
    src.names = fields(lines.front());
    for (std::size_t n = 1; n < lines.size(); ++n)
        if (!trimBlanks(lines[n]).empty()) src.rows.push_back(fields(lines[n]));
    return true;
}

// Columns chosen in a list window; with "< Keine >" first, choosing it alone means no column.
std::optional<std::vector<int>> choose(UiPort& ui, const Source& src, std::string_view prompt, bool multi,
                                       bool withNone) {
    std::vector<std::string> items;
    if (withNone) items.push_back(kNone);
    items.insert(items.end(), src.names.begin(), src.names.end());
    const auto picked = ui.pickFromList(prompt, items, multi);
    if (!picked) return std::nullopt;
    std::vector<int> columns;
    for (int k : *picked)
        if (!withNone || k > 0) columns.push_back(withNone ? k - 1 : k);
    return columns;
}

std::string joined(const std::vector<std::string>& cells, const std::string& delim) {
    std::string line;
    for (std::size_t k = 0; k < cells.size(); ++k) line += (k ? delim : "") + cells[k];
    return line;
}

void splitName(const std::string& name, std::string& genus, std::string& species, std::string& rest) {
    std::string_view s = trimBlanks(name);
    auto takeWord = [&] {
        const std::size_t blank = s.find_first_of(" \t");
        std::string word(s.substr(0, blank));
        s = blank == std::string_view::npos ? std::string_view() : trimBlanks(s.substr(blank));
        return word;
    };
    genus = takeWord();
    species = takeWord();
    rest = std::string(s);
}

}  // namespace

Status prepareImportFile(UiPort& ui, const std::string& source, bool indicatorVariant, TextDelimiter setting,
                         ExportEncoding enc) {
    // A cancelled choice ends the preparation without a message.
    const auto cancelled = [] {
        Status s;
        s.fail();
        return s;
    };
    Source src;
    if (std::string error; !readSource(ui, source, setting, src, error))
        return error.empty() ? cancelled() : Status::failure(error);
    const std::string sourceName = source.substr(source.rfind('/') + 1);
    std::string d;
    appendUtf8(d, setting.delimiter);
    src.targetDelim = d;
    std::vector<std::string> out;

    const auto names = choose(ui, src, "Bitte Feld(er) mit Artnamen anwählen.", true, !indicatorVariant);
    if (!names) return cancelled();

    if (indicatorVariant) {
        const auto values = choose(ui, src, "Bitte Feld(er) mit Zeigerwerten anwählen.", true, false);
        if (!values) return cancelled();
        std::size_t nameWidth = 0;
        for (std::size_t row = 0; row < src.rows.size(); ++row) {
            std::size_t w = 5 + names->size();
            for (int c : *names) w += charLength(src.cell(row, c));
            nameWidth = std::max(nameWidth, w);
        }
        out.push_back("Zeigerwerte " + sourceName);
        std::vector<std::string> defs{"Art s " + std::to_string(nameWidth) + " t r"};
        for (int c : *values) defs.push_back(src.definition(c, ""));
        out.push_back(joined(defs, d));
        for (std::size_t row = 0; row < src.rows.size(); ++row) {
            std::vector<std::string> cells{src.joinedName(row, *names)};
            for (int c : *values) cells.push_back(src.cell(row, c));
            out.push_back(joined(cells, d));
        }
    } else {
        auto sys = choose(ui, src, "Bitte Feld mit Systematik-Nummer (Code) anwählen.", true, true);
        if (!sys) return cancelled();
        auto syn = choose(ui, src, "Bitte Feld mit Synonym-Verweis (Code) anwählen.", false, true);
        if (!syn) return cancelled();
        const auto fam = choose(ui, src, "Bitte Feld mit Familie anwählen.", false, true);
        if (!fam) return cancelled();
        auto triv = choose(ui, src, "Bitte Feld(er) mit Trivialnamen anwählen.", true, true);
        if (!triv) return cancelled();
        auto info = choose(ui, src, "Bitte Feld(er) mit Infos anwählen.", true, true);
        if (!info) return cancelled();

        // Taxon numbers and synonym references must be integers; a choice holding text is kept as info.
        for (std::vector<int>* numbers : {&*sys, &*syn}) {
            if (!numbers->empty() && src.width(numbers->front()) > 0) {
                info->insert(info->end(), numbers->begin(), numbers->end());
                numbers->clear();
            }
        }
        if (info->size() > 8) info->resize(8);
        if (triv->size() > 8) triv->resize(8);
        if (sys->size() > 12) sys->resize(12);

        std::vector<std::string> defs{"Prim i 0 t p",   "Genus s 40 t t", "Species s 40 t t",
                                      "Autor s 80 f t", "gross s 1 f f",  "supp s 1 f f"};
        defs.push_back(fam->empty() ? std::string("Familie s 30 f t") : src.definition(fam->front(), " f t"));
        for (int c : *triv) defs.push_back(src.definition(c, " f t"));
        for (int k = static_cast<int>(triv->size()) + 1; k <= 8; ++k)
            defs.push_back("Triv0" + std::to_string(k) + " s 1 f t");
        for (int c : *sys) defs.push_back(src.definition(c, " t t"));
        for (int k = static_cast<int>(sys->size()) + 1; k <= 12; ++k)
            defs.push_back("Sys" + twoDigits(k) + (k == 1 ? " i 0 t t" : " i 0 f t"));
        defs.push_back("SynRel i 0 f t");
        for (int k = 1; k <= 12; ++k) defs.push_back("t" + twoDigits(k) + " s 1 f f");
        for (int c : *info) defs.push_back(src.definition(c, " f t"));
        for (int k = static_cast<int>(info->size()) + 1; k <= 8; ++k)
            defs.push_back("Info0" + std::to_string(k) + " s 10 f t");
        defs.push_back("AggrList l 0 f t");

        out.push_back("Artenliste " + sourceName);
        out.push_back(joined(defs, d));
        for (std::size_t row = 0; row < src.rows.size(); ++row) {
            const std::string number = std::to_string(row + 1);
            std::vector<std::string> cells{number};
            std::string genus, species, rest;
            splitName(src.joinedName(row, *names), genus, species, rest);
            cells.insert(cells.end(), {genus, species, rest, "", ""});
            cells.push_back(fam->empty() ? std::string() : src.cell(row, fam->front()));
            for (int k = 0; k < 8; ++k)
                cells.push_back(k < static_cast<int>(triv->size()) ? src.cell(row, (*triv)[k]) : "");
            for (int k = 0; k < 12; ++k) {
                if (k < static_cast<int>(sys->size()))
                    cells.push_back(src.cell(row, (*sys)[k]));
                else
                    cells.push_back(k == 0 ? number : "");
            }
            const std::string ref = syn->empty() ? std::string() : src.cell(row, syn->front());
            cells.push_back(ref);
            cells.push_back(ref.empty() ? "A" : "S");
            for (int k = 2; k <= 12; ++k) cells.emplace_back();
            for (int k = 0; k < 8; ++k)
                cells.push_back(k < static_cast<int>(info->size()) ? src.cell(row, (*info)[k]) : "");
            cells.emplace_back();
            out.push_back(joined(cells, d));
        }
    }

    DialogRequest r;
    r.kind = DialogKind::SaveFile;
    r.name = indicatorVariant ? "Datei zum Import vorbereiten" : "Textdatei zum Import vorbereiten";
    r.caption = "Importdatei";
    const std::optional<std::string> chosen = ui.dialog(r);
    if (!chosen || chosen->empty()) return cancelled();
    const std::string target = chosen->substr(0, chosen->find('|'));
    if (ConfirmOverwrite(ui, target) != 'Y') return cancelled();
    std::string text;
    for (const std::string& line : out) text += line + "\r\n";
    return writeFileAtomically(target, encodeForExport(text, enc));
}

}  // namespace tav
