#pragma once
// What the evaluation commands share between their files: the statistics of releves over rows, the
// selection of tests, the row tests of "Zeilen auswerten".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/stat_params.h"
#include "core/status.h"

namespace tav {

class Session;
class TEditBuffer;

// The marked rows of both parts, header rows first (or of one part only).
struct MarkedRow {
    char part;
    int row;
};
std::vector<MarkedRow> markedRows(const TEditBuffer& buffer, char onlyPart = 0);

// Whether `marked` rows are enough for an operation that needs `least`: otherwise "MsgNoRowsM" (none
// marked) or "MsgFewRowsM" is shown.
bool enoughMarkedRows(Session& session, std::size_t marked, std::size_t least);

// A header cell as a number; missing (kMissing) when it is empty or no number.
double headerNumber(const TEditBuffer& buffer, int col, int row);

// The names of the nine transformations, by their number: the row transformations of "Zeilen auswerten"
// and the scaling of indicator files name their results with them.
inline constexpr const char* kTransformationNames[] = {"zentriert",
                                                       "standardisiert",
                                                       "Anteile",
                                                       "skaliert",
                                                       "dividiert",
                                                       "rangiert",
                                                       "uniformtransformiert",
                                                       "normaltransformiert",
                                                       "geeicht"};

// A statistics selection with its bootstrap numbers.
struct StatChoice {
    StatSelection selection;
    int nconf = 0;
    double pconf = 68.27;
};

// The options of a statistics selection: the rule for missing values ("DlgNaOpts") when chosen, the
// number of bootstrap samples and the confidence interval when chosen. False when cancelled or refused.
bool askStatOptions(Session& session, StatChoice& choice);

// The parameters for "Spaltenweise auswerten" (only the basic operations with basicOnly); nothing when
// cancelled, when nothing is chosen, or when the weighted ones were chosen and the user refused to go
// on without them.
std::optional<StatChoice> askColumnStatistics(Session& session, bool basicOnly);
// The parameters of each releve over rows of part as new header rows named by their labels + suffix;
// the number of "NA" written, or -1 when Esc stopped it before the table changed.
std::int64_t applyColumnStatistics(Session& session, char part, const std::vector<int>& rows,
                                   const StatChoice& choice, std::string_view suffix);

// The selection of a test mode (0 against 0, 1 against the rest, 2 association) from its dialogs.
std::optional<std::string> askTestSelection(Session& session, int mode);

// A number asked in a text dialog (prompt "Minimaler Wert"); nothing when cancelled, or after a message
// when the answer is no number.
std::optional<double> askMinimum(Session& session, std::string_view caption);

// The header rows whose values make the categories of releves, chosen in "Kategorien (Straten)
// angeben" (one or several); empty when cancelled.
std::vector<int> askCategoryRows(Session& session);

// The pair list: the marked header rows, first half with second half, edited in "Zeilenpaare"; the
// lines with two rows are the pairs, in the order their fields name them. The header-row marks become
// the rows of the pairs. Nothing when cancelled or too few rows are marked.
std::optional<std::vector<std::pair<int, int>>> askRowPairs(Session& session);

// "Zeilen auswerten" answers 7 (association of pairs of rows), 8 (against 0) and 9 (against the rest).
Status runRowTest(Session& session, int answer);

}  // namespace tav
