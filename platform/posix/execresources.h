// The resources inside an executable file on disk, for tools that look into
// an installer without running it.
#pragma once

#include "../execresources.h"

// True when the file starts with the ELF signature.
bool IsElfExecutable(const std::string& unixPath);

// On Linux ReadExecutableResources reads a 64-bit little-endian ELF file (the resources of the
// image appended to the file when it has one, else those of its ".stowaway.rsrc" section,
// found through the section headers) or a PE32+ file, a Windows program (the resources of
// numeric type in its resource directory).
