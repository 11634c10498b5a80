#include "descriptorio.h"

#include <cerrno>

#include "hostio.h"

namespace winposix {

int DescriptorReadAll(int fd, std::string& out) {
  char buffer[65536];
  for (;;) {
    const auto n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return 0;
    out.append(buffer, static_cast<size_t>(n));
  }
}

int DescriptorWriteAll(int fd, const void* data, size_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    // At most 1 MiB a call: larger writes gain nothing and some systems cap them anyway.
    const auto n = ::write(fd, at, static_cast<unsigned>(size < (size_t{1} << 20) ? size : (size_t{1} << 20)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    at += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

}  // namespace winposix
