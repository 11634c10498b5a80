// The registry API over the hive files. HKEY_CLASSES_ROOT is the merged view
// of HKEY_CURRENT_USER\Software\Classes over HKEY_LOCAL_MACHINE\Software\Classes:
// reads look in the user's key first; writes go to the user's key when it
// exists there and to the machine's otherwise, as Windows does.
#include <algorithm>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>

#include "regstore.h"
#include "winapi.h"

using namespace winposix;

namespace {

// A Unix time in seconds as a FILETIME: 100-nanosecond intervals since 1601-01-01.
FILETIME SecondsToFileTime(uint64_t seconds) {
  const uint64_t ticks = (seconds + 11644473600ULL) * 10000000ULL;
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

enum class Root { Machine, User, Classes };

struct OpenKey {
  Root root;
  std::vector<std::string> path;
  REGSAM access;
};

std::mutex keysMutex;
std::set<OpenKey*> openKeys;

struct KeyRef {
  Root root;
  std::vector<std::string> path;
  REGSAM access;
  bool predefined;
};

bool Resolve(HKEY key, KeyRef& ref) {
  if (key == HKEY_LOCAL_MACHINE) {
    ref = {Root::Machine, {}, KEY_ALL_ACCESS, true};
  } else if (key == HKEY_CURRENT_USER) {
    ref = {Root::User, {}, KEY_ALL_ACCESS, true};
  } else if (key == HKEY_CLASSES_ROOT) {
    ref = {Root::Classes, {}, KEY_ALL_ACCESS, true};
  } else {
    std::lock_guard<std::mutex> lock(keysMutex);
    auto* open = reinterpret_cast<OpenKey*>(key);
    if (!openKeys.count(open)) return false;
    ref = {open->root, open->path, open->access, false};
  }
  return true;
}

std::vector<std::string> Join(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<std::string> out = a;
  out.insert(out.end(), b.begin(), b.end());
  return out;
}

const std::vector<std::string> kClasses = {"Software", "Classes"};

// The hive keys behind a reference, the one that takes precedence first.
struct View {
  std::shared_ptr<const RegKey> user, machine;
  std::vector<const RegKey*> keys;
};

LSTATUS Lookup(const KeyRef& ref, View& view) {
  LSTATUS status;
  if (ref.root != Root::Machine) {
    if ((status = ReadHive(Hive::User, view.user)) != ERROR_SUCCESS) return status;
  }
  if (ref.root != Root::User) {
    if ((status = ReadHive(Hive::Machine, view.machine)) != ERROR_SUCCESS) return status;
  }
  if (ref.root == Root::Classes) {
    std::vector<std::string> path = Join(kClasses, ref.path);
    if (const RegKey* k = view.user->Find(path)) view.keys.push_back(k);
    if (const RegKey* k = view.machine->Find(path)) view.keys.push_back(k);
  } else {
    const RegKey* k = (ref.root == Root::User ? view.user : view.machine)->Find(ref.path);
    if (k) view.keys.push_back(k);
  }
  if (view.keys.empty()) return ref.path.empty() && ref.root != Root::Classes ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  return ERROR_SUCCESS;
}

// Values of the view: those of the first key, then those of the others
// that it does not have.
std::vector<const RegValue*> MergedValues(const View& view) {
  std::vector<const RegValue*> values;
  for (size_t i = 0; i < view.keys.size(); ++i)
    for (const RegValue& v : view.keys[i]->values) {
      bool shadowed = false;
      for (size_t j = 0; j < i && !shadowed; ++j) shadowed = view.keys[j]->FindValue(v.name) != nullptr;
      if (!shadowed) values.push_back(&v);
    }
  return values;
}

std::vector<const RegKey*> MergedSubkeys(const View& view) {
  std::map<std::string, const RegKey*> merged;
  for (const RegKey* key : view.keys)
    for (const auto& [folded, child] : key->subkeys) merged.emplace(folded, child.get());
  std::vector<const RegKey*> out;
  for (const auto& [folded, child] : merged) out.push_back(child);
  return out;
}

// Where a change to a reference goes: its hive and the path in it.
LSTATUS Target(const KeyRef& ref, Hive& hive, std::vector<std::string>& path) {
  if (ref.root == Root::Machine || ref.root == Root::User) {
    hive = ref.root == Root::Machine ? Hive::Machine : Hive::User;
    path = ref.path;
    return ERROR_SUCCESS;
  }
  std::shared_ptr<const RegKey> user;
  LSTATUS status = ReadHive(Hive::User, user);
  if (status != ERROR_SUCCESS) return status;
  path = Join(kClasses, ref.path);
  hive = user->Find(path) ? Hive::User : Hive::Machine;
  return ERROR_SUCCESS;
}

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

HKEY NewHandle(Root root, std::vector<std::string> path, REGSAM access) {
  auto* open = new OpenKey{root, std::move(path), access};
  std::lock_guard<std::mutex> lock(keysMutex);
  openKeys.insert(open);
  return reinterpret_cast<HKEY>(open);
}

// Resolves an open key for a call that needs the access rights `rights` (0: none) and looks
// it up. Gives ERROR_INVALID_HANDLE, ERROR_ACCESS_DENIED, or ERROR_KEY_DELETED for a key that
// was deleted after it was opened.
LSTATUS OpenView(HKEY hKey, REGSAM rights, View& view) {
  KeyRef ref;
  if (!Resolve(hKey, ref)) return ERROR_INVALID_HANDLE;
  if ((ref.access & rights) != rights) return ERROR_ACCESS_DENIED;
  const LSTATUS status = Lookup(ref, view);
  return status == ERROR_FILE_NOT_FOUND ? ERROR_KEY_DELETED : status;
}

// Resolves an open key for a call that changes its values (it needs KEY_SET_VALUE) and finds
// the hive and path to change.
LSTATUS ValueTarget(HKEY hKey, KeyRef& ref, Hive& hive, std::vector<std::string>& path) {
  if (!Resolve(hKey, ref)) return ERROR_INVALID_HANDLE;
  if (!(ref.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  return Target(ref, hive, path);
}

DWORD CopyName(const std::string& name, LPSTR buffer, LPDWORD chars) {
  if (!buffer || !chars) return ERROR_INVALID_PARAMETER;
  if (name.size() >= *chars) return ERROR_MORE_DATA;
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  *chars = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

LSTATUS CopyData(const RegValue& value, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (type) *type = value.type;
  if (data && !size) return ERROR_INVALID_PARAMETER;
  if (!size) return ERROR_SUCCESS;
  const DWORD needed = static_cast<DWORD>(value.data.size());
  LSTATUS status = ERROR_SUCCESS;
  if (data) {
    if (*size < needed)
      status = ERROR_MORE_DATA;
    else
      std::memcpy(data, value.data.data(), needed);
  }
  *size = needed;
  return status;
}

}  // namespace

LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  KeyRef ref;
  if (!Resolve(hKey, ref)) return ERROR_INVALID_HANDLE;
  std::vector<std::string> sub = SplitKeyPath(lpSubKey ? lpSubKey : "");
  if (sub.empty() && ref.predefined) {
    *phkResult = hKey;
    return ERROR_SUCCESS;
  }
  KeyRef target{ref.root, Join(ref.path, sub), samDesired, false};
  View view;
  LSTATUS status = Lookup(target, view);
  if (status != ERROR_SUCCESS) return status;
  *phkResult = NewHandle(target.root, target.path, samDesired);
  return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD dwOptions, REGSAM samDesired,
                        const LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
  if (!phkResult || !lpSubKey) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  if (dwOptions & REG_OPTION_VOLATILE) return ERROR_INVALID_PARAMETER;  // every key is kept in the files
  KeyRef ref;
  if (!Resolve(hKey, ref)) return ERROR_INVALID_HANDLE;
  std::vector<std::string> sub = SplitKeyPath(lpSubKey);
  for (const std::string& name : sub)
    if (!IsValidKeyName(name)) return ERROR_INVALID_PARAMETER;
  if (!sub.empty() && !(ref.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
  KeyRef full{ref.root, Join(ref.path, sub), samDesired, false};
  Hive hive;
  std::vector<std::string> path;
  LSTATUS status = Target(full, hive, path);
  if (status != ERROR_SUCCESS) return status;
  // Deeper keys would only grow the file and slow every later call.
  if (path.size() > kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
  bool created = false;
  status = ModifyHive(hive, [&](RegKey& root, bool& changed) {
    RegKey* key = root.Create(path, created);
    if (created) {
      key->modified = Now();
      changed = true;
    }
    return ERROR_SUCCESS;
  });
  if (status != ERROR_SUCCESS) return status;
  if (lpdwDisposition) *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *phkResult = NewHandle(full.root, full.path, samDesired);
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY hKey) {
  if (hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CURRENT_USER || hKey == HKEY_CLASSES_ROOT) return ERROR_SUCCESS;
  auto* open = reinterpret_cast<OpenKey*>(hKey);
  {
    std::lock_guard<std::mutex> lock(keysMutex);
    if (!openKeys.erase(open)) return ERROR_INVALID_HANDLE;
  }
  delete open;
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  View view;
  LSTATUS status = OpenView(hKey, KEY_QUERY_VALUE, view);
  if (status != ERROR_SUCCESS) return status;
  const std::string name = lpValueName ? lpValueName : "";
  for (const RegKey* key : view.keys)
    if (const RegValue* value = key->FindValue(name)) return CopyData(*value, lpType, lpData, lpcbData);
  return ERROR_FILE_NOT_FOUND;
}

LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
  if (!lpData && cbData > 0) return ERROR_INVALID_PARAMETER;
  KeyRef ref;
  Hive hive;
  std::vector<std::string> path;
  const LSTATUS status = ValueTarget(hKey, ref, hive, path);
  if (status != ERROR_SUCCESS) return status;
  const std::string name = lpValueName ? lpValueName : "";
  if (name.size() > kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
  const std::string data(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0);
  return ModifyHive(hive, [&](RegKey& root, bool& changed) {
    RegKey* key = path.empty() ? &root : root.Find(path);
    if (!key) {
      if (ref.root != Root::Classes) return static_cast<LSTATUS>(ERROR_KEY_DELETED);
      bool created;  // a class key that exists only in the other hive
      key = root.Create(path, created);
    }
    key->SetValue(name, dwType, data);
    key->modified = Now();
    changed = true;
    return static_cast<LSTATUS>(ERROR_SUCCESS);
  });
}

LSTATUS RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  KeyRef ref;
  Hive hive;
  std::vector<std::string> path;
  const LSTATUS status = ValueTarget(hKey, ref, hive, path);
  if (status != ERROR_SUCCESS) return status;
  const std::string name = lpValueName ? lpValueName : "";
  return ModifyHive(hive, [&](RegKey& root, bool& changed) {
    RegKey* key = path.empty() ? &root : root.Find(path);
    if (!key || !key->DeleteValue(name)) return static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND);
    key->modified = Now();
    changed = true;
    return static_cast<LSTATUS>(ERROR_SUCCESS);
  });
}

LSTATUS RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  if (!lpSubKey) return ERROR_INVALID_PARAMETER;
  KeyRef ref;
  if (!Resolve(hKey, ref)) return ERROR_INVALID_HANDLE;
  KeyRef full{ref.root, Join(ref.path, SplitKeyPath(lpSubKey)), ref.access, false};
  if (full.path.empty()) return ERROR_ACCESS_DENIED;  // a root cannot be deleted
  Hive hive;
  std::vector<std::string> path;
  LSTATUS status = Target(full, hive, path);
  if (status != ERROR_SUCCESS) return status;
  return ModifyHive(hive, [&](RegKey& root, bool& changed) {
    RegKey* key = root.Find(path);
    if (!key) return static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND);
    if (!key->subkeys.empty()) return static_cast<LSTATUS>(ERROR_ACCESS_DENIED);  // as Windows: leaves only
    root.Remove(path);
    changed = true;
    return static_cast<LSTATUS>(ERROR_SUCCESS);
  });
}

LSTATUS RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                         LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                         LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                         PFILETIME lpftLastWriteTime) {
  View view;
  const LSTATUS status = OpenView(hKey, 0, view);
  if (status != ERROR_SUCCESS) return status;
  const auto values = MergedValues(view);
  const auto subkeys = MergedSubkeys(view);
  DWORD maxSub = 0, maxName = 0, maxData = 0;
  int64_t modified = 0;
  for (const RegKey* k : subkeys) maxSub = std::max<DWORD>(maxSub, static_cast<DWORD>(k->name.size()));
  for (const RegValue* v : values) {
    maxName = std::max<DWORD>(maxName, static_cast<DWORD>(v->name.size()));
    maxData = std::max<DWORD>(maxData, static_cast<DWORD>(v->data.size()));
  }
  for (const RegKey* k : view.keys) modified = std::max(modified, k->modified);
  if (lpClass && lpcchClass && *lpcchClass > 0) lpClass[0] = '\0';
  if (lpcchClass) *lpcchClass = 0;
  if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(subkeys.size());
  if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = maxSub;
  if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
  if (lpcValues) *lpcValues = static_cast<DWORD>(values.size());
  if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = maxName;
  if (lpcbMaxValueLen) *lpcbMaxValueLen = maxData;
  if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
  if (lpftLastWriteTime) {
    *lpftLastWriteTime = SecondsToFileTime(modified);
  }
  return ERROR_SUCCESS;
}

LSTATUS RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData) {
  View view;
  LSTATUS status = OpenView(hKey, KEY_QUERY_VALUE, view);
  if (status != ERROR_SUCCESS) return status;
  const auto values = MergedValues(view);
  if (dwIndex >= values.size()) return ERROR_NO_MORE_ITEMS;
  const RegValue& value = *values[dwIndex];
  if ((status = CopyName(value.name, lpValueName, lpcchValueName)) != ERROR_SUCCESS) return status;
  return CopyData(value, lpType, lpData, lpcbData);
}

LSTATUS RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD, LPSTR lpClass,
                      LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  View view;
  LSTATUS status = OpenView(hKey, KEY_ENUMERATE_SUB_KEYS, view);
  if (status != ERROR_SUCCESS) return status;
  const auto subkeys = MergedSubkeys(view);
  if (dwIndex >= subkeys.size()) return ERROR_NO_MORE_ITEMS;
  const RegKey& key = *subkeys[dwIndex];
  if ((status = CopyName(key.name, lpName, lpcchName)) != ERROR_SUCCESS) return status;
  if (lpClass && lpcchClass && *lpcchClass > 0) lpClass[0] = '\0';
  if (lpcchClass) *lpcchClass = 0;
  if (lpftLastWriteTime) {
    *lpftLastWriteTime = SecondsToFileTime(key.modified);
  }
  return ERROR_SUCCESS;
}
