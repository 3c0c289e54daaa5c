// The native table reader on any bytes. Whatever it accepts must survive a save and a second read
// unchanged. The species cells then go through the cover-code interpreter of the complete
// Braun-Blanquet system, as every analysis of the table would take them.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "platform/progress.h"
#include "table/edit_buffer.h"
#include "values/deck_inter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    static const std::string input = fuzz::scratchFile("input.tab");
    static const std::string saved = fuzz::scratchFile("saved.tab");
    fuzz::writeBytes(input, std::string_view(reinterpret_cast<const char*>(data), size));

    TEditBuffer first;
    if (first.ReadFile(kLayoutNative, input, noProgress()).value() != ReadResult::Ok) return 0;
    // The writer drops empty end rows and columns: the table as saved is what the second read must show.
    if (const Status written = first.WriteFile(kLayoutNative, saved, noProgress(), nullptr, nullptr, nullptr);
        !written)
        fuzz::roundTripFailed("table_native", "the table read could not be written: " + written.plain());

    TEditBuffer second;
    if (const Result<ReadResult> reread = second.ReadFile(kLayoutNative, saved, noProgress()); !reread)
        fuzz::roundTripFailed("table_native",
                              "the written table could not be read: " + reread.status().plain());
    if (const std::string diff = fuzz::tableDifference(first, second); !diff.empty())
        fuzz::roundTripFailed("table_native", diff);

    CoverSettings cover;
    cover.DeckEinst = 7;
    const TDeckInter bb(builtInCoverSystem(7), cover);
    CoverCounts counts;
    for (const fuzz::RowView& row : fuzz::rowsOf(first, 'A')) {
        for (const auto& [col, text] : row.cells) {
            std::string cell = text;
            double x = 0;
            for (char mode : {'S', 'D', 'Z'}) bb.DeckVal(mode, cell, x, false, counts);
        }
    }
    return 0;
}
