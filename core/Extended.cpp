#include "Extended.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {
constexpr int kBias = 16383;

uint64_t Mantissa(const TExtended80& e) {
  uint64_t m = 0;
  for (int i = 7; i >= 0; --i) m = (m << 8) | e[static_cast<size_t>(i)];
  return m;
}
int SignAndExponent(const TExtended80& e) { return e[8] | (e[9] << 8); }

// The decimal digits and exponent of m * 2^exp2 with 21 significant digits, as
// "d.dddddddddddddddddddde+x" in the C locale's spelling of to_chars.
std::string Scientific(uint64_t m, int exp2) {
  char buf[64];
  std::to_chars_result r{};
  if constexpr (std::numeric_limits<long double>::digits >= 64) {
    long double v = std::ldexp(static_cast<long double>(m), exp2);  // exact
    r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 20);
  } else {
    double v = std::ldexp(static_cast<double>(m), exp2);
    r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 20);
  }
  return std::string(buf, r.ptr);
}
}  // namespace

TExtended80 DoubleToExtended(double value) {
  uint64_t bits = std::bit_cast<uint64_t>(value);
  int sign = static_cast<int>(bits >> 63);
  int exp = static_cast<int>((bits >> 52) & 0x7FF);
  uint64_t frac = bits & ((uint64_t{1} << 52) - 1);
  uint64_t m = 0;
  int e = 0;
  if (exp == 0x7FF) {  // infinity or NaN
    e = 0x7FFF;
    m = (uint64_t{1} << 63) | (frac << 11);
  } else if (exp != 0) {
    e = exp - 1023 + kBias;
    m = (uint64_t{1} << 63) | (frac << 11);
  } else if (frac != 0) {  // subnormal double: normal as an extended
    int shift = std::countl_zero(frac);
    m = frac << shift;
    e = -1074 - shift + 63 + kBias;
  }
  TExtended80 out{};
  for (size_t i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(m >> (8 * i));
  int se = (sign << 15) | e;
  out[8] = static_cast<uint8_t>(se);
  out[9] = static_cast<uint8_t>(se >> 8);
  return out;
}

double ExtendedToDouble(const TExtended80& value) {
  uint64_t m = Mantissa(value);
  int se = SignAndExponent(value);
  bool negative = (se & 0x8000) != 0;
  int e = se & 0x7FFF;
  double v;
  if (e == 0x7FFF)
    v = (m << 1) == 0 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
  else
    v = std::ldexp(static_cast<double>(m), (e == 0 ? 1 : e) - kBias - 63);
  return negative ? -v : v;
}

std::string ExtendedToText(const TExtended80& value) {
  uint64_t m = Mantissa(value);
  int se = SignAndExponent(value);
  bool negative = (se & 0x8000) != 0;
  int e = se & 0x7FFF;
  if (e == 0x7FFF) {
    if ((m << 1) != 0) return "Nan";
    return negative ? "-Inf" : "+Inf";
  }
  std::string s = Scientific(m, (e == 0 ? 1 : e) - kBias - 63);
  size_t ePos = s.find('e');
  int exp10 = std::atoi(s.c_str() + ePos + 1);
  std::string digits = std::to_string(exp10 < 0 ? -exp10 : exp10);
  std::string out = (negative ? "-" : " ") + s.substr(0, ePos) + "E" + (exp10 < 0 ? "-" : "+");
  return out + std::string(digits.size() < 4 ? 4 - digits.size() : 0, '0') + digits;
}
