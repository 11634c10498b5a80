// Windows-1252 (the API's texts) and UTF-8 (Linux file names and tools).
#pragma once

#include <string>

namespace winposix {

// Every Windows-1252 byte has a UTF-8 form (the five bytes the code page leaves
// undefined become U+0081, U+008D, U+008F, U+0090 and U+009D, as on Windows).
std::string Cp1252ToUtf8(const std::string& text);

// Converts UTF-8 to Windows-1252. A character without a Windows-1252 form (the
// rule of Cp1252.h: code points below 256 keep their number), or a byte sequence
// that is not UTF-8, fails the conversion (false), unless substitute is set: then
// it becomes '?'.
bool Utf8ToCp1252(const std::string& text, std::string& out, bool substitute = false);

// The Unicode code point of a Windows-1252 byte, and back (false when none).
unsigned Cp1252ToCodePoint(unsigned char c);
bool CodePointToCp1252(unsigned codePoint, unsigned char& c);

// Case folding used for names compared without regard to case (registry keys
// and values, file names, environment variables): ASCII and the Windows-1252
// letters.
char FoldCase(char c);
std::string FoldCase(const std::string& text);
bool EqualNoCase(const std::string& a, const std::string& b);

}  // namespace winposix
