#include "species/record_set.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <unordered_map>
#include <utility>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/string_pool.h"
#include "core/text.h"
#include "species/record_filter.h"

namespace tav {

namespace {

// Integer cells use the one value no user can type usefully as their "empty"; appendTexts refuses it.
constexpr std::int64_t kNoInteger = std::numeric_limits<std::int64_t>::min();
// parseNumber never yields NaN, so NaN is free to mark an empty float cell.
constexpr double kNoNumber = std::numeric_limits<double>::quiet_NaN();

// The file layout; a file written by a later version with another layout is refused, not misread.
constexpr int kFileVersion = 1;

// The texts of a column's pool folded to upper case, for the case-insensitive searches and indexes.
// They are made on first use, all at once up to the pool's size, and kept until the column is cleared;
// a view is valid until the next call.
struct FoldedTexts {
    std::string bytes;
    std::vector<std::size_t> starts{0};  // text i spans [starts[i], starts[i + 1])

    std::string_view of(const StringPool& pool, TextHandle id) {
        while (starts.size() <= pool.size()) {
            bytes += upperFold(pool.text(static_cast<TextHandle>(starts.size() - 1)));
            starts.push_back(bytes.size());
        }
        return std::string_view(bytes).substr(starts[id], starts[id + 1] - starts[id]);
    }
    void clear() {
        bytes.clear();
        starts.assign(1, 0);
    }
};

// One field's values; only the vector of the field's type is used.
struct Column {
    // String: handles into the column's own pool. Species lists repeat the same genus, family or author
    // in thousands of rows, so a column costs four bytes per row plus its distinct texts.
    std::vector<TextHandle> ids;
    StringPool pool;
    mutable FoldedTexts foldedTexts;
    std::vector<std::int64_t> ints;                 // Integer: kNoInteger when empty
    std::vector<double> reals;                      // Float: NaN when empty
    std::unordered_map<std::int64_t, int> keyRows;  // Primary keys: key -> row

    // Built on demand, dropped when the column changes.
    mutable std::unique_ptr<FoldedIndex> index;
    mutable std::vector<std::pair<std::int64_t, int>> byInteger;  // (value, row) ascending
    mutable bool byIntegerBuilt = false;

    void forgetDerived() {
        index.reset();
        byIntegerBuilt = false;
        byInteger.clear();
    }
};

// A checked value of one field, ready to store.
struct Checked {
    bool empty = true;
    std::int64_t integer = 0;
    double number = 0;
    std::string_view text;
};

std::string keyRangeReason(std::int64_t key) {
    return "Schlüssel " + formatInteger(key) + " liegt nicht zwischen 1 und " + formatInteger(kMaxRecordKey);
}

std::string quoted(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

const char* typeName(FieldType t) {
    switch (t) {
        case FieldType::String:
            return "String";
        case FieldType::Integer:
            return "Integer";
        case FieldType::Float:
            return "Float";
    }
    return "String";
}

const char* keyName(KeyKind k) {
    switch (k) {
        case KeyKind::None:
            return "None";
        case KeyKind::Primary:
            return "Primary";
        case KeyKind::SpeciesRelation:
            return "SpeciesRelation";
    }
    return "None";
}

// ---- SQLite handles that close themselves on every path

struct Database {
    sqlite3* db = nullptr;
    Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database() {
        if (db) sqlite3_close_v2(db);
    }
    std::string message() const { return db ? sqlite3_errmsg(db) : "out of memory"; }
    bool exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
};

struct Statement {
    sqlite3_stmt* st = nullptr;
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(st); }
    bool prepare(sqlite3* db, const std::string& sql) {
        return sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st, nullptr) == SQLITE_OK;
    }
    // The value as text; valid until the statement moves on.
    std::string_view view(int col) const {
        const unsigned char* p = sqlite3_column_text(st, col);
        if (!p) return {};
        return std::string_view(reinterpret_cast<const char*>(p),
                                static_cast<std::size_t>(sqlite3_column_bytes(st, col)));
    }
    std::string text(int col) const { return std::string(view(col)); }
};

// Removes the temporary file of a save unless it became the target.
struct TempFile {
    std::string path;
    bool kept = false;
    int slot = -1;  // registered while it is written, so that an interrupted run removes it
    ~TempFile() {
        if (!path.empty() && !kept) ::unlink(path.c_str());
        unregisterTempFile(slot);
    }
};

std::optional<FieldType> typeFromName(std::string_view s) {
    const std::string u = upperFold(trimBlanks(s));
    if (u == "STRING") return FieldType::String;
    if (u == "INTEGER") return FieldType::Integer;
    if (u == "FLOAT") return FieldType::Float;
    return std::nullopt;
}

std::optional<KeyKind> keyFromName(std::string_view s) {
    const std::string u = upperFold(trimBlanks(s));
    if (u.empty() || u == "NONE") return KeyKind::None;
    if (u == "PRIMARY") return KeyKind::Primary;
    if (u == "SPECIESRELATION") return KeyKind::SpeciesRelation;
    return std::nullopt;
}

}  // namespace

