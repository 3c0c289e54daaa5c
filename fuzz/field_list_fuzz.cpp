// A header-field list file on any bytes: reading it, and every value of every field translated as a
// coded entry (alone and all of a field's values together), with the texts of the next field as its
// lookup row.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text.h"
#include "editor/field_list.h"
#include "platform/script_ui.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    const std::string text = decodeFileText(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<std::string> lines;
    for (const std::string_view line : splitLines(text)) lines.emplace_back(line);
    ScriptUi ui;
    std::string additions;
    FieldList list;
    list.setLines(lines, ui, additions);
    for (int f = 0; f < list.size(); ++f) {
        (void)list.find(list.field(f)[0]);
        const std::vector<std::string>& items = list.field(f);
        std::string all;
        for (std::size_t i = 4; i < items.size() && i < 64; ++i) {
            (void)foldCodeText(items[i]);
            const std::string codes = list.translateCodes(f, items[i]);
            if (f + 1 < list.size()) (void)list.lookupValues(f, f + 1, codes);
            all += items[i] + "/";
        }
        (void)list.translateCodes(f, all);
    }
    return 0;
}
