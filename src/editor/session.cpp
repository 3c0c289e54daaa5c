#include "editor/session.h"

#include "editor/grid_control.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "core/file_io.h"
#include "core/text.h"

namespace tav {

namespace {

bool isUnnamedSpeciesDb(std::string_view name) {
    return name.empty() || upperFold(name) == "NONAME.ADB";
}

}  // namespace

std::string programCataloguePath() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::filesystem::path dir = ec ? std::filesystem::path(".") : exe.parent_path();
    const std::filesystem::path beside = dir / "tavolex.$ms";
    if (std::filesystem::exists(beside)) return beside.string();
    const std::filesystem::path installed = dir.parent_path() / "share" / "tavolex" / "tavolex.$ms";
    return std::filesystem::exists(installed) ? installed.string() : beside.string();
}

Session::Session(UiPort& frontEnd, std::optional<std::uint64_t> seed)
    : front_(frontEnd),
      settings_(catalogue_, "."),
      dialogUi_(catalogue_, frontEnd, &macro_),
      undo_(buffer_),
      seed_(seed ? *seed : Random::clockSeed()),
      random_(seed_) {
    buffer_.setUi(&dialogUi_);
    buffer_.addObserver(&modifiedFlag_);
    buffer_.addObserver(&margins_);
    // What the user typed reaches the table before any command or save sees it.
    commitEdit = [this] { tav::commitEdit(*this); };
    // A plain marking click starts a new anchor; clearing the marks forgets it.
    buffer_.setOnClearMarks([this] { markAnchor = previousAnchor = -1; });
}

Session::~Session() {
    buffer_.removeObserver(&modifiedFlag_);
    buffer_.removeObserver(&margins_);
}

Status Session::start(const StartOptions& options) {
    const std::string catalogueFile =
        options.catalogueFile.empty() ? programCataloguePath() : options.catalogueFile;
    if (Status s = loadCatalogue(catalogueFile); !s) return s;
    if (Status s = loadSettings(options); !s) return s;
    if (options.adjustSettings) {
        Status s = options.adjustSettings(settings_);
        if (!s) return s;
        report(s);
    }
    settingsSnapshot = settings_.record();
    fieldList.load(settings_.AngName, dialogUi_, settings_.Zusatzlist);
    applySettings();
    // What the clipboard holds at start was not copied for this program.
    rememberClipboard(*this);
    report(newTable());
    if (!options.speciesDb) {
        openNamedSpeciesDb();
    } else if (!options.speciesDb->empty()) {
        if (Status s = openSpeciesDb(*options.speciesDb, options.createSpeciesDb); !s) return s;
    }
    // A table that cannot be read leaves the new table; start-up goes on after saying why.
    if (!options.tableFile.empty())
        report(openTable(options.tableFile, options.tableLayout, noProgress()).status());
    return {};
}

Status Session::loadCatalogue(const std::string& file) {
    if (!catalogue_.LoadTexts(file))
        return Status::failure(Message::text(Severity::Error, missingCatalogueMessage(file)));
    return {};
}

Status Session::loadSettings(const StartOptions& options) {
    const std::string catalogueFile =
        options.catalogueFile.empty() ? programCataloguePath() : options.catalogueFile;
    const std::string programFolder = std::filesystem::path(catalogueFile).parent_path().string();
    settings_ = TProjectSettings(catalogue_, programFolder.empty() ? "." : programFolder,
                                 options.dataFolder.empty() ? systemDataFolder() : options.dataFolder);
    Status problems;
    switch (options.settingsSource) {
        case SettingsSource::Installation:
            problems = settings_.ReadIniSettings().status();
            if (settings_.quitRequested()) {
                // The user cancelled the question for the user name: there is nothing left to say.
                Status s;
                s.fail();
                return s;
            }
            // The program's own run keeps its scratch tables in the user's work folder. Runs over an
            // explicit settings file (batch jobs, tests) keep theirs private, so that they never touch
            // the work files of a desktop program running beside them.
            settings_.placeWorkFiles();
            break;
        case SettingsSource::File: {
            const std::string& file = options.settingsFile;
            settings_.setSettingsPath(file);
            settings_.SetDefaults();
            // Why the file could not be read is left out: the name says which file to look at.
            if (!fileExists(file)) return Status::failure("Kann " + file + " nicht öffnen.");
            problems = settings_.ReadFromFile(file);
            if (!problems) return Status::failure("Kann " + file + " nicht öffnen.");
            break;
        }
        case SettingsSource::Defaults:
            settings_.SetDefaults();
            break;
    }
    // What the settings files held that could not be used never stops start-up.
    for (const Message& m : problems.messages()) front_.showWarning(shownText(m));
    return {};
}

