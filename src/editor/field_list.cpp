#include "editor/field_list.h"

#include "editor/command_handlers.h"

namespace tav {

void addFieldListCommands(Dispatcher&) {}

}  // namespace tav
