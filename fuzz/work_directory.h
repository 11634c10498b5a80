// The private directory a fuzz target writes its files in: made once at start, with the
// platform layer's prefix inside it, and removed when the fuzzer ends normally (after a crash
// it stays, with the input's files, for a look).
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzzwork {

inline std::filesystem::path& Directory() {
  static std::filesystem::path dir;
  return dir;
}

inline void Make() {
  std::string dir = (std::filesystem::temp_directory_path() / "stowaway-fuzz-XXXXXX").string();
  if (!mkdtemp(dir.data())) std::abort();
  Directory() = dir;
  setenv("STOWAWAY_PREFIX", (Directory() / "prefix").c_str(), 1);
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(Directory(), ignored);
  });
}

}  // namespace fuzzwork
