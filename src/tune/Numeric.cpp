#include "tune/Numeric.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <optional>

namespace num {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// The text without the blanks that the number rule skips.
std::string compact(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (!isBlank(c))
            out.push_back(c);
    }
    return out;
}

double saturate(double value) {
    if (value > DBL_MAX)
        return DBL_MAX;
    if (value < -DBL_MAX)
        return -DBL_MAX;
    return value;
}

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

double readRadix(const std::string& s, std::size_t pos, int radix) {
    double value = 0;
    for (; pos < s.size() && digitValue(s[pos]) < radix; ++pos) {
        value = saturate(value * radix + digitValue(s[pos]));
    }
    return value;
}

}  // namespace

double readNumber(std::string_view text) {
    // Most texts are plain whole numbers (a data log holds millions of them): read those
    // directly. Up to 15 digits a double holds them exactly, as strtod would give them.
    std::uint64_t whole = 0;
    int wholeDigits = 0;
    bool plain = true;
    for (const char c : text) {
        if (c >= '0' && c <= '9' && wholeDigits < 15) {
            whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
            ++wholeDigits;
        } else if (!isBlank(c)) {
            plain = false;
            break;
        }
    }
    if (plain && wholeDigits > 0) {
        return static_cast<double>(whole);
    }
    const std::string s = compact(text);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return readRadix(s, 2, 16);
        if (s[1] == 'O' || s[1] == 'o')
            return readRadix(s, 2, 8);
        return 0;
    }
    // Collect the longest prefix that forms a number, then let strtod do the exact conversion.
    std::size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number.push_back(s[i++]);
    bool digits = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        number.push_back(s[i++]);
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        number.push_back(s[i++]);
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            number.push_back(s[i++]);
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent.push_back(s[j++]);
        bool expDigits = false;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            exponent.push_back(s[j++]);
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    return saturate(std::strtod(number.c_str(), nullptr));
}

double roundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

std::int32_t rnd32(double value) {
    if (std::isnan(value))
        return 0;
    const double r = roundHalfEven(value);
    if (r >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (r <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

double toSingle(double value) {
    if (value > FLT_MAX)
        return FLT_MAX;
    if (value < -FLT_MAX)
        return -FLT_MAX;
    return static_cast<double>(static_cast<float>(value));
}

namespace {

// `value` with `decimals` places, straight from one multiplication where that is as exact as
// printf. Rounding is monotonic and every point halfway between two whole numbers below 2^52 is
// a double, so the product (and the fraction taken from it) lies on the same side of halfway as
// the exact value, or on it: only that tie, and large values, return nothing.
std::optional<std::string> quickFixed(double value, int decimals) {
    static constexpr double kPowersOfTen[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
    if (decimals < 0 || decimals >= static_cast<int>(std::size(kPowersOfTen)))
        return std::nullopt;
    const double scaled = value * kPowersOfTen[decimals];
    if (!(std::abs(scaled) < 0x1p52))
        return std::nullopt;
    const double below = std::floor(scaled);
    const double fraction = scaled - below;
    if (fraction == 0.5)
        return std::nullopt;
    const auto whole = static_cast<std::int64_t>(fraction < 0.5 ? below : below + 1);
    // Digits from the right, the point after `decimals` of them, at least one before it.
    char text[32];
    char* first = std::end(text);
    auto rest = static_cast<std::uint64_t>(whole < 0 ? -whole : whole);
    for (int placed = 0; rest != 0 || placed <= decimals; ++placed) {
        if (placed == decimals && placed > 0)
            *--first = '.';
        *--first = static_cast<char>('0' + rest % 10);
        rest /= 10;
    }
    // A value that rounds to zero is written without a sign.
    if (whole < 0)
        *--first = '-';
    return std::string(first, std::end(text));
}

}  // namespace

std::string formatFixed(double value, int decimals) {
    if (std::optional<std::string> quick = quickFixed(value, decimals))
        return std::move(*quick);
    // to_chars rounds as printf does and is several times faster: a replayed log formats
    // millions of these. 309 digits of DBL_MAX, its sign and point, and the decimals fit.
    char buf[400];
    const std::to_chars_result written =
        std::to_chars(buf, buf + sizeof buf, saturate(value), std::chars_format::fixed,
                      std::clamp(decimals, 0, 60));
    std::string text(buf, written.ptr);
    // A value that rounds to zero is written without a sign.
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::string formatSigned(std::int32_t value) {
    return value > 0 ? "+" + integerText(value) : integerText(value);
}

std::string plainDecimal(double value) {
    value = saturate(value);
    if (value == 0)
        return "0";
    // Whole numbers below 10^15, by far the most common, print all their digits.
    if (std::abs(value) < 1E15 && value == std::trunc(value))
        return integerText(static_cast<std::int64_t>(value));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    std::string text = buf;
    // "1.5E+20" keeps its exponent; a positive exponent is written with its plus sign, as in 1E+20.
    const auto e = text.find('E');
    if (e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        std::string exponent = text.substr(e + 1);
        const char sign = exponent[0];
        exponent = exponent.substr(1);
        exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
        return mantissa + "E" + sign + exponent;
    }
    return text;
}

std::string integerText(std::int64_t value) {
    return std::to_string(value);
}

std::string hex2(std::int64_t value) {
    // Only the last two digits survive, and those are the low byte.
    char buf[3];
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(value & 0xFF));
    return buf;
}

}  // namespace num
