#include "core/numbers.h"
#include "core/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace tav {

namespace {

std::size_t skipDigits(std::string_view s, std::size_t i) {
    while (i < s.size() && isDigit(s[i])) ++i;
    return i;
}

bool isUnwritable(double x) {
    return std::isnan(x) || std::isinf(x) || isMissing(x);
}

}  // namespace

std::optional<double> parseNumber(std::string_view s) {
    // std::from_chars would also take "inf", "nan" and a lone "1e" prefix, so the grammar is checked
    // here first and from_chars only converts text that is known to be a plain decimal number.
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    const std::size_t intStart = i;
    i = skipDigits(s, i);
    const std::size_t intEnd = i;
    std::size_t fracStart = i;
    std::size_t fracEnd = i;
    if (i < s.size() && s[i] == '.') {
        fracStart = i + 1;
        i = fracEnd = skipDigits(s, fracStart);
    }
    if (intEnd == intStart && fracEnd == fracStart) return std::nullopt;
    long long exponent = 0;  // saturated; only needed to tell overflow from underflow
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
        const std::size_t expStart = i;
        for (; i < s.size() && isDigit(s[i]); ++i) {
            if (exponent < 100000000) exponent = exponent * 10 + (s[i] - '0');
        }
        if (i == expStart) return std::nullopt;
        if (negative) exponent = -exponent;
    }
    if (i != s.size()) return std::nullopt;

    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    const char* last = s.data() + s.size();
    double value = 0;
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too small to represent reads as zero; only too large is unreadable. Out of range means a
        // decimal magnitude of some hundreds either way, so its sign tells the two apart.
        long long magnitude = 0;  // position of the first non-zero digit relative to the point
        std::size_t k = intStart;
        while (k < intEnd && s[k] == '0') ++k;
        if (k < intEnd) {
            magnitude = static_cast<long long>(intEnd - k);
        } else {
            k = fracStart;
            while (k < fracEnd && s[k] == '0') ++k;
            magnitude = -static_cast<long long>(k - fracStart);
        }
        if (magnitude + exponent > 0) return std::nullopt;
        return s[0] == '-' ? -0.0 : 0.0;
    }
    if (ec != std::errc() || end != last) return std::nullopt;
    return value;
}

std::optional<std::int64_t> parseInteger(std::string_view s) {
    std::size_t i = 0;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) i = 1;
    if (i == s.size()) return std::nullopt;
    for (std::size_t k = i; k < s.size(); ++k) {
        if (!isDigit(s[k])) return std::nullopt;
    }
    // from_chars takes "-" but not "+"; overflow comes back as result_out_of_range.
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    const char* last = s.data() + s.size();
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last) return std::nullopt;
    return value;
}

std::string formatFixed(double x, int decimals) {
    if (isUnwritable(x)) return "NA";
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", std::clamp(decimals, 0, 30), x);
    std::string out = buf;
    if (out.starts_with("-") && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
    return out;
}

std::string formatNumber(double x, int decimals) {
    if (isUnwritable(x)) return "NA";
    if (decimals < 0) decimals = 0;
    if (decimals > 15) decimals = 15;
    // Up to 309 integer digits, sign, point and 15 decimals.
    char buf[340];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return "NA";
    std::string out(buf, end);
    if (out.find('.') != std::string::npos) {
        while (out.back() == '0') out.pop_back();
        if (out.back() == '.') out.pop_back();
    }
    if (out == "-0") out = "0";
    return out;
}

std::string formatNumber(double x) {
    if (isUnwritable(x)) return "NA";
    if (x == 0) return "0";

    // Scientific notation with 14 decimals rounds to 15 significant digits, carry included, so the
    // exponent read back below is the one of the rounded value.
    char buf[40];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
    if (ec != std::errc()) return "NA";
    const std::string_view sci(buf, static_cast<std::size_t>(end - buf));
    const std::size_t ePos = sci.find('e');
    const bool negative = sci[0] == '-';

    std::string digits;  // significant digits without the point
    for (std::size_t k = negative ? 1 : 0; k < ePos; ++k) {
        if (sci[k] != '.') digits.push_back(sci[k]);
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    int exponent = 0;
    const char* expFirst = sci.data() + ePos + 1;
    if (*expFirst == '+') ++expFirst;
    std::from_chars(expFirst, sci.data() + sci.size(), exponent);

    std::string out;
    if (negative) out.push_back('-');
    if (exponent < -5 || exponent >= 15) {
        out.push_back(digits[0]);
        if (digits.size() > 1) {
            out.push_back('.');
            out.append(digits, 1);
        }
        out.push_back('e');
        out.push_back(exponent < 0 ? '-' : '+');
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10) out.push_back('0');
        out.append(formatInteger(magnitude));
    } else if (exponent < 0) {
        out.append("0.");
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out.append(digits);
    } else {
        const auto intDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out.append(digits);
            out.append(intDigits - digits.size(), '0');
        } else {
            out.append(digits, 0, intDigits);
            out.push_back('.');
            out.append(digits, intDigits);
        }
    }
    return out;
}

std::string twoDigits(std::int64_t n) {
    return (n >= 0 && n < 10 ? "0" : "") + std::to_string(n);
}

std::string formatInteger(std::int64_t n) {
    char buf[24];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n);
    return std::string(buf, end);
}

}  // namespace tav
