// tavolex-batch: the headless runner, a view of a Session over ScriptUi. Reads a table, writes it back or
// exports it, and reports what it did. Messages go to stderr with their prefix; results to stdout.

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_registry.h"
#include "editor/dispatch.h"
#include "editor/grid_control.h"
#include "editor/help_pages.h"
#include "editor/macro_collection.h"
#include "editor/macro_commands.h"
#include "editor/session.h"
#include "editor/statements.h"
#include "platform/script_ui.h"
#include "reports.h"

namespace {

constexpr int kDone = 0;
constexpr int kStatementFailed = 1;
constexpr int kUsage = 2;
constexpr int kFileError = 3;

const char* kUsageText =
    "usage: tavolex-batch [options] TABLE\n"
    "       tavolex-batch --macro NAME --collection FILE [--answer TOKEN …] TABLE TABLE …\n"
    "       tavolex-batch --list-commands [--lang N] [--env FILE]\n"
    "  --import-layout N      read TABLE as text layout N (3 normal, 4 transposed) instead of native\n"
    "  --delimiter C          field delimiter of text layouts: one character, or \"tab\"\n"
    "  --qualifier C          text qualifier of text layouts (default none)\n"
    "  --export-encoding N    encoding of text exports: 0 UTF-16, 1 UTF-8, 2 Windows-1252, 3 ASCII\n"
    "  --env FILE             work environment settings file (language, delimiters, encodings, cover-code\n"
    "                         system); options given on the command line win over it\n"
    "  --species-db FILE      species database (.adb) to open; text imports recognise its species\n"
    "  --import-species-list TEXT  import a species list text into the --species-db database first\n"
    "  --import-indicators TEXT  import an indicator value list text into the --species-db database (after\n"
    "                         --import-species-list); it becomes the current list\n"
    "  --indicator-list N     number of that indicator list, 1 … 99 (default 1); it replaces a list there,\n"
    "                         whose previous file is kept as .~zN. Without --import-indicators: the current\n"
    "                         list\n"
    "  --lookup NAME          print the species records NAME finds (key;name;accepted key), may be repeated\n"
    "  --summary              print what was read\n"
    "  --stats                print per species row its frequency, constancy and total cover and per\n"
    "                         releve its species count and total cover, as \";\"-separated lines\n"
    "  --cover-system N       cover-code system 1 … 9 (default 6, Braun-Blanquet)\n"
    "  --cover-file FILE      cover-code definition file (instead of --cover-system)\n"
    "  --save FILE            write the table in the native layout\n"
    "  --export-layout N FILE write the table in text layout N (1, 3, 4, 20, 21); may be repeated\n"
    "  --lang N               language of the texts: 0 or D German, 1 or F French, 2 or I Italian,\n"
    "                         3 or L Latin, 4 or E English\n"
    "  --seed N               seed of the random generator, a whole number from 0 on (default: the clock)\n"
    "  --print-windows        write the lines of every table or list window a command shows to the\n"
    "                         standard output, after a line \"== \" and the window's caption\n"
    "  --accept-presets       a question no option answers takes the preset answer of its dialog (an\n"
    "                         \"info: \" line names both); never a question whether to overwrite a file\n"
    "  --write-help FOLDER    write the help pages (one per topic and index.htm) into FOLDER; no TABLE\n"
    "  --help-texts FOLDER    with --write-help: the texts of the pages (every *.txt of FOLDER, lines\n"
    "                         TOPIC;TEXT or NUMBER;TEXT)\n"
    "  --list-commands        print every menu command, one line each: number;caption path (the captions\n"
    "                         from the top menu down, in the language of --lang);owning module;\n"
    "                         \"verfügbar\" or \"nicht verfügbar\" in the batch runner, \"Untermenü\" for\n"
    "                         a menu of commands; no TABLE\n"
    "  --cursor G,C,R         place the cursor before --run: grid 1 … 4, releve column and row, 1-based\n"
    "  --select C1,R1,C2,R2   a selection rectangle in the cursor's grid before --run, from releve column\n"
    "                         C1 and row R1 to C2 and R2, 1-based (in grids 1 and 3 the columns are 1)\n"
    "  --mark-rows LIST       mark species rows before --run: 1-based, \",\"-separated, ranges a-b\n"
    "  --mark-cols LIST       mark releve columns before --run, as --mark-rows\n"
    "  --mark-header-rows LIST  mark header rows before --run, as --mark-rows\n"
    "  --run 'CMD;ARG;…'      run statements on the table once it is read: caption paths, each followed by\n"
    "                         its answers; a failed statement stops the run, marked with \" <-- ERROR \",\n"
    "                         and nothing is saved or exported\n"
    "  --macro NAME           run the macro NAME (its caption or code) of --collection on the table; with\n"
    "                         several tables on each in turn (nothing is saved unless the macro saves)\n"
    "  --collection FILE      the macro collection --macro and the macro statements \"&SUB\", \"&IF\",\n"
    "                         \"&ELSE\" take their macros from\n"
    "  --answer TOKEN         answers the next question no statement answers (Y, N, C for yes, no,\n"
    "                         cancel; an item, a number or a file name), may be repeated\n"
    "  --record FILE          record the commands of --run and write the recording to FILE at the end\n"
    "  --version, --help\n"
    "Every option that takes a value is given at most once, except --lookup, --export-layout and --answer.\n"
    "Exit status: 0 done, 1 a statement of --run or --macro failed, 2 usage error, 3 a file could not be "
    "read or\n"
    "written.\n";

struct Export {
    int layout;
    std::string file;
};

struct Options {
    std::string table;
    int importLayout = tav::kLayoutNative;
    std::string delimiter;
    std::string qualifier;
    int exportEncoding = -1;
    bool summary = false;
    bool stats = false;
    int coverSystem = 0;
    std::string coverFile;
    int language = -1;
    std::string env;
    std::string speciesDb;
    std::string speciesList;
    std::string indicatorList;  // an indicator value list text to import
    int indicatorNumber = 0;    // its list number; 0: not given
    std::vector<std::string> lookups;
    std::string save;
    std::vector<Export> exports;
    std::optional<std::uint64_t> seed;
    bool acceptPresets = false;
    bool printWindows = false;
    bool listCommands = false;
    std::string writeHelp;
    std::string helpTexts;
    std::vector<std::string> moreTables;  // with --macro
    std::string run;
    std::string macro;
    std::string collection;
    std::vector<std::string> answers;
    std::string record;
    std::optional<std::array<int, 3>> cursor;
    std::optional<std::array<int, 4>> select;
    std::vector<int> markRows;  // 1-based
    std::vector<int> markHeaderRows;
    std::vector<int> markCols;
};

// "1,3,5-7" → 1, 3, 5, 6, 7; std::nullopt for anything else, numbers below 1 and reversed ranges.
std::optional<std::vector<int>> numberList(std::string_view text) {
    std::vector<int> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        const std::string_view item = text.substr(start, comma - start);
        const std::size_t dash = item.find('-');
        const auto from = tav::parseInteger(item.substr(0, dash));
        const auto to = dash == std::string_view::npos ? from : tav::parseInteger(item.substr(dash + 1));
        if (!from || !to || *from < 1 || *to < *from || *to > 1'000'000) return std::nullopt;
        for (std::int64_t n = *from; n <= *to; ++n) out.push_back(static_cast<int>(n));
        if (comma == text.size()) return out;
        start = comma + 1;
    }
}