// ---------------------------------------------------------------- FoldedIndex

std::size_t FoldedIndex::lowerBound(std::string_view foldedPrefix) const {
    const auto it =
        std::lower_bound(entries_.begin(), entries_.end(), foldedPrefix,
                         [](const Entry& e, std::string_view p) { return std::string_view(e.folded) < p; });
    return static_cast<std::size_t>(it - entries_.begin());
}

std::vector<int> FoldedIndex::withPrefix(std::string_view foldedPrefix) const {
    std::vector<int> rows;
    for (std::size_t i = lowerBound(foldedPrefix);
         i < entries_.size() && std::string_view(entries_[i].folded).starts_with(foldedPrefix); ++i)
        rows.push_back(entries_[i].row);
    return rows;
}

// ---------------------------------------------------------------- RecordSet

// The lazily built indexes and folded texts make some const member functions write to caches: a record
// set must not be read from several threads at once.
struct RecordSet::Impl final : FilterValues {
    std::uint64_t changes = 0;  // counts every change, so callers can tell when their caches are stale
    std::vector<FieldDef> fields;
    std::vector<std::string> foldedNames;
    std::vector<FieldType> types;
    std::vector<Column> cols;
    int rows = 0;
    int keyField = -1;  // the first primary key field
    RecordFilter filter;

    bool valid(int row, int field) const {
        return row >= 0 && row < rows && field >= 0 && field < fieldCount();
    }
    int fieldCount() const { return static_cast<int>(fields.size()); }
    const Column& col(int field) const { return cols[static_cast<std::size_t>(field)]; }
    Column& col(int field) { return cols[static_cast<std::size_t>(field)]; }

    void forgetDerived() {
        for (Column& c : cols) c.forgetDerived();
    }

    void define(std::vector<FieldDef> defs) {
        // Key fields hold record numbers, whatever type they were given.
        for (FieldDef& f : defs)
            if (f.key != KeyKind::None) f.type = FieldType::Integer;
        fields = std::move(defs);
        foldedNames.clear();
        types.clear();
        for (const FieldDef& f : fields) {
            foldedNames.push_back(upperFold(f.name));
            types.push_back(f.type);
        }
        cols.clear();
        cols.resize(fields.size());
        rows = 0;
        keyField = -1;
        for (int f = 0; f < fieldCount() && keyField < 0; ++f)
            if (fields[static_cast<std::size_t>(f)].key == KeyKind::Primary) keyField = f;
        filter.clear();
    }

    void clearRecords() {
        for (Column& c : cols) {
            c.ids.clear();
            c.pool.clear();
            c.foldedTexts.clear();
            c.ints.clear();
            c.reals.clear();
            c.keyRows.clear();
            c.forgetDerived();
        }
        rows = 0;
    }

    bool empty(int row, int field) const {
        const Column& c = col(field);
        switch (types[static_cast<std::size_t>(field)]) {
            case FieldType::String:
                return c.ids[static_cast<std::size_t>(row)] == 0;
            case FieldType::Integer:
                return c.ints[static_cast<std::size_t>(row)] == kNoInteger;
            case FieldType::Float:
                return std::isnan(c.reals[static_cast<std::size_t>(row)]);
        }
        return true;
    }

    // Checks one trimmed text against field; selfRow is the row being changed (-1 for a new record), whose
    // own key does not count as taken.
    std::optional<std::string> check(int field, std::string_view text, int selfRow, Checked& out) const {
        const FieldDef& def = fields[static_cast<std::size_t>(field)];
        const auto refuse = [&](const std::string& why) { return "Feld " + quoted(def.name) + ": " + why; };
        out = Checked{};
        out.text = text;
        if (text.empty()) {
            if (def.key == KeyKind::Primary) return refuse("Schlüssel fehlt");
            if (def.required) return refuse("darf nicht leer sein");
            return std::nullopt;
        }
        out.empty = false;
        switch (def.type) {
            case FieldType::Integer: {
                const auto v = parseInteger(text);
                if (!v) return refuse("keine ganze Zahl");
                if (*v == kNoInteger) return refuse("Zahl zu klein");
                if (def.key == KeyKind::Primary) {
                    if (*v <= 0) return refuse("Schlüssel muss größer als 0 sein");
                    if (*v > kMaxRecordKey) return refuse(keyRangeReason(*v));
                    const auto& used = col(field).keyRows;
                    const auto it = used.find(*v);
                    if (it != used.end() && it->second != selfRow)
                        return refuse("Schlüssel " + formatInteger(*v) + " ist schon vergeben");
                }
                out.integer = *v;
                break;
            }
            case FieldType::Float: {
                const auto v = parseNumber(text);
                if (!v) return refuse("keine Zahl");
                out.number = *v;
                break;
            }
            case FieldType::String:
                if (def.width > 0 && charLength(text) > static_cast<std::size_t>(def.width))
                    return refuse("länger als " + std::to_string(def.width) + " Zeichen");
                break;
        }
        return std::nullopt;
    }

