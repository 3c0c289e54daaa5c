#pragma once
// What the command families share: a failure without a message of its own, and a whole number asked for.

#include <optional>
#include <string_view>

#include "core/status.h"

namespace tav {

class Session;

// A command that failed after saying why (or after the user refused): the statement fails quietly.
inline Status commandFailed() {
    Status s;
    s.fail();
    return s;
}

// A whole number from low to high asked in a text dialog preset with preset. Nothing when cancelled; a
// message, a refused macro answer and nothing when the answer is no such number.
std::optional<int> askWholeNumber(Session& session, std::string_view caption, std::string_view prompt,
                                  int preset, int low, int high);

}  // namespace tav
