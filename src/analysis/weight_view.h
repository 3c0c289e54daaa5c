#pragma once
// The species part of the table as cover weights, read in one pass over the filled cells with one
// interpretation per distinct cell text: per releve its present species rows with their weights, and
// per species row the releves where it is present. Present means a weight above 0; absent, empty and
// invalid cells are left out, and the invalid ones are counted. The analyses of species (diagnostic
// species, indicator values, diversity, similarities) compute from this view instead of reading cells.

#include <utility>
#include <vector>

#include "values/deck_inter.h"

namespace tav {

class TEditBuffer;
class TMenge;

struct WeightView {
    using Entry = std::pair<int, double>;  // index (species row or releve), weight
    int releves = 0;
    int species = 0;
    std::vector<std::vector<Entry>> byReleve;   // per releve: (species row, weight), ascending rows
    std::vector<std::vector<Entry>> bySpecies;  // per species row: (releve, weight), ascending releves
    CoverCounts counts;                         // what the cells read needed (invalid covers …)
    std::int64_t invalid = 0;                   // cells whose cover is invalid (read as absent)

    // The weight of a species row in a releve; 0 when absent.
    double weight(int releve, int row) const;
};

// The view of the species rows in rows (all species rows when rows is null) over all releves, with the
// interpreter's 'S' weights (naAccept as the settings say).
WeightView readWeights(const TEditBuffer& buffer, const TDeckInter& covers, bool naAccept,
                       const TMenge* rows = nullptr);

}  // namespace tav