    void pushValue(int field, const Checked& v) {
        Column& c = col(field);
        switch (types[static_cast<std::size_t>(field)]) {
            case FieldType::String:
                c.ids.push_back(v.empty ? 0 : c.pool.intern(v.text));
                break;
            case FieldType::Integer:
                c.ints.push_back(v.empty ? kNoInteger : v.integer);
                break;
            case FieldType::Float:
                c.reals.push_back(v.empty ? kNoNumber : v.number);
                break;
        }
    }

    // Records the key of row in the key map; the first row keeps a key that a loaded file repeats.
    void noteKey(int field, int row) {
        if (fields[static_cast<std::size_t>(field)].key != KeyKind::Primary) return;
        Column& c = col(field);
        const std::int64_t k = c.ints[static_cast<std::size_t>(row)];
        if (k != kNoInteger) c.keyRows.emplace(k, row);
    }

    void forgetKey(int field, int row) {
        if (fields[static_cast<std::size_t>(field)].key != KeyKind::Primary) return;
        Column& c = col(field);
        const auto it = c.keyRows.find(c.ints[static_cast<std::size_t>(row)]);
        if (it != c.keyRows.end() && it->second == row) c.keyRows.erase(it);
    }

    std::string textOf(int row, int field) const {
        if (!valid(row, field) || empty(row, field)) return {};
        const Column& c = col(field);
        const auto r = static_cast<std::size_t>(row);
        switch (types[static_cast<std::size_t>(field)]) {
            case FieldType::String:
                return std::string(c.pool.text(c.ids[r]));
            case FieldType::Integer:
                return formatInteger(c.ints[r]);
            case FieldType::Float:
                return formatNumber(c.reals[r]);
        }
        return {};
    }

    // ---- FilterValues
    FieldType fieldType(int field) const override { return types[static_cast<std::size_t>(field)]; }
    bool isEmpty(int row, int field) const override { return !valid(row, field) || empty(row, field); }
    std::optional<std::int64_t> integer(int row, int field) const override {
        if (!valid(row, field) || types[static_cast<std::size_t>(field)] != FieldType::Integer)
            return std::nullopt;
        const std::int64_t v = col(field).ints[static_cast<std::size_t>(row)];
        if (v == kNoInteger) return std::nullopt;
        return v;
    }
    std::optional<double> number(int row, int field) const override {
        if (!valid(row, field) || empty(row, field)) return std::nullopt;
        const Column& c = col(field);
        const auto r = static_cast<std::size_t>(row);
        switch (types[static_cast<std::size_t>(field)]) {
            case FieldType::Integer:
                return static_cast<double>(c.ints[r]);
            case FieldType::Float:
                return c.reals[r];
            case FieldType::String:
                return parseNumber(c.pool.text(c.ids[r]));
        }
        return std::nullopt;
    }
    std::string_view foldedText(int row, int field, std::string& scratch) const override {
        if (!valid(row, field) || empty(row, field)) return {};
        if (types[static_cast<std::size_t>(field)] == FieldType::String) {
            const Column& c = col(field);
            return c.foldedTexts.of(c.pool, c.ids[static_cast<std::size_t>(row)]);
        }
        scratch = upperFold(textOf(row, field));
        return scratch;
    }

    // Writes the fields and records into the empty database db in one transaction; false (the reason in
    // db.message()) when SQLite refuses.
    bool writeInto(Database& db) const;

