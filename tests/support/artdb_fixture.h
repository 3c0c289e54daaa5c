#pragma once
// Species lists for tests that import small lists of their own: the definition line of the 49
// tab-separated columns, and a builder for one record that names only what the test needs:
//   SpeciesRecord("6", "Agrostis", "alba", "auct.", "Poaceae", "202").synonymOf("201").status("S")

#include <string>
#include <vector>

#include "core/status.h"

namespace tav::testing {

// The texts of the messages of a status, catalogue keys as they are.
inline std::vector<std::string> messageTexts(const Status& s) {
    std::vector<std::string> texts;
    for (const Message& m : s.messages()) texts.push_back(m.plain());
    return texts;
}

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

// One record line of a list with the columns of definitions(); the status in system 1 is "A" (accepted)
// unless set otherwise.
class SpeciesRecord {
  public:
    SpeciesRecord(std::string prim, std::string genus, std::string species, std::string autor = "",
                  std::string family = "", std::string taxon = "")
        : c_(49) {
        c_[0] = std::move(prim);
        c_[1] = std::move(genus);
        c_[2] = std::move(species);
        c_[3] = std::move(autor);
        c_[6] = std::move(family);
        c_[15] = std::move(taxon);
        c_[28] = "A";
    }
    // The taxon number (Sys01) of the accepted name this record is a synonym of.
    SpeciesRecord& synonymOf(std::string taxon) { return set(27, std::move(taxon)); }
    // The status in reference system n (t01 … t12).
    SpeciesRecord& status(std::string t, int n = 1) { return set(27 + n, std::move(t)); }
    SpeciesRecord& vernacular(std::string name, int n = 1) { return set(6 + n, std::move(name)); }
    SpeciesRecord& info(std::string value, int n) { return set(39 + n, std::move(value)); }
    // The taxon numbers of the aggregate's members, separated by ",".
    SpeciesRecord& members(std::string list) { return set(48, std::move(list)); }
    // The capitals of the epithet: "1" the first letter, "2" also the letter after "-".
    SpeciesRecord& gross(std::string g) { return set(4, std::move(g)); }

    operator std::string() const {  // NOLINT: a record is used where its line is
        std::string line;
        for (std::size_t k = 0; k < c_.size(); ++k) line += (k ? "\t" : "") + c_[k];
        return line;
    }

  private:
    SpeciesRecord& set(std::size_t column, std::string value) {
        c_[column] = std::move(value);
        return *this;
    }
    std::vector<std::string> c_;
};

// Records join lines of text like the strings they stand for.
inline std::string operator+(const std::string& text, const SpeciesRecord& r) {
    return text + std::string(r);
}
inline std::string operator+(const SpeciesRecord& r, const char* text) {
    return std::string(r) + text;
}

// A whole species list: the first line, the definitions, then the given lines, each ended by CR LF.
inline std::string speciesListText(const std::string& firstLine, const std::vector<std::string>& records) {
    std::string text = firstLine + "\r\n" + definitions() + "\r\n";
    for (const std::string& r : records) text += r + "\r\n";
    return text;
}

}  // namespace tav::testing
