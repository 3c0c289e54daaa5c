#pragma once
// The statistics engine: a collector of values with weights that yields the parameters a selection of
// 36 flags asks for (mean, trimmed and weighted mean, standard deviations, errors and their 95 %
// half-widths, variances, minimum, median, maximum, MAD, count, quantile sets, sum, weighted sum,
// difference, absolute difference, product, quotient), with three rules for missing values and optional
// bootstrap bounds.
//
// Selection positions: 0 … 14 the items of "DlgStats", 15 … 24 those of "DlgQuantile" (23 asks for
// the missing-value rule, 24 for bootstrap bounds), 25 the category option, 26 … 31 the items of
// "DlgGrundOp", 32 the missing-value rule ('0' leave out, '1' all missing once a value is missing,
// '2' count as 0), 33 '1' for bootstrap bounds, 34 the category option's answer.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

class Random;

class StatSelection {
  public:
    static constexpr int kSize = 36;
    explicit StatSelection(std::string flags = {});
    bool on(int pos) const { return pos >= 0 && pos < kSize && flags_[static_cast<std::size_t>(pos)] == '1'; }
    void set(int pos, char c) { flags_[static_cast<std::size_t>(pos)] = c; }
    char naRule() const { return naRule_; }
    void setNaRule(char rule) {
        naRule_ = rule;
        flags_[32] = rule;
    }
    bool bootstrap() const { return flags_[33] == '1'; }
    char categoryOption() const { return flags_[34]; }
    const std::string& flags() const { return flags_; }
    // Whether any parameter (not an option) is chosen.
    bool anyParameter() const;

  private:
    std::string flags_;
    char naRule_ = '0';
};

// One output value: missing (ok false) when its count is too small or it is undefined.
struct StatValue {
    double value = 0;
    bool ok = false;
};

class TStatParams {
  public:
    explicit TStatParams(const StatSelection& selection);

    void Clear();
    // A value x with weight y; a missing one (either) is counted and left out, or with the rule '2' a
    // missing x counts as 0.
    void add(double x, double y);
    int GetCount() const { return static_cast<int>(w_.size()); }
    int naCount() const { return naCount_; }
    const std::vector<double>& values() const { return w_; }

    // The selected parameters in output order.
    std::vector<StatValue> results() const;
    // The same, each followed by its lower and upper bootstrap bound when the selection asks for them and
    // nconf > 0: nconf resamples of the values with replacement, the bounds the quantiles b and 1 − b
    // of each parameter's resampled values, b = (1 − pconf/100)/2.
    std::vector<StatValue> results(int nconf, double pconf, Random& random) const;

    // The labels of the output values ("Arithmetisches Mittel", "1. Quartil", …); with bounds each
    // followed by "<b·100>%-Grenze <label>" and "<(1−b)·100>%-Grenze <label>".
    static std::vector<std::string> labels(const StatSelection& selection, bool bounds, double pconf);
    // Column names: the prefix of each parameter joined to name ("StdAbw_" + name), bounds as
    // "<percent>%-Grenze_" + prefix + name.
    static std::vector<std::string> columnNames(const StatSelection& selection, bool bounds, double pconf,
                                                std::string_view name);

  private:
    StatSelection selection_;
    bool weighted_;
    std::vector<double> w_, ww_;
    int naCount_ = 0;
};

// A value as a table cell shows it: `decimals` digits, trailing zeros removed, "NA" when missing.
std::string statCellText(const StatValue& v, int decimals);
// As a table window shows it: fixed `decimals` digits, "NA" when missing.
std::string statTableText(const StatValue& v, int decimals);

}  // namespace tav
