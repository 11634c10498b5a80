// Classification of version records, and what the running system reports.
#include "util/acUtils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

OSVERSIONINFOA Record(DWORD platform, DWORD major, DWORD minor, const char* service = "") {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  info.dwPlatformId = platform;
  info.dwMajorVersion = major;
  info.dwMinorVersion = minor;
  std::strncpy(info.szCSDVersion, service, sizeof info.szCSDVersion - 1);
  return info;
}

constexpr DWORD k9x = VER_PLATFORM_WIN32_WINDOWS;
constexpr DWORD kNT = VER_PLATFORM_WIN32_NT;
#ifdef VER_PLATFORM_STOWAWAY_LINUX
constexpr DWORD kLinux = VER_PLATFORM_STOWAWAY_LINUX;
#else
constexpr DWORD kLinux = 0x10;  // what the Linux platform reports; no Windows header names it
#endif

TEST(OSVersion, Classification) {
  struct Case {
    OSVERSIONINFOA info;
    TacOSVersion expected;
  };
  const Case cases[] = {
      {Record(k9x, 4, 0), os95},
      {Record(k9x, 4, 0, " B "), os95OSR2},
      {Record(k9x, 4, 0, "\tB\r"), os95OSR2},
      {Record(k9x, 4, 0, " C "), os95},
      {Record(k9x, 4, 0, "b"), os95},
      {Record(k9x, 4, 0, "BB"), os95},
      {Record(k9x, 4, 10), os98},
      {Record(k9x, 4, 10, " A "), os98SE},
      {Record(k9x, 4, 10, "A B"), os98},
      {Record(k9x, 4, 10, "B"), os98},
      {Record(k9x, 4, 90), osME},
      {Record(k9x, 4, 90, " A "), osME},
      {Record(k9x, 4, 3), osUnknown},
      {Record(k9x, 5, 0), osUnknown},
      {Record(kNT, 3, 51), osNT3},
      {Record(kNT, 4, 0), osNT4},
      {Record(kNT, 4, 10, "A"), osNT4},
      {Record(kNT, 5, 0), os2K},
      {Record(kNT, 5, 1, "Service Pack 3"), osXP},
      {Record(kNT, 5, 2), osXP},
      {Record(kNT, 6, 0), osUnknown},
      {Record(kNT, 10, 0), osUnknown},
      {Record(0, 0, 0), osUnknown},  // what a failed GetVersionExA leaves
      // A non-Windows platform with the kernel's numbers is never Windows 9x,
      // not even with a kernel 4.0, 4.10 or 4.90.
      {Record(kLinux, 4, 0), osUnknown},
      {Record(kLinux, 4, 10, "A"), osUnknown},
      {Record(kLinux, 4, 90), osUnknown},
      {Record(kLinux, 5, 1), osUnknown},
      {Record(kLinux, 6, 1), osUnknown},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ClassifyOSVersion(c.info), c.expected)
        << "platform " << c.info.dwPlatformId << " version " << c.info.dwMajorVersion << "." << c.info.dwMinorVersion
        << " service '" << c.info.szCSDVersion << "'";
}

TEST(OSVersion, ServiceTextIsReadOnlyUpToTheField) {
  // A record whose service field has no terminating zero is read up to the
  // end of the field and no further.
  OSVERSIONINFOA info = Record(k9x, 4, 0);
  std::memset(info.szCSDVersion, ' ', sizeof info.szCSDVersion);
  info.szCSDVersion[64] = 'B';
  EXPECT_EQ(ClassifyOSVersion(info), os95OSR2);
}

TEST(OSVersion, IdentifierNamesFollowTheOrdinals) {
  ASSERT_EQ(TacOSVersionNames.size(), static_cast<std::size_t>(osXP) + 1);
  EXPECT_STREQ(TacOSVersionNames[osUnknown], "osUnknown");
  EXPECT_STREQ(TacOSVersionNames[os95OSR2], "os95OSR2");
  EXPECT_STREQ(TacOSVersionNames[os98SE], "os98SE");
  EXPECT_STREQ(TacOSVersionNames[os2K], "os2K");
  EXPECT_STREQ(TacOSVersionNames[osME], "osME");
  EXPECT_STREQ(TacOSVersionNames[osXP], "osXP");
  EXPECT_EQ(static_cast<int>(osME), 8);
}

#ifndef _WIN32  // the running system is Linux only there
TEST(OSVersion, LinuxIsNoWindowsVersion) {
  EXPECT_EQ(GetOSVersion(), osUnknown);
  EXPECT_FALSE(IsWinNT());
}
#endif

}  // namespace
