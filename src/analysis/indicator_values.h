#pragma once
// Indicator values of releves: from one value per species row (looked up once per taxon by the caller)
// and the releve's present species with their cover weights, the weighted statistics, the means with
// variance data, the density maxima of overlaid ranges or distributions, and the shares, counts and
// ranks of categorical and composite values.
//
// Values are indexed by the species rows of the weight view; a missing value is kMissing.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/stat_params.h"
#include "analysis/weight_view.h"

namespace tav {

class Random;

using ReleveSpecies = std::vector<WeightView::Entry>;  // (species row, cover weight), present only
using RowValues = std::vector<double>;                 // per species row; kMissing when none

// Per releve the chosen statistics of the values of its present species, each weighted by its cover
// weight; species without value are left out (a releve without any gives missing statistics).
std::vector<std::vector<StatValue>> releveStatistics(const WeightView& view, const RowValues& values,
                                                     const StatSelection& selection, int nconf, double pconf,
                                                     Random& random);

// How variance data weight the species.
struct VarianceOptions {
    int wVar = 0;         // 0 none, 1 by 1/√variance, 2 by 1/variance
    bool wDeck = false;   // weight by the cover weight
    double minVar = 1.0;  // the critical minimal spread
};
inline constexpr double kLeastMinimalSpread = 0.0001;
// The minimal spread an option cell gives: its number, raised to the least one (not a number: the least).
double minimalSpread(std::string_view text);

// The weighted mean of the values with variance weighting: a species whose spread exceeds the minimal
// spread weighs less in proportion. Missing when no species has a value and a positive weight.
double varianceWeightedMean(const ReleveSpecies& present, const RowValues& values, const RowValues& variances,
                            const VarianceOptions& options);
// The weighted mean of the values interpolated between every pair of species by their spreads; missing
// with fewer than two species with values.
double interpolatedMean(const ReleveSpecies& present, const RowValues& values, const RowValues& variances,
                        const VarianceOptions& options);

// One maximum of a density profile: position, spread (the larger distance to the first point below
// e^(−½) of the maximum on either side) and height (the profile sums to 1).
struct DensityPeak {
    double position = 0, spread = 0, height = 0;
};
// The grid of a profile never has more points than this: a wide range with a small spread gets a coarser
// step instead of an unbounded grid.
inline constexpr int kMaxDensityPoints = 2001;
// The maxima of the overlaid normal kernels of the present species, highest first. With variances (the
// distributions) each kernel's spread is the square root of the species' variance raised to the minimal
// spread; without (the ranges) it is the minimal spread. Empty when no species has a value.
std::vector<DensityPeak> densityPeaks(const ReleveSpecies& present, const RowValues& values,
                                      const RowValues* variances, const VarianceOptions& options);

// ---- categorical and composite values

// How one level of a composite value is split and which components count.
struct CompositeLevel {
    bool composite = false;
    std::string type = "Hier";  // "Hier", "ListOhne", "List1x", "List1wx", "ordOhne", "ordLin", "ordGeo"
    int levels = 0;             // 0: all components
    bool range = true;          // components 1 … levels; false: exactly component `levels`
    bool naIncomplete = false;  // a value with fewer components is missing; otherwise it forms its own class
    char separator = '0';       // '0': single characters
};
struct CompositeOptions {
    CompositeLevel lower, upper;
};
using Component = std::pair<std::string, double>;  // category text, weight
// The categories of one value text with their weights: the upper level splits first, the lower level
// each of its parts; a level that is not composite keeps its text whole. A hierarchical level makes the
// categories its leading components (e.g. "5", "5x", "5x3"); the list and ordered types the components
// themselves, weighted by their type. Empty for an empty text or a value missing by the level rules.
std::vector<Component> splitComposite(std::string_view text, const CompositeOptions& options);

// The categories of the species rows: per row its components (none for a species without value).
using RowCategories = std::vector<std::vector<Component>>;
// The category of a species without value when such species count.
inline constexpr const char* kNoValueCategory = "NA";

struct CategoryTable {
    std::vector<std::string> categories;     // sorted; kNoValueCategory among them when it counts
    std::vector<std::vector<double>> share;  // [category][releve] the weighted share
    std::vector<std::vector<double>> count;  // [category][releve] the number of species
};
// Shares and counts of the categories in every releve. Each present species weighs its cover weight
// (withCover) or 1, times the component weight; species without value join kNoValueCategory unless
// naIgnore. A releve with nothing counted has missing shares and zero counts.
CategoryTable categoryShares(const WeightView& view, const RowCategories& rows, bool withCover,
                             bool naIgnore);

// The categories of a releve ranked by falling share (equal shares in category order): category
// positions, at most n of them (0: all).
std::vector<int> rankedCategories(const CategoryTable& table, int releve, int n);

// The class (1-based) of a value by the class bounds b0 < b1 < … : class k holds b(k−1) < x ≤ bk, the
// first class also b0 itself; 0 when outside.
int classOf(double x, const std::vector<double>& bounds);

}  // namespace tav

