// The resources inside an executable file on disk, for tools that look into an installer
// without running it: the resource section of our own ELF layout on Linux, the PE resource
// directory on Windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ExecutableResource {
    uint32_t type = 0;   // 10 = RT_RCDATA
    std::string name;    // upper case, e.g. "TFORM1"
    std::string data;
};

// True when the file is an executable of this platform's format (ELF on Linux, PE on
// Windows), whose resources ReadExecutableResources reads.
bool IsExecutableFile(const std::string& path);

// The executable's RT_RCDATA resources (on Linux every resource of its section), in
// directory order; empty when it has none. Throws std::runtime_error when the file cannot
// be read or is no such executable.
std::vector<ExecutableResource> ReadExecutableResources(const std::string& path);
