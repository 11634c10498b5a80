// GetVolumeInformationA: a drive is the Linux file system that holds its
// directory (drive_c of the prefix for C:, the root for Z:).
#include "volume.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <sys/statvfs.h>

#include "errors.h"
#include "handles.h"
#include "pathmap.h"

using namespace winposix;

namespace winposix {

DWORD VolumeSerialNumber(const struct statfs& fileSystem, const struct stat& directory) {
  const DWORD fromId = static_cast<DWORD>(fileSystem.f_fsid.__val[0]) ^ static_cast<DWORD>(fileSystem.f_fsid.__val[1]);
  if (fromId != 0) return fromId;
  const auto device = static_cast<std::uint64_t>(directory.st_dev);
  return static_cast<DWORD>(device) ^ static_cast<DWORD>(device >> 32);
}

}  // namespace winposix

namespace {

// The drive root of a Windows root path: "X:\" (or "X:/"); a null root is the
// root of the current directory's drive.
bool RootPath(LPCSTR root, std::string& windowsRoot) {
  if (!root) {
    windowsRoot.assign(1, '\\');
    return true;
  }
  const std::string text(root);
  if (text.size() != 3 || !std::isalpha(static_cast<unsigned char>(text[0])) || text[1] != ':' ||
      (text[2] != '\\' && text[2] != '/'))
    return false;
  windowsRoot = text;
  return true;
}

// A directory below a drive's root, written as a root ("C:\windows\"): Windows tells it
// apart from a malformed name.
bool IsDirectoryBelowRoot(LPCSTR root) {
  if (!root) return false;
  const std::string text(root);
  const auto separator = [](char c) { return c == '\\' || c == '/'; };
  return text.size() > 3 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':' && separator(text[2]) &&
         separator(text.back());
}

// Stores a name in an optional buffer; false when the buffer is too small.
bool StoreName(const std::string& name, LPSTR buffer, DWORD size) {
  if (!buffer) return true;
  return CopyOut(name, buffer, size) == name.size();
}

}  // namespace

BOOL GetVolumeInformationA(LPCSTR lpRootPathName, LPSTR lpVolumeNameBuffer, DWORD nVolumeNameSize,
                           LPDWORD lpVolumeSerialNumber, LPDWORD lpMaximumComponentLength, LPDWORD lpFileSystemFlags,
                           LPSTR lpFileSystemNameBuffer, DWORD nFileSystemNameSize) {
  std::string windowsRoot;
  if (!RootPath(lpRootPathName, windowsRoot))
    return Fail(IsDirectoryBelowRoot(lpRootPathName) ? ERROR_DIR_NOT_ROOT : ERROR_INVALID_NAME);
  std::string unixRoot;
  DWORD error = 0;
  if (!MapWindowsPath(windowsRoot.c_str(), unixRoot, error)) return Fail(error);
  struct stat directory;
  if (stat(unixRoot.c_str(), &directory) != 0) return FailErrno(errno, unixRoot);
  if (!S_ISDIR(directory.st_mode)) return Fail(ERROR_PATH_NOT_FOUND);
  struct statfs fileSystem;
  if (statfs(unixRoot.c_str(), &fileSystem) != 0) return FailErrno(errno, unixRoot);

  // Linux volumes carry no Windows label. The file-system name is the one
  // Windows programs expect for a drive with long, case-preserved names.
  if (!StoreName("", lpVolumeNameBuffer, nVolumeNameSize) ||
      !StoreName("NTFS", lpFileSystemNameBuffer, nFileSystemNameSize))
    return Fail(ERROR_BAD_LENGTH);
  if (lpVolumeSerialNumber) *lpVolumeSerialNumber = VolumeSerialNumber(fileSystem, directory);
  if (lpMaximumComponentLength)
    *lpMaximumComponentLength = fileSystem.f_namelen > 0 ? static_cast<DWORD>(fileSystem.f_namelen) : 255;
  if (lpFileSystemFlags) {
    // Names are looked up without regard to case, as on Windows.
    DWORD flags = FILE_CASE_PRESERVED_NAMES | FILE_UNICODE_ON_DISK;
    if (fileSystem.f_flags & ST_RDONLY) flags |= FILE_READ_ONLY_VOLUME;
    *lpFileSystemFlags = flags;
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}
