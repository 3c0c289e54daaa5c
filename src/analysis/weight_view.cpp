#include "analysis/weight_view.h"

#include <algorithm>
#include <unordered_map>

#include "core/menge.h"
#include "table/edit_buffer.h"

namespace tav {

double WeightView::weight(int releve, int row) const {
    const std::vector<Entry>& e = byReleve[static_cast<std::size_t>(releve)];
    const auto it = std::lower_bound(e.begin(), e.end(), Entry{row, 0.0},
                                     [](const Entry& a, const Entry& b) { return a.first < b.first; });
    return it != e.end() && it->first == row ? it->second : 0;
}

WeightView readWeights(const TEditBuffer& b, const TDeckInter& covers, bool naAccept, const TMenge* rows) {
    WeightView v;
    v.releves = b.GetColCount();
    v.species = b.GetRowCount('A');
    v.byReleve.resize(static_cast<std::size_t>(v.releves));
    v.bySpecies.resize(static_cast<std::size_t>(v.species));
    struct Known {
        double weight;
        bool valid;
        CoverCounts counts;
    };
    std::unordered_map<TextHandle, Known> known;
    b.forEachFilled('A', [&](const FilledCell& c) {
        if (rows && !rows->Element(c.row)) return;
        auto it = known.find(c.handle);
        if (it == known.end()) {
            std::string entry(c.text);
            Known k{0, false, {}};
            k.valid = covers.DeckVal('S', entry, k.weight, naAccept, k.counts);
            if (!k.valid) k.weight = 0;
            it = known.emplace(c.handle, k).first;
        }
        v.counts += it->second.counts;
        if (!it->second.valid) ++v.invalid;
        const double w = it->second.weight;
        if (w <= 0) return;
        v.byReleve[static_cast<std::size_t>(c.col)].emplace_back(c.row, w);
        v.bySpecies[static_cast<std::size_t>(c.row)].emplace_back(c.col, w);
    });
    // Rows come in order; the columns of a row in stored order, which moved columns change.
    for (auto& e : v.bySpecies)
        if (!std::is_sorted(e.begin(), e.end())) std::sort(e.begin(), e.end());
    return v;
}

}  // namespace tav
