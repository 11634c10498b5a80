// The resources of PE32+ executables (x86-64 Windows programs) read and written on Linux:
// the resource directory of the file's resource data directory, as a tree of types, names
// and languages.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "execresources.h"
#include "mappedfile.h"
#include "pendingresource.h"

namespace winposix {

// True when the file starts with the MZ signature of a DOS/PE executable.
bool IsPeFile(const std::string& unixPath);

// The resources of numeric type of the PE file in the mapping, in directory order (type,
// name, language), as views into the mapping, which they keep alive. Names are "#n" for
// numbers, else their text in UTF-8. Throws std::runtime_error naming the file when it is no
// PE32+ file or its resource directory is malformed or points outside the file.
std::vector<ExecutableResource> ReadPeResources(const std::shared_ptr<const MappedFile>& mapped,
                                                const std::string& unixPath);

// Every resource of the PE file (named types too), for an update: views into the mapped
// file, which they keep alive; the caller copies what it keeps. Throws std::runtime_error
// naming the file when it is no PE32+ file or its resource directory is malformed or lies
// outside the file.
std::vector<PendingResource> ReadPeUpdateResources(const std::string& unixPath);

// Writes the old PE file with a new resource section holding `resources` at fd (positioned at
// 0): the resource section is rewritten in place when it is the file's last section, else a
// new one goes behind the last section (the old one stays unused, renamed ".oldrsrc"), so no
// other section moves. SizeOfImage and the resource data directory are set, the checksum is cleared and a
// signature (which the change breaks) is dropped; bytes behind the sections (a symbol table)
// follow the new section. Throws std::runtime_error for a file it cannot update (no room for
// another section header), std::system_error when a write fails.
void WritePe(int fd, const MappedFile& old, const std::vector<PendingResource>& resources);

}  // namespace winposix
