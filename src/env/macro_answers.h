#pragma once
// The answers of a running macro statement: its argument split into blank-separated tokens, one for each
// dialog the command opens. A token in quotes may hold blanks.

#include <string>
#include <string_view>
#include <vector>

namespace tav {

class MacroAnswers {
  public:
    void start(std::string_view argument);
    void stop();
    bool running() const { return running_; }
    // Back to the first token of the argument (a command is triggered anew).
    void rewind() { pos_ = 0; }

    // True when the dialog asks the user: no macro runs, or the token begins with "&" (a missing token
    // and "+" count as "&"). Otherwise false, with the token in answer.
    bool NextMacroAnswer(std::string& answer);

    // A dialog refused the token it was given: the statement has failed, whatever its command goes on to do.
    void refuse() { refused_ = true; }
    bool refused() const { return refused_; }

  private:
    std::vector<std::string> tokens_;
    std::size_t pos_ = 0;
    bool running_ = false;
    bool refused_ = false;
};

}  // namespace tav
