// Bringing the pages of a stretch of mapped memory in at once, ahead of a reader that will touch
// them soon: taking them one page fault at a time costs more, most of all in a virtual machine.
//
// This is our own addition beside the Windows API calls. It is only a hint: nothing is
// reported, the bytes do not change, and where the system cannot do it (Linux before 5.14,
// Windows before 8) nothing happens.
#pragma once

#include <cstddef>

void PrefetchMappedBytes(const void* address, std::size_t size);
