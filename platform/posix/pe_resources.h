// The resources of PE32+ executables (x86-64 Windows programs) read and written on Linux:
// the resource directory of the file's resource data directory, as a tree of types, names
// and languages.
#pragma once

#include <string>
#include <vector>

#include "execresources.h"
#include "mappedfile.h"
#include "pendingresource.h"

namespace winposix {

// True when the file starts with the MZ signature of a DOS/PE executable.
bool IsPeFile(const std::string& unixPath);

// Every resource of the PE file, for an update: views into the mapped file, which they keep
// alive. Throws std::runtime_error naming the file when it is no PE32+ file or its resource
// directory is malformed or lies outside the file.
std::vector<PendingResource> ReadPeUpdateResources(const std::string& unixPath);

// Writes the old PE file with a new resource section holding `resources` at fd (positioned at
// 0). Throws std::runtime_error for a file it cannot update, std::system_error when a write
// fails.
void WritePe(int fd, const MappedFile& old, const std::vector<PendingResource>& resources);

} // namespace winposix
