#include "Cp1252.h"

#include "Unicode.h"

namespace {
// Code points of the bytes 0x80..0x9F (the five undefined bytes stand for themselves).
const uint16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char ToByte(uint32_t cp) {
  int b = UnicodeToCp1252(cp);
  return b < 0 ? '?' : static_cast<char>(b);
}
}  // namespace

uint32_t Cp1252ToUnicode(uint8_t byte) { return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte; }

int UnicodeToCp1252(uint32_t cp) {
  if (cp < 0x100) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return 0x80 + i;
  return -1;
}

std::string Cp1252ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendUtf8(out, Cp1252ToUnicode(static_cast<uint8_t>(c)));
  return out;
}

std::u16string Cp1252ToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) out += static_cast<char16_t>(Cp1252ToUnicode(static_cast<uint8_t>(c)));
  return out;
}

bool Utf8ToCp1252(const std::string& text, std::string& out, bool substitute) {
  out.clear();
  out.reserve(text.size());
  for (size_t i = 0, len = 0; i < text.size(); i += len) {
    uint32_t cp = 0;
    int b = DecodeUtf8(text, i, cp, len) ? UnicodeToCp1252(cp) : -1;
    if (b < 0 && !substitute) return false;
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return true;
}

std::string Utf8ToCp1252(const std::string& text) {
  std::string out;
  Utf8ToCp1252(text, out, true);
  return out;
}

std::string Utf16ToCp1252(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      out += '?';  // a pair outside the basic plane has no Windows-1252 byte
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      out += '?';
    } else {
      out += ToByte(c);
    }
  }
  return out;
}

char UpperCaseCp1252(char c) {
  auto b = static_cast<uint8_t>(c);
  if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) return static_cast<char>(b - 0x20);
  switch (b) {
    case 0x9A:
      return static_cast<char>(0x8A);  // š
    case 0x9C:
      return static_cast<char>(0x8C);  // œ
    case 0x9E:
      return static_cast<char>(0x8E);  // ž
    case 0xFF:
      return static_cast<char>(0x9F);  // ÿ
    default:
      return c;
  }
}

char LowerCaseCp1252(char c) {
  auto b = static_cast<uint8_t>(c);
  if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) return static_cast<char>(b + 0x20);
  switch (b) {
    case 0x8A:
      return static_cast<char>(0x9A);  // Š
    case 0x8C:
      return static_cast<char>(0x9C);  // Œ
    case 0x8E:
      return static_cast<char>(0x9E);  // Ž
    case 0x9F:
      return static_cast<char>(0xFF);  // Ÿ
    default:
      return c;
  }
}

std::string UpperCaseCp1252(const std::string& text) {
  std::string out(text);
  for (char& c : out) c = UpperCaseCp1252(c);
  return out;
}

std::string FoldCase(const std::string& text) {
  std::string out(text);
  for (char& c : out) c = LowerCaseCp1252(c);
  return out;
}

bool SameTextCp1252(const std::string& a, const std::string& b) { return CompareTextCp1252(a, b) == 0; }

int CompareTextCp1252(const std::string& a, const std::string& b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<uint8_t>(LowerCaseCp1252(a[i])), y = static_cast<uint8_t>(LowerCaseCp1252(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
