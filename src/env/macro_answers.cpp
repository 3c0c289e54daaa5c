#include "env/macro_answers.h"

namespace tav {

void MacroAnswers::start(std::string_view argument) {
    tokens_.clear();
    pos_ = 0;
    running_ = true;
    refused_ = false;
    std::size_t start = 0;
    while (start < argument.size()) {
        std::size_t blank = argument.find(' ', start);
        // A token in quotes keeps its blanks ('Poa pratensis'); the text dialogs take what is between
        // the quotes. An unmatched quote is an ordinary character.
        if (argument[start] == '"' || argument[start] == '\'') {
            const std::size_t close = argument.find(argument[start], start + 1);
            if (close != std::string_view::npos) blank = argument.find(' ', close);
        }
        if (blank == std::string_view::npos) blank = argument.size();
        if (blank > start) tokens_.emplace_back(argument.substr(start, blank - start));
        start = blank + 1;
    }
}

void MacroAnswers::stop() {
    running_ = false;
    refused_ = false;
    tokens_.clear();
    pos_ = 0;
}

bool MacroAnswers::NextMacroAnswer(std::string& answer) {
    if (!running_) return true;
    if (pos_ < tokens_.size() && tokens_[pos_] != "+") {
        answer.assign(tokens_[pos_]);
    } else {
        answer.assign(1, '&');
    }
    if (pos_ < tokens_.size()) ++pos_;
    return answer.front() == '&';
}

}  // namespace tav
