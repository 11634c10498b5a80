// Classification of the running Windows version.
#include <cstring>

#include "acTextPrimitives.h"
#include "acUtils.h"

namespace {

// The service text: the record's CSD field up to its first zero (never past
// the field), trimmed of blanks and control characters.
std::string ServiceText(const OSVERSIONINFOA& info) {
  const std::size_t length = strnlen(info.szCSDVersion, sizeof info.szCSDVersion);
  return actext::Trim(std::string(info.szCSDVersion, length));
}

bool IsWindowsPlatform(DWORD platformId) {
  return platformId == VER_PLATFORM_WIN32s || platformId == VER_PLATFORM_WIN32_WINDOWS ||
         platformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace

TacOSVersion ClassifyOSVersion(const OSVERSIONINFOA& info) {
  const DWORD major = info.dwMajorVersion;
  const DWORD minor = info.dwMinorVersion;
  if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    switch (major) {
      case 3:
        return osNT3;
      case 4:
        return osNT4;
      case 5:
        return minor == 0 ? os2K : osXP;
      default:
        return osUnknown;
    }
  }
  // A system that is not Windows at all (the Linux platform layer reports
  // the kernel's numbers under its own id) must never pass for Windows 9x.
  if (!IsWindowsPlatform(info.dwPlatformId) || major != 4) return osUnknown;
  switch (minor) {
    case 0:
      return ServiceText(info) == "B" ? os95OSR2 : os95;
    case 10:
      return ServiceText(info) == "A" ? os98SE : os98;
    case 90:
      return osME;
    default:
      return osUnknown;
  }
}

TacOSVersion GetOSVersion() {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  // A failed call leaves the zeros, which classify as osUnknown.
  GetVersionExA(&info);
  return ClassifyOSVersion(info);
}

bool IsWinNT() {
  switch (GetOSVersion()) {
    case osNT3:
    case osNT4:
    case os2K:
    case osXP:
      return true;
    default:
      return false;
  }
}
