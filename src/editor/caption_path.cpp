#include "editor/caption_path.h"

#include <string>
#include <vector>

#include "core/text.h"
#include "editor/command_registry.h"
#include "env/catalogue.h"

namespace tav {

namespace {

std::string withoutAmpersands(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != '&') out += c;
    return out;
}

bool beginsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool matchesStar(std::string_view caption, std::string_view part, std::size_t star) {
    if (part.empty() || caption.empty()) return false;
    std::size_t first = 0;  // the bytes of the part's first character
    nextCodePoint(part, first);
    if (star < first || caption.substr(0, first) != part.substr(0, first)) return false;
    return caption.find(part.substr(star + 1), star) != std::string_view::npos;
}

// Words are separated by anything that is no letter or digit; bytes of other characters than ASCII
// count as letters, so "Ö" inside a word keeps it whole.
bool hasWordBeginningWith(std::string_view caption, std::string_view part) {
    auto inWord = [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b >= 0x80 || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    };
    for (std::size_t i = 0; i < caption.size(); ++i)
        if ((i == 0 || !inWord(caption[i - 1])) && beginsWith(caption.substr(i), part)) return true;
    return false;
}

const CommandEntry* findPart(const std::vector<const CommandEntry*>& level, const std::string& part,
                             const Catalogue& catalogue, bool german) {
    std::vector<std::string> captions;
    captions.reserve(level.size());
    for (const CommandEntry* e : level) {
        const std::string shown =
            german ? std::string(e->caption) : menuCaption(catalogue, e->number, e->caption, false);
        captions.push_back(upperFold(withoutAmpersands(shown)));
    }
    if (part.find('&') != std::string::npos) {
        const std::string exact = withoutAmpersands(part);
        for (std::size_t i = 0; i < level.size(); ++i)
            if (captions[i] == exact) return level[i];
        return nullptr;
    }
    if (const std::size_t star = part.find('*'); star != std::string::npos) {
        for (std::size_t i = 0; i < level.size(); ++i)
            if (matchesStar(captions[i], part, star)) return level[i];
        return nullptr;
    }
    for (std::size_t i = 0; i < level.size(); ++i)
        if (beginsWith(captions[i], part)) return level[i];
    for (std::size_t i = 0; i < level.size(); ++i)
        if (hasWordBeginningWith(captions[i], part)) return level[i];
    return nullptr;
}

const CommandEntry* resolve(const std::vector<std::string>& parts, const Catalogue& catalogue, bool german) {
    const CommandEntry* found = nullptr;
    for (const std::string& part : parts) {
        if (found && !found->has(kSubmenu)) return nullptr;
        found = findPart(found ? commands::children(*found) : commands::children(0), part, catalogue, german);
        if (!found) return nullptr;
    }
    return found && !found->has(kSubmenu) ? found : nullptr;
}

}  // namespace

const CommandEntry* findByCaptionPath(std::string_view statement, const Catalogue& catalogue) {
    std::vector<std::string> parts;
    const std::string folded = upperFold(statement);
    // Blanks separate the parts; several blanks count as one.
    for (FieldReader r(folded, ' '); const auto part = r.next();)
        if (!part->empty()) parts.emplace_back(*part);
    if (parts.empty()) return nullptr;
    if (const CommandEntry* e = resolve(parts, catalogue, false)) return e;
    return catalogue.language() == Language::D ? nullptr : resolve(parts, catalogue, true);
}

}  // namespace tav
