#pragma once
// One random generator for the run, with our own integer and real conversions, so that a seed gives the
// same results whatever standard library the program is built with.

#include <cstdint>

namespace tav {

// A run owns one: seeded from the clock (fromClock), or from a given seed (--seed) so that a run can be
// repeated exactly. seedValue tells the seed either way, so a clock-seeded run can be repeated too.
class Random {
  public:
    explicit Random(std::uint64_t seed = 0x5eed);
    static Random fromClock() { return Random(clockSeed()); }
    void seed(std::uint64_t s);
    std::uint64_t seedValue() const { return seed_; }
    std::uint64_t next();  // 64 random bits
    // Uniform integer in 0 … n-1 without modulo bias; 0 for n == 0.
    std::uint64_t below(std::uint64_t n);
    double uniform();  // in [0, 1), 53 bits
    static std::uint64_t clockSeed();

  private:
    std::uint64_t seed_ = 0;
    std::uint64_t s_[4];
};

}  // namespace tav
