// The resources inside an executable file on disk, for tools that look into an installer
// without running it: those our ELF executables carry on Linux, the PE resource directory on
// Windows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct ExecutableResource {
  uint32_t type = 0;      // 10 = RT_RCDATA
  std::string name;       // upper case, e.g. "TFORM1"
  uint16_t language = 0;  // of a PE file's resource; 0 in our ELF files
  std::string_view data;  // the bytes in the mapped file, valid while `file` lives
  std::shared_ptr<const void> file;
};

// True when the file is an executable of this platform's format (ELF on Linux, PE on
// Windows), whose resources ReadExecutableResources reads.
bool IsExecutableFile(const std::string& path);

// The executable's resources in directory order (on Windows its RT_RCDATA ones); empty when
// it has none. The file is mapped, not read: every entry is a view into the mapping, which
// the entries keep alive, so entries that share their data cost nothing. Throws
// std::runtime_error when the file cannot be read, is no such executable, or its resources
// are malformed or lie outside the file.
std::vector<ExecutableResource> ReadExecutableResources(const std::string& path);
