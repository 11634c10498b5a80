#include "safe_name.h"

#include "Cp1252.h"
#include "cli_error.h"

std::vector<std::string> SafeNameParts(const std::string& storedName) {
  auto refuse = [&](const std::string& why) -> void {
    throw InputError("stored name \"" + Cp1252ToUtf8(storedName) + "\" " + why);
  };
  if (storedName.empty()) refuse("is empty");
  if (storedName.find('\0') != std::string::npos) refuse("holds a NUL character");
  if (storedName.find(':') != std::string::npos) refuse("holds a drive letter or ':'");
  if (storedName[0] == '\\' || storedName[0] == '/') refuse("is an absolute path");
  std::vector<std::string> parts;
  std::string part;
  for (std::size_t i = 0; i <= storedName.size(); ++i) {
    if (i == storedName.size() || storedName[i] == '\\' || storedName[i] == '/') {
      if (part.empty()) refuse("has an empty path part");
      if (part == "." || part == "..") refuse("has a '" + part + "' part that would leave the directory");
      parts.push_back(Cp1252ToUtf8(part));
      part.clear();
    } else {
      part += storedName[i];
    }
  }
  return parts;
}
