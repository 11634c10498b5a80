#pragma once
// The 10-byte extended-precision floats of binary forms (x87 layout, little-endian: a 64-bit
// mantissa with an explicit leading bit, then the sign and a 15-bit exponent biased by 16383),
// converted from and to the doubles the library computes with, and written as text the way
// Free Pascal's Str writes an extended: " 1.50000000000000000000E+0000" (a leading space for
// values that are not negative, 21 significant digits, a signed four-digit exponent), "+Inf",
// "-Inf" and "Nan".
#include <array>
#include <cstdint>
#include <string>

using TExtended80 = std::array<uint8_t, 10>;

// Exact: every double is an extended.
TExtended80 DoubleToExtended(double value);
// Rounds to the nearest double; out of range gives an infinity or zero.
double ExtendedToDouble(const TExtended80& value);
// The text of the extended's own value, not of the double nearest to it.
std::string ExtendedToText(const TExtended80& value);
