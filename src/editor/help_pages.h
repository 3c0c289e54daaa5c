#pragma once
// The help pages shipped with the program: one HTML page per help topic (GetHelpTopic) listing the
// commands it covers with their captions in the current language, their command numbers, shortcuts and
// what the program can do with them yet, and an index page "index.htm" that links every page.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/status.h"

namespace tav {

class Catalogue;

struct HelpPage {
    std::string file;  // "mnuFelder.htm", "index.htm"
    std::string html;
};

// available tells which commands the program runs.
std::vector<HelpPage> helpPages(const Catalogue& catalogue,
                                const std::function<bool(std::int64_t)>& available = {});
// Writes the pages into folder (created when missing).
Status writeHelpPages(const Catalogue& catalogue, const std::string& folder,
                      const std::function<bool(std::int64_t)>& available = {});

}  // namespace tav
