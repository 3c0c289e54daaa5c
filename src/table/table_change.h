#pragma once
// What changes a table, told to whoever watches it. Every change of TEditBuffer passes through a few
// primitives, and each reports one TableChange to the buffer's observers: undo keeps the records, the
// modified flag and redisplay only look at them. A record holds enough to take the change back:
// TEditBuffer::revert undoes it and turns the record into the change that redoes it, so an undo list can
// move records between its undo and redo sides without copying them.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/lists.h"
#include "core/menge.h"
#include "table/table_codes.h"
#include "table/table_store.h"

namespace tav {

// The stored table and the index lists that give it its visible order.
struct TableContent {
    TableStore L;
    TLongList Icol;   // visible column → entry index of the stored rows (always >= 3)
    TLongList IrowK;  // visible header row → stored row
    TLongList IrowA;  // visible species row → stored row
    int ManyColCt = 0;
};

// The four marking sets of the editor.
enum class MarkSet : char {
    McoL,  // columns of the name grids
    McoR,  // releves of the data grids
    MroK,  // header rows
    MroA,  // species rows
};

struct TableChange {
    enum class Kind : char {
        Field,    // one entry of a stored row: row type, name, margin or cell
        Insert,   // index entries inserted into a list
        Delete,   // index entries removed from a list
        Permute,  // an index list reordered
        Marks,    // a marking set changed
        Replace,  // the whole table replaced (reading a file, clearing)
    };
    Kind kind = Kind::Field;

    // Field: stored row and entry (0 type, 1 name, 2 margin, 3 … cells), the text before and after.
    int row = -1;
    int entry = -1;
    std::string before, after;

    // Insert, Delete, Permute: the index list (Header, Species or Columns). Insert and Delete: the
    // stored indices now at (Insert) or formerly at (Delete) positions pos, pos+1, …. Permute: entry i
    // of the new list was entry order[i] of the old one.
    Area list = Area::Species;
    int pos = 0;
    std::vector<std::int32_t> entries;

    // Marks: the set and its elements before and after.
    MarkSet marks = MarkSet::McoL;
    TMenge marksBefore, marksAfter;

    // Replace: the table that was replaced. Shared, so that copies of a record stay cheap.
    std::shared_ptr<TableContent> table;
};

class TableObserver {
  public:
    virtual ~TableObserver() = default;
    // A change has been made; the buffer already shows it.
    virtual void tableChanged(const TableChange& c) = 0;
    // TEditBuffer::revert has taken a change back; c is now the record that would redo it.
    virtual void tableReverted(const TableChange& c) { (void)c; }
};

}  // namespace tav
