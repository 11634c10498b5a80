// Reading the kernel's /proc texts: memory counters and processor fields.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "../winapi.h"

namespace winposix {

// The fields of /proc/meminfo ("MemTotal:  16318412 kB") by name, in bytes
// (a "kB" unit multiplied by 1024). Lines without a number are left out.
std::map<std::string, std::uint64_t> ParseMemInfo(const std::string& text);

// The memory status as GlobalMemoryStatus gives it, from the meminfo fields,
// the size of the process's user address space and how much of it the
// process has mapped. Available physical memory is MemAvailable (older
// kernels: MemFree + Buffers + Cached); the page file stands for physical
// memory plus swap; the load is the used share of physical memory in whole
// percent, rounded down.
MEMORYSTATUS MemoryStatusFrom(const std::map<std::string, std::uint64_t>& meminfo, std::uint64_t addressSpace,
                              std::uint64_t mapped);

// The "name : value" fields of the first processor block of /proc/cpuinfo
// (up to the first empty line), names and values trimmed.
std::map<std::string, std::string> FirstProcessorFields(const std::string& text);

// Family, model and stepping of an x86 processor block as Windows reports
// them: level = family, revision = model << 8 | stepping. False when the
// block lacks one of them.
bool X86LevelAndRevision(const std::map<std::string, std::string>& fields, WORD& level, WORD& revision);

// The size of the user address space of a process of this architecture.
std::uint64_t UserAddressSpaceSize();

}  // namespace winposix
