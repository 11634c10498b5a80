// The ScreenSaver property of TacSystemInfo.
#include "acScreenSaver.h"

#include <vector>

#include "acSystemInfo.h"
#include "util/acUtils.h"

namespace {
constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kDesktopValue = "SCRNSAVE.EXE";
constexpr const char* kSection = "boot";
constexpr const char* kEntry = "scrnsave.exe";

// The INI entry, read with a buffer that grows until the whole value fits.
std::string ReadIniEntry(const std::string& file, const std::string& fallback) {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length =
        GetPrivateProfileStringA(kSection, kEntry, fallback.c_str(), buffer.data(), size, file.c_str());
    if (length + 1 < size || size >= (1u << 20)) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}
}  // namespace

std::string ScreenSaverIniFile() { return GetWindowsDir() + "system.ini"; }

std::string ReadScreenSaver(bool nt) {
  if (nt) {
    std::string value;
    ReadRegString(value, HKEY_CURRENT_USER, kDesktopKey, kDesktopValue);
    return value;
  }
  try {
    const std::string windows = GetWindowsDir();
    return ReadIniEntry(windows + "system.ini", windows + "FLYING~1.SCR");
  } catch (...) {
    // The INI access reports nothing; the setting then reads as empty.
    return {};
  }
}

void WriteScreenSaver(bool nt, const std::string& value) {
  if (nt) {
    WriteRegString(HKEY_CURRENT_USER, kDesktopKey, kDesktopValue, value);
    return;
  }
  // A line break would end the entry and add lines of its own (Windows writes it as it is).
  if (value.find_first_of("\r\n") != std::string::npos) return;
  try {
    WritePrivateProfileStringA(kSection, kEntry, value.c_str(), ScreenSaverIniFile().c_str());
  } catch (...) {
    // As the registry setters: a failed write leaves the old setting and reports nothing.
  }
}

std::string TacSystemInfo::GetScreenSaver() const { return ReadScreenSaver(IsWinNT()); }
void TacSystemInfo::SetScreenSaver(const std::string& value) {
  if (CanEdit()) WriteScreenSaver(IsWinNT(), value);
}
