#pragma once
// TArtDb: the species database — the species list ("ArtTab", one record per taxon name, accepted names
// and synonyms alike), the aggregate list ("ListTab": which taxa an aggregate contains), the current
// indicator value list ("ZwTab") and a small meta file. Positional accessors, imports from delimited
// text, and (art_db_lookup.cpp) the name lookup, synonymy and aggregate walks.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/menge.h"
#include "core/status.h"
#include "core/text.h"
#include "platform/progress.h"
#include "platform/ui_port.h"
#include "species/record_set.h"

namespace tav {

// Field positions of the species table.
namespace art {
inline constexpr int kPrim = 0, kGenus = 1, kSpecies = 2, kAutor = 3, kGross = 4, kSupp = 5, kFamilie = 6;
inline constexpr int kTriv01 = 7, kSys01 = 15, kSynRel = 27, kT01 = 28, kInfo01 = 40;
}  // namespace art

inline constexpr std::int64_t kMissingNumber = -999999999;

// One parsed field definition: name, type, length, required, index.
struct ArtDefRec {
    std::string nam, ty, le, req, ind;
    FieldType fty = FieldType::String;
    int fle = 36;
    bool freq = false;
    bool makesField = false;  // "S", "I", "F" (and "R" relations) make a field; "L" and others do not
    bool isList = false;      // "L": the list column of aggregate members
    KeyKind key = KeyKind::None;
};

// The layer information of the meta file.
struct SchichtRec {
    int InfoFieldNr = 1;
    std::vector<std::string> Codes;
    std::vector<std::string> Zusaetze;
};

// The settings the species database reads.
struct ArtDbSettings {
    int SystEinst = 1;  // current reference system, 1 … 12
    int ZeiEinst = 1;   // current indicator list, 1 … 99
    bool OhneAutor = false, ArtGross = false, Layers = false, Rem = false, ValidFilter = false,
         AccFilter = false;
    std::string Zusatzlist;
    char32_t DelimEinst = U'\t';
};

class TArtDb {
  public:
    // Opens the database named fname (its ".adb" file); missing stores are empty tables.
    TArtDb(const std::string& fname, const ArtDbSettings& settings, UiPort& ui);

    void SetupTables();
    void SelectArten();
    void SelectZW();
    // Makes indicator list n (1 … 99) the current one: the file named like the database with the
    // extension ".z" + n, and its format.
    void UseZwList(int n);
    // Indicator list n: its file, and the key of its meta line ("ZW" + n with two digits, "ZW07").
    std::string ZwFileName(int n) const;
    static std::string ZwKey(int n);
    // The number of the indicator list a meta line describes; nothing for the other lines.
    static std::optional<int> ZwNumberOf(std::string_view metaLine);

    // ---- definitions
    static ArtDefRec parseDef(std::string_view text, int position);
    static std::vector<std::string> GetListDefs();
    // Recreates table empty from the definitions (plus "ResField" with addScratch); a failure with an
    // error message when the first definition is neither a key nor a species relation.
    Status SetDefs(RecordSet& table, const std::vector<std::string>& defs, bool addScratch, int& listPos);

    // ---- imports. A refused record gives a warning ("FEHLER: …", "WARNUNG: …" for a member left out) and
    // the import goes on; what stops an import is an error, and the stores are then as they were. A
    // cancelled question or progress fails without a message.
    Status ImportTable(const std::string& fname, char32_t delim, Progress& pt);
    Status ImportZw(const std::string& fname, char32_t delim, Progress& pt, bool ask);
    // The same into list number (1 … 99) without a question, for scripts: an existing list is replaced (the
    // previous file kept as ".~z" + number), names are compared as the settings say.
    Status ImportZwQuietly(const std::string& fname, char32_t delim, Progress& pt, int number);

    // ---- meta file
    Status UpdateMeta(std::string_view m);
    Status ClearMeta();
    std::vector<std::string> GetZwNames() const;
    void GetZwFormat();
    void GetSchichtInfo();

    // ---- accessors by record key p
    bool exists(int p) const { return arten_.rowOfKey(p) >= 0; }
    std::string GetLat(int p) const;
    std::string GetFam(int p) const;
    std::string GetTriv(int p, int OC) const;
    std::string GetInfo(int p, int OC) const;
    std::int64_t GetSysNr(int p, int OC) const;
    std::string GetT(int p, int OC) const;
    int GetZ(int p) const;
    std::string GetTrivNames() const;
    std::string GetSysNames() const;
    std::string GetInfoNames() const;
    void GetAll(TMenge& M) const;
    std::string GetSysStates(int p, char& status) const;
    bool HasLayers(int p) const;
    bool LayerRem(std::string_view name) const;
    // A warning under a heading line for every reference to a taxon number that no record has.
    Status CheckVerweise() const;
    bool CheckArtDb() const;
    // The value of field f of the current indicator list for key p (f 0 is the key field).
    bool GetZw(int p, int f, double& x, std::string& s) const;
    // Text of any field of record p (by position); "" when p or the field does not exist.
    std::string field(int p, int position) const;
    // The key of the record whose taxon number (Sys01) is n; -1 when none.
    int keyOfTaxon(std::int64_t n) const;

