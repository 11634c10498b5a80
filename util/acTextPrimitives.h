// Text primitives over 8-bit texts with 1-based positions.
//
// The helpers of acUtils (and the storage's extraction) are written in terms
// of these few operations; each one is total: positions and counts outside
// the text give an empty part or change nothing, never an error.
#pragma once

#include <string>

namespace actext {

// Position (1-based) of the first occurrence of `needle` in `text`,
// case-sensitive; 0 when absent or when `needle` is empty.
int Find(const std::string& needle, const std::string& text);

// `text` without the leading and trailing characters whose code is 32 or
// below (blanks and control characters). Codes 128..255 are kept.
std::string Trim(const std::string& text);

// Case change of the ASCII letters only; every other byte is kept.
std::string UpperCase(const std::string& text);
std::string LowerCase(const std::string& text);

// From the last "." to the end, provided no "\" or ":" follows that dot;
// otherwise empty. The dot belongs to the extension.
std::string ExtractExt(const std::string& fileName);

// What follows the last "\" or ":" (the whole text when there is none).
std::string ExtractName(const std::string& fileName);

// Everything up to and including the last "\" or ":" (empty when none).
std::string ExtractPath(const std::string& fileName);

// At most `count` characters from position `start` on; empty when `start`
// lies past the end or `count` <= 0. A start before 1 counts as 1.
std::string Copy(const std::string& text, int start, int count);

// Removes `count` characters from position `start` on; a start outside the
// text or a count <= 0 removes nothing.
void Delete(std::string& text, int start, int count);

}  // namespace actext
