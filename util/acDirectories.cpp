// The temporary, system and Windows directories, and environment variables.
#include <cstring>
#include <vector>

#include "acUtils.h"

namespace {

constexpr DWORD kDirectoryBufferLength = 260;

// Runs `query(buffer, length)`, an API call that returns the length it
// stored, or the length it needs (terminating zero included) when the buffer
// is too small, or 0 on failure. Returns the text up to its first zero with
// a trailing backslash, or empty when the call fails.
template <typename Query>
std::string QueryDirectory(Query query) {
  std::vector<char> buffer(kDirectoryBufferLength, '\0');
  // Longer paths than 260 characters are asked for again with the length
  // the call reported (a few times, in case the value changes meanwhile).
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD length = static_cast<DWORD>(buffer.size());
    const DWORD stored = query(buffer.data(), length);
    if (stored == 0) return std::string();
    if (stored < length) {
      std::string directory(buffer.data(), strnlen(buffer.data(), stored));
      if (directory.empty()) return directory;
      if (directory.back() != '\\') directory += '\\';
      return directory;
    }
    buffer.assign(stored + 1, '\0');
  }
  return std::string();
}

}  // namespace

std::string GetTempDir() {
  return QueryDirectory([](LPSTR buffer, DWORD length) { return GetTempPathA(length, buffer); });
}

std::string GetSystemDir() {
  return QueryDirectory(
      [](LPSTR buffer, DWORD length) { return static_cast<DWORD>(GetSystemDirectoryA(buffer, length)); });
}

std::string GetWindowsDir() {
  return QueryDirectory(
      [](LPSTR buffer, DWORD length) { return static_cast<DWORD>(GetWindowsDirectoryA(buffer, length)); });
}

int GetEnvVar(const std::string& name, std::string& value) {
  value.clear();
  DWORD needed = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  // The variable may change between asking for its size and reading it; a
  // value that grew meanwhile is asked for again rather than cut or padded.
  for (int attempt = 0; attempt < 4 && needed != 0; ++attempt) {
    std::vector<char> buffer(needed, '\0');
    const DWORD stored = GetEnvironmentVariableA(name.c_str(), buffer.data(), needed);
    if (stored < needed) {
      value.assign(buffer.data(), stored);
      return static_cast<int>(stored);
    }
    needed = stored;
  }
  return 0;
}
