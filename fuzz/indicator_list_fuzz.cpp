// The indicator-value list import (tab-separated) on any bytes, into a copy of the sample species
// database. The list as stored must be the list the database opens again.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "fuzz_support.h"
#include "platform/progress.h"
#include "platform/ui_port.h"
#include "species/art_db.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    static const std::string input = fuzz::scratchFile("zw.txt");
    static const std::string dbFile = [] {
        const std::string samples = TAVOLEX_SAMPLES;
        for (const char* ext : {".adb", ".adl"})
            fuzz::writeBytes(fuzz::scratchFile(std::string("arten") + ext),
                             fuzz::readBytes(samples + "/arten" + ext));
        return fuzz::scratchFile("arten.adb");
    }();
    // Without a list 1 and a meta file every run starts from the same database.
    for (const char* ext : {".z1", ".adm"}) fuzz::removeFile(replaceExtension(dbFile, ext));
    fuzz::writeBytes(input, std::string_view(reinterpret_cast<const char*>(data), size));

    TArtDb db(dbFile, ArtDbSettings{}, silentUi());
    if (!db.ImportZw(input, U'\t', noProgress(), false)) return 0;

    TArtDb reopened(dbFile, ArtDbSettings{}, silentUi());
    if (std::string diff = fuzz::recordSetDifference(db.SQLzw(), reopened.SQLzw()); !diff.empty())
        fuzz::roundTripFailed("indicator_list", diff);
    if (db.ZWFormat() != reopened.ZWFormat())
        fuzz::roundTripFailed("indicator_list", "format " + fuzz::shown(db.ZWFormat()) + " -> " +
                                                    fuzz::shown(reopened.ZWFormat()));
    double x = 0;
    std::string s;
    for (int p = 1; p <= 40; ++p)
        for (int f = 0; f < db.SQLzw().fieldCount(); ++f) db.GetZw(p, f, x, s);
    return 0;
}
