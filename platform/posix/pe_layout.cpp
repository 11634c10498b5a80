#include "pe_layout.h"

#include <cstring>
#include <stdexcept>

#include "littleendian.h"

namespace winposix {

[[noreturn]] void FailPe(const std::string& path, const std::string& what) {
  throw std::runtime_error(path + ": " + what);
}

PeLayout ParseHeaders(const uint8_t* file, uint64_t size, const std::string& path) {
  PeLayout l;
  if (size < 64 || file[0] != 'M' || file[1] != 'Z') FailPe(path, "not a PE executable");
  const uint32_t peAt = Get32(file + 0x3C);
  if (peAt > size || size - peAt < 24 || std::memcmp(file + peAt, "PE\0\0", 4) != 0)
    FailPe(path, "not a PE executable (no PE header inside the file)");
  l.coffAt = peAt + 4;
  const uint16_t count = Get16(file + l.coffAt + 2);
  const uint16_t optionalSize = Get16(file + l.coffAt + 16);
  l.symbolTableAt = Get32(file + l.coffAt + 8);
  l.optionalAt = l.coffAt + 20;
  if (optionalSize < 112 + 8 * (kSecurityDirectoryIndex + 1) || optionalSize > size - l.optionalAt)
    FailPe(path, "the optional header lies outside the file or is too short");
  const uint8_t* opt = file + l.optionalAt;
  if (Get16(opt) != 0x20B) FailPe(path, "not a 64-bit (PE32+) executable");
  if (Get32(opt + 108) <= kSecurityDirectoryIndex) FailPe(path, "the optional header lists too few data directories");
  l.sectionAlignment = Get32(opt + 32);
  l.fileAlignment = Get32(opt + 36);
  l.sizeOfHeaders = Get32(opt + 60);
  auto powerOfTwo = [](uint32_t v) { return v != 0 && (v & (v - 1)) == 0; };
  if (!powerOfTwo(l.fileAlignment) || !powerOfTwo(l.sectionAlignment) || l.fileAlignment > l.sectionAlignment ||
      l.fileAlignment > 0x10000 || l.sizeOfHeaders > size)
    FailPe(path, "bad section or file alignment in the optional header");
  l.resourceRva = Get32(file + l.DirectoryAt(kResourceDirectoryIndex));
  l.resourceSize = Get32(file + l.DirectoryAt(kResourceDirectoryIndex) + 4);
  l.sectionsAt = l.optionalAt + optionalSize;
  if (uint64_t(count) * kSectionHeaderSize > size - l.sectionsAt)
    FailPe(path, "the section headers lie outside the file");
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* h = file + l.sectionsAt + size_t(i) * kSectionHeaderSize;
    Section s;
    s.virtualSize = Get32(h + 8);
    s.va = Get32(h + 12);
    s.rawSize = Get32(h + 16);
    s.rawAt = Get32(h + 20);
    s.headerAt = l.sectionsAt + size_t(i) * kSectionHeaderSize;
    if (s.rawSize != 0 && (s.rawAt > size || s.rawSize > size - s.rawAt))
      FailPe(path, "a section lies outside the file");
    // As the loader requires, sections follow one another in memory without overlapping, so
    // that an address belongs to one section only (else the resource data read back would
    // depend on which section is looked at first).
    if (!l.sections.empty()) {
      const Section& p = l.sections.back();
      if (s.va < AlignUp(uint64_t(p.va) + (p.virtualSize ? p.virtualSize : p.rawSize), l.sectionAlignment))
        FailPe(path, "the sections overlap in memory or are out of order");
    }
    l.sections.push_back(s);
  }
  return l;
}

uint64_t RvaToOffset(const PeLayout& l, uint32_t rva, uint32_t size, const std::string& path) {
  for (const Section& s : l.sections)
    if (rva >= s.va && rva - s.va < s.Mapped() && size <= s.Mapped() - (rva - s.va))
      return uint64_t(s.rawAt) + (rva - s.va);
  FailPe(path, "resource data lies outside the file's sections");
}

}  // namespace winposix
