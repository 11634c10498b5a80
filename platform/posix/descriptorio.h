// Whole reads and writes on an open file descriptor, retrying short transfers and EINTR.
#pragma once

#include <cstddef>
#include <string>

namespace winposix {

// Appends everything from the descriptor's position to its end; 0 or the errno value.
int DescriptorReadAll(int fd, std::string& out);

// Writes all of data at the descriptor's position; 0 or the errno value.
int DescriptorWriteAll(int fd, const void* data, size_t size);

}  // namespace winposix
