// What both demo setup programs take from their environment: STOWAWAY_DEMO_SECONDS sets how
// long the window stays (default 8); STOWAWAY_DEMO_LOG names a file to which each start appends
// "started <pid>" (tests count the starts).
#pragma once

#include <cstdio>
#include <cstdlib>

namespace demo {

inline int Seconds() {
  const char* s = std::getenv("STOWAWAY_DEMO_SECONDS");
  const int n = s ? std::atoi(s) : 8;
  return n > 0 && n < 3600 ? n : 8;
}

inline void LogStart(unsigned long pid) {
  const char* path = std::getenv("STOWAWAY_DEMO_LOG");
  if (!path || !*path) return;
  if (FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, "started %lu\n", pid);
    std::fclose(f);
  }
}

}  // namespace demo
