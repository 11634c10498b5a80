// REGEDIT4 export over the registry API, and import straight into the hives:
// the whole text is checked first and then applied in one change per hive, so
// an import is all or nothing and writes each hive file once.
#include "regtext.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <vector>

#include "codepage.h"
#include "regformat.h"
#include "regimport.h"
#ifndef _WIN32
#include "regstore.h"
#endif
#include "regtree.h"
#include "winapi.h"

namespace {

struct RootName {
  HKEY key;
  const char* name;
  const char* shortName;
};
const RootName kRoots[] = {
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},
};

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

std::string Error(LSTATUS status) { return " (error " + std::to_string(status) + ")"; }

// Closes a key when it goes out of scope.
struct KeyHolder {
  HKEY key = nullptr;
  ~KeyHolder() {
    if (key) RegCloseKey(key);
  }
};

// A quoted string: backslash and quote escaped, and line breaks written as
// \n and \r so that a name holding them stays on its line.
std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    if (c == '\r') {
      out += "\\r";
      continue;
    }
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

void ExportValue(std::string& out, const std::string& name, DWORD type, const std::string& d) {
  std::string head = name.empty() ? "@=" : Quote(name) + "=";
  out += head;
  const bool plain = !d.empty() && d.back() == '\0' && d.find_first_of(std::string("\r\n\0", 3)) == d.size() - 1;
  if (type == REG_SZ && plain) {
    out += Quote(d.substr(0, d.size() - 1));
  } else if (type == REG_DWORD && d.size() == 4) {
    out += winposix::DwordText(d);
  } else {
    const std::string prefix = winposix::HexPrefix(type);
    out += prefix;
    winposix::WriteHex(out, head.size() + prefix.size(), d);
  }
  out += "\r\n";
}

void ExportKey(std::string& out, HKEY key, const std::string& fullName) {
  out += "\r\n[" + fullName + "]\r\n";
  DWORD values = 0, maxName = 0, maxData = 0, subkeys = 0, maxSub = 0;
  LSTATUS status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &maxSub, nullptr, &values, &maxName,
                                    &maxData, nullptr, nullptr);
  if (status != ERROR_SUCCESS) Fail("cannot read the key " + fullName + Error(status));
  std::vector<char> name(maxName + 1);
  std::vector<BYTE> data(maxData + 1);
  for (DWORD i = 0; i < values; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size());
    DWORD type = 0;
    status = RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize);
    if (status != ERROR_SUCCESS) Fail("cannot read the values of " + fullName + Error(status));
    ExportValue(out, std::string(name.data(), nameSize), type,
                std::string(reinterpret_cast<const char*>(data.data()), dataSize));
  }
  std::vector<char> subName(maxSub + 1);
  for (DWORD i = 0; i < subkeys; ++i) {
    DWORD size = static_cast<DWORD>(subName.size());
    status = RegEnumKeyExA(key, i, subName.data(), &size, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) Fail("cannot list the subkeys of " + fullName + Error(status));
    std::string child(subName.data(), size);
    KeyHolder sub;
    status = RegOpenKeyExA(key, child.c_str(), 0, KEY_READ, &sub.key);
    if (status != ERROR_SUCCESS) Fail("cannot open " + fullName + "\\" + child + Error(status));
    ExportKey(out, sub.key, fullName + "\\" + child);
  }
}

// Splits "HKEY_...\Path" into its root and the path below it.
bool SplitRoot(const std::string& full, HKEY& root, std::string& path) {
  std::string first = full.substr(0, full.find('\\'));
  path = first.size() < full.size() ? full.substr(first.size() + 1) : "";
  for (const RootName& r : kRoots)
    if (winposix::FoldCase(first) == winposix::FoldCase(r.name) ||
        winposix::FoldCase(first) == winposix::FoldCase(r.shortName)) {
      root = r.key;
      return true;
    }
  return false;
}

struct ImportValue {
  std::string name;
  bool remove = false;
  DWORD type = REG_SZ;
  std::string data;
};
struct ImportKey {
  HKEY root;
  std::string path;
  bool remove = false;
  std::vector<ImportValue> values;
};

// The key's names below its hive's root (HKEY_CLASSES_ROOT lies at Software\Classes).
std::vector<std::string> HivePath(const ImportKey& key) {
  std::vector<std::string> path;
  if (key.root == HKEY_CLASSES_ROOT) path = {"Software", "Classes"};
  for (std::string& part : winposix::SplitKeyPath(key.path)) path.push_back(std::move(part));
  return path;
}

