#include "editor/command_handlers.h"

#include "editor/dispatch.h"

namespace tav {

void addWindowCommands(Dispatcher&) {}

}  // namespace tav
