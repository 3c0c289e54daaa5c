#pragma once
// Line handling shared by the settings, installation and script files of the work environment.

#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"

namespace tav {

// Lines ended by CR LF, LF or CR; no empty last line for the final line break.
std::vector<std::string_view> splitSettingsLines(std::string_view text);

// Writes the lines with CR LF through a temporary file and a rename. With codePage the file is in
// Windows-1252 when every character fits and the bytes read back as the same text, otherwise (and
// without codePage) in UTF-8.
Status writeSettingsLines(const std::string& path, const std::vector<std::string>& lines, bool codePage);

}  // namespace tav
