// Fuzz target for the resources of executable files (PE and ELF): any bytes are read, or refused
// with std::runtime_error; a file whose resources can be updated is updated (one resource given,
// one produced in pieces with a patch) and must read back with both, whatever else it held.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/hostpath.h"
#include "platform/posix/execresources.h"
#include "platform/producedresource.h"
#include "platform/winapi.h"
#include "platform/win/winresource.h"
#include "work_directory.h"

namespace fs = std::filesystem;

namespace {

bool ReadBack(const std::string& path, const std::string& given, const std::string& produced) {
  bool haveGiven = false, haveProduced = false;
  for (const ExecutableResource& r : ReadExecutableResources(path)) {
    haveGiven |= r.type == 10 && r.name == "FUZZ" && r.data == given;
    haveProduced |= r.type == 10 && r.name == "MADE" && r.data == produced;
  }
  return haveGiven && haveProduced;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzwork::Make();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = (fuzzwork::Directory() / "program").string();
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  try {
    ReadExecutableResources(path);
  } catch (const std::runtime_error&) {}
  HANDLE h = BeginUpdateResourceA(UnixPathToWindows(path).c_str(), FALSE);
  if (!h) return 0;
  std::string given = "given", produced(70000, 'p');
  produced.replace(0, 4, "MADE");
  if (!UpdateResourceA(h, RT_RCDATA, "FUZZ", 0, given.data(), static_cast<DWORD>(given.size())) ||
      !UpdateResourceProducedA(h, RT_RCDATA, "MADE", 0, [](ResourceSink& s) {
        s.Write("....", 4);
        s.Write(std::string(69996, 'p').data(), 69996);
        s.Patch(0, "MADE", 4);
      }))
    std::abort();
  // A file whose update cannot be written (no room for a section) is refused, never damaged.
  if (!EndUpdateResourceA(h, FALSE)) return 0;
  try {
    if (!ReadBack(path, given, produced)) std::abort();
  } catch (const std::runtime_error& e) {
    std::fprintf(stderr, "updated file refused: %s\n", e.what());
    std::abort();  // an update wrote a file its own reader refuses
  }
  return 0;
}
