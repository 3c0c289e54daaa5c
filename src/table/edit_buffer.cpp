#include "table/edit_buffer.h"

#include <algorithm>
#include <optional>

#include "core/numbers.h"

namespace tav {

namespace {

constexpr int kNoColumn = -9;

char newRowType(char OC) {
    return OC == 'A' ? 'A' : 'T';
}

}  // namespace

std::string cleanCellText(std::string_view s, bool* changed) {
    std::string_view t = trimBlanks(s);
    std::string out(t);
    bool any = false;
    for (char& c : out) {
        if (c == ';') {
            c = ',';
            any = true;
        } else if (c == '\r' || c == '\n') {
            c = ' ';
            any = true;
        }
    }
    if (any) out = std::string(trimBlanks(out));
    if (changed) *changed = any;
    return out;
}

TEditBuffer::TEditBuffer() : Ui_(&silentUi()) {}

// ---------------------------------------------------------------- primitives

void TEditBuffer::addObserver(TableObserver* o) {
    if (o && std::find(observers_.begin(), observers_.end(), o) == observers_.end()) observers_.push_back(o);
}

void TEditBuffer::removeObserver(TableObserver* o) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), o), observers_.end());
}

void TEditBuffer::notify(const TableChange& c) {
    for (TableObserver* o : observers_) o->tableChanged(c);
}

TLongList& TEditBuffer::indexList(Area list) {
    return list == Area::Header ? t_.IrowK : list == Area::Species ? t_.IrowA : t_.Icol;
}

void TEditBuffer::storeHandle(int row, int entry, TextHandle h) {
    TableStore& L = t_.L;
    if (observers_.empty()) {
        L.putHandle(row, entry, h);
        return;
    }
    const TextHandle old = L.handle(row, entry);
    L.putHandle(row, entry, h);
    const TextHandle now = L.handle(row, entry);
    // The pool keeps one handle per text, so equal handles mean nothing changed.
    if (old == now) return;
    TableChange c;
    c.kind = TableChange::Kind::Field;
    c.row = row;
    c.entry = entry;
    c.before = L.pool.text(old);
    c.after = L.pool.text(now);
    notify(c);
}

void TEditBuffer::storeText(int row, int entry, std::string_view text) {
    storeHandle(row, entry, t_.L.pool.intern(text));
}

void TEditBuffer::insertEntries(Area list, int pos, std::vector<std::int32_t> stored) {
    if (stored.empty()) return;
    std::vector<std::int32_t>& items = indexList(list).items();
    pos = std::clamp(pos, 0, static_cast<int>(items.size()));
    items.insert(items.begin() + pos, stored.begin(), stored.end());
    if (observers_.empty()) return;
    TableChange c;
    c.kind = TableChange::Kind::Insert;
    c.list = list;
    c.pos = pos;
    c.entries = std::move(stored);
    notify(c);
}

void TEditBuffer::deleteEntries(Area list, int pos, int n) {
    std::vector<std::int32_t>& items = indexList(list).items();
    if (pos < 0 || n <= 0 || pos >= static_cast<int>(items.size())) return;
    n = std::min(n, static_cast<int>(items.size()) - pos);
    if (observers_.empty()) {
        items.erase(items.begin() + pos, items.begin() + pos + n);
        return;
    }
    TableChange c;
    c.kind = TableChange::Kind::Delete;
    c.list = list;
    c.pos = pos;
    c.entries.assign(items.begin() + pos, items.begin() + pos + n);
    items.erase(items.begin() + pos, items.begin() + pos + n);
    notify(c);
}

namespace {

bool isPermutation(const std::vector<std::int32_t>& order, std::size_t n) {
    if (order.size() != n) return false;
    std::vector<bool> seen(n, false);
    for (std::int32_t k : order) {
        if (k < 0 || static_cast<std::size_t>(k) >= n || seen[k]) return false;
        seen[k] = true;
    }
    return true;
}

std::vector<std::int32_t> inverseOf(const std::vector<std::int32_t>& order) {
    std::vector<std::int32_t> inv(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) inv[order[i]] = static_cast<std::int32_t>(i);
    return inv;
}

void applyOrder(std::vector<std::int32_t>& items, const std::vector<std::int32_t>& order) {
    std::vector<std::int32_t> out(items.size());
    for (std::size_t i = 0; i < order.size(); ++i) out[i] = items[order[i]];
    items.swap(out);
}

}  // namespace

