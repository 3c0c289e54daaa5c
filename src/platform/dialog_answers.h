#pragma once
// How a token (from a macro statement, the batch runner or a test) answers a generic dialog. One set of
// rules for every front end, so a macro answers a dialog exactly as a script does.

#include <optional>
#include <string>
#include <string_view>

#include "platform/ui_port.h"

namespace tav {

// A token against one item text: "&" removed from the item, both folded to upper case; the first
// characters must agree unless the token holds "&" (then the item must equal the token without "&");
// a "*" at position p matches when the rest of the token occurs in the item from p on; otherwise the
// item must begin with the token.
bool matchesItem(std::string_view token, std::string_view item);

// Single quotes become double quotes; with a double quote only the text between the first two is kept;
// double quotes are removed.
std::string CleanAnswer(std::string_view token);

struct TokenAnswer {
    std::optional<std::string> answer;  // the dialog's answer string; empty when refused
    std::string refusal;                // why the token does not answer the dialog
};

// The answer a token gives, in the answer form of the request's kind (see DialogKind). A token that
// names no item, a flag string of the wrong length or a line number out of range is refused: a dialog
// never reports success with an answer that points nowhere.
TokenAnswer answerFromToken(const DialogRequest& request, std::string_view token);

}  // namespace tav
