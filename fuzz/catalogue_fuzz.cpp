// The text catalogue reader on any bytes, and every lookup the program makes of what it read, in every
// language: messages, menu captions, hints and dialog definitions with their replacements.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/numbers.h"
#include "env/catalogue.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    static const std::string input = fuzz::scratchFile("tavolex.$ms");
    fuzz::writeBytes(input, std::string_view(reinterpret_cast<const char*>(data), size));

    Catalogue cat;
    if (!cat.LoadTexts(input)) fuzz::roundTripFailed("catalogue", "the input was not read");
    for (Language l : {Language::D, Language::F, Language::I, Language::L, Language::E}) {
        cat.setLanguage(l);
        for (const std::string& key : cat.keys("Msg")) cat.GetMsg(key);
        for (const char* kind : {"Mnu", "Hint"}) {
            for (const std::string& key : cat.keys(kind)) {
                const auto n = parseInteger(key);
                if (!n) continue;
                menuCaption(cat, *n, "caption", true);
                cat.GetHintText(*n);
            }
        }
        for (const std::string& key : cat.keys(std::string(1, languageCode(l)))) {
            cat.GetLangMsg(key);
            const DlgDef def = cat.GetDlgDef(key, "%&$S", "&%");
            def.items();
        }
    }
    return 0;
}
