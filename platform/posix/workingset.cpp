// VirtualUnlock: nothing is ever locked here, so the call only takes the pages out of the
// process's resident set. The kernel writes nothing back for that: clean file pages are read
// in again on the next access, and other pages are paged out or left as they are, so the bytes
// never change.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "errors.h"
#include "winapi.h"

using namespace winposix;

BOOL VirtualUnlock(LPVOID lpAddress, SIZE_T dwSize)
{
    if (!lpAddress || dwSize == 0)
        return Fail(ERROR_INVALID_PARAMETER);
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t start = reinterpret_cast<uintptr_t>(lpAddress) & ~(page - 1);
    const uintptr_t end = reinterpret_cast<uintptr_t>(lpAddress) + dwSize;
#ifdef MADV_PAGEOUT
    madvise(reinterpret_cast<void*>(start), end - start, MADV_PAGEOUT);
#endif
    return Fail(ERROR_NOT_LOCKED);
}