// Refuses what the registry would refuse, before anything is applied.
void CheckLimits(const ImportKey& key, size_t number) {
  const std::string where = "line " + std::to_string(number) + ": ";
  const std::vector<std::string> path = HivePath(key);
  if (key.remove && winposix::SplitKeyPath(key.path).empty()) Fail(where + "a root key cannot be deleted");
  if (path.size() > winposix::kMaxKeyDepth)
    Fail(where + "the key lies " + std::to_string(path.size()) + " levels deep (at most " +
         std::to_string(winposix::kMaxKeyDepth) + ")");
  for (const std::string& name : path)
    if (!winposix::IsValidKeyName(name))
      Fail(where + "bad key name (1 to " + std::to_string(winposix::kMaxKeyNameLength) +
           " characters, no control characters)");
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(c | 0x20);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string ParseQuoted(const std::string& line, size_t& pos, size_t number) {
  std::string out;
  ++pos;
  while (pos < line.size() && line[pos] != '"') {
    if (line[pos] == '\\' && pos + 1 < line.size()) {
      ++pos;
      if (line[pos] == 'n' || line[pos] == 'r') {
        out += line[pos++] == 'n' ? '\n' : '\r';
        continue;
      }
    }
    out += line[pos++];
  }
  if (pos >= line.size()) Fail("line " + std::to_string(number) + ": unterminated string");
  ++pos;
  return out;
}

void ParseImportData(const std::string& line, size_t pos, size_t number, ImportValue& value) {
  auto bad = [&](const char* what) { Fail("line " + std::to_string(number) + ": " + what); };
  if (line.compare(pos, 1, "-") == 0 && pos + 1 == line.size()) {
    value.remove = true;
  } else if (line.compare(pos, 1, "\"") == 0) {
    value.type = REG_SZ;
    value.data = ParseQuoted(line, pos, number) + '\0';
    if (pos != line.size()) bad("text after the string");
  } else if (line.compare(pos, 6, "dword:") == 0) {
    std::string digits = line.substr(pos + 6);
    if (digits.empty() || digits.size() > 8) bad("bad dword");
    uint32_t n = 0;
    for (char c : digits) {
      if (Hex(c) < 0) bad("bad dword");
      n = n * 16 + static_cast<uint32_t>(Hex(c));
    }
    value.type = REG_DWORD;
    value.data.assign(reinterpret_cast<const char*>(&n), 4);
  } else if (line.compare(pos, 3, "hex") == 0) {
    pos += 3;
    value.type = REG_BINARY;
    if (line.compare(pos, 1, "(") == 0) {
      size_t close = line.find(')', pos);
      if (close == std::string::npos || close == pos + 1 || close - pos > 9) bad("bad hex(N)");
      value.type = 0;
      for (size_t i = pos + 1; i < close; ++i) {
        if (Hex(line[i]) < 0) bad("bad hex(N)");
        value.type = value.type * 16 + static_cast<DWORD>(Hex(line[i]));
      }
      pos = close + 1;
    }
    if (line.compare(pos, 1, ":") != 0) bad("expected ':' after hex");
    ++pos;
    while (pos < line.size()) {
      while (pos < line.size() && line[pos] == ' ') ++pos;
      if (pos + 1 >= line.size() || Hex(line[pos]) < 0 || Hex(line[pos + 1]) < 0) bad("bad hex byte");
      value.data += static_cast<char>(Hex(line[pos]) * 16 + Hex(line[pos + 1]));
      pos += 2;
      while (pos < line.size() && line[pos] == ' ') ++pos;
      if (pos < line.size() && line[pos++] != ',') bad("expected ','");
    }
  } else {
    bad("unknown value data");
  }
}

std::vector<ImportKey> ParseImport(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    pos = end + 1;
  }
  if (lines.empty() || lines[0] != "REGEDIT4") Fail("line 1: not REGEDIT4 text (\"REGEDIT4\" expected)");
  std::vector<ImportKey> keys;
  for (size_t i = 1; i < lines.size(); ++i) {
    const size_t number = i + 1;
    std::string line = lines[i];
    while (!line.empty() && line.back() == '\\' && i + 1 < lines.size()) {
      line.pop_back();
      std::string next = lines[++i];
      line += next.substr(std::min(next.find_first_not_of(" \t"), next.size()));
    }
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == ';') continue;
    if (line[start] == '[') {
      size_t close = line.rfind(']');
      if (close == std::string::npos || close < start)
        Fail("line " + std::to_string(number) + ": unterminated key name");
      ImportKey key;
      std::string name = line.substr(start + 1, close - start - 1);
      if (!name.empty() && name[0] == '-') {
        key.remove = true;
        name = name.substr(1);
      }
      if (!SplitRoot(name, key.root, key.path))
        Fail("line " + std::to_string(number) + ": unknown root key in " + name);
      CheckLimits(key, number);
      keys.push_back(key);
      continue;
    }
    if (keys.empty() || keys.back().remove) Fail("line " + std::to_string(number) + ": value outside a key");
    ImportValue value;
    size_t p = start;
    if (line[p] == '@')
      ++p;
    else if (line[p] == '"')
      value.name = ParseQuoted(line, p, number);
    else
      Fail("line " + std::to_string(number) + ": unexpected text");
    if (p >= line.size() || line[p] != '=') Fail("line " + std::to_string(number) + ": expected '='");
    if (value.name.size() > winposix::kMaxValueNameLength)
      Fail("line " + std::to_string(number) + ": value name longer than " +
           std::to_string(winposix::kMaxValueNameLength) + " characters");
    ParseImportData(line, p + 1, number, value);
    keys.back().values.push_back(value);
  }
  return keys;
}

