#include <sys/stat.h>

#include "prefix_fixture.h"

using PathsTest = PrefixTest;

TEST_F(PathsTest, WindowsPathsMapToUnixPaths) {
  std::filesystem::create_directories(DriveC() + "/Program Files/Tool");
  std::filesystem::create_directories(DriveC() + "/\xc5\xa1\xc5\x93\xc5\xbe\xc3\xbf");  // šœžÿ
  struct Case {
    std::string windows;
    std::string unix;
  } cases[] = {
      {"C:\\windows", DriveC() + "/windows"},
      {"c:/windows/system32", DriveC() + "/windows/system32"},
      {"C:\\WINDOWS\\SYSTEM32\\", DriveC() + "/windows/system32"},  // existing names, any case
      {"C:\\program files\\TOOL\\new.txt", DriveC() + "/Program Files/Tool/new.txt"},
      {"C:\\windows\\..\\..\\..\\windows", DriveC() + "/windows"},  // never above the root
      {"C:\\windows\\.\\temp\\x.", DriveC() + "/windows/temp/x"},   // trailing dot dropped
      {"Z:\\etc\\hostname", "/etc/hostname"},
      {"z:/", "/"},
      {"\\\\?\\C:\\windows", DriveC() + "/windows"},
      {"C:\\caf\xe9", DriveC() + "/caf\xc3\xa9"},  // Windows-1252 name, UTF-8 on disk
      // The code page's letter pairs beyond Latin-1 match an existing name in either case.
      {"C:\\\x8a\x8c\x8e\x9f", DriveC() + "/\xc5\xa1\xc5\x93\xc5\xbe\xc3\xbf"},
      {"C:\\\x9a\x9c\x9e\xff", DriveC() + "/\xc5\xa1\xc5\x93\xc5\xbe\xc3\xbf"},
  };
  for (const Case& c : cases) EXPECT_EQ(WindowsPathToUnix(c.windows), c.unix) << c.windows;

  for (const char* bad : {"D:\\x", "C:\\a*b", "\\\\server\\share\\x", ""})
    EXPECT_THROW(WindowsPathToUnix(bad), std::runtime_error) << bad;
}

TEST_F(PathsTest, RelativePathsFollowTheCurrentDirectory) {
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  std::filesystem::create_directories(DriveC() + "/work/sub");
  ASSERT_EQ(chdir((DriveC() + "/work/sub").c_str()), 0);
  EXPECT_EQ(WindowsPathToUnix("a.txt"), DriveC() + "/work/sub/a.txt");
  EXPECT_EQ(WindowsPathToUnix("..\\b"), DriveC() + "/work/b");
  EXPECT_EQ(WindowsPathToUnix("\\top"), DriveC() + "/top");  // root of the current drive
  EXPECT_EQ(UnixPathToWindows("x"), "C:\\work\\sub\\x");
  ASSERT_EQ(chdir(old), 0);
}

TEST_F(PathsTest, UnixPathsMapBack) {
  EXPECT_EQ(UnixPathToWindows(DriveC()), "C:\\");
  EXPECT_EQ(UnixPathToWindows(DriveC() + "/windows/x.ini"), "C:\\windows\\x.ini");
  EXPECT_EQ(UnixPathToWindows("/usr/bin/env"), "Z:\\usr\\bin\\env");
  EXPECT_EQ(UnixPathToWindows("/usr/../tmp/caf\xc3\xa9"), "Z:\\tmp\\caf\xe9");
  EXPECT_THROW(UnixPathToWindows("/tmp/\xe2\x82\xac\xe2\x98\x83"), std::runtime_error);  // snowman
}

