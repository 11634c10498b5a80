// The internet status: the decision table over the system family, the remote-access value
// and a faked local address; the first address of a host entry; the sockets start-up record;
// the local address against the machine's interfaces, against interface lists of the test's
// own and inside a network namespace with an interface that has no link.
#include <gmock/gmock.h>
#ifndef _WIN32
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <sched.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <thread>

#include "sysinfo/acInet.h"
#ifndef _WIN32
#include "platform/posix/netinterfaces.h"
#endif
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
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRemoteAccess.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    if (bytes) {
      ASSERT_EQ(RegSetValueExA(key, "Remote Connection", 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes->data()),
                               static_cast<DWORD>(bytes->size())),
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
      {"value longer than 4 bytes, loopback", false, true, std::string("\x01\x00\x00\x00\x00", 5), "127.0.0.1", false,
       true},
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
  in_addr loopback{}, lan{};
  loopback.s_addr = htonl(0x7F000001);
  lan.s_addr = htonl(0xC0A80105);
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

TEST_F(InetTest, StatusPropertyFollowsTheRemoteAccessValue) {
  RemoteConnection(true, std::string("\x01\x00\x00\x00", 4));
  EXPECT_EQ(Prop("InternetStatus").GetOrd(*info), iOnline);
  RemoteConnection(true, std::string("\x00\x00\x00\x00", 4));
  EXPECT_EQ(Prop("InternetStatus").GetOrd(*info), iOffline);
  EXPECT_EQ(Prop("InternetStatus").Names->NameOf(iOffline), "iOffline");
}

TEST(HostLookup, UnknownNameIsNotFound) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
  EXPECT_EQ(gethostbyname("name.that.does.not.exist.invalid"), nullptr);
  EXPECT_EQ(WSAGetLastError(), WSAHOST_NOT_FOUND);
  WSACleanup();
}

#ifndef _WIN32  // the Linux platform's local address from the kernel's interface list
// The local host's address as Windows gives it: an address of an interface that is up and
// has a link, loopback only when no other exists.
TEST(LocalAddress, AmongTheInterfaces) {
  std::set<std::string> routable;
  ifaddrs* list = nullptr;
  ASSERT_EQ(getifaddrs(&list), 0);
  for (const ifaddrs* i = list; i; i = i->ifa_next)
    if (i->ifa_addr && i->ifa_addr->sa_family == AF_INET && (i->ifa_flags & IFF_UP) && (i->ifa_flags & IFF_RUNNING) &&
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
}

// Interface lists of the test's own: only interfaces that are up and have a link give the
// local address; a list that cannot be read gives none, and no name is looked up instead.
TEST_F(InetTest, LocalAddressFromTheInterfaceList) {
  const auto at = [](const char* text) {
    in_addr a{};
    inet_aton(text, &a);
    return a;
  };
  const unsigned lo = IFF_UP | IFF_RUNNING | IFF_LOOPBACK, linked = IFF_UP | IFF_RUNNING;
  const winposix::InterfaceAddress loopback{lo, at("127.0.0.1")};
  const struct {
    const char* what;
    bool readable;
    std::vector<winposix::InterfaceAddress> list;
    const char* address;
  } cases[] = {
      {"cable unplugged: up without a link", true, {loopback, {IFF_UP, at("192.0.2.5")}}, "127.0.0.1"},
      {"up with a link", true, {loopback, {linked, at("192.0.2.5")}}, "192.0.2.5"},
      {"the linked one of two",
       true,
       {loopback, {IFF_UP, at("192.0.2.5")}, {linked, at("198.51.100.7")}},
       "198.51.100.7"},
      {"down", true, {loopback, {IFF_RUNNING, at("192.0.2.5")}}, "127.0.0.1"},
      {"no interfaces at all", true, {}, "127.0.0.1"},
      {"the list cannot be read", false, {}, ""},
  };
  struct Restore {
    ~Restore() { SetInterfaceListForTesting(nullptr); }
  } restore;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetInterfaceListForTesting([&](std::vector<winposix::InterfaceAddress>& list) {
      list = c.list;
      return c.readable;
    });
    const int lookups = winposix::ResolverLookups();
    EXPECT_EQ(GetLocalIPAddress(), c.address);
    EXPECT_EQ(Prop("InternetStatus").GetOrd(*info), IsNetworkAddress(c.address) ? iOnline : iOffline);
    EXPECT_EQ(winposix::ResolverLookups(), lookups) << "the local host's name went to the resolver";
    if (!c.readable) {
      char name[256] = {};
      ASSERT_EQ(gethostname(name, sizeof name - 1), 0);
      EXPECT_EQ(gethostbyname(name), nullptr);
      EXPECT_EQ(WSAGetLastError(), WSANO_RECOVERY);
    }
  }
}

// A network namespace of the test's own, made and removed with the ip command.
class NetworkNamespace {
 public:
  NetworkNamespace() : name_("stowaway-inet-" + std::to_string(getpid())) {
    if (geteuid() != 0) {
      why_ = "making a network namespace needs root";
    } else if (!Ip("netns add " + name_)) {
      why_ = "ip netns is not available here";
    } else {
      made_ = true;
    }
  }
  ~NetworkNamespace() {
    if (made_) Ip("netns delete " + name_);
  }
  NetworkNamespace(const NetworkNamespace&) = delete;
  NetworkNamespace& operator=(const NetworkNamespace&) = delete;

  bool Made() const { return made_; }
  const std::string& Why() const { return why_; }
  // Runs "ip ARGS" on the namespace's devices.
  bool InNamespace(const std::string& args) { return Ip("-n " + name_ + " " + args); }

  // Runs f with the calling thread inside the namespace.
  template <class F>
  auto Inside(F f) {
    const int home = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    const int there = open(("/run/netns/" + name_).c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_GE(home, 0);
    EXPECT_GE(there, 0);
    EXPECT_EQ(setns(there, CLONE_NEWNET), 0);
    auto result = f();
    EXPECT_EQ(setns(home, CLONE_NEWNET), 0);
    close(there);
    close(home);
    return result;
  }

 private:
  static bool Ip(const std::string& args) { return std::system(("ip " + args + " >/dev/null 2>&1").c_str()) == 0; }

  std::string name_;
  std::string why_;
  bool made_ = false;
};

// An interface that is up while its cable is unplugged (a veth pair whose peer is down) gives
// no address, so the machine is off line; once the peer comes up, it counts.
TEST_F(InetTest, InterfaceUpWithoutALinkIsOffline) {
  NetworkNamespace ns;
  if (!ns.Made()) GTEST_SKIP() << ns.Why();
  ASSERT_TRUE(ns.InNamespace("link set lo up"));
  ASSERT_TRUE(ns.InNamespace("link add sw0 type veth peer name sw1"));
  ASSERT_TRUE(ns.InNamespace("addr add 192.0.2.10/24 dev sw0"));
  ASSERT_TRUE(ns.InNamespace("link set sw0 up"));
  const auto status = [&] { return Prop("InternetStatus").GetOrd(*info); };
  EXPECT_EQ(ns.Inside(GetLocalIPAddress), "127.0.0.1");
  EXPECT_EQ(ns.Inside(status), iOffline);

  ASSERT_TRUE(ns.InNamespace("link set sw1 up"));
  std::string address;
  for (int i = 0; i < 250 && (address = ns.Inside(GetLocalIPAddress)) != "192.0.2.10"; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(address, "192.0.2.10");
  EXPECT_EQ(ns.Inside(status), iOnline);
}
#endif

}  // namespace
