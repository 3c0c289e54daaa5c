#include "env/project_settings_text.h"

#include "core/file_io.h"
#include "core/text.h"

namespace tav {

std::vector<std::string_view> splitSettingsLines(std::string_view text) {
    return splitLines(text);
}

bool writeSettingsLines(const std::string& path, const std::vector<std::string>& lines, bool codePage,
                        std::string* error) {
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    // The code page keeps the files readable for older installations; UTF-8 when it would lose a
    // character, and when its bytes would pass for UTF-8 (as "\u00C3\u00A4" does) and read back as
    // other characters.
    std::string bytes = out;
    if (codePage && fitsCp1252(out)) {
        std::string cp = utf8ToCp1252(out);
        if (decodeFileText(cp) == out) bytes = std::move(cp);
    }
    AtomicFile file;
    if (!file.open(path) || !file.write(bytes) || !file.commit()) {
        if (error) *error = "Kann " + path + " nicht speichern: " + file.error();
        return false;
    }
    return true;
}

}  // namespace tav
