// File services: CreateFileA, ReadFile, WriteFile, GetFileSize, DeleteFileA, MoveFileExA,
// GetFileAttributesA and GetModuleFileNameA.
#include <cerrno>
#include <fcntl.h>
#include <limits.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "errors.h"
#include "handles.h"
#include "inuse.h"
#include "pathmap.h"
#include "winapi.h"

using namespace winposix;

namespace {

constexpr DWORD kReadRights = GENERIC_READ | GENERIC_ALL | 0x0001 /* FILE_READ_DATA */;
constexpr DWORD kWriteRights =
    GENERIC_WRITE | GENERIC_ALL | 0x0002 /* FILE_WRITE_DATA */ | 0x0004 /* FILE_APPEND_DATA */;

bool ReadOnlyMode(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

// Whether a new open (access, share) is compatible with the handles this
// process already holds on the file, by Windows' sharing rules.
bool SharingAllows(const struct stat& st, DWORD access, DWORD share) {
  const bool reads = access & kReadRights, writes = access & kWriteRights;
  for (const auto& other : OpenFilesOn(st.st_dev, st.st_ino)) {
    const bool otherReads = other->access & kReadRights;
    const bool otherWrites = other->access & kWriteRights;
    if ((reads && !(other->share & FILE_SHARE_READ)) || (writes && !(other->share & FILE_SHARE_WRITE)) ||
        (otherReads && !(share & FILE_SHARE_READ)) || (otherWrites && !(share & FILE_SHARE_WRITE)))
      return false;
  }
  return true;
}

}  // namespace

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES,
                   DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE) {
  std::string path;
  DWORD error = 0;
  if (!MapWindowsPath(lpFileName, path, error)) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  const bool reads = dwDesiredAccess & kReadRights;
  const bool writes = dwDesiredAccess & kWriteRights;

  int flags = O_CLOEXEC;
  switch (dwCreationDisposition) {
    case CREATE_NEW:
      flags |= O_CREAT | O_EXCL;
      break;
    case CREATE_ALWAYS:
      flags |= O_CREAT | O_TRUNC;
      break;
    case OPEN_EXISTING:
      break;
    case OPEN_ALWAYS:
      flags |= O_CREAT;
      break;
    case TRUNCATE_EXISTING:
      if (!writes) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
      }
      flags |= O_TRUNC;
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_HANDLE_VALUE;
  }

  struct stat st;
  const bool existed = stat(path.c_str(), &st) == 0;
  if (existed) {
    if (S_ISDIR(st.st_mode) && !(dwFlagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    if (dwCreationDisposition == CREATE_NEW) {
      SetLastError(ERROR_FILE_EXISTS);
      return INVALID_HANDLE_VALUE;
    }
    // The read-only attribute forbids writing, also to the owner (and root).
    if (ReadOnlyMode(st) && (writes || (flags & O_TRUNC))) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    if (!SharingAllows(st, dwDesiredAccess, dwShareMode)) {
      SetLastError(ERROR_SHARING_VIOLATION);
      return INVALID_HANDLE_VALUE;
    }
  }

  const bool truncates = flags & O_TRUNC;
  if (existed && S_ISDIR(st.st_mode))
    flags = O_CLOEXEC | O_RDONLY | O_DIRECTORY;
  else if (writes)
    flags |= reads ? O_RDWR : O_WRONLY;
  else if (truncates)
    flags |= reads ? O_RDWR : O_WRONLY;
  else if (reads || !existed)
    flags |= O_RDONLY;
  else
    flags = O_CLOEXEC | O_PATH;  // no access rights: attributes and size only

  const mode_t mode = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  int fd = open(path.c_str(), flags, mode);
  if (fd < 0) {
    if (errno == EEXIST && dwCreationDisposition == CREATE_NEW)
      SetLastError(ERROR_FILE_EXISTS);
    else
      SetLastError(Win32Error(errno, path));
    return INVALID_HANDLE_VALUE;
  }
  if (fstat(fd, &st) != 0) {
    int err = errno;
    close(fd);
    SetLastError(Win32Error(err));
    return INVALID_HANDLE_VALUE;
  }
  auto file = std::make_shared<FileObject>();
  file->fd = fd;
  file->access = dwDesiredAccess;
  file->share = dwShareMode;
  file->dev = st.st_dev;
  file->ino = st.st_ino;
  if (dwFlagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) file->deleteOnClose = path;
  HANDLE handle = RegisterHandle(file);
  // Windows reports an existing file that CREATE_ALWAYS or OPEN_ALWAYS opened.
  const bool reportExisting =
      existed && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS);
  SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  auto file = LookupFile(hFile);
  if (!file) return Fail(ERROR_INVALID_HANDLE);
  if (lpOverlapped || (!lpBuffer && nNumberOfBytesToWrite > 0)) return Fail(ERROR_INVALID_PARAMETER);
  if (!(file->access & kWriteRights)) return Fail(ERROR_ACCESS_DENIED);
  const char* data = static_cast<const char*>(lpBuffer);
  DWORD done = 0;
  while (done < nNumberOfBytesToWrite) {
    ssize_t n = write(file->fd, data + done, nNumberOfBytesToWrite - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
      return FailErrno(err);
    }
    done += static_cast<DWORD>(n);
  }
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
  return TRUE;
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  auto file = LookupFile(hFile);
  if (!file) return Fail(ERROR_INVALID_HANDLE);
  if (lpOverlapped || (!lpBuffer && nNumberOfBytesToRead > 0)) return Fail(ERROR_INVALID_PARAMETER);
  if (!(file->access & kReadRights)) return Fail(ERROR_ACCESS_DENIED);
  char* data = static_cast<char*>(lpBuffer);
  DWORD done = 0;
  while (done < nNumberOfBytesToRead) {
    ssize_t n = read(file->fd, data + done, nNumberOfBytesToRead - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
      return FailErrno(err);
    }
    if (n == 0) break;
    done += static_cast<DWORD>(n);
  }
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
  return TRUE;
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  auto file = LookupFile(hFile);
  if (!file) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  struct stat st;
  if (fstat(file->fd, &st) != 0) {
    SetLastError(Win32Error(errno));
    return INVALID_FILE_SIZE;
  }
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  // A size whose low part is 0xFFFFFFFF is told from a failure by the last error.
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

namespace {

// Why Windows would refuse to delete or replace the file at path (0 when it would not): it is
// read-only, a running program, or open without leave to delete it.
DWORD RemovalRefused(const std::string& path, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return ERROR_ACCESS_DENIED;
  if (!S_ISREG(st.st_mode)) return 0;
  if (ReadOnlyMode(st)) return ERROR_ACCESS_DENIED;
  // Handles of this process that allow deletion do not keep the file.
  std::set<int> ignored;
  for (const auto& open : OpenFilesOn(st.st_dev, st.st_ino))
    if (open->share & FILE_SHARE_DELETE) ignored.insert(open->fd);
  switch (FindFileUse(path, st, ignored)) {
    case FileUse::Executed:
      return ERROR_ACCESS_DENIED;
    case FileUse::Open:
      return ERROR_SHARING_VIOLATION;
    case FileUse::None:
      break;
  }
  return 0;
}

}  // namespace

BOOL DeleteFileA(LPCSTR lpFileName) {
  std::string path;
  DWORD error = 0;
  if (!MapWindowsPath(lpFileName, path, error)) return Fail(error);
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return FailErrno(errno, path);
  if (DWORD refused = RemovalRefused(path, st)) return Fail(refused);
  if (unlink(path.c_str()) != 0) return FailErrno(errno, path);
  return TRUE;
}

BOOL MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags) {
  std::string from, to;
  DWORD error = 0;
  if (!MapWindowsPath(lpExistingFileName, from, error) || !MapWindowsPath(lpNewFileName, to, error)) return Fail(error);
  struct stat st;
  if (lstat(from.c_str(), &st) != 0) return FailErrno(errno, from);
  if (DWORD refused = RemovalRefused(from, st); refused && !S_ISDIR(st.st_mode)) return Fail(refused);
  if (lstat(to.c_str(), &st) == 0) {
    if (!(dwFlags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS);
    // The new name replaces what stands there (a link is replaced, not followed), unless
    // Windows would keep it: a directory, a read-only file, a file in use.
    if (DWORD refused = RemovalRefused(to, st)) return Fail(refused);
  }
  if (rename(from.c_str(), to.c_str()) != 0) return FailErrno(errno, to);
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR lpFileName) {
  std::string path;
  DWORD error = 0;
  if (!MapWindowsPath(lpFileName, path, error)) {
    SetLastError(error);
    return INVALID_FILE_ATTRIBUTES;
  }
  // A link answers for itself, as a reparse point, with the kind of what it points at (a
  // dangling one as a file).
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) {
    SetLastError(Win32Error(errno, path));
    return INVALID_FILE_ATTRIBUTES;
  }
  const bool link = S_ISLNK(st.st_mode);
  if (link && stat(path.c_str(), &st) != 0) st.st_mode = S_IFREG | 0666;
  DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (link) attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  if (!S_ISDIR(st.st_mode) && ReadOnlyMode(st)) attributes |= FILE_ATTRIBUTE_READONLY;
  size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && path[slash + 1] == '.') attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes;
}

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  if (hModule) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  char exe[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n < 0) {
    SetLastError(Win32Error(errno));
    return 0;
  }
  std::string windowsPath;
  DWORD error = 0;
  if (!MapUnixPath(std::string(exe, n), windowsPath, error)) {
    SetLastError(error);
    return 0;
  }
  if (!lpFilename || nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  // Too small a buffer receives the truncated path with its terminator.
  if (windowsPath.size() >= nSize) {
    windowsPath.copy(lpFilename, nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  windowsPath.copy(lpFilename, windowsPath.size());
  lpFilename[windowsPath.size()] = '\0';
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(windowsPath.size());
}
