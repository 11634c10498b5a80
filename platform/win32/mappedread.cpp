// On Windows mapped bytes are read in place: no mapping is registered, and every copy is a
// copy from memory.
#include <cstring>

#include "platform/mappedread.h"

void RegisterFileMapping(const void*, std::size_t, int) {}
void ForgetFileMapping(const void*) {}
bool IsReadThroughFile(const void*, std::size_t) { return false; }
void CopyMappedBytes(void* dest, const void* address, std::size_t size) { std::memcpy(dest, address, size); }
