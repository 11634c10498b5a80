// Windows paths (drive letters, backslashes, Windows-1252) to Unix paths and back.
#pragma once

#include <string>

#include "../winapi.h"

namespace winposix {

// Maps a Windows path to a Unix path: C: is the prefix's drive_c, Z: the Unix
// root, "\x" the root of the current directory's drive, other paths are
// relative to the current directory. "." and ".." are resolved by name, every
// component that exists is looked up without regard to case, and trailing
// dots and blanks of the last component are dropped, as Windows does.
// On failure returns false with a Win32 error code (ERROR_PATH_NOT_FOUND for
// an unknown drive, ERROR_INVALID_NAME for a wildcard or other character
// that Windows forbids in a name, ERROR_BAD_PATHNAME for UNC paths).
bool MapWindowsPath(const char* windowsPath, std::string& unixPath, DWORD& error);

// Maps a Unix path to its Windows form (C:\... below drive_c, else Z:\...).
bool MapUnixPath(const std::string& unixPath, std::string& windowsPath, DWORD& error);

// The file-name part of a Windows path and the rest (with its final
// separator), for search patterns: "C:\a\*.txt" gives "C:\a\" and "*.txt".
void SplitWindowsPath(const std::string& windowsPath, std::string& directory, std::string& name);

}  // namespace winposix
