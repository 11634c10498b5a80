// Identity properties of TacSystemInfo: computer, user, owner and product.
#include "acSystemIdentity.h"

#include <cstring>

#include "acSystemFolders.h"
#include "acSystemInfo.h"
#include "util/acUtils.h"

namespace {
constexpr const char* kComputerNameKey = "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName";
constexpr const char* kControlKey = "System\\CurrentControlSet\\Control";
constexpr const char* kNetworkSetupKey = "System\\CurrentControlSet\\Services\\VxD\\VNETSUP";
constexpr const char* kNTVersionKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";

std::string ReadMachineValue(const char* key, const char* valueName) {
  std::string value;
  ReadRegString(value, HKEY_LOCAL_MACHINE, key, valueName);
  return value;
}

void WriteMachineValue(const char* key, const char* valueName, const std::string& value) {
  WriteRegString(HKEY_LOCAL_MACHINE, key, valueName, value);
}

const char* VersionKey(bool nt) { return nt ? kNTVersionKey : kCurrentVersionKey; }

// The text a platform name query left in its buffer, up to the first zero character; empty
// when the query failed.
template <size_t N, class Query>
std::string PlatformName(Query query) {
  char buffer[N] = {};
  DWORD size = N;
  if (!query(buffer, &size)) return {};
  return std::string(buffer, strnlen(buffer, N));
}
}  // namespace

std::string ReadComputerName() {
  std::string name = ReadMachineValue(kComputerNameKey, "ComputerName");
  // The longest computer name is 15 characters and the terminator.
  if (name.empty()) name = PlatformName<MAX_COMPUTERNAME_LENGTH + 1>(GetComputerNameA);
  return name;
}
void WriteComputerName(const std::string& value) { WriteMachineValue(kComputerNameKey, "ComputerName", value); }

std::string ReadCurrentUserName() {
  std::string name = ReadMachineValue(kControlKey, "Current User");
  if (name.empty()) name = PlatformName<UNLEN>(GetUserNameA);
  return name;
}
void WriteCurrentUserName(const std::string& value) { WriteMachineValue(kControlKey, "Current User", value); }

std::string ReadComputerDescription(bool nt) {
  return nt ? std::string(kNotAvailableOnNT) : ReadMachineValue(kNetworkSetupKey, "Comment");
}
void WriteComputerDescription(bool nt, const std::string& value) {
  if (!nt) WriteMachineValue(kNetworkSetupKey, "Comment", value);
}

std::string ReadComputerWorkgroup(bool nt) {
  return nt ? std::string(kNotAvailableOnNT) : ReadMachineValue(kNetworkSetupKey, "Workgroup");
}
void WriteComputerWorkgroup(bool nt, const std::string& value) {
  if (!nt) WriteMachineValue(kNetworkSetupKey, "Workgroup", value);
}

std::string ReadOwnerName(bool nt) { return ReadMachineValue(VersionKey(nt), "RegisteredOwner"); }
void WriteOwnerName(bool nt, const std::string& value) { WriteMachineValue(VersionKey(nt), "RegisteredOwner", value); }

std::string ReadOwnerCompany(bool nt) { return ReadMachineValue(VersionKey(nt), "RegisteredOrganization"); }
void WriteOwnerCompany(bool nt, const std::string& value) {
  WriteMachineValue(VersionKey(nt), "RegisteredOrganization", value);
}

std::string ReadWinProductID(bool nt) { return ReadMachineValue(VersionKey(nt), "ProductId"); }
std::string ReadWinProductName(bool nt) { return ReadMachineValue(VersionKey(nt), "ProductName"); }

// ---- the component's identity properties --------------------------------------------------

std::string TacSystemInfo::GetComputerDescription() const { return ReadComputerDescription(IsWinNT()); }
void TacSystemInfo::SetComputerDescription(const std::string& value) {
  if (CanEdit()) WriteComputerDescription(IsWinNT(), value);
}

std::string TacSystemInfo::GetComputerName() const { return ReadComputerName(); }
void TacSystemInfo::SetComputerName(const std::string& value) {
  if (CanEdit()) WriteComputerName(value);
}

std::string TacSystemInfo::GetComputerWorkgroup() const { return ReadComputerWorkgroup(IsWinNT()); }
void TacSystemInfo::SetComputerWorkgroup(const std::string& value) {
  if (CanEdit()) WriteComputerWorkgroup(IsWinNT(), value);
}

std::string TacSystemInfo::GetCurrentUserName() const { return ReadCurrentUserName(); }
void TacSystemInfo::SetCurrentUserName(const std::string& value) {
  if (CanEdit()) WriteCurrentUserName(value);
}

std::string TacSystemInfo::GetOwnerName() const { return ReadOwnerName(IsWinNT()); }
void TacSystemInfo::SetOwnerName(const std::string& value) {
  if (CanEdit()) WriteOwnerName(IsWinNT(), value);
}

std::string TacSystemInfo::GetOwnerCompany() const { return ReadOwnerCompany(IsWinNT()); }
void TacSystemInfo::SetOwnerCompany(const std::string& value) {
  if (CanEdit()) WriteOwnerCompany(IsWinNT(), value);
}

std::string TacSystemInfo::GetWinProductID() const { return ReadWinProductID(IsWinNT()); }
void TacSystemInfo::SetWinProductID(const std::string&) { RefuseReadOnly(); }

std::string TacSystemInfo::GetWinProductName() const { return ReadWinProductName(IsWinNT()); }
void TacSystemInfo::SetWinProductName(const std::string&) { RefuseReadOnly(); }
