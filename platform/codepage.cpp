// The platform's Windows-1252 conversions and case folding on every system (used by the
// REGEDIT4 text on Windows too).
#include "posix/codepage.h"

#include "charset/Cp1252.h"

// The conversions and the case folding are the charset library's, so that the platform and
// the component library map and compare texts by the same rules.
namespace winposix {

std::string Cp1252ToUtf8(const std::string& text) { return ::Cp1252ToUtf8(text); }

bool Utf8ToCp1252(const std::string& text, std::string& out, bool substitute) {
  return ::Utf8ToCp1252(text, out, substitute);
}

unsigned Cp1252ToCodePoint(unsigned char c) { return ::Cp1252ToUnicode(c); }

bool CodePointToCp1252(unsigned codePoint, unsigned char& c) {
  int b = ::UnicodeToCp1252(codePoint);
  if (b < 0) return false;
  c = static_cast<unsigned char>(b);
  return true;
}

char FoldCase(char c) { return ::LowerCaseCp1252(c); }

std::string FoldCase(const std::string& text) { return ::FoldCase(text); }

bool EqualNoCase(const std::string& a, const std::string& b) { return ::SameTextCp1252(a, b); }

}  // namespace winposix