void TEditBuffer::permute(Area list, const std::vector<std::int32_t>& order) {
    std::vector<std::int32_t>& items = indexList(list).items();
    if (!isPermutation(order, items.size())) return;
    applyOrder(items, order);
    if (observers_.empty()) return;
    TableChange c;
    c.kind = TableChange::Kind::Permute;
    c.list = list;
    c.entries = order;
    notify(c);
}

void TEditBuffer::setMarks(MarkSet which, const TMenge& m) {
    TMenge& set = marks_[static_cast<int>(which)];
    if (set == m) return;
    if (observers_.empty()) {
        set = m;
        return;
    }
    TableChange c;
    c.kind = TableChange::Kind::Marks;
    c.marks = which;
    c.marksBefore = set;
    set = m;
    c.marksAfter = set;
    notify(c);
}

void TEditBuffer::mark(MarkSet which, int n, bool on) {
    TMenge& set = marks_[static_cast<int>(which)];
    if (set.Element(n) == on) return;
    if (observers_.empty()) {
        on ? set.Add(n) : set.Remove(n);
        return;
    }
    TMenge m = set;
    on ? m.Add(n) : m.Remove(n);
    setMarks(which, m);
}

void TEditBuffer::replaceTable(TableContent&& content) {
    if (observers_.empty()) {
        t_ = std::move(content);
        return;
    }
    TableChange c;
    c.kind = TableChange::Kind::Replace;
    c.table = std::make_shared<TableContent>(std::move(t_));
    t_ = std::move(content);
    notify(c);
}

void TEditBuffer::revert(TableChange& c) {
    using Kind = TableChange::Kind;
    switch (c.kind) {
        case Kind::Field:
            t_.L.putHandle(c.row, c.entry, t_.L.pool.intern(c.before));
            std::swap(c.before, c.after);
            break;
        case Kind::Insert: {
            std::vector<std::int32_t>& items = indexList(c.list).items();
            const int n =
                std::min(static_cast<int>(c.entries.size()), static_cast<int>(items.size()) - c.pos);
            if (c.pos >= 0 && n > 0) items.erase(items.begin() + c.pos, items.begin() + c.pos + n);
            c.kind = Kind::Delete;
            break;
        }
        case Kind::Delete: {
            std::vector<std::int32_t>& items = indexList(c.list).items();
            const int pos = std::clamp(c.pos, 0, static_cast<int>(items.size()));
            items.insert(items.begin() + pos, c.entries.begin(), c.entries.end());
            c.kind = Kind::Insert;
            break;
        }
        case Kind::Permute: {
            std::vector<std::int32_t>& items = indexList(c.list).items();
            const std::vector<std::int32_t> inv = inverseOf(c.entries);
            if (isPermutation(inv, items.size())) applyOrder(items, inv);
            c.entries = inv;
            break;
        }
        case Kind::Marks:
            marks_[static_cast<int>(c.marks)] = c.marksBefore;
            std::swap(c.marksBefore, c.marksAfter);
            break;
        case Kind::Replace:
            if (c.table) std::swap(t_, *c.table);
            break;
    }
    for (TableObserver* o : observers_) o->tableReverted(c);
}

// ---------------------------------------------------------------- whole table

void TEditBuffer::Clear() {
    replaceTable(TableContent{});
}

void TEditBuffer::minimalTable() {
    TEditBuffer scratch;
    scratch.InsRow('K', kNoColumn);
    scratch.InsRow('A', kNoColumn);
    scratch.InsCol(kNoColumn);
    replaceTable(std::move(scratch.t_));
}

Status TEditBuffer::LoadDefault(const std::string& fName) {
    Status s;
    if (!fName.empty()) s = ReadFile(kLayoutNative, fName, noProgress()).status();
    if (fName.empty() || !s.ok()) minimalTable();
    BuildKopf();
    return s;
}

void TEditBuffer::BuildKopf() {
    Kopf_.clear();
    for (int i = 0; i < t_.IrowK.Count(); ++i) {
        std::string_view name = GetZl('K', i);
        if (name.empty()) continue;
        std::string entry(name);
        entry += ';';
        entry += GetTyp('K', i);
        entry += ';';
        entry += GetP('K', i);
        Kopf_.push_back(std::move(entry));
    }
    std::sort(Kopf_.begin(), Kopf_.end(), textLess);
}

bool TEditBuffer::CheckM() const {
    for (const TMenge& m : marks_)
        if (!m.empty()) return true;
    return false;
}

void TEditBuffer::ClearM() {
    static const TMenge none;
    for (MarkSet m : {MarkSet::MroK, MarkSet::MroA, MarkSet::McoL, MarkSet::McoR}) setMarks(m, none);
    if (OnClearMarks_) OnClearMarks_();
}

