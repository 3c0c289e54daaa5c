#pragma once
// Session: everything that lives for the whole program run, owned in one place so that the desktop
// window and the batch runner are both mere views of it. It holds the settings, the catalogue, the
// dialog layer over the front end's port, the one table buffer, the cover-code interpreter, the species
// database (or none), the undo and recording lists, the random generator and the editor state that
// every command shares (active grid, window start, file name, modified, busy and abort flags).
//
// Start-up and the file operations report information and warnings through the port as they go and
// return their failure as a Status for the front end to show. The one error shown here is what start-up
// goes on without: a template or a table named at start that cannot be read (start-up still succeeds).

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/random.h"
#include "core/status.h"
#include "editor/field_list.h"
#include "editor/margins.h"
#include "editor/recording_list.h"
#include "editor/tv_grid.h"
#include "editor/undo_list.h"
#include "env/catalogue.h"
#include "env/dialog_ui.h"
#include "env/macro_answers.h"
#include "env/project_settings.h"
#include "platform/progress.h"
#include "platform/ui_port.h"
#include "species/art_db.h"
#include "table/edit_buffer.h"
#include "table/table_change.h"
#include "values/deck_inter.h"

namespace tav {

// The name of a table that has no file yet.
inline constexpr std::string_view kUnnamedTable = "NoName.tab";

// Where the settings of a run come from.
enum class SettingsSource {
    Installation,  // the work environment the installation file names (the desktop program)
    File,          // an explicitly given settings file; failing to read it fails start-up
    Defaults,      // no work environment: the program's defaults
};

struct StartOptions {
    // The text catalogue; empty: beside the program or in share/tavolex of its installation prefix.
    std::string catalogueFile;
    // The shared data folder; empty: the system's (see systemDataFolder).
    std::string dataFolder;
    SettingsSource settingsSource = SettingsSource::Installation;
    std::string settingsFile;  // with SettingsSource::File
    // Runs once the settings are read and before they reach the objects of the run, so that a front end
    // can lay its own options (a command line) over the work environment. A failure ends start-up.
    std::function<Status(TProjectSettings&)> adjustSettings;
    // The species database: unset opens the one the work environment names (when a settings file was
    // read and the database exists; a failure leaves none open); an empty text opens none; a file name
    // opens that one, and failing to open it fails start-up.
    std::optional<std::string> speciesDb;
    // With an explicit speciesDb: a missing database is created empty (to import a species list into).
    bool createSpeciesDb = false;
    // The table to open last, in the layout given; empty: the new table from the template stays.
    std::string tableFile;
    int tableLayout = kLayoutNative;
};

// The first releve and the first header and species rows the grids show.
struct WindowStart {
    int releve = 0;
    int headerRow = 0;
    int speciesRow = 0;
};

// What "Suchen" and "Ersetzen" look for, as the find dialog last set it.
struct SearchOptions {
    std::string text;
    std::string replacement;
    bool matchCase = false;
    bool wholeWord = false;  // the whole field must equal the text
};

// The species entered into one releve, in the order of entry ('<name>;<n>'), for the species list.
struct EntryList {
    std::vector<std::string> names;
    int releve = -1;   // the releve they were entered into
    int releves = -1;  // the number of releves then
};

// The columns of the species list at start: the cover only.
inline constexpr const char* kDefaultSpeciesListColumns = "00100000";

// One record a species lookup found.
struct SpeciesMatch {
    int key = 0;
    std::string name;
    int acceptedKey = -1;
};

// The choices of the similarity analyses, kept for the whole run: the dialogs open with the last ones.
struct SimilarityChoices {
    int OC = 0;           // comparison mode
    int OcSimMain = 0;    // family of measures
    int OcSim = 0;        // measure code
    int OCclu = 1;        // output: 1 show, 3 into the table, 4 ranked references, 5 … 8 clustering
    int nRang = 0;        // ranks of output 4 (0 all)
    int reSim = 0;        // answer of the measure dialog
    int rClu = 0;         // answer of the output dialog
    double FiltFreq = 0;  // minimal occurrence: constancy below 1, frequency from 1; ≤ 0 none
    double MinDeck = 0;   // minimal cover weight
    double MinRang = 0.00001;
    double qu = 0.5;  // quantile of measure 11
    std::string Data = "1000";
};

class Session {
  public:
    // frontEnd answers the dialogs the macro layer leaves open and shows the messages; it must outlive
    // the session. Without a seed the random generator is seeded from the clock.
    explicit Session(UiPort& frontEnd, std::optional<std::uint64_t> seed = std::nullopt);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Start-up in the order the objects depend on each other: catalogue, data folder, settings, the
    // settings applied to every object, the new table from the template, the species database, the
    // table named by the front end.
    Status start(const StartOptions& options);

