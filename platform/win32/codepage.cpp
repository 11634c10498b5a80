// Windows-1252 and UTF-8 through the system's own code page tables.
#include "posix/codepage.h"

#include <stdexcept>

#include "winapi.h"

namespace winposix {

namespace {

std::wstring Wide(UINT codePage, DWORD flags, const std::string& text, bool& ok) {
  ok = true;
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) {
    ok = false;
    return std::wstring();
  }
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

}  // namespace

std::string Cp1252ToUtf8(const std::string& text) {
  bool ok = true;
  const std::wstring wide = Wide(1252, 0, text, ok);
  if (wide.empty()) return std::string();
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

bool Utf8ToCp1252(const std::string& text, std::string& out, bool substitute) {
  out.clear();
  bool ok = true;
  std::wstring wide = Wide(CP_UTF8, MB_ERR_INVALID_CHARS, text, ok);
  if (!ok) {
    if (!substitute) return false;
    wide = Wide(CP_UTF8, 0, text, ok);  // invalid sequences become U+FFFD, then '?'
  }
  for (wchar_t w : wide) {
    unsigned char c = 0;
    if (CodePointToCp1252(w, c)) {
      out += static_cast<char>(c);
    } else if (substitute) {
      out += '?';
    } else {
      out.clear();
      return false;
    }
  }
  return true;
}

unsigned Cp1252ToCodePoint(unsigned char c) {
  wchar_t w = 0;
  const char byte = static_cast<char>(c);
  return MultiByteToWideChar(1252, 0, &byte, 1, &w, 1) == 1 ? static_cast<unsigned>(w) : c;
}

bool CodePointToCp1252(unsigned codePoint, unsigned char& c) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint < 0x100)) {
    c = static_cast<unsigned char>(codePoint);
    return true;
  }
  if (codePoint > 0xFFFF) return false;
  const wchar_t w = static_cast<wchar_t>(codePoint);
  char byte = 0;
  BOOL usedDefault = FALSE;
  if (WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, &w, 1, &byte, 1, nullptr, &usedDefault) != 1 || usedDefault)
    return false;
  c = static_cast<unsigned char>(byte);
  return Cp1252ToCodePoint(c) == codePoint;
}

char FoldCase(char ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
  switch (c) {
    case 0x8A:
      return static_cast<char>(0x9A);  // Š
    case 0x8C:
      return static_cast<char>(0x9C);  // Œ
    case 0x8E:
      return static_cast<char>(0x9E);  // Ž
    case 0x9F:
      return static_cast<char>(0xFF);  // Ÿ
    default:
      return ch;
  }
}

std::string FoldCase(const std::string& text) {
  std::string out(text);
  for (char& c : out) c = FoldCase(c);
  return out;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

}  // namespace winposix
