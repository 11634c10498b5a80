// The resources inside an executable file on disk, for tools that look into
// an installer without running it.
#pragma once

#include "../execresources.h"

// True when the file starts with the ELF signature.
bool IsElfExecutable(const std::string& unixPath);

// Reads the ".stowaway.rsrc" section of a 64-bit little-endian ELF file
// through its section headers and returns its resources in directory order;
// empty when the file has no such section. Throws std::runtime_error when
// the file cannot be read, is no such ELF file, or its section is malformed.
std::vector<ExecutableResource> ReadExecutableResources(const std::string& unixPath);
