// The first-start script of the external statistics environment, made from the template shipped beside
// the definitions of the external functions.

#include <string>
#include <string_view>
#include <vector>

#include "core/file_io.h"
#include "core/text.h"
#include "env/project_settings.h"
#include "env/project_settings_text.h"

namespace tav {

namespace {

constexpr std::size_t kMaxTemplateBytes = 16u << 20;

}  // namespace

Status WriteRFirst(const std::string& definitionsFile, const std::string& workDir,
                   const std::string& target) {
    const std::string sourceDir = folderOf(definitionsFile);
    const std::string templatePath = sourceDir + "/tavFirst.R";
    const Result<std::string> bytes = readWholeFile(templatePath, kMaxTemplateBytes);
    if (!bytes) return Status::failure("Kann " + templatePath + " nicht lesen: " + bytes.status().plain());
    const std::string text = decodeFileText(bytes.value());
    std::vector<std::string> lines;
    for (std::string_view line : splitSettingsLines(text)) {
        // The folders go in as R string literals, so a quote or backslash in a path cannot end the
        // string early or turn into an escape.
        if (line.find("sourcedir <- ") != std::string_view::npos)
            lines.push_back("sourcedir <- " + rStringLiteral(sourceDir));
        else if (line.find("workdir <- ") != std::string_view::npos)
            lines.push_back("workdir <- " + rStringLiteral(workDir));
        else
            lines.emplace_back(line);
    }
    // R reads its sources as UTF-8 on this platform; a code-page file would garble non-ASCII paths.
    return writeSettingsLines(target, lines, false);
}

}  // namespace tav
