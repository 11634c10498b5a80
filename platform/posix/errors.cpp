#include "errors.h"

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <set>
#include <sys/stat.h>

namespace winposix {

DWORD Win32Error(int err, const std::string& unixPath) {
  switch (err) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT: {
      if (!unixPath.empty()) {
        size_t slash = unixPath.find_last_of('/');
        if (slash != std::string::npos && slash > 0) {
          struct stat st;
          std::string parent = unixPath.substr(0, slash);
          if (stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return ERROR_PATH_NOT_FOUND;
        }
      }
      return ERROR_FILE_NOT_FOUND;
    }
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
      return ERROR_ACCESS_DENIED;
    case EROFS:
      return ERROR_WRITE_PROTECT;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case ETXTBSY:
      return ERROR_SHARING_VIOLATION;
    case EBUSY:
      return ERROR_BUSY;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case EXDEV:
      return ERROR_NOT_SAME_DEVICE;
    case ENOEXEC:
      return ERROR_BAD_EXE_FORMAT;
    case ENOSYS:
    case EOPNOTSUPP:
      return ERROR_NOT_SUPPORTED;
    default:
      return ERROR_GEN_FAILURE;
  }
}

BOOL FailErrno(int err, const std::string& unixPath) {
  SetLastError(Win32Error(err, unixPath));
  return FALSE;
}

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

void ReportOnce(const std::string& message) {
  static std::mutex mutex;
  static std::set<std::string> reported;
  std::lock_guard<std::mutex> lock(mutex);
  if (reported.insert(message).second) std::fprintf(stderr, "stowaway: %s\n", message.c_str());
}

}  // namespace winposix
