#pragma once
// The Windows-1252 code page, the 8-bit texts of the system, and its conversions to Unicode,
// used where Linux needs UTF-8 (file names, GTK), where the browser pane needs UTF-16 and
// where forms hold wide or UTF-8 strings.
//
// One rule maps code points to bytes: the 27 characters the code page places at 0x80..0x9F
// map to their bytes, and every other code point below 256 maps to the byte of the same number
// (so the five bytes the code page leaves undefined stand for the C1 controls of their number,
// as on Windows, and "#n" escapes of text forms round-trip). Anything else cannot be mapped.
#include <cstdint>
#include <string>

// The Unicode code point of a Windows-1252 byte.
uint32_t Cp1252ToUnicode(uint8_t byte);
// The Windows-1252 byte of a code point, or -1 when it cannot be mapped.
int UnicodeToCp1252(uint32_t codePoint);

std::string Cp1252ToUtf8(const std::string& text);
std::u16string Cp1252ToUtf16(const std::string& text);
// Invalid UTF-8 and characters that cannot be mapped become '?'.
std::string Utf8ToCp1252(const std::string& text);
// The same, but without substitute such input fails the conversion (false, out incomplete).
bool Utf8ToCp1252(const std::string& text, std::string& out, bool substitute);
// UTF-16 code units to Windows-1252; unpaired surrogates and unmappable characters become '?'.
std::string Utf16ToCp1252(const std::u16string& text);

// Case folding over the whole code page, independent of the C locale, as Windows compares
// names: a-z, the Latin-1 letters from 0xE0 but 0xF7, and š, œ, ž, ÿ have an upper-case form
// (0xC0..0xDE but 0xD7, Š, Œ, Ž, Ÿ). Bytes without another case in the code page (ß, µ) stay.
char UpperCaseCp1252(char c);
char LowerCaseCp1252(char c);
std::string UpperCaseCp1252(const std::string& text);
// The key under which names that differ only in case meet (the lower-case form).
std::string FoldCase(const std::string& text);
// Equal ignoring case, as Windows compares names.
bool SameTextCp1252(const std::string& a, const std::string& b);
// Compares ignoring case (by the lower-case forms, so '_' sorts before letters): negative,
// zero or positive. Zero exactly when SameTextCp1252.
int CompareTextCp1252(const std::string& a, const std::string& b);
