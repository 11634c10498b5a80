// The resources inside an executable file on disk, for tools that look into
// an installer without running it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct ExecutableResource {
    uint32_t type = 0;        // 10 = RT_RCDATA
    std::string name;         // upper case, e.g. "TFORM1"
    uint16_t language = 0;    // of a PE file's resource; 0 in our ELF files
    std::string_view data;    // the bytes in the mapped file, valid while `file` lives
    std::shared_ptr<const void> file;
};

// True when the file starts with the ELF signature.
bool IsElfExecutable(const std::string& unixPath);

// The resources of a 64-bit little-endian ELF file, in directory order: those of the image
// appended to the file when it has one, else those of its ".stowaway.rsrc" section (found
// through the section headers); empty when it has neither. Of a PE32+ file (a Windows
// program) the resources of numeric type in its resource directory. The file is mapped, not read:
// every entry is a view into the mapping, which the entries keep alive, so entries that
// share their data cost nothing. Throws std::runtime_error when the file cannot be read,
// is no such ELF or PE file, or its resources are malformed or lie outside the file.
std::vector<ExecutableResource> ReadExecutableResources(const std::string& unixPath);
