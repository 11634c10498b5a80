// Why the user's temporary directory cannot be used, on Windows: the directory GetTempPathA
// names must exist, be a directory and not be a link (a junction or symbolic link could send
// the unpacked files elsewhere). Windows keeps %TEMP% per user by its access rights.
#include "tempdir.h"

#include "winapi.h"

std::string TempDirectoryProblem() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof path, path);
  if (length == 0 || length > sizeof path) return "the system names no temporary directory";
  const std::string dir(path, length);
  const DWORD attributes = GetFileAttributesA(dir.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return "the temporary directory " + dir + " does not exist (error " + std::to_string(GetLastError()) + ")";
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return "the temporary directory " + dir + " is not a directory";
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return "the temporary directory " + dir + " is a link";
  return std::string();
}
