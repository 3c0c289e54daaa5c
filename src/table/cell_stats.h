#pragma once
// Counting questions asked of the table: in how many releves a species occurs, how many species a
// releve holds, its total cover, how many entries of a column are equal; and the row type a header row's
// contents suggest. Cells are read through the cover-code interpreter.
//
// One CellStats serves one operation: every distinct cell text is interpreted once and remembered with
// what it added to the operation's cover counts, so the counts stay exact while a table of a million
// filled cells is read in a few milliseconds. The caller reports counts() once at the end. M arguments
// restrict the counted rows or columns (visible positions); nullptr means all.

#include <string>
#include <string_view>
#include <vector>

#include "table/edit_buffer.h"
#include "values/deck_inter.h"

namespace tav {

class CellStats {
  public:
    CellStats(const TEditBuffer& b, const TDeckInter& deck);

    // What the cells read so far needed: invalid covers, marks, sociabilities.
    const CoverCounts& counts() const { return counts_; }

    // Presence (mode 'S') or percentage (mode 'D') of an entry: 0 for an empty entry; without doCheck 1
    // for any other; with doCheck the interpreter's value under the NaAccept setting.
    double DeckValChecked(char OC, std::string_view s, bool doCheck);

    // The value of a stored cell text in a mode ('S' presence weight, 'D' percentage), remembered per text.
    double cellValue(char mode, TextHandle h, bool doCheck) { return value(mode, h, doCheck); }

    int GetFreq(char OC, const TMenge* M, int p, bool doCheck);
    double GetStet(char OC, const TMenge* M, int p, bool doCheck);
    int GetZahl(char OC, const TMenge* M, int p, bool doCheck);
    double GetColStet(char OC, const TMenge* M, int p, bool doCheck);
    int GetZahlCum(char OC, TMenge& Mc, const TMenge* M, int p, bool doCheck);
    int GetZahlCumCat(char OC, TMenge& Mc, const TMenge* M, int p, bool doCheck, const TLongList& Li,
                      std::string& cat);
    int GetCodeZahl(char OC, const TMenge* M, int p, const std::string& st, bool ganz);
    int GetMatchesInCol(char OCz, char OC, const TMenge* M, int p);
    int GetMatchesInRow(char OC, const TMenge* M, int p);
    double GetGesDeck(char OC, const TMenge* M, int p, bool doCheck);
    double GetRowDeck(char OC, const TMenge* M, int p, bool doCheck);

    // All species rows and releves in one pass over the filled cells.
    struct Summary {
        std::vector<int> rowFreq;      // per species row: releves where present
        std::vector<double> rowCover;  // per species row: total cover
        std::vector<int> colCount;     // per releve: species present
        std::vector<double> colCover;  // per releve: total cover
    };
    Summary summarise(bool doCheck);

  private:
    struct Entry {
        double x = 0;
        bool known = false;
        unsigned short counts[5] = {0, 0, 0, 0, 0};
    };
    // With count false the counts are left alone: a second reading of the same cells in another mode
    // must not report their errors twice.
    double value(char mode, TextHandle h, bool doCheck, bool count = true);
    // The interpreter's value of a non-empty entry; 0 for an entry it counts as an invalid cover.
    double checkedValue(char mode, std::string_view s, CoverCounts& counts) const;
    int modeIndex(char mode) const;
    int columnOfSlot(std::uint32_t slot);
    // Rows of the part, or of M when given, that exist.
    std::vector<int> rowsOf(char OC, const TMenge* M) const;
    std::vector<int> colsOf(const TMenge* M) const;

    const TEditBuffer& b_;
    const TDeckInter& deck_;
    CoverCounts counts_;
    std::vector<Entry> cache_[8];
    std::vector<int> columnOfSlot_;
};

// The row type that the contents of row i suggest: for a species row 'K' or 'A'; for a header row the
// type of its first value that is neither empty nor "NA" ('I', 'F', 'D', 'Z', else 'T').
char EstimateTyp(const TEditBuffer& b, char OC, int i);

}  // namespace tav
