#include "acStoredName.h"

#include <cstring>

#include "charset/Cp1252.h"

std::string StoredNameProblem(const std::string& storedName, std::vector<std::string>& parts) {
  parts.clear();
  if (storedName.empty()) return "is empty";
  for (unsigned char c : storedName) {
    if (c == 0) return "holds a NUL character";
    if (c < 0x20 || c == 0x7F) return "holds a control character";
    if (c == ':') return "holds a drive letter or ':'";
    if (std::strchr("<>\"|?*", c))
      return std::string("holds '") + static_cast<char>(c) + "', which Windows does not allow in names";
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

std::string StoredNameKey(const std::vector<std::string>& parts) {
  std::string key;
  for (size_t i = 0; i < parts.size(); ++i) key += (i ? "\\" : "") + FoldCase(parts[i]);
  return key;
}
