// GetSystemInfo from the kernel's processor count and /proc/cpuinfo.
#include <unistd.h>

#include <cstring>

#include "procinfo.h"
#include "wholefile.h"
#include "winapi.h"

using namespace winposix;

namespace {

// The architecture this program runs as, with Windows' processor type for it.
void FillArchitecture(SYSTEM_INFO& info) {
#if defined(__x86_64__)
  info.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
  info.dwProcessorType = PROCESSOR_AMD_X8664;
#elif defined(__i386__)
  info.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
  info.dwProcessorType = PROCESSOR_INTEL_PENTIUM;
#elif defined(__aarch64__)
  info.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM64;
  info.dwProcessorType = PROCESSOR_ARM;
#elif defined(__arm__)
  info.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM;
  info.dwProcessorType = PROCESSOR_ARM;
#elif defined(__powerpc__)
  info.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_PPC;
  info.dwProcessorType = PROCESSOR_PPC_601;
#elif defined(__mips__)
  info.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_MIPS;
  info.dwProcessorType = PROCESSOR_MIPS_R4000;
#else
  info.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
  info.dwProcessorType = 0;
#endif
}

DWORD LongOrZero(long value) { return value > 0 ? static_cast<DWORD>(value) : 0; }

}  // namespace

void GetSystemInfo(LPSYSTEM_INFO lpSystemInfo) {
  if (!lpSystemInfo) return;
  SYSTEM_INFO& info = *lpSystemInfo;
  std::memset(&info, 0, sizeof info);
  FillArchitecture(info);
  info.dwPageSize = LongOrZero(sysconf(_SC_PAGESIZE));
  // mmap places nothing below the first 64 KiB by default, as Windows.
  info.lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(std::uintptr_t{0x10000});
  info.lpMaximumApplicationAddress =
      reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(UserAddressSpaceSize() - 0x10001));
  // Mappings are made page by page on Linux.
  info.dwAllocationGranularity = info.dwPageSize;
  DWORD count = LongOrZero(sysconf(_SC_NPROCESSORS_ONLN));
  if (count == 0) count = 1;
  info.dwNumberOfProcessors = count;
  const unsigned maskBits = sizeof(DWORD_PTR) * 8;
  info.dwActiveProcessorMask = count >= maskBits ? ~DWORD_PTR{0} : (DWORD_PTR{1} << count) - 1;
#if defined(__x86_64__) || defined(__i386__)
  try {
    WORD level = 0, revision = 0;
    if (X86LevelAndRevision(FirstProcessorFields(wholefile::Read("/proc/cpuinfo")), level, revision)) {
      info.wProcessorLevel = level;
      info.wProcessorRevision = revision;
    }
  } catch (const std::exception&) {
    // Without /proc/cpuinfo the level and revision stay 0, as for an
    // unknown processor; the rest of the record stands.
  }
#endif
}
