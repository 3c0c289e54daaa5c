#pragma once
// The tool bar's buttons from left to right, with an empty name for each separator. The flags of the
// setting ToolButtons count the separators too: a "1" at a button's place hides it, and the last button
// always shows.

#include <span>
#include <string_view>

namespace tav {

class Dispatcher;
struct CommandEntry;

std::span<const std::string_view> toolBarLayout();
// The command a button runs (nullptr for a separator or an unknown name).
const CommandEntry* toolButtonCommand(std::string_view button);
// Whether button i of the layout shows under the flags.
bool toolButtonShown(std::string_view flags, std::size_t i);

// "Inhalt der Symbolleiste": the buttons in a table window with their hints, "Ja" or "Nein" toggled by
// the change button; the answer becomes ToolButtons.
void addToolBarCommands(Dispatcher& d);

}  // namespace tav
