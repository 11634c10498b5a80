// The program that the shell registers for opening files of an extension.
#include "acTextPrimitives.h"
#include "acUtils.h"

namespace {

// The default value of root\keyPath below HKEY_CLASSES_ROOT; the result
// tells whether the key could be opened.
bool ReadClassDefault(const std::string& keyPath, std::string& text) {
  return ReadRegString(HKEY_CLASSES_ROOT, keyPath, std::string(), text);
}

// The open command of a file type whose shell key has no "open" verb: the
// verb whose name holds "open" in any case (the earliest in the list), or
// else the first verb with a non-empty command.
std::string CommandOfOtherVerb(const std::string& typeName) {
  std::string command;
  std::vector<std::string> verbs;
  GetRegValueNames(HKEY_CLASSES_ROOT, typeName + "\\shell", verbs);
  if (verbs.empty()) return command;

  const std::string* openVerb = nullptr;
  for (auto verb = verbs.rbegin(); verb != verbs.rend(); ++verb)
    if (actext::Find("open", actext::LowerCase(*verb)) != 0) openVerb = &*verb;
  if (openVerb != nullptr) {
    ReadClassDefault(typeName + "\\shell\\" + *openVerb + "\\command", command);
    return command;
  }
  for (const std::string& verb : verbs)
    if (ReadClassDefault(typeName + "\\shell\\" + verb + "\\command", command) && !command.empty()) break;
  return command;
}

}  // namespace

std::string GetShellOpenProgram(const std::string& extension) {
  if (extension.empty() || extension == ".") return std::string();

  std::string typeName;
  ReadClassDefault(EnsureLeadingChar(extension, '.'), typeName);
  if (typeName.empty()) return std::string();

  std::string description;
  if (!ReadClassDefault(typeName, description)) return std::string();

  std::string command;
  if (!ReadClassDefault(typeName + "\\shell\\open\\command", command)) command = CommandOfOtherVerb(typeName);

  std::string parameters;
  SplitCommandLine(command, parameters);
  return command;
}