// ---------------------------------------------------------------- mapping

TLongList* TEditBuffer::rowList(char OC) {
    return OC == 'K' ? &t_.IrowK : OC == 'A' ? &t_.IrowA : nullptr;
}
const TLongList* TEditBuffer::rowList(char OC) const {
    return OC == 'K' ? &t_.IrowK : OC == 'A' ? &t_.IrowA : nullptr;
}

const TLongList& TEditBuffer::rowIndex(char OC) const {
    static const TLongList none;
    const TLongList* l = rowList(OC);
    return l ? *l : none;
}

int TEditBuffer::GetRowCount(char OC) const {
    const TLongList* l = rowList(OC);
    return l ? l->Count() : 0;
}

int TEditBuffer::GetBufCol(int co) const {
    if (co < -3) return kNoColumn;
    if (co < 0) return co + 3;
    if (co < t_.Icol.Count()) return t_.Icol.GetLong(co);
    return kNoColumn;
}

int TEditBuffer::GetBufRow(char OC, int ro) const {
    const TLongList* l = rowList(OC);
    if (!l || ro < 0 || ro >= l->Count()) return -1;
    return l->GetLong(ro);
}

// ---------------------------------------------------------------- cells

std::string_view TEditBuffer::Get(char OC, int pc, int pr) const {
    int row = GetBufRow(OC, pr);
    int entry = GetBufCol(pc);
    if (row < 0 || entry < 0) return {};
    return t_.L.GetString(row, entry);
}

// Used by the readers on a fresh table that nobody watches yet.
void TEditBuffer::putEntry(int row, int entry, std::string_view s) {
    bool changed = false;
    std::string clean = cleanCellText(s, &changed);
    if (changed) ++cleanedCells_;
    t_.L.ReplaceString(row, entry, clean);
}

bool TEditBuffer::typeFitsPart(char OC, std::string_view t) {
    const bool speciesType = !t.empty() && (t.front() == 'A' || t.front() == 'K');
    return OC == 'A' ? speciesType : !speciesType;
}

void TEditBuffer::Put(char OC, std::string_view s, int pc, int pr) {
    int row = GetBufRow(OC, pr);
    int entry = GetBufCol(pc);
    if (row < 0 || entry < 0) return;
    bool changed = false;
    std::string clean = cleanCellText(s, &changed);
    if (entry == 0 && !typeFitsPart(OC, clean)) {
        ++refusedTypes_;
        return;
    }
    if (changed) ++cleanedCells_;
    storeText(row, entry, clean);
}

char TEditBuffer::GetTyp(char OC, int p) const {
    std::string_view t = Get(OC, -3, p);
    return t.empty() ? ' ' : t.front();
}

bool TEditBuffer::PutTyp(char OC, char ch, int p) {
    if (GetBufRow(OC, p) < 0) return false;
    const std::int64_t refused = refusedTypes_;
    Put(OC, std::string_view(&ch, 1), -3, p);
    return refusedTypes_ == refused;
}

// ---------------------------------------------------------------- margins

