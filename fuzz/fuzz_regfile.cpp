// Fuzz target for the registry file reader: any input is either rejected with
// RegFormatError or parsed into a tree that writes out and reads back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/posix/regformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<winposix::RegKey> root;
  try {
    root = winposix::ParseWineRegistry(text);
  } catch (const winposix::RegFormatError&) {
    return 0;
  }
  const std::string written = winposix::WriteWineRegistry(*root, "\\Machine");
  auto again = winposix::ParseWineRegistry(written);  // must not throw
  if (winposix::WriteWineRegistry(*again, "\\Machine") != written) std::abort();
  return 0;
}
