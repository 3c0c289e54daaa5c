#pragma once
// Locale-free numbers: "." is the decimal separator everywhere, whatever the system's locale says.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tav {

// The missing value inside calculations; in cells it is the text "NA".
inline constexpr double kMissing = -9999999999999999.9;
// Every number not greater than this counts as missing.
inline constexpr double kMissingLimit = -9999999999999998.9;
inline bool isMissing(double x) {
    return x <= kMissingLimit;
}

// Decimal number: optional sign, digits with an optional "." and fraction, optional exponent (e/E with
// optional sign and digits). No blanks, no "inf"/"nan", no hex, no "," as decimal separator, no
// thousands separators. Too large for a double is unreadable; too small to represent reads as zero.
std::optional<double> parseNumber(std::string_view s);
// Optional sign and decimal digits only; overflow of 64 bits is unreadable.
std::optional<std::int64_t> parseInteger(std::string_view s);

// With decimals digits after the point, then trailing zeros (and a trailing point) removed; "-0"
// becomes "0". Missing, NaN and infinite values give "NA".
std::string formatNumber(double x, int decimals);
// With exactly decimals digits after the point (0 … 30), as a table shows numbers; "-0.00" becomes
// "0.00". Missing, NaN and infinite values give "NA".
std::string formatFixed(double x, int decimals);
// Shortest text of up to 15 significant digits that reads back to the value rounded to 15 digits;
// plain notation unless the exponent is below -5 or at least 15. The exponent is written with its sign
// and at least two digits: 1e+20, 1.5e-06, 1.25e-300. Missing, NaN and infinite values give "NA".
std::string formatNumber(double x);
std::string formatInteger(std::int64_t n);
// A number from 0 on with at least two digits: "07", "12", "123".
std::string twoDigits(std::int64_t n);

}  // namespace tav