    void buildIndex(int field, FoldedIndex& index) const {
        std::vector<FoldedIndex::Entry>& entries = index.entries_;
        entries.clear();
        entries.reserve(static_cast<std::size_t>(rows));
        const Column& c = col(field);
        if (types[static_cast<std::size_t>(field)] == FieldType::String) {
            // Sort the distinct texts once, then place the rows by the rank of their text: a counting sort
            // that keeps equal values in row order and folds each distinct text only once.
            const auto n = static_cast<std::uint32_t>(c.pool.size());
            std::vector<std::uint32_t> order(n);
            std::iota(order.begin(), order.end(), 0u);
            std::vector<std::string_view> folded(n);
            // The first call folds every text of the pool, so the views stay valid.
            for (std::uint32_t id = 0; id < n; ++id) folded[id] = c.foldedTexts.of(c.pool, id);
            std::sort(order.begin(), order.end(),
                      [&](std::uint32_t a, std::uint32_t b) { return folded[a] < folded[b]; });
            std::vector<std::uint32_t> rank(n);
            std::uint32_t ranks = 0;
            for (std::uint32_t i = 0; i < n; ++i) {
                if (i > 0 && folded[order[i]] != folded[order[i - 1]]) ++ranks;
                rank[order[i]] = ranks;
            }
            std::vector<int> start(static_cast<std::size_t>(ranks) + 2, 0);
            for (std::uint32_t id : c.ids) ++start[rank[id] + 1];
            std::partial_sum(start.begin(), start.end(), start.begin());
            std::vector<int> sortedRows(static_cast<std::size_t>(rows));
            for (int r = 0; r < rows; ++r)
                sortedRows[static_cast<std::size_t>(start[rank[c.ids[static_cast<std::size_t>(r)]]]++)] = r;
            for (int r : sortedRows)
                entries.push_back({std::string(folded[c.ids[static_cast<std::size_t>(r)]]), r});
            return;
        }
        std::string scratch;
        for (int r = 0; r < rows; ++r) entries.push_back({std::string(foldedText(r, field, scratch)), r});
        std::sort(entries.begin(), entries.end(),
                  [](const FoldedIndex::Entry& a, const FoldedIndex::Entry& b) {
                      const int cmp = a.folded.compare(b.folded);
                      return cmp != 0 ? cmp < 0 : a.row < b.row;
                  });
    }
};

RecordSet::RecordSet() : d_(std::make_unique<Impl>()) {}
RecordSet::~RecordSet() = default;
RecordSet::RecordSet(RecordSet&&) noexcept = default;
RecordSet& RecordSet::operator=(RecordSet&&) noexcept = default;

void RecordSet::define(std::vector<FieldDef> fields) {
    ++d_->changes;
    d_->define(std::move(fields));
}

const std::vector<FieldDef>& RecordSet::fields() const {
    return d_->fields;
}

int RecordSet::fieldCount() const {
    return d_->fieldCount();
}

int RecordSet::fieldIndex(std::string_view name) const {
    for (int f = 0; f < fieldCount(); ++f)
        if (d_->fields[static_cast<std::size_t>(f)].name == name) return f;
    const std::string folded = upperFold(name);
    for (int f = 0; f < fieldCount(); ++f)
        if (d_->foldedNames[static_cast<std::size_t>(f)] == folded) return f;
    return -1;
}

int RecordSet::count() const {
    return d_->rows;
}

void RecordSet::clearRecords() {
    ++d_->changes;
    d_->clearRecords();
}

std::optional<std::string> RecordSet::appendTexts(const std::vector<std::string>& texts) {
    ++d_->changes;
    Impl& d = *d_;
    const int n = d.fieldCount();
    for (std::size_t i = static_cast<std::size_t>(n); i < texts.size(); ++i)
        if (!trimBlanks(texts[i]).empty())
            return std::to_string(texts.size()) + " Werte für " + std::to_string(n) + " Felder";
    if (d.rows == std::numeric_limits<int>::max()) return "Die Tabelle ist voll";
    // Everything is checked before anything is stored, so a refused record leaves no trace.
    std::vector<Checked> values(static_cast<std::size_t>(n));
    for (int f = 0; f < n; ++f) {
        const std::string_view t =
            static_cast<std::size_t>(f) < texts.size() ? trimBlanks(texts[static_cast<std::size_t>(f)]) : "";
        if (auto why = d.check(f, t, -1, values[static_cast<std::size_t>(f)])) return why;
    }
    for (int f = 0; f < n; ++f) d.pushValue(f, values[static_cast<std::size_t>(f)]);
    const int row = d.rows++;
    for (int f = 0; f < n; ++f) d.noteKey(f, row);
    d.forgetDerived();
    return std::nullopt;
}

void RecordSet::removeLast() {
    ++d_->changes;
    Impl& d = *d_;
    if (d.rows == 0) return;
    const int row = d.rows - 1;
    for (int f = 0; f < d.fieldCount(); ++f) {
        d.forgetKey(f, row);
        Column& c = d.col(f);
        switch (d.types[static_cast<std::size_t>(f)]) {
            case FieldType::String:
                c.ids.pop_back();
                break;
            case FieldType::Integer:
                c.ints.pop_back();
                break;
            case FieldType::Float:
                c.reals.pop_back();
                break;
        }
    }
    --d.rows;
    d.forgetDerived();
}

