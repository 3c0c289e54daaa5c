#pragma once
// The test engine: the values of one test case (one sample against 0, a group against the rest, or two
// variables), and the headings and results a selection of 30 flags asks for: approximate tests through
// the normal distribution (sign, binomial, both Wilcoxon tests; for two variables the t-test of the
// correlation), resampling tests with 1000 or 10 000 draws, and descriptive values. Every p-value is
// one-sided. Also the dispersion index of a row and the association index of two rows.
//
// Selection positions: 0 … 19 from the test dialog (its two columns one after the other), 20 … 29
// from the resampling dialog (20 1000 draws, 21 10 000 draws, 22 … 25 the statistics).

#include <optional>
#include <string>
#include <vector>

namespace tav {

class Progress;
class Random;

// P(Z ≥ |z|) for a standard normal Z.
double normalTail(double z);
// P(T ≥ |t|) for Student's t with df degrees of freedom.
double studentTail(double t, double df);

class TStatTests {
  public:
    // mode 0 one sample against 0, 1 group ("1") against rest ("0"), 2 pairs of two variables (the first
    // value of a pair flagged 0, the second 1).
    TStatTests(int mode, std::string selection);

    void add(double x, int flag);
    void Clear();
    int count() const { return static_cast<int>(values_.size()); }

    // The headings of the chosen results, in output order.
    std::vector<std::string> headings() const;
    // The results in the same order: numbers with `decimals` digits (p-values of resampling with 3 or 4),
    // empty fields for missing values.
    // Esc (the progress's abort flag) ends a resampling; its p-values are then empty.
    std::vector<std::string> results(int decimals, Random& random, Progress* progress = nullptr) const;

  private:
    int mode_;
    std::string sel_;
    std::vector<double> values_;
    std::vector<char> flags_;
    bool on(int pos) const {
        return pos < static_cast<int>(sel_.size()) && sel_[static_cast<std::size_t>(pos)] == '1';
    }
};

// The dispersion index of values (variance over mean); nothing without values, for a single value or
// when the mean is not positive.
std::optional<double> dispersionIndex(const std::vector<double>& values);

// The association of two rows over the columns where both are known: the counts present/present,
// present/absent, absent/present, absent/absent, the index (ad − bc)/(ad + bc) and the chi-square with
// continuity correction, max(0, |ad − bc| − N/2)² N / ((a+b)(c+d)(a+c)(b+d)).
struct Association {
    long long a = 0, b = 0, c = 0, d = 0;
    std::optional<double> index, chiSquare;
};
Association associationOf(const std::vector<std::pair<bool, bool>>& presence);

}  // namespace tav
