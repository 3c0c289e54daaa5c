#include "analysis/diversity.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/menge.h"
#include "core/numbers.h"

namespace tav {

std::array<double, kDiversityIndexCount> diversityIndices(const PresentRows& present) {
    std::array<double, kDiversityIndexCount> out{};
    const double S = static_cast<double>(present.size());
    double W = 0, squares = 0;
    for (const auto& [row, w] : present) {
        W += w;
        squares += w * w;
    }
    if (W <= 0) return out;
    double H = 0;
    for (const auto& [row, w] : present) {
        const double p = w / W;
        H -= p * std::log(p);
    }
    const double U = std::sqrt(squares);
    out[0] = H;
    out[1] = S > 1 ? H / std::log(S) : 0;
    out[2] = U;
    const double dominanceBase = W - std::sqrt(W);
    out[3] = dominanceBase != 0 ? (W - U) / dominanceBase : dominanceBase;
    const double evennessBase = W - W / std::sqrt(S);
    out[4] = evennessBase != 0 ? (W - U) / evennessBase : 0;
    return out;
}

std::array<double, SpeciesChange::kQuantities> SpeciesChange::quantities() const {
    const double a = shared, b = gained, c = lost, d = differing(), t = total();
    if (t <= 0) return {b, c, a, d, t, kMissing, kMissing, kMissing, kMissing};
    return {b, c, a, d, t, b / t, c / t, a / t, d / (d + 2 * a)};
}

SpeciesChange compareReleves(const PresentRows& earlier, const PresentRows& later) {
    SpeciesChange s;
    auto e = earlier.begin(), l = later.begin();
    while (e != earlier.end() && l != later.end()) {
        if (e->first < l->first) {
            ++s.lost;
            ++e;
        } else if (l->first < e->first) {
            ++s.gained;
            ++l;
        } else {
            ++s.shared;
            ++e;
            ++l;
        }
    }
    s.lost += static_cast<int>(earlier.end() - e);
    s.gained += static_cast<int>(later.end() - l);
    return s;
}

std::vector<SpeciesChange> neighbourChanges(const WeightView& view) {
    std::vector<SpeciesChange> out(static_cast<std::size_t>(std::max(view.releves, 0)));
    for (std::size_t j = 1; j < out.size(); ++j)
        out[j] = compareReleves(view.byReleve[j - 1], view.byReleve[j]);
    return out;
}

std::vector<SpeciesChange> neighbourChangesOfRow(const WeightView& view, int row) {
    std::vector<SpeciesChange> out(static_cast<std::size_t>(std::max(view.releves, 0)));
    // Only the releves around a presence differ from nothing at all.
    const PresentRows& in = view.bySpecies[static_cast<std::size_t>(row)];
    auto presentAt = [&](std::size_t k) { return in[k].first; };
    for (std::size_t k = 0; k < in.size(); ++k) {
        const int j = presentAt(k);
        const bool before = k > 0 && presentAt(k - 1) == j - 1;
        if (j > 0) {
            SpeciesChange& here = out[static_cast<std::size_t>(j)];
            (before ? here.shared : here.gained) = 1;
        }
        const bool after = k + 1 < in.size() && presentAt(k + 1) == j + 1;
        if (!after && j + 1 < view.releves) out[static_cast<std::size_t>(j) + 1].lost = 1;
    }
    return out;
}

UnitDiversity unitDiversity(const std::vector<const PresentRows*>& columns, Random& random, int sampleLimit) {
    UnitDiversity u;
    const int n = static_cast<int>(columns.size());
    if (n == 0) {
        u.meanDiffering = u.meanTurnover = u.beta = kMissing;
        return u;
    }
    // The columns in which each row is present, ascending, as one array with offsets per row.
    int rows = 0;
    std::int64_t entries = 0;
    for (const PresentRows* c : columns) {
        if (!c->empty()) rows = std::max(rows, c->back().first + 1);
        entries += static_cast<std::int64_t>(c->size());
    }
    std::vector<std::int64_t> start(static_cast<std::size_t>(rows) + 1, 0);
    for (const PresentRows* c : columns)
        for (const auto& e : *c) ++start[static_cast<std::size_t>(e.first) + 1];
    for (std::size_t r = 0; r < static_cast<std::size_t>(rows); ++r) start[r + 1] += start[r];
    std::vector<int> columnsOf(static_cast<std::size_t>(entries));
    std::vector<std::int64_t> fill(start.begin(), start.end() - 1);
    for (int j = 0; j < n; ++j)
        for (const auto& e : *columns[static_cast<std::size_t>(j)])
            columnsOf[static_cast<std::size_t>(fill[static_cast<std::size_t>(e.first)]++)] = j;

    int gamma = 0;
    for (std::size_t r = 0; r < static_cast<std::size_t>(rows); ++r) gamma += start[r + 1] > start[r] ? 1 : 0;
    u.alpha = static_cast<double>(entries) / n;
    u.gamma = gamma;
    u.beta = u.alpha > 0 ? u.gamma / u.alpha : kMissing;

    std::vector<int> compared;
    if (n > sampleLimit) {
        TMenge drawn;
        drawn.Zufallswahl(sampleLimit, n, random);
        compared = drawn.elements();
    } else {
        for (int j = 1; j < n; ++j) compared.push_back(j);
    }
    // For a compared column j, the rows it shares with each earlier column come from the columns of its
    // rows; d = nᵢ + nⱼ − 2a and d + 2a = nᵢ + nⱼ.
    std::vector<int> shared(static_cast<std::size_t>(n), 0);
    std::int64_t pairs = 0, sumDiffering = 0;
    long double sumTurnover = 0;
    for (int j : compared) {
        const PresentRows& cj = *columns[static_cast<std::size_t>(j)];
        for (const auto& e : cj) {
            const auto r = static_cast<std::size_t>(e.first);
            for (std::int64_t k = start[r]; k < start[r + 1]; ++k) {
                const int i = columnsOf[static_cast<std::size_t>(k)];
                if (i >= j) break;
                ++shared[static_cast<std::size_t>(i)];
            }
        }
        const auto nj = static_cast<std::int64_t>(cj.size());
        for (int i = 0; i < j; ++i) {
            const std::int64_t a = shared[static_cast<std::size_t>(i)];
            shared[static_cast<std::size_t>(i)] = 0;
            const std::int64_t both =
                static_cast<std::int64_t>(columns[static_cast<std::size_t>(i)]->size()) + nj;
            const std::int64_t d = both - 2 * a;
            sumDiffering += d;
            if (both > 0) sumTurnover += static_cast<long double>(d) / static_cast<long double>(both);
        }
        pairs += j;
    }
    if (pairs < 2) {
        u.meanDiffering = u.meanTurnover = kMissing;
    } else {
        u.meanDiffering = static_cast<double>(sumDiffering) / static_cast<double>(pairs);
        u.meanTurnover = static_cast<double>(sumTurnover / static_cast<long double>(pairs));
    }
    return u;
}

std::vector<PresentRows> mergedColumns(const WeightView& view, const std::vector<std::vector<int>>& groups) {
    std::vector<PresentRows> out;
    out.reserve(groups.size());
    for (const std::vector<int>& g : groups) {
        PresentRows merged;
        for (int c : g) {
            const PresentRows& col = view.byReleve[static_cast<std::size_t>(c)];
            merged.insert(merged.end(), col.begin(), col.end());
        }
        std::sort(merged.begin(), merged.end(),
                  [](const WeightView::Entry& x, const WeightView::Entry& y) { return x.first < y.first; });
        // Equal rows become one with the sum of their weights.
        std::size_t kept = 0;
        for (std::size_t k = 0; k < merged.size(); ++k) {
            if (kept > 0 && merged[kept - 1].first == merged[k].first)
                merged[kept - 1].second += merged[k].second;
            else
                merged[kept++] = merged[k];
        }
        merged.resize(kept);
        out.push_back(std::move(merged));
    }
    return out;
}

}  // namespace tav
