// The resources inside an executable file on disk, for tools that look into
// an installer without running it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resources.h"

struct ExecutableResource {
    uint32_t type = 0;   // 10 = RT_RCDATA
    std::string name;    // upper case, e.g. "TFORM1"
    std::string data;
};

// True when the file starts with the ELF signature.
bool IsElfExecutable(const std::string& unixPath);

// The resources of the ".stowaway.rsrc" section of a 64-bit little-endian ELF file held in
// memory (mapped), in directory order; each entry points into the file's bytes and lies within
// them. Empty when the file has no such section; throws std::runtime_error naming path for a
// file that is no such ELF file or whose section is malformed.
std::vector<winposix::ResourceEntry> ParseExecutableResources(const uint8_t* file, size_t size,
                                                              const std::string& path);

// Reads the ".stowaway.rsrc" section of a 64-bit little-endian ELF file
// through its section headers and returns its resources in directory order;
// empty when the file has no such section. Throws std::runtime_error when
// the file cannot be read, is no such ELF file, or its section is malformed.
std::vector<ExecutableResource> ReadExecutableResources(const std::string& unixPath);
