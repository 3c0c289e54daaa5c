// The record-set loader on any database file. A record set loaded, saved and loaded again must hold the
// same fields and texts.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "species/record_set.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    static const std::string input = fuzz::scratchFile("input.adb");
    static const std::string saved = fuzz::scratchFile("saved.adb");
    fuzz::writeBytes(input, std::string_view(reinterpret_cast<const char*>(data), size));

    RecordSet first;
    std::string error;
    if (!first.load(input, error)) return 0;
    if (!first.save(saved, error)) fuzz::roundTripFailed("record_set", "cannot save: " + error);
    RecordSet second;
    if (!second.load(saved, error))
        fuzz::roundTripFailed("record_set", "cannot load the saved file: " + error);
    if (const std::string diff = fuzz::recordSetDifference(first, second); !diff.empty())
        fuzz::roundTripFailed("record_set", diff);
    return 0;
}
