// The species database at the size users keep: imports a generated species list of 50 000 taxa (10 000
// of them synonyms, 2 000 aggregates), then times loading the stores and exact and joker lookups.
// Usage: bench_artdb [WORK_FOLDER]

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/random.h"
#include "platform/script_ui.h"
#include "species/art_db.h"

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::string epithet(tav::Random& r) {
    std::string s;
    const int n = 5 + static_cast<int>(r.below(6));
    for (int k = 0; k < n; ++k) s += static_cast<char>('a' + r.below(26));
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp";
    const int taxa = 50000, synonyms = 10000, aggregates = 2000;
    tav::Random r(7);
    std::vector<std::string> names;
    std::string text = "Artenliste\tgenerated\r\n";
    std::vector<std::string> defs = {"Prim i 0 t p",  "Genus s 40 t t", "Species s 40 t t", "Autor s 80 f t",
                                     "gross s 1 f f", "supp s 1 f f",   "Familie s 30 f t"};
    for (int k = 1; k <= 8; ++k) defs.push_back("Triv0" + std::to_string(k) + " s 40 f t");
    for (int k = 1; k <= 12; ++k)
        defs.push_back("Sys" + std::string(k < 10 ? "0" : "") + std::to_string(k) +
                       (k == 1 ? " i 0 t t" : " i 0 f t"));
    defs.push_back("SynRel i 0 f t");
    for (int k = 1; k <= 12; ++k)
        defs.push_back("t" + std::string(k < 10 ? "0" : "") + std::to_string(k) + " s 1 f f");
    for (int k = 1; k <= 8; ++k) defs.push_back("Info0" + std::to_string(k) + " s 20 f t");
    defs.push_back("AggrList l 0 f t");
    for (std::size_t k = 0; k < defs.size(); ++k) text += (k ? "\t" : "") + defs[k];
    text += "\r\n";
    const int accepted = taxa - synonyms;
    for (int p = 1; p <= taxa; ++p) {
        std::vector<std::string> c(49);
        const std::string genus = "Genus" + std::to_string(p % 5000);
        const std::string species = epithet(r);
        c[0] = std::to_string(p);
        c[1] = genus;
        c[2] = species;
        c[3] = "Auct. " + std::to_string(p);
        c[6] = "Familia" + std::to_string(p % 400);
        c[7] = "Trivialname " + std::to_string(p);
        c[15] = std::to_string(100000 + p);
        c[28] = "A";
        if (p > accepted) {
            c[27] = std::to_string(100000 + 1 + static_cast<int>(r.below(accepted)));
            c[28] = "S";
        } else if (p <= aggregates) {
            c[28] = "Z";
            for (int m = 0; m < 3; ++m)
                c[48] += (m ? "," : "") + std::to_string(100000 + aggregates + 1 +
                                                         static_cast<int>(r.below(accepted - aggregates)));
        }
        for (std::size_t k = 0; k < c.size(); ++k) text += (k ? "\t" : "") + c[k];
        text += "\r\n";
        names.push_back(genus + " " + species);
    }
    const std::string listFile = dir + "/bench_artdb.txt", dbFile = dir + "/bench_artdb.adb";
    if (!tav::writeFileAtomically(listFile, text).ok()) return 3;
    std::remove(dbFile.c_str());
    std::printf("species list: %d taxa (%d synonyms, %d aggregates), %.1f MB\n", taxa, synonyms, aggregates,
                static_cast<double>(text.size()) / 1e6);

    tav::ScriptUi ui;
    tav::ArtDbSettings settings;
    auto t0 = std::chrono::steady_clock::now();
    tav::TArtDb imported(dbFile, settings, ui);
    const tav::Status import = imported.ImportTable(listFile, U'\t', tav::noProgress());
    if (!import) return 1;
    std::printf("import (including save): %.3f s, %zu messages\n", seconds(t0), import.messages().size());

    t0 = std::chrono::steady_clock::now();
    tav::TArtDb db(dbFile, settings, ui);
    std::printf("load of the stores: %.3f s (%d records, %d aggregate rows)\n", seconds(t0),
                db.SQLarten().count(), db.SQLaggr().count());
    bool identical = imported.SQLarten().fields() == db.SQLarten().fields() &&
                     imported.SQLarten().count() == db.SQLarten().count() &&
                     imported.SQLaggr().count() == db.SQLaggr().count();
    for (int row = 0; identical && row < db.SQLarten().count(); ++row)
        for (int f = 0; identical && f < db.SQLarten().fieldCount(); ++f)
            identical = imported.SQLarten().text(row, f) == db.SQLarten().text(row, f);
    for (int row = 0; identical && row < db.SQLaggr().count(); ++row)
        for (int f = 0; identical && f < db.SQLaggr().fieldCount(); ++f)
            identical = imported.SQLaggr().text(row, f) == db.SQLaggr().text(row, f);
    std::printf("loaded stores are %s to the imported ones\n", identical ? "identical" : "NOT IDENTICAL");
    t0 = std::chrono::steady_clock::now();
    if (!db.SQLarten().save(dbFile + ".copy")) return 1;
    std::printf("save of the species table: %.3f s\n", seconds(t0));
    std::remove((dbFile + ".copy").c_str());

    // Exact lookups: whole names. The first search builds the column indexes.
    db.Search(names[0], false);
    const int exact = 200000;
    std::size_t found = 0;
    t0 = std::chrono::steady_clock::now();
    for (int k = 0; k < exact; ++k) found += db.Search(names[r.below(names.size())], false).Count() > 0;
    double s = seconds(t0);
    std::printf("exact lookups: %.0f per second (%zu of %d found)\n", exact / s, found, exact);

    // Joker lookups: abbreviated genus and epithet, with a tail.
    const int jokers = 50000;
    found = 0;
    t0 = std::chrono::steady_clock::now();
    for (int k = 0; k < jokers; ++k) {
        const std::string& n = names[r.below(names.size())];
        const std::size_t blank = n.find(' ');
        const std::string query = "Gen*" + n.substr(5, blank - 5) + " " + n.substr(blank + 1, 3);
        found += db.Search(query, false).Count() > 0;
    }
    s = seconds(t0);
    std::printf("joker lookups: %.0f per second (%zu of %d found)\n", jokers / s, found, jokers);
    std::remove(listFile.c_str());
    return 0;
}
