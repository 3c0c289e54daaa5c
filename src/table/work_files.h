#pragma once
// The per-process work folder for the scratch tables ("1.$tp", "2.$tp", ".$bt" …) through which
// sorting and many analyses pass a table. Made on first use, removed with everything in it at exit.

#include <string>
#include <string_view>

namespace tav {

// The folder, created with owner-only rights below $TMPDIR (or /tmp). Empty when it cannot be made.
const std::string& workFolder();
// The path of a work file; name must be a plain file name.
std::string workFile(std::string_view name);

}  // namespace tav
