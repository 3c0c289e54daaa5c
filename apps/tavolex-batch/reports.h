#pragma once
// What the batch runner prints about a table: the summary of what was read and the per-row and
// per-releve statistics, and the progress shown while a long step runs on a terminal.

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/progress.h"
#include "platform/ui_port.h"
#include "table/edit_buffer.h"
#include "values/deck_inter.h"

namespace batch {

// The file's encoding, the table's size, its filled cells and every header row with its type.
void printSummary(const tav::TEditBuffer& b, const std::string& file);
// Per species row its frequency, constancy and total cover, per releve its species count and total
// cover, as ";"-separated lines; invalid cover codes are reported once at the end through ui.
void printStats(const tav::TEditBuffer& b, const tav::TDeckInter& deck, tav::UiPort& ui);

// Shows the progress of long reads and writes on a terminal only.
class TerminalProgress : public tav::Progress {
  public:
    void setStatus(std::string_view text) override {
        std::fprintf(stderr, "\r%.*s", static_cast<int>(text.size()), text.data());
        shown_ = true;
    }
    void hideStatus() override {
        if (shown_) std::fprintf(stderr, "\r\033[K");
        shown_ = false;
    }

  private:
    bool shown_ = false;
};

}  // namespace batch
