// On Windows the host's paths are Windows paths: nothing to map, and no prefix directory.
#include "hostpath.h"

#include "charset/Cp1252.h"
#include "winapi.h"

std::string WindowsPathToUnix(const std::string& windowsPath) { return windowsPath; }

std::string UnixPathToWindows(const std::string& unixPath) { return unixPath; }

std::string StowawayPrefixDirectory() { return std::string(); }

std::string HostTextToUtf8(const std::string& hostText) {
  if (hostText.empty()) return hostText;
  const int n = MultiByteToWideChar(CP_ACP, 0, hostText.data(), static_cast<int>(hostText.size()), nullptr, 0);
  if (n <= 0) return Cp1252ToUtf8(hostText);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, hostText.data(), static_cast<int>(hostText.size()), wide.data(), n);
  const int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(m > 0 ? m : 0), '\0');
  if (m > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, utf8.data(), m, nullptr, nullptr);
  return utf8;
}
