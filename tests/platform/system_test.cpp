#include <algorithm>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/utsname.h>

#include "prefix_fixture.h"

using SystemTest = PrefixTest;

TEST(System, EnvironmentVariablesFollowWin32Conventions) {
  setenv("STOWAWAY_TEST_VAR", "value", 1);
  EXPECT_EQ(GetEnvironmentVariableA("STOWAWAY_TEST_VAR", nullptr, 0), 6u);
  char buffer[6];
  EXPECT_EQ(GetEnvironmentVariableA("stowaway_test_var", buffer, 6), 5u);  // any case
  EXPECT_STREQ(buffer, "value");
  char small[5] = "xxxx";
  EXPECT_EQ(GetEnvironmentVariableA("STOWAWAY_TEST_VAR", small, 5), 6u);
  EXPECT_STREQ(small, "xxxx");
  unsetenv("STOWAWAY_TEST_VAR");
  EXPECT_EQ(GetEnvironmentVariableA("STOWAWAY_TEST_VAR", buffer, 6), 0u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ENVVAR_NOT_FOUND));
}

TEST(System, VersionIsTheKernelsUnderItsOwnPlatformId) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = 100;
  EXPECT_FALSE(GetVersionExA(&info));
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExA(&info));
  EXPECT_EQ(info.dwPlatformId, DWORD(VER_PLATFORM_STOWAWAY_LINUX));
  EXPECT_NE(info.dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));
  EXPECT_NE(info.dwPlatformId, DWORD(VER_PLATFORM_WIN32_WINDOWS));
  struct utsname names;
  uname(&names);
  EXPECT_EQ(
      std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion),
      std::string(names.release)
          .substr(0, std::to_string(info.dwMajorVersion).size() + 1 + std::to_string(info.dwMinorVersion).size()));
}

TEST(System, PrioritiesAreRestoredAfterARaise) {
  const DWORD cls = GetPriorityClass(GetCurrentProcess());
  const int prio = GetThreadPriority(GetCurrentThread());
  ASSERT_NE(cls, 0u);
  ASSERT_NE(prio, THREAD_PRIORITY_ERROR_RETURN);
  errno = 0;
  const int niceBefore = getpriority(PRIO_PROCESS, 0);
  // May be refused without privileges; either way nothing breaks.
  SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  const uint64_t t0 = ReadTimeStampCounter();
  Sleep(10);
  EXPECT_GT(ReadTimeStampCounter(), t0);
  EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), prio));
  EXPECT_TRUE(SetPriorityClass(GetCurrentProcess(), cls));
  EXPECT_EQ(getpriority(PRIO_PROCESS, 0), niceBefore);
  EXPECT_FALSE(SetPriorityClass(GetCurrentProcess(), 0x12345));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(SetPriorityClass(reinterpret_cast<HANDLE>(0x55), cls));
}

TEST(System, TickCountAdvancesWithSleep) {
  const DWORD start = GetTickCount();
  Sleep(30);
  EXPECT_GE(GetTickCount() - start, 29u);
}

TEST(System, NamesFollowWin32BufferRules) {
  char name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = sizeof name;
  ASSERT_TRUE(GetComputerNameA(name, &size));
  EXPECT_EQ(size, std::strlen(name));
  DWORD tiny = 1;
  EXPECT_FALSE(GetComputerNameA(name, &tiny));
  EXPECT_EQ(tiny, size + 1);

  char user[256];
  DWORD userSize = sizeof user;
  ASSERT_TRUE(GetUserNameA(user, &userSize));
  EXPECT_EQ(userSize, std::strlen(user) + 1);  // counts the terminator
  DWORD small = 1;
  EXPECT_FALSE(GetUserNameA(user, &small));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(small, userSize);
}

