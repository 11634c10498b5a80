// The well-known directories of a fresh system, and environment variables.
#include "util/acTextPrimitives.h"
#include "util/acUtils.h"
#include "fresh_system.h"
#include "platform/tempdir.h"
#ifdef _WIN32
#include <aclapi.h>
#endif

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class DirectoriesTest : public FreshSystemTest {};

TEST_F(DirectoriesTest, WellKnownDirectoriesEndInABackslashAndExist) {
  EXPECT_EQ(actext::LowerCase(GetWindowsDir()), "c:\\windows\\");
  EXPECT_EQ(actext::LowerCase(GetSystemDir()), "c:\\windows\\system32\\");
  const std::string temp = GetTempDir();
  ASSERT_GE(temp.size(), 4u);
  EXPECT_EQ(temp.substr(0, 3), "C:\\");
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_NE(temp.substr(0, temp.size() - 1).back(), '\\');
  for (const std::string& dir : {GetWindowsDir(), GetSystemDir(), temp}) EXPECT_TRUE(DirExists(dir)) << dir;
}

#ifndef _WIN32
// The Linux platform refuses a temporary directory others could redirect; Windows keeps %TEMP%
// private by its access rights.
TEST_F(DirectoriesTest, ARefusedTemporaryDirectoryGivesTheEmptyTextNeverARoot) {
  namespace fs = std::filesystem;
  const std::string temp = GetTempDir();
  ASSERT_FALSE(temp.empty());
  const fs::path dir = Host(temp.substr(0, temp.size() - 1));
  ASSERT_TRUE(fs::is_directory(dir)) << dir;
  const fs::path elsewhere = Host(Root()) / "elsewhere";
  fs::create_directories(elsewhere);
  struct Case {
    const char* what;
    void (*spoil)(const fs::path& dir, const fs::path& elsewhere);
  };
  const Case cases[] = {
      {"a link",
       [](const fs::path& d, const fs::path& e) {
         fs::remove_all(d);
         fs::create_directory_symlink(e, d);
       }},
      {"a file",
       [](const fs::path& d, const fs::path&) {
         fs::remove_all(d);
         std::ofstream(d) << "x";
       }},
      {"writable by others",
       [](const fs::path& d, const fs::path&) {
         fs::remove_all(d);
         fs::create_directory(d);
         fs::permissions(d, fs::perms::all);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.spoil(dir, elsewhere);
    EXPECT_EQ(GetTempDir(), "");
    fs::remove_all(dir);
    EXPECT_EQ(GetTempDir(), temp);  // created afresh, private
  }
}
#else
// On Windows the installer asks TempDirectoryProblem: a temporary directory that others may
// write to is refused, naming them; the user's own is taken.
TEST_F(DirectoriesTest, ATemporaryDirectoryOthersMayWriteIsRefused) {
  EXPECT_EQ(TempDirectoryProblem(), "");
  const std::string dir = Root() + "shared";
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  BYTE everyone[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof everyone;
  ASSERT_TRUE(CreateWellKnownSid(WinWorldSid, nullptr, everyone, &size));
  EXPLICIT_ACCESSA grant{};
  grant.grfAccessPermissions = GENERIC_ALL;
  grant.grfAccessMode = GRANT_ACCESS;
  grant.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  grant.Trustee.ptstrName = reinterpret_cast<LPSTR>(everyone);
  PACL acl = nullptr;
  ASSERT_EQ(SetEntriesInAclA(1, &grant, nullptr, &acl), ERROR_SUCCESS);
  ASSERT_EQ(SetNamedSecurityInfoA(const_cast<char*>(dir.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                  nullptr, acl, nullptr),
            ERROR_SUCCESS);
  LocalFree(acl);
  char old[MAX_PATH] = {};
  GetEnvironmentVariableA("TMP", old, sizeof old);
  SetEnvironmentVariableA("TMP", dir.c_str());
  const std::string problem = TempDirectoryProblem();
  SetEnvironmentVariableA("TMP", old);
  EXPECT_NE(problem.find("lets others write"), std::string::npos) << problem;
  EXPECT_NE(problem.find("S-1-1-0"), std::string::npos) << problem;
}
#endif

TEST(EnvVar, Values) {
  struct Case {
    const char* name;
    const char* value;
    std::string expected;
    int length;
  };
  const std::string longValue(5000, 'v');
  const Case cases[] = {
      {"STOWAWAY_UTIL_TEST_PLAIN", "value", "value", 5},
      {"STOWAWAY_UTIL_TEST_BLANKS", " a b ", " a b ", 5},
      {"STOWAWAY_UTIL_TEST_LONG", longValue.c_str(), longValue, 5000},
      {"STOWAWAY_UTIL_TEST_EMPTY", "", "", 0},
      {"STOWAWAY_UTIL_TEST_UNSET", nullptr, "", 0},
  };
  for (const Case& c : cases) {
    if (c.value)
      setenv(c.name, c.value, 1);
    else
      unsetenv(c.name);
    std::string value = "stale";
    EXPECT_EQ(GetEnvVar(c.name, value), c.length) << c.name;
    EXPECT_EQ(value, c.expected) << c.name;
    unsetenv(c.name);
  }
}

}  // namespace
