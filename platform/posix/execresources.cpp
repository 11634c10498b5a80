// Reading the resources of an executable file without loading or running it: of an ELF file
// the appended image, else the resource section found through the section headers; of a PE
// file its resource directory.
#include "execresources.h"

#include <cstring>
#include <elf.h>
#include <fstream>
#include <stdexcept>

#include "appendedimage.h"
#include "mappedfile.h"
#include "pe_resources.h"
#include "resources.h"

using namespace winposix;

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
  throw std::runtime_error(path + ": " + what);
}

// The resource section's place in the file: offset and size; size 0 when there is none.
std::pair<uint64_t, uint64_t> FindSection(const uint8_t* file, uint64_t fileSize, const std::string& path) {
  Elf64_Ehdr eh;
  if (fileSize < sizeof eh) Fail(path, "not an ELF file");
  std::memcpy(&eh, file, sizeof eh);
  if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0) Fail(path, "not an ELF file");
  if (eh.e_ident[EI_CLASS] != ELFCLASS64 || eh.e_ident[EI_DATA] != ELFDATA2LSB)
    Fail(path, "not a 64-bit little-endian ELF file");
  if (eh.e_shentsize != sizeof(Elf64_Shdr) || eh.e_shnum == 0) return {0, 0};
  if (eh.e_shoff > fileSize || uint64_t(eh.e_shnum) * sizeof(Elf64_Shdr) > fileSize - eh.e_shoff)
    Fail(path, "section headers lie outside the file");
  auto header = [&](size_t i) {
    Elf64_Shdr s;
    std::memcpy(&s, file + eh.e_shoff + i * sizeof(Elf64_Shdr), sizeof s);
    return s;
  };
  if (eh.e_shstrndx >= eh.e_shnum) Fail(path, "bad section name table index");
  const Elf64_Shdr names = header(eh.e_shstrndx);
  if (names.sh_offset > fileSize || names.sh_size > fileSize - names.sh_offset)
    Fail(path, "section name table lies outside the file");
  const char* table = reinterpret_cast<const char*>(file + names.sh_offset);
  for (size_t i = 0; i < eh.e_shnum; ++i) {
    const Elf64_Shdr s = header(i);
    const size_t want = sizeof kResourceSectionName;  // with its terminator
    if (s.sh_name >= names.sh_size || names.sh_size - s.sh_name < want ||
        std::memcmp(table + s.sh_name, kResourceSectionName, want) != 0)
      continue;
    if (s.sh_type == SHT_NOBITS || s.sh_offset > fileSize || s.sh_size > fileSize - s.sh_offset)
      Fail(path, "resource section lies outside the file");
    return {s.sh_offset, s.sh_size};
  }
  return {0, 0};
}

}  // namespace

bool IsElfExecutable(const std::string& unixPath) {
  std::ifstream in(unixPath, std::ios::binary);
  char head[4] = {};
  return in.read(head, 4) && std::memcmp(head, ELFMAG, SELFMAG) == 0;
}

bool IsExecutableFile(const std::string& path) { return IsElfExecutable(path) || IsPeFile(path); }

std::vector<ExecutableResource> ReadExecutableResources(const std::string& unixPath) {
  auto mapped = std::make_shared<const MappedFile>(unixPath);
  const uint8_t* file = mapped->data();
  const uint64_t fileSize = mapped->size();
  if (fileSize >= 2 && file[0] == 'M' && file[1] == 'Z') return winposix::ReadPeResources(mapped, unixPath);
  std::pair<uint64_t, uint64_t> place = FindSection(file, fileSize, unixPath);
  AppendedImage appended;
  try {
    if (FindAppendedImage(file, fileSize, appended)) place = {appended.offset, appended.size};
  } catch (const std::runtime_error& e) {
    Fail(unixPath, e.what());
  }
  if (place.second == 0) return {};
  std::vector<ResourceEntry> entries;
  if (!ParseResourceSection(file + place.first, place.second, entries)) Fail(unixPath, "malformed resource section");
  std::vector<ExecutableResource> result;
  result.reserve(entries.size());
  for (const ResourceEntry& e : entries)
    result.push_back({e.type, e.name, 0, std::string_view(reinterpret_cast<const char*>(e.data), e.size), mapped});
  return result;
}
