// The processor record taken at start-up.
#include "acProcessorRecord.h"

const TTypeNames TacCPUArchitectureNames("TacCPUArchitecture", {"paINTEL", "paMIPS", "paALPHA", "paPPC", "paUNKNOWN"});
const TTypeNames TacCPUTypeNames("TacCPUType", {"ptIntel386", "ptIntel486", "ptPentium", "ptMIPS_R4000",
                                                "ptALPHA_21064", "ptUNKNOWN"});

TacCPUInfo CPUInfoFromSystemInfo(const SYSTEM_INFO& info) {
  TacCPUInfo record;
  record.Count = static_cast<int>(info.dwNumberOfProcessors);
  switch (info.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_INTEL:
      record.Architecture = paINTEL;
      switch (info.dwProcessorType) {
        case PROCESSOR_INTEL_386:
          record.CPUType = ptIntel386;
          break;
        case PROCESSOR_INTEL_486:
          record.CPUType = ptIntel486;
          break;
        case PROCESSOR_INTEL_PENTIUM:
          record.CPUType = ptPentium;
          break;
        default:
          break;
      }
      break;
    case PROCESSOR_ARCHITECTURE_MIPS:
      record.Architecture = paMIPS;
      break;
    case PROCESSOR_ARCHITECTURE_ALPHA:
      record.Architecture = paALPHA;
      break;
    case PROCESSOR_ARCHITECTURE_PPC:
      record.Architecture = paPPC;
      break;
    case PROCESSOR_ARCHITECTURE_UNKNOWN:
      record.Architecture = paUNKNOWN;
      break;
    default:
      break;
  }
  return record;
}

const TacCPUInfo& StartupCPUInfo() {
  static const TacCPUInfo record = [] {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return CPUInfoFromSystemInfo(info);
  }();
  return record;
}

void InitSystemInfoUnit() { StartupCPUInfo(); }
