#pragma once
// The command recording of the run: one line per command while recording is on. The session owns it so
// that every front end records into the same list; it lives until the program ends and is emptied only
// on request.

#include <string>
#include <utility>
#include <vector>

namespace tav {

class RecordingList {
  public:
    bool on() const { return on_; }
    void setOn(bool on) { on_ = on; }

    // Appends the line while recording is on; otherwise nothing happens.
    void RecordLine(std::string line) {
        if (on_) lines_.push_back(std::move(line));
    }
    void clear() { lines_.clear(); }
    const std::vector<std::string>& lines() const { return lines_; }

  private:
    std::vector<std::string> lines_;
    bool on_ = false;
};

}  // namespace tav
