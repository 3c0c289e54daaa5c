#pragma once
// The stored rows of a table in creation order. Entry 0 of a row is its type, 1 its name, 2 its margin
// string, entries 3 … its cells by stored column. Reading an entry beyond the stored columns yields the
// empty string; writing there does nothing.

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/string_pool.h"
#include "table/cell_row.h"

namespace tav {

struct StoredRow {
    TextHandle head[3] = {0, 0, 0};  // type, name, margin
    CellRow cells;
};

class TableStore {
  public:
    void Clear() {
        rows.clear();
        pool.clear();
        slots = 0;
    }
    int Count() const { return static_cast<int>(rows.size()); }
    int AppendStringList() {
        rows.emplace_back();
        return Count() - 1;
    }

    TextHandle handle(int row, int entry) const {
        if (row < 0 || row >= Count() || entry < 0) return 0;
        if (entry < 3) return rows[row].head[entry];
        auto slot = static_cast<std::uint32_t>(entry - 3);
        return slot < slots ? rows[row].cells.get(slot) : 0;
    }
    std::string_view GetString(int row, int entry) const { return pool.text(handle(row, entry)); }

    void putHandle(int row, int entry, TextHandle h) {
        if (row < 0 || row >= Count() || entry < 0) return;
        if (entry < 3) {
            rows[row].head[entry] = h;
            return;
        }
        auto slot = static_cast<std::uint32_t>(entry - 3);
        if (slot < slots) rows[row].cells.put(slot, h, slots);
    }
    // Stores text as it is (callers clean it first).
    void ReplaceString(int row, int entry, std::string_view text) {
        putHandle(row, entry, pool.intern(text));
    }

    StringPool pool;
    std::vector<StoredRow> rows;
    std::uint32_t slots = 0;  // stored columns created so far
};

}  // namespace tav
