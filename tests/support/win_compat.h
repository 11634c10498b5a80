// The few POSIX calls the tests use for scratch directories and environment variables, over
// the Windows C runtime. Included ahead of every test source of a Windows build.
#pragma once
#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <process.h>
#include <stdlib.h>
#include <string.h>

inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && getenv(name)) return 0;
  return _putenv_s(name, value);
}
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }
// Replaces the trailing XXXXXX of the template and makes the directory.
inline char* mkdtemp(char* pattern) {
  const size_t n = strlen(pattern);
  if (n < 6 || _mktemp_s(pattern, n + 1) != 0) return nullptr;
  return _mkdir(pattern) == 0 ? pattern : nullptr;
}
#endif