std::string RecordSet::text(int row, int field) const {
    return d_->textOf(row, field);
}

bool RecordSet::isEmpty(int row, int field) const {
    return d_->isEmpty(row, field);
}

std::optional<std::int64_t> RecordSet::integer(int row, int field) const {
    return d_->integer(row, field);
}

std::optional<double> RecordSet::number(int row, int field) const {
    return d_->number(row, field);
}

bool RecordSet::setText(int row, int field, std::string_view text, std::string* why) {
    ++d_->changes;
    Impl& d = *d_;
    if (!d.valid(row, field)) {
        if (why) *why = "Kein solcher Datensatz oder kein solches Feld";
        return false;
    }
    Checked v;
    if (auto problem = d.check(field, trimBlanks(text), row, v)) {
        if (why) *why = std::move(*problem);
        return false;
    }
    d.forgetKey(field, row);
    Column& c = d.col(field);
    const auto r = static_cast<std::size_t>(row);
    switch (d.types[static_cast<std::size_t>(field)]) {
        case FieldType::String:
            c.ids[r] = v.empty ? 0 : c.pool.intern(v.text);
            break;
        case FieldType::Integer:
            c.ints[r] = v.empty ? kNoInteger : v.integer;
            break;
        case FieldType::Float:
            c.reals[r] = v.empty ? kNoNumber : v.number;
            break;
    }
    d.noteKey(field, row);
    c.forgetDerived();
    return true;
}

int RecordSet::rowOfKey(std::int64_t key) const {
    if (d_->keyField < 0) return -1;
    const auto& keys = d_->col(d_->keyField).keyRows;
    const auto it = keys.find(key);
    return it == keys.end() ? -1 : it->second;
}

std::vector<int> RecordSet::rowsWithInteger(int field, std::int64_t value) const {
    const Impl& d = *d_;
    if (field < 0 || field >= d.fieldCount() ||
        d.types[static_cast<std::size_t>(field)] != FieldType::Integer || value == kNoInteger)
        return {};
    const Column& c = d.col(field);
    if (!c.byIntegerBuilt) {
        c.byInteger.clear();
        c.byInteger.reserve(c.ints.size());
        for (int r = 0; r < d.rows; ++r) {
            const std::int64_t v = c.ints[static_cast<std::size_t>(r)];
            if (v != kNoInteger) c.byInteger.emplace_back(v, r);
        }
        std::sort(c.byInteger.begin(), c.byInteger.end());
        c.byIntegerBuilt = true;
    }
    const auto first = std::lower_bound(c.byInteger.begin(), c.byInteger.end(), std::pair{value, -1});
    std::vector<int> rows;
    for (auto it = first; it != c.byInteger.end() && it->first == value; ++it) rows.push_back(it->second);
    return rows;
}

const FoldedIndex& RecordSet::index(int field) const {
    static const FoldedIndex kNone;
    if (field < 0 || field >= d_->fieldCount()) return kNone;
    const Column& c = d_->col(field);
    if (!c.index) {
        auto built = std::make_unique<FoldedIndex>();
        d_->buildIndex(field, *built);
        c.index = std::move(built);
    }
    return *c.index;
}

// ---------------------------------------------------------------- persistence

