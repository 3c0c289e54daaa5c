#include "core/lists.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <type_traits>

#include "core/numbers.h"

namespace tav {

namespace {

// Ascending with NaN after everything else: a strict weak order even when a NaN is present, which
// std::sort and std::lower_bound need.
bool valueLess(double a, double b) {
    if (std::isnan(a)) return false;
    if (std::isnan(b)) return true;
    return a < b;
}

// The shared binary search: first position whose projected value is not below key.
template <class Range, class Proj>
bool findSorted(const Range& range, double key, Proj proj, int& p) {
    const auto it = std::ranges::lower_bound(range, key, valueLess, proj);
    p = static_cast<int>(it - std::ranges::begin(range));
    return it != std::ranges::end(range) && !valueLess(key, std::invoke(proj, *it));
}

double asKey(double x) {
    return x;
}

bool inside(int p, std::size_t size) {
    return p >= 0 && static_cast<std::size_t>(p) < size;
}

}  // namespace

// ---- TLongList ----

std::int32_t TLongList::GetLong(int p) const {
    return inside(p, items_.size()) ? items_[p] : 0;
}

void TLongList::InsertLong(int p, std::int32_t i) {
    if (p < 0 || p > Count()) return;
    items_.insert(items_.begin() + p, i);
}

void TLongList::ReplaceLong(int p, std::int32_t i) {
    if (inside(p, items_.size())) items_[p] = i;
}

void TLongList::DeleteLong(int p) {
    if (inside(p, items_.size())) items_.erase(items_.begin() + p);
}

void TLongList::SortLong() {
    std::sort(items_.begin(), items_.end());
}

bool TLongList::Find(std::int32_t i, int& p) const {
    // Every int32 is exact as a double, so the shared search on doubles gives the integer order.
    return findSorted(
        items_, i, [](std::int32_t v) { return static_cast<double>(v); }, p);
}

void TLongList::fill(int m, int n) {
    items_.clear();
    if (n < m) return;
    items_.reserve(static_cast<std::size_t>(static_cast<std::int64_t>(n) - m + 1));
    // 64-bit counter: n may be the largest int.
    for (std::int64_t v = m; v <= n; ++v) items_.push_back(static_cast<std::int32_t>(v));
}

// ---- TFloatList ----

double TFloatList::GetFloat(int p) const {
    return inside(p, items_.size()) ? items_[p] : 0.0;
}

void TFloatList::InsertFloat(int p, double x) {
    if (p < 0 || p > Count()) return;
    items_.insert(items_.begin() + p, x);
}

void TFloatList::ReplaceFloat(int p, double x) {
    if (inside(p, items_.size())) items_[p] = x;
}

void TFloatList::DeleteFloat(int p) {
    if (inside(p, items_.size())) items_.erase(items_.begin() + p);
}

void TFloatList::SortFloat() {
    std::sort(items_.begin(), items_.end(), valueLess);
}

bool TFloatList::Find(double x, int& p) const {
    return findSorted(items_, x, asKey, p);
}

// ---- TListIndex ----

void TListIndex::FinishIndex() {
    std::stable_sort(items_.begin(), items_.end(),
                     [](const RListIndexItem& a, const RListIndexItem& b) { return valueLess(a.x, b.x); });
}

RListIndexItem TListIndex::GetIndexItem(int p) const {
    return inside(p, items_.size()) ? items_[p] : RListIndexItem{kMissing, -1};
}

bool TListIndex::Find(double x, int& p) const {
    return findSorted(items_, x, &RListIndexItem::x, p);
}

int TListIndexCollection::AppendListIndex() {
    indexes_.emplace_back();
    return Count() - 1;
}

// ---- list collections ----

namespace detail {

namespace {

template <class Value>
constexpr double missingElement() {
    if constexpr (std::is_same_v<Value, std::int32_t>) {
        return kMissingInteger;
    } else {
        return kMissing;
    }
}

}  // namespace

template <class List>
int ListCollection<List>::appendList() {
    lists_.emplace_back();
    return Count() - 1;
}

template <class List>
void ListCollection<List>::AppendData(int p, Value i) {
    if (hasList(p)) lists_[p].items().push_back(i);
}

template <class List>
auto ListCollection<List>::GetData(int pList, int p) const -> Value {
    if (!hasList(pList)) return Value{};
    const auto& v = lists_[pList].items();
    return inside(p, v.size()) ? v[p] : Value{};
}

template <class List>
void ListCollection<List>::PutData(int pList, int p, Value i) {
    if (!hasList(pList)) return;
    auto& v = lists_[pList].items();
    if (inside(p, v.size())) v[p] = i;
}

template <class List>
void ListCollection<List>::SortAccording(const TLongList& lst) {
    const auto& order = lst.items();
    std::vector<Value> old;
    for (List& list : lists_) {
        auto& v = list.items();
        old = v;
        const std::size_t n = std::min(v.size(), order.size());
        for (std::size_t k = 0; k < n; ++k) {
            const std::int64_t source = static_cast<std::int64_t>(order[k]) - 1;
            if (source >= 0 && static_cast<std::size_t>(source) < old.size()) v[k] = old[source];
        }
    }
}

template <class List>
void ListCollection<List>::SortEach() {
    for (List& list : lists_) std::sort(list.items().begin(), list.items().end(), valueLess);
}

template <class List>
void ListCollection<List>::SortCollection() {
    constexpr double missing = missingElement<Value>();
    std::stable_sort(lists_.begin(), lists_.end(), [](const List& a, const List& b) {
        const auto& x = a.items();
        const auto& y = b.items();
        const std::size_t n = std::max(x.size(), y.size());
        for (std::size_t k = 0; k < n; ++k) {
            const double u = k < x.size() ? static_cast<double>(x[k]) : missing;
            const double w = k < y.size() ? static_cast<double>(y[k]) : missing;
            if (valueLess(u, w)) return true;
            if (valueLess(w, u)) return false;
        }
        return false;
    });
}

template <class List>
bool ListCollection<List>::FindList(Value i, int& p) const {
    return findSorted(
        lists_, static_cast<double>(i),
        [](const List& l) { return l.items().empty() ? kMissing : static_cast<double>(l.items().front()); },
        p);
}

template <class List>
bool ListCollection<List>::Find(int IndexNr, Value i, int& p) const {
    if (!hasList(IndexNr)) {
        p = 0;
        return false;
    }
    return findSorted(
        lists_[IndexNr].items(), static_cast<double>(i), [](Value v) { return static_cast<double>(v); }, p);
}

template <class List>
void ListCollection<List>::SetIndex(int Nr) {
    if (Nr < 0) return;
    while (Ind.Count() <= Nr) Ind.AppendListIndex();
    TListIndex& index = Ind.GetListIndex(Nr);
    index.Clear();
    const auto column = static_cast<std::size_t>(Nr);
    for (int j = 0; j < Count(); ++j) {
        const auto& v = lists_[j].items();
        index.AppendIndexItem(column < v.size() ? static_cast<double>(v[column]) : kMissing, j);
    }
    index.FinishIndex();
}

template <class List>
bool ListCollection<List>::IndexFind(int IndexNr, double key, int& pIndex) const {
    if (IndexNr < 0 || IndexNr >= Ind.Count()) {
        pIndex = 0;
        return false;
    }
    return Ind.GetListIndex(IndexNr).Find(key, pIndex);
}

template class ListCollection<TLongList>;
template class ListCollection<TFloatList>;

}  // namespace detail

// ---- TStringListCollection ----

int TStringListCollection::AppendStringList() {
    lists_.emplace_back();
    return Count() - 1;
}

void TStringListCollection::AppendString(int p, const std::string& s) {
    if (inside(p, lists_.size())) lists_[p].push_back(s);
}

std::string TStringListCollection::GetString(int pList, int p) const {
    if (!inside(pList, lists_.size()) || !inside(p, lists_[pList].size())) return {};
    return lists_[pList][p];
}

void TStringListCollection::ReplaceString(int pList, int p, const std::string& s) {
    if (inside(pList, lists_.size()) && inside(p, lists_[pList].size())) lists_[pList][p] = s;
}

}  // namespace tav