namespace {

// The margin items with code gCode: [begin, end) of each piece, the comma in front not included.
template <class F>
void forEachItem(std::string_view margin, F&& f) {
    std::size_t start = 0;
    while (start <= margin.size()) {
        std::size_t comma = margin.find(',', start);
        std::size_t end = comma == std::string_view::npos ? margin.size() : comma;
        if (end > start) f(start, end);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
}

}  // namespace

std::string TEditBuffer::DoReadP(char OC, char gCode, int p, std::string& s) const {
    s = std::string(GetP(OC, p));
    std::string found;
    forEachItem(s, [&](std::size_t b, std::size_t e) {
        if (s[b] == gCode) found = s.substr(b, e - b);
    });
    return found;
}

std::string TEditBuffer::ReadP(char OC, char gCode, int p) const {
    std::string whole;
    std::string item = DoReadP(OC, gCode, p, whole);
    return item.empty() ? item : item.substr(1);
}

void TEditBuffer::WriteP(char OC, char gCode, std::string_view s, int p) {
    if (GetBufRow(OC, p) < 0) return;
    std::string_view old = GetP(OC, p);
    // Every item with the code goes, together with the comma in front of it.
    std::string margin;
    std::size_t keptFrom = 0;
    forEachItem(old, [&](std::size_t b, std::size_t e) {
        if (old[b] != gCode) return;
        std::size_t cutFrom = b > 0 ? b - 1 : b;
        margin.append(old.substr(keptFrom, cutFrom - keptFrom));
        keptFrom = e;
    });
    margin.append(old.substr(keptFrom));
    if (!s.empty()) {
        // A comma inside a value would start a new item.
        std::string value(s);
        std::replace(value.begin(), value.end(), ',', '.');
        margin += ',';
        margin += gCode;
        margin += value;
    }
    PutP(OC, margin, p);
}

int TEditBuffer::GetCodePos(int i) const {
    if (i < 0 || i >= t_.IrowK.Count()) return -1;
    while (i > 0 && GetTyp('K', i) == 'L') --i;
    return GetTyp('K', i) == 'S' ? i : -1;
}

bool TEditBuffer::IsDataRow(char OC, int p) const {
    switch (GetTyp(OC, p)) {
        case 'A':
        case 'B':
        case 'D':
        case 'F':
        case 'I':
        case 'P':
        case 'S':
        case 'T':
        case 'U':
        case 'Z':
            return true;
        default:
            return false;
    }
}

bool TEditBuffer::IsNumRow(char OC, int p) const {
    char t = GetTyp(OC, p);
    return t == 'A' || t == 'F' || t == 'I' || t == 'P';
}

bool TEditBuffer::AskCat(char OC, std::string_view Capt, std::vector<std::string>& Lst, TLongList& LstI,
                         int& i) {
    if (OC != 'M' && OC != 'S') return false;
    Lst.clear();
    for (int r = 0; r < t_.IrowK.Count(); ++r) Lst.emplace_back(GetZl('K', r));
    auto picks = Ui_->pickFromList(Capt, Lst, OC == 'M');
    if (!picks || picks->empty()) return false;
    if (OC == 'M') {
        LstI.Clear();
        for (int pick : *picks) LstI.AppendLong(pick);
    } else {
        i = picks->front();
    }
    return true;
}

// ---------------------------------------------------------------- structure

// A stored row that no index list holds yet is not part of the table, so making it is no change.
int TEditBuffer::newStoredRow(char type) {
    int row = t_.L.AppendStringList();
    t_.L.ReplaceString(row, 0, std::string_view(&type, 1));
    return row;
}

void TEditBuffer::InsRow(char OC, int p) {
    TLongList* l = rowList(OC);
    if (!l) return;
    const int row = newStoredRow(newRowType(OC));
    insertEntries(OC == 'K' ? Area::Header : Area::Species, p < 0 || p >= l->Count() ? l->Count() : p, {row});
}

void TEditBuffer::InsRows(char OC, int p, int n) {
    for (int k = 0; k < n; ++k) InsRow(OC, p);
}

void TEditBuffer::InsCol(int p) {
    const int entry = static_cast<int>(t_.L.slots) + 3;
    ++t_.L.slots;
    insertEntries(Area::Columns, p < 0 || p >= t_.Icol.Count() ? t_.Icol.Count() : p, {entry});
}

void TEditBuffer::InsCols(int p, int n) {
    if (n <= 0) return;
    std::vector<std::int32_t> entries;
    entries.reserve(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) entries.push_back(static_cast<std::int32_t>(t_.L.slots++) + 3);
    insertEntries(Area::Columns, p < 0 || p >= t_.Icol.Count() ? t_.Icol.Count() : p, std::move(entries));
}

void TEditBuffer::PrepManyCols(int n) {
    t_.Icol.items().reserve(t_.Icol.items().size() + std::max(n, 0));
    InsCols(kNoColumn, n);
    t_.ManyColCt = 0;
}

void TEditBuffer::ensureColumns(int n) {
    if (t_.Icol.Count() < n) InsCols(kNoColumn, n - t_.Icol.Count());
}

void TEditBuffer::ensureRows(char OC, int n) {
    if (GetRowCount(OC) < n) InsRows(OC, kNoColumn, n - GetRowCount(OC));
}

// A removed row keeps its stored content until the table is read anew, so that taking the removal
// back brings the row back whole.
void TEditBuffer::DelRow(char OC, int p, bool DoDel, bool keep) {
    TLongList* l = rowList(OC);
    if (!l || p < 0 || p >= l->Count()) return;
    if (keep) ClipBuffer_.push_back(GetRow(OC, p));
    if (!DoDel) return;
    if (l->Count() == 1) {
        ClearRow(OC, p);
        return;
    }
    deleteEntries(OC == 'K' ? Area::Header : Area::Species, p, 1);
}

// A removed releve keeps its stored cells until the table is read anew, as a removed row does, so that
// taking the removal back is one index change; a new releve always takes a new storage slot. The only
// releve is cleared, never removed.
void TEditBuffer::DelCol(int p, bool DoDel, bool keep) {
    if (p < 0 || p >= t_.Icol.Count()) return;
    if (keep) ClipBuffer_.push_back(GetCol(p));
    if (!DoDel) return;
    if (t_.Icol.Count() > 1)
        deleteEntries(Area::Columns, p, 1);
    else
        ClearCol(p);
}

void TEditBuffer::deleteMany(Area list, const std::vector<int>& positions) {
    std::vector<std::int32_t>& items = indexList(list).items();
    const int count = static_cast<int>(items.size());
    // The positions that are there, ascending and once each. A part keeps one row and the table one
    // releve: removing all of them leaves the last one, emptied.
    std::vector<int> gone;
    gone.reserve(positions.size());
    for (int p : positions)
        if (p >= 0 && p < count && (gone.empty() || p > gone.back())) gone.push_back(p);
    const bool everything = count > 0 && static_cast<int>(gone.size()) >= count;
    if (everything) gone.pop_back();
    if (everything) {
        if (list == Area::Columns)
            ClearCol(count - 1);
        else
            ClearRow(list == Area::Header ? 'K' : 'A', count - 1);
    }
    if (gone.empty()) return;
    // The changes as if the runs of neighbouring positions were removed from the last one on, so that
    // each record's position holds when they are taken back in turn.
    std::vector<TableChange> changes;
    if (!observers_.empty()) {
        std::size_t end = gone.size();
        while (end > 0) {
            std::size_t start = end - 1;
            while (start > 0 && gone[start - 1] == gone[start] - 1) --start;
            TableChange c;
            c.kind = TableChange::Kind::Delete;
            c.list = list;
            c.pos = gone[start];
            for (std::size_t k = start; k < end; ++k)
                c.entries.push_back(items[static_cast<std::size_t>(gone[k])]);
            changes.push_back(std::move(c));
            end = start;
        }
    }
    // One pass over the list.
    std::size_t write = 0, next = 0;
    for (std::size_t read = 0; read < items.size(); ++read) {
        if (next < gone.size() && static_cast<int>(read) == gone[next]) {
            ++next;
            continue;
        }
        items[write++] = items[read];
    }
    items.resize(write);
    for (const TableChange& c : changes) notify(c);
}

void TEditBuffer::DelCols(const std::vector<int>& positions) {
    deleteMany(Area::Columns, positions);
}

void TEditBuffer::DelRows(char OC, const std::vector<int>& positions) {
    if (OC == 'K' || OC == 'A') deleteMany(OC == 'K' ? Area::Header : Area::Species, positions);
}

void TEditBuffer::clearStoredCells(int row) {
    CellRow& cells = t_.L.rows[row].cells;
    if (observers_.empty()) {
        cells.clear();
        return;
    }
    std::vector<std::uint32_t> filled;
    cells.forEach([&](std::uint32_t slot, TextHandle) { filled.push_back(slot); });
    for (std::uint32_t slot : filled) storeHandle(row, static_cast<int>(slot) + 3, 0);
}

void TEditBuffer::ClearRow(char OC, int p) {
    int row = GetBufRow(OC, p);
    if (row < 0) return;
    clearStoredCells(row);
    storeHandle(row, 1, 0);
    storeHandle(row, 2, 0);
    const char type = newRowType(OC);
    storeText(row, 0, std::string_view(&type, 1));
}

void TEditBuffer::ClearCol(int p) {
    int entry = GetBufCol(p);
    if (p < 0 || entry < 3) return;
    for (const TLongList* l : {&t_.IrowK, &t_.IrowA})
        for (std::int32_t row : l->items()) storeHandle(row, entry, 0);
}

void TEditBuffer::moveCell(char OC, int fromCol, int fromRow, int toCol, int toRow) {
    int from = GetBufRow(OC, fromRow), to = GetBufRow(OC, toRow);
    int fe = GetBufCol(fromCol), te = GetBufCol(toCol);
    if (to < 0 || te < 0) return;
    storeHandle(to, te, from >= 0 && fe >= 0 ? t_.L.handle(from, fe) : 0);
}

void TEditBuffer::DelRange(int typ, Rect Sel, char DelMode, bool keep) {
    const char OC = typ <= 2 ? 'K' : 'A';
    const bool names = typ % 2 == 1;
    const int rows = GetRowCount(OC), cols = GetColCount();
    const int left = names ? -2 : Sel.left, right = names ? -2 : Sel.right;
    for (int r = Sel.top; r <= Sel.bottom; ++r) {
        std::string line;
        for (int c = left; c <= right; ++c) {
            if (c > left) line += ';';
            line += Get(OC, c, r);
            if (DelMode == 'F') Put(OC, "", c, r);
        }
        if (keep) ClipBuffer_.push_back(std::move(line));
    }
    if (keep && Sel.left == Sel.right && Sel.top == Sel.bottom && ClipBuffer_.size() > 1) {
        std::string_view first = ClipBuffer_[1];
        Ui_->setClipboardText(first.substr(0, first.find(';')));
        OldClip_ = std::string(first.substr(0, first.find(';')));
    }
    if (DelMode == 'U') {
        const int h = Sel.bottom - Sel.top + 1;
        for (int c = left; c <= right; ++c) {
            for (int r = Sel.top; r <= rows - h - 1; ++r) moveCell(OC, c, r + h, c, r);
            for (int r = std::max(rows - h, Sel.top); r < rows; ++r) Put(OC, "", c, r);
        }
    } else if (DelMode == 'L' && !names) {
        const int w = Sel.right - Sel.left + 1;
        for (int r = Sel.top; r <= Sel.bottom; ++r) {
            for (int c = Sel.left; c <= cols - w - 1; ++c) moveCell(OC, c + w, r, c, r);
            for (int c = std::max(cols - w, Sel.left); c < cols; ++c) Put(OC, "", c, r);
        }
    }
}

bool TEditBuffer::isEmptyRow(char OC, int p) const {
    int row = GetBufRow(OC, p);
    if (row < 0) return true;
    // A margin counts as content too: trimming must not throw away a remark or a group.
    const StoredRow& r = t_.L.rows[row];
    return r.head[1] == 0 && r.head[2] == 0 && !r.cells.hasCells();
}

bool TEditBuffer::isEmptyCol(int p) const {
    int entry = GetBufCol(p);
    if (p < 0 || entry < 3) return true;
    for (const TLongList* l : {&t_.IrowK, &t_.IrowA})
        for (std::int32_t row : l->items())
            if (t_.L.handle(row, entry) != 0) return false;
    return true;
}

void TEditBuffer::RemoveEmptyEndCols() {
    for (int c = GetColCount() - 1; c > 0 && isEmptyCol(c); --c) deleteEntries(Area::Columns, c, 1);
}

void TEditBuffer::RemoveEmptyStartCols() {
    int n = 0;
    while (n < GetColCount() && isEmptyCol(n)) ++n;
    // Empty columns hold no cells, so they can leave the index list in one step.
    if (n == GetColCount()) --n;
    deleteEntries(Area::Columns, 0, n);
}

void TEditBuffer::RemoveEmptyEndRows(char OC) {
    TLongList* l = rowList(OC);
    if (!l) return;
    for (int r = l->Count() - 1; r > 0 && isEmptyRow(OC, r); --r) DelRow(OC, r, true, false);
}

void TEditBuffer::RemoveEmptyStartRows(char OC) {
    TLongList* l = rowList(OC);
    if (!l) return;
    int n = 0;
    while (n < l->Count() && isEmptyRow(OC, n)) ++n;
    if (n == l->Count()) {
        --n;
        if (n >= 0) ClearRow(OC, n);
    }
    deleteEntries(OC == 'K' ? Area::Header : Area::Species, 0, n);
}

void TEditBuffer::RemoveEmptyRC() {
    RemoveEmptyEndCols();
    RemoveEmptyStartCols();
    RemoveEmptyStartRows('K');
    RemoveEmptyStartRows('A');
}

// ---------------------------------------------------------------- clip and paste

void TEditBuffer::StartClip(char OC) {
    ClipBuffer_.clear();
    switch (OC) {
        case 'A':
        case 'K':
            ClipBuffer_.emplace_back("Row");
            break;
        case 'C':
            ClipBuffer_.emplace_back("Col");
            break;
        case 'R':
            ClipBuffer_.emplace_back("Range");
            break;
        default:
            ClipBuffer_.emplace_back();
    }
}

char TEditBuffer::GetClipStatus() const {
    if (ClipBuffer_.empty()) return ' ';
    const std::string& kind = ClipBuffer_.front();
    if (kind == "Range") return 'R';
    if (kind == "Col") return 'C';
    if (kind == "Row") return 'K';
    return ' ';
}

std::string TEditBuffer::GetRow(char OC, int p) const {
    std::string line;
    for (int c = -3; c < GetColCount(); ++c) {
        if (c > -3) line += ';';
        line += Get(OC, c, p);
    }
    return line;
}

namespace {

// Calls f(index, field) for every ";"-separated field of s.
template <class F>
void forEachField(std::string_view s, F&& f) {
    int k = 0;
    std::size_t start = 0;
    for (;;) {
        std::size_t semi = s.find(';', start);
        f(k++, s.substr(start, semi == std::string_view::npos ? std::string_view::npos : semi - start));
        if (semi == std::string_view::npos) break;
        start = semi + 1;
    }
}

}  // namespace

bool TEditBuffer::PutRow(char OC, std::string_view s, int p) {
    if (GetBufRow(OC, p) < 0) return false;
    bool typeKept = true;
    forEachField(s, [&](int k, std::string_view field) {
        if (k == 0) {
            typeKept = PutTyp(OC, field.empty() ? ' ' : field.front(), p);
        } else {
            if (k >= 3) ensureColumns(k - 2);
            Put(OC, field, k - 3, p);
        }
    });
    return typeKept;
}

std::string TEditBuffer::GetCol(int p) const {
    std::string line = std::to_string(t_.IrowK.Count()) + ';' + std::to_string(t_.IrowA.Count());
    for (char OC : {'K', 'A'}) {
        for (int r = 0; r < GetRowCount(OC); ++r) {
            line += ';';
            line += Get(OC, p, r);
        }
    }
    return line;
}

void TEditBuffer::PutCol(std::string_view s, int p) {
    const int pc = p < 0 ? -2 : p;
    int nK = 0;
    forEachField(s, [&](int k, std::string_view field) {
        if (k == 0) {
            nK = static_cast<int>(std::clamp<std::int64_t>(parseInteger(field).value_or(0), 0, 1 << 30));
        } else if (k >= 2) {
            const int i = k - 2;
            const char OC = i < nK ? 'K' : 'A';
            const int r = i < nK ? i : i - nK;
            ensureRows(OC, r + 1);
            Put(OC, field, pc, r);
        }
    });
}

void TEditBuffer::Paste(int typ, char Mode, int pc, int pr, Progress& pt) {
    const char kind = GetClipStatus();
    if (ClipBuffer_.size() < 2) return;
    ClipList_.assign(ClipBuffer_.begin() + 1, ClipBuffer_.end());
    if (kind == 'K') std::reverse(ClipList_.begin(), ClipList_.end());
    const char OC = typ <= 2 ? 'K' : 'A';
    const int n = static_cast<int>(ClipList_.size());

    if (kind == 'R') {
        if (pr < 0 || pc < 0) return;
        const int oldLastRow = GetRowCount(OC) - 1;
        if (Mode == 'D') {
            InsRows(OC, kNoColumn, n);
        } else {
            ensureRows(OC, pr + n);
        }
        if (typ % 2 == 1) {
            if (Mode == 'D')
                for (int r = oldLastRow; r >= pr; --r) moveCell(OC, -2, r, -2, r + n);
            for (int i = 0; i < n; ++i) Put(OC, ClipList_[i], -2, pr + i);
            return;
        }
        const int k = static_cast<int>(std::count(ClipList_[0].begin(), ClipList_[0].end(), ';'));
        if (Mode == 'D') {
            for (int c = pc; c <= pc + k; ++c)
                for (int r = oldLastRow; r >= pr; --r) moveCell(OC, c, r, c, r + n);
        }
        const int oldLastCol = GetColCount() - 1;
        if (Mode == 'R') {
            InsCols(kNoColumn, k + 1);
        } else {
            ensureColumns(pc + k + 1);
        }
        for (int i = 0; i < n; ++i) {
            if (pt.aborted()) return;
            ensureRows(OC, pr + i + 1);
            if (Mode == 'R')
                for (int c = oldLastCol; c >= pc; --c) moveCell(OC, c, pr + i, c + k + 1, pr + i);
            forEachField(ClipList_[i], [&](int j, std::string_view field) {
                ensureColumns(pc + j + 1);
                Put(OC, field, pc + j, pr + i);
            });
        }
    } else if (kind == 'K') {
        if (pr < 0) return;
        const int at = std::min(pr, GetRowCount(OC));
        int refused = 0;
        for (const std::string& line : ClipList_) {
            InsRow(OC, at);
            if (!PutRow(OC, line, at)) ++refused;
        }
        // Rows of the other part arrive with the type of a new row of this part: their own would move
        // them to the other part when the table is saved and read again.
        if (refused > 0)
            Ui_->showWarning(std::to_string(refused) +
                             (refused == 1 ? " Zeile hat ihren Zeilentyp" : " Zeilen haben ihren Zeilentyp") +
                             " nicht behalten, weil er nicht zu diesem Tabellenteil passt.");
    } else if (kind == 'C') {
        if (pc < 0 || typ % 2 == 1) return;
        InsCols(pc, n);
        for (int i = 0; i < n; ++i) PutCol(ClipList_[i], pc + i);
    }
}

// ---------------------------------------------------------------- margins from result tables

namespace {

// A row identifier is a letter followed by the row number, optionally followed by "." and more.
std::optional<int> rowOfIdentifier(std::string_view id) {
    if (id.size() < 2) return std::nullopt;
    std::string_view digits =
        id.substr(1, id.find('.') == std::string_view::npos ? id.npos : id.find('.') - 1);
    auto n = parseInteger(digits);
    if (!n || *n < 0 || *n > (1 << 30)) return std::nullopt;
    return static_cast<int>(*n);
}

}  // namespace

void TEditBuffer::PutGrpNum(const std::vector<std::string>& Lst) {
    for (const std::string& line : Lst) {
        std::vector<std::string> f = splitFields(line);
        auto row = rowOfIdentifier(f[0]);
        if (!row) continue;
        WriteP('A', 'G', f.size() > 1 ? f[1] : std::string(), *row);
        if (f.size() > 2 && !f[2].empty()) WriteP('A', 'N', f[2], *row);
    }
}

void TEditBuffer::PutScores(char OC, const std::vector<std::string>& Lst) {
    if (Lst.empty()) return;
    std::vector<std::string> names = splitFields(Lst[0]);
    const bool biplot = parseInteger(names[0]).value_or(0) != 0;
    for (std::size_t k = 1; k < names.size(); ++k)
        for (char& c : names[k])
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) c = '.';
    auto field = [](const std::vector<std::string>& f, std::size_t k) {
        return k < f.size() ? f[k] : std::string();
    };

