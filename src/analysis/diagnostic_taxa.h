#pragma once
// Diagnostic species: how strongly a species is bound to a group of releves. The releves fall into
// categories by the texts of some header rows; the species' occurrences are counted per category once
// (from the weight view) and every measure of the diagnostic species table is computed from these
// counts: constancies inside and outside a category, mean weights, IndVal and IndVal.PA, the phi
// coefficient and the program's own index. A hierarchical table reuses the counts of its finest level
// for every coarser one. Also the thinning of a table of index values to the best ones.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

class TEditBuffer;
struct WeightView;

// The categories of the releves by header rows: the texts of a releve's cells in these rows, joined by
// ";" and folded to upper case; equal texts are one category. Categories come in case-insensitive
// order of their texts.
struct ReleveCategories {
    std::vector<int> of;              // per releve: its category
    std::vector<std::string> keys;    // per category: its text
    std::vector<std::string> labels;  // per category: its text without blanks, the cells joined by "."
    int count() const { return static_cast<int>(keys.size()); }
};
ReleveCategories releveCategories(const TEditBuffer& buffer, const std::vector<int>& headerRows);

// The levels of a nested classification: level i (from 0) groups the releves by the first i + 1 rows.
// groupOf[i][c] is the level-i category that the finest category c belongs to.
struct CategoryLevels {
    std::vector<ReleveCategories> levels;  // the last one is the finest
    std::vector<std::vector<int>> groupOf;
};
CategoryLevels categoryLevels(const TEditBuffer& buffer, const std::vector<int>& headerRows);

// How often each species occurs in each category, with its weights.
struct DiagnosticCounts {
    struct Presence {
        int category = 0;
        int fi = 0;         // releves of the category where the species is present
        double weight = 0;  // sum of its weights there
    };
    int N = 0;                                   // releves of the table
    std::vector<int> n;                          // per category: its releves
    std::vector<std::vector<Presence>> species;  // per species: the categories where it is present
    std::vector<int> f;                          // per species: releves where it is present
    std::vector<double> weight;                  // per species: sum of its weights

    int categories() const { return static_cast<int>(n.size()); }
    // The same counts with the categories merged into groups (groupOf: category → group).
    DiagnosticCounts grouped(const std::vector<int>& groupOf, int groups) const;
};
// The counts of the species rows in rows (in that order) over the categories.
DiagnosticCounts countByCategory(const WeightView& view, const std::vector<int>& rows,
                                 const ReleveCategories& categories);

// What one species shows in one category: N, n, f, fi, fa and the derived constancies and means.
struct Kennval {
    int AnzR = 0, CatCt = 0, gesF = 0, fi = 0, fa = 0;
    double x = 0, y = 0, v = 0, SumStet = 0, sumMDeck = 0, gesStet = 0, gesMDeckM = 0;
};
// The values of species s in every category.
void speciesKennvals(const DiagnosticCounts& counts, int s, std::vector<Kennval>& out);

// The measures by their selection letter.
struct DiagnosticMeasure {
    char letter;
    std::string_view title;
    bool perCategory;
    bool whole;        // a count, written as a whole number
    bool placeholder;  // no formula: always -99
};
// Nothing for a letter that names no measure.
const DiagnosticMeasure* diagnosticMeasure(char letter);
// The letters of the selection that make whole-table columns, and those that make a column per
// category, each in the table's fixed column order.
std::string wholeTableLetters(std::string_view selection);
std::string categoryLetters(std::string_view selection);

// The value of a measure; kMissing where it is undefined (the logarithms of a one-releve table).
double measureValue(char letter, const Kennval& k);
// The value as the table writes it: counts as whole numbers, placeholders as -99, the others with
// `decimals` digits, "NA" when missing.
std::string measureText(char letter, double value, int decimals);

// The normal diagnostic species table as lines: the category line ("Gruppe"), the three count lines
// (without them when the selection holds "+"), the title line ("Resultate") and one line per species.
// Test columns follow each category's measure columns: their headings, and per species and category
// the fields (empty when none).
struct DiagnosticTests {
    std::vector<std::string> headings;
    // fields[s * categories + c]: the result fields of species s in category c.
    std::vector<std::vector<std::string>> fields;
};
class DiagnosticTable {
  public:
    DiagnosticTable(DiagnosticCounts counts, std::vector<std::string> labels,
                    std::vector<std::string> speciesNames, std::string selection, int decimals,
                    DiagnosticTests tests = {});
    int lineCount() const;
    std::string line(int k) const;

  private:
    std::string speciesLine(int s) const;
    DiagnosticCounts counts_;
    std::vector<std::string> labels_, names_;
    std::string selection_, whole_, perCategory_;
    int decimals_;
    DiagnosticTests tests_;
    int headLines_;
};

// The hierarchical table: each species is assigned to the group (of any level) where its index measure
// is highest, the first such group in level order on a tie.
struct HierarchyAssignment {
    int level = 0;
    int group = 0;
    double highest = 0;  // kMissing when the index is undefined everywhere
};
std::vector<HierarchyAssignment> assignToGroups(const std::vector<DiagnosticCounts>& levels, char index);
// The lines of the hierarchical table: the title line, then per species (grouped in the order of the
// hierarchy, within a group by falling highest value) its group label, name, highest value, the test
// fields of its group and the table measure in each group of the finest level, marked " ***" outside
// the branch of its group. testFields(s, level, group) gives the test fields of a species in a group.
struct HierarchyInput {
    const CategoryLevels* categories = nullptr;
    const std::vector<DiagnosticCounts>* counts = nullptr;  // per level
    std::vector<std::string> speciesNames;
    char index = 'Y', table = 'H';
    int decimals = 4;
    std::vector<std::string> testHeadings;
    std::function<std::vector<std::string>(int species, int level, int group)> testFields;
};
std::vector<std::string> hierarchicalTable(const HierarchyInput& input,
                                           const std::vector<HierarchyAssignment>& assigned);
// Whether a group label of a finer level lies outside the branch of an assigned label: cut to the
// assigned label's length and completed up to the next "." or blank, it differs from it.
bool outsideBranch(std::string_view label, std::string_view assigned);

// The values to clear so that only the k highest and the m lowest stay: those whose mid-rank r among
// all of them satisfies m < r < n − k + 1.
std::vector<bool> outsideBest(const std::vector<double>& values, int k, int m);

}  // namespace tav
