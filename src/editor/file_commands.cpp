#include "editor/file_commands.h"

#include "editor/command_handlers.h"

#include "editor/dispatch.h"
#include "editor/session.h"

namespace tav {

bool CheckSaved(Session& session) {
    return !session.modified();
}

void addFileCommands(Dispatcher&) {}

}  // namespace tav
