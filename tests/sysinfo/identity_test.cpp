// Computer, user, owner and product identity on both families of systems, the default
// browser and the search path.
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "sysinfo/acSystemIdentity.h"
#include "sysinfo_fixture.h"

namespace {

const std::string kComputerNameKey = "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName";
const std::string kControlKey = "System\\CurrentControlSet\\Control";

std::string PlatformComputerName() {
  char buffer[64] = {};
  DWORD size = sizeof buffer;
  return GetComputerNameA(buffer, &size) ? std::string(buffer) : std::string();
}

std::string PlatformUserName() {
  char buffer[512] = {};
  DWORD size = sizeof buffer;
  return GetUserNameA(buffer, &size) ? std::string(buffer) : std::string();
}

class IdentityTest : public SystemInfoTest {};

// Readers and writers that depend on the family, for both families: which HKLM key and
// value each one uses.
struct FamilyCase {
  const char* what;
  std::string (*read)(bool nt);
  void (*write)(bool nt, const std::string&);  // nullptr: read-only
  bool nt;
  std::string key;  // empty: nothing is read or written (the NT literal)
  const char* valueName;
};

TEST_F(IdentityTest, FamilySourcesAndTargets) {
  const FamilyCase cases[] = {
      {"ComputerDescription", ReadComputerDescription, WriteComputerDescription, false, kVNETSUP, "Comment"},
      {"ComputerDescription", ReadComputerDescription, WriteComputerDescription, true, "", "Comment"},
      {"ComputerWorkgroup", ReadComputerWorkgroup, WriteComputerWorkgroup, false, kVNETSUP, "Workgroup"},
      {"ComputerWorkgroup", ReadComputerWorkgroup, WriteComputerWorkgroup, true, "", "Workgroup"},
      {"OwnerName", ReadOwnerName, WriteOwnerName, false, kCV, "RegisteredOwner"},
      {"OwnerName", ReadOwnerName, WriteOwnerName, true, kNTCV, "RegisteredOwner"},
      {"OwnerCompany", ReadOwnerCompany, WriteOwnerCompany, false, kCV, "RegisteredOrganization"},
      {"OwnerCompany", ReadOwnerCompany, WriteOwnerCompany, true, kNTCV, "RegisteredOrganization"},
      {"WinProductID", ReadWinProductID, nullptr, false, kCV, "ProductId"},
      {"WinProductID", ReadWinProductID, nullptr, true, kNTCV, "ProductId"},
      {"WinProductName", ReadWinProductName, nullptr, false, kCV, "ProductName"},
      {"WinProductName", ReadWinProductName, nullptr, true, kNTCV, "ProductName"},
  };
  for (const FamilyCase& c : cases) {
    SCOPED_TRACE(std::string(c.what) + (c.nt ? " on NT" : " otherwise"));
    // Different values under every candidate key, so a wrong source shows.
    for (const std::string& key : {kCV, kNTCV, kVNETSUP}) PutReg(HKEY_LOCAL_MACHINE, key, c.valueName, "from " + key);
    if (c.key.empty()) {
      EXPECT_EQ(c.read(c.nt), "(not available on NT)");
      c.write(c.nt, "ignored");
      for (const std::string& key : {kCV, kNTCV, kVNETSUP})
        EXPECT_EQ(Reg(HKEY_LOCAL_MACHINE, key, c.valueName), "from " + key);
      continue;
    }
    EXPECT_EQ(c.read(c.nt), "from " + c.key);
    if (!c.write) continue;
    c.write(c.nt, "Stadtwerke K\xf6ln");  // 8-bit text, stored as it is
    for (const std::string& key : {kCV, kNTCV, kVNETSUP})
      EXPECT_EQ(Reg(HKEY_LOCAL_MACHINE, key, c.valueName), key == c.key ? "Stadtwerke K\xf6ln" : "from " + key);
    EXPECT_EQ(c.read(c.nt), "Stadtwerke K\xf6ln");
  }
}

TEST_F(IdentityTest, ThisSystemCountsAsNotNT) {
  // Linux, and every Windows after XP, classify as osUnknown, which takes the non-NT sources.
  ASSERT_FALSE(IsWinNT());
  PutReg(HKEY_LOCAL_MACHINE, kCV, "RegisteredOwner", "cv owner");
  PutReg(HKEY_LOCAL_MACHINE, kNTCV, "RegisteredOwner", "ntcv owner");
  PutReg(HKEY_LOCAL_MACHINE, kVNETSUP, "Comment", "Empfang");
  EXPECT_EQ(info->GetOwnerName(), "cv owner");
  EXPECT_EQ(info->GetComputerDescription(), "Empfang");
}

TEST_F(IdentityTest, ComputerNameFromTheRegistryElseFromThePlatform) {
  PutReg(HKEY_LOCAL_MACHINE, kComputerNameKey, "ComputerName", "WORKSTATION7");
  EXPECT_EQ(info->GetComputerName(), "WORKSTATION7");

  PutReg(HKEY_LOCAL_MACHINE, kComputerNameKey, "ComputerName", "");
  const std::string platform = PlatformComputerName();
  ASSERT_FALSE(platform.empty());
  ASSERT_LE(platform.size(), 15u);
  EXPECT_EQ(info->GetComputerName(), platform);
  EXPECT_EQ(std::strlen(info->GetComputerName().c_str()), info->GetComputerName().size());  // no zeros kept
}

TEST_F(IdentityTest, CurrentUserNameFromThePlatformUntilAssigned) {
  ASSERT_EQ(Reg(HKEY_LOCAL_MACHINE, kControlKey, "Current User"), "");
  const std::string platform = PlatformUserName();
  ASSERT_FALSE(platform.empty());
  EXPECT_EQ(info->GetCurrentUserName(), platform);

  info->ALLOW_EDIT = true;
  info->SetCurrentUserName("Gast");
  EXPECT_EQ(Reg(HKEY_LOCAL_MACHINE, kControlKey, "Current User"), "Gast");
  EXPECT_EQ(info->GetCurrentUserName(), "Gast");
}

// The editable identity setters follow the same rule as the folders.
TEST_F(IdentityTest, EditableIdentityWritesOnlyWithAllowEditAndNotWhileLoading) {
  const struct {
    const char* property;
    std::string key;
    const char* valueName;
  } cases[] = {
      {"ComputerName", kComputerNameKey, "ComputerName"},
      {"CurrentUserName", kControlKey, "Current User"},
      {"ComputerDescription", kVNETSUP, "Comment"},
      {"ComputerWorkgroup", kVNETSUP, "Workgroup"},
      {"OwnerName", kCV, "RegisteredOwner"},
      {"OwnerCompany", kCV, "RegisteredOrganization"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.property);
    PutReg(HKEY_LOCAL_MACHINE, c.key, c.valueName, "before");
    info->ALLOW_EDIT = false;
    Set(c.property, "no");
    EXPECT_EQ(Reg(HKEY_LOCAL_MACHINE, c.key, c.valueName), "before");
    info->ALLOW_EDIT = true;
    info->IncludeState(csLoading);
    Set(c.property, "loading");
    EXPECT_EQ(Reg(HKEY_LOCAL_MACHINE, c.key, c.valueName), "before");
    info->ExcludeState(csLoading);
    Set(c.property, "after");
    EXPECT_EQ(Reg(HKEY_LOCAL_MACHINE, c.key, c.valueName), "after");
    EXPECT_EQ(Get(c.property), "after");
  }
  EXPECT_TRUE(shown.empty());
}

TEST_F(IdentityTest, WritingTheNetworkCommentCreatesItsKey) {
  HKEY key = HKEY_LOCAL_MACHINE;
  ASSERT_FALSE(OpenRegKey(key, kVNETSUP, false, KEY_READ));
  EXPECT_EQ(info->GetComputerDescription(), "");
  EXPECT_EQ(info->GetComputerWorkgroup(), "");
  info->ALLOW_EDIT = true;
  info->SetComputerWorkgroup("ARBEITSGRUPPE");
  EXPECT_EQ(info->GetComputerWorkgroup(), "ARBEITSGRUPPE");
}

TEST_F(IdentityTest, DefaultBrowserIsTheHtmlOpenProgram) {
  // Whatever the fresh prefix registered (possibly nothing).
  EXPECT_EQ(info->GetDefaultBrowser(), GetShellOpenProgram(".html"));

  const std::string classes = "Software\\Classes\\";
  PutReg(HKEY_CURRENT_USER, classes + ".html", "", "StwTestHTML");
  PutReg(HKEY_CURRENT_USER, classes + "StwTestHTML", "", "Web page");
  PutReg(HKEY_CURRENT_USER, classes + "StwTestHTML\\shell\\open\\command", "",
         "\"C:\\Program Files\\Web\\browse.exe\" -nohome \"%1\"");
  EXPECT_EQ(info->GetDefaultBrowser(), "C:\\Program Files\\Web\\browse.exe");
  EXPECT_EQ(info->GetDefaultBrowser(), GetShellOpenProgram(".html"));
}

TEST_F(IdentityTest, SystemPathesIsPath) {
  std::optional<std::string> saved;
  if (const char* path = std::getenv("PATH")) saved = path;
  const struct {
    const char* value;  // nullptr: unset
    std::string expected;
  } cases[] = {
      {"/usr/local/bin:/usr/bin:/bin", "/usr/local/bin:/usr/bin:/bin"},
      {"C:\\WINDOWS;C:\\WINDOWS\\COMMAND", "C:\\WINDOWS;C:\\WINDOWS\\COMMAND"},
      {"", ""},
      {nullptr, ""},
  };
  for (const auto& c : cases) {
    if (c.value)
      setenv("PATH", c.value, 1);
    else
      unsetenv("PATH");
    EXPECT_EQ(info->GetSystemPathes(), c.expected) << (c.value ? c.value : "(unset)");
  }
  if (saved)
    setenv("PATH", saved->c_str(), 1);
  else
    unsetenv("PATH");
}

}  // namespace
