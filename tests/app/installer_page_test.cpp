// The installer as its user sees it, each run on a private Xvfb and a fresh prefix, with no
// screenshot hook: the start page is on screen before the setup program starts (seen as a
// compositing manager sees windows); links followed while the page loads open outside the
// pane, in fake programs on PATH that log their arguments; and without a display the message
// names the program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <pwd.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tool_build.h"
#include "held_page_server.h"
#include "screen_pointer.h"
#include "window_capture.h"
#include "xvfb_display.h"

extern char** environ;

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// Where the pane lies in the window's client area.
constexpr int kPaneLeft = 168, kPaneTop = 56, kPaneWidth = 529, kPaneHeight = 225;

std::string ReadText(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::vector<std::string> Lines(const fs::path& p) {
  std::vector<std::string> lines;
  std::istringstream in(ReadText(p));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Near(uint32_t a, uint32_t b) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 3) return false;
  return true;
}

// Polls until done() or the time is up; the last answer of done().
bool WaitFor(const std::function<bool()>& done, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return done();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

class InstallerPage : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("stowaway-page-" + std::to_string(getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "prefix");
  }

  void TearDown() override {
    for (pid_t demo : DemoStarts())
      if (demo > 0) kill(demo, SIGTERM);
    fs::remove_all(dir_);
  }

  // Starts the installer; changes override the environment (an empty value removes the
  // variable). Its standard error goes to stderr.txt.
  pid_t Launch(const std::map<std::string, std::string>& changes, std::string exe = STOWAWAY_INSTALLER) {
    std::map<std::string, std::string> env;
    for (char** e = environ; *e; ++e) {
      const std::string kv = *e;
      const size_t eq = kv.find('=');
      if (eq != std::string::npos) env[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    env.erase("STOWAWAY_SCREENSHOT");
    env.erase("WAYLAND_DISPLAY");
    env["STOWAWAY_PREFIX"] = (dir_ / "prefix").string();
    env["STOWAWAY_TRACE"] = (dir_ / "trace.txt").string();
    env["STOWAWAY_DEMO_LOG"] = (dir_ / "demo.log").string();
    env["STOWAWAY_DEMO_SECONDS"] = "1";
    env["NO_AT_BRIDGE"] = "1";
    env["LSAN_OPTIONS"] = "suppressions=" STOWAWAY_LSAN_SUPPRESSIONS;
    for (const auto& [name, value] : changes) {
      if (value.empty())
        env.erase(name);
      else
        env[name] = value;
    }
    std::vector<std::string> kv;
    for (const auto& [k, v] : env) kv.push_back(k + "=" + v);
    std::vector<char*> envp;
    for (auto& s : kv) envp.push_back(s.data());
    envp.push_back(nullptr);
    char* argv[] = {exe.data(), nullptr};
    const std::string errors = (dir_ / "stderr.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  // An installer made by `stowaway build` that carries the page as its start page.
  std::string BuildWithPage(const std::string& page) {
    fs::create_directories(dir_ / "page");
    std::ofstream(dir_ / "page" / "startseite.html", std::ios::binary) << page;
    const std::string out = (dir_ / "installer").string();
    EXPECT_TRUE(RunStowawayBuild(out,
                                 {"--page", (dir_ / "page" / "startseite.html").string(), "--setup",
                                  std::string("vexil_qm_trial.exe=") + STOWAWAY_DEMO_SETUP},
                                 dir_ / "tool-prefix"))
        << "stowaway build failed";
    return out;
  }

  // Waits for the installer to end (killing it after 60 s) and gives its wait status.
  int Wait(pid_t pid) {
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "the installer did not end";
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status;
  }

  // What the trace says after each line of the event, in order.
  std::vector<std::string> Events(const std::string& event) {
    std::vector<std::string> found;
    for (const std::string& line : Lines(dir_ / "trace.txt")) {
      std::istringstream in(line);
      std::string ms, realtime, name, rest;
      in >> ms >> realtime >> name;
      std::getline(in, rest);
      if (name == event) found.push_back(rest.empty() ? rest : rest.substr(1));
    }
    return found;
  }

  // The setup program's starts (it logs each one).
  std::vector<pid_t> DemoStarts() {
    std::vector<pid_t> pids;
    std::istringstream log(ReadText(dir_ / "demo.log"));
    std::string word;
    pid_t pid = 0;
    while (log >> word >> pid) pids.push_back(pid);
    return pids;
  }

  void ExpectOneSetupStart() {
    EXPECT_TRUE(WaitFor([&] { return !DemoStarts().empty(); }, 5));
    EXPECT_EQ(DemoStarts().size(), 1u) << ReadText(dir_ / "demo.log");
  }

  fs::path dir_;
};

TEST_F(InstallerPage, TheStartPageIsOnScreenBeforeTheSetupStarts) {
  XvfbDisplay server;
  if (server.Name().empty()) GTEST_SKIP() << server.Error();
  WindowCapture capture(server.Name(), "Installation");
  ASSERT_EQ(capture.Error(), "");
  const pid_t pid = Launch({{"DISPLAY", server.Name()}});
  ASSERT_GT(pid, 0);
  const int status = Wait(pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "\n" << ReadText(dir_ / "stderr.txt");
  ASSERT_EQ(Events("document-complete").size(), 1u);
  ExpectOneSetupStart();

  // What the window showed when it closed: the start page in the pane, with its hint box
  // (#eef4fc behind a bar of #3c8dd9 on its left).
  const WindowCapture::Image shown = capture.Last();
  ASSERT_EQ(shown.width, 711);
  ASSERT_EQ(shown.height, 344);
  int box = 0, bar = 0;
  for (int y = kPaneTop; y < kPaneTop + kPaneHeight; ++y)
    for (int x = kPaneLeft; x < kPaneLeft + kPaneWidth; ++x) {
      box += Near(shown.At(x, y), 0xEEF4FC);
      bar += Near(shown.At(x, y), 0x3C8DD9);
    }
  EXPECT_GT(box, 5000) << "the pane did not show the page's hint box";
  EXPECT_GT(bar, 80) << "the pane did not show the hint box's bar";
}

// A start page of the stored page's size (so the extraction leaves it in place) with four
// links in coloured blocks and an image from the loopback server that keeps it loading.
std::string LinkPage(int port) {
  const std::string server = "http://127.0.0.1:" + std::to_string(port);
  std::string words;
  for (int i = 0; i < 30; ++i) words += "Installation ";
  std::string page =
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>\n"
      "html, body { margin: 0; padding: 0; background: #ffffff; }\n"
      "a, button { position: absolute; top: 0; width: 120px; height: 80px; border: 0; margin: 0; padding: 0; }\n"
      "#follow { left: 0; background: #ff0000; } #blank { left: 130px; background: #00ff00; }\n"
      "#mail { left: 260px; background: #0000ff; } #open { left: 390px; background: #ffff00; }\n"
      "</style></head><body>\n"
      "<a id=\"follow\" href=\"" +
      server +
      "/followed\"></a>\n"
      "<a id=\"blank\" href=\"" +
      server +
      "/blank\" target=\"_blank\"></a>\n"
      "<a id=\"mail\" href=\"mailto:info@example.com\"></a>\n"
      "<button id=\"open\" onclick=\"window.open('" +
      server +
      "/opened')\"></button>\n"
      "<img src=\"" +
      server +
      "/held.png\" style=\"position: absolute; top: 100px\">\n"
      // Enough text for the engine to count the page as visually non-empty and draw it at
      // once; with coloured boxes alone it may hold the first drawing until the load ends.
      "<p style=\"position: absolute; top: 150px; margin: 0; color: #ffffff\">" +
      words +
      "</p>\n"
      "</body></html>\n";
  const auto size = fs::file_size(STOWAWAY_START_PAGE);
  page += "<!--";
  while (page.size() + 4 < size) page += ' ';
  page += "-->\n";
  return page;
}

// A program that appends each of its arguments as a line to a log.
void WriteLogger(const fs::path& program, const fs::path& log) {
  std::ofstream(program) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" << log.string() << "'; done\n";
  fs::permissions(program, fs::perms::owner_all);
}

TEST_F(InstallerPage, LinksFollowedWhileThePageLoadsOpenOutsideThePane) {
  XvfbDisplay server;
  if (server.Name().empty()) GTEST_SKIP() << server.Error();
  HeldPageServer web("/held.png");
  ASSERT_GT(web.Port(), 0);

  // The fake browser is the first one the prefix finds; the desktop's opener logs too.
  const fs::path bin = dir_ / "bin";
  fs::create_directories(bin);
  WriteLogger(bin / "x-www-browser", dir_ / "browser.log");
  WriteLogger(bin / "xdg-open", dir_ / "opener.log");
  std::ofstream(bin / "xdg-settings") << "#!/bin/sh\nexit 1\n";
  fs::permissions(bin / "xdg-settings", fs::perms::owner_all);

  // The start page holds the links (the installer checks its files, so the page is built in).
  const std::string installer = BuildWithPage(LinkPage(web.Port()));

  const char* path = std::getenv("PATH");
  const pid_t pid =
      Launch({{"DISPLAY", server.Name()}, {"PATH", bin.string() + ":" + (path ? path : "/usr/bin:/bin")}}, installer);
  ASSERT_GT(pid, 0);
  ScreenPointer pointer(server.Name());
  // The page shows its links while its image keeps it loading.
  ASSERT_TRUE(WaitFor([&] { return web.Requested("/held.png"); }, 30)) << ReadText(dir_ / "stderr.txt");
  ASSERT_TRUE(WaitFor(
      [&] { return pointer.Find("Installation") && pointer.ColourAt(kPaneLeft + 60, kPaneTop + 40) == 0xFF0000; }, 30))
      << "window found: " << pointer.Find("Installation") << ", colour " << std::hex
      << pointer.ColourAt(kPaneLeft + 60, kPaneTop + 40) << "\n"
      << ReadText(dir_ / "trace.txt") << ReadText(dir_ / "stderr.txt");

  const int row = kPaneTop + 40;
  for (int column : {60, 190, 320, 450}) {
    pointer.Click(kPaneLeft + column, row);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
  }
  const std::string at = "http://127.0.0.1:" + std::to_string(web.Port());
  EXPECT_TRUE(
      WaitFor([&] { return Lines(dir_ / "browser.log").size() >= 3 && !Lines(dir_ / "opener.log").empty(); }, 15));
  EXPECT_THAT(Lines(dir_ / "browser.log"), ElementsAre(at + "/followed", at + "/blank", at + "/opened"));
  EXPECT_THAT(Lines(dir_ / "opener.log"), ElementsAre("mailto:info@example.com"));
  EXPECT_EQ(Events("open-link").size(), 4u);
  // The pane kept the page, which is still loading: no document is complete, nothing started.
  EXPECT_EQ(pointer.ColourAt(kPaneLeft + 60, row), 0xFF0000u);
  EXPECT_FALSE(web.Requested("/followed"));
  EXPECT_THAT(Events("document-complete"), ::testing::IsEmpty());
  EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "the installer ended";

  // Once the image is answered, the page is complete and the setup program starts.
  web.Release();
  const int status = Wait(pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "\n" << ReadText(dir_ / "stderr.txt");
  const std::vector<std::string> complete = Events("document-complete");
  ASSERT_EQ(complete.size(), 1u);
  EXPECT_THAT(complete[0], HasSubstr("/Temp/startseite.html"));
  ExpectOneSetupStart();
}

TEST_F(InstallerPage, WithoutADisplayTheMessageNamesTheProgram) {
  const pid_t pid = Launch({{"DISPLAY", ""}});
  ASSERT_GT(pid, 0);
  const int status = Wait(pid);
  EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const std::vector<std::string> lines = Lines(dir_ / "stderr.txt");
  ASSERT_FALSE(lines.empty());
  // The program's file name stands where its title would, which is not set yet.
  EXPECT_EQ(lines[0], fs::path(STOWAWAY_INSTALLER).stem().string() + ": Cannot open the display (is DISPLAY set?)");
  EXPECT_TRUE(DemoStarts().empty());
}

}  // namespace