TEST_F(SystemTest, ShellExecuteStartsProgramsAndHandsOtherFilesToTheDesktop) {
  // A script written without the executable bit, as the extraction leaves it.
  const std::string marker = base_ + "/ran";
  {
    std::ofstream(DriveC() + "/setup.sh")
        << "#!/bin/sh\necho \"$1|$2\" > '" << marker << ".tmp'; mv '" << marker << ".tmp' '" << marker << "'\n";
  }
  chmod((DriveC() + "/setup.sh").c_str(), 0644);
  HINSTANCE r = ShellExecuteA(nullptr, "open", "C:\\setup.sh", "\"two words\" x", nullptr, SW_SHOW);
  EXPECT_GT(reinterpret_cast<INT_PTR>(r), 32);
  struct stat st;
  ASSERT_EQ(stat((DriveC() + "/setup.sh").c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
  for (int i = 0; i < 300 && access(marker.c_str(), F_OK) != 0; ++i) usleep(10000);
  EXPECT_EQ(ReadAll(marker), "two words|x\n");

  // Documents and addresses go to xdg-open: here a stand-in that records its argument.
  std::filesystem::create_directories(base_ + "/bin");
  const std::string opened = base_ + "/opened";
  { std::ofstream(base_ + "/bin/xdg-open") << "#!/bin/sh\necho \"$1\" >> '" << opened << "'\n"; }
  chmod((base_ + "/bin/xdg-open").c_str(), 0755);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (base_ + "/bin:" + oldPath).c_str(), 1);
  std::ofstream(DriveC() + "/page.html") << "<html></html>";
  EXPECT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", "C:\\page.html", nullptr, nullptr, SW_SHOW)), 32);
  EXPECT_GT(
      reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, nullptr, "https://example.org/a b", nullptr, nullptr, SW_SHOW)),
      32);
  setenv("PATH", oldPath.c_str(), 1);
  auto lines = [&] {
    const std::string text = ReadAll(opened);
    return std::count(text.begin(), text.end(), '\n');
  };
  for (int i = 0; i < 300 && lines() < 2; ++i) usleep(10000);
  EXPECT_EQ(ReadAll(opened), DriveC() + "/page.html\nhttps://example.org/a b\n");

  // Files that begin with "#!" but are documents (no executable bit, no program
  // extension) go to the opener too, unchanged; scripts that are programs run.
  struct Case {
    const char* name;
    mode_t mode;
    bool runs;
  };
  const Case cases[] = {
      {"notes.txt", 0644, false},
      {"readme", 0600, false},
      {"tool", 0755, true},
      {"INSTALL.CMD", 0644, true},
  };
  setenv("PATH", (base_ + "/bin:" + oldPath).c_str(), 1);
  std::string expectedOpened = ReadAll(opened);
  for (const Case& c : cases) {
    const std::string path = DriveC() + "/" + c.name;
    const std::string ran = base_ + "/ran-" + c.name;
    std::ofstream(path) << "#!/bin/sh\ntouch '" << ran << "'\n";
    chmod(path.c_str(), c.mode);
    const std::string windowsPath = std::string("C:\\") + c.name;
    EXPECT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", windowsPath.c_str(), nullptr, nullptr, SW_SHOW)),
              32)
        << c.name;
    struct stat after;
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    if (c.runs) {
      for (int i = 0; i < 300 && access(ran.c_str(), F_OK) != 0; ++i) usleep(10000);
      EXPECT_EQ(access(ran.c_str(), F_OK), 0) << c.name << " did not run";
    } else {
      EXPECT_EQ(after.st_mode & 07777, c.mode) << c.name << ": mode changed";
      expectedOpened += path + "\n";
      for (int i = 0; i < 300 && ReadAll(opened) != expectedOpened; ++i) usleep(10000);
      EXPECT_EQ(ReadAll(opened), expectedOpened) << c.name;
      EXPECT_NE(access(ran.c_str(), F_OK), 0) << c.name << " ran";
    }
  }
  setenv("PATH", oldPath.c_str(), 1);

  EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", "C:\\missing.exe", nullptr, nullptr, SW_SHOW)),
            INT_PTR(SE_ERR_FNF));
  EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "print", "C:\\setup.sh", nullptr, nullptr, SW_SHOW)),
            INT_PTR(SE_ERR_NOASSOC));
}
