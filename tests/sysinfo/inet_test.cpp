// The internet status: the decision table over the system family, the remote-access value
// and a faked local address; the first address of a host entry; the sockets start-up record;
// and the local address against the machine's interfaces.
#include <gmock/gmock.h>
#include <ifaddrs.h>
#include <net/if.h>

#include <cstring>
#include <optional>
#include <set>

#include "acInet.h"
#include "sysinfo_fixture.h"

namespace {

const std::string kRemoteAccess = "System\\CurrentControlSet\\Services\\RemoteAccess";

class InetTest : public SystemInfoTest {
protected:
  // The "Remote Connection" value with the given bytes; nothing: no value; no key at all when
  // `withKey` is false.
  void RemoteConnection(bool withKey, const std::optional<std::string>& bytes) {
    if (!withKey) return;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRemoteAccess.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    if (bytes) {
      ASSERT_EQ(RegSetValueExA(key, "Remote Connection", 0, REG_BINARY,
                               reinterpret_cast<const BYTE*>(bytes->data()), static_cast<DWORD>(bytes->size())),
                ERROR_SUCCESS);
    }
    RegCloseKey(key);
  }
};

TEST_F(InetTest, DecisionTable) {
  const std::string on("\x01\x00\x00\x00", 4), off("\x00\x00\x00\x00", 4);
  const struct {
    const char* what;
    bool nt;
    bool withKey;
    std::optional<std::string> value;
    const char* address;
    bool online;
    bool addressAsked;
  } cases[] = {
      {"NT, routable address", true, false, std::nullopt, "192.168.1.5", true, true},
      {"NT, loopback", true, false, std::nullopt, "127.0.0.1", false, true},
      {"NT, unresolved", true, false, std::nullopt, "", false, true},
      {"NT ignores the remote-access value", true, true, on, "127.0.0.1", false, true},
      {"value 01 00 00 00", false, true, on, "127.0.0.1", true, false},
      {"value 00 00 00 00", false, true, off, "10.0.0.7", false, false},
      {"value 02", false, true, std::string("\x02", 1), "10.0.0.7", false, false},
      {"value of one byte 01", false, true, std::string("\x01", 1), "", true, false},
      {"value longer than 4 bytes", false, true, std::string("\x01\x00\x00\x00\x00", 5), "10.0.0.7", true, true},
      {"value longer than 4 bytes, loopback", false, true, std::string("\x01\x00\x00\x00\x00", 5), "127.0.0.1",
       false, true},
      {"empty value", false, true, std::string(), "10.0.0.7", true, true},
      {"key without value", false, true, std::nullopt, "10.0.0.7", true, true},
      {"no key, routable", false, false, std::nullopt, "10.0.0.7", true, true},
      {"no key, loopback", false, false, std::nullopt, "127.0.0.1", false, true},
      {"no key, other loopback text", false, false, std::nullopt, "127.0.1.1", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRemoteAccess.c_str());
    RemoteConnection(c.withKey, c.value);
    int asked = 0;
    const bool online = InternetConnectedFrom(c.nt, [&] {
      ++asked;
      return std::string(c.address);
    });
    EXPECT_EQ(online, c.online);
    EXPECT_EQ(asked > 0, c.addressAsked);
  }
}

TEST(NetworkAddress, OnlyExactLoopbackAndEmptyDoNotCount) {
  const struct {
    const char* address;
    bool counts;
  } cases[] = {{"", false}, {"127.0.0.1", false}, {"192.168.1.5", true}, {"127.0.0.1 ", true}, {"127.0.0.2", true}};
  for (const auto& c : cases) EXPECT_EQ(IsNetworkAddress(c.address), c.counts) << c.address;
}

TEST(HostEntry, FirstAddressAlone) {
  in_addr loopback{htonl(0x7F000001)}, lan{htonl(0xC0A80105)};
  char* both[] = {reinterpret_cast<char*>(&loopback), reinterpret_cast<char*>(&lan), nullptr};
  char* lanFirst[] = {reinterpret_cast<char*>(&lan), reinterpret_cast<char*>(&loopback), nullptr};
  char* none[] = {nullptr};
  char name[] = "host";
  const auto entry = [&](char** list, int type = AF_INET, int length = 4) {
    hostent h{};
    h.h_name = name;
    h.h_addrtype = type;
    h.h_length = length;
    h.h_addr_list = list;
    return h;
  };
  hostent a = entry(both), b = entry(lanFirst), c = entry(none), d = entry(both, AF_INET6, 16);
  EXPECT_EQ(FirstIPv4Address(&a), "127.0.0.1");
  EXPECT_EQ(FirstIPv4Address(&b), "192.168.1.5");
  EXPECT_EQ(FirstIPv4Address(&c), "");
  EXPECT_EQ(FirstIPv4Address(&d), "");
  EXPECT_EQ(FirstIPv4Address(nullptr), "");
}

TEST(Sockets, StartupRecordAndCounting) {
  WSADATA data;
  std::memset(&data, 0xAB, sizeof data);
  ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
  EXPECT_EQ(data.wVersion, 0x0101);
  EXPECT_EQ(data.wHighVersion, 0x0202);
  EXPECT_GT(std::strlen(data.szDescription), 0u);
  EXPECT_STREQ(data.szSystemStatus, "Running");
  ASSERT_EQ(WSAStartup(MAKEWORD(3, 0), &data), 0);
  EXPECT_EQ(data.wVersion, 0x0202);
  EXPECT_EQ(WSAStartup(MAKEWORD(0, 9), &data), WSAVERNOTSUPPORTED);
  EXPECT_EQ(WSACleanup(), 0);
  EXPECT_EQ(WSACleanup(), 0);
  EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
}

TEST(Sockets, UnitStepsActOnce) {
  InitInetUnit();
  InitInetUnit();
  FinalizeInetUnit();
  FinalizeInetUnit();
  // Both steps balanced: nothing is left open.
  EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
}

// The local host's address as Windows gives it: an address of an interface that is up,
// loopback only when no other exists.
TEST(LocalAddress, AmongTheInterfaces) {
  std::set<std::string> routable;
  ifaddrs* list = nullptr;
  ASSERT_EQ(getifaddrs(&list), 0);
  for (const ifaddrs* i = list; i; i = i->ifa_next)
    if (i->ifa_addr && i->ifa_addr->sa_family == AF_INET && (i->ifa_flags & IFF_UP) &&
        !(i->ifa_flags & IFF_LOOPBACK))
      routable.insert(inet_ntoa(reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr));
  freeifaddrs(list);

  const std::string address = GetLocalIPAddress();
  if (routable.empty()) {
    EXPECT_EQ(address, "127.0.0.1");
    EXPECT_FALSE(HasNetworkAddress());
  } else {
    EXPECT_THAT(routable, ::testing::Contains(address));
    EXPECT_TRUE(HasNetworkAddress());
  }
  EXPECT_EQ(gethostbyname("name.that.does.not.exist.invalid"), nullptr);
  EXPECT_EQ(WSAGetLastError(), WSAHOST_NOT_FOUND);
}

TEST_F(InetTest, StatusPropertyFollowsTheRemoteAccessValue) {
  RemoteConnection(true, std::string("\x01\x00\x00\x00", 4));
  EXPECT_EQ(Prop("InternetStatus").GetOrd(*info), iOnline);
  RemoteConnection(true, std::string("\x00\x00\x00\x00", 4));
  EXPECT_EQ(Prop("InternetStatus").GetOrd(*info), iOffline);
  EXPECT_EQ(Prop("InternetStatus").Names->NameOf(iOffline), "iOffline");
}

}  // namespace
