#include "reports.h"

#include <cmath>
#include <cstdint>

#include "core/numbers.h"
#include "core/text.h"
#include "table/cell_stats.h"

namespace batch {

namespace {

const char* encodingName(tav::TextEncoding e) {
    switch (e) {
        case tav::TextEncoding::Utf8:
            return "UTF-8";
        case tav::TextEncoding::Utf8Bom:
            return "UTF-8 with byte-order mark";
        case tav::TextEncoding::Utf16LE:
            return "UTF-16 LE";
        case tav::TextEncoding::Utf16BE:
            return "UTF-16 BE";
        case tav::TextEncoding::Windows1252:
            return "Windows-1252";
    }
    return "?";
}

}  // namespace

void printSummary(const tav::TEditBuffer& b, const std::string& file) {
    std::int64_t filled = 0;
    for (char part : {'K', 'A'}) b.forEachFilled(part, [&](const tav::FilledCell&) { ++filled; });
    std::printf("table: %s\n", file.c_str());
    std::printf("encoding: %s\n", encodingName(b.lastRead().encoding));
    std::printf("releves: %d\n", b.GetColCount());
    std::printf("header rows: %d\n", b.GetRowCount('K'));
    std::printf("species rows: %d\n", b.GetRowCount('A'));
    std::printf("filled cells: %lld\n", static_cast<long long>(filled));
    for (int i = 0; i < b.GetRowCount('K'); ++i) {
        std::string name(b.GetZl('K', i));
        // The whole first character of the type: a single byte of a longer one is not text.
        const std::string_view type = b.Get('K', -3, i);
        const std::string first = type.empty() ? " " : tav::charLeft(type, 1);
        std::printf("  %s %s\n", first.c_str(), name.c_str());
    }
}

namespace {

// A total with Decimals digits after the point, as the program writes computed values; a total too large
// for that to be readable (beyond 15 significant digits) in the short form with an exponent.
std::string formatTotal(double x, int decimals) {
    return std::fabs(x) < 1e15 ? tav::formatNumber(x, decimals) : tav::formatNumber(x);
}

}  // namespace

void printStats(const tav::TEditBuffer& b, const tav::TDeckInter& deck, tav::UiPort& ui) {
    tav::CellStats stats(b, deck);
    const tav::CellStats::Summary s = stats.summarise(true);
    const int decimals = deck.settings().Decimals;
    const int cols = b.GetColCount();
    std::string out = "Art;Frequenz;Stetigkeit;Gesamtdeckung\n";
    for (int r = 0; r < b.GetRowCount('A'); ++r) {
        out += b.GetZl('A', r);
        out += ';' + std::to_string(s.rowFreq[r]) + ';' +
               tav::formatNumber(cols ? static_cast<double>(s.rowFreq[r]) / cols : 0.0, decimals) + ';' +
               formatTotal(s.rowCover[r], decimals) + '\n';
    }
    out += "Aufnahme;Artenzahl;Gesamtdeckung\n";
    for (int c = 0; c < cols; ++c)
        out += std::to_string(c + 1) + ';' + std::to_string(s.colCount[c]) + ';' +
               formatTotal(s.colCover[c], decimals) + '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    stats.counts().CheckErrCount(deck, ui);
}

}  // namespace batch
