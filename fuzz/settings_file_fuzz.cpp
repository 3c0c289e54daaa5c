// The settings file reader on any bytes. The settings read, written and read again must give the same
// lines, and the program's own file must be read without a refused line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "env/catalogue.h"
#include "env/project_settings.h"
#include "fuzz_support.h"

namespace {

const tav::Catalogue& catalogue() {
    static const tav::Catalogue c = [] {
        tav::Catalogue cat;
        cat.LoadTexts(std::string(TAVOLEX_SOURCE) + "/data/tavolex.$ms");
        return cat;
    }();
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    static const std::string input = fuzz::scratchFile("input.$vp");
    static const std::string saved = fuzz::scratchFile("saved.$vp");
    static const std::string dataFolder = fuzz::scratchFile("data");
    fuzz::writeBytes(input, std::string_view(reinterpret_cast<const char*>(data), size));

    TProjectSettings first(catalogue(), fuzz::scratchFolder(), dataFolder);
    if (!first.ReadFromFile(input)) fuzz::roundTripFailed("settings_file", "the input was not read");
    if (Status written = first.WriteToFile(saved, "111"); !written)
        fuzz::roundTripFailed("settings_file", "cannot write: " + written.messages().front().plain());

    TProjectSettings second(catalogue(), fuzz::scratchFolder(), dataFolder);
    const Status reread = second.ReadFromFile(saved);
    if (!reread) fuzz::roundTripFailed("settings_file", "the saved file was not read");
    if (!reread.messages().empty())
        fuzz::roundTripFailed("settings_file", "own line refused: " + reread.messages().front().plain());
    const std::vector<std::string> a = first.settingsLines("111"), b = second.settingsLines("111");
    if (a.size() != b.size())
        fuzz::roundTripFailed("settings_file",
                              "lines " + std::to_string(a.size()) + " -> " + std::to_string(b.size()));
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            fuzz::roundTripFailed("settings_file", fuzz::shown(a[i]) + " -> " + fuzz::shown(b[i]));
    return 0;
}
