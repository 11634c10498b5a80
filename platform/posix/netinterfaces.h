// The machine's network interfaces as the sockets layer reads them for the
// local host's addresses. Tests put in a list of their own.
#pragma once

#include <functional>
#include <netinet/in.h>
#include <vector>

namespace winposix {

// One IPv4 address of an interface, with the interface's flags (IFF_UP,
// IFF_RUNNING, IFF_LOOPBACK...).
struct InterfaceAddress {
  unsigned flags = 0;
  in_addr address{};
};

// The IPv4 addresses of the machine's interfaces; false when they cannot be
// listed.
bool ListInterfaceAddresses(std::vector<InterfaceAddress>& list);

// How many times a name was handed to the system's resolver (which may ask a
// name server) by this process.
int ResolverLookups();

}  // namespace winposix

// Puts a lister in place of the system's interface list (an empty function
// restores it). For tests.
void SetInterfaceListForTesting(std::function<bool(std::vector<winposix::InterfaceAddress>&)> lister);
