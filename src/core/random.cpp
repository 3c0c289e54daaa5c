#include "core/random.h"

#include <chrono>

namespace tav {

namespace {

std::uint64_t splitmix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

__extension__ typedef unsigned __int128 Wide;

}  // namespace

Random::Random(std::uint64_t seed) {
    this->seed(seed);
}

void Random::seed(std::uint64_t s) {
    // splitmix64 spreads any seed, 0 included, over the whole state; xoshiro must not start at all zeros,
    // which splitmix64 cannot produce for four consecutive outputs.
    seed_ = s;
    std::uint64_t state = s;
    for (auto& word : s_) word = splitmix64(state);
}

std::uint64_t Random::next() {
    // xoshiro256**
    const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return result;
}

std::uint64_t Random::below(std::uint64_t n) {
    if (n == 0) return 0;
    // Lemire's method: the high word of a 64x64 product is uniform once the products whose low word
    // falls into the short first stretch (2^64 mod n values) are drawn again.
    Wide m = static_cast<Wide>(next()) * n;
    auto low = static_cast<std::uint64_t>(m);
    if (low < n) {
        const std::uint64_t threshold = (0 - n) % n;
        while (low < threshold) {
            m = static_cast<Wide>(next()) * n;
            low = static_cast<std::uint64_t>(m);
        }
    }
    return static_cast<std::uint64_t>(m >> 64);
}

double Random::uniform() {
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

std::uint64_t Random::clockSeed() {
    // Two clocks mixed so that runs started within the same tick of one of them still differ.
    std::uint64_t state =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    const std::uint64_t a = splitmix64(state);
    state ^= static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return a ^ splitmix64(state);
}

}  // namespace tav
