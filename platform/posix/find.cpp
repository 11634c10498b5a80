// Directory searches: FindFirstFileA, FindNextFileA, FindClose.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <dirent.h>
#include <sys/stat.h>

#include "codepage.h"
#include "errors.h"
#include "handles.h"
#include "pathmap.h"
#include "prefix.h"
#include "winapi.h"

using namespace winposix;

namespace {

// Windows' wildcard match without regard to case: '*' any run of
// characters, '?' one character. A pattern ending in ".*" also matches names
// without a dot, so "*.*" matches every name.
bool WildcardMatch(const char* pattern, const char* name) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') {
    while (*pattern == '*') ++pattern;
    if (*pattern == '\0') return true;
    for (const char* n = name;; ++n) {
      if (WildcardMatch(pattern, n)) return true;
      if (*n == '\0') return false;
    }
  }
  if (*name == '\0') return std::strcmp(pattern, ".*") == 0 || std::strcmp(pattern, ".") == 0;
  if (*pattern == '?' || FoldCase(*pattern) == FoldCase(*name)) return WildcardMatch(pattern + 1, name + 1);
  return false;
}

FILETIME ToFileTime(const struct timespec& ts) {
  // 100-nanosecond intervals since 1601-01-01.
  const uint64_t ticks =
      (static_cast<uint64_t>(ts.tv_sec) + 11644473600ULL) * 10000000ULL + static_cast<uint64_t>(ts.tv_nsec) / 100;
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

bool MakeEntry(const std::string& windowsName, const std::string& unixPath, WIN32_FIND_DATAA& data) {
  struct stat st;
  if (stat(unixPath.c_str(), &st) != 0 && lstat(unixPath.c_str(), &st) != 0) return false;
  if (windowsName.size() >= MAX_PATH) return false;
  std::memset(&data, 0, sizeof data);
  if (S_ISDIR(st.st_mode)) {
    data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
  } else {
    data.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    if (!(st.st_mode & S_IWUSR)) data.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size);
  }
  if (windowsName[0] == '.' && windowsName != "." && windowsName != "..")
    data.dwFileAttributes |= FILE_ATTRIBUTE_HIDDEN;
  data.ftCreationTime = ToFileTime(st.st_ctim);
  data.ftLastAccessTime = ToFileTime(st.st_atim);
  data.ftLastWriteTime = ToFileTime(st.st_mtim);
  std::memcpy(data.cFileName, windowsName.c_str(), windowsName.size() + 1);
  return true;
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
  if (!lpFileName || !lpFindFileData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string directory, pattern;
  SplitWindowsPath(lpFileName, directory, pattern);
  if (pattern.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::string unixDir;
  DWORD error = 0;
  if (!MapWindowsPath(directory.empty() ? "." : directory.c_str(), unixDir, error)) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  DIR* d = opendir(unixDir.c_str());
  if (!d) {
    SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : Win32Error(errno, unixDir));
    return INVALID_HANDLE_VALUE;
  }
  std::vector<std::pair<std::string, std::string>> names;  // Windows name, Unix name
  while (struct dirent* e = readdir(d)) {
    std::string name;
    Utf8ToCp1252(e->d_name, name, true);
    names.emplace_back(name, e->d_name);
  }
  closedir(d);
  // "." and ".." first, as Windows lists them, and the rest sorted by name.
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
    auto rank = [](const std::string& n) { return n == "." ? 0 : n == ".." ? 1 : 2; };
    if (rank(a.first) != rank(b.first)) return rank(a.first) < rank(b.first);
    return FoldCase(a.first) < FoldCase(b.first);
  });
  // A drive's root has no "." and "..".
  bool isRoot = unixDir == "/";
  try {
    isRoot = isRoot || unixDir == DriveCDir();
  } catch (const std::exception&) {}
  auto search = std::make_shared<FindObject>();
  for (const auto& [windowsName, unixName] : names) {
    if (isRoot && (windowsName == "." || windowsName == "..")) continue;
    if (!WildcardMatch(pattern.c_str(), windowsName.c_str())) continue;
    WIN32_FIND_DATAA data;
    std::string unixPath = unixDir == "/" ? "/" + unixName : unixDir + "/" + unixName;
    if (MakeEntry(windowsName, unixPath, data)) search->entries.push_back(data);
  }
  if (search->entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  *lpFindFileData = search->entries[0];
  search->next = 1;
  SetLastError(ERROR_SUCCESS);
  return RegisterHandle(search);
}

BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
  auto search = LookupFind(hFindFile);
  if (!search) return Fail(ERROR_INVALID_HANDLE);
  if (!lpFindFileData) return Fail(ERROR_INVALID_PARAMETER);
  if (search->next >= search->entries.size()) return Fail(ERROR_NO_MORE_FILES);
  *lpFindFileData = search->entries[search->next++];
  return TRUE;
}

BOOL FindClose(HANDLE hFindFile) {
  if (!LookupFind(hFindFile) || !ReleaseHandle(hFindFile)) return Fail(ERROR_INVALID_HANDLE);
  return TRUE;
}
