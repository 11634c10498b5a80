// The operating-system properties: version names on NT and elsewhere, the numbers against
// the kernel's release, the number text and its fallback, and the classification names.
#include <gmock/gmock.h>
#ifndef _WIN32
#include <sys/utsname.h>
#endif

#include <cstdio>

#include "sysinfo/acSystemVersion.h"
#include "sysinfo_fixture.h"

namespace {

class VersionTest : public SystemInfoTest {
 protected:
  int64_t Ord(const std::string& name) { return Prop(name).GetOrd(*info); }
};

TEST(WinVersionName, MicrosoftPrefixRemovedOnce) {
  const struct {
    const char* product;
    const char* version;
  } cases[] = {
      {"Microsoft Windows XP", "Windows XP"},
      {"Windows 2000", "Windows 2000"},
      {"Microsoft Microsoft Windows", "Microsoft Windows"},  // only the first occurrence
      {"Windows by Microsoft", "Windows by Microsoft"},      // no blank after it
      {"Edition Microsoft NT", "Edition NT"},                // anywhere in the name
      {"microsoft Windows", "microsoft Windows"},            // case counts
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WithoutMicrosoftPrefix(c.product), c.version) << c.product;
}

TEST_F(VersionTest, WinVersionSourcesOnNTAndElsewhere) {
  PutReg(HKEY_LOCAL_MACHINE, kNTCV, "ProductName", "Microsoft Windows XP");
  PutReg(HKEY_LOCAL_MACHINE, kCV, "Version", "Windows 98");
  EXPECT_EQ(ReadWinVersion(true), "Windows XP");
  EXPECT_EQ(ReadWinVersion(false), "Windows 98");
  // This system is not NT (osUnknown): the property reads the CurrentVersion value.
  EXPECT_FALSE(Ord("WinNT"));
  EXPECT_EQ(Get("WinVersion"), "Windows 98");
}

#ifndef _WIN32  // the Linux platform reports the kernel's release as the version
TEST_F(VersionTest, NumbersAgainstTheKernelRelease) {
  struct utsname names;
  ASSERT_EQ(uname(&names), 0);
  int major = -1, minor = -1, patch = 0;
  ASSERT_GE(std::sscanf(names.release, "%d.%d.%d", &major, &minor, &patch), 2);
  EXPECT_EQ(Ord("WinVersionMajor"), major);
  EXPECT_EQ(Ord("WinVersionMinor"), minor);
  EXPECT_EQ(Ord("WinVersionBuild"), patch & 0xFFFF);
  EXPECT_EQ(Prop("OSVersion").GetOrd(*info), osUnknown);
  EXPECT_EQ(Prop("OSVersion").Names->NameOf(Prop("OSVersion").GetOrd(*info)), "osUnknown");
}
#endif

TEST_F(VersionTest, NumberTextFromRegistryOrJoined) {
  PutReg(HKEY_LOCAL_MACHINE, kCV, "VersionNumber", "4.10.2222");
  PutReg(HKEY_LOCAL_MACHINE, kCV, "SubVersionNumber", " A ");
  EXPECT_EQ(Get("WinVersionNumber"), "4.10.2222");
  EXPECT_EQ(Get("WinVersionSubNumber"), " A ");  // as stored
  PutReg(HKEY_LOCAL_MACHINE, kCV, "VersionNumber", "");
  EXPECT_EQ(Get("WinVersionNumber"),
            JoinVersionNumbers(static_cast<int>(Ord("WinVersionMajor")), static_cast<int>(Ord("WinVersionMinor")),
                               static_cast<int>(Ord("WinVersionBuild"))));
}

TEST(WinVersionNumber, Joined) {
  EXPECT_EQ(JoinVersionNumbers(5, 1, 2600), "5.1.2600");
  EXPECT_EQ(JoinVersionNumbers(-1, -1, -1), "-1.-1.-1");  // GetVersionExA failed
}

TEST_F(VersionTest, DirectXVersion) {
  EXPECT_EQ(Get("WinDirectXVersion"), "");
  PutReg(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\DirectX", "Version", "4.09.00.0904");
  EXPECT_EQ(Get("WinDirectXVersion"), "4.09.00.0904");
}

TEST(OSVersionNames, MatchTheClassification) {
  ASSERT_EQ(TacOSVersionTypeNames.Count(), static_cast<int>(TacOSVersionNames.size()));
  for (size_t i = 0; i < TacOSVersionNames.size(); ++i)
    EXPECT_EQ(TacOSVersionTypeNames.NameOf(static_cast<long long>(i)), TacOSVersionNames[i]);
}

}  // namespace