    // Lays the current settings onto every object of the run: catalogue language, the buffer's text
    // layout settings, the cover-code interpreter, the species database's settings and the buffer's
    // species-name test. Call it after every change of the settings.
    void applySettings();

    // Failed with the reason when the configured cover-code system could not be used (system 1 serves
    // instead). Set by applySettings, which reports only the information about a missing definition
    // file; the front end decides whether the run can go on without the system.
    const Status& coverStatus() const { return coverStatus_; }

    // Text imports take the delimiter and qualifier of the settings without asking for them.
    void keepDelimiterOfSettings();

    // ---- files
    // A new table from the template of the work environment (the minimal empty table when there is
    // none, or it cannot be read: the status says why), unnamed and unmodified.
    Status newTable();
    // Reads a table file (layout 1) or a text layout. A table file gives the current file name; an
    // import is named after the file with ".tab" and marked modified, unless such a table exists (then
    // it stays unnamed, so saving cannot overwrite it without asking). A table that could not be read
    // leaves a new table from the template; the status holds why, followed by any trouble with the
    // template, and the value tells a cancelled or aborted read from an unreadable file.
    Result<ReadResult> openTable(const std::string& file, int layout, Progress& progress);
    // Writes the table in the native layout under file (the previous version becomes the backup); the
    // file becomes the current file name and the table counts as saved.
    Status saveTable(const std::string& file, Progress& progress);
    // Writes the whole table in a text layout; the table keeps its name and modified flag.
    Status exportTable(int layout, const std::string& file, Progress& progress);

    // Leaves the work environment (its settings written, its work files deleted) and takes the one in
    // file (created empty when missing) as at start: its settings, its species database, a new table.
    Status switchEnvironment(const std::string& file);

    // ---- species database
    // Imports a species list with fields separated by delimiter into the open database; the messages
    // of the import are warnings.
    Status importSpeciesList(const std::string& file, char32_t delimiter, Progress& progress);
    // Imports an indicator list into the open database: into list number without a question, or without
    // a number into the list the user names. The imported list becomes the current one of the settings.
    Status importIndicatorList(const std::string& file, char32_t delimiter, Progress& progress,
                               std::optional<int> number);
    // Makes indicator list number (1 … 99) the current one: in the settings and in the open database.
    void useIndicatorList(int number);
    // Opens the species database in file (a new empty one with create, replacing what was there) and
    // names it in the settings.
    Status useSpeciesDb(const std::string& file, bool create);
    // The records a name finds; none when there is no database.
    std::vector<SpeciesMatch> lookupSpecies(const std::string& name);

    // ---- the objects of the run
    TProjectSettings& settings() { return settings_; }
    const TProjectSettings& settings() const { return settings_; }
    const Catalogue& catalogue() const { return catalogue_; }
    // Every layer asks its questions here: a running macro answers first, then the front end.
    DialogUi& ui() { return dialogUi_; }
    MacroAnswers& macroAnswers() { return macro_; }
    // A message as the user reads it: its catalogue keys in the current language.
    std::string shownText(const Message& m) const;
    TEditBuffer& buffer() { return buffer_; }
    const TEditBuffer& buffer() const { return buffer_; }
    TDeckInter& coverInterpreter() { return deck_; }
    TArtDb* speciesDb() { return db_.get(); }
    UndoList& undoList() { return undo_; }
    // The statistics the margins show, kept until the table changes.
    MarginCache& margins() { return margins_; }
    RecordingList& recordingList() { return recording_; }
    const RecordingList& recordingList() const { return recording_; }
    Random& random() { return random_; }
    std::uint64_t seed() const { return seed_; }