bool RecordSet::Impl::writeInto(Database& db) const {
    const Impl& d = *this;
    const int n = d.fieldCount();
    // The journal would be a second file in the target's folder; the temporary file needs none, as a
    // failed save discards it whole.
    if (!db.exec("PRAGMA journal_mode = MEMORY") ||
        !db.exec(("PRAGMA user_version = " + std::to_string(kFileVersion)).c_str()) || !db.exec("BEGIN"))
        return false;
    if (!db.exec("CREATE TABLE fields(pos INTEGER PRIMARY KEY, name TEXT, type TEXT, width INTEGER, "
                 "required INTEGER, key TEXT)"))
        return false;
    // Columns are named by position: field names may repeat in letter case or hold any character.
    std::string create = "CREATE TABLE rows(";
    std::string insert = "INSERT INTO rows(";
    std::string params;
    for (int f = 0; f < n; ++f) {
        const std::string name = "c" + std::to_string(f);
        const FieldType t = d.types[static_cast<std::size_t>(f)];
        create += (f ? ", " : "") + name +
                  (t == FieldType::String    ? " TEXT"
                   : t == FieldType::Integer ? " INTEGER"
                                             : " REAL");
        insert += (f ? ", " : "") + name;
        params += (f ? ", ?" : "?") + std::to_string(f + 1);
    }
    // A table without fields still counts its records.
    create += n == 0 ? "unused)" : ")";
    insert = n == 0 ? "INSERT INTO rows DEFAULT VALUES" : insert + ") VALUES(" + params + ")";
    if (!db.exec(create.c_str())) return false;

    {
        Statement st;
        if (!st.prepare(db.db,
                        "INSERT INTO fields(pos, name, type, width, required, key) "
                        "VALUES(?1, ?2, ?3, ?4, ?5, ?6)"))
            return false;
        for (int f = 0; f < n; ++f) {
            const FieldDef& def = d.fields[static_cast<std::size_t>(f)];
            sqlite3_bind_int64(st.st, 1, f);
            sqlite3_bind_text(st.st, 2, def.name.data(), static_cast<int>(def.name.size()), SQLITE_STATIC);
            sqlite3_bind_text(st.st, 3, typeName(def.type), -1, SQLITE_STATIC);
            sqlite3_bind_int64(st.st, 4, def.width);
            sqlite3_bind_int64(st.st, 5, def.required ? 1 : 0);
            sqlite3_bind_text(st.st, 6, keyName(def.key), -1, SQLITE_STATIC);
            if (sqlite3_step(st.st) != SQLITE_DONE) return false;
            sqlite3_reset(st.st);
        }
    }
    {
        Statement st;
        if (!st.prepare(db.db, insert)) return false;
        for (int r = 0; r < d.rows; ++r) {
            const auto row = static_cast<std::size_t>(r);
            for (int f = 0; f < n; ++f) {
                const Column& c = d.col(f);
                const int p = f + 1;
                switch (d.types[static_cast<std::size_t>(f)]) {
                    case FieldType::String: {
                        const std::string_view s = c.pool.text(c.ids[row]);
                        if (s.empty()) {
                            sqlite3_bind_null(st.st, p);
                        } else {
                            sqlite3_bind_text(st.st, p, s.data(), static_cast<int>(s.size()), SQLITE_STATIC);
                        }
                        break;
                    }
                    case FieldType::Integer:
                        if (c.ints[row] == kNoInteger) {
                            sqlite3_bind_null(st.st, p);
                        } else {
                            sqlite3_bind_int64(st.st, p, c.ints[row]);
                        }
                        break;
                    case FieldType::Float:
                        if (std::isnan(c.reals[row])) {
                            sqlite3_bind_null(st.st, p);
                        } else {
                            sqlite3_bind_double(st.st, p, c.reals[row]);
                        }
                        break;
                }
            }
            if (sqlite3_step(st.st) != SQLITE_DONE) return false;
            sqlite3_reset(st.st);
        }
    }
    if (!db.exec("COMMIT")) return false;
    return true;
}

