// Reading the resource section of an ELF executable file through its section
// headers, without loading or running it.
#include "execresources.h"

#include <cstring>
#include <elf.h>
#include <fstream>
#include <iterator>
#include <stdexcept>

using namespace winposix;

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& what)
{
    throw std::runtime_error(path + ": " + what);
}

} // namespace

bool IsElfExecutable(const std::string& unixPath)
{
    std::ifstream in(unixPath, std::ios::binary);
    char head[4] = {};
    return in.read(head, 4) && std::memcmp(head, ELFMAG, SELFMAG) == 0;
}

std::vector<ResourceEntry> ParseExecutableResources(const uint8_t* file, size_t fileSize, const std::string& path)
{
    Elf64_Ehdr eh;
    if (fileSize < sizeof eh)
        Fail(path, "not an ELF file");
    std::memcpy(&eh, file, sizeof eh);
    if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0)
        Fail(path, "not an ELF file");
    if (eh.e_ident[EI_CLASS] != ELFCLASS64 || eh.e_ident[EI_DATA] != ELFDATA2LSB)
        Fail(path, "not a 64-bit little-endian ELF file");
    if (eh.e_shentsize != sizeof(Elf64_Shdr) || eh.e_shnum == 0)
        return {};
    if (eh.e_shoff > fileSize || uint64_t(eh.e_shnum) * sizeof(Elf64_Shdr) > fileSize - eh.e_shoff)
        Fail(path, "section headers lie outside the file");
    auto section = [&](size_t i) {
        Elf64_Shdr s;
        std::memcpy(&s, file + eh.e_shoff + i * sizeof(Elf64_Shdr), sizeof s);
        return s;
    };
    if (eh.e_shstrndx >= eh.e_shnum)
        Fail(path, "bad section name table index");
    const Elf64_Shdr names = section(eh.e_shstrndx);
    if (names.sh_offset > fileSize || names.sh_size > fileSize - names.sh_offset)
        Fail(path, "section name table lies outside the file");
    const char* nameTable = reinterpret_cast<const char*>(file + names.sh_offset);
    const size_t wanted = sizeof kResourceSectionName;  // with its terminator

    for (size_t i = 0; i < eh.e_shnum; ++i) {
        const Elf64_Shdr s = section(i);
        if (s.sh_name >= names.sh_size || names.sh_size - s.sh_name < wanted ||
            std::memcmp(nameTable + s.sh_name, kResourceSectionName, wanted) != 0)
            continue;
        if (s.sh_type == SHT_NOBITS || s.sh_offset > fileSize || s.sh_size > fileSize - s.sh_offset)
            Fail(path, "resource section lies outside the file");
        // The entries point into the file's bytes, bounded by the section: none is copied.
        std::vector<ResourceEntry> entries;
        if (!ParseResourceSection(file + s.sh_offset, s.sh_size, entries))
            Fail(path, "malformed resource section");
        return entries;
    }
    return {};
}

std::vector<ExecutableResource> ReadExecutableResources(const std::string& unixPath)
{
    std::ifstream in(unixPath, std::ios::binary);
    if (!in)
        Fail(unixPath, "cannot open the file");
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<ExecutableResource> result;
    for (const ResourceEntry& e :
         ParseExecutableResources(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), unixPath))
        result.push_back({e.type, e.name, std::string(reinterpret_cast<const char*>(e.data), e.size)});
    return result;
}