int usageError(const std::string& what) {
    std::fprintf(stderr, "error: %s\n%s", what.c_str(), kUsageText);
    return kUsage;
}

std::optional<char32_t> oneCharacter(std::string_view s) {
    if (s == "tab" || s == "\\t") return U'\t';
    std::size_t pos = 0;
    if (s.empty()) return std::nullopt;
    char32_t c = tav::nextCodePoint(s, pos);
    if (pos != s.size() || c == U'\r' || c == U'\n' || c == 0xFFFD) return std::nullopt;
    return c;
}

// Results printed to stdout that never arrived (a full disk, a closed pipe) are a failed run.
int finishOutput(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "error: the results could not be written to the standard output\n");
        return kFileError;
    }
    return status;
}

int parse(int argc, char** argv, Options& o) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    // An option that takes a value is given once, except the two documented as repeatable: a second
    // --save or --env would otherwise silently replace the first.
    std::vector<std::string_view> given;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view a = args[i];
        if (a.size() > 2 && a.substr(0, 2) == "--" && a != "--lookup" && a != "--export-layout" &&
            a != "--answer" && a != "--summary" && a != "--stats" && a != "--accept-presets") {
            if (std::find(given.begin(), given.end(), a) != given.end())
                return usageError(std::string(a) + " may be given only once");
            given.push_back(a);
        }
        auto value = [&](std::string_view name) -> std::optional<std::string> {
            if (i + 1 >= args.size()) return std::nullopt;
            (void)name;
            return std::string(args[++i]);
        };
        if (a == "--help" || a == "-h") {
            std::fputs(kUsageText, stdout);
            return -1;
        }
        if (a == "--version") {
            std::printf("tavolex-batch %s\n", TAVOLEX_VERSION);
            return -1;
        }
        if (a == "--list-commands") {
            o.listCommands = true;
            continue;
        }
        if (a == "--write-help") {
            auto v = value(a);
            if (!v || v->empty()) return usageError("--write-help takes a folder");
            o.writeHelp = *v;
            o.listCommands = true;  // like the listing: no table, nothing else
            continue;
        }
        if (a == "--help-texts") {
            auto v = value(a);
            if (!v || v->empty()) return usageError("--help-texts takes a folder");
            o.helpTexts = *v;
            continue;
        }
        if (a == "--summary") {
            o.summary = true;
        } else if (a == "--stats") {
            o.stats = true;
        } else if (a == "--accept-presets") {
            o.acceptPresets = true;
        } else if (a == "--print-windows") {
            o.printWindows = true;
        } else if (a == "--indicator-list") {
            auto v = value(a);
            auto n = v ? tav::parseInteger(*v) : std::nullopt;
            if (!n || *n < 1 || *n > 99) return usageError("--indicator-list takes a number from 1 to 99");
            o.indicatorNumber = static_cast<int>(*n);
        } else if (a == "--seed") {
            auto v = value(a);
            auto n = v ? tav::parseInteger(*v) : std::nullopt;
            if (!n || *n < 0) return usageError("--seed takes a whole number from 0 on");
            o.seed = static_cast<std::uint64_t>(*n);
        } else if (a == "--env") {
            auto v = value(a);
            if (!v || v->empty()) return usageError("--env takes a file name");
            o.env = *v;
        } else if (a == "--species-db" || a == "--import-species-list" || a == "--lookup" ||
                   a == "--import-indicators") {
            auto v = value(a);
            if (!v || v->empty()) return usageError(std::string(a) + " takes a value");
            if (a == "--species-db") o.speciesDb = *v;
            if (a == "--import-species-list") o.speciesList = *v;
            if (a == "--import-indicators") o.indicatorList = *v;
            if (a == "--lookup") o.lookups.push_back(*v);
        } else if (a == "--lang") {
            auto v = value(a);
            static const std::string_view codes = "DFILE";
            std::optional<int> lang;
            if (v && v->size() == 1 &&
                codes.find(static_cast<char>(std::toupper((*v)[0]))) != std::string_view::npos)
                lang = static_cast<int>(codes.find(static_cast<char>(std::toupper((*v)[0]))));
            if (v && !lang)
                if (auto n = tav::parseInteger(*v); n && *n >= 0 && *n <= 4) lang = static_cast<int>(*n);
            if (!lang) return usageError("--lang takes 0 … 4 or one of D, F, I, L, E");
            o.language = *lang;
        } else if (a == "--cover-system") {
            auto v = value(a);
            auto n = v ? tav::parseInteger(*v) : std::nullopt;
            if (!n || *n < 1 || *n > 9) return usageError("--cover-system takes a number from 1 to 9");
            o.coverSystem = static_cast<int>(*n);
        } else if (a == "--cover-file") {
            auto v = value(a);
            if (!v || v->empty()) return usageError("--cover-file takes a file name");
            o.coverFile = *v;
        } else if (a == "--import-layout") {
            auto v = value(a);
            auto n = v ? tav::parseInteger(*v) : std::nullopt;
            if (!n || (*n != 3 && *n != 4)) return usageError("--import-layout takes 3 or 4");
            o.importLayout = static_cast<int>(*n);
        } else if (a == "--delimiter" || a == "--qualifier") {
            auto v = value(a);
            if (!v || !oneCharacter(*v)) return usageError(std::string(a) + " takes one character");
            (a == "--delimiter" ? o.delimiter : o.qualifier) = *v;
        } else if (a == "--export-encoding") {
            auto v = value(a);
            auto n = v ? tav::parseInteger(*v) : std::nullopt;
            if (!n || *n < 0 || *n > 3) return usageError("--export-encoding takes 0, 1, 2 or 3");
            o.exportEncoding = static_cast<int>(*n);
        } else if (a == "--macro" || a == "--collection" || a == "--answer") {
            auto v = value(a);
            if (!v || (a != "--answer" && v->empty())) return usageError(std::string(a) + " takes a value");
            if (a == "--macro") o.macro = *v;
            if (a == "--collection") o.collection = *v;
            if (a == "--answer") o.answers.push_back(*v);
        } else if (a == "--run" || a == "--record") {
            auto v = value(a);
            if (!v || v->empty()) return usageError(std::string(a) + " takes a value");
            (a == "--run" ? o.run : o.record) = *v;
        } else if (a == "--cursor") {
            auto v = value(a);
            auto n = v ? numberList(*v) : std::nullopt;
            if (!n || n->size() != 3 || (*n)[0] > 4 || v->find('-') != std::string::npos)
                return usageError("--cursor takes grid (1 … 4), column and row, e.g. 4,1,1");
            o.cursor = std::array<int, 3>{(*n)[0], (*n)[1], (*n)[2]};
        } else if (a == "--select") {
            auto v = value(a);
            auto n = v ? numberList(*v) : std::nullopt;
            if (!n || n->size() != 4 || v->find('-') != std::string::npos)
                return usageError("--select takes two corners, column and row each, e.g. 1,1,3,2");
            o.select = std::array<int, 4>{(*n)[0], (*n)[1], (*n)[2], (*n)[3]};
        } else if (a == "--mark-rows" || a == "--mark-cols" || a == "--mark-header-rows") {
            auto v = value(a);
            auto n = v ? numberList(*v) : std::nullopt;
            if (!n)
                return usageError(std::string(a) + " takes 1-based numbers and ranges a-b, \",\"-separated");
            (a == "--mark-rows" ? o.markRows : a == "--mark-cols" ? o.markCols : o.markHeaderRows) = *n;
        } else if (a == "--save") {
            auto v = value(a);
            if (!v || v->empty()) return usageError("--save takes a file name");
            o.save = *v;
        } else if (a == "--export-layout") {
            auto v = value(a);
            auto f = value(a);
            auto n = v ? tav::parseInteger(*v) : std::nullopt;
            if (!n || !f || f->empty() || (*n != 1 && *n != 3 && *n != 4 && *n != 20 && *n != 21))
                return usageError("--export-layout takes a layout (1, 3, 4, 20, 21) and a file name");
            o.exports.push_back({static_cast<int>(*n), *f});
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("unknown option " + std::string(a));
        } else if (o.table.empty()) {
            o.table = a;
        } else {
            o.moreTables.emplace_back(a);
        }
    }
    if (!o.delimiter.empty() && oneCharacter(o.delimiter) == oneCharacter(o.qualifier))
        return usageError("--delimiter and --qualifier must differ");
    if (!o.coverFile.empty() && o.coverSystem > 0)
        return usageError("--cover-system and --cover-file exclude each other");
    if ((!o.indicatorList.empty() || o.indicatorNumber > 0) && o.speciesDb.empty())
        return usageError("--import-indicators and --indicator-list need --species-db");
    if ((!o.speciesList.empty() || !o.lookups.empty()) && o.speciesDb.empty())
        return usageError("--import-species-list and --lookup need --species-db");
    if (o.listCommands) {
        // The listing reads nothing, so a table or an action beside it would silently do nothing.
        if (!o.table.empty() || !o.speciesDb.empty() || o.summary || o.stats || !o.save.empty() ||
            !o.exports.empty() || !o.run.empty() || !o.record.empty() || o.cursor || o.select ||
            !o.markRows.empty() || !o.markCols.empty() || !o.markHeaderRows.empty())
            return usageError(
                "--list-commands and --write-help take no table, species database or other action");
        return kDone;
    }
    if (!o.macro.empty() && o.collection.empty()) return usageError("--macro needs --collection");
    if (!o.collection.empty() && o.macro.empty() && o.run.empty())
        return usageError("--collection is for --macro or --run");
    if (!o.macro.empty() && !o.run.empty()) return usageError("--run and --macro exclude each other");
    if (!o.moreTables.empty()) {
        if (o.macro.empty())
            return usageError("more than one table given: " + o.table + " and " + o.moreTables.front() +
                              " (several tables need --macro)");
        // Each table is replaced by the next: what would be printed, saved or set on one of them is not
        // given for all.
        if (o.summary || o.stats || !o.save.empty() || !o.exports.empty() || o.cursor || o.select ||
            !o.markRows.empty() || !o.markCols.empty() || !o.markHeaderRows.empty())
            return usageError(
                "with several tables --macro runs alone: no --summary, --stats, --save, --export-layout, "
                "--cursor, --select, --mark-rows or --mark-cols");
    }
    if (o.table.empty() && o.speciesDb.empty()) return usageError("no table given");
    if (o.table.empty() && (!o.run.empty() || !o.macro.empty() || !o.record.empty() || o.cursor ||
                            !o.markRows.empty() || !o.markCols.empty() || !o.markHeaderRows.empty()))
        return usageError(
            "--run, --macro, --record, --cursor, --select, --mark-rows and --mark-cols need a table");
    return kDone;
}

