// Directory services: the Windows, system and temporary directories, and
// creating and removing directories.
#include <cerrno>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "codepage.h"
#include "errors.h"
#include "handles.h"
#include "pathmap.h"
#include "prefix.h"
#include "tempdir.h"
#include "winapi.h"

using namespace winposix;

namespace {

// Fills a directory query after making sure the prefix exists.
UINT PrefixDirectory(const char* windowsPath, LPSTR buffer, UINT size) {
  try {
    PrefixDir();
  } catch (const std::exception& e) {
    ReportOnce(e.what());
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  return CopyOut(windowsPath, buffer, size);
}

}  // namespace

UINT GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize) { return PrefixDirectory("C:\\windows", lpBuffer, uSize); }

UINT GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize) {
  return PrefixDirectory("C:\\windows\\system32", lpBuffer, uSize);
}

DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
  try {
    CheckedTempDirUnix();
  } catch (const std::exception& e) {
    ReportOnce(e.what());
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  return CopyOut(TempDirWin() + "\\", lpBuffer, nBufferLength);
}

std::string TempDirectoryProblem() {
  try {
    CheckedTempDirUnix();
    return std::string();
  } catch (const std::exception& e) {
    std::string text;
    Utf8ToCp1252(e.what(), text, true);
    return text.empty() ? std::string("the temporary directory cannot be used") : text;
  }
}

BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
  std::string path;
  DWORD error = 0;
  if (!MapWindowsPath(lpPathName, path, error)) return Fail(error);
  if (mkdir(path.c_str(), 0777) != 0) return Fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : Win32Error(errno, path));
  return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR lpPathName) {
  std::string path;
  DWORD error = 0;
  if (!MapWindowsPath(lpPathName, path, error)) return Fail(error);
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return FailErrno(errno, path);
  if (S_ISLNK(st.st_mode)) {
    // A link to a directory is removed like a junction: the link alone.
    struct stat target;
    if (stat(path.c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) return Fail(ERROR_DIRECTORY);
    return unlink(path.c_str()) == 0 ? TRUE : FailErrno(errno, path);
  }
  if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
  if (rmdir(path.c_str()) != 0) return Fail(errno == EEXIST ? ERROR_DIR_NOT_EMPTY : Win32Error(errno, path));
  return TRUE;
}
