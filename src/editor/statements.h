#pragma once
// Runs macro statements: commands named by their caption paths, each followed by its argument, whose
// blank-separated tokens answer the dialogs the command opens one after the other.

#include <string_view>

#include "core/status.h"

namespace tav {

class Dispatcher;
class Session;

// The marker put into the statement text behind the statement that failed.
inline constexpr std::string_view kErrorMarker = " <-- ERROR ";

// Runs 'command;argument;command;argument;…' until the text ends or a command is empty or blank. A
// caption path that names no command, a token a dialog refuses, or a command that fails stops the run:
// the failure holds the reason, followed by the statement text with the marker behind the failed
// statement. Control statements ("&SUB", "&IF…", "&ELSE") need a macro collection, which is not built
// yet: they stop the run the same way.
Status runStatements(Session& session, Dispatcher& dispatcher, std::string_view statements);

// A macro's text: its first field is the entry's header, the statements follow.
Status runMacroText(Session& session, Dispatcher& dispatcher, std::string_view macroText);

}  // namespace tav