// One line per menu command. Number first and status last, so the caption path between them may be split
// at its own ";" by whoever reads the list.
void printCommands(const tav::Catalogue& catalogue, const tav::Dispatcher& dispatcher) {
    for (const tav::CommandEntry& e : tav::commands::allCommands()) {
        const std::string path = tav::commands::captionPath(e, catalogue);
        const std::string_view owner = tav::commands::ownerName(e.owner);
        const bool available = dispatcher.available(e);
        const char* status = e.has(tav::kSubmenu) ? "Untermenü" : available ? "verfügbar" : "nicht verfügbar";
        std::printf("%lld;%s;%.*s;%s\n", static_cast<long long>(e.number), path.c_str(),
                    static_cast<int>(owner.size()), owner.data(), status);
    }
}

// The cursor and the marks the options give, checked against the table that was read.
tav::Status placeCursorAndMarks(tav::Session& session, const Options& o) {
    tav::TEditBuffer& buffer = session.buffer();
    const int species = buffer.GetRowCount('A');
    const int releves = buffer.GetColCount();
    for (int row : o.markRows) {
        if (row > species)
            return tav::Status::failure("--mark-rows: the table has " + std::to_string(species) +
                                        " species rows");
        buffer.mark(tav::MarkSet::MroA, row - 1);
    }
    for (int row : o.markHeaderRows) {
        if (row > buffer.GetRowCount('K'))
            return tav::Status::failure("--mark-header-rows: the table has " +
                                        std::to_string(buffer.GetRowCount('K')) + " header rows");
        buffer.mark(tav::MarkSet::MroK, row - 1);
    }
    for (int col : o.markCols) {
        if (col > releves)
            return tav::Status::failure("--mark-cols: the table has " + std::to_string(releves) + " releves");
        buffer.mark(tav::MarkSet::McoR, col - 1);
    }
    if (o.cursor) {
        const auto [grid, col, row] = *o.cursor;
        const int rows = buffer.GetRowCount(grid <= 2 ? 'K' : 'A');
        // The name grids have a single column.
        const int cols = grid == 1 || grid == 3 ? 1 : releves;
        if (col > cols || row > rows)
            return tav::Status::failure("--cursor: grid " + std::to_string(grid) + " has " +
                                        std::to_string(cols) + " columns and " + std::to_string(rows) +
                                        " rows");
        session.activeGrid = grid;
        session.cursorCol = col - 1;
        session.cursorRow = row - 1;
    }
    if (o.select) {
        const auto [c1, r1, c2, r2] = *o.select;
        const int grid = session.activeGrid;
        const int rows = buffer.GetRowCount(grid <= 2 ? 'K' : 'A');
        const bool names = grid == 1 || grid == 3;
        const int cols = names ? 1 : releves;
        if (std::max(c1, c2) > cols || std::max(r1, r2) > rows)
            return tav::Status::failure("--select: grid " + std::to_string(grid) + " has " +
                                        std::to_string(cols) + " columns and " + std::to_string(rows) +
                                        " rows");
        tav::TVGrid& g = session.grid(grid);
        g.selStart =
            names ? tav::CellRect{-1, r1 - 1, -1, r1 - 1} : tav::CellRect{c1 - 1, r1 - 1, c1 - 1, r1 - 1};
        tav::setSelection(session, grid, names ? -1 : c2 - 1, r2 - 1);
    }
    return {};
}

