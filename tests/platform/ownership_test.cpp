// The prefix, drive_c, the registry files and the temporary directory are refused when
// another user owns them or group or others may write them, and used again once mended.
#include <sys/stat.h>
#include <unistd.h>

#include "prefix_fixture.h"
#include "platform/tempdir.h"

using OwnershipTest = PrefixTest;

TEST_F(OwnershipTest, ForeignOrOpenPartsOfThePrefixAreRefusedWithOwnerAndMode) {
  struct Case {
    const char* what;
    std::string relative;  // below the prefix
    bool chownToOther;     // else chmod to mode
    mode_t mode;
    const char* named;  // in the refusal
  };
  const Case cases[] = {
      {"prefix writable by others", "", false, 0777, "prefix directory"},
      {"prefix writable by group", "", false, 0770, "prefix directory"},
      {"drive_c writable by group", "/drive_c", false, 0775, "drive_c directory"},
      {"temp writable by others", "TEMP", false, 0777, "temporary directory"},
      {"registry file writable by group", "/user.reg", false, 0660, "registry file"},
      {"prefix of another user", "", true, 0, "prefix directory"},
      {"temp of another user", "TEMP", true, 0, "temporary directory"},
      {"registry file of another user", "/user.reg", true, 0, "registry file"},
  };
  char tempPath[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, tempPath), 0u);
  std::string tempUnix = WindowsPathToUnix(tempPath);
  while (tempUnix.back() == '/') tempUnix.pop_back();
  const std::string tempRelative = tempUnix.substr(prefix_.size());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.chownToOther && geteuid() != 0) {
      std::printf("skipped '%s': giving a file to another user needs root\n", c.what);
      continue;
    }
    // user.reg exists once the registry was used.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    const std::string path = prefix_ + (c.relative == "TEMP" ? tempRelative : c.relative);
    struct stat before;
    ASSERT_EQ(stat(path.c_str(), &before), 0) << path;
    if (c.chownToOther)
      ASSERT_EQ(chown(path.c_str(), 54321, 54321), 0);
    else
      ASSERT_EQ(chmod(path.c_str(), c.mode), 0);

    const bool registryOnly = c.relative == "/user.reg";
    if (registryOnly) {
      EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_ACCESS_DENIED);
    } else {
      char buffer[MAX_PATH];
      EXPECT_EQ(GetTempPathA(MAX_PATH, buffer), 0u);
      const std::string problem = TempDirectoryProblem();
      EXPECT_NE(problem.find(c.named), std::string::npos) << problem;
      EXPECT_NE(problem.find(path), std::string::npos) << problem;
      EXPECT_NE(problem.find(c.chownToOther ? "54321" : "07"), std::string::npos) << problem;
    }

    // Mended, it is used again.
    if (c.chownToOther) {
      ASSERT_EQ(chown(path.c_str(), before.st_uid, before.st_gid), 0);
    }
    ASSERT_EQ(chmod(path.c_str(), before.st_mode & 07777), 0);
    EXPECT_EQ(TempDirectoryProblem(), "");
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
  }
}
