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
    if (!first.load(input)) return 0;
    if (Status s = first.save(saved); !s)
        fuzz::roundTripFailed("record_set", "cannot save: " + s.messages().front().plain());
    RecordSet second;
    if (Status s = second.load(saved); !s)
        fuzz::roundTripFailed("record_set", "cannot load the saved file: " + s.messages().front().plain());
    if (const std::string diff = fuzz::recordSetDifference(first, second); !diff.empty())
        fuzz::roundTripFailed("record_set", diff);
    return 0;
}
