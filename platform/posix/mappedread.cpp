// The registered file mappings, and reading their bytes with pread.
#include "platform/mappedread.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <system_error>

namespace {

struct Mapping {
  std::size_t size;
  int fd;
};

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

// Keyed by the mapping's first address.
std::map<std::uintptr_t, Mapping>& Mappings() {
  static std::map<std::uintptr_t, Mapping> mappings;
  return mappings;
}

// The registered mapping that holds all size bytes at address; false when there is none.
bool Find(const void* address, std::size_t size, Mapping& found, std::size_t& offset) {
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  std::lock_guard<std::mutex> hold(Lock());
  auto& mappings = Mappings();
  auto next = mappings.upper_bound(at);
  if (next == mappings.begin()) return false;
  const auto& [start, mapping] = *std::prev(next);
  if (at - start > mapping.size || size > mapping.size - (at - start)) return false;
  found = mapping;
  offset = at - start;
  return true;
}

}  // namespace

void RegisterFileMapping(const void* address, std::size_t size, int fd) {
  if (!address || size == 0) return;
  // A duplicate of our own: the caller may close its descriptor while the mapping lives on.
  const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (own < 0) return;  // then the bytes are copied from memory, which works as well
  std::lock_guard<std::mutex> hold(Lock());
  auto [it, added] = Mappings().emplace(reinterpret_cast<std::uintptr_t>(address), Mapping{size, own});
  if (!added) {
    ::close(it->second.fd);
    it->second = Mapping{size, own};
  }
}

void ForgetFileMapping(const void* address) {
  std::lock_guard<std::mutex> hold(Lock());
  auto& mappings = Mappings();
  auto it = mappings.find(reinterpret_cast<std::uintptr_t>(address));
  if (it == mappings.end()) return;
  ::close(it->second.fd);
  mappings.erase(it);
}

bool IsReadThroughFile(const void* address, std::size_t size) {
  Mapping m{};
  std::size_t offset = 0;
  return Find(address, size, m, offset);
}

void CopyMappedBytes(void* dest, const void* address, std::size_t size) {
  Mapping m{};
  std::size_t offset = 0;
  if (Find(address, size, m, offset)) {
    // The descriptor stays open while the mapping is registered, and its owner forgets it only
    // after the last reader of the mapping is done with it.
    auto* out = static_cast<char*>(dest);
    std::size_t done = 0;
    ssize_t n = 0;
    while (done < size) {
      n = ::pread(m.fd, out + done, size - done, static_cast<off_t>(offset + done));
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        break;
      }
    }
    if (done == size) return;
    // Touching those bytes through the mapping would end the process (SIGBUS): an error instead.
    if (n < 0) throw std::system_error(errno, std::generic_category(), "cannot read the mapped file");
    throw std::runtime_error("the mapped file ends " + std::to_string(offset + done) +
                             " bytes in: it was cut short while it was read");
  }
  std::memcpy(dest, address, size);
}
