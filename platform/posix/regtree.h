// The registry in memory: keys with case-insensitive names, their values and subkeys.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../winapi.h"

namespace winposix {

struct RegValue {
  std::string name;  // empty for the key's default value
  DWORD type = REG_NONE;
  std::string data;  // the bytes as stored (a REG_SZ includes its terminating zero)
};

struct RegKey {
  std::string name;
  int64_t modified = 0;                                    // seconds since 1970
  std::vector<RegValue> values;                            // in the order they were created
  std::map<std::string, std::unique_ptr<RegKey>> subkeys;  // by folded name

  const RegValue* FindValue(const std::string& valueName) const;
  void SetValue(const std::string& valueName, DWORD type, const std::string& data);
  bool DeleteValue(const std::string& valueName);

  RegKey* Child(const std::string& childName) const;
  RegKey* AddChild(const std::string& childName);

  // The key at a path of names below this one (null when missing).
  RegKey* Find(const std::vector<std::string>& path) const;
  // Finds or creates every level of path; created tells whether the last was new.
  RegKey* Create(const std::vector<std::string>& path, bool& created);
  // Removes the key at path with everything below it; false when missing.
  bool Remove(const std::vector<std::string>& path);

  std::unique_ptr<RegKey> Clone() const;
};

// Windows' limits: a key lies at most 512 levels below its hive's root, a key
// name holds at most 255 characters (printable ones: no control characters,
// which no REGEDIT4 section line could carry) and a value name at most 16383.
constexpr size_t kMaxKeyDepth = 512;
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxValueNameLength = 16383;

// True when name is a key name Windows accepts: 1 to 255 characters, none of
// them a control character (the backslash separates names and is never in one).
bool IsValidKeyName(const std::string& name);

// The names of a key path: "Software\Classes\.html" gives three names; empty
// names (leading, doubled or trailing backslashes) are skipped.
std::vector<std::string> SplitKeyPath(const std::string& path);

}  // namespace winposix
