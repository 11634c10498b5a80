// acInet: the internet status from the local address and the remote-access setting.
#include "acInet.h"

#include <cstring>

#include "acSystemInfo.h"
#include "util/acUtils.h"

namespace {
constexpr const char* kRemoteAccessKey = "System\\CurrentControlSet\\Services\\RemoteAccess";
constexpr const char* kRemoteConnectionValue = "Remote Connection";

// The start-up record of the sockets layer: filled once, not read afterwards.
WSADATA startupRecord;
bool started = false;
bool finished = false;

// The first byte of the remote-access setting; false when the key or the value cannot be
// read (missing, longer than 4 bytes, or empty: then there is no first byte to look at).
bool ReadRemoteConnection(BYTE& first) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRemoteAccessKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  // The key is closed whatever the read gives, also when it raises.
  struct Closer {
    HKEY key;
    ~Closer() { RegCloseKey(key); }
  } closer{key};
  BYTE data[4] = {0, 0, 0, 0};
  DWORD size = sizeof data;
  const LSTATUS status = RegQueryValueExA(key, kRemoteConnectionValue, nullptr, nullptr, data, &size);
  if (status != ERROR_SUCCESS || size == 0) return false;
  first = data[0];
  return true;
}
}  // namespace

std::string FirstIPv4Address(const hostent* entry) {
  if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list || !entry->h_addr_list[0])
    return {};
  in_addr address;
  std::memcpy(&address, entry->h_addr_list[0], sizeof address);
  return inet_ntoa(address);
}

std::string GetLocalIPAddress() {
  try {
    char name[MAX_PATH] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return FirstIPv4Address(gethostbyname(name));
  } catch (...) {
    // Every platform failure reads as "no address".
    return {};
  }
}

bool IsNetworkAddress(const std::string& address) { return !address.empty() && address != kLoopbackAddress; }

bool HasNetworkAddress() { return IsNetworkAddress(GetLocalIPAddress()); }

bool InternetConnectedFrom(bool nt, const std::function<std::string()>& localAddress) {
  BYTE first = 0;
  if (!nt) {
    bool read = false;
    try {
      read = ReadRemoteConnection(first);
    } catch (...) {
      read = false;  // a registry the platform cannot read: the address decides
    }
    if (read) return first == 1;
  }
  return IsNetworkAddress(localAddress());
}

bool IsInternetConnected() { return InternetConnectedFrom(IsWinNT(), GetLocalIPAddress); }

void InitInetUnit() {
  if (started) return;
  started = true;
  WSAStartup(MAKEWORD(1, 1), &startupRecord);
}

void FinalizeInetUnit() {
  if (!started || finished) return;
  finished = true;
  WSACleanup();
}

TacInternetStatus TacSystemInfo::GetInternetStatus() const { return IsInternetConnected() ? iOnline : iOffline; }
void TacSystemInfo::SetInternetStatus(TacInternetStatus) { RefuseReadOnly(); }