// One line each; in the 8-bit code page when every character fits, as recordings are read back.
bool writeRecording(tav::Session& session, const std::string& file) {
    std::string text;
    for (const std::string& line : session.recordingList().lines()) {
        text += line;
        text += "\r\n";
    }
    if (tav::fitsCp1252(text)) text = tav::utf8ToCp1252(text);
    const tav::Status written = tav::writeFileAtomically(file, text);
    session.report(written);
    return written.ok();
}

// The setting Sprache holds the name of the language; its first letter counts.
const char* languageName(int language) {
    static const char* const names[] = {"Deutsch", "Francais", "Italiano", "Latina", "English"};
    return names[std::clamp(language, 0, 4)];
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (int r = parse(argc, argv, o); r != kDone) return r < 0 ? kDone : r;
    // An interrupted save must not leave its hidden temporary file beside the user's table.
    tav::installTempFileCleanup();

    tav::ScriptUi script(o.answers, stderr);
    script.setAcceptPresets(o.acceptPresets);
    if (o.printWindows) script.setWindowEcho(stdout);
    tav::Session session(script, o.seed);

    tav::StartOptions start;
    start.settingsSource = o.env.empty() ? tav::SettingsSource::Defaults : tav::SettingsSource::File;
    start.settingsFile = o.env;
    // The runner opens only the species database it is given, never the one of the work environment.
    start.speciesDb = o.speciesDb;
    start.createSpeciesDb = !o.speciesList.empty();
    bool delimiterIsQualifier = false;
    // A species list is read with the delimiter of the work environment: --delimiter is for text layouts.
    char32_t listDelimiter = U'\t';
    // The command line wins over the work environment.
    start.adjustSettings = [&](tav::TProjectSettings& s) {
        listDelimiter = static_cast<char32_t>(s.Diversa.DelimEinst);
        // Without a work environment names are compared with their authors, as the runner always did.
        if (o.env.empty()) s.Pruef.OhneAutor = false;
        if (o.language >= 0) s.Sprache = languageName(o.language);
        if (!o.qualifier.empty())
            s.Diversa.QualiEinst = static_cast<std::int32_t>(*oneCharacter(o.qualifier));
        if (!o.delimiter.empty())
            s.Diversa.DelimEinst = static_cast<std::int32_t>(*oneCharacter(o.delimiter));
        if (o.exportEncoding >= 0) s.Diversa.ExportEncoding = o.exportEncoding;
        if (!o.coverFile.empty()) {
            s.DeckEinst = 10;
            s.DeckName = o.coverFile;
        } else if (o.coverSystem > 0) {
            s.DeckEinst = static_cast<std::uint8_t>(o.coverSystem);
        }
        tav::Status status;
        // A qualifier that is also the delimiter would glue the fields together.
        if (s.Diversa.QualiEinst != 0 && s.Diversa.QualiEinst == s.Diversa.DelimEinst) {
            delimiterIsQualifier = true;
            status.fail();
        }
        return status;
    };
    if (tav::Status started = session.start(start); !started) {
        if (delimiterIsQualifier)
            return usageError(
                "the delimiter and the qualifier must differ (one of them comes from --env or is the default "
                "tab "
                "delimiter)");
        session.report(started);
        return kFileError;
    }

    tav::Dispatcher dispatcher;
    if (!o.writeHelp.empty()) {
        tav::Result<tav::HelpTexts> texts = tav::HelpTexts{};
        if (!o.helpTexts.empty()) texts = tav::readHelpTexts(o.helpTexts);
        if (!texts) {
            session.report(texts.status());
            return finishOutput(kFileError);
        }
        const tav::Status written = tav::writeHelpPages(
            session.catalogue(), o.writeHelp,
            [&dispatcher](std::int64_t n) { return dispatcher.available(n); }, texts.value());
        session.report(written);
        return finishOutput(written ? kDone : kFileError);
    }
    if (o.listCommands) {
        printCommands(session.catalogue(), dispatcher);
        return finishOutput(kDone);
    }

    batch::TerminalProgress terminal;
    tav::Progress& progress = ::isatty(STDERR_FILENO) ? terminal : tav::noProgress();

    if (session.speciesDb()) {
        if (!o.speciesList.empty()) {
            const tav::Status imported = session.importSpeciesList(o.speciesList, listDelimiter, progress);
            session.report(imported);
            if (!imported) return kFileError;
        }
        if (!o.indicatorList.empty()) {
            const tav::Status imported = session.importIndicatorList(
                o.indicatorList, listDelimiter, progress, o.indicatorNumber > 0 ? o.indicatorNumber : 1);
            session.report(imported);
            if (!imported) return kFileError;
        } else if (o.indicatorNumber > 0) {
            session.useIndicatorList(o.indicatorNumber);
        }
        // A ";" inside a name would shift the fields of the output line: it becomes "," as in table cells.
        auto field = [](std::string s) {
            std::replace(s.begin(), s.end(), ';', ',');
            return s;
        };
        for (const std::string& name : o.lookups) {
            const std::vector<tav::SpeciesMatch> found = session.lookupSpecies(name);
            for (const tav::SpeciesMatch& m : found)
                std::printf("%d;%s;%d\n", m.key, field(m.name).c_str(), m.acceptedKey);
            if (found.empty()) std::printf("0;%s;-1\n", field(name).c_str());
        }
    }
    if (o.table.empty()) return finishOutput(kDone);

    std::optional<tav::MacroCollection> collection;
    const tav::MacroEntry* macro = nullptr;
    if (!o.collection.empty()) {
        tav::Result<tav::MacroCollection> read = tav::MacroCollection::read(o.collection);
        if (!read) {
            std::fprintf(stderr, "error: the macro collection %s could not be read: %s\n",
                         o.collection.c_str(), read.status().plain().c_str());
            return kFileError;
        }
        collection = std::move(read.value());
        if (!o.macro.empty() && !(macro = collection->find(o.macro))) {
            std::fprintf(stderr, "error: the macro collection %s holds no macro \"%s\"\n",
                         o.collection.c_str(), o.macro.c_str());
            return kUsage;
        }
    }
    session.setProgress(&progress);
    if (!o.moreTables.empty()) {
        std::vector<std::string> tables{o.table};
        tables.insert(tables.end(), o.moreTables.begin(), o.moreTables.end());
        const tav::Status ran =
            tav::runMacroOverFiles(session, dispatcher, *collection, macro->macroText(), tables);
        int status = ran ? kDone : kStatementFailed;
        if (!o.record.empty() && !writeRecording(session, o.record)) status = kFileError;
        return finishOutput(status);
    }

    // An unusable cover-code definition stops the run before anything is read, printed or written, when
    // the run needs the cover codes.
    if ((o.stats || !o.coverFile.empty()) && !session.coverStatus().ok()) {
        session.report(session.coverStatus());
        return kFileError;
    }
    // A delimiter given on the command line answers the delimiter question of text imports; the qualifier
    // goes with it, from the command line or else from the work environment.
    if (!o.delimiter.empty()) session.keepDelimiterOfSettings();

    const tav::Result<tav::ReadResult> opened = session.openTable(o.table, o.importLayout, progress);
    session.report(opened.status());
    switch (opened.value()) {
        case tav::ReadResult::Ok:
            break;
        case tav::ReadResult::Cancelled:
            std::fprintf(
                stderr, "error: %s was not read: the delimiter question went unanswered (give --delimiter)\n",
                o.table.c_str());
            return kFileError;
        default:
            return kFileError;
    }
    if (o.summary) batch::printSummary(session.buffer(), o.table);
    if (o.stats) batch::printStats(session.buffer(), session.coverInterpreter(), session.ui());
    if (tav::Status placed = placeCursorAndMarks(session, o); !placed) {
        session.report(placed);
        return kUsage;
    }
    if (!o.run.empty() || macro) {
        const tav::Status ran =
            macro ? tav::runMacro(session, dispatcher, *collection, *macro, false)
                  : tav::runStatements(session, dispatcher, o.run, collection ? &*collection : nullptr);
        session.report(ran);
        if (!ran) {
            // A table the statements left half done is neither saved nor exported.
            int status = kStatementFailed;
            if (!o.record.empty() && !writeRecording(session, o.record)) status = kFileError;
            return finishOutput(status);
        }
    }
    int status = kDone;
    if (!o.record.empty() && !writeRecording(session, o.record)) status = kFileError;
    if (!o.save.empty()) {
        const tav::Status saved = session.saveTable(o.save, progress);
        session.report(saved);
        if (!saved) status = kFileError;
    }
    for (const Export& e : o.exports) {
        const tav::Status exported = session.exportTable(e.layout, e.file, progress);
        session.report(exported);
        if (!exported) status = kFileError;
    }
    return finishOutput(status);
}
