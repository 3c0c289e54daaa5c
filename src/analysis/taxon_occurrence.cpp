#include "analysis/taxon_occurrence.h"

#include <algorithm>
#include <unordered_map>

#include "analysis/weight_view.h"
#include "table/edit_buffer.h"

namespace tav {

RowGroups eachRow(int speciesRows, const std::vector<int>& rows) {
    RowGroups g;
    g.of.assign(static_cast<std::size_t>(std::max(speciesRows, 0)), -1);
    for (int r : rows)
        if (r >= 0 && r < speciesRows && g.of[static_cast<std::size_t>(r)] < 0)
            g.of[static_cast<std::size_t>(r)] = g.count++;
    return g;
}

RowGroups taxaByName(const TEditBuffer& b, const std::vector<int>& rows) {
    RowGroups g;
    const int n = b.GetRowCount('A');
    g.of.assign(static_cast<std::size_t>(n), -1);
    std::unordered_map<std::string, int> groupOf;
    for (int r : rows) {
        if (r < 0 || r >= n) continue;
        const auto [at, fresh] = groupOf.try_emplace(std::string(b.GetZl('A', r)), g.count);
        if (fresh) ++g.count;
        g.of[static_cast<std::size_t>(r)] = at->second;
    }
    return g;
}

namespace {

int groupOf(const RowGroups& g, int row) {
    return row >= 0 && static_cast<std::size_t>(row) < g.of.size() ? g.of[static_cast<std::size_t>(row)] : -1;
}

}  // namespace

std::vector<int> groupsPerReleve(const WeightView& v, const RowGroups& g) {
    std::vector<int> out(static_cast<std::size_t>(v.releves), 0);
    // The releve that last counted each group, so that a group of several rows counts once.
    std::vector<int> lastSeen(static_cast<std::size_t>(g.count), -1);
    for (int c = 0; c < v.releves; ++c)
        for (const auto& [row, w] : v.byReleve[static_cast<std::size_t>(c)]) {
            const int k = groupOf(g, row);
            if (k < 0 || lastSeen[static_cast<std::size_t>(k)] == c) continue;
            lastSeen[static_cast<std::size_t>(k)] = c;
            ++out[static_cast<std::size_t>(c)];
        }
    return out;
}

std::vector<int> cumulativeGroups(const WeightView& v, const RowGroups& g,
                                  const std::vector<std::string>* keys) {
    std::vector<int> out(static_cast<std::size_t>(v.releves), 0);
    // A group counts once per run of releves; a new run begins where the key changes.
    std::vector<int> runSeen(static_cast<std::size_t>(g.count), -1);
    int run = 0, count = 0;
    for (int c = 0; c < v.releves; ++c) {
        const auto cc = static_cast<std::size_t>(c);
        if (keys && c > 0 && cc < keys->size() && (*keys)[cc] != (*keys)[cc - 1]) {
            ++run;
            count = 0;
        }
        for (const auto& [row, w] : v.byReleve[cc]) {
            const int k = groupOf(g, row);
            if (k < 0 || runSeen[static_cast<std::size_t>(k)] == run) continue;
            runSeen[static_cast<std::size_t>(k)] = run;
            ++count;
        }
        out[cc] = count;
    }
    return out;
}

}  // namespace tav
