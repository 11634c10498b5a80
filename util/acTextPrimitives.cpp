#include "acTextPrimitives.h"

#include <cstddef>

namespace actext {

namespace {

// Bytes above 127 are Windows-1252 characters, not negative codes.
inline unsigned char Code(char c) { return static_cast<unsigned char>(c); }

inline bool IsPathDelimiter(char c) { return c == '\\' || c == ':'; }

// Index (0-based) of the last "\" or ":", or npos.
std::size_t LastDelimiter(const std::string& text) { return text.find_last_of("\\:"); }

}  // namespace

int Find(const std::string& needle, const std::string& text) {
  if (needle.empty()) return 0;
  const std::size_t at = text.find(needle);
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Trim(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && Code(text[first]) <= 32) ++first;
  while (last > first && Code(text[last - 1]) <= 32) --last;
  return text.substr(first, last - first);
}

std::string UpperCase(const std::string& text) {
  std::string result = text;
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return result;
}

std::string LowerCase(const std::string& text) {
  std::string result = text;
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

std::string ExtractExt(const std::string& fileName) {
  const std::size_t at = fileName.find_last_of(".\\:");
  if (at == std::string::npos || IsPathDelimiter(fileName[at])) return std::string();
  return fileName.substr(at);
}

std::string ExtractName(const std::string& fileName) {
  const std::size_t at = LastDelimiter(fileName);
  return at == std::string::npos ? fileName : fileName.substr(at + 1);
}

std::string ExtractPath(const std::string& fileName) {
  const std::size_t at = LastDelimiter(fileName);
  return at == std::string::npos ? std::string() : fileName.substr(0, at + 1);
}

std::string Copy(const std::string& text, int start, int count) {
  if (start < 1) start = 1;
  if (count <= 0 || static_cast<std::size_t>(start) > text.size()) return std::string();
  return text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(count));
}

void Delete(std::string& text, int start, int count) {
  if (start < 1 || count <= 0 || static_cast<std::size_t>(start) > text.size()) return;
  text.erase(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(count));
}

}  // namespace actext
