// tavolex-batch: the headless runner. Reads a table, writes it back or exports it, and reports what it
// did. Messages go to stderr with their prefix; results to stdout.

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_io.h"
#include "core/numbers.h"
#include "env/catalogue.h"
#include "env/dialog_ui.h"
#include "env/project_settings.h"
#include "platform/script_ui.h"
#include "species/art_db.h"
#include "table/cell_stats.h"
#include "table/edit_buffer.h"

namespace {

constexpr int kDone = 0;
constexpr int kUsage = 2;
constexpr int kFileError = 3;

const char* kUsageText =
    "usage: tavolex-batch [options] TABLE\n"
    "  --import-layout N      read TABLE as text layout N (3 normal, 4 transposed) instead of native\n"
    "  --delimiter C          field delimiter of text layouts: one character, or \"tab\"\n"
    "  --qualifier C          text qualifier of text layouts (default none)\n"
    "  --export-encoding N    encoding of text exports: 0 UTF-16, 1 UTF-8, 2 Windows-1252, 3 ASCII\n"
    "  --env FILE             work environment settings file (language, delimiters, encodings, cover-code\n"
    "                         system); options given on the command line win over it\n"
    "  --species-db FILE      species database (.adb) to open; text imports recognise its species\n"
    "  --import-species-list TEXT  import a species list text into the --species-db database first\n"
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
    "  --version, --help\n"
    "Every option that takes a value is given at most once, except --lookup and --export-layout.\n"
    "Exit status: 0 done, 2 usage error, 3 a file could not be read or written.\n";

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
    std::vector<std::string> lookups;
    std::string save;
    std::vector<Export> exports;
};

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

const char* encodingName(tav::TextEncoding e) {
    switch (e) {
        case tav::TextEncoding::Utf8:
            return "UTF-8";
        case tav::TextEncoding::Utf8Bom:
            return "UTF-8 with byte-order mark";
        case tav::TextEncoding::Utf16LE:
            return "UTF-16 LE";
        case tav::TextEncoding::Utf16BE:
            return "UTF-16 BE";
        case tav::TextEncoding::Windows1252:
            return "Windows-1252";
    }
    return "?";
}

void printSummary(const tav::TEditBuffer& b, const std::string& file) {
    std::int64_t filled = 0;
    for (const tav::TLongList* part : {&b.IrowK, &b.IrowA})
        for (std::int32_t r : part->items())
            b.L.rows[r].cells.forEach([&](std::uint32_t, tav::TextHandle) { ++filled; });
    std::printf("table: %s\n", file.c_str());
    std::printf("encoding: %s\n", encodingName(b.LastRead.encoding));
    std::printf("releves: %d\n", b.GetColCount());
    std::printf("header rows: %d\n", b.GetRowCount('K'));
    std::printf("species rows: %d\n", b.GetRowCount('A'));
    std::printf("filled cells: %lld\n", static_cast<long long>(filled));
    for (int i = 0; i < b.GetRowCount('K'); ++i) {
        std::string name(b.GetZl('K', i));
        // The whole first character of the type: a single byte of a longer one is not text.
        const std::string_view type = b.Get('K', -3, i);
        const std::string first = type.empty() ? " " : tav::charLeft(type, 1);
        std::printf("  %s %s\n", first.c_str(), name.c_str());
    }
}

tav::TDeckInter coverSystem(const Options& o, tav::CoverSettings settings, tav::UiPort& ui,
                            std::string& problem) {
    if (!o.coverFile.empty()) {
        settings.DeckEinst = 10;
        settings.DeckName = o.coverFile;
    } else if (o.coverSystem > 0) {
        settings.DeckEinst = o.coverSystem;
    }
    return tav::makeCoverInterpreter(settings, ui, &problem);
}

// A total with Decimals digits after the point, as the program writes computed values; a total too large
// for that to be readable (beyond 15 significant digits) in the short form with an exponent.
std::string formatTotal(double x, int decimals) {
    return std::fabs(x) < 1e15 ? tav::formatNumber(x, decimals) : tav::formatNumber(x);
}

void printStats(const tav::TEditBuffer& b, const tav::TDeckInter& deck, tav::UiPort& ui) {
    tav::CellStats stats(b, deck);
    const tav::CellStats::Summary s = stats.summarise(true);
    const int decimals = deck.settings().Decimals;
    const int cols = b.GetColCount();
    std::string out = "Art;Frequenz;Stetigkeit;Gesamtdeckung\n";
    for (int r = 0; r < b.GetRowCount('A'); ++r) {
        out += b.GetZl('A', r);
        out += ';' + std::to_string(s.rowFreq[r]) + ';' +
               tav::formatNumber(cols ? static_cast<double>(s.rowFreq[r]) / cols : 0.0, decimals) + ';' +
               formatTotal(s.rowCover[r], decimals) + '\n';
    }
    out += "Aufnahme;Artenzahl;Gesamtdeckung\n";
    for (int c = 0; c < cols; ++c)
        out += std::to_string(c + 1) + ';' + std::to_string(s.colCount[c]) + ';' +
               formatTotal(s.colCover[c], decimals) + '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    stats.counts().CheckErrCount(deck, ui);
}

