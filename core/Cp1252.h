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
