#include "env/project_settings_text.h"

#include "core/file_io.h"
#include "core/text.h"

namespace tav {

std::vector<std::string_view> splitSettingsLines(std::string_view text) {
    return splitLines(text);
}

Status writeSettingsLines(const std::string& path, const std::vector<std::string>& lines, bool codePage) {
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    // The code page keeps the files readable for older installations; UTF-8 only where it would lose a
    // character or read back as something else.
    const std::string bytes = codePage ? encodeTextFile(out) : out;
    if (const Status written = writeFileAtomically(path, bytes); !written.ok())
        return Status::failure("Kann " + path + " nicht speichern: " + written.plain());
    return {};
}

}  // namespace tav
