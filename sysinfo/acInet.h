#pragma once
// acInet: is this machine on line? The answer combines the local host's first network
// address with the remote-access setting that Windows systems other than NT keep in the
// registry. Nothing opens a connection or sends data: only local configuration is read.
//
// The sockets layer is started once for the life of the process (InitInetUnit, before any
// form exists) and ended once at program end (FinalizeInetUnit).
#include <functional>
#include <string>

struct hostent;

// The loopback address that does not count as a network address.
inline constexpr const char* kLoopbackAddress = "127.0.0.1";

// The dotted-decimal text of the local host's first IPv4 address; empty when the host name
// cannot be had or resolved, or resolves to no address.
std::string GetLocalIPAddress();
// The first IPv4 address of a host entry as text; empty for no entry or an empty list.
std::string FirstIPv4Address(const hostent* entry);

// True when GetLocalIPAddress is neither empty nor exactly "127.0.0.1".
bool HasNetworkAddress();
bool IsNetworkAddress(const std::string& address);

// On NT: HasNetworkAddress. Otherwise the HKLM value "Remote Connection" of
// "System\CurrentControlSet\Services\RemoteAccess" decides when it can be read (at most 4
// bytes): on line exactly when its first byte is 1; without the key or the value (or with a
// longer or empty one) HasNetworkAddress decides.
bool IsInternetConnected();
// The same decision with the system family and the address source given; the address
// source is asked only when the address decides.
bool InternetConnectedFrom(bool nt, const std::function<std::string()>& localAddress);

// The unit's start-up step (WSAStartup for version 1.1, its answer not examined) and end
// step (WSACleanup). Each acts once however often it is called; the end step only after the
// start-up step.
void InitInetUnit();
void FinalizeInetUnit();
