#pragma once
// Conversions between the 8-bit texts of the system (Windows-1252) and Unicode, used where
// Linux needs UTF-8 (file names) and where forms hold wide or UTF-8 strings.
#include <cstdint>
#include <string>

// The Unicode code point of a Windows-1252 byte (the five unassigned bytes map to the C1
// control of the same number).
uint32_t Cp1252ToUnicode(uint8_t byte);
// The Windows-1252 byte of a code point, or -1. Code points below 256 map to the byte of the
// same number, so that "#n" escapes in text forms round-trip.
int UnicodeToCp1252(uint32_t codePoint);

std::string Cp1252ToUtf8(const std::string& text);
// Invalid UTF-8 and characters without a Windows-1252 byte become '?'.
std::string Utf8ToCp1252(const std::string& text);
// UTF-16 code units to Windows-1252; unpaired surrogates and unmappable characters become '?'.
std::string Utf16ToCp1252(const std::u16string& text);

// Case folding over the whole code page, independent of the C locale: the upper-case form of a
// Windows-1252 byte, as Windows compares names (a-z, the Latin-1 letters from 0xE0 but 0xF7,
// and š, œ, ž, ÿ). Bytes without an upper-case form in the code page (ß, µ) are unchanged.
char UpperCaseCp1252(char c);
std::string UpperCaseCp1252(const std::string& text);
// The key under which names that differ only in case meet.
inline std::string FoldCase(const std::string& text) { return UpperCaseCp1252(text); }
// The lower-case form, the reverse of UpperCaseCp1252.
char LowerCaseCp1252(char c);
// Compares ignoring case (by the lower-case forms, so '_' sorts before letters): negative,
// zero or positive. Zero exactly when the texts are equal ignoring case.
int CompareTextCp1252(const std::string& a, const std::string& b);
