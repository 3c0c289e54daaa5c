#pragma once
// Messages about cover-code definition files (reading and writing are in deck_inter.h).

#include <string>

namespace tav {

// Shown when the definition file of system 10 is missing and readCoverDefinition fell back to system 1.
std::string coverFileMissingMessage(const std::string& name);

}  // namespace tav
