#pragma once
// Species diversity from the present species of a weight view: the diversity indices of a releve, the
// species turnover between neighbouring releves (over a set of rows or along one species row), and the
// alpha, beta and gamma diversity of a set of columns. Quotients without a value never give NaN or an
// infinity: the indices take 0, the shares and means are missing (kMissing).

#include <array>
#include <vector>

#include "analysis/weight_view.h"

namespace tav {

class Random;

using PresentRows = std::vector<WeightView::Entry>;  // (row, weight), ascending rows

// The five indices of one releve, in the order of the diversity dialog. With wᵢ the weights of its S
// present species and W their sum:
//   Shannon index H = −Σ pᵢ ln pᵢ with pᵢ = wᵢ / W (0 when W = 0);
//   Shannon equitability H / ln S (0 when S ≤ 1);
//   McIntosh index U = √Σ wᵢ²;
//   McIntosh dominance (W − U) / (W − √W) (the numerator when the denominator is 0);
//   McIntosh evenness (W − U) / (W − W / √S) (0 when S = 0 or the denominator is 0).
inline constexpr int kDiversityIndexCount = 5;
std::array<double, kDiversityIndexCount> diversityIndices(const PresentRows& present);

// How a releve differs from the one before over the rows looked at.
struct SpeciesChange {
    int shared = 0;  // a: present in both
    int gained = 0;  // b: present in the later one only
    int lost = 0;    // c: present in the earlier one only
    int differing() const { return gained + lost; }
    int total() const { return shared + gained + lost; }
    // The quantities of the turnover dialog, in its order: gained, lost, shared, differing, total, the
    // shares of gained, lost and shared in the total, and the turnover d / (d + 2a). The four quotients
    // are missing when the total is 0.
    static constexpr int kQuantities = 9;
    std::array<double, kQuantities> quantities() const;
};

SpeciesChange compareReleves(const PresentRows& earlier, const PresentRows& later);

// Each releve against the one before over the rows of the view; element 0 (no releve before) is empty.
std::vector<SpeciesChange> neighbourChanges(const WeightView& view);

// The same along one species row: each releve against the one before, in that row only.
std::vector<SpeciesChange> neighbourChangesOfRow(const WeightView& view, int row);

// Alpha, beta and gamma diversity of a set of columns.
struct UnitDiversity {
    double alpha = 0;          // mean number of present rows per column
    double gamma = 0;          // rows present in at least one column
    double meanDiffering = 0;  // mean d over the compared pairs; missing with fewer than two pairs
    double meanTurnover = 0;   // mean d / (d + 2a), pairs with nothing present counted as 0; likewise
    double beta = 0;           // gamma / alpha; missing when alpha is 0
};

// Every column is compared with every earlier one. With more than sampleLimit columns, sampleLimit of
// them are drawn at random and only these are compared with all earlier columns.
inline constexpr int kComparedColumns = 500;
UnitDiversity unitDiversity(const std::vector<const PresentRows*>& columns, Random& random,
                            int sampleLimit = kComparedColumns);

// The columns of each group merged into one: a row is present in the merged column when it is present
// in any of the group's columns (the weights add up).
std::vector<PresentRows> mergedColumns(const WeightView& view, const std::vector<std::vector<int>>& groups);

}  // namespace tav
