// A macro collection file on any bytes: parsing it, offering its macros, the texts a run and the choice
// list show, and finding each macro by its caption and by its code, which must find one.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/text.h"
#include "editor/macro_collection.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    const std::string text = decodeFileText(std::string_view(reinterpret_cast<const char*>(data), size));
    const MacroCollection collection = MacroCollection::parse(text);
    (void)collection.offered();
    for (const MacroEntry& e : collection.entries()) {
        (void)e.listText();
        (void)e.macroText();
        // A code of letters and digits names its macro (other characters are the user's mistake).
        const bool plainCode = !e.code.empty() && std::all_of(e.code.begin(), e.code.end(), [](char ch) {
            return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
        });
        if (plainCode && !collection.find(e.code))
            fuzz::roundTripFailed("macro_collection", "the macro of line " + std::to_string(e.line) +
                                                          " is not found by its code " + fuzz::shown(e.code));
        (void)collection.find(e.caption);
    }
    return 0;
}
