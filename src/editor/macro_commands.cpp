#include "editor/command_handlers.h"

#include "editor/dispatch.h"

namespace tav {

void addMacroCommands(Dispatcher&) {}

}  // namespace tav
