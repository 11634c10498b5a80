#include "Trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {
const auto kStart = std::chrono::steady_clock::now();

const char* TracePath() {
  static const char* path = std::getenv("STOWAWAY_TRACE");
  return path && *path ? path : nullptr;
}
}  // namespace

bool GuiTraceEnabled() { return TracePath() != nullptr; }

void GuiTrace(const std::string& line) {
  const char* path = TracePath();
  if (!path) return;
  if (FILE* f = std::fopen(path, "a")) {
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - kStart).count();
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::fprintf(f, "%.1f %lld.%09ld %s\n", ms, static_cast<long long>(now.tv_sec), now.tv_nsec, line.c_str());
    std::fclose(f);
  }
}

std::string GuiScreenshotPath() {
  const char* path = std::getenv("STOWAWAY_SCREENSHOT");
  return path ? path : "";
}
