// Fuzz target for the tool's whole path from a SOURCE file to disk: `stowaway list` and
// `stowaway extract` on any bytes (container, form, text form or executable). Either command
// succeeds or fails with one line and exit status 1; a failed extraction leaves nothing behind,
// and nothing is ever written outside the target directory.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "commands.h"
#include "work_directory.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzwork::Make();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path source = fuzzwork::Directory() / "source";
  const fs::path target = fuzzwork::Directory() / "target";
  std::ofstream(source, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  std::ostringstream out, err;
  int listed = RunStowaway({"list", source.string()}, out, err);
  if (listed != 0 && listed != 1) std::abort();
  int extracted = RunStowaway({"extract", source.string(), target.string()}, out, err);
  if (extracted != 0 && extracted != 1) std::abort();
  if (extracted == 1 && fs::exists(target) && !fs::is_empty(target)) std::abort();
  for (const auto& entry : fs::directory_iterator(fuzzwork::Directory())) {
    const std::string name = entry.path().filename().string();
    if (name != "source" && name != "target" && name != "prefix") std::abort();  // written outside
  }
  fs::remove_all(target);
  return 0;
}
