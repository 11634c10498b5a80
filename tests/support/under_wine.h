// Whether the tests run under Wine rather than on Windows or Linux: a few expectations follow
// the Windows API documentation where Wine is known to differ, and say so where they check it.
#pragma once

#include "platform/winapi.h"

inline bool UnderWine() {
#ifdef _WIN32
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
  return false;
#endif
}
