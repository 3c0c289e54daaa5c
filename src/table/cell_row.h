#pragma once
// The cells of one stored row, addressed by slot (the stored column, entry index − 3). Species rows are
// sparse (a few dozen covers in thousands of releves), header rows dense; a row starts sparse and turns
// dense once more than a quarter of its slots are filled, which bounds it at 4 bytes a slot.

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/string_pool.h"

namespace tav {

class CellRow {
  public:
    TextHandle get(std::uint32_t slot) const {
        if (dense_) return slot < cells_.size() ? cells_[slot] : 0;
        auto it = findSparse(slot);
        return it != sparse_.end() && it->first == slot ? it->second : 0;
    }

    // slotCount is the number of stored columns of the table; it decides when the row turns dense.
    void put(std::uint32_t slot, TextHandle h, std::uint32_t slotCount) {
        if (dense_) {
            if (slot >= cells_.size()) {
                if (h == 0) return;
                cells_.resize(std::max<std::size_t>(slot + 1, slotCount), 0);
            }
            cells_[slot] = h;
            return;
        }
        auto it = findSparse(slot);
        if (it != sparse_.end() && it->first == slot) {
            if (h != 0) {
                it->second = h;
            } else {
                sparse_.erase(it);
            }
            return;
        }
        if (h == 0) return;
        sparse_.insert(it, {slot, h});
        if (sparse_.size() > 16 && sparse_.size() * 4 > slotCount) makeDense(slotCount);
    }

    // Appending in ascending slot order, as the file readers do, costs no search.
    void append(std::uint32_t slot, TextHandle h, std::uint32_t slotCount) {
        if (!dense_ && (sparse_.empty() || sparse_.back().first < slot)) {
            if (h == 0) return;
            sparse_.emplace_back(slot, h);
            if (sparse_.size() > 16 && sparse_.size() * 4 > slotCount) makeDense(slotCount);
            return;
        }
        put(slot, h, slotCount);
    }

    bool hasCells() const {
        if (!dense_) return !sparse_.empty();
        return std::any_of(cells_.begin(), cells_.end(), [](TextHandle h) { return h != 0; });
    }

    // Calls f(slot, handle) for every non-empty cell in ascending slot order.
    template <class F>
    void forEach(F&& f) const {
        if (dense_) {
            for (std::uint32_t s = 0; s < cells_.size(); ++s)
                if (cells_[s] != 0) f(s, cells_[s]);
        } else {
            for (const auto& [s, h] : sparse_) f(s, h);
        }
    }

    void clear() {
        dense_ = false;
        cells_.clear();
        cells_.shrink_to_fit();
        sparse_.clear();
        sparse_.shrink_to_fit();
    }

    bool isDense() const { return dense_; }

  private:
    using Entry = std::pair<std::uint32_t, TextHandle>;

    std::vector<Entry>::const_iterator findSparse(std::uint32_t slot) const {
        return std::lower_bound(sparse_.begin(), sparse_.end(), slot,
                                [](const Entry& e, std::uint32_t s) { return e.first < s; });
    }
    std::vector<Entry>::iterator findSparse(std::uint32_t slot) {
        return std::lower_bound(sparse_.begin(), sparse_.end(), slot,
                                [](const Entry& e, std::uint32_t s) { return e.first < s; });
    }
    void makeDense(std::uint32_t slotCount) {
        std::uint32_t size = std::max<std::uint32_t>(slotCount, sparse_.back().first + 1);
        cells_.assign(size, 0);
        for (const auto& [s, h] : sparse_) cells_[s] = h;
        sparse_.clear();
        sparse_.shrink_to_fit();
        dense_ = true;
    }

    bool dense_ = false;
    std::vector<TextHandle> cells_;
    std::vector<Entry> sparse_;
};

}  // namespace tav
