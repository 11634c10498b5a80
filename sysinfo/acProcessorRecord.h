#pragma once
// The processor record of TacSystemInfo: architecture, type and count, taken once from the
// platform's GetSystemInfo when the program starts and only read afterwards.
#include "core/TypeNames.h"
#include "platform/winapi.h"

// Published with their identifier names; the ordinals are streamed, keep them.
enum TacCPUArchitecture { paINTEL, paMIPS, paALPHA, paPPC, paUNKNOWN };
enum TacCPUType { ptIntel386, ptIntel486, ptPentium, ptMIPS_R4000, ptALPHA_21064, ptUNKNOWN };

extern const TTypeNames TacCPUArchitectureNames;
extern const TTypeNames TacCPUTypeNames;

struct TacCPUInfo {
  TacCPUArchitecture Architecture = paINTEL;
  TacCPUType CPUType = ptUNKNOWN;
  int Count = 0;
};

// The record a GetSystemInfo answer gives. Architecture codes 0 (Intel, whose processor types
// 386, 486 and 586 are told apart), 1 (MIPS), 2 (Alpha), 3 (PowerPC) and 0xFFFF (unknown)
// are recognised; any other code keeps paINTEL. Only Intel processors get a type; every
// other processor, and an Intel one of another type, is ptUNKNOWN.
TacCPUInfo CPUInfoFromSystemInfo(const SYSTEM_INFO& info);

// The process-wide record, taken on first use.
const TacCPUInfo& StartupCPUInfo();

// The start-up step of the system-information unit: takes the processor record. Call it
// once before any form is created; a later first use of StartupCPUInfo takes it as well.
void InitSystemInfoUnit();
