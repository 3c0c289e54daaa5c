#pragma once
// The handlers of the registry's commands, one family a file. Each adds the handlers of the commands it
// builds to the dispatcher; a command no family adds says that it is not available yet.

namespace tav {

class Dispatcher;

// "Datei": opening, saving, closing, new tables, templates, the file history.
void addFileCommands(Dispatcher& dispatcher);
// The work environment and the option dialogs that write settings, the cover-code commands.
void addEnvironmentCommands(Dispatcher& dispatcher);
// The window's state: grid locks, the toggles and the display settings.
void addWindowCommands(Dispatcher& dispatcher);
// Editing in the grids: undo and redo.
void addGridCommands(Dispatcher& dispatcher);
// Macros and the macro variables.
void addMacroCommands(Dispatcher& dispatcher);

}  // namespace tav