TEST_F(PathsTest, DirectoryQueriesFollowWin32BufferRules) {
  struct Case {
    const char* name;
    std::function<DWORD(char*, DWORD)> call;
    std::string expected;
  } cases[] = {
      {"windows", [](char* b, DWORD n) { return GetWindowsDirectoryA(b, n); }, "C:\\windows"},
      {"system", [](char* b, DWORD n) { return GetSystemDirectoryA(b, n); }, "C:\\windows\\system32"},
      {"temp", [](char* b, DWORD n) { return GetTempPathA(n, b); }, "C:\\users\\"},
  };
  for (const Case& c : cases) {
    char buffer[MAX_PATH];
    DWORD n = c.call(buffer, MAX_PATH);
    ASSERT_GT(n, 0u) << c.name;
    EXPECT_EQ(n, std::strlen(buffer)) << c.name;
    EXPECT_EQ(std::string(buffer).substr(0, c.expected.size()), c.expected) << c.name;
    // Too small a buffer: the size needed with the terminator, nothing written.
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(c.call(small, n), n + 1) << c.name;
    EXPECT_EQ(small[0], 'x') << c.name;
    EXPECT_EQ(c.call(nullptr, 0), n + 1) << c.name;
    EXPECT_EQ(GetFileAttributesA(buffer) & FILE_ATTRIBUTE_DIRECTORY, DWORD(FILE_ATTRIBUTE_DIRECTORY)) << c.name;
  }
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  EXPECT_EQ(std::string(temp).back(), '\\');
  struct stat st;
  ASSERT_EQ(stat(WindowsPathToUnix(temp).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(PathsTest, PlantedTemporaryDirectoryIsRefused) {
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
  const std::string unix = WindowsPathToUnix(temp);
  // Someone replaces it by a link to a directory of their choosing.
  std::filesystem::remove_all(unix);
  std::filesystem::create_directories(base_ + "/elsewhere");
  ASSERT_EQ(symlink((base_ + "/elsewhere").c_str(), unix.c_str()), 0);
  EXPECT_EQ(GetTempPathA(MAX_PATH, temp), 0u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));

  // One that others may write to is refused too: something may be planted in it already.
  unlink(unix.c_str());
  mkdir(unix.c_str(), 0777);
  chmod(unix.c_str(), 0777);
  EXPECT_EQ(GetTempPathA(MAX_PATH, temp), 0u);
  // One that others may only read is still ours alone: made private again.
  chmod(unix.c_str(), 0755);
  EXPECT_GT(GetTempPathA(MAX_PATH, temp), 0u);
  struct stat st;
  ASSERT_EQ(stat(unix.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(PathsTest, PrefixHoldsStandardFoldersAndLinksTheDesktop) {
  ASSERT_EQ(StowawayPrefixDirectory(), prefix_);
  for (const char* folder :
       {"C:\\windows\\system32", "C:\\windows\\temp", "C:\\Program Files", "C:\\ProgramData", "C:\\windows\\Fonts"})
    EXPECT_NE(GetFileAttributesA(folder), INVALID_FILE_ATTRIBUTES) << folder;
  char user[256];
  DWORD size = sizeof user;
  ASSERT_TRUE(GetUserNameA(user, &size));
  const std::string desktop = DriveC() + "/users/" + user + "/Desktop";
  std::error_code ec;
  EXPECT_EQ(std::filesystem::read_symlink(desktop, ec).string(), base_ + "/home/Desk");
}

// A prefix path that cannot be a directory is refused with a message that says why.
TEST_F(PathsTest, PrefixThatIsAFileIsRefusedSayingWhy) {
  std::ofstream(base_ + "/file") << "x";
  const struct {
    std::string prefix;
    const char* says;
  } cases[] = {
      {base_ + "/file", "exists but is not a directory (STOWAWAY_PREFIX must name a directory)"},
      {base_ + "/file/below", "Not a directory"},
  };
  for (const auto& c : cases) {
    setenv("STOWAWAY_PREFIX", c.prefix.c_str(), 1);
    try {
      StowawayPrefixDirectory();
      ADD_FAILURE() << c.prefix << " was taken";
    } catch (const std::exception& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(c.prefix), std::string::npos) << message;
      EXPECT_NE(message.find(c.says), std::string::npos) << message;
      EXPECT_EQ(message.find("Success"), std::string::npos) << message;
    }
  }
}
