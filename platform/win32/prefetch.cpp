// PrefetchMappedBytes over PrefetchVirtualMemory, which Windows has from version 8 on: looked up
// at run time, so that the program still starts on Windows 7.
#include "platform/prefetch.h"

#include "platform/winapi.h"

namespace {

struct MemoryRange {
  PVOID address;
  SIZE_T size;
};
using PrefetchFunction = BOOL(WINAPI*)(HANDLE, ULONG_PTR, MemoryRange*, ULONG);

PrefetchFunction Prefetch() {
  static const PrefetchFunction f = reinterpret_cast<PrefetchFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "PrefetchVirtualMemory")));
  return f;
}

}  // namespace

void PrefetchMappedBytes(const void* address, std::size_t size) {
  if (!address || size == 0) return;
  MemoryRange range{const_cast<void*>(address), size};
  if (PrefetchFunction f = Prefetch()) f(GetCurrentProcess(), 1, &range, 0);
}
