// The headers of a PE32+ executable as far as its resources concern them: where the COFF and
// optional headers and the section table lie, and each section in memory and in the file, all
// checked against the file when parsed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace winposix {

constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kSecurityDirectoryIndex = 4;

inline uint64_t AlignUp(uint64_t n, uint64_t to) { return (n + to - 1) / to * to; }

// Throws std::runtime_error naming the file.
[[noreturn]] void FailPe(const std::string& path, const std::string& what);

struct Section {
  uint32_t virtualSize = 0, va = 0, rawSize = 0, rawAt = 0;
  size_t headerAt = 0;  // of its header in the file

  // The bytes of the file the loader maps: those beyond the section's size in memory are not.
  uint32_t Mapped() const { return virtualSize ? std::min(rawSize, virtualSize) : rawSize; }
};

// The parts of the headers that the resources concern, each checked against the file.
struct PeLayout {
  size_t coffAt = 0;      // the COFF file header
  size_t optionalAt = 0;  // the optional header
  size_t sectionsAt = 0;  // the first section header
  uint32_t sectionAlignment = 0, fileAlignment = 0, sizeOfHeaders = 0;
  uint32_t resourceRva = 0, resourceSize = 0;
  uint32_t symbolTableAt = 0;
  std::vector<Section> sections;

  size_t DirectoryAt(uint32_t index) const { return optionalAt + 112 + 8 * size_t(index); }
};

// The headers of the file's `size` bytes at `file`; throws (FailPe) when they are no PE32+
// headers, lie outside the file, or place sections outside it or over one another in memory.
PeLayout ParseHeaders(const uint8_t* file, uint64_t size, const std::string& path);

// The file offset of `size` bytes at the relative virtual address, or throws when they are not
// all in one section's bytes in the file.
uint64_t RvaToOffset(const PeLayout& l, uint32_t rva, uint32_t size, const std::string& path);

}  // namespace winposix
