#include "editor/undo_list.h"

#include <utility>

#include "table/edit_buffer.h"

namespace tav {

UndoList::UndoList(TEditBuffer& buffer) : buffer_(buffer) {
    buffer_.addObserver(this);
}

UndoList::~UndoList() {
    buffer_.removeObserver(this);
}

void UndoList::begin() {
    marks_.push_back(open_.size());
}

void UndoList::end() {
    if (marks_.empty()) return;
    marks_.pop_back();
    if (marks_.empty() && !open_.empty()) add(std::exchange(open_, {}));
}

void UndoList::rollback() {
    if (marks_.empty()) return;
    const std::size_t mark = marks_.back();
    applying_ = true;
    while (open_.size() > mark) {
        buffer_.revert(open_.back());
        open_.pop_back();
    }
    applying_ = false;
    end();
}

void UndoList::add(Entry entry) {
    // A new step makes the undone ones unreachable.
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(next_), entries_.end());
    entries_.push_back(std::move(entry));
    if (entries_.size() > kMaxEntries)
        entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(kDropped));
    next_ = entries_.size();
}

bool UndoList::undo() {
    if (!canUndo() || !open_.empty()) return false;
    Entry& entry = entries_[--next_];
    applying_ = true;
    for (auto it = entry.rbegin(); it != entry.rend(); ++it) buffer_.revert(*it);
    applying_ = false;
    return true;
}

bool UndoList::redo() {
    if (!canRedo() || !open_.empty()) return false;
    // Each record was turned into the change that redoes it, and the records were taken back newest
    // first: taking them back again, oldest first, makes the changes once more.
    Entry& entry = entries_[next_++];
    applying_ = true;
    for (TableChange& c : entry) buffer_.revert(c);
    applying_ = false;
    return true;
}

void UndoList::clear() {
    entries_.clear();
    next_ = 0;
    open_.clear();
    for (std::size_t& m : marks_) m = 0;
}

std::size_t UndoList::records() const {
    std::size_t n = open_.size();
    for (const Entry& e : entries_) n += e.size();
    return n;
}

void UndoList::tableChanged(const TableChange& c) {
    if (applying_) return;
    switch (c.kind) {
        case TableChange::Kind::Marks:
            return;
        case TableChange::Kind::Replace:
            // A table read or made anew cannot be taken back step by step.
            clear();
            return;
        default:
            break;
    }
    if (!marks_.empty())
        open_.push_back(c);
    else
        add(Entry{c});
}

}  // namespace tav
