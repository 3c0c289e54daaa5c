#pragma once
// Running a macro of a collection, as "Makro ausführen" does once the macro is chosen.

#include "core/status.h"

namespace tav {

class Dispatcher;
class MacroCollection;
class Session;
struct MacroEntry;

// Runs the macro (statement by statement, each shown before it runs, with stepwise) and says when it
// ran to its end.
Status runMacro(Session& session, Dispatcher& dispatcher, const MacroCollection& collection,
                const MacroEntry& entry, bool stepwise);

}  // namespace tav
