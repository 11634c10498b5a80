// Machine properties of TacSystemInfo: processor, memory, drive C and uptime.
#include "acSystemMachine.h"

#include <limits>

#include "acProcessorRecord.h"
#include "acSystemInfo.h"
#include "util/acUtils.h"

namespace {
constexpr const char* kProcessorKey = "\\hardware\\DESCRIPTION\\System\\CentralProcessor\\0";

std::string ReadProcessorValue(const char* valueName) {
  std::string value;
  ReadRegString(value, HKEY_LOCAL_MACHINE, kProcessorKey, valueName);
  return value;
}

MEMORYSTATUS MemoryStatus() {
  MEMORYSTATUS status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  return status;
}
}  // namespace

std::string ReadCPUIdentifier() { return ReadProcessorValue("Identifier"); }
std::string ReadCPUVendor() { return ReadProcessorValue("VendorIdentifier"); }

std::uint32_t MemorySizeCardinal(SIZE_T bytes) {
  constexpr auto kMax = std::numeric_limits<std::uint32_t>::max();
  return bytes > kMax ? kMax : static_cast<std::uint32_t>(bytes);
}

std::optional<std::uint32_t> ReadDiskCSerialNumber() {
  DWORD serial = 0;
  if (!GetVolumeInformationA("C:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0)) return std::nullopt;
  return serial;
}

std::string SerialNumberText(std::uint32_t serial) {
  std::string text = LongToHex(serial);
  if (text.size() < 5)
    text += '-';
  else
    text.insert(4, 1, '-');
  return text;
}

int UpTimeSeconds(DWORD ticks) { return static_cast<int>(ticks / 1000u); }

// ---- the component's machine properties ---------------------------------------------------

// When the volume cannot be queried there is no serial number: 0 and the empty text, rather
// than a "0-" that would look like a real one.
int TacSystemInfo::GetDiskCSerialNumber() const { return static_cast<int>(ReadDiskCSerialNumber().value_or(0)); }
void TacSystemInfo::SetDiskCSerialNumber(int) { RefuseReadOnly(); }
std::string TacSystemInfo::GetDiskCSerialNumberStr() const {
  const auto serial = ReadDiskCSerialNumber();
  return serial ? SerialNumberText(*serial) : std::string();
}
void TacSystemInfo::SetDiskCSerialNumberStr(const std::string&) { RefuseReadOnly(); }

std::uint32_t TacSystemInfo::GetMemAvailPhisical() const { return MemorySizeCardinal(MemoryStatus().dwAvailPhys); }
void TacSystemInfo::SetMemAvailPhisical(std::uint32_t) { RefuseReadOnly(); }
std::uint32_t TacSystemInfo::GetMemTotalPhisical() const { return MemorySizeCardinal(MemoryStatus().dwTotalPhys); }
void TacSystemInfo::SetMemTotalPhisical(std::uint32_t) { RefuseReadOnly(); }
std::uint32_t TacSystemInfo::GetMemAvailVirtual() const { return MemorySizeCardinal(MemoryStatus().dwAvailVirtual); }
void TacSystemInfo::SetMemAvailVirtual(std::uint32_t) { RefuseReadOnly(); }
std::uint32_t TacSystemInfo::GetMemTotalVirtual() const { return MemorySizeCardinal(MemoryStatus().dwTotalVirtual); }
void TacSystemInfo::SetMemTotalVirtual(std::uint32_t) { RefuseReadOnly(); }
int TacSystemInfo::GetMemLoad() const { return static_cast<int>(MemoryStatus().dwMemoryLoad); }
void TacSystemInfo::SetMemLoad(int) { RefuseReadOnly(); }

std::string TacSystemInfo::GetCPUIdentifier() const { return ReadCPUIdentifier(); }
void TacSystemInfo::SetCPUIdentifier(const std::string&) { RefuseReadOnly(); }
std::string TacSystemInfo::GetCPUVendor() const { return ReadCPUVendor(); }
void TacSystemInfo::SetCPUVendor(const std::string&) { RefuseReadOnly(); }
TacCPUArchitecture TacSystemInfo::GetCPUArchitecture() const { return StartupCPUInfo().Architecture; }
void TacSystemInfo::SetCPUArchitecture(TacCPUArchitecture) { RefuseReadOnly(); }
int TacSystemInfo::GetCPUsNumber() const { return StartupCPUInfo().Count; }
void TacSystemInfo::SetCPUsNumber(int) { RefuseReadOnly(); }
TacCPUType TacSystemInfo::GetCPUType() const { return StartupCPUInfo().CPUType; }
void TacSystemInfo::SetCPUType(TacCPUType) { RefuseReadOnly(); }
int TacSystemInfo::GetCPUFrequency() const { return GetCPUSpeed(); }
void TacSystemInfo::SetCPUFrequency(int) { RefuseReadOnly(); }

int TacSystemInfo::GetSystemUpTime() const {
  try {
    return UpTimeSeconds(GetTickCount());
  } catch (...) {
    return 0;
  }
}
void TacSystemInfo::SetSystemUpTime(int) { RefuseReadOnly(); }
