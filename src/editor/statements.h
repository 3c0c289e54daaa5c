#pragma once
// Runs macro statements: commands named by their caption paths, each followed by its argument, whose
// blank-separated tokens answer the dialogs the command opens one after the other. Control statements
// insert other macros of the collection: "&SUB" always, "&IF<condition>" when the condition over the
// eight variables holds, "&ELSE" right after an "&IF" that did not.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"

namespace tav {

class Dispatcher;
class MacroCollection;
class Session;

// The marker put into the statement text behind the statement that failed.
inline constexpr std::string_view kErrorMarker = " <-- ERROR ";
// How deep macros may be inserted into each other; a macro that inserts itself stops there.
inline constexpr int kMaxMacroDepth = 100;

// Runs 'command;argument;command;argument;…' until the text ends or a command is empty or blank. A
// caption path that names no command, a macro to insert that the collection does not hold, a token a
// dialog refuses, a command that fails, or Esc stops the run: the failure holds the reason, followed by
// the statement text with the marker behind the failed statement. Without a collection no macro can be
// inserted.
Status runStatements(Session& session, Dispatcher& dispatcher, std::string_view statements,
                     const MacroCollection* collection = nullptr);

// A macro's text: its first field is the entry's header, the statements follow.
Status runMacroText(Session& session, Dispatcher& dispatcher, std::string_view macroText,
                    const MacroCollection* collection = nullptr);

// A condition of "&IF": true or false, or nothing when it is invalid (no operator, or a numeric
// comparison of something that is not a number). "&n" is variable n, "#n" its first word.
std::optional<bool> evaluateCondition(std::string_view condition, const Session& session);

// Runs a macro over table files one after the other: each is opened as the table (display and marks
// reset) and the macro runs on it. When a run does not reach its end the user decides whether the
// remaining files are processed. The files are not saved here. At the end a new table from the template
// replaces the last one, unmodified. Failed when some run did not reach its end.
Status runMacroOverFiles(Session& session, Dispatcher& dispatcher, const MacroCollection& collection,
                         std::string_view macroText, const std::vector<std::string>& files);

}  // namespace tav