    // ---- shared editor state
    int activeGrid = 0;  // 1 … 4; 0 until a table is shown (a new or opened table starts in grid 1)
    // The cursor of the active grid in buffer coordinates, 0-based: releve column and header or species
    // row, as the recording and the cursor commands read it.
    int cursorCol = 0;
    int cursorRow = 0;
    // The four grids' own state: grid(1) … grid(4).
    TVGrid& grid(int typ) { return grids_[static_cast<std::size_t>(std::clamp(typ, 1, 4) - 1)]; }
    const TVGrid& grid(int typ) const { return grids_[static_cast<std::size_t>(std::clamp(typ, 1, 4) - 1)]; }
    // The width of the left grids and the height of the upper ones in pixels as the desktop shows
    // them; the boundary commands start from these while the settings hold no size.
    int shownLeftWidth = 300;
    int shownUpperHeight = 200;
    // Some grid shows a selection rectangle.
    bool anySelection() const;
    // The first row of each part and the first releve the screen shows (the window start is where the
    // grids' pages begin, a little before).
    WindowStart screenTop;
    SearchOptions search;
    EntryList entryList;
    // "0"/"1" per column of the species list of a releve (see releve_taxa.h).
    std::string speciesListColumns = kDefaultSpeciesListColumns;
    bool listContentsInMargin = false;
    // The input filter: records of the species database that name lookups offer while it is on.
    TMenge inputFilter;
    bool inputFilterOn = false;
    // The header-field list (setting AngName), read at start and by "Angaben wählen".
    FieldList fieldList;
    // Reads the header-field list of the settings; the additions of its "$/Z" line reach the name checks
    // of the species database.
    void loadFieldList();
    // Marking clicks: the index of the last plain click and the one before (-1 for none), and what the
    // last click marked (0 nothing yet, 1 rows, 2 columns).
    int markAnchor = -1;
    int previousAnchor = -1;
    int lastMarking = 0;
    WindowStart windowStart;
    bool busy = false;
    bool abortRequested = false;
    const std::string& fileName() const { return fileName_; }
    // Renames the table without writing it ("Tabelle temporär machen", a save under a new name).
    void setFileName(std::string name) { fileName_ = std::move(name); }
    bool modified() const { return modified_; }
    void setModified(bool m) { modified_ = m; }

    // The eight text variables of the macros, numbered 1 … 8 by the user (0 … 7 here); empty at start and
    // kept for the whole run.
    std::array<std::string, 8> variables;
    // The settings as they were read at start ("Zwischenspeichern" takes a new copy).
    RProjectSettings settingsSnapshot;
    // Grids 1 … 4 (0 … 3 here) locked against editing; not stored.
    std::array<bool, 4> gridLocked{};
    // The menus show each caption after its command number ("Anweisungsnummern anzeigen").
    bool showCommandNumbers = false;
    // A macro runs statement by statement, each shown before it runs.
    bool stepMode = false;
    SimilarityChoices similarity;
    // The invalid cover codes the running command met: emptied before each command, reported once after
    // it. Commands that read covers add their counts here.
    CoverCounts coverCounts;
    // Writes the text of the cell being edited into the table; the grid that edits sets it. Runs before
    // every command and every save, so that a command sees what the user typed.
    std::function<void()> commitEdit;

    // The front end's progress display (status text, bar, Esc); nothing is shown until it sets one.
    Progress& progress() { return *progress_; }
    void setProgress(Progress* p) { progress_ = p ? p : &noProgress(); }

    // Shows the messages of a status through the front end, catalogue keys in the current language.
    void report(const Status& status);

  private:
    std::array<TVGrid, 4> grids_{TVGrid(1), TVGrid(2), TVGrid(3), TVGrid(4)};
    // Every change of the table's contents or order marks it modified; marking and replacing the whole
    // table (opening, a new table) do not.
    class ModifiedFlag : public TableObserver {
      public:
        explicit ModifiedFlag(bool& flag) : flag_(flag) {}
        void tableChanged(const TableChange& c) override { note(c); }
        void tableReverted(const TableChange& c) override { note(c); }

      private:
        void note(const TableChange& c) {
            if (c.kind != TableChange::Kind::Marks && c.kind != TableChange::Kind::Replace) flag_ = true;
        }
        bool& flag_;
    };

    Status loadCatalogue(const std::string& file);
    Status loadSettings(const StartOptions& options);
    Status openSpeciesDb(const std::string& file, bool create);
    void openNamedSpeciesDb();
    ArtDbSettings speciesSettings() const;
    void applySpeciesSettings();
    void resetEditorState();

    UiPort& front_;
    Catalogue catalogue_;
    TProjectSettings settings_;
    MacroAnswers macro_;
    DialogUi dialogUi_;
    TEditBuffer buffer_;
    TDeckInter deck_;
    std::unique_ptr<TArtDb> db_;
    UndoList undo_;
    RecordingList recording_;
    std::uint64_t seed_;
    Random random_;
    Status coverStatus_;
    std::string fileName_{kUnnamedTable};
    Progress* progress_ = &noProgress();
    bool modified_ = false;
    ModifiedFlag modifiedFlag_{modified_};
    MarginCache margins_{buffer_, deck_};
};

// The catalogue of the running program: beside it, or in share/tavolex of its installation prefix.
std::string programCataloguePath();

}  // namespace tav