// Results printed to stdout that never arrived (a full disk, a closed pipe) are a failed run.
int finishOutput(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "error: the results could not be written to the standard output\n");
        return kFileError;
    }
    return status;
}

// The catalogue beside the program, or in share/tavolex of its installation prefix.
std::string cataloguePath() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::filesystem::path dir = ec ? std::filesystem::path(".") : exe.parent_path();
    const std::filesystem::path beside = dir / "tavolex.$ms";
    if (std::filesystem::exists(beside)) return beside.string();
    const std::filesystem::path installed = dir.parent_path() / "share" / "tavolex" / "tavolex.$ms";
    return std::filesystem::exists(installed) ? installed.string() : beside.string();
}

// Shows the progress of long reads and writes on a terminal only.
class TerminalProgress : public tav::Progress {
  public:
    void setStatus(std::string_view text) override {
        std::fprintf(stderr, "\r%.*s", static_cast<int>(text.size()), text.data());
        shown_ = true;
    }
    void hideStatus() override {
        if (shown_) std::fprintf(stderr, "\r\033[K");
        shown_ = false;
    }

  private:
    bool shown_ = false;
};

int parse(int argc, char** argv, Options& o) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    // An option that takes a value is given once, except the two documented as repeatable: a second
    // --save or --env would otherwise silently replace the first.
    std::vector<std::string_view> given;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view a = args[i];
        if (a.size() > 2 && a.substr(0, 2) == "--" && a != "--lookup" && a != "--export-layout" &&
            a != "--summary" && a != "--stats") {
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
        if (a == "--summary") {
            o.summary = true;
        } else if (a == "--stats") {
            o.stats = true;
        } else if (a == "--env") {
            auto v = value(a);
            if (!v || v->empty()) return usageError("--env takes a file name");
            o.env = *v;
        } else if (a == "--species-db" || a == "--import-species-list" || a == "--lookup") {
            auto v = value(a);
            if (!v || v->empty()) return usageError(std::string(a) + " takes a value");
            if (a == "--species-db") o.speciesDb = *v;
            if (a == "--import-species-list") o.speciesList = *v;
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
            return usageError("more than one table given: " + o.table + " and " + std::string(a));
        }
    }
    if (!o.delimiter.empty() && oneCharacter(o.delimiter) == oneCharacter(o.qualifier))
        return usageError("--delimiter and --qualifier must differ");
    if (!o.coverFile.empty() && o.coverSystem > 0)
        return usageError("--cover-system and --cover-file exclude each other");
    if ((!o.speciesList.empty() || !o.lookups.empty()) && o.speciesDb.empty())
        return usageError("--import-species-list and --lookup need --species-db");
    if (o.table.empty() && o.speciesDb.empty()) return usageError("no table given");
    return kDone;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (int r = parse(argc, argv, o); r != kDone) return r < 0 ? kDone : r;
    // An interrupted save must not leave its hidden temporary file beside the user's table.
    tav::installTempFileCleanup();

    tav::ScriptUi script({}, stderr);
    tav::Catalogue catalogue;
    const std::string catalogueFile = cataloguePath();
    if (!catalogue.LoadTexts(catalogueFile)) {
        script.showError(tav::missingCatalogueMessage(catalogueFile));
        return kFileError;
    }
    // A FIFO or device given as the species database would block its opening or be read raw.
    if (std::string why;
        !o.speciesDb.empty() && tav::fileExists(o.speciesDb) && !tav::checkInputFile(o.speciesDb, why)) {
        script.showError("Kann " + o.speciesDb + " nicht öffnen (" + why + ").");
        return kFileError;
    }
    tav::MacroAnswers macro;
    tav::DialogUi ui(catalogue, script, &macro);
    tav::TEditBuffer buffer;
    tav::CoverSettings cover;
    tav::ArtDbSettings species;
    if (!o.env.empty()) {
        // The work environment sets what the command line does not.
        tav::TProjectSettings env(catalogue, std::filesystem::path(catalogueFile).parent_path().string());
        env.setSettingsPath(o.env);
        env.SetDefaults();
        std::vector<std::string> problems;
        if (!tav::fileExists(o.env) || !env.ReadFromFile(o.env, &problems)) {
            script.showError("Kann " + o.env + " nicht öffnen.");
            return kFileError;
        }
        for (const std::string& p : problems) script.showWarning(p);
        catalogue.setLanguage(tav::languageOfSetting(env.Sprache));
        buffer.IoSettings.DelimEinst = static_cast<char32_t>(env.Diversa.DelimEinst);
        buffer.IoSettings.QualiEinst = static_cast<char32_t>(env.Diversa.QualiEinst);
        buffer.IoSettings.Encoding =
            static_cast<tav::ExportEncoding>(std::clamp(env.Diversa.ExportEncoding, 0, 3));
        cover.DeckEinst = env.DeckEinst;
        cover.GesDeckEinst = env.GesDeckEinst;
        cover.NaAccept = env.Pruef.NaAccept;
        cover.Decimals = env.Diversa.Decimals;
        cover.DeckName = env.DeckName;
        species.SystEinst = env.SystEinst;
        species.ZeiEinst = env.ZeiEinst;
        species.OhneAutor = env.Pruef.OhneAutor;
        species.ArtGross = env.Pruef.ArtGross;
        species.Layers = env.Pruef.Layers;
        species.Rem = env.Pruef.Rem;
        species.ValidFilter = env.Pruef.ValidFilter;
        species.AccFilter = env.Pruef.AccFilter;
        species.DelimEinst = static_cast<char32_t>(env.Diversa.DelimEinst);
    }
    if (o.language >= 0) catalogue.setLanguage(static_cast<tav::Language>(o.language));
    buffer.Ui = &ui;
    if (!o.qualifier.empty()) buffer.IoSettings.QualiEinst = *oneCharacter(o.qualifier);
    if (!o.delimiter.empty()) {
        // A delimiter given on the command line answers the delimiter question of text imports; the
        // qualifier goes with it, from the command line or else from the work environment.
        buffer.IoSettings.DelimEinst = *oneCharacter(o.delimiter);
        buffer.KeepDelim(true);
        buffer.KeptDelim = buffer.IoSettings.DelimEinst;
        buffer.KeptCte = buffer.IoSettings.QualiEinst;
    }
    if (buffer.IoSettings.QualiEinst != 0 && buffer.IoSettings.QualiEinst == buffer.IoSettings.DelimEinst)
        // A qualifier that is also the delimiter would glue the fields together.
        return usageError(
            "the delimiter and the qualifier must differ (one of them comes from --env or is the default tab "
            "delimiter)");
    if (o.exportEncoding >= 0)
        buffer.IoSettings.Encoding = static_cast<tav::ExportEncoding>(o.exportEncoding);

    TerminalProgress terminal;
    tav::Progress& progress = ::isatty(STDERR_FILENO) ? terminal : tav::noProgress();

    std::unique_ptr<tav::TArtDb> db;
    if (!o.speciesDb.empty()) {
        if (o.speciesList.empty() && !tav::fileExists(o.speciesDb)) {
            script.showError("Kann " + o.speciesDb + " nicht öffnen.");
            return kFileError;
        }
        db = std::make_unique<tav::TArtDb>(o.speciesDb, species, ui);
        const tav::Status& opened = db->openStatus();
        for (const tav::Message& m : opened.messages())
            if (m.severity() == tav::Severity::Error) script.showError(m.plain());
        for (const tav::Message& m : opened.messages())
            if (m.severity() == tav::Severity::Warning) script.showWarning(m.plain());
        if (!opened.ok()) return kFileError;
        if (!o.speciesList.empty()) {
            std::vector<std::string> errors;
            const bool ok = db->ImportTable(o.speciesList, species.DelimEinst, progress, errors);
            if (ok) db->CheckVerweise(errors);
            for (const std::string& e : errors)
                if (!e.empty()) script.showWarning(e);
            if (!ok) return kFileError;
        }
        // A ";" inside a name would shift the fields of the output line: it becomes "," as in table cells.
        auto field = [](std::string s) {
            std::replace(s.begin(), s.end(), ';', ',');
            return s;
        };
        for (const std::string& name : o.lookups) {
            const tav::TMenge found = db->Search(name, species.OhneAutor);
            for (int p : found.elements())
                std::printf("%d;%s;%d\n", p, field(db->GetLat(p)).c_str(), db->ScanSyn('R', p));
            if (found.empty()) std::printf("0;%s;-1\n", field(name).c_str());
        }
        buffer.IsSpeciesName = [&db](std::string_view name) { return db->isSpeciesName(name); };
    }
    if (o.table.empty()) return finishOutput(kDone);

    // The cover-code system is settled before the table is read, so that an unusable definition file
    // stops the run before anything is printed or written.
    std::optional<tav::TDeckInter> deck;
    if (o.stats || !o.coverFile.empty()) {
        std::string problem;
        deck = coverSystem(o, cover, ui, problem);
        if (!problem.empty()) {
            script.showError(problem);
            return kFileError;
        }
    }

    switch (buffer.LoadFile(o.importLayout, o.table, progress)) {
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
    if (o.summary) printSummary(buffer, o.table);
    if (o.stats) printStats(buffer, *deck, ui);
    int status = kDone;
    if (!o.save.empty() && !buffer.SaveTable(o.save, progress)) status = kFileError;
    for (const Export& e : o.exports)
        if (!buffer.StoreFile(e.layout, e.file, progress, false)) status = kFileError;
    return finishOutput(status);
}
