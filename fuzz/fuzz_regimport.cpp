// Fuzz target for REGEDIT4 import: any input is either refused with a
// runtime_error (and changes nothing) or applied into trees that keep the
// registry's limits and that the hive file format writes and reads back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/posix/regformat.h"
#include "platform/posix/regimport.h"

namespace {

// The seeded trees: a few keys the import can meet, in both hives.
std::unique_ptr<winposix::RegKey> Seed() {
  auto root = std::make_unique<winposix::RegKey>();
  bool created = false;
  root->Create({"Software", "Classes", "htmlfile", "shell", "open", "command"}, created)
      ->SetValue("", REG_SZ, std::string("\"C:\\browser.exe\" %1\0", 21));
  root->Create({"Software", "Vexil"}, created)->SetValue("Path", REG_SZ, std::string("C:\\x\0", 5));
  return root;
}

void CheckLimits(const winposix::RegKey& key, size_t depth) {
  if (depth > winposix::kMaxKeyDepth) std::abort();
  for (const winposix::RegValue& v : key.values)
    if (v.name.size() > winposix::kMaxValueNameLength) std::abort();
  for (const auto& [folded, child] : key.subkeys) {
    if (!winposix::IsValidKeyName(child->name)) std::abort();
    CheckLimits(*child, depth + 1);
  }
}

void CheckStored(const winposix::RegKey& root) {
  CheckLimits(root, 0);
  const std::string written = winposix::WriteWineRegistry(root, "\\Machine");
  auto again = winposix::ParseWineRegistry(written);  // must not throw
  if (winposix::WriteWineRegistry(*again, "\\Machine") != written) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  auto machine = Seed(), user = Seed();
  const std::string machineBefore = winposix::WriteWineRegistry(*machine, "\\Machine");
  const std::string userBefore = winposix::WriteWineRegistry(*user, "\\Machine");
  bool machineChanged = false, userChanged = false;
  try {
    winposix::ApplyRegImport(text, *machine, *user, machineChanged, userChanged);
  } catch (const std::runtime_error&) {
    // Refused: all or nothing.
    if (machineChanged || userChanged || winposix::WriteWineRegistry(*machine, "\\Machine") != machineBefore ||
        winposix::WriteWineRegistry(*user, "\\Machine") != userBefore)
      std::abort();
    return 0;
  }
  CheckStored(*machine);
  CheckStored(*user);
  return 0;
}
