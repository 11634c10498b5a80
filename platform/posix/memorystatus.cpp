// GlobalMemoryStatus over /proc/meminfo and the process's own mappings.
#include <sys/resource.h>
#include <unistd.h>

#include <sstream>
#include <stdexcept>

#include "procinfo.h"
#include "wholefile.h"
#include "winapi.h"

using namespace winposix;

namespace {

// The address space the process may use: the architecture's user space, or
// less when a resource limit caps it.
std::uint64_t AddressSpaceLimit() {
  std::uint64_t size = UserAddressSpaceSize();
  struct rlimit limit;
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < size)
    size = limit.rlim_cur;
  return size;
}

// Bytes of address space the process has mapped (the first field of
// /proc/self/statm, in pages).
std::uint64_t MappedBytes() {
  std::istringstream statm(wholefile::Read("/proc/self/statm"));
  std::uint64_t pages = 0;
  if (!(statm >> pages)) throw std::runtime_error("cannot read /proc/self/statm: unexpected content");
  return pages * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace

void GlobalMemoryStatus(LPMEMORYSTATUS lpBuffer) {
  if (!lpBuffer) return;
  *lpBuffer = MemoryStatusFrom(ParseMemInfo(wholefile::Read("/proc/meminfo")), AddressSpaceLimit(), MappedBytes());
}