namespace tav {

// ---- scaling a column of indicator values (the methods of "DlgScaleZW", in its order)
enum class ScaleMethod {
    Centred,       // x − mean
    Standardised,  // (x − mean) / standard deviation
    Shares,        // x / sum
    Scaled,        // x / largest absolute value
    Divided,       // x / reference
    Ranked,        // ranks, ties by their mean rank
    Uniform,       // ranks onto 0 … 1
    Normal,        // ranks onto normal quantiles, (rank − ½) / n
    Calibrated,    // the least-squares line from the values to the reference
};
inline constexpr int kScaleMethods = 9;
// Whether a method keeps values in proportion, so that a column of spreads may follow it linearly (or a
// column of variances quadratically).
bool scaleIsLinear(ScaleMethod method);

// A column transformed: missing values stay missing, and so does a value the method leaves undefined
// (a zero divisor, no spread, a missing reference). factor gets the proportion a value changes by when
// the method is linear and defined (else missing).
std::vector<double> scaledColumn(const std::vector<double>& x, ScaleMethod method,
                                 const std::vector<double>& reference, double& factor);

// What happens to one column of a file: scaled by the method, following the factor of another column
// (linearly for spreads, quadratically for variances), or kept.
enum class ColumnScaling { Scale, Linear, Quadratic, Keep };
struct ColumnPlan {
    ColumnScaling how = ColumnScaling::Scale;
    int follows = -1;  // the scaled column whose factor a following column takes
};
// The columns after their plans; a following column whose leader has no factor (not scaled, or a method
// that is not linear) becomes missing.
std::vector<std::vector<double>> scaleColumns(std::vector<std::vector<double>> columns,
                                              const std::vector<ColumnPlan>& plans, ScaleMethod method,
                                              const std::vector<double>& reference);

}  // namespace tav

namespace tav {

// A quantile histogram of values: the quantiles at the probabilities (linear between order statistics,
// as R's default type 7) and, for each bin from the minimum over the quantiles to the maximum, the
// number of values in it per `interval` of its width (a value on a bound counts in the lower bin; the
// first bin holds its lower bound). Missing where there are no values or a bin has no width.
struct QuantileHistogram {
    std::vector<double> quantiles;  // one per probability
    std::vector<double> density;    // one per bin: probabilities + 1
};
QuantileHistogram quantileHistogram(std::vector<double> values, const std::vector<double>& probabilities,
                                    double interval);

}  // namespace tav

namespace tav {

// The affinity of every species row to every category of releves: its share of cover weight in the
// category over the category's share of releves, (W_k / W) / (n_k / n); 1 is no preference. Missing
// for a species present nowhere and for an empty category. categoryOf gives each releve's category
// (−1: in none; such releves count nowhere).
std::vector<std::vector<double>> categoryAffinities(const WeightView& view,
                                                    const std::vector<int>& categoryOf, int categories);

}  // namespace tav
