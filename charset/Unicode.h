#pragma once
// UTF-8 and UTF-16, encoded and decoded by one rule: a byte sequence that is not valid UTF-8
// (a stray or truncated sequence, an overlong form, a surrogate, a code point above U+10FFFF)
// is one invalid byte, and an unpaired surrogate is one invalid code unit. Each caller decides
// what an invalid unit becomes (U+FFFD, '?', or a failure).
#include <cstddef>
#include <cstdint>
#include <string>

// Decodes the sequence at text[pos]: true with its code point and length, or false for an
// invalid byte (length 1). pos must be below text.size().
bool DecodeUtf8(const std::string& text, size_t pos, uint32_t& codePoint, size_t& length);
void AppendUtf8(std::string& out, uint32_t codePoint);
void AppendUtf16(std::u16string& out, uint32_t codePoint);

// Invalid units become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);
std::u16string Utf8ToUtf16(const std::string& text);
