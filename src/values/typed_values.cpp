#include "values/typed_values.h"

#include <charconv>
#include <cstddef>
#include <limits>
#include <optional>
#include <string_view>

#include "core/numbers.h"
#include "core/text.h"

namespace tav {
namespace {

// These parsers run once per cell over whole tables, so the entry is cleaned in place and the
// canonical spellings are built in stack buffers; none of the helpers below allocates.

void trimInPlace(std::string& s) {
    const std::size_t last = s.find_last_not_of(" \t");
    if (last == std::string::npos) {
        s.clear();
        return;
    }
    s.erase(last + 1);
    s.erase(0, s.find_first_not_of(" \t"));
}

// "NA" in capitals, with the program's own upper-case folding (so "na" and "Na" count as well).
bool isNaSpelling(std::string_view s) {
    if (s.size() < 2 || s.size() > 8) return false;  // two characters of at most four bytes each
    std::size_t pos = 0;
    const char32_t first = upperFoldChar(nextCodePoint(s, pos));
    const char32_t second = upperFoldChar(nextCodePoint(s, pos));
    return pos == s.size() && first == U'N' && second == U'A';
}

bool isAcceptedNa(bool NaAccept, std::string& s) {
    if (!NaAccept || !isNaSpelling(s)) return false;
    s.assign("NA");
    return true;
}

// A whole number made of digits only, blanks around it allowed. Too many digits for 64 bits is
// unreadable rather than wrapped.
std::optional<std::int64_t> readUnsigned(std::string_view part) {
    part = trimBlanks(part);
    if (part.empty() || !isDigit(part.front())) return std::nullopt;
    return parseInteger(part);
}

bool isLeapYear(std::int64_t year) {
    // C++ remainders of negative years are zero for the same multiples, so the rule holds for
    // years up to 0 as well (year 0 is a leap year, as in the proleptic Gregorian calendar).
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int monthLength(int month, bool leap) {
    constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leap ? 29 : kLengths[month - 1];
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days of the years 1 … year − 1; for year 0 and earlier the negative count of the days from 1
// January of that year to 31 December of year 0, so that 31.12.0 is day 0 and consecutive days
// always differ by one.
std::int64_t daysBeforeYear(std::int64_t year) {
    const std::int64_t y = year - 1;
    return 365 * y + floorDiv(y, 4) - floorDiv(y, 100) + floorDiv(y, 400);
}

char* putTwoDigits(char* out, int n) {
    *out++ = static_cast<char>('0' + n / 10);
    *out++ = static_cast<char>('0' + n % 10);
    return out;
}

void clearDate(RDatum& rec) {
    rec = RDatum{};
}

}  // namespace

bool NumVal(char kind, bool EmptyOk, bool NaAccept, double Max, double Min, double& x, std::string& s) {
    trimInPlace(s);
    if (s.empty()) {
        x = EmptyOk ? 0.0 : kMissing;
        return EmptyOk;
    }
    if (isAcceptedNa(NaAccept, s)) {
        x = kMissing;
        return true;
    }
    // ".5" is common shorthand and becomes "0.5"; a sign in front keeps its place ("-.5" becomes
    // "-0.5"). Only a point followed by a digit gets the zero: "." or ".e3" must stay unreadable
    // and not turn into the readable "0." or "0.e3".
    const std::size_t signLength = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    if (s.size() > signLength + 1 && s[signLength] == '.' && isDigit(s[signLength + 1])) {
        s.insert(signLength, 1, '0');
    }

    std::optional<double> value;
    if (kind == 'I') {
        if (const auto n = parseInteger(s)) value = static_cast<double>(*n);
    } else {
        value = parseNumber(s);
    }
    if (!value) {
        s.assign("NA");
        x = kMissing;
        return false;
    }
    x = *value;
    return (isMissing(Min) || x >= Min) && (isMissing(Max) || x <= Max);
}

bool DatumVal(bool NaAccept, bool WithDays, std::string& s, RDatum& rec, std::int32_t& key) {
    // Every failure leaves all record fields at −1 and the key at 0, the same as a missing date.
    clearDate(rec);
    key = 0;
    trimInPlace(s);
    if (s.empty()) return false;
    if (isAcceptedNa(NaAccept, s)) return true;

    const std::string_view text(s);
    const std::size_t dot1 = text.find('.');
    if (dot1 == std::string_view::npos) return false;
    const std::size_t dot2 = text.find('.', dot1 + 1);
    if (dot2 == std::string_view::npos) return false;

    const auto day = readUnsigned(text.substr(0, dot1));
    const auto month = readUnsigned(text.substr(dot1 + 1, dot2 - dot1 - 1));
    const std::string_view yearText = trimBlanks(text.substr(dot2 + 1));
    const auto yearRead = parseInteger(yearText);
    if (!day || !month || !yearRead) return false;

    // Only a year written with one or two digits is an abbreviation; "0001" is year 1, not 2001.
    std::int64_t year = *yearRead;
    const std::size_t yearDigits = yearText.size() - (isDigit(yearText.front()) ? 0 : 1);
    if (yearDigits <= 2) year += year <= 29 ? 2000 : 1900;

    if (year < -9999 || year > 9999) return false;
    if (*month < 1 || *month > 12) return false;
    const bool leap = isLeapYear(year);
    if (*day < 1 || *day > monthLength(static_cast<int>(*month), leap)) return false;

    const int d = static_cast<int>(*day);
    const int m = static_cast<int>(*month);
    const int y = static_cast<int>(year);

    char buf[24];
    char* out = putTwoDigits(buf, d);
    *out++ = '.';
    out = putTwoDigits(out, m);
    *out++ = '.';
    out = std::to_chars(out, buf + sizeof buf, y).ptr;
    s.assign(buf, out);

    rec.Tag = d;
    rec.Monat = m;
    rec.Jahr = y;
    key = y * 10000 + m * 100 + d;
    if (WithDays) {
        int dayOfYear = d;
        for (int k = 1; k < m; ++k) dayOfYear += monthLength(k, leap);
        rec.TagImJahr = dayOfYear;
        rec.TagNr = static_cast<std::int32_t>(daysBeforeYear(year) + dayOfYear);
    }
    return true;
}

bool ZeitVal(bool NaAccept, std::string& s, RZeit& rec) {
    rec = RZeit{};
    trimInPlace(s);
    if (s.empty()) return true;
    if (isAcceptedNa(NaAccept, s)) return true;

    // A part ends at the next ":"; only when no ":" follows does a "." separate the parts, so
    // "8.15" and "8:15" mean the same. An empty part ("12:", "12::30", ":30") is a typing error,
    // not a zero, and makes the entry invalid; only parts missing at the end count as zero.
    const std::string_view text(s);
    std::int64_t parts[3] = {0, 0, 0};
    std::size_t count = 0;
    std::size_t pos = 0;
    for (;;) {
        if (count == 3) return false;
        std::size_t end = text.find(':', pos);
        if (end == std::string_view::npos) end = text.find('.', pos);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        const auto value = readUnsigned(text.substr(pos, stop - pos));
        if (!value) return false;
        parts[count++] = *value;
        if (end == std::string_view::npos) break;
        pos = end + 1;
    }
    if (parts[0] > 24 || parts[1] > 59 || parts[2] > 59) return false;

    char buf[8];
    char* out = putTwoDigits(buf, static_cast<int>(parts[0]));
    *out++ = ':';
    out = putTwoDigits(out, static_cast<int>(parts[1]));
    *out++ = ':';
    out = putTwoDigits(out, static_cast<int>(parts[2]));
    s.assign(buf, out);
    rec.Stunden = static_cast<std::int32_t>(parts[0]);
    rec.Minuten = static_cast<std::int32_t>(parts[1]);
    rec.Sekunden = static_cast<std::int32_t>(parts[2]);
    return true;
}

namespace {

// The common part of both yes/no parsers; uncertain answers are allowed only when withUnsure.
bool yesNo(bool NaAccept, bool withUnsure, std::string& s, std::int32_t& code) {
    trimInPlace(s);
    if (s.empty() || isAcceptedNa(NaAccept, s)) {
        code = withUnsure ? -1 : 0;
        return true;
    }
    switch (s[0]) {
        case 'J':
        case 'j':
        case 'Y':
        case 'y':
            s.assign("Ja");
            code = kJa;
            return true;
        case 'N':
        case 'n':
            // "NA" not accepted as missing must not pass as "Nein".
            if (isNaSpelling(s)) break;
            s.assign("Nein");
            code = kNein;
            return true;
        case 'U':
        case 'u':
            if (!withUnsure) break;
            s.assign("Unsicher");
            code = kUnsicher;
            return true;
        default:
            break;
    }
    s.assign("NA");
    code = kInvalidAnswer;
    return false;
}

}  // namespace

bool JaNeinVal(bool NaAccept, std::string& s, std::int32_t& code) {
    return yesNo(NaAccept, false, s, code);
}

bool JaNeinUVal(bool NaAccept, std::string& s, std::int32_t& code) {
    return yesNo(NaAccept, true, s, code);
}

std::int64_t ZeitToSek(const RZeit& rec) {
    return static_cast<std::int64_t>(rec.Stunden) * 3600 + static_cast<std::int64_t>(rec.Minuten) * 60 +
           rec.Sekunden;
}

void SekToZeit(std::int64_t n, RZeit& rec) {
    // A negative duration has no clock time; it reads as 0:00:00. Hours beyond the 32-bit range
    // saturate instead of wrapping.
    if (n < 0) n = 0;
    const std::int64_t hours = n / 3600;
    constexpr std::int64_t kMaxHours = std::numeric_limits<std::int32_t>::max();
    rec.Stunden = static_cast<std::int32_t>(hours > kMaxHours ? kMaxHours : hours);
    rec.Minuten = static_cast<std::int32_t>(n % 3600 / 60);
    rec.Sekunden = static_cast<std::int32_t>(n % 60);
}

std::string ZeitText(const RZeit& rec) {
    auto two = [](std::int32_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return two(rec.Stunden) + ":" + two(rec.Minuten) + ":" + two(rec.Sekunden);
}

}  // namespace tav
