// Runs the Windows installer (under Wine in the test run) and checks the whole run from the
// outside: the carried files in %TEMP% before the window shows, one visible top-level window
// "Installation" with a 711 x 344 client area, the one start of the setup program, the end
// of the program and the removal of the start page. The second installer carries no start
// page: its navigation fails, and it must reach the setup program all the same.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr int kDemoSeconds = 2;
constexpr DWORD kRunLimitMs = 90000;

// The Windows path of a host path given at build time ("/x/y" is Z:\x\y under Wine).
std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string TempDir() {
  char buf[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, buf);
  return buf;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

struct Found {
  DWORD process;
  HWND window = nullptr;
};

BOOL CALLBACK FindInstallation(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char title[64] = {};
  GetWindowTextA(hwnd, title, sizeof title);
  if (pid == found->process && IsWindowVisible(hwnd) && std::string(title) == "Installation") {
    found->window = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct RunResult {
  bool windowSeen = false;
  bool filesBeforeWindow = false;
  RECT client{};
  DWORD exitCode = 0xFFFFFFFF;
  bool ended = false;
};

RunResult RunInstaller(const std::string& exe, const std::string& demoLog) {
  SetEnvironmentVariableA("STOWAWAY_DEMO_LOG", demoLog.c_str());
  SetEnvironmentVariableA("STOWAWAY_DEMO_SECONDS", std::to_string(kDemoSeconds).c_str());
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string command = "\"" + exe + "\"";
  RunResult r;
  if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    ADD_FAILURE() << "cannot start " << exe << ": error " << GetLastError();
    return r;
  }
  const std::string temp = TempDir();
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kRunLimitMs) {
    if (!r.windowSeen) {
      Found found{pi.dwProcessId};
      EnumWindows(&FindInstallation, reinterpret_cast<LPARAM>(&found));
      if (found.window) {
        r.windowSeen = true;
        r.filesBeforeWindow = Exists(temp + "vexil_qm_trial.exe");
        GetClientRect(found.window, &r.client);
      }
    }
    if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) {
      r.ended = true;
      break;
    }
  }
  if (!r.ended) TerminateProcess(pi.hProcess, 99);
  GetExitCodeProcess(pi.hProcess, &r.exitCode);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return r;
}

struct Installer {
  const char* name;
  const char* path;
  bool carriesPage;
};

class WindowsInstallerTest : public ::testing::TestWithParam<Installer> {};

TEST_P(WindowsInstallerTest, ShowsItsWindowStartsTheSetupOnceAndCleansUp) {
  const Installer& installer = GetParam();
  const std::string temp = TempDir();
  const std::string log = temp + "stowaway-demo-" + installer.name + ".log";
  DeleteFileA(log.c_str());
  DeleteFileA((temp + "startseite.html").c_str());
  const RunResult r = RunInstaller(WindowsPath(installer.path), log);

  EXPECT_TRUE(r.ended) << "the installer did not end within " << kRunLimitMs << " ms";
  EXPECT_EQ(r.exitCode, 0u);
  ASSERT_TRUE(r.windowSeen) << "no visible top-level window \"Installation\"";
  EXPECT_TRUE(r.filesBeforeWindow) << "the setup program was not in %TEMP% when the window showed";
  EXPECT_EQ(r.client.right - r.client.left, 711);
  EXPECT_EQ(r.client.bottom - r.client.top, 344);
  // The setup program logs its start at once; it may still run when the installer ends.
  for (int i = 0; i < 100 && ReadText(log).empty(); ++i) Sleep(50);
  std::istringstream lines(ReadText(log));
  int starts = 0;
  for (std::string line; std::getline(lines, line);) starts += line.rfind("started ", 0) == 0;
  EXPECT_EQ(starts, 1);
  EXPECT_FALSE(Exists(temp + "startseite.html")) << "the start page was not removed at the end";
  // Let the setup program go before the next run, so that its file can be replaced.
  Sleep((kDemoSeconds + 1) * 1000);
  DeleteFileA(log.c_str());
}

INSTANTIATE_TEST_SUITE_P(Installers, WindowsInstallerTest,
                         ::testing::Values(Installer{"installer", STOWAWAY_INSTALLER, true},
                                           Installer{"nopage", STOWAWAY_INSTALLER_NOPAGE, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
