#include <csignal>
#include <fcntl.h>
#include <set>
#include <sys/wait.h>

#include "prefix_fixture.h"

using FilesTest = PrefixTest;

namespace {

HANDLE Open(const char* name, DWORD access, DWORD share, DWORD disposition) {
  return CreateFileA(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void WriteText(const char* name, const std::string& text) {
  HANDLE h = Open(name, GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(h, text.data(), DWORD(text.size()), &written, nullptr));
  EXPECT_EQ(written, text.size());
  CloseHandle(h);
}

}  // namespace

TEST_F(FilesTest, CreateFileDispositionsAndErrors) {
  struct Case {
    const char* name;
    DWORD access;
    DWORD disposition;
    bool ok;
    DWORD error;  // last error after the call
  } cases[] = {
      {"C:\\f.txt", GENERIC_READ, OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND},
      {"C:\\nodir\\f.txt", GENERIC_READ, OPEN_EXISTING, false, ERROR_PATH_NOT_FOUND},
      {"C:\\f.txt", GENERIC_WRITE, CREATE_NEW, true, ERROR_SUCCESS},
      {"C:\\f.txt", GENERIC_WRITE, CREATE_NEW, false, ERROR_FILE_EXISTS},
      {"C:\\F.TXT", GENERIC_WRITE, CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS},
      {"C:\\f.txt", GENERIC_READ, OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS},
      {"C:\\g.txt", GENERIC_READ, OPEN_ALWAYS, true, ERROR_SUCCESS},
      {"C:\\f.txt", 0, OPEN_EXISTING, true, ERROR_SUCCESS},
      {"C:\\windows", GENERIC_READ, OPEN_EXISTING, false, ERROR_ACCESS_DENIED},
      {"C:\\f.txt", GENERIC_READ, 99, false, ERROR_INVALID_PARAMETER},
      {"Q:\\f.txt", GENERIC_READ, OPEN_EXISTING, false, ERROR_PATH_NOT_FOUND},
  };
  for (const Case& c : cases) {
    SetLastError(12345);
    HANDLE h = Open(c.name, c.access, FILE_SHARE_READ | FILE_SHARE_WRITE, c.disposition);
    EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.ok) << c.name << " " << c.disposition;
    EXPECT_EQ(GetLastError(), c.error) << c.name << " " << c.disposition;
    if (h != INVALID_HANDLE_VALUE) {
      EXPECT_TRUE(CloseHandle(h));
    }
  }
  EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(0x1234)));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(FilesTest, WriteReadAndSizes) {
  WriteText("C:\\data.bin", "hello world");
  HANDLE h = Open("C:\\data.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  char buffer[32] = {};
  DWORD read = 0;
  EXPECT_TRUE(ReadFile(h, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), "hello world");
  DWORD written = 7;
  EXPECT_FALSE(WriteFile(h, "x", 1, &written, nullptr));  // opened for reading only
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_EQ(written, 0u);
  CloseHandle(h);

  // A size query (no access rights) sees all 64 bits of a large sparse file.
  const std::string unix = WindowsPathToUnix("C:\\big.bin");
  ASSERT_EQ(truncate(unix.c_str(), 0), -1);  // does not exist yet
  { std::ofstream(unix).put('x'); }
  ASSERT_EQ(truncate(unix.c_str(), (5LL << 30) + 3), 0);
  h = Open("C:\\big.bin", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD high = 0;
  EXPECT_EQ(GetFileSize(h, &high), 0x40000003u);
  EXPECT_EQ(high, 1u);
  CloseHandle(h);
  EXPECT_EQ(GetFileSize(h, &high), INVALID_FILE_SIZE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(FilesTest, SharingModesWithinTheProcess) {
  WriteText("C:\\s.txt", "s");
  HANDLE first = Open("C:\\s.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  HANDLE reader = Open("C:\\s.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  HANDLE writer = Open("C:\\s.txt", GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
  CloseHandle(reader);
  CloseHandle(first);
}

TEST_F(FilesTest, DirectoriesAndAttributes) {
  EXPECT_TRUE(CreateDirectoryA("C:\\d1", nullptr));
  EXPECT_FALSE(CreateDirectoryA("C:\\d1", nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectoryA("C:\\missing\\d2", nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
  WriteText("C:\\d1\\f", "f");
  EXPECT_EQ(GetFileAttributesA("C:\\d1"), DWORD(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(GetFileAttributesA("C:\\d1\\f"), DWORD(FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(GetFileAttributesA("C:\\d1\\nope"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(RemoveDirectoryA("C:\\d1"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_DIR_NOT_EMPTY));
  EXPECT_FALSE(RemoveDirectoryA("C:\\d1\\f"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_DIRECTORY));
  EXPECT_FALSE(DeleteFileA("C:\\d1"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(DeleteFileA("C:\\d1\\f"));
  EXPECT_FALSE(DeleteFileA("C:\\d1\\f"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(RemoveDirectoryA("C:\\d1"));

  // The read-only attribute: no writing, no deleting (root included).
  HANDLE h = CreateFileA("C:\\ro.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_EQ(GetFileAttributesA("C:\\ro.txt"), DWORD(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(Open("C:\\ro.txt", GENERIC_WRITE, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(DeleteFileA("C:\\ro.txt"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

TEST_F(FilesTest, FindListsEntriesAsWindowsDoes) {
  CreateDirectoryA("C:\\list", nullptr);
  CreateDirectoryA("C:\\list\\Sub", nullptr);
  WriteText("C:\\list\\b.TXT", "12345");
  WriteText("C:\\list\\a.txt", "1");
  WriteText("C:\\list\\noext", "");
  struct Case {
    const char* pattern;
    std::vector<std::string> names;
  } cases[] = {
      {"C:\\list\\*.*", {".", "..", "a.txt", "b.TXT", "noext", "Sub"}},
      {"C:\\list\\*", {".", "..", "a.txt", "b.TXT", "noext", "Sub"}},
      {"C:\\list\\*.txt", {"a.txt", "b.TXT"}},
      {"C:\\list\\?.txt", {"a.txt", "b.TXT"}},
      {"C:\\list\\NOEXT", {"noext"}},
      {"C:\\list\\s*", {"Sub"}},
  };
  for (const Case& c : cases) {
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(c.pattern, &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << c.pattern;
    std::vector<std::string> names;
    do {
      names.push_back(data.cFileName);
      if (names.back() == "b.TXT") {
        EXPECT_EQ(data.nFileSizeLow, 5u);
      }
      if (names.back() == "Sub") {
        EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
      }
    } while (FindNextFileA(h, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(h));
    EXPECT_EQ(names, c.names) << c.pattern;
  }
  WIN32_FIND_DATAA data;
  EXPECT_EQ(FindFirstFileA("C:\\list\\*.none", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(FindFirstFileA("C:\\nolist\\*.*", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
  // A drive's root lists no "." and "..".
  HANDLE h = FindFirstFileA("C:\\*", &data);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_STRNE(data.cFileName, ".");
  FindClose(h);
}

TEST_F(FilesTest, DeleteRefusedWhileAnotherProcessHoldsOrRunsTheFile) {
  // Held open by a child process.
  WriteText("C:\\held.txt", "x");
  const std::string held = WindowsPathToUnix("C:\\held.txt");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    int fd = open(held.c_str(), O_RDONLY);
    char c = fd >= 0 ? 'y' : 'n';
    if (write(ready[1], &c, 1) != 1) _exit(1);
    pause();
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  EXPECT_FALSE(DeleteFileA("C:\\held.txt"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  EXPECT_TRUE(DeleteFileA("C:\\held.txt"));

  // Executed: a copy of sleep running from the prefix.
  const std::string program = DriveC() + "/sleeper";
  std::filesystem::copy_file("/bin/sleep", program);
  chmod(program.c_str(), 0755);
  pid_t runner = fork();
  ASSERT_GE(runner, 0);
  if (runner == 0) {
    execl(program.c_str(), "sleeper", "30", static_cast<char*>(nullptr));
    _exit(127);
  }
  bool running = false;
  for (int i = 0; i < 200 && !running; ++i) {  // until the exec has happened
    std::error_code ec;
    running = std::filesystem::read_symlink("/proc/" + std::to_string(runner) + "/exe", ec) == program;
    if (!running) usleep(10000);
  }
  ASSERT_TRUE(running);
  EXPECT_FALSE(DeleteFileA("C:\\sleeper"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  kill(runner, SIGKILL);
  waitpid(runner, nullptr, 0);
  EXPECT_TRUE(DeleteFileA("C:\\sleeper"));

  // This process's own handle blocks deletion unless it shares deletion.
  WriteText("C:\\own.txt", "x");
  HANDLE h = Open("C:\\own.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_FALSE(DeleteFileA("C:\\own.txt"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
  CloseHandle(h);
  h = Open("C:\\own.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING);
  EXPECT_TRUE(DeleteFileA("C:\\own.txt"));
  CloseHandle(h);
}

TEST_F(FilesTest, ModuleFileNameIsAWindowsPath) {
  char name[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, name, MAX_PATH);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(WindowsPathToUnix(name), std::filesystem::read_symlink("/proc/self/exe").string());
  char small[5];
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 5u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::string(small), std::string(name, 4));
}
