// Operating-system properties of TacSystemInfo.
#include "acSystemVersion.h"

#include <cstring>
#include <functional>

#include "acSystemFolders.h"
#include "acSystemIdentity.h"
#include "acSystemInfo.h"
#include "util/acUtils.h"

namespace {
constexpr const char* kDirectXKey = "Software\\Microsoft\\DirectX";

std::string ReadMachineValue(const char* key, const char* valueName) {
  std::string value;
  ReadRegString(value, HKEY_LOCAL_MACHINE, key, valueName);
  return value;
}

// One field of a fresh GetVersionExA answer; -1 when the call fails.
int VersionField(const std::function<int(const OSVERSIONINFOA&)>& field) {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return -1;
  return field(info);
}
}  // namespace

std::string WithoutMicrosoftPrefix(std::string productName) {
  static const std::string kMicrosoft = "Microsoft ";
  const auto at = productName.find(kMicrosoft);
  if (at != std::string::npos) productName.erase(at, kMicrosoft.size());
  return productName;
}

std::string ReadWinVersion(bool nt) {
  return nt ? WithoutMicrosoftPrefix(ReadWinProductName(true)) : ReadMachineValue(kCurrentVersionKey, "Version");
}

int ReadWinVersionMajor() {
  return VersionField([](const OSVERSIONINFOA& i) { return static_cast<int>(i.dwMajorVersion); });
}
int ReadWinVersionMinor() {
  return VersionField([](const OSVERSIONINFOA& i) { return static_cast<int>(i.dwMinorVersion); });
}
int ReadWinVersionBuild() {
  return VersionField([](const OSVERSIONINFOA& i) { return static_cast<int>(i.dwBuildNumber & 0xFFFF); });
}

std::string JoinVersionNumbers(int major, int minor, int build) {
  return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(build);
}

std::string ReadWinVersionNumber() {
  std::string number = ReadMachineValue(kCurrentVersionKey, "VersionNumber");
  if (number.empty()) number = JoinVersionNumbers(ReadWinVersionMajor(), ReadWinVersionMinor(), ReadWinVersionBuild());
  return number;
}

std::string ReadWinVersionSubNumber() { return ReadMachineValue(kCurrentVersionKey, "SubVersionNumber"); }
std::string ReadDirectXVersion() { return ReadMachineValue(kDirectXKey, "Version"); }

// ---- the component's operating-system properties ------------------------------------------

std::string TacSystemInfo::GetWinDirectXVersion() const { return ReadDirectXVersion(); }
void TacSystemInfo::SetWinDirectXVersion(const std::string&) { RefuseReadOnly(); }

TacOSVersion TacSystemInfo::GetOSVersion() const { return ::GetOSVersion(); }
void TacSystemInfo::SetOSVersion(TacOSVersion) { RefuseReadOnly(); }

bool TacSystemInfo::GetWinNT() const { return IsWinNT(); }
void TacSystemInfo::SetWinNT(bool) { RefuseReadOnly(); }

std::string TacSystemInfo::GetWinVersion() const { return ReadWinVersion(IsWinNT()); }
void TacSystemInfo::SetWinVersion(const std::string&) { RefuseReadOnly(); }
int TacSystemInfo::GetWinVersionBuild() const { return ReadWinVersionBuild(); }
void TacSystemInfo::SetWinVersionBuild(int) { RefuseReadOnly(); }
int TacSystemInfo::GetWinVersionMajor() const { return ReadWinVersionMajor(); }
void TacSystemInfo::SetWinVersionMajor(int) { RefuseReadOnly(); }
int TacSystemInfo::GetWinVersionMinor() const { return ReadWinVersionMinor(); }
void TacSystemInfo::SetWinVersionMinor(int) { RefuseReadOnly(); }
std::string TacSystemInfo::GetWinVersionNumber() const { return ReadWinVersionNumber(); }
void TacSystemInfo::SetWinVersionNumber(const std::string&) { RefuseReadOnly(); }
std::string TacSystemInfo::GetWinVersionSubNumber() const { return ReadWinVersionSubNumber(); }
void TacSystemInfo::SetWinVersionSubNumber(const std::string&) { RefuseReadOnly(); }
