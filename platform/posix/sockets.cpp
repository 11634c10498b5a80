// Windows Sockets start-up and gethostbyname over the C library.
#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <ifaddrs.h>
#include <net/if.h>
#include <string>
#include <sys/socket.h>
#include <vector>

#include "codepage.h"
#include "netinterfaces.h"
#include "winapi.h"

using winposix::InterfaceAddress;

namespace {

std::atomic<int> startups{0};
thread_local int lastSocketError = 0;

constexpr WORD kHighestVersion = MAKEWORD(2, 2);

void CopyText(char* field, size_t size, const char* text) {
  std::strncpy(field, text, size - 1);
  field[size - 1] = '\0';
}

// The thread's host entry: its texts and address list live here.
struct HostEntry {
  std::string name;
  std::vector<in_addr> addresses;
  std::vector<char*> addressList;
  char* aliases[1] = {nullptr};
  hostent entry{};
};

hostent* Publish(const std::string& name, const std::vector<in_addr>& addresses) {
  thread_local HostEntry host;
  host.name = name;
  host.addresses = addresses;
  host.addressList.clear();
  for (in_addr& address : host.addresses) host.addressList.push_back(reinterpret_cast<char*>(&address));
  host.addressList.push_back(nullptr);
  host.entry.h_name = host.name.data();
  host.entry.h_aliases = host.aliases;
  host.entry.h_addrtype = AF_INET;
  host.entry.h_length = sizeof(in_addr);
  host.entry.h_addr_list = host.addressList.data();
  return &host.entry;
}

bool IsLoopback(in_addr address) { return (ntohl(address.s_addr) >> 24) == 127; }

std::mutex listerMutex;
std::function<bool(std::vector<InterfaceAddress>&)> testLister;
std::atomic<int> resolverLookups{0};

bool SystemInterfaceAddresses(std::vector<InterfaceAddress>& list) {
  ifaddrs* all = nullptr;
  if (getifaddrs(&all) != 0) return false;
  for (const ifaddrs* i = all; i; i = i->ifa_next) {
    if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
    InterfaceAddress entry;
    entry.flags = i->ifa_flags;
    std::memcpy(&entry.address, &reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr, sizeof entry.address);
    list.push_back(entry);
  }
  freeifaddrs(all);
  return true;
}

// The local host's IPv4 addresses as Windows gives them: those of interfaces
// that are up and have a link (an adapter without one, a cable unplugged,
// has no address on Windows), those other than loopback first; 127.0.0.1 when
// there is no other. False when the interfaces cannot be listed. Only the
// local configuration is read: nothing that could leave the machine or wait
// for an answer.
bool InterfaceAddresses(std::vector<in_addr>& addresses) {
  std::vector<InterfaceAddress> list;
  if (!ListInterfaceAddresses(list)) return false;
  std::vector<in_addr> loopback;
  for (const InterfaceAddress& entry : list) {
    if (!(entry.flags & IFF_UP)) continue;
    if ((entry.flags & IFF_LOOPBACK) || IsLoopback(entry.address))
      loopback.push_back(entry.address);
    else if (entry.flags & IFF_RUNNING)
      addresses.push_back(entry.address);
  }
  if (addresses.empty()) {
    in_addr local;
    local.s_addr = htonl(INADDR_LOOPBACK);
    addresses.push_back(local);
  }
  return true;
}

// The name's IPv4 addresses from the system's resolver, in its order, each
// once.
bool ResolvedAddresses(const std::string& name, std::vector<in_addr>& addresses) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  ++resolverLookups;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return false;
  for (const addrinfo* a = found; a; a = a->ai_next) {
    if (a->ai_family != AF_INET || !a->ai_addr) continue;
    in_addr address;
    std::memcpy(&address, &reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr, sizeof address);
    bool seen = false;
    for (const in_addr& known : addresses) seen = seen || known.s_addr == address.s_addr;
    if (!seen) addresses.push_back(address);
  }
  freeaddrinfo(found);
  return !addresses.empty();
}

std::string LocalHostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

}  // namespace

int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData) {
  if (!lpWSAData) return WSAEFAULT;
  std::memset(lpWSAData, 0, sizeof *lpWSAData);
  lpWSAData->wHighVersion = kHighestVersion;
  if (LOBYTE(wVersionRequested) < 1) {
    lpWSAData->wVersion = kHighestVersion;
    return WSAVERNOTSUPPORTED;
  }
  // The version granted: the one asked for, at most the highest known.
  const bool above = LOBYTE(wVersionRequested) > 2 || (LOBYTE(wVersionRequested) == 2 && HIBYTE(wVersionRequested) > 2);
  lpWSAData->wVersion = above ? kHighestVersion : wVersionRequested;
  lpWSAData->iMaxSockets = 0;  // no limit of its own since version 2
  lpWSAData->iMaxUdpDg = 0;
  CopyText(lpWSAData->szDescription, sizeof lpWSAData->szDescription, "Stowaway sockets over the host's BSD sockets");
  CopyText(lpWSAData->szSystemStatus, sizeof lpWSAData->szSystemStatus, "Running");
  ++startups;
  return 0;
}

int WSACleanup() {
  int open = startups.load();
  while (open > 0 && !startups.compare_exchange_weak(open, open - 1)) {}
  if (open <= 0) {
    lastSocketError = WSANOTINITIALISED;
    return SOCKET_ERROR;
  }
  return 0;
}

int WSAGetLastError() { return lastSocketError; }

struct hostent* WinGetHostByName(const char* name) {
  const std::string local = LocalHostName();
  const std::string wanted = name ? name : local;
  std::vector<in_addr> addresses;
  const bool isLocal = !wanted.empty() && winposix::EqualNoCase(wanted, local);
  // The local host's addresses come from its interfaces alone, never from a
  // name server: a lookup could leave the machine and block.
  const bool found = isLocal ? InterfaceAddresses(addresses) : !wanted.empty() && ResolvedAddresses(wanted, addresses);
  if (found) {
    lastSocketError = 0;
    return Publish(wanted, addresses);
  }
  lastSocketError = isLocal ? WSANO_RECOVERY : WSAHOST_NOT_FOUND;
  return nullptr;
}

bool winposix::ListInterfaceAddresses(std::vector<InterfaceAddress>& list) {
  std::function<bool(std::vector<InterfaceAddress>&)> lister;
  {
    std::lock_guard<std::mutex> lock(listerMutex);
    lister = testLister;
  }
  return lister ? lister(list) : SystemInterfaceAddresses(list);
}

int winposix::ResolverLookups() { return resolverLookups.load(); }

void SetInterfaceListForTesting(std::function<bool(std::vector<winposix::InterfaceAddress>&)> lister) {
  std::lock_guard<std::mutex> lock(listerMutex);
  testLister = std::move(lister);
}
