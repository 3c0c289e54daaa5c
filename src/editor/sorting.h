#pragma once
// Sorting the rows of a part or the columns of the table by one criterion. Every item gets a typed key
// (numbers compare as numbers, texts with the program's collation, missing values first), the sort is
// stable, and only the marked items are permuted among their own positions: all other rows or columns
// stay where they are. The new order is applied through the buffer's permutation, so a sort is one undo
// step and no text key or work file is involved. Value sorting (criteria 50 and 51) sorts the values
// inside the columns or rows of the header part instead.

#include <string>
#include <vector>

#include "core/status.h"

namespace tav {

class Dispatcher;
class Session;

struct SortRequest {
    char part = 'A';  // the rows sorted ('K' header, 'A' species), or the part of a column sort's key rows
    char mode = 'R';  // 'R' rows, 'C' columns, 'S' columns and a rank row
    int criterion = 0;
    int keyRow = 0;  // column sorts: the key row when no row of the part is marked
    // 52: the position of the value in the blank-separated species score margin.
    int scoreItem = 0;
    // 48, 49: the fields of the indicator value list whose values make the key.
    std::vector<int> indicatorFields;
};

// Sorts; the marks are cleared afterwards. Invalid cover codes met are added to the session's counts.
// A criterion that does not exist for the request fails.
Status sortTable(Session& session, const SortRequest& request);

// "Zeilen sortieren", "Spalten sortieren", "Arten nach Datei ordnen" and "Gelöschte Zeilen freigeben".
void addSortCommands(Dispatcher& d);

}  // namespace tav
