// Reading the bytes of a read-only file mapping through the file instead of through the mapping.
//
// The first touch of each mapped page costs a page-table update, and in a virtual machine often
// a trap to the host as well: reading a large mapping front to back that way takes about three
// times as long as the file's read call, which copies the same bytes from the page cache into a
// buffer the process already uses, and leaves no page of the mapping in the process.
//
// This is our own addition beside the Windows API calls. Code that maps a file registers the
// mapping; bytes of any other memory (and every mapping on Windows) are copied as they lie.
#pragma once

#include <cstddef>

// Registers the read-only mapping of size bytes at address, which maps the file open as
// descriptor fd from its first byte. The registration keeps a duplicate of the descriptor
// until ForgetFileMapping(address), which the mapping's maker calls before it unmaps it.
void RegisterFileMapping(const void* address, std::size_t size, int fd);
void ForgetFileMapping(const void* address);

// True when all size bytes at address lie in one registered mapping, so that reading them with
// CopyMappedBytes leaves the mapping's pages alone.
bool IsReadThroughFile(const void* address, std::size_t size);

// Copies size bytes at address to dest: read from the file when they lie in a registered
// mapping, else copied from memory. The bytes are the same either way. A registered file that
// cannot be read, or that was cut short after it was mapped, raises std::runtime_error (a
// std::system_error for a failed read), where touching the bytes would end the process.
void CopyMappedBytes(void* dest, const void* address, std::size_t size);