void Session::applySettings() {
    const TProjectSettings& s = settings_;
    catalogue_.setLanguage(languageOfSetting(s.Sprache));

    TableIoSettings io;
    io.DelimEinst = static_cast<char32_t>(s.Diversa.DelimEinst);
    io.QualiEinst = static_cast<char32_t>(s.Diversa.QualiEinst);
    io.Encoding = static_cast<ExportEncoding>(std::clamp(s.Diversa.ExportEncoding, 0, 3));
    buffer_.setIoSettings(io);

    CoverSettings cover;
    cover.DeckEinst = s.DeckEinst;
    cover.GesDeckEinst = s.GesDeckEinst;
    cover.NaAccept = s.Pruef.NaAccept;
    cover.Decimals = s.Diversa.Decimals;
    cover.DeckName = s.DeckName;
    Result<TDeckInter> deck = makeCoverInterpreter(cover);
    deck_ = std::move(deck.value());
    margins_.invalidate();
    coverStatus_ = deck.status();
    if (coverStatus_.ok()) report(coverStatus_);

    applySpeciesSettings();
}

ArtDbSettings Session::speciesSettings() const {
    const TProjectSettings& s = settings_;
    ArtDbSettings a;
    a.SystEinst = s.SystEinst;
    a.ZeiEinst = s.ZeiEinst;
    a.OhneAutor = s.Pruef.OhneAutor;
    a.ArtGross = s.Pruef.ArtGross;
    a.Layers = s.Pruef.Layers;
    a.Rem = s.Pruef.Rem;
    a.ValidFilter = s.Pruef.ValidFilter;
    a.AccFilter = s.Pruef.AccFilter;
    a.Zusatzlist = s.Zusatzlist;
    a.DelimEinst = static_cast<char32_t>(s.Diversa.DelimEinst);
    return a;
}

void Session::loadFieldList() {
    fieldList.load(settings_.AngName, dialogUi_, settings_.Zusatzlist);
    applySpeciesSettings();
}

void Session::applySpeciesSettings() {
    if (db_) {
        db_->setSettings(speciesSettings());
        TArtDb* db = db_.get();
        buffer_.setSpeciesNameTest([db](std::string_view name) { return db->isSpeciesName(name); });
    } else {
        buffer_.setSpeciesNameTest(nullptr);
    }
}

bool Session::anySelection() const {
    return std::any_of(grids_.begin(), grids_.end(), [](const TVGrid& g) { return g.selOn; });
}

void Session::keepDelimiterOfSettings() {
    buffer_.KeepDelim(true, buffer_.ioSettings().DelimEinst, buffer_.ioSettings().QualiEinst);
}

void Session::resetEditorState() {
    modified_ = false;
    windowStart = {};
    // The grids start afresh on the new table's first cell, in the grid of the header row names.
    activeGrid = 1;
    cursorCol = 0;
    cursorRow = 0;
    // The grids keep only what the desktop measured of them.
    for (int g = 1; g <= 4; ++g) {
        TVGrid fresh(g);
        fresh.visibleRows = grid(g).visibleRows;
        fresh.visibleCols = grid(g).visibleCols;
        grid(g) = fresh;
    }
    screenTop = {};
    markAnchor = previousAnchor = -1;
    lastMarking = 0;
    entryList = {};
    fileName_ = kUnnamedTable;
}

Status Session::newTable() {
    resetEditorState();
    const std::string& env = settings_.settingsPath();
    std::string templateFile;
    if (!env.empty() && !isNoSettingsFile(env) && fileExists(settings_.templateFilePath()))
        templateFile = settings_.templateFilePath();
    Status s = buffer_.LoadDefault(templateFile);
    modified_ = false;
    return s;
}

Result<ReadResult> Session::openTable(const std::string& file, int layout, Progress& progress) {
    resetEditorState();
    Result<ReadResult> r = buffer_.LoadFile(layout, file, progress);
    if (!r) {
        // What went wrong with the template comes after what went wrong with the table.
        r.status().merge(newTable());
        return r;
    }
    modified_ = false;
    if (layout == kLayoutNative) {
        fileName_ = file;
    } else if (const std::string named = replaceExtension(file, ".tab"); !fileExists(named)) {
        fileName_ = named;
        modified_ = true;
    }
    return r;
}

