#include "editor/command_handlers.h"

namespace tav {

void addValidationCommands(Dispatcher&) {}

}  // namespace tav
