// Parsing the kernel's memory counters and processor fields.
#include "procinfo.h"

#include <cstring>
#include <sstream>

namespace winposix {

namespace {

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// A decimal number that makes up the whole text; false otherwise.
bool WholeNumber(const std::string& text, std::uint64_t& value) {
  if (text.empty() || text.size() > 19) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return true;
}

std::uint64_t Field(const std::map<std::string, std::uint64_t>& fields, const char* name) {
  const auto it = fields.find(name);
  return it == fields.end() ? 0 : it->second;
}

}  // namespace

std::map<std::string, std::uint64_t> ParseMemInfo(const std::string& text) {
  std::map<std::string, std::uint64_t> fields;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::istringstream rest(line.substr(colon + 1));
    std::string number, unit;
    rest >> number >> unit;
    std::uint64_t value = 0;
    if (!WholeNumber(number, value)) continue;
    if (unit == "kB") value *= 1024;
    fields[Trimmed(line.substr(0, colon))] = value;
  }
  return fields;
}

MEMORYSTATUS MemoryStatusFrom(const std::map<std::string, std::uint64_t>& meminfo, std::uint64_t addressSpace,
                              std::uint64_t mapped) {
  MEMORYSTATUS status;
  std::memset(&status, 0, sizeof status);
  status.dwLength = sizeof status;
  const std::uint64_t total = Field(meminfo, "MemTotal");
  std::uint64_t avail = meminfo.count("MemAvailable")
                            ? Field(meminfo, "MemAvailable")
                            : Field(meminfo, "MemFree") + Field(meminfo, "Buffers") + Field(meminfo, "Cached");
  if (avail > total) avail = total;
  status.dwTotalPhys = total;
  status.dwAvailPhys = avail;
  status.dwMemoryLoad = total ? static_cast<DWORD>((total - avail) * 100 / total) : 0;
  const std::uint64_t swapTotal = Field(meminfo, "SwapTotal");
  const std::uint64_t swapFree = std::min(Field(meminfo, "SwapFree"), swapTotal);
  status.dwTotalPageFile = total + swapTotal;
  status.dwAvailPageFile = avail + swapFree;
  status.dwTotalVirtual = addressSpace;
  status.dwAvailVirtual = mapped < addressSpace ? addressSpace - mapped : 0;
  return status;
}

std::map<std::string, std::string> FirstProcessorFields(const std::string& text) {
  std::map<std::string, std::string> fields;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (Trimmed(line).empty()) {
      if (!fields.empty()) break;
      continue;
    }
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    fields.emplace(Trimmed(line.substr(0, colon)), Trimmed(line.substr(colon + 1)));
  }
  return fields;
}

bool X86LevelAndRevision(const std::map<std::string, std::string>& fields, WORD& level, WORD& revision) {
  std::uint64_t family = 0, model = 0, stepping = 0;
  const auto number = [&fields](const char* name, std::uint64_t& value) {
    const auto it = fields.find(name);
    return it != fields.end() && WholeNumber(it->second, value);
  };
  if (!number("cpu family", family) || !number("model", model) || !number("stepping", stepping) || family > 0xFFFF ||
      model > 0xFF || stepping > 0xFF)
    return false;
  level = static_cast<WORD>(family);
  revision = static_cast<WORD>(model << 8 | stepping);
  return true;
}

std::uint64_t UserAddressSpaceSize() {
#if defined(__x86_64__)
  return std::uint64_t{1} << 47;  // 128 TiB with four-level page tables
#elif defined(__aarch64__)
  return std::uint64_t{1} << 48;
#elif defined(__i386__) || defined(__arm__)
  return std::uint64_t{3} << 30;  // the 3 GiB / 1 GiB split
#else
  return sizeof(void*) >= 8 ? std::uint64_t{1} << 47 : std::uint64_t{1} << 31;
#endif
}

}  // namespace winposix
