#pragma once
// The entries of each top menu in menu order, the top menu first. The registry joins them.

#include <span>

#include "editor/commands/command_entry.h"

namespace tav::commands {

std::span<const CommandEntry> fileMenu();
std::span<const CommandEntry> editMenu();
std::span<const CommandEntry> rowsMenu();
std::span<const CommandEntry> columnsMenu();
std::span<const CommandEntry> baseDataMenu();
std::span<const CommandEntry> computeMenu();
std::span<const CommandEntry> taxaMenu();
std::span<const CommandEntry> indicatorsMenu();
std::span<const CommandEntry> modulesMenu();
std::span<const CommandEntry> optionsMenu();
std::span<const CommandEntry> helpMenu();

}  // namespace tav::commands
