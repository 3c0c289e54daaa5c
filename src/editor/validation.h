#pragma once
// Finding typing mistakes: the check of a cell when the cursor leaves it, the "Daten prüfen" walks over
// field names, header values, species names and covers (stopping at the first error, or collecting all
// of them in an error list), and the constraint codes of header rows (item 'C' of the margin) that tie
// header rows together: obligatory input, unique values, multi-field keys, conditional input,
// contradictions, value ranges and chained sums.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"

namespace tav {

class Session;
class TEditBuffer;

// The value check of a header entry by the type of its row (not for coded and lookup rows, which the
// header-field list checks): true when valid, with the entry in its normal form ("3.6.19" in a date row
// becomes "03.06.2019"). "NA" is accepted in every row; an empty entry is no date.
bool checkHeaderValue(char type, std::string& entry);

// The short label of a row type: "Text", "Int.", … ("???" for an unknown letter).
std::string_view rowTypeLabel(char type);

// The constraint codes of one header row, evaluated over all releves: for each rule the releves that
// break it. Built from the table as it stands; every row of a group gets the same flags.
class RowConstraints {
  public:
    RowConstraints(const TEditBuffer& buffer, int row);

    bool has(char capital) const { return position(capital) != std::string::npos; }
    // The first rule that releve col breaks: 'O' for an empty obligatory entry, else the first flagged
    // of 'E', 'M', 'A', 'B', 'C', 'W', 'N', 'R', 'K'; 0 when none.
    char violation(int col, bool empty) const;
    // The message of a broken rule at releve col: the catalogue text and, after ";", what explains it.
    std::string errorText(const Session& session, char kind, int col) const;

  private:
    std::size_t position(char capital) const { return item_.find(capital); }
    std::vector<int> group(char capital) const;
    // The operator of a row in its chained sum: '-' subtracts, anything else adds.
    char chainOperator(int row) const;
    bool flagged(char capital, int col) const;

    const TEditBuffer& b_;
    int row_;
    char type_;
    std::string item_;
    // Per rule letter ('A' … 'Z'), one flag per releve.
    std::vector<std::vector<char>> flags_;
    std::string lowWord_, highWord_, chainLowWord_, chainHighWord_;
};

// The check of the pending cell of the active grid (the cell typed into since the cursor came to it):
// true when it is acceptable or nothing is pending. On failure the cursor stays on the cell, with the
// previous value back under the strict setting.
bool checkData(Session& session);

// "Daten prüfen": mode 'R' rows, 'C' columns (both stop at the first error), 'L' the error list of
// the active grid, 'G' the error list of all grids. True when no error was found.
bool runDataCheck(Session& session, char mode);

// A constraint chosen in "DlgCheck" written into item 'C' of the marked header rows (the cursor row when
// none is marked).
Status setRowCheck(Session& session);

// The error lists show at most this many errors; a last line says how many more there were.
inline constexpr std::size_t kErrorListCap = 10000;

}  // namespace tav
