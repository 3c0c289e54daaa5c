#pragma once
// TMenge: the set of non-negative integers used for every marking and selection (rows, columns, species
// records, cluster members). Built for very sparse use over a huge range: storage is allocated only for
// the regions that hold elements, membership/insert/remove are a handful of steps, and the element count
// is exact at every moment.
//
// Layout: a three-level radix tree over the 30-bit element range. An element n splits into
//   n >> 21          index into top_ (at most 474 entries, grown only up to the highest used one),
//   (n >> 12) & 511  slot in a directory page (mids_) that holds leaf numbers,
//   n & 4095         bit in a leaf of 64 words.
// Lookups are three array accesses whatever the spread of the elements, and an element near the top of
// the range costs one directory page and one leaf, not the space below it. Leaves are never freed until
// Clear, so a leaf may be all zero; everything that compares or enumerates treats a missing leaf and an
// empty leaf alike.

#include <array>
#include <cstdint>
#include <vector>

namespace tav {

class Random;

class TMenge {
  public:
    static constexpr int kCapacity = 992436543;  // elements 0 … kCapacity-1

    TMenge() = default;

    void Reset();             // enumeration cursor to the start; membership unchanged
    void Clear();             // empties the set, releases its storage and resets the cursor
    void Fill(int m, int n);  // Clear, then m … n (clipped to the range; nothing when n < m), then Reset
    void Add(int n);          // ignored outside 0 … kCapacity-1
    void Remove(int n);       // nothing when n is not an element
    bool Element(int n) const;
    // Smallest element at or after the cursor; moves the cursor past it. At the end: false, x = -1.
    // The cursor is the next value to consider, so elements added behind it during an enumeration are
    // not visited and elements added ahead of it are.
    bool Next(int& x);
    int Count() const { return count_; }
    bool empty() const { return count_ == 0; }

    // Set operations leave the cursor where it is.
    void Oder(const TMenge& w);   // union
    void XOder(const TMenge& w);  // symmetric difference
    void Und(const TMenge& w);    // intersection

    // On a non-empty set: keeps n randomly chosen elements, each subset of that size equally likely;
    // nothing changes when n >= Count, and n <= 0 keeps no element (the set is cleared).
    // On an empty set: adds n distinct values drawn uniformly below nMax when n < nMax, otherwise fills
    // 0 … nMax-1; n <= 0 adds nothing. nMax is clipped to kCapacity.
    // The cursor stays where it is, except that filling resets it as Fill does.
    void Zufallswahl(int n, int nMax, Random& rng);

    std::vector<int> elements() const;  // ascending
    // Membership only; the cursor is not compared.
    bool operator==(const TMenge& o) const;

  private:
    static constexpr int kLeafBits = 12;               // 4096 elements per leaf
    static constexpr int kLeafWords = 64;              // 64-bit words per leaf
    static constexpr int kPageBits = 9;                // 512 leaves per directory page
    static constexpr int kPageSlots = 1 << kPageBits;  // slots of a directory page
    static constexpr int kPageShift = kLeafBits + kPageBits;

    using Leaf = std::array<std::uint64_t, kLeafWords>;
    using Page = std::array<std::int32_t, kPageSlots>;  // leaf numbers, -1 for none

    const Leaf* findLeaf(std::uint32_t leafKey) const;
    Leaf* findLeaf(std::uint32_t leafKey);
    Leaf& leafFor(std::uint32_t leafKey);  // creates the leaf when missing
    // Smallest element >= from, or -1.
    std::int64_t firstFrom(std::int64_t from) const;
    // Calls f(leafKey, leaf) for every allocated leaf of self in ascending order of its key; the leaf is
    // mutable when self is.
    template <class Self, class F>
    static void forEachLeaf(Self& self, F&& f);
    void dropAll();  // empties storage and count, keeps the cursor

    std::vector<std::int32_t> top_;  // directory page numbers, -1 for none
    std::vector<Page> mids_;
    std::vector<Leaf> leaves_;
    int count_ = 0;
    std::int64_t cursor_ = 0;  // next value Next considers
};

}  // namespace tav
