#pragma once
// How many species a releve holds, counted from the weight view: over species rows as they stand or
// over taxa (rows with equal names counted once), per releve or cumulated over the releves, also
// restarting at every change of a category. The table is never reduced for this: the rows are grouped
// and a group counts once where any of its rows is present.

#include <string>
#include <vector>

namespace tav {

class TEditBuffer;
struct WeightView;

// Species rows in groups: of[row] is the group of a species row, -1 for a row left out.
struct RowGroups {
    std::vector<int> of;
    int count = 0;
};
// Each of the rows its own group.
RowGroups eachRow(int speciesRows, const std::vector<int>& rows);
// The rows with equal names as one group (a taxon), in the order of their first row.
RowGroups taxaByName(const TEditBuffer& buffer, const std::vector<int>& rows);

// Per releve: the groups present in it.
std::vector<int> groupsPerReleve(const WeightView& view, const RowGroups& groups);
// Per releve: the groups present in it or in a releve before it. With keys (one per releve), the count
// starts again at every releve whose key differs from the one before.
std::vector<int> cumulativeGroups(const WeightView& view, const RowGroups& groups,
                                  const std::vector<std::string>* keys = nullptr);

}  // namespace tav
