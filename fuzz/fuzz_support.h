#pragma once
// Shared pieces of the fuzz targets: a private scratch folder per process, whole-file writes, a table
// comparison for the round trips, and the one way a target reports a difference (abort, so that the
// fuzzer keeps the input).

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "species/record_set.h"
#include "table/edit_buffer.h"

namespace tav::fuzz {

// A folder of our own in /dev/shm (or $TMPDIR), removed when the process ends normally. Inputs that crash
// leave it behind, which is harmless and helps when reproducing by hand.
class ScratchFolder {
  public:
    ScratchFolder() {
        // Saves flush to disk; on a memory file system that costs nothing, on a disk it would set the pace.
        // The run scripts name a folder of theirs, which they remove with whatever crashed runs left.
        std::error_code ec;
        const char* given = std::getenv("TAVOLEX_FUZZ_TMP");
        const std::filesystem::path base =
            given && *given ? std::filesystem::path(given)
            : ::access("/dev/shm", W_OK) == 0 && std::filesystem::is_directory("/dev/shm", ec)
                ? std::filesystem::path("/dev/shm")
                : std::filesystem::temp_directory_path();
        std::string pattern = (base / "tavolex-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("tavolex-fuzz: mkdtemp");
            std::abort();
        }
        path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string path;
};

inline const std::string& scratchFolder() {
    static const ScratchFolder folder;
    return folder.path;
}

inline std::string scratchFile(std::string_view name) {
    return scratchFolder() + "/" + std::string(name);
}

inline void writeBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "tavolex-fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void removeFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

// Text shown in a difference report: control bytes and bytes above ASCII as \xNN, shortened.
inline std::string shown(std::string_view s) {
    std::string out = "\"";
    for (unsigned char c : s.substr(0, 200)) {
        if (c < 0x20 || c >= 0x7f || c == '"' || c == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += s.size() > 200 ? "\"..." : "\"";
    return out;
}

[[noreturn]] inline void roundTripFailed(std::string_view target, const std::string& what) {
    std::fprintf(stderr, "\n*** %.*s: round trip changed the content: %s\n", static_cast<int>(target.size()),
                 target.data(), what.c_str());
    std::fflush(stderr);
    std::error_code ec;
    std::filesystem::remove_all(scratchFolder(), ec);
    std::abort();
}

// What a user sees of one row: type, name, margin and the filled cells by visible column.
struct RowView {
    std::string type, name, margin;
    std::vector<std::pair<int, std::string>> cells;
    bool operator==(const RowView&) const = default;
};

// The rows of one part. Cells are taken from the sparse store, so that a wide table with few filled
// cells is compared in time proportional to its filled cells.
inline std::vector<RowView> rowsOf(const TEditBuffer& b, char OC) {
    std::vector<int> colOfSlot(b.L().slots, -1);
    for (int c = 0; c < b.GetColCount(); ++c) {
        const int slot = b.GetBufCol(c) - 3;
        if (slot >= 0 && static_cast<std::size_t>(slot) < colOfSlot.size()) colOfSlot[slot] = c;
    }
    std::vector<RowView> rows;
    for (int r = 0; r < b.GetRowCount(OC); ++r) {
        RowView v;
        v.type = b.Get(OC, -3, r);
        v.name = b.Get(OC, -2, r);
        v.margin = b.Get(OC, -1, r);
        b.L().rows[b.GetBufRow(OC, r)].cells.forEach([&](std::uint32_t slot, TextHandle h) {
            const int col = slot < colOfSlot.size() ? colOfSlot[slot] : -1;
            const std::string_view text = b.L().pool.text(h);
            if (col >= 0 && !text.empty()) v.cells.emplace_back(col, std::string(text));
        });
        std::sort(v.cells.begin(), v.cells.end());
        rows.push_back(std::move(v));
    }
    return rows;
}

// Empty when both tables show the same: column count, the header/species split, and per row its type,
// name, margin and cells. Otherwise the first difference in words.
// expected, when given, turns a text of a into what b must hold in its place (an export that replaces a
// character on purpose, and says so, is no difference).
inline std::string tableDifference(const TEditBuffer& a, const TEditBuffer& b,
                                   const std::function<std::string(std::string_view)>& expected = {}) {
    if (a.GetColCount() != b.GetColCount())
        return "columns " + std::to_string(a.GetColCount()) + " -> " + std::to_string(b.GetColCount());
    for (char OC : {'K', 'A'}) {
        const std::string part = OC == 'K' ? "header" : "species";
        std::vector<RowView> ra = rowsOf(a, OC);
        const std::vector<RowView> rb = rowsOf(b, OC);
        if (expected) {
            for (RowView& v : ra) {
                v.name = expected(v.name);
                v.margin = expected(v.margin);
                for (auto& cell : v.cells) cell.second = expected(cell.second);
            }
        }
        if (ra.size() != rb.size())
            return part + " rows " + std::to_string(ra.size()) + " -> " + std::to_string(rb.size());
        for (std::size_t r = 0; r < ra.size(); ++r) {
            const RowView &x = ra[r], &y = rb[r];
            const std::string where = part + " row " + std::to_string(r) + ": ";
            if (x.type != y.type) return where + "type " + shown(x.type) + " -> " + shown(y.type);
            if (x.name != y.name) return where + "name " + shown(x.name) + " -> " + shown(y.name);
            if (x.margin != y.margin) return where + "margin " + shown(x.margin) + " -> " + shown(y.margin);
            if (x.cells == y.cells) continue;
            for (std::size_t k = 0; k < std::max(x.cells.size(), y.cells.size()); ++k) {
                if (k < x.cells.size() && k < y.cells.size() && x.cells[k] == y.cells[k]) continue;
                auto cell = [](const std::vector<std::pair<int, std::string>>& cs, std::size_t i) {
                    return i < cs.size() ? "column " + std::to_string(cs[i].first) + " " + shown(cs[i].second)
                                         : std::string("nothing");
                };
                return where + "cell " + cell(x.cells, k) + " -> " + cell(y.cells, k);
            }
        }
    }
    return {};
}

// Empty when both record sets hold the same fields and the same texts; otherwise the first difference.
inline std::string recordSetDifference(const RecordSet& a, const RecordSet& b) {
    if (a.fieldCount() != b.fieldCount())
        return "fields " + std::to_string(a.fieldCount()) + " -> " + std::to_string(b.fieldCount());
    for (int f = 0; f < a.fieldCount(); ++f) {
        const FieldDef &x = a.fields()[f], &y = b.fields()[f];
        if (!(x == y))
            return "field " + std::to_string(f) + " " + shown(x.name) + " width " + std::to_string(x.width) +
                   " -> " + shown(y.name) + " width " + std::to_string(y.width);
    }
    if (a.count() != b.count())
        return "records " + std::to_string(a.count()) + " -> " + std::to_string(b.count());
    for (int r = 0; r < a.count(); ++r)
        for (int f = 0; f < a.fieldCount(); ++f)
            if (a.text(r, f) != b.text(r, f) || a.isEmpty(r, f) != b.isEmpty(r, f))
                return "record " + std::to_string(r) + " field " + std::to_string(f) + ": " +
                       shown(a.text(r, f)) + (a.isEmpty(r, f) ? " (empty)" : "") + " -> " +
                       shown(b.text(r, f)) + (b.isEmpty(r, f) ? " (empty)" : "");
    return {};
}

}  // namespace tav::fuzz
