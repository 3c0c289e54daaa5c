#pragma once
// Integer, floating and string lists with binary search and simple indexes.
//
// Binary search everywhere follows one rule (lists sorted ascending by the searched value): found gives
// the first item of the run of equal values; not found gives the position of the first greater item,
// or the count; an empty list gives false with p = 0.
//
// Positions are 0-based. Reading outside a list gives a neutral value (0, 0.0, "" as stated below) and
// writing outside a list does nothing, so a stale position never corrupts memory. Accessors that return
// a reference to a whole list or index throw std::out_of_range for a position outside the collection.
//
// Floating values are ordered with NaN after every number, so sorting and searching stay well defined
// when a NaN slips in.

#include <cstdint>
#include <string>
#include <vector>

namespace tav {

// Compared in place of a missing element of a shorter integer list.
inline constexpr std::int32_t kMissingInteger = -999999999;

class TLongList {
  public:
    using value_type = std::int32_t;

    void Clear() { items_.clear(); }
    void RmAll() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    std::int32_t GetLong(int p) const;       // 0 outside the list
    void InsertLong(int p, std::int32_t i);  // before p; p == Count appends; nothing outside 0 … Count
    void AppendLong(std::int32_t i) { items_.push_back(i); }
    void ReplaceLong(int p, std::int32_t i);  // nothing outside the list
    void DeleteLong(int p);                   // nothing outside the list
    void SortLong();                          // ascending
    bool Find(std::int32_t i, int& p) const;
    void fill(int m, int n);  // Clear, then m … n (empty when n < m)
    std::vector<std::int32_t>& items() { return items_; }
    const std::vector<std::int32_t>& items() const { return items_; }

  private:
    std::vector<std::int32_t> items_;
};

class TFloatList {
  public:
    using value_type = double;

    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    double GetFloat(int p) const;       // 0.0 outside the list
    void InsertFloat(int p, double x);  // before p; p == Count appends; nothing outside 0 … Count
    void AppendFloat(double x) { items_.push_back(x); }
    void ReplaceFloat(int p, double x);  // nothing outside the list
    void DeleteFloat(int p);             // nothing outside the list
    void SortFloat();                    // ascending
    bool Find(double x, int& p) const;
    std::vector<double>& items() { return items_; }
    const std::vector<double>& items() const { return items_; }

  private:
    std::vector<double> items_;
};

struct RListIndexItem {
    double x;        // key
    std::int32_t p;  // position of the indexed item
};

// Keys with positions; after FinishIndex the items are in ascending order of key, items with equal keys
// in the order they were appended.
class TListIndex {
  public:
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    void AppendIndexItem(double x, std::int32_t i) { items_.push_back({x, i}); }
    void FinishIndex();
    RListIndexItem GetIndexItem(int p) const;  // {kMissing, -1} outside the index
    bool Find(double x, int& p) const;         // on the keys; needs FinishIndex
    const std::vector<RListIndexItem>& items() const { return items_; }

  private:
    std::vector<RListIndexItem> items_;
};

class TListIndexCollection {
  public:
    int AppendListIndex();  // position of a new empty index
    TListIndex& GetListIndex(int p) { return indexes_.at(static_cast<std::size_t>(p)); }
    const TListIndex& GetListIndex(int p) const { return indexes_.at(static_cast<std::size_t>(p)); }
    int Count() const { return static_cast<int>(indexes_.size()); }
    void Clear() { indexes_.clear(); }

  private:
    std::vector<TListIndex> indexes_;
};

namespace detail {

// What the integer and floating list collections have in common; List is TLongList or TFloatList.
template <class List>
class ListCollection {
  public:
    using Value = typename List::value_type;

    // Releases every list, and the indexes with them: they would point at lists that are gone.
    void Clear() {
        lists_.clear();
        Ind.Clear();
    }
    int Count() const { return static_cast<int>(lists_.size()); }
    void AppendData(int p, Value i);          // appends to list p; nothing outside the collection
    Value GetData(int pList, int p) const;    // 0 outside the collection or the list
    void PutData(int pList, int p, Value i);  // replaces; nothing outside the collection or the list

    // One permutation for every list: lst holds 1-based source positions, and element k becomes the
    // former element lst[k]-1 for k < lst.Count(); other elements, and those whose source lies outside
    // their list, stay.
    void SortAccording(const TLongList& lst);
    void SortEach();  // each list ascending
    // Orders the lists among themselves, element by element; a shorter list's missing elements compare
    // as a very low value (kMissingInteger for integers, kMissing for floating values). Lists equal to
    // the end keep their order. Existing indexes are not rebuilt.
    void SortCollection();
    // Binary search over the lists by their first element (an empty list counts as kMissing); the
    // collection must be sorted by that element.
    bool FindList(Value i, int& p) const;
    // Binary search inside list IndexNr; false with p = 0 when there is no such list.
    bool Find(int IndexNr, Value i, int& p) const;

    // Rebuilds index Nr (creating indexes up to it): one item per list, keyed by the list's element Nr
    // (kMissing when the list is shorter) and pointing at the list's position.
    void SetIndex(int Nr);
    TListIndex& GetIndex(int Nr) { return Ind.GetListIndex(Nr); }
    const TListIndex& GetIndex(int Nr) const { return Ind.GetListIndex(Nr); }
    // Binary search in index IndexNr; false with pIndex = 0 when there is no such index.
    bool IndexFind(int IndexNr, double key, int& pIndex) const;

    TListIndexCollection Ind;

  protected:
    int appendList();
    List& listAt(int p) { return lists_.at(static_cast<std::size_t>(p)); }
    const List& listAt(int p) const { return lists_.at(static_cast<std::size_t>(p)); }
    bool hasList(int p) const { return p >= 0 && p < Count(); }

    std::vector<List> lists_;
};

extern template class ListCollection<TLongList>;
extern template class ListCollection<TFloatList>;

}  // namespace detail

class TLongListCollection : public detail::ListCollection<TLongList> {
  public:
    int AppendLongList() { return appendList(); }  // position of a new empty list
    TLongList& GetLongList(int p) { return listAt(p); }
    const TLongList& GetLongList(int p) const { return listAt(p); }
};

class TFloatListCollection : public detail::ListCollection<TFloatList> {
  public:
    int AppendFloatList() { return appendList(); }  // position of a new empty list
    TFloatList& GetFloatList(int p) { return listAt(p); }
    const TFloatList& GetFloatList(int p) const { return listAt(p); }
};

class TStringListCollection {
  public:
    void Clear() { lists_.clear(); }
    int Count() const { return static_cast<int>(lists_.size()); }
    int AppendStringList();                          // position of a new empty list
    void AppendString(int p, const std::string& s);  // nothing outside the collection
    std::vector<std::string>& GetStringList(int p) { return lists_.at(static_cast<std::size_t>(p)); }
    const std::vector<std::string>& GetStringList(int p) const {
        return lists_.at(static_cast<std::size_t>(p));
    }
    std::string GetString(int pList, int p) const;               // "" outside the collection or list
    void ReplaceString(int pList, int p, const std::string& s);  // nothing outside

  private:
    std::vector<std::vector<std::string>> lists_;
};

}  // namespace tav
