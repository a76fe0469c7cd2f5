#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The one place where texts become numbers and numbers become texts. Every field, the codec,
// the settings file and the displays go through these so that a value reads and prints the
// same everywhere.
namespace num {

// Reads the leading number of a text: blanks, tabs and line feeds are skipped anywhere, then an
// optional sign, digits, a point and more digits, an exponent (E), or &H / &O for hexadecimal
// and octal. A text that starts with no number reads as 0. Values beyond the range of a double
// saturate at the largest finite double, so every result is finite.
double readNumber(std::string_view text);

// Nearest whole number, a value exactly halfway going to the even neighbour.
double roundHalfEven(double value);

// roundHalfEven, then clamped into the signed 32-bit range (infinities included).
std::int32_t rnd32(double value);

// The value stored as a single-precision number and widened again.
double toSingle(double value);

// Fixed number of decimals ("0", "0.0", "0.00" patterns): at least one digit before the point.
std::string formatFixed(double value, int decimals);

// The "+0" pattern: a leading plus for positive values, "0" for zero, a minus for negatives.
std::string formatSigned(std::int32_t value);

// Shortest plain decimal text with up to 15 significant digits and a point as separator
// (7.5, 10, 0.3); very large or small magnitudes use an exponent (1E+20).
std::string plainDecimal(double value);

// Decimal text of a whole number.
std::string integerText(std::int64_t value);

// Hex2: upper-case hexadecimal with a "0" put in front, last two characters kept (10 gives
// "0A", 427 gives "AB"); negative values count in two's complement as the old tools' Hex did.
std::string hex2(std::int64_t value);

}  // namespace num
