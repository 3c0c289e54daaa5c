#pragma once
// The help pages shipped with the program: one HTML page per help topic (GetHelpTopic) listing the
// commands it covers with their captions in the current language, their command numbers, shortcuts and
// what the program can do with them yet, with the texts that describe the topic and each command, and an
// index page "index.htm" that links every page.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/status.h"

namespace tav {

class Catalogue;

struct HelpPage {
    std::string file;  // "mnuFelder.htm", "index.htm"
    std::string html;
};

// The texts of the pages: an introduction per topic ("mnuFelder") and a description per command number
// ("102100000"), from lines "KEY;TEXT".
using HelpTexts = std::map<std::string, std::string>;
// Reads every "*.txt" file of folder (UTF-8; blank lines and lines beginning with "#" are skipped). A line
// without ";" fails with its file and line number.
Result<HelpTexts> readHelpTexts(const std::string& folder);

// available tells which commands the program runs.
std::vector<HelpPage> helpPages(const Catalogue& catalogue,
                                const std::function<bool(std::int64_t)>& available = {},
                                const HelpTexts& texts = {});
// Writes the pages into folder (created when missing).
Status writeHelpPages(const Catalogue& catalogue, const std::string& folder,
                      const std::function<bool(std::int64_t)>& available = {}, const HelpTexts& texts = {});

}  // namespace tav