    // ---- lookup (art_db_lookup.cpp). Every search returns its result and also leaves it in Ma.
    TMenge Search(std::string_view s, bool Query);
    // Records of Mg (or of the whole table) whose column begins with the folded prefix.
    TMenge DoSearch(std::string_view foldedPrefix, int column, const TMenge* Mg) const;
    // By a non-name column: OC 'F'/'f' Familie, 'I'/'i' Info n, 'N' Sys n, 'R' the key, 'T'/'t' Triv n.
    TMenge SearchInfo(char OC, int n, std::string_view s, bool seq);
    void RedToFilter();
    bool CheckFilter(int p) const;
    void RedToMatchOhneAutor(std::string_view s);
    std::string GetLatPlain(int p) const;
    int GetSynRec(int p) const;
    // 'R' the accepted name, 'S' the name valid in the current system, else the accepted name with Ma
    // the synonym group; -1 on a reference cycle or p < 0.
    int ScanSyn(char OC, int p);
    int SearchSyn(char OC, std::string_view s);
    // The synonym group of an accepted name, ascending.
    TMenge synonymGroup(int accepted) const;
    // Aggregates: 'U' one level up, 'D' all members downwards (Ma), 'A'/'Z' member listing into L,
    // 'R' listing of the aggregates that contain the name; others the top aggregate.
    int ScanAggr(char OC, int p, std::vector<std::string>* L, bool DoFilter);
    int SearchAggr(char OC, std::string_view s, std::vector<std::string>* L);
    std::string CheckAggr(std::string_view s);
    // True when the name is exactly one species of the database (the table readers ask this).
    bool isSpeciesName(std::string_view name);

    // ---- state, read as the rest of the program knows it
    const std::string& DbName() const { return dbName_; }
    const std::string& ArtTabName() const { return artTabName_; }
    const std::string& AggrTabName() const { return aggrTabName_; }
    const std::string& ZwTabName() const { return zwTabName_; }
    const std::string& MetaTabName() const { return metaTabName_; }
    const std::string& ZWFormat() const { return zwFormat_; }
    const RecordSet& SQLarten() const { return arten_; }
    const RecordSet& SQLaggr() const { return aggr_; }
    const RecordSet& SQLzw() const { return zw_; }
    // The result set of the last search, scan or reduction.
    const TMenge& Ma() const { return ma_; }
    const TMenge& Mb() const { return mb_; }
    int ZWi() const { return zwi_; }
    const SchichtRec& SchichtInfo() const { return schichtInfo_; }
    const ArtDbSettings& Settings() const { return settings_; }
    // What opening met: an error for every store that could not be read, a warning for every aggregate
    // entry that names no possible record (the stores still open). ok() when no store failed.
    const Status& openStatus() const { return openStatus_; }

    // ---- the changes callers make
    // The species and indicator tables for the species browser, which filters them, marks records in
    // the scratch field and edits values in place.
    RecordSet& editArten() { return arten_; }
    RecordSet& editZw() { return zw_; }
    // Name operations that unite or narrow search results leave their result where the searches do.
    void setMa(TMenge M) { ma_ = std::move(M); }
    // The current reference system (1 … 12).
    void setSystEinst(int n) { settings_.SystEinst = n; }
    // New settings of the work environment (the session applies them).
    void setSettings(const ArtDbSettings& s) { settings_ = s; }
    // Where the questions of the imports go.
    void setUi(UiPort& ui) { ui_ = &ui; }

  private:
    // Reads an import file whose first line must begin with the marker (folded); d receives the delimiter.
    Status openImportFile(const std::string& fname, char32_t delim, std::string_view foldedMarker,
                          std::string_view what, std::vector<std::string>& lines, std::string& d) const;
    // The rows whose folded genus and epithet are exactly these, for searches without jokers: a sorted
    // array of (hash of the folded name, row), rebuilt when the table has changed.
    std::vector<int> exactNameRows(std::string_view foldedGenus, std::string_view foldedSpecies);
    std::vector<std::pair<std::uint64_t, int>> exactNames_;
    std::uint64_t exactNamesAt_ = static_cast<std::uint64_t>(-1);
    std::vector<int> parentsOf(int key, bool DoFilter) const;
    std::string dbName_, artTabName_, aggrTabName_, zwTabName_, metaTabName_;
    std::string zwFormat_;
    RecordSet arten_, aggr_, zw_;
    TMenge ma_, mb_;
    int zwi_ = 1;
    SchichtRec schichtInfo_;
    ArtDbSettings settings_;
    UiPort* ui_;
    Status openStatus_;

    // The aggregate that a row of the aggregate list names, or -1 when its value is no record key: a
    // larger value would be cut short to another taxon.
    int aggregateOfRow(int row) const;
    std::vector<int> membersOf(int key) const;
    std::vector<std::string> readMeta() const;
    Status writeMeta(std::vector<std::string> lines) const;
    // The bytes of the meta file: the lines sorted, in the 8-bit code page when every character fits.
    static std::string metaBytes(std::vector<std::string> lines);
    // After a species list import: a warning for each indicator list some of whose species keys lead to no
    // record or to another taxon in the fresh species table.
    Status importZw(const std::string& fname, char32_t delim, Progress& pt, int number, bool ask);
    void warnOfStaleIndicatorLists(const RecordSet& fresh, Status& status) const;
    // The meta lines after merging m (see UpdateMeta), without writing them.
    std::vector<std::string> metaWith(std::string_view m) const;
};

}  // namespace tav
