// The text layout readers (normal, 3, and transposed, 4; TAVOLEX_FUZZ_LAYOUT says which) on any bytes.
// The first byte chooses the field delimiter and the text qualifier, the rest is the file. Species rows
// are recognised through the sample species database. A table read, exported in the same layout and
// imported again with the same settings must be unchanged.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "platform/progress.h"
#include "platform/ui_port.h"
#include "species/art_db.h"
#include "table/edit_buffer.h"

namespace {

constexpr int kLayout = TAVOLEX_FUZZ_LAYOUT;
constexpr const char* kTarget = kLayout == 3 ? "table_text3" : "table_text4";
constexpr char32_t kDelimiters[] = {U'\t', U';', U',', U'|'};
constexpr char32_t kQualifiers[] = {0, U'"', U'\''};

tav::TArtDb& speciesDb() {
    static std::unique_ptr<tav::TArtDb> db = [] {
        const std::string samples = TAVOLEX_SAMPLES;
        for (const char* ext : {".adb", ".adl"})
            tav::fuzz::writeBytes(tav::fuzz::scratchFile(std::string("arten") + ext),
                                  tav::fuzz::readBytes(samples + "/arten" + ext));
        return std::make_unique<tav::TArtDb>(tav::fuzz::scratchFile("arten.adb"), tav::ArtDbSettings{},
                                             tav::silentUi());
    }();
    return *db;
}

void prepare(tav::TEditBuffer& b, char32_t delim, char32_t qualifier) {
    b.setDelimiter(delim);
    b.setQualifier(qualifier);
    b.KeepDelim(true, delim, qualifier);
    b.setSpeciesNameTest([](std::string_view name) { return speciesDb().isSpeciesName(name); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    if (size == 0) return 0;
    static const std::string input = fuzz::scratchFile("input.txt");
    static const std::string exported = fuzz::scratchFile("exported.txt");
    const char32_t delim = kDelimiters[data[0] % 4];
    const char32_t qualifier = kQualifiers[data[0] / 4 % 3];
    fuzz::writeBytes(input, std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

    TEditBuffer first;
    prepare(first, delim, qualifier);
    if (first.ReadFile(kLayout, input, noProgress()).value() != ReadResult::Ok) return 0;
    if (const Status written = first.WriteFile(kLayout, exported, noProgress(), nullptr, nullptr, nullptr);
        !written)
        fuzz::roundTripFailed(kTarget, "the table read could not be exported: " + written.plain());

    TEditBuffer second;
    prepare(second, delim, qualifier);
    if (const Result<ReadResult> reread = second.ReadFile(kLayout, exported, noProgress()); !reread)
        fuzz::roundTripFailed(kTarget, "the exported table could not be read: " + reread.status().plain());
    // Without a qualifier a delimiter cannot stay inside a field: the export puts a stand-in in its
    // place (a blank for a tab, "." for ",", else ",") and warns; everything else must come back as it was.
    std::function<std::string(std::string_view)> expected;
    if (qualifier == 0) {
        const std::string from = delim == U'\t' ? "\t" : std::string(1, static_cast<char>(delim));
        const std::string to = delim == U'\t' ? " " : delim == U',' ? "." : ",";
        expected = [from, to](std::string_view text) {
            std::string out;
            for (char ch : text) out += std::string(1, ch) == from ? to : std::string(1, ch);
            return out;
        };
    }
    if (const std::string diff = fuzz::tableDifference(first, second, expected); !diff.empty())
        fuzz::roundTripFailed(kTarget, diff);
    return 0;
}