    std::size_t e = 1;
    while (e < Lst.size()) {
        std::vector<std::string> f = splitFields(Lst[e]);
        auto row = rowOfIdentifier(f[0]);
        if (!biplot) {
            ++e;
            if (!row) continue;
            // "0", then every axis's name and value: the layout GetSpScoreItem and the sort read.
            std::string m = "0";
            for (std::size_t k = 1; k < names.size(); ++k) m += ' ' + names[k] + ' ' + field(f, k);
            WriteP(OC, 'S', m, *row);
            continue;
        }
        // A biplot group: the first line says how many lines belong to it.
        auto count = parseInteger(field(f, 1)).value_or(1);
        std::size_t c = static_cast<std::size_t>(std::clamp<std::int64_t>(count, 1, Lst.size() - e));
        std::vector<std::vector<std::string>> group;
        for (std::size_t g = 0; g < c; ++g) group.push_back(splitFields(Lst[e + g]));
        e += c;
        if (!row) continue;
        // "<lines> 1", then per line of the group its label ("#0" when empty) and every axis's name and
        // value, in the order of the flag-0 margins.
        std::string m = std::to_string(c) + " 1";
        for (const auto& g : group) {
            const std::string label = field(g, 2);
            m += ' ' + (label.empty() ? std::string("#0") : label);
            for (std::size_t a = 1; a < names.size(); ++a) m += ' ' + names[a] + ' ' + field(g, a + 2);
        }
        WriteP(OC, 'S', m, *row);
    }
}

bool TEditBuffer::GetSpScoreItem(std::string& t, int& p) {
    std::string scores;
    for (int r = 0; r < t_.IrowA.Count() && scores.empty(); ++r) scores = ReadP('A', 'S', r);
    if (scores.empty()) {
        Ui_->showInfo("Die Tabelle enthält keine Species scores");
        return false;
    }
    std::vector<std::string> items, axes;
    std::size_t start = 0;
    while (start < scores.size()) {
        std::size_t blank = scores.find(' ', start);
        std::size_t end = blank == std::string::npos ? scores.size() : blank;
        if (end > start) items.push_back(scores.substr(start, end - start));
        start = end + 1;
    }
    // "0 name1 value1 name2 value2 …": the names stand at the odd positions, each value after its name.
    for (std::size_t k = 1; k < items.size(); k += 2) axes.push_back(items[k]);
    auto pick = Ui_->pickFromList("Achsen auswählen", axes, false);
    if (!pick || pick->empty()) return false;
    t = axes[pick->front()];
    p = 2 * pick->front() + 2;
    return true;
}

}  // namespace tav
