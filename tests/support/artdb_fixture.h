#pragma once
// The definition line of a species list import (49 tab-separated definitions), for tests that build
// small species lists of their own.

#include <string>
#include <vector>

namespace tav::testing {

inline std::string definitions() {
    std::vector<std::string> d = {"Prim i 0 t p",  "Genus s 40 t t", "Species s 40 t t", "Autor s 80 f t",
                                  "gross s 1 f f", "supp s 1 f f",   "Familie s 30 f t"};
    for (int k = 1; k <= 8; ++k) d.push_back("Triv0" + std::to_string(k) + " s 40 f t");
    for (int k = 1; k <= 12; ++k)
        d.push_back("Sys" + std::string(k < 10 ? "0" : "") + std::to_string(k) +
                    (k == 1 ? " i 0 t t" : " i 0 f t"));
    d.push_back("SynRel i 0 f t");
    for (int k = 1; k <= 12; ++k)
        d.push_back("t" + std::string(k < 10 ? "0" : "") + std::to_string(k) + " s 1 f f");
    for (int k = 1; k <= 8; ++k) d.push_back("Info0" + std::to_string(k) + " s 20 f t");
    d.push_back("AggrList l 0 f t");
    std::string line;
    for (const std::string& x : d) line += (line.empty() ? "" : "\t") + x;
    return line;
}

}  // namespace tav::testing
