#include "acStoredName.h"

#include <cstring>

std::string StoredNameProblem(const std::string& storedName, std::vector<std::string>& parts) {
  parts.clear();
  if (storedName.empty()) return "is empty";
  for (unsigned char c : storedName) {
    if (c == 0) return "holds a NUL character";
    if (c < 0x20 || c == 0x7F) return "holds a control character";
    if (c == ':') return "holds a drive letter or ':'";
    if (std::strchr("<>\"|?*", c)) return std::string("holds '") + static_cast<char>(c) + "', which Windows does not allow in names";
  }
  if (storedName[0] == '\\' || storedName[0] == '/') return "is an absolute path";
  std::vector<std::string> resolved;
  std::string part;
  for (size_t i = 0; i <= storedName.size(); ++i) {
    if (i < storedName.size() && storedName[i] != '\\' && storedName[i] != '/') {
      part += storedName[i];
      continue;
    }
    if (part.empty()) return "has an empty path part";
    if (part == "..") {
      if (resolved.empty()) return "has a '..' part that would leave the directory";
      resolved.pop_back();
    } else if (part != ".") {
      resolved.push_back(part);
    }
    part.clear();
  }
  if (resolved.empty()) return "names the directory itself";
  parts = std::move(resolved);
  return {};
}

namespace {

// Windows-1252 upper case: ASCII letters, the Latin-1 letters (not the multiplication and
// division signs, nor the sharp s), and the letter pairs at 0x8A-0x9F.
unsigned char UpperCp1252(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: return c;
  }
}

}  // namespace

std::string StoredNameKey(const std::vector<std::string>& parts) {
  std::string key;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) key += '\\';
    for (unsigned char c : parts[i]) key += static_cast<char>(UpperCp1252(c));
  }
  return key;
}
