// VirtualUnlock: nothing is ever locked here, so the call only takes the pages out of the
// process's resident set, without changing a byte. Pages of a read-only mapping of a file are
// dropped at once (a later access reads them from the file again); any other pages are only
// offered for paging out.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "errors.h"
#include "winapi.h"

using namespace winposix;

namespace {

// True when [start, end) lies inside one mapping of a file that this process cannot write.
bool InReadOnlyFileMapping(uintptr_t start, uintptr_t end) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    unsigned long long from = 0, to = 0, offset = 0, inode = 0;
    char perms[5] = {};
    unsigned major = 0, minor = 0;
    if (std::sscanf(line.c_str(), "%llx-%llx %4s %llx %x:%x %llu", &from, &to, perms, &offset, &major, &minor,
                    &inode) != 7)
      continue;
    if (start < from || start >= to) continue;
    return end <= to && inode != 0 && perms[1] != 'w' && perms[3] == 'p';
  }
  return false;
}

}  // namespace

BOOL VirtualUnlock(LPVOID lpAddress, SIZE_T dwSize) {
  if (!lpAddress || dwSize == 0) return Fail(ERROR_INVALID_PARAMETER);
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t start = reinterpret_cast<uintptr_t>(lpAddress) & ~(page - 1);
  const uintptr_t end = reinterpret_cast<uintptr_t>(lpAddress) + dwSize;
  // Only pages that lie wholly inside the range are dropped: a page it shares with other data
  // (say, relocated data of the program's own image, which lives in a private copy) is kept.
  const uintptr_t first = (reinterpret_cast<uintptr_t>(lpAddress) + page - 1) & ~(page - 1);
  const uintptr_t last = end & ~(page - 1);
  if (last > first && InReadOnlyFileMapping(first, last))
    madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
#ifdef MADV_PAGEOUT
  else
    madvise(reinterpret_cast<void*>(start), end - start, MADV_PAGEOUT);
#endif
  return Fail(ERROR_NOT_LOCKED);
}
