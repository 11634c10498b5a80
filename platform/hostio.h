// The few file operations of the host's C runtime that differ between Linux and Windows, for
// programs that work on host paths (the command-line tool): open flags, directory creation,
// replacing a file by another, the mode of a new file, and the path separators.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <io.h>

#include "winapi.h"
#else
#include <unistd.h>
#endif

namespace hostio {

#ifdef _WIN32
// Binary mode, and not inherited by started programs.
constexpr int kOpenFlags = O_BINARY | O_NOINHERIT;
constexpr const char* kSeparators = "/\\";
inline int MakeDirectory(const std::string& path) { return ::mkdir(path.c_str()); }
// Replaces to by from in one step (rename() refuses an existing target on Windows).
inline bool ReplaceFile(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
// A created file gets the permissions of its directory; nothing to adjust.
inline void GiveNewFileMode(int) {}
#else
constexpr int kOpenFlags = O_CLOEXEC;
constexpr const char* kSeparators = "/";
inline int MakeDirectory(const std::string& path) { return ::mkdir(path.c_str(), 0777); }
inline bool ReplaceFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}
// mkstemp creates the file with mode 0600; gives it the usual mode for new files.
inline void GiveNewFileMode(int fd) {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
}
#endif

}  // namespace hostio
