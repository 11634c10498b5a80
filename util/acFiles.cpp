// Directory creation, directory tests and file sizes.
#include <cstring>

#include "acTextPrimitives.h"
#include "acUtils.h"

namespace {

// Closes a file handle or ends a search when the routine ends.
class HandleCloser {
 public:
  using Close = BOOL (*)(HANDLE);
  HandleCloser(HANDLE handle, Close close) : handle_(handle), close_(close) {}
  ~HandleCloser() { close_(handle_); }
  HandleCloser(const HandleCloser&) = delete;
  HandleCloser& operator=(const HandleCloser&) = delete;

 private:
  HANDLE handle_;
  Close close_;
};

bool IsDotEntry(const WIN32_FIND_DATAA& entry) {
  const std::size_t length = strnlen(entry.cFileName, sizeof entry.cFileName);
  const std::string name(entry.cFileName, length);
  return name == "." || name == "..";
}

}  // namespace

void CreateFilePath(const std::string& fileName) {
  const std::string path = actext::ExtractPath(fileName);
  for (std::size_t i = 0; i < path.size(); ++i)
    if (path[i] == '\\') CreateDirectoryA(path.substr(0, i + 1).c_str(), nullptr);
}

bool DirExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsDirEmpty(const std::string& directory) {
  if (!DirExists(directory)) return false;
  std::string pattern = directory;
  if (pattern.empty() || pattern.back() != '\\') pattern += '\\';
  pattern += "*.*";

  WIN32_FIND_DATAA entry;
  std::memset(&entry, 0, sizeof entry);
  const HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return false;
  HandleCloser closer(search, FindClose);
  // The first entry counts like every other: a drive's root lists no "."
  // and "..", and other file systems need not list them first.
  do {
    if (!IsDotEntry(entry)) return false;
  } while (FindNextFileA(search, &entry));
  return true;
}

std::int64_t GetFileSizeByName(const std::string& fileName) {
  const HANDLE file = CreateFileA(fileName.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  HandleCloser closer(file, CloseHandle);
  return GetFileSizeByHandle(file);
}

std::int64_t GetFileSizeByHandle(HANDLE file) {
  DWORD high = 0;
  // A low part of 0xFFFFFFFF is also a valid size; only the error code set
  // by the call tells a failure apart.
  SetLastError(NO_ERROR);
  const DWORD low = GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return -1;
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}
