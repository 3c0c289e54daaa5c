#pragma once
// RecordSet: an in-memory table of typed, named fields — the species list, the aggregate list and the
// indicator value lists are each one. The whole table is loaded from and saved to its file at once; the
// file is an SQLite database used only as a container (one table of field definitions, one of rows), so
// that field names may repeat in letter case or carry any letters. Field types, widths and required flags
// are enforced here, not by SQLite. Filters are parsed into a tree and evaluated in memory: user text never
// becomes SQL.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/menge.h"
#include "core/status.h"

namespace tav {

enum class FieldType { String, Integer, Float };

// The largest primary key: the species database keeps record keys in TMenge sets, which hold no larger
// element, and a larger key would be lost or come back as another record.
inline constexpr std::int64_t kMaxRecordKey = TMenge::kCapacity - 1;
enum class KeyKind { None, Primary, SpeciesRelation };

struct FieldDef {
    std::string name;
    FieldType type = FieldType::String;
    int width = 36;  // string fields: most characters a value may have
    bool required = false;
    KeyKind key = KeyKind::None;
    bool operator==(const FieldDef&) const = default;
};

// Rows of one column sorted by their value folded to upper case (the program's folding), for prefix
// searches: every row whose folded value begins with a folded prefix is found by one binary search.
class FoldedIndex {
  public:
    struct Entry {
        std::string folded;
        int row;
    };
    // Rows whose folded value begins with foldedPrefix, in index order.
    std::vector<int> withPrefix(std::string_view foldedPrefix) const;
    // First position whose value is not below foldedPrefix.
    std::size_t lowerBound(std::string_view foldedPrefix) const;
    // Positions [first, last) of the entries that begin with foldedPrefix, by binary searches only.
    std::pair<std::size_t, std::size_t> range(std::string_view foldedPrefix) const;
    const std::vector<Entry>& entries() const { return entries_; }

  private:
    friend class RecordSet;
    std::vector<Entry> entries_;
};

class RecordSet {
  public:
    RecordSet();
    ~RecordSet();
    RecordSet(RecordSet&&) noexcept;
    RecordSet& operator=(RecordSet&&) noexcept;

    // ---- structure: defining fields empties the table
    void define(std::vector<FieldDef> fields);
    const std::vector<FieldDef>& fields() const;
    int fieldCount() const;
    // The field of that name (exact first, then ignoring letter case); -1 when none.
    int fieldIndex(std::string_view name) const;

    // ---- records
    int count() const;
    void clearRecords();
    // Appends a record from one text per field (missing texts are empty). A text that does not fit its
    // field (not an integer in an integer field, longer than a string field's width), an empty required
    // field, or a primary key that is not within 1 … kMaxRecordKey or already used rejects the record:
    // nothing is appended and the reason is returned. Blanks around each text are removed.
    std::optional<std::string> appendTexts(const std::vector<std::string>& texts);
    void removeLast();

    std::string text(int row, int field) const;  // "" for empty or out of range
    bool isEmpty(int row, int field) const;
    std::optional<std::int64_t> integer(int row, int field) const;  // integer fields
    std::optional<double> number(int row, int field) const;  // integer and float fields, or numeric text
    // Replaces one value; false (and nothing changes) when the text does not fit the field.
    bool setText(int row, int field, std::string_view text, std::string* why = nullptr);

    // The row whose primary key (the first field marked as primary key) equals key; -1 when none.
    int rowOfKey(std::int64_t key) const;
    // Rows whose integer field equals value, ascending.
    std::vector<int> rowsWithInteger(int field, std::int64_t value) const;
    // The value folded to upper case; string values come from a cache, others are folded into scratch.
    std::string_view foldedText(int row, int field, std::string& scratch) const;
    // Grows with every change of fields or records, so that caches built on the table can tell they are
    // stale.
    std::uint64_t changes() const;
    // The folded index of a field, built on first use and kept until the records change.
    const FoldedIndex& index(int field) const;

    // ---- persistence. A missing file opens as the empty table with the one integer field "void".
    Status load(const std::string& path);
    // Writes the whole table in one transaction to a temporary file in the same folder, then renames it.
    // A symbolic link is written through; a folder or other non-file as target is refused.
    Status save(const std::string& path) const;
    // The first half of save, for files that are replaced together: writes the table to a temporary file
    // (tempPath) beside the file that a save to path would replace (target). The caller puts it in place
    // or removes it.
    bool writeTemporary(const std::string& path, std::string& tempPath, std::string& target,
                        std::string& error) const;

    // ---- filter: comparisons of field names with constants (=, <>, <, >, <=, >=), joined by AND, OR,
    // XOR, NOT and parentheses; constants are numbers or text in single quotes. An empty condition
    // removes the filter; one that cannot be read leaves the filter as it was.
    Status setFilter(std::string_view condition);
    void clearFilter();
    bool hasFilter() const;
    bool passes(int row) const;  // true without a filter

  private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace tav
