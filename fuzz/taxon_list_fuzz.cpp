// The species-list import (tab-separated) on any bytes, into a fresh species database. What the import
// keeps must be what the database shows when opened again; the name lookups then run on every record,
// as a table check would.

#include <algorithm>
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
    static const std::string input = fuzz::scratchFile("liste.txt");
    static const std::string dbFile = fuzz::scratchFile("arten.adb");
    for (const char* ext : {".adb", ".adl", ".adm"}) fuzz::removeFile(replaceExtension(dbFile, ext));
    fuzz::writeBytes(input, std::string_view(reinterpret_cast<const char*>(data), size));

    TArtDb db(dbFile, ArtDbSettings{}, silentUi());
    if (!db.ImportTable(input, U'\t', noProgress())) return 0;

    TArtDb reopened(dbFile, ArtDbSettings{}, silentUi());
    if (std::string diff = fuzz::recordSetDifference(db.SQLarten(), reopened.SQLarten()); !diff.empty())
        fuzz::roundTripFailed("taxon_list", "species: " + diff);
    if (std::string diff = fuzz::recordSetDifference(db.SQLaggr(), reopened.SQLaggr()); !diff.empty())
        fuzz::roundTripFailed("taxon_list", "aggregates: " + diff);

    const int records = std::min(db.SQLarten().count(), 64);
    for (int row = 0; row < records; ++row) {
        const auto key = db.SQLarten().integer(row, art::kPrim);
        if (!key) continue;
        const int p = static_cast<int>(*key);
        const std::string name = db.GetLat(p);
        db.isSpeciesName(name);
        db.ScanSyn('R', p);
        db.ScanAggr('U', p, nullptr, false);
        std::vector<std::string> listing;
        db.ScanAggr('A', p, &listing, false);
    }
    db.CheckVerweise();
    return 0;
}
