#pragma once
// The undo list of the editor, built on the changes the table buffer reports: an entry holds the
// change records of one command (or of one change made outside any command), undo takes them back
// newest first, and redo makes them again. No entry copies the table; a record holds only what its
// primitive changed. The session owns the list, so that a macro and the desktop undo the same steps.
//
// Changes of the marks are not undone: they are not the table's contents. Replacing the whole table
// (reading a file, a new table) empties the list.

#include <cstddef>
#include <string>
#include <vector>

#include "table/table_change.h"

namespace tav {

class TEditBuffer;

class UndoList : public TableObserver {
  public:
    // At most this many entries; one more drops the oldest kDropped.
    static constexpr std::size_t kMaxEntries = 1000;
    static constexpr std::size_t kDropped = 500;

    explicit UndoList(TEditBuffer& buffer);
    ~UndoList() override;
    UndoList(const UndoList&) = delete;
    UndoList& operator=(const UndoList&) = delete;

    // The changes between begin and end form one entry (nested pairs form the outer one). An entry
    // without changes is not kept.
    void begin();
    void end();
    // Instead of end: takes back the changes made since the matching begin (an operation that failed
    // half-way); what outer steps changed before stays.
    void rollback();

    // False when there is nothing to undo (redo), or the step that is open has changed the table.
    bool undo();
    bool redo();
    void clear();

    bool canUndo() const { return next_ > 0; }
    bool canRedo() const { return next_ < entries_.size(); }
    std::size_t size() const { return entries_.size(); }
    // The number of change records the list holds, for tests that make sure nothing is copied.
    std::size_t records() const;

    void tableChanged(const TableChange& c) override;

  private:
    using Entry = std::vector<TableChange>;
    void add(Entry entry);

    TEditBuffer& buffer_;
    std::vector<Entry> entries_;
    std::size_t next_ = 0;  // entries before it are done, from it on undone
    Entry open_;
    std::vector<std::size_t> marks_;  // per open begin: the size of open_ then
    bool applying_ = false;
};

}  // namespace tav
