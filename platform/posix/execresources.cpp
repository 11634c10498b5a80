// Reading the resource section of an ELF executable file through its section
// headers, without loading or running it.
#include "execresources.h"

#include <cstring>
#include <elf.h>
#include <fstream>
#include <stdexcept>

#include "resources.h"

using namespace winposix;

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& what)
{
    throw std::runtime_error(path + ": " + what);
}

void ReadAt(std::ifstream& in, const std::string& path, uint64_t offset, void* buffer, uint64_t size)
{
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    if (!in.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size)))
        Fail(path, "truncated ELF file");
}

} // namespace

bool IsElfExecutable(const std::string& unixPath)
{
    std::ifstream in(unixPath, std::ios::binary);
    char head[4] = {};
    return in.read(head, 4) && std::memcmp(head, ELFMAG, SELFMAG) == 0;
}

bool IsExecutableFile(const std::string& path)
{
    return IsElfExecutable(path);
}

std::vector<ExecutableResource> ReadExecutableResources(const std::string& unixPath)
{
    std::ifstream in(unixPath, std::ios::binary);
    if (!in)
        Fail(unixPath, "cannot open the file");
    in.seekg(0, std::ios::end);
    const uint64_t fileSize = static_cast<uint64_t>(in.tellg());
    Elf64_Ehdr eh;
    if (fileSize < sizeof eh)
        Fail(unixPath, "not an ELF file");
    ReadAt(in, unixPath, 0, &eh, sizeof eh);
    if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0)
        Fail(unixPath, "not an ELF file");
    if (eh.e_ident[EI_CLASS] != ELFCLASS64 || eh.e_ident[EI_DATA] != ELFDATA2LSB)
        Fail(unixPath, "not a 64-bit little-endian ELF file");
    if (eh.e_shentsize != sizeof(Elf64_Shdr) || eh.e_shnum == 0)
        return {};
    if (eh.e_shoff > fileSize || uint64_t(eh.e_shnum) * sizeof(Elf64_Shdr) > fileSize - eh.e_shoff)
        Fail(unixPath, "section headers lie outside the file");
    std::vector<Elf64_Shdr> sections(eh.e_shnum);
    ReadAt(in, unixPath, eh.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr));
    if (eh.e_shstrndx >= sections.size())
        Fail(unixPath, "bad section name table index");
    const Elf64_Shdr& names = sections[eh.e_shstrndx];
    if (names.sh_offset > fileSize || names.sh_size > fileSize - names.sh_offset)
        Fail(unixPath, "section name table lies outside the file");
    std::string nameTable(names.sh_size, '\0');
    ReadAt(in, unixPath, names.sh_offset, nameTable.data(), nameTable.size());

    for (const Elf64_Shdr& s : sections) {
        if (s.sh_name >= nameTable.size())
            continue;
        if (std::strcmp(nameTable.c_str() + s.sh_name, kResourceSectionName) != 0 ||
            nameTable.find('\0', s.sh_name) == std::string::npos)
            continue;
        if (s.sh_type == SHT_NOBITS || s.sh_offset > fileSize || s.sh_size > fileSize - s.sh_offset)
            Fail(unixPath, "resource section lies outside the file");
        std::string image(s.sh_size, '\0');
        ReadAt(in, unixPath, s.sh_offset, image.data(), image.size());
        std::vector<ResourceEntry> entries;
        const auto* bytes = reinterpret_cast<const uint8_t*>(image.data());
        if (!ParseResourceSection(bytes, image.size(), entries))
            Fail(unixPath, "malformed resource section");
        std::vector<ExecutableResource> result;
        for (const ResourceEntry& e : entries)
            result.push_back({e.type, e.name, std::string(reinterpret_cast<const char*>(e.data), e.size)});
        return result;
    }
    return {};
}
