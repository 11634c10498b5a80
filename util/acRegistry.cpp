// Reading, writing and listing registry string values.
#include <algorithm>
#include <array>
#include <cstring>

#include "acUtils.h"

namespace {

constexpr DWORD kStringValueBufferSize = 1024;

// Closes a key opened by OpenRegKey when the routine that opened it ends,
// whichever way it ends.
class RegKeyCloser {
 public:
  explicit RegKeyCloser(HKEY key) : key_(key) {}
  ~RegKeyCloser() { RegCloseKey(key_); }
  RegKeyCloser(const RegKeyCloser&) = delete;
  RegKeyCloser& operator=(const RegKeyCloser&) = delete;

 private:
  HKEY key_;
};

// Far-east (double-byte) locales report value-name lengths one short on NT;
// the name buffer gets one more character there. The Linux platform works in
// Windows-1252, a single-byte code page.
bool IsFarEastLocale() {
#ifdef _WIN32
  return GetSystemMetrics(SM_DBCSENABLED) != 0;
#else
  return false;
#endif
}

}  // namespace

bool OpenRegKey(HKEY& key, const std::string& keyPath, bool create, REGSAM access) {
  const std::string path = StripLeadingChars(keyPath, '\\');
  HKEY opened = nullptr;
  LSTATUS status;
  if (create) {
    DWORD disposition = 0;
    status = RegCreateKeyExA(key, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &opened,
                             &disposition);
  } else {
    status = RegOpenKeyExA(key, path.c_str(), 0, access, &opened);
  }
  if (status != ERROR_SUCCESS) return false;
  key = opened;
  return true;
}

bool QueryRegValue(HKEY key, const std::string& valueName, DWORD valueType, void* buffer, DWORD& bufferSize) {
  DWORD type = valueType;
  const LSTATUS status =
      RegQueryValueExA(key, valueName.c_str(), nullptr, &type, static_cast<LPBYTE>(buffer), &bufferSize);
  return status == ERROR_SUCCESS && !(type == REG_SZ && bufferSize == 0);
}

bool ReadRegString(HKEY root, const std::string& keyPath, const std::string& valueName, std::string& text) {
  text.clear();
  HKEY key = root;
  if (!OpenRegKey(key, keyPath, false, KEY_READ)) return false;
  RegKeyCloser closer(key);

  std::array<char, kStringValueBufferSize> buffer{};
  DWORD size = kStringValueBufferSize;
  if (QueryRegValue(key, valueName, REG_SZ, buffer.data(), size)) {
    // Up to the first zero and never past the data, whatever the type.
    const std::size_t limit = std::min<std::size_t>(size, buffer.size());
    text.assign(buffer.data(), strnlen(buffer.data(), limit));
  }
  return true;
}

bool ReadRegString(std::string& text, HKEY root, const std::string& keyPath, const std::string& valueName) {
  return ReadRegString(root, keyPath, valueName, text);
}

void WriteRegString(HKEY root, const std::string& keyPath, const std::string& valueName, const std::string& text) {
  HKEY key = root;
  if (!OpenRegKey(key, keyPath, true, KEY_ALL_ACCESS)) return;
  RegKeyCloser closer(key);
  RegSetValueExA(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
}

bool GetRegValueNames(HKEY root, const std::string& keyPath, std::vector<std::string>& names) {
  names.clear();
  HKEY key = root;
  if (!OpenRegKey(key, keyPath, false, KEY_READ)) return false;
  RegKeyCloser closer(key);

  DWORD valueCount = 0;
  DWORD longestName = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount, &longestName, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS ||
      valueCount == 0)
    return true;

  DWORD bufferLength = longestName + 1;
  if (IsFarEastLocale() && IsWinNT()) ++bufferLength;
  std::vector<char> buffer(bufferLength, '\0');
  for (DWORD index = 0; index < valueCount; ++index) {
    // The call overwrites the length with the name's; every index starts
    // again from the full buffer.
    DWORD length = bufferLength;
    if (RegEnumValueA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      continue;
    names.emplace_back(buffer.data(), std::min<DWORD>(length, bufferLength));
  }
  return true;
}
