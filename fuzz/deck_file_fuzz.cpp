// The cover-code definition file reader on any bytes. The interpreter built from what was read, written
// back and read again, must describe the same cover-code system.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/numbers.h"
#include "core/text.h"
#include "fuzz_support.h"
#include "values/deck_file.h"
#include "values/deck_inter.h"

namespace {

tav::TDeckInter interpreterOf(const tav::RDeckCode& dc) {
    tav::CoverSettings st;
    st.DeckEinst = 10;
    return tav::TDeckInter(dc, st);
}

// The items of a list, each part without the blanks around it: blanks at the ends of items are not
// kept by the file (a value loses its trailing blanks), and nothing reads them.
std::string joined(const std::vector<std::string>& list) {
    std::string s;
    for (const std::string& x : list) {
        for (std::string_view part : tav::splitFields(x)) s += std::string(tav::trimBlanks(part)) + ";";
        s += "|";
    }
    return s;
}

// A ";" can never appear in a cell (it becomes ","), so as sociability delimiter it means none.
std::string sociabilityDelimiterOf(const std::string& d) {
    return d == ";" ? " " : d;
}

// The kinds the file can name; the interpreter treats any other first letter as no kind at all.
char kindOf(char typ) {
    return std::string_view("CIFPT").find(typ) == std::string_view::npos ? ' ' : typ;
}

bool sameNumber(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

std::string systemDifference(const tav::TDeckInter& a, const tav::TDeckInter& b) {
    using tav::fuzz::shown;
    if (a.Titel() != b.Titel()) return "title " + shown(a.Titel()) + " -> " + shown(b.Titel());
    if (kindOf(a.Typ()) != kindOf(b.Typ()))
        return "kind " + shown(std::string(1, a.Typ())) + " -> " + shown(std::string(1, b.Typ()));
    if (sociabilityDelimiterOf(a.SozDelim()) != sociabilityDelimiterOf(b.SozDelim()))
        return "sociability delimiter " + shown(a.SozDelim()) + " -> " + shown(b.SozDelim());
    if (!sameNumber(a.Min(), b.Min()))
        return "minimum " + tav::formatNumber(a.Min()) + " -> " + tav::formatNumber(b.Min());
    if (!sameNumber(a.Max(), b.Max()))
        return "maximum " + tav::formatNumber(a.Max()) + " -> " + tav::formatNumber(b.Max());
    if (joined(a.Code()) != joined(b.Code()))
        return "codes " + shown(joined(a.Code())) + " -> " + shown(joined(b.Code()));
    if (joined(a.Soz()) != joined(b.Soz()))
        return "sociabilities " + shown(joined(a.Soz())) + " -> " + shown(joined(b.Soz()));
    if (joined(a.Attr()) != joined(b.Attr()))
        return "marks " + shown(joined(a.Attr())) + " -> " + shown(joined(b.Attr()));
    if (joined(a.Replace()) != joined(b.Replace()))
        return "replacements " + shown(joined(a.Replace())) + " -> " + shown(joined(b.Replace()));
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    static const std::string input = fuzz::scratchFile("input.txt");
    static const std::string saved = fuzz::scratchFile("saved.txt");
    fuzz::writeBytes(input, std::string_view(reinterpret_cast<const char*>(data), size));

    const Result<RDeckCode> read = readCoverDefinition(input);
    if (!read) fuzz::roundTripFailed("deck_file", "the input file was not read: " + read.status().plain());
    const TDeckInter first = interpreterOf(read.value());
    if (const Status written = first.WriteToFile(true, saved); !written)
        fuzz::roundTripFailed("deck_file", "cannot write: " + written.plain());
    const Result<RDeckCode> reread = readCoverDefinition(saved);
    if (!reread)
        fuzz::roundTripFailed("deck_file", "the written file was not read: " + reread.status().plain());
    const TDeckInter second = interpreterOf(reread.value());
    if (const std::string diff = systemDifference(first, second); !diff.empty())
        fuzz::roundTripFailed("deck_file", diff);
    return 0;
}