Status Session::switchEnvironment(const std::string& file) {
    const std::string& current = settings_.settingsPath();
    if (!current.empty() && !isNoSettingsFile(current)) {
        report(settings_.WriteIniSettings());
        settings_.deleteWorkFiles();
    }
    if (Status s = settings_.switchEnvironment(file); !s) return s;
    settings_.SetDefaults();
    Status read = settings_.ReadFromFile(file);
    for (const Message& m : read.messages()) front_.showWarning(shownText(m));
    settingsSnapshot = settings_.record();
    db_.reset();
    fieldList.load(settings_.AngName, dialogUi_, settings_.Zusatzlist);
    applySettings();
    openNamedSpeciesDb();
    return newTable();
}

Status Session::saveTable(const std::string& file, Progress& progress) {
    Status s = buffer_.SaveTable(file, progress);
    if (!s) return s;
    fileName_ = file;
    modified_ = false;
    undo_.clear();  // a saved table starts its history afresh
    return s;
}

Status Session::exportTable(int layout, const std::string& file, Progress& progress) {
    return buffer_.StoreFile(layout, file, progress, false);
}

Status Session::useSpeciesDb(const std::string& file, bool create) {
    db_.reset();
    if (create && fileExists(file)) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
        if (ec) return Status::failure("Kann " + file + " nicht ersetzen (" + ec.message() + ").");
    }
    if (Status s = openSpeciesDb(file, create); !s) return s;
    settings_.ArtListName = file;
    return {};
}

Status Session::openSpeciesDb(const std::string& file, bool create) {
    // A FIFO or device would block the opening or be read raw.
    if (Status input = fileExists(file) ? checkInputFile(file) : Status(); !input.ok())
        return Status::failure("Kann " + file + " nicht öffnen (" + input.plain() + ").");
    if (!create && !fileExists(file)) return Status::failure("Kann " + file + " nicht öffnen.");
    auto db = std::make_unique<TArtDb>(file, speciesSettings(), dialogUi_);
    Status s = db->openStatus();
    if (s.ok()) {
        db_ = std::move(db);
        applySpeciesSettings();
    }
    return s;
}

void Session::openNamedSpeciesDb() {
    const std::string& env = settings_.settingsPath();
    const std::string& name = settings_.ArtListName;
    if (env.empty() || isNoSettingsFile(env) || isUnnamedSpeciesDb(name) || !fileExists(name)) return;
    // Without its database the program still works on tables: the reasons are shown, not returned.
    report(openSpeciesDb(name, false));
}

Status Session::importSpeciesList(const std::string& file, char32_t delimiter, Progress& progress) {
    if (!db_) return Status::failure("Keine Artenliste geöffnet.");
    Status s = db_->ImportTable(file, delimiter, progress);
    if (s) s.merge(db_->CheckVerweise());
    return s;
}

Status Session::importIndicatorList(const std::string& file, char32_t delimiter, Progress& progress,
                                    std::optional<int> number) {
    if (!db_) return Status::failure("Keine Artenliste geöffnet.");
    Status s = number ? db_->ImportZwQuietly(file, delimiter, progress, *number)
                      : db_->ImportZw(file, delimiter, progress, true);
    if (s) settings_.ZeiEinst = static_cast<std::uint8_t>(db_->ZWi());
    return s;
}

void Session::useIndicatorList(int number) {
    settings_.ZeiEinst = static_cast<std::uint8_t>(number);
    if (db_) db_->UseZwList(number);
}

std::vector<SpeciesMatch> Session::lookupSpecies(const std::string& name) {
    std::vector<SpeciesMatch> out;
    if (!db_) return out;
    const TMenge found = db_->Search(name, db_->Settings().OhneAutor);
    for (int p : found.elements()) {
        if (inputFilterOn && !inputFilter.empty() && !inputFilter.Element(p)) continue;
        out.push_back({p, db_->GetLat(p), db_->ScanSyn('R', p)});
    }
    return out;
}

std::string Session::shownText(const Message& m) const {
    return m.render([this](const std::string& key) { return catalogue_.messageText(key); });
}

void Session::report(const Status& status) {
    for (const Message& m : status.messages()) {
        const std::string text = shownText(m);
        const MessageKind kind = m.severity() == Severity::Error     ? MessageKind::Error
                                 : m.severity() == Severity::Warning ? MessageKind::Warning
                                                                     : MessageKind::Info;
        front_.showMessage(kind, text);
    }
}

}  // namespace tav
