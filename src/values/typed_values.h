#pragma once
// Typed header values: the parsers that check one entry of a header row of type 'I', 'F', 'P', 'D',
// 'Z', 'B' or 'U', bring it into its canonical spelling and return its value. Every parser first
// removes blanks around the entry and hands the cleaned entry back in s; with NaAccept, "NA" in any
// letter case is an accepted missing value.

#include <cstdint>
#include <string>

namespace tav {

struct RDatum {
    std::int32_t Tag = -1;        // day
    std::int32_t Monat = -1;      // month
    std::int32_t Jahr = -1;       // year
    std::int32_t TagImJahr = -1;  // day of the year, 1 for 1 January
    std::int32_t TagNr = -1;      // running day number: 1 for 1 January of year 1
};

struct RZeit {
    std::int32_t Stunden = 0;
    std::int32_t Minuten = 0;
    std::int32_t Sekunden = 0;
};

// Yes/no codes.
inline constexpr std::int32_t kJa = 2;
inline constexpr std::int32_t kNein = 1;
inline constexpr std::int32_t kUnsicher = 0;
inline constexpr std::int32_t kInvalidAnswer = -8;

// kind 'I' reads a whole number, 'F' and 'P' a floating number. Max and Min not greater than
// kMissingLimit mean no limit. Valid: readable and within the limits; x the value (kMissing when
// missing or unreadable); an unreadable entry becomes "NA". A leading "." gets a "0" in front.
bool NumVal(char kind, bool EmptyOk, bool NaAccept, double Max, double Min, double& x, std::string& s);

// day.month.year; a one- or two-digit year is completed (up to 29 → 20xx, 30 … 99 → 19xx). The entry
// becomes dd.mm.yyyy; key = year × 10000 + month × 100 + day. WithDays fills the day of the year and
// the running day number.
bool DatumVal(bool NaAccept, bool WithDays, std::string& s, RDatum& rec, std::int32_t& key);

// hours:minutes:seconds (or with "." between the parts); missing parts count 0. Becomes hh:mm:ss.
bool ZeitVal(bool NaAccept, std::string& s, RZeit& rec);

bool JaNeinVal(bool NaAccept, std::string& s, std::int32_t& code);
bool JaNeinUVal(bool NaAccept, std::string& s, std::int32_t& code);

std::int64_t ZeitToSek(const RZeit& rec);
void SekToZeit(std::int64_t n, RZeit& rec);
// A time as hh:mm:ss (more hour digits when there are more hours).
std::string ZeitText(const RZeit& rec);

}  // namespace tav
