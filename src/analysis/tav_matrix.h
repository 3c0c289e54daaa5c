#pragma once
// A matrix of numbers with names for its rows and columns: the data and result matrices of the similarity
// analyses. Cells are addressed column first. A symmetric square matrix keeps only the cells below the
// diagonal and the diagonal (a packed triangle, half the memory of the full square); writing (co, ro)
// there writes (ro, co) as well.

#include <string>
#include <utility>
#include <vector>

#include "analysis/clustering.h"

namespace tav {

class TTavMatrix {
  public:
    TTavMatrix() = default;
    // rows × cols cells, all 0, all names empty.
    TTavMatrix(std::string title, int cols, int rows);
    // The symmetric matrix of n objects from its cells below the diagonal and its diagonal (n values).
    static TTavMatrix symmetric(std::string title, PackedTriangle lower, std::vector<double> diagonal);

    int ColCount() const { return cols_; }
    int RowCount() const { return rows_; }
    bool isSquare() const { return cols_ == rows_; }
    bool isSymmetric() const { return symmetric_; }

    double Get(int co, int ro) const;
    void Put(int co, int ro, double x);

    const std::string& GetColName(int p) const { return colNames_[static_cast<std::size_t>(p)]; }
    const std::string& GetRowName(int p) const { return rowNames_[static_cast<std::size_t>(p)]; }
    void PutColName(int p, std::string s) { colNames_[static_cast<std::size_t>(p)] = std::move(s); }
    void PutRowName(int p, std::string s) { rowNames_[static_cast<std::size_t>(p)] = std::move(s); }

    // Every missing cell gets the smallest value of the matrix. A matrix without any value stays as it
    // is (missing), rather than taking a made-up number.
    void ReplaceNaCodes();
    // The smallest and largest value of the matrix, missing cells left out; false when it has none.
    bool range(double& lo, double& hi) const;

    // For every row ro in arx … erx and column co in acy … ecy: this(co, ro) = Σ over k in acx … ecx of
    // x(k, ro) · y(co, k), the product of the marked block of x with y.
    void Produkt(const TTavMatrix& x, int acx, int ecx, int arx, int erx, const TTavMatrix& y, int acy,
                 int ecy, int ary, int ery);

    // The cells below the diagonal of a symmetric matrix (the clustering reads them in place).
    const PackedTriangle& lower() const { return lower_; }
    // Hands those cells over (for a clustering that works in them); the matrix keeps its names and
    // diagonal but no other cells.
    PackedTriangle takeLower() { return std::exchange(lower_, PackedTriangle()); }

    std::string Title;

  private:
    int cols_ = 0, rows_ = 0;
    bool symmetric_ = false;
    std::vector<double> cells_;  // dense: column by column
    PackedTriangle lower_;       // symmetric: below the diagonal
    std::vector<double> diagonal_;
    std::vector<std::string> colNames_, rowNames_;
};

}  // namespace tav