// Applies the parsed keys to both hives' trees; HKEY_CLASSES_ROOT
// changes go to the user's key when it exists there, else to the machine's.
// Tells which trees changed.
void ApplyImport(const std::vector<ImportKey>& keys, winposix::RegKey& machine, winposix::RegKey& user,
                 bool& machineChanged, bool& userChanged) {
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  for (const ImportKey& key : keys) {
    const std::vector<std::string> path = HivePath(key);
    winposix::RegKey* root = &machine;
    if (key.root == HKEY_CURRENT_USER || (key.root == HKEY_CLASSES_ROOT && user.Find(path))) root = &user;
    bool& changed = root == &user ? userChanged : machineChanged;
    if (key.remove) {
      changed = root->Remove(path) || changed;
      continue;
    }
    bool created = false;
    winposix::RegKey* target = path.empty() ? root : root->Create(path, created);
    if (created) {
      target->modified = now;
      changed = true;
    }
    for (const ImportValue& value : key.values) {
      if (value.remove ? target->DeleteValue(value.name)
                       : (target->SetValue(value.name, value.type, value.data), true)) {
        target->modified = now;
        changed = true;
      }
    }
  }
}

}  // namespace

void winposix::ApplyRegImport(const std::string& text, RegKey& machine, RegKey& user, bool& machineChanged,
                              bool& userChanged) {
  const std::vector<ImportKey> keys = ParseImport(text);
  // Everything was checked while parsing: applying cannot fail halfway.
  ApplyImport(keys, machine, user, machineChanged, userChanged);
}

std::string RegExportText(HKEY root, const std::string& keyPath) {
  const char* rootName = nullptr;
  for (const RootName& r : kRoots)
    if (r.key == root) rootName = r.name;
  if (!rootName) Fail("RegExportText needs a predefined root key");
  std::vector<std::string> parts = winposix::SplitKeyPath(keyPath);
  std::string fullName = rootName;
  for (const std::string& part : parts) fullName += "\\" + part;
  KeyHolder key;
  LSTATUS status = RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key.key);
  if (status != ERROR_SUCCESS) Fail("cannot open the key " + fullName + Error(status));
  std::string out = "REGEDIT4\r\n";
  ExportKey(out, key.key, fullName);
  return out + "\r\n";
}

#ifdef _WIN32
// On Windows the text is checked whole first, then applied key by key through the registry
// API: the system's registry has no transaction to hold both hives in.
void RegImportText(const std::string& text) {
  for (const ImportKey& key : ParseImport(text)) {
    if (key.remove) {
      const LSTATUS status = RegDeleteTreeA(key.root, key.path.c_str());
      if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
        RegDeleteKeyA(key.root, key.path.c_str());
      else
        Fail("cannot delete the key " + key.path + Error(status));
      continue;
    }
    KeyHolder handle;
    LSTATUS status = RegCreateKeyExA(key.root, key.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                     nullptr, &handle.key, nullptr);
    if (status != ERROR_SUCCESS) Fail("cannot create the key " + key.path + Error(status));
    for (const ImportValue& value : key.values) {
      if (value.remove) {
        status = RegDeleteValueA(handle.key, value.name.c_str());
        if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
      } else {
        status =
            RegSetValueExA(handle.key, value.name.c_str(), 0, value.type,
                           reinterpret_cast<const BYTE*>(value.data.data()), static_cast<DWORD>(value.data.size()));
      }
      if (status != ERROR_SUCCESS) Fail("cannot write the value " + value.name + " of " + key.path + Error(status));
    }
  }
}
#else
void RegImportText(const std::string& text) {
  using winposix::Hive;
  using winposix::RegKey;
  // Both hives are locked (machine first; nothing else holds two locks) and
  // changed together; the user's file is written first, then the machine's.
  const LSTATUS status = winposix::ModifyHive(Hive::Machine, [&](RegKey& machine, bool& machineChanged) {
    return winposix::ModifyHive(Hive::User, [&](RegKey& user, bool& userChanged) {
      winposix::ApplyRegImport(text, machine, user, machineChanged, userChanged);
      return static_cast<LSTATUS>(ERROR_SUCCESS);
    });
  });
  if (status != ERROR_SUCCESS) Fail("cannot write the registry" + Error(status));
}
#endif