Status RecordSet::load(const std::string& path) {
    ++d_->changes;
    const auto fail = [&](const std::string& why) {
        return Status::failure("Kann " + path + " nicht lesen: " + why);
    };
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) return fail(std::strerror(errno));
        FieldDef none;
        none.name = "void";
        none.type = FieldType::Integer;
        none.width = 0;
        define({none});
        return {};
    }
    // Only a regular file is opened: a FIFO would block the open, a device would be read raw.
    if (!checkInputFile(path).ok())
        return fail(S_ISDIR(info.st_mode) ? "das ist ein Ordner" : "keine gewöhnliche Datei");

    Database db;
    if (sqlite3_open_v2(path.c_str(), &db.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return fail(db.message());
    // The file may come from anywhere: no value of it may grow beyond what a table cell can be (a
    // generated column could otherwise ask for a gigabyte per row).
    sqlite3_limit(db.db, SQLITE_LIMIT_LENGTH, 1 << 24);
    const auto sqlFailure = [&](const std::string& what) {
        const int code = sqlite3_errcode(db.db);
        if (code == SQLITE_NOTADB) return fail("keine Tabellendatei");
        return fail(what + " (" + db.message() + ")");
    };

    {
        Statement version;
        if (!version.prepare(db.db, "PRAGMA user_version") || sqlite3_step(version.st) != SQLITE_ROW)
            return sqlFailure("Datei nicht lesbar");
        if (sqlite3_column_int64(version.st, 0) > kFileVersion)
            return fail("mit einer neueren Programmversion gespeichert");
    }
    {
        Statement tables;
        if (!tables.prepare(db.db, "SELECT name FROM sqlite_master WHERE type = 'table'"))
            return sqlFailure("Datei nicht lesbar");
        bool hasFields = false, hasRows = false;
        int rc;
        while ((rc = sqlite3_step(tables.st)) == SQLITE_ROW) {
            const std::string name = tables.text(0);
            hasFields = hasFields || name == "fields";
            hasRows = hasRows || name == "rows";
        }
        if (rc != SQLITE_DONE) return sqlFailure("Datei nicht lesbar");
        if (!hasFields) return fail("die Tabelle \"fields\" fehlt, keine Tabellendatei");
        if (!hasRows) return fail("die Tabelle \"rows\" fehlt, keine Tabellendatei");
    }

    std::vector<FieldDef> defs;
    {
        Statement st;
        if (!st.prepare(db.db, "SELECT pos, name, type, width, required, key FROM fields ORDER BY pos"))
            return sqlFailure("die Feldliste ist unvollständig");
        int rc;
        while ((rc = sqlite3_step(st.st)) == SQLITE_ROW) {
            const std::string where = "Feld " + std::to_string(defs.size() + 1) + " der Feldliste: ";
            if (sqlite3_column_type(st.st, 0) != SQLITE_INTEGER ||
                sqlite3_column_int64(st.st, 0) != static_cast<std::int64_t>(defs.size()))
                return fail(where + "Position fehlt oder doppelt");
            FieldDef f;
            f.name = st.text(1);
            const auto type = typeFromName(st.text(2));
            if (!type) return fail(where + "unbekannter Typ \"" + st.text(2) + "\"");
            f.type = *type;
            const std::int64_t width = sqlite3_column_int64(st.st, 3);
            f.width = static_cast<int>(std::clamp<std::int64_t>(width, 0, std::numeric_limits<int>::max()));
            f.required = sqlite3_column_int64(st.st, 4) != 0;
            const auto key = keyFromName(st.text(5));
            if (!key) return fail(where + "unbekannte Schlüsselart \"" + st.text(5) + "\"");
            f.key = *key;
            defs.push_back(std::move(f));
        }
        if (rc != SQLITE_DONE) return sqlFailure("die Feldliste ist nicht lesbar");
    }

    RecordSet fresh;
    Impl& d = *fresh.d_;
    d.define(std::move(defs));
    const int n = d.fieldCount();
    std::string sql = "SELECT ";
    for (int f = 0; f < n; ++f) sql += (f ? ", c" : "c") + std::to_string(f);
    if (n == 0) sql += "NULL";
    sql += " FROM rows ORDER BY rowid";
    Statement st;
    if (!st.prepare(db.db, sql)) return sqlFailure("die Datensätze passen nicht zur Feldliste");
    int rc;
    while ((rc = sqlite3_step(st.st)) == SQLITE_ROW) {
        if (d.rows == std::numeric_limits<int>::max()) return fail("zu viele Datensätze");
        for (int f = 0; f < n; ++f) {
            // The values are taken as saved; only a value that cannot be of its field's type is refused.
            const auto bad = [&](const std::string& why) {
                return fail("Datensatz " + std::to_string(d.rows + 1) + ", Feld " +
                            quoted(d.fields[static_cast<std::size_t>(f)].name) + ": " + why);
            };
            const int kind = sqlite3_column_type(st.st, f);
            if (kind == SQLITE_BLOB) return bad("Binärdaten");
            Checked v;
            v.empty = kind == SQLITE_NULL;
            // Text stays in SQLite's buffer until the next step; only the pool copies it.
            std::string_view text;
            if (kind == SQLITE_TEXT) {
                text = st.view(f);
                v.empty =
                    d.types[static_cast<std::size_t>(f)] != FieldType::String && trimBlanks(text).empty();
            }
            if (!v.empty) {
                switch (d.types[static_cast<std::size_t>(f)]) {
                    case FieldType::Integer: {
                        std::optional<std::int64_t> i;
                        if (kind == SQLITE_INTEGER) {
                            i = sqlite3_column_int64(st.st, f);
                        } else if (kind == SQLITE_FLOAT) {
                            const double x = sqlite3_column_double(st.st, f);
                            if (x == std::trunc(x) && std::fabs(x) < 9.2e18) i = static_cast<std::int64_t>(x);
                        } else {
                            i = parseInteger(trimBlanks(text));
                        }
                        if (!i || *i == kNoInteger) return bad("keine ganze Zahl");
                        // A key beyond the range would be cut short by everyone who holds it; other key
                        // rules of appending are not reapplied to what a file holds.
                        if (d.fields[static_cast<std::size_t>(f)].key == KeyKind::Primary &&
                            (*i > kMaxRecordKey || *i < -kMaxRecordKey))
                            return bad(keyRangeReason(*i));
                        v.integer = *i;
                        break;
                    }
                    case FieldType::Float: {
                        std::optional<double> x;
                        if (kind == SQLITE_TEXT) {
                            x = parseNumber(trimBlanks(text));
                        } else {
                            x = sqlite3_column_double(st.st, f);
                        }
                        if (!x) return bad("keine Zahl");
                        v.number = *x;
                        break;
                    }
                    case FieldType::String:
                        if (kind != SQLITE_TEXT) text = st.view(f);
                        v.text = text;
                        v.empty = text.empty();
                        break;
                }
            }
            d.pushValue(f, v);
        }
        const int row = d.rows++;
        for (int f = 0; f < n; ++f) d.noteKey(f, row);
    }
    if (rc != SQLITE_DONE) return sqlFailure("die Datensätze sind nicht lesbar");
    d_ = std::move(fresh.d_);
    return {};
}

Status RecordSet::save(const std::string& path) const {
    const auto failure = [&](const std::string& why) {
        return Status::failure("Kann " + path + " nicht speichern: " + why);
    };
    AtomicFile file;
    if (Status opened = file.open(path); !opened) return failure(opened.plain());
    // The database is built in memory and its image written as the file's bytes, so the file is
    // replaced as every other save replaces its file.
    std::string bytes;
    {
        Database db;
        if (sqlite3_open_v2(":memory:", &db.db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
            !d_->writeInto(db))
            return failure(db.message());
        sqlite3_int64 size = 0;
        unsigned char* image = sqlite3_serialize(db.db, "main", &size, 0);
        if (!image) return failure(db.message());
        bytes.assign(reinterpret_cast<const char*>(image), static_cast<std::size_t>(size));
        sqlite3_free(image);
    }
    if (Status written = file.write(bytes); !written) return failure(written.plain());
    if (Status committed = file.commit(); !committed) return failure(committed.plain());
    return {};
}

bool RecordSet::writeTemporary(const std::string& path, std::string& tempPath, std::string& target,
                               std::string& error) const {
    const auto fail = [&](const std::string& why) {
        error = "Kann " + path + " nicht speichern: " + why;
        return false;
    };
    const Impl& d = *d_;

    // A link is written through, so the file it names is replaced and the link stays; a folder or
    // device is no table file.
    const Result<std::string> resolved = resolveSaveTarget(path);
    if (!resolved) return fail(resolved.status().plain());
    target = resolved.value();
    TempFile temp;
    {
        const Result<TemporaryFile> made = createTemporaryBeside(target);
        if (!made) return fail(made.status().plain());
        temp.path = made->path;
        temp.slot = registerTempFile(temp.path);
        ::close(made->fd);
    }

    {
        Database db;
        if (sqlite3_open_v2(temp.path.c_str(), &db.db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
            !d.writeInto(db) || sqlite3_close(db.db) != SQLITE_OK)
            return fail(db.message());
        db.db = nullptr;
    }

    temp.kept = true;
    tempPath = temp.path;
    return true;
}

// ---------------------------------------------------------------- filter

Status RecordSet::setFilter(std::string_view condition) {
    const auto fieldOf = [this](std::string_view name) { return fieldIndex(name); };
    // A mistyped condition leaves the filter in effect as it was.
    RecordFilter parsed;
    std::string error;
    if (!parsed.parse(condition, fieldOf, d_->types, error)) return Status::failure(error);
    d_->filter = std::move(parsed);
    return {};
}

void RecordSet::clearFilter() {
    d_->filter.clear();
}

bool RecordSet::hasFilter() const {
    return !d_->filter.empty();
}

bool RecordSet::passes(int row) const {
    if (d_->filter.empty()) return true;
    if (row < 0 || row >= d_->rows) return false;
    return d_->filter.passes(row, *d_);
}

}  // namespace tav

namespace tav {

std::uint64_t RecordSet::changes() const {
    return d_->changes;
}

std::string_view RecordSet::foldedText(int row, int field, std::string& scratch) const {
    return d_->foldedText(row, field, scratch);
}

std::pair<std::size_t, std::size_t> FoldedIndex::range(std::string_view foldedPrefix) const {
    const std::size_t first = lowerBound(foldedPrefix);
    // The entries that begin with the prefix end where a value sorts at or after the prefix's successor.
    std::size_t last = first;
    std::size_t step = 1;
    auto begins = [&](std::size_t i) {
        return std::string_view(entries_[i].folded).starts_with(foldedPrefix);
    };
    while (last + step <= entries_.size() && begins(last + step - 1)) {
        last += step;
        step *= 2;
    }
    while (step > 1) {
        step /= 2;
        if (last + step <= entries_.size() && begins(last + step - 1)) last += step;
    }
    return {first, last};
}

}  // namespace tav
