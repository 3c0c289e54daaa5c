#include "editor/command_handlers.h"

#include "editor/dispatch.h"

namespace tav {

void addEnvironmentCommands(Dispatcher&) {}

}  // namespace tav
