#include "analysis/tav_matrix.h"

#include <algorithm>
#include <limits>

#include "core/numbers.h"

namespace tav {

TTavMatrix::TTavMatrix(std::string title, int cols, int rows)
    : Title(std::move(title)),
      cols_(std::max(cols, 0)),
      rows_(std::max(rows, 0)),
      cells_(static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_), 0.0),
      colNames_(static_cast<std::size_t>(cols_)),
      rowNames_(static_cast<std::size_t>(rows_)) {}

TTavMatrix TTavMatrix::symmetric(std::string title, PackedTriangle lower, std::vector<double> diagonal) {
    TTavMatrix m;
    m.Title = std::move(title);
    m.cols_ = m.rows_ = lower.size();
    m.symmetric_ = true;
    diagonal.resize(static_cast<std::size_t>(m.cols_), 0.0);
    m.lower_ = std::move(lower);
    m.diagonal_ = std::move(diagonal);
    m.colNames_.resize(static_cast<std::size_t>(m.cols_));
    m.rowNames_.resize(static_cast<std::size_t>(m.rows_));
    return m;
}

double TTavMatrix::Get(int co, int ro) const {
    if (symmetric_) return co == ro ? diagonal_[static_cast<std::size_t>(co)] : lower_.at(co, ro);
    return cells_[static_cast<std::size_t>(co) * static_cast<std::size_t>(rows_) +
                  static_cast<std::size_t>(ro)];
}

void TTavMatrix::Put(int co, int ro, double x) {
    if (!symmetric_)
        cells_[static_cast<std::size_t>(co) * static_cast<std::size_t>(rows_) +
               static_cast<std::size_t>(ro)] = x;
    else if (co == ro)
        diagonal_[static_cast<std::size_t>(co)] = x;
    else
        lower_.set(co, ro, x);
}

bool TTavMatrix::range(double& lo, double& hi) const {
    lo = std::numeric_limits<double>::infinity();
    hi = -lo;
    auto see = [&](const auto& cells) {
        for (double x : cells)
            if (!isMissing(x)) {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
    };
    if (symmetric_) {
        see(lower_.cells());
        see(diagonal_);
    } else {
        see(cells_);
    }
    return lo <= hi;
}

void TTavMatrix::ReplaceNaCodes() {
    double lo = 0, hi = 0;
    if (!range(lo, hi)) return;
    auto replace = [&](auto& cells) {
        for (double& x : cells)
            if (isMissing(x)) x = lo;
    };
    if (symmetric_) {
        replace(lower_.cells());
        replace(diagonal_);
    } else {
        replace(cells_);
    }
}

void TTavMatrix::Produkt(const TTavMatrix& x, int acx, int ecx, int arx, int erx, const TTavMatrix& y,
                         int acy, int ecy, int /*ary*/, int /*ery*/) {
    for (int ro = arx; ro <= erx; ++ro)
        for (int co = acy; co <= ecy; ++co) {
            long double sum = 0;
            for (int k = acx; k <= ecx; ++k) sum += static_cast<long double>(x.Get(k, ro)) * y.Get(co, k);
            Put(co, ro, static_cast<double>(sum));
        }
}

}  // namespace tav
