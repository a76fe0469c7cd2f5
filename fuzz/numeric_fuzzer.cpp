// The number rule on any text, and every format read back by it. The input is read twice: as the
// text itself, and (its first bytes) as the bits of a double and of whole numbers, so that every
// value a field, the codec or a replayed log can hold goes through the formats.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/Check.h"
#include "tune/Numeric.h"
#include "tune/ValueReader.h"

namespace {

template <typename T>
T bitsOf(const std::uint8_t* data, std::size_t size) {
    T value{};
    std::memcpy(&value, data, std::min(size, sizeof value));
    return value;
}

bool isNegativeZero(const std::string& text) {
    return text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos;
}

void checkRounding(double x) {
    const double r = num::roundHalfEven(x);
    FUZZ_CHECK(r == std::floor(r));
    FUZZ_CHECK(std::fabs(r - x) <= 0.5);
    if (std::fabs(r - x) == 0.5)
        FUZZ_CHECK(std::fmod(r, 2.0) == 0);
    const double clamped = std::fmax(-2147483648.0, std::fmin(r, 2147483647.0));
    FUZZ_CHECK(num::rnd32(x) == static_cast<std::int32_t>(clamped));
    const double single = num::toSingle(x);
    FUZZ_CHECK(std::fabs(single) <= FLT_MAX);
    if (std::fabs(x) <= FLT_MAX)
        FUZZ_CHECK(single == static_cast<double>(static_cast<float>(x)));
}

// Each format reads back to the value within what it keeps, and writing what was read gives the
// same text again.
void checkFormats(double x) {
    const std::string plain = num::plainDecimal(x);
    const double readPlain = num::readNumber(plain);
    FUZZ_CHECK(!isNegativeZero(plain));
    FUZZ_CHECK(std::fabs(readPlain - x) <= std::fabs(x) * 1E-14);
    FUZZ_CHECK(num::plainDecimal(readPlain) == plain);

    for (int decimals = 0; decimals <= 3; ++decimals) {
        const std::string fixed = num::formatFixed(x, decimals);
        const double readFixed = num::readNumber(fixed);
        const double kept = 0.5 * std::pow(10.0, -decimals) * (1 + 1E-9);
        FUZZ_CHECK(!isNegativeZero(fixed));
        FUZZ_CHECK(std::fabs(readFixed - x) <= kept + std::fabs(x) * DBL_EPSILON);
        FUZZ_CHECK(num::formatFixed(readFixed, decimals) == fixed);
    }
    // Fixed decimals are exactly what printf makes of the binary value, but for negative zero.
    for (int decimals = 0; decimals <= 7; ++decimals) {
        char printed[512];
        std::snprintf(printed, sizeof printed, "%.*f", decimals, x);
        std::string expected = printed;
        if (isNegativeZero(expected))
            expected.erase(0, 1);
        FUZZ_CHECK(num::formatFixed(x, decimals) == expected);
    }
}

void checkWholeNumbers(std::int64_t n) {
    FUZZ_CHECK(num::readNumber(num::integerText(n)) == static_cast<double>(n));
    const auto n32 = static_cast<std::int32_t>(n);
    const std::string signedText = num::formatSigned(n32);
    FUZZ_CHECK((signedText[0] == '+') == (n32 > 0));
    FUZZ_CHECK(num::readNumber(signedText) == n32);
    const std::string hex = num::hex2(n);
    FUZZ_CHECK(hex.size() == 2 && hex.find_first_not_of("0123456789ABCDEF") == std::string::npos);
    FUZZ_CHECK(num::readNumber("&H" + hex) == static_cast<double>(n & 0xFF));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double read = num::readNumber(text);
    FUZZ_CHECK(std::isfinite(read));
    if (const auto standalone = tune::standaloneNumber(text))
        FUZZ_CHECK(*standalone == read);
    checkRounding(read);
    checkFormats(read);

    const auto bits = bitsOf<double>(data, size);
    if (std::isfinite(bits)) {
        checkRounding(bits);
        checkFormats(bits);
    }
    checkWholeNumbers(bitsOf<std::int64_t>(data, size));
    return 0;
}
