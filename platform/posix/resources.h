// Resources carried inside a Linux executable (see also appendedimage.h: an image appended
// to the file takes the place of the linked-in section).
//
// The build links a section named ".stowaway.rsrc" into the executable (an
// assembly file that .incbin's the section image made by BuildResourceSection
// and labels its start with the global symbol `stowaway_resources`). The
// running program finds its resources through that symbol; tools find them
// in an executable file through the ELF section headers.
//
// Section layout, all integers 32-bit little-endian, offsets from the start
// of the section:
//
//   0   magic "STWYRSC1" (8 bytes)
//   8   entry count N
//   12  total size of the section image in bytes
//   16  N entries of 16 bytes: type (a number, 10 = RT_RCDATA), offset of
//       the name (NUL-terminated ASCII, stored in upper case), offset of the
//       data, size of the data
//   ... names, then the data of each entry aligned to 16 bytes
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "../resourcesection.h"

namespace winposix {

inline constexpr char kResourceSectionName[] = ".stowaway.rsrc";
inline constexpr char kResourceMagic[8] = {'S', 'T', 'W', 'Y', 'R', 'S', 'C', '1'};

struct ResourceEntry {
  uint32_t type = 0;
  std::string name;  // upper case
  const uint8_t* data = nullptr;
  uint32_t size = 0;
};

// Reads the directory of a section image. Returns false (and leaves
// `entries` empty) for a malformed image: wrong magic, offsets or sizes
// outside the image, a name without its terminator.
bool ParseResourceSection(const uint8_t* image, size_t size, std::vector<ResourceEntry>& entries);

// The directory part of a section image (header, entries, names) for resources of the given
// types, names and sizes; dataAt receives where each entry's data goes in the image (the bytes
// between the directory and the data are zero). Throws as BuildResourceSection does.
struct ResourceSpan {
  uint32_t type = 0;
  std::string name;
  size_t size = 0;
};
std::string BuildResourceDirectory(const std::vector<ResourceSpan>& spans, std::vector<size_t>& dataAt);

// The resources of the running executable (empty when it has no section).
const std::vector<ResourceEntry>& OwnResources();

}  // namespace winposix
