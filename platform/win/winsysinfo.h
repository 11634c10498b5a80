// Win32 memory status and processor information.
#pragma once

#include "wintypes.h"

typedef struct _MEMORYSTATUS {
  DWORD dwLength;
  DWORD dwMemoryLoad;      // percent of physical memory in use, 0 to 100
  SIZE_T dwTotalPhys;      // bytes of physical memory
  SIZE_T dwAvailPhys;      // bytes of physical memory available without swapping
  SIZE_T dwTotalPageFile;  // commit limit: physical memory plus swap
  SIZE_T dwAvailPageFile;  // what of the commit limit is still available
  SIZE_T dwTotalVirtual;   // size of the process's user address space
  SIZE_T dwAvailVirtual;   // what of it the process has not mapped
} MEMORYSTATUS, *LPMEMORYSTATUS;

// Fills the record (dwLength included) from the kernel's memory counters.
// Throws std::runtime_error when the kernel's counters cannot be read.
void GlobalMemoryStatus(LPMEMORYSTATUS lpBuffer);
// Unlocks pages; called on pages that are not locked it takes them out of the process's
// working set (and fails with ERROR_NOT_LOCKED), which is how a reader that is done with a
// range of a mapped file gives its memory back.
BOOL VirtualUnlock(LPVOID lpAddress, SIZE_T dwSize);

#define PROCESSOR_ARCHITECTURE_INTEL 0
#define PROCESSOR_ARCHITECTURE_MIPS 1
#define PROCESSOR_ARCHITECTURE_ALPHA 2
#define PROCESSOR_ARCHITECTURE_PPC 3
#define PROCESSOR_ARCHITECTURE_SHX 4
#define PROCESSOR_ARCHITECTURE_ARM 5
#define PROCESSOR_ARCHITECTURE_IA64 6
#define PROCESSOR_ARCHITECTURE_ALPHA64 7
#define PROCESSOR_ARCHITECTURE_MSIL 8
#define PROCESSOR_ARCHITECTURE_AMD64 9
#define PROCESSOR_ARCHITECTURE_IA32_ON_WIN64 10
#define PROCESSOR_ARCHITECTURE_ARM64 12
#define PROCESSOR_ARCHITECTURE_UNKNOWN 0xFFFF

#define PROCESSOR_INTEL_386 386
#define PROCESSOR_INTEL_486 486
#define PROCESSOR_INTEL_PENTIUM 586
#define PROCESSOR_INTEL_IA64 2200
#define PROCESSOR_AMD_X8664 8664
#define PROCESSOR_MIPS_R4000 4000
#define PROCESSOR_ALPHA_21064 21064
#define PROCESSOR_PPC_601 601
#define PROCESSOR_ARM 0

typedef struct _SYSTEM_INFO {
  union {
    DWORD dwOemId;
    struct {
      WORD wProcessorArchitecture;
      WORD wReserved;
    };
  };
  DWORD dwPageSize;
  LPVOID lpMinimumApplicationAddress;
  LPVOID lpMaximumApplicationAddress;
  DWORD_PTR dwActiveProcessorMask;
  DWORD dwNumberOfProcessors;
  DWORD dwProcessorType;
  DWORD dwAllocationGranularity;
  WORD wProcessorLevel;     // x86: the family; otherwise 0
  WORD wProcessorRevision;  // x86: model in the high byte, stepping in the low byte
} SYSTEM_INFO, *LPSYSTEM_INFO;

// Fills the record: the architecture this program was built for, the online
// processors the kernel counts, family, model and stepping from /proc/cpuinfo
// where the processor reports them.
void GetSystemInfo(LPSYSTEM_INFO lpSystemInfo);
