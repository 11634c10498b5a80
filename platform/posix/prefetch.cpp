// PrefetchMappedBytes over madvise: MADV_POPULATE_READ maps the pages in one call; kernels that
// do not know it are asked to read the pages ahead (MADV_WILLNEED) instead.
#include "platform/prefetch.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

void PrefetchMappedBytes(const void* address, std::size_t size) {
  if (!address || size == 0) return;
  const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::uintptr_t from = reinterpret_cast<std::uintptr_t>(address) & ~(page - 1);
  const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(address) + size;
  void* start = reinterpret_cast<void*>(from);
#ifdef MADV_POPULATE_READ
  if (madvise(start, to - from, MADV_POPULATE_READ) == 0 || errno != EINVAL) return;
#endif
  madvise(start, to - from, MADV_WILLNEED);
}
