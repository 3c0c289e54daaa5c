#include "core/menge.h"

#include <algorithm>
#include <bit>

#include "core/random.h"

namespace tav {

namespace {

constexpr std::uint64_t kAllBits = ~std::uint64_t{0};

// Bits lo … hi (inclusive, 0 <= lo <= hi <= 63) of a word.
std::uint64_t bitRange(int lo, int hi) {
    return (kAllBits >> (63 - hi)) & (kAllBits << lo);
}

}  // namespace

const TMenge::Leaf* TMenge::findLeaf(std::uint32_t leafKey) const {
    const std::uint32_t t = leafKey >> kPageBits;
    if (t >= top_.size()) return nullptr;
    const std::int32_t page = top_[t];
    if (page < 0) return nullptr;
    const std::int32_t leaf = mids_[page][leafKey & (kPageSlots - 1)];
    if (leaf < 0) return nullptr;
    return &leaves_[leaf];
}

TMenge::Leaf* TMenge::findLeaf(std::uint32_t leafKey) {
    return const_cast<Leaf*>(static_cast<const TMenge*>(this)->findLeaf(leafKey));
}

TMenge::Leaf& TMenge::leafFor(std::uint32_t leafKey) {
    const std::uint32_t t = leafKey >> kPageBits;
    if (t >= top_.size()) top_.resize(t + 1, -1);
    if (top_[t] < 0) {
        top_[t] = static_cast<std::int32_t>(mids_.size());
        mids_.emplace_back().fill(-1);
    }
    // Growing leaves_ below does not move mids_, so the slot reference stays valid.
    std::int32_t& slot = mids_[top_[t]][leafKey & (kPageSlots - 1)];
    if (slot < 0) {
        slot = static_cast<std::int32_t>(leaves_.size());
        leaves_.emplace_back();  // value-initialised: all zero
    }
    return leaves_[slot];
}

template <class Self, class F>
void TMenge::forEachLeaf(Self& self, F&& f) {
    for (std::size_t t = 0; t < self.top_.size(); ++t) {
        if (self.top_[t] < 0) continue;
        const Page& page = self.mids_[self.top_[t]];
        for (int s = 0; s < kPageSlots; ++s) {
            if (page[s] < 0) continue;
            f(static_cast<std::uint32_t>((t << kPageBits) | s), self.leaves_[page[s]]);
        }
    }
}

std::int64_t TMenge::firstFrom(std::int64_t from) const {
    std::int64_t v = std::max<std::int64_t>(from, 0);
    while (v < kCapacity) {
        const std::uint64_t t = static_cast<std::uint64_t>(v) >> kPageShift;
        if (t >= top_.size()) return -1;
        if (top_[t] < 0) {
            // No directory page: skip its whole region.
            v = static_cast<std::int64_t>(t + 1) << kPageShift;
            continue;
        }
        const std::int64_t leafKey = v >> kLeafBits;
        const std::int32_t li = mids_[top_[t]][leafKey & (kPageSlots - 1)];
        if (li >= 0) {
            const Leaf& leaf = leaves_[li];
            int w = static_cast<int>((v >> 6) & (kLeafWords - 1));
            std::uint64_t bits = leaf[w] & (kAllBits << (v & 63));
            for (;;) {
                if (bits != 0) return (leafKey << kLeafBits) + w * 64 + std::countr_zero(bits);
                if (++w == kLeafWords) break;
                bits = leaf[w];
            }
        }
        v = (leafKey + 1) << kLeafBits;
    }
    return -1;
}

void TMenge::dropAll() {
    // Fresh vectors rather than clear(): Clear is meant to give the memory back.
    std::vector<std::int32_t>().swap(top_);
    std::vector<Page>().swap(mids_);
    std::vector<Leaf>().swap(leaves_);
    count_ = 0;
}

void TMenge::Reset() {
    cursor_ = 0;
}

void TMenge::Clear() {
    dropAll();
    cursor_ = 0;
}

void TMenge::Fill(int m, int n) {
    Clear();
    const std::int64_t lo = std::max(m, 0);
    const std::int64_t hi = std::min(n, kCapacity - 1);
    if (hi < lo) return;
    for (std::int64_t key = lo >> kLeafBits; key <= hi >> kLeafBits; ++key) {
        Leaf& leaf = leafFor(static_cast<std::uint32_t>(key));
        const std::int64_t base = key << kLeafBits;
        const std::int64_t from = std::max(lo, base) - base;
        const std::int64_t to = std::min(hi, base + (kLeafWords * 64 - 1)) - base;
        for (std::int64_t w = from >> 6; w <= to >> 6; ++w) {
            const int a = static_cast<int>(std::max(from, w * 64) - w * 64);
            const int b = static_cast<int>(std::min(to, w * 64 + 63) - w * 64);
            leaf[w] = bitRange(a, b);
        }
    }
    count_ = static_cast<int>(hi - lo + 1);
}

void TMenge::Add(int n) {
    if (n < 0 || n >= kCapacity) return;
    std::uint64_t& word = leafFor(static_cast<std::uint32_t>(n) >> kLeafBits)[(n >> 6) & (kLeafWords - 1)];
    const std::uint64_t bit = std::uint64_t{1} << (n & 63);
    if ((word & bit) == 0) {
        word |= bit;
        ++count_;
    }
}

void TMenge::Remove(int n) {
    if (n < 0 || n >= kCapacity) return;
    Leaf* leaf = findLeaf(static_cast<std::uint32_t>(n) >> kLeafBits);
    if (leaf == nullptr) return;
    std::uint64_t& word = (*leaf)[(n >> 6) & (kLeafWords - 1)];
    const std::uint64_t bit = std::uint64_t{1} << (n & 63);
    if ((word & bit) != 0) {
        word &= ~bit;
        --count_;
    }
}

bool TMenge::Element(int n) const {
    if (n < 0 || n >= kCapacity) return false;
    const Leaf* leaf = findLeaf(static_cast<std::uint32_t>(n) >> kLeafBits);
    return leaf != nullptr && (((*leaf)[(n >> 6) & (kLeafWords - 1)] >> (n & 63)) & 1) != 0;
}

bool TMenge::Next(int& x) {
    const std::int64_t found = firstFrom(cursor_);
    if (found < 0) {
        // The cursor stays: elements added later beyond it are still found by the next call.
        x = -1;
        return false;
    }
    x = static_cast<int>(found);
    cursor_ = found + 1;
    return true;
}

void TMenge::Oder(const TMenge& w) {
    if (&w == this) return;
    forEachLeaf(w, [this](std::uint32_t key, const Leaf& src) {
        if (std::all_of(src.begin(), src.end(), [](std::uint64_t b) { return b == 0; })) return;
        Leaf& dst = leafFor(key);
        for (int i = 0; i < kLeafWords; ++i) {
            const std::uint64_t old = dst[i];
            const std::uint64_t now = old | src[i];
            if (now == old) continue;
            count_ += std::popcount(now) - std::popcount(old);
            dst[i] = now;
        }
    });
}

void TMenge::XOder(const TMenge& w) {
    if (&w == this) {
        dropAll();
        return;
    }
    forEachLeaf(w, [this](std::uint32_t key, const Leaf& src) {
        if (std::all_of(src.begin(), src.end(), [](std::uint64_t b) { return b == 0; })) return;
        Leaf& dst = leafFor(key);
        for (int i = 0; i < kLeafWords; ++i) {
            if (src[i] == 0) continue;
            const std::uint64_t old = dst[i];
            const std::uint64_t now = old ^ src[i];
            count_ += std::popcount(now) - std::popcount(old);
            dst[i] = now;
        }
    });
}

void TMenge::Und(const TMenge& w) {
    if (&w == this) return;
    forEachLeaf(*this, [this, &w](std::uint32_t key, Leaf& dst) {
        const Leaf* src = w.findLeaf(key);
        for (int i = 0; i < kLeafWords; ++i) {
            const std::uint64_t old = dst[i];
            if (old == 0) continue;
            const std::uint64_t now = src != nullptr ? old & (*src)[i] : 0;
            if (now == old) continue;
            count_ -= std::popcount(old) - std::popcount(now);
            dst[i] = now;
        }
    });
}

void TMenge::Zufallswahl(int n, int nMax, Random& rng) {
    if (count_ > 0) {
        if (n >= count_) return;
        if (n <= 0) {
            dropAll();
            return;
        }
        // Choose n distinct ordinals (0 = smallest element), then keep exactly the elements at them.
        TMenge chosen;
        const auto total = static_cast<std::uint64_t>(count_);
        while (chosen.Count() < n) chosen.Add(static_cast<int>(rng.below(total)));
        int ordinal = 0;
        forEachLeaf(*this, [this, &chosen, &ordinal](std::uint32_t, Leaf& leaf) {
            for (std::uint64_t& word : leaf) {
                std::uint64_t keep = word;
                for (std::uint64_t bits = word; bits != 0; bits &= bits - 1) {
                    if (!chosen.Element(ordinal)) keep &= ~(bits & (~bits + 1));
                    ++ordinal;
                }
                if (keep == word) continue;
                count_ -= std::popcount(word) - std::popcount(keep);
                word = keep;
            }
        });
        return;
    }
    if (n <= 0) return;
    const std::int64_t limit = std::min(nMax, kCapacity);
    if (limit - 1 >= n) {
        while (count_ < n) Add(static_cast<int>(rng.below(static_cast<std::uint64_t>(limit))));
    } else {
        Fill(0, static_cast<int>(std::max<std::int64_t>(limit, 0)) - 1);
    }
}

std::vector<int> TMenge::elements() const {
    std::vector<int> out;
    out.reserve(static_cast<std::size_t>(count_));
    forEachLeaf(*this, [&out](std::uint32_t key, const Leaf& leaf) {
        const int base = static_cast<int>(key) << kLeafBits;
        for (int w = 0; w < kLeafWords; ++w) {
            for (std::uint64_t bits = leaf[w]; bits != 0; bits &= bits - 1) {
                out.push_back(base + w * 64 + std::countr_zero(bits));
            }
        }
    });
    return out;
}

bool TMenge::operator==(const TMenge& o) const {
    if (count_ != o.count_) return false;
    // Equal counts: being a subset of o is enough.
    bool subset = true;
    forEachLeaf(*this, [&o, &subset](std::uint32_t key, const Leaf& leaf) {
        if (!subset) return;
        const Leaf* other = o.findLeaf(key);
        for (int w = 0; w < kLeafWords && subset; ++w) {
            const std::uint64_t theirs = other != nullptr ? (*other)[w] : 0;
            if ((leaf[w] & ~theirs) != 0) subset = false;
        }
    });
    return subset;
}

}  // namespace tav
