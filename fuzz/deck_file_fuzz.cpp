// The cover-code definition file reader on any bytes. The interpreter built from what was read, written
// back and read again, must describe the same cover-code system.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/numbers.h"
#include "fuzz_support.h"
#include "values/deck_file.h"
#include "values/deck_inter.h"

namespace {

tav::TDeckInter interpreterOf(const tav::RDeckCode& dc) {
    tav::CoverSettings st;
    st.DeckEinst = 10;
    return tav::TDeckInter(dc, st);
}

std::string joined(const std::vector<std::string>& list) {
    std::string s;
    for (const std::string& x : list) s += x + "|";
    return s;
}

bool sameNumber(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

std::string systemDifference(const tav::TDeckInter& a, const tav::TDeckInter& b) {
    using tav::fuzz::shown;
    if (a.Titel != b.Titel) return "title " + shown(a.Titel) + " -> " + shown(b.Titel);
    if (a.Typ != b.Typ) return "kind " + shown({&a.Typ, 1}) + " -> " + shown({&b.Typ, 1});
    if (a.SozDelim != b.SozDelim)
        return "sociability delimiter " + shown({&a.SozDelim, 1}) + " -> " + shown({&b.SozDelim, 1});
    if (!sameNumber(a.Min, b.Min))
        return "minimum " + tav::formatNumber(a.Min) + " -> " + tav::formatNumber(b.Min);
    if (!sameNumber(a.Max, b.Max))
        return "maximum " + tav::formatNumber(a.Max) + " -> " + tav::formatNumber(b.Max);
    if (a.Code != b.Code) return "codes " + shown(joined(a.Code)) + " -> " + shown(joined(b.Code));
    if (a.Soz != b.Soz) return "sociabilities " + shown(joined(a.Soz)) + " -> " + shown(joined(b.Soz));
    if (a.Attr != b.Attr) return "marks " + shown(joined(a.Attr)) + " -> " + shown(joined(b.Attr));
    if (a.Replace != b.Replace)
        return "replacements " + shown(joined(a.Replace)) + " -> " + shown(joined(b.Replace));
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    static const std::string input = fuzz::scratchFile("input.txt");
    static const std::string saved = fuzz::scratchFile("saved.txt");
    fuzz::writeBytes(input, std::string_view(reinterpret_cast<const char*>(data), size));

    bool found = false;
    const TDeckInter first = interpreterOf(readCoverDefinition(input, found));
    if (!found) fuzz::roundTripFailed("deck_file", "the input file was not found");
    std::string error;
    if (!first.WriteToFile(true, saved, error)) fuzz::roundTripFailed("deck_file", "cannot write: " + error);
    const TDeckInter second = interpreterOf(readCoverDefinition(saved, found));
    if (const std::string diff = systemDifference(first, second); !diff.empty())
        fuzz::roundTripFailed("deck_file", diff);
    return 0;
}
