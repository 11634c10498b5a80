// Runs the real installer under a private Xvfb with a fresh prefix and checks the whole run:
// extraction before the window, the window, the page, the one start of the setup program, the
// end of the program and the removal of the extracted files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <pwd.h>
#include <sched.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tool_build.h"
#include "xvfb_display.h"

extern char** environ;

namespace fs = std::filesystem;
using ::testing::HasSubstr;

namespace {

constexpr int kDemoSeconds = 2;

XvfbDisplay& Display() {
  static XvfbDisplay display;
  return display;
}

std::string ReadText(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

struct TraceLine {
  double ms = 0;
  double realtime = 0;
  std::string event;
  std::string rest;
};

std::vector<TraceLine> ReadTrace(const fs::path& p) {
  std::vector<TraceLine> lines;
  std::istringstream in(ReadText(p));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream l(line);
    TraceLine t;
    l >> t.ms >> t.realtime >> t.event;
    std::getline(l, t.rest);
    if (!t.rest.empty() && t.rest[0] == ' ') t.rest.erase(0, 1);
    lines.push_back(t);
  }
  return lines;
}

int IndexOf(const std::vector<TraceLine>& trace, const std::string& event) {
  for (size_t i = 0; i < trace.size(); ++i)
    if (trace[i].event == event) return static_cast<int>(i);
  return -1;
}

int CountOf(const std::vector<TraceLine>& trace, const std::string& event) {
  int n = 0;
  for (const auto& t : trace) n += t.event == event;
  return n;
}

// Width and height from a PNG's header.
bool PngSize(const fs::path& p, uint32_t& w, uint32_t& h) {
  const std::string b = ReadText(p);
  if (b.size() < 24 || b.compare(1, 3, "PNG") != 0 || b.compare(12, 4, "IHDR") != 0) return false;
  auto be = [&](size_t at) {
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 | uint32_t(uint8_t(b[at + 2])) << 8 |
           uint8_t(b[at + 3]);
  };
  w = be(16);
  h = be(20);
  return true;
}

double MtimeSeconds(const fs::path& p) {
  struct stat st {};
  if (stat(p.c_str(), &st) != 0) return -1;
  return double(st.st_mtim.tv_sec) + double(st.st_mtim.tv_nsec) / 1e9;
}

bool Alive(pid_t pid) { return pid > 0 && kill(pid, 0) == 0; }

// The temporary directory below a prefix, as the installer names it for this user.
fs::path TempBelow(const fs::path& prefix) {
  const struct passwd* pw = getpwuid(geteuid());
  return prefix / "drive_c" / "users" / (pw && pw->pw_name ? pw->pw_name : "user") / "Temp";
}

// A small tmpfs mounted over a directory in a mount namespace of the calling process's own.
struct SmallMount {
  unsigned long flags = 0;
  std::string options;
};

// Mounts m over dir in a new mount namespace; true when it worked. Only async-signal-safe
// calls: it runs between fork and exec.
bool MountPrivately(const char* dir, const SmallMount& m) {
  return unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
         mount("tmpfs", dir, "tmpfs", m.flags, m.options.c_str()) == 0;
}

// Whether this process may mount such a file system (root in CI); the reason when not.
std::string CannotMount() {
  const fs::path dir = fs::temp_directory_path() / ("stowaway-mount-probe-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string path = dir.string();
  const SmallMount m{0, "size=8k,mode=0700"};
  const pid_t pid = fork();
  if (pid == 0) _exit(MountPrivately(path.c_str(), m) ? 0 : 1);
  int status = 0;
  waitpid(pid, &status, 0);
  fs::remove_all(dir);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0
             ? std::string()
             : "cannot mount a small file system over the temporary directory (needs root)";
}

struct RunRecord {
  fs::path prefix, trace, shot, demoLog, temp;
  int status = -1;
  bool timedOut = false;
  std::vector<TraceLine> lines;
  std::vector<pid_t> demoPids;
};

class InstallerRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Display().Name().empty()) GTEST_SKIP() << Display().Error();
  }

  void TearDown() override {
    for (pid_t pid : run_.demoPids)
      if (Alive(pid)) kill(pid, SIGTERM);
    if (!run_.prefix.empty()) fs::remove_all(run_.prefix);
  }

  // Starts the installer, waits for it (at most 60 s) and for the demo program's start.
  void Start(const std::string& executable, const std::string& artefact) {
    const pid_t pid = Launch(executable, artefact);
    ASSERT_GT(pid, 0);
    Finish(pid);
  }

  // Starts the installer on a fresh prefix; prepare may change the prefix first, and mount,
  // when given, is mounted over the temporary directory for the installer alone.
  pid_t Launch(const std::string& executable, const std::string& artefact,
               const std::function<void(const fs::path&)>& prepare = {}, const SmallMount* mount = nullptr) {
    run_.prefix = fs::temp_directory_path() / ("stowaway-e2e-" + std::to_string(getpid()) + "-" + artefact);
    fs::remove_all(run_.prefix);
    fs::create_directories(run_.prefix);
    fs::permissions(run_.prefix, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
    run_.trace = run_.prefix / "trace.txt";
    run_.demoLog = run_.prefix / "demo.log";
    run_.shot = fs::path(STOWAWAY_ARTEFACT_DIR) / (artefact + ".png");
    fs::create_directories(run_.shot.parent_path());
    fs::remove(run_.shot);

    std::map<std::string, std::string> env;
    for (char** e = environ; *e; ++e) {
      std::string kv = *e;
      const size_t eq = kv.find('=');
      if (eq != std::string::npos) env[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    env["DISPLAY"] = Display().Name();
    env.erase("WAYLAND_DISPLAY");
    env["STOWAWAY_PREFIX"] = run_.prefix.string();
    env["STOWAWAY_TRACE"] = run_.trace.string();
    env["STOWAWAY_SCREENSHOT"] = run_.shot.string();
    env["STOWAWAY_DEMO_LOG"] = run_.demoLog.string();
    env["STOWAWAY_DEMO_SECONDS"] = std::to_string(kDemoSeconds);
    env["NO_AT_BRIDGE"] = "1";
    env["LSAN_OPTIONS"] = "suppressions=" STOWAWAY_LSAN_SUPPRESSIONS;
    std::vector<std::string> kv;
    for (auto& [k, v] : env) kv.push_back(k + "=" + v);
    std::vector<char*> envp;
    for (auto& s : kv) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string exe = executable;
    char* argv[] = {exe.data(), nullptr};
    if (prepare) prepare(run_.prefix);

    if (mount) {
      const std::string temp = TempBelow(run_.prefix).string();
      const pid_t pid = fork();
      if (pid == 0) {
        if (MountPrivately(temp.c_str(), *mount)) execve(exe.c_str(), argv, envp.data());
        _exit(127);
      }
      return pid;
    }
    pid_t pid = -1;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
    return pid;
  }

  // Waits (at most 60 s) until the installer's trace holds event; false when it never does.
  bool WaitForEvent(const std::string& event) {
    for (int i = 0; i < 12000; ++i) {
      if (IndexOf(ReadTrace(run_.trace), event) >= 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  void Finish(pid_t pid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        run_.timedOut = true;
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run_.status = status;
    run_.lines = ReadTrace(run_.trace);
    // The demo program logs its start as its first step; give it a moment.
    for (int i = 0; i < 100 && ReadText(run_.demoLog).empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::istringstream log(ReadText(run_.demoLog));
    std::string word;
    pid_t demo;
    while (log >> word >> demo) run_.demoPids.push_back(demo);
    run_.temp = TempBelow(run_.prefix);
  }

  // A run that could not start the setup program: the user was told (a message box naming
  // the problem, answered here by SIGTERM, which closes it), nothing was started, status 1.
  void ExpectToldAndNothingStarted(pid_t pid, const std::vector<std::string>& texts) {
    ASSERT_GT(pid, 0);
    const bool told = WaitForEvent("message-box");
    kill(pid, SIGTERM);
    Finish(pid);
    ASSERT_TRUE(told) << "no message box; trace:\n" << ReadText(run_.trace);
    const std::string message = run_.lines[IndexOf(run_.lines, "message-box")].rest;
    for (const std::string& text : texts) EXPECT_THAT(message, HasSubstr(text));
    EXPECT_TRUE(WIFEXITED(run_.status) && WEXITSTATUS(run_.status) == 1) << "status " << run_.status;
    EXPECT_EQ(ReadText(run_.demoLog), "") << "the setup program started";
    EXPECT_EQ(IndexOf(run_.lines, "shown"), -1) << "the window was shown";
  }

  void ExpectCleanEnd() {
    EXPECT_FALSE(run_.timedOut) << "the installer did not end";
    EXPECT_TRUE(WIFEXITED(run_.status) && WEXITSTATUS(run_.status) == 0) << "status " << run_.status;
    const int loopEnd = IndexOf(run_.lines, "loop-end");
    EXPECT_GE(loopEnd, 0);
    EXPECT_GT(IndexOf(run_.lines, "application-destroyed"), loopEnd);
  }

  void ExpectOneSetupStartThatOutlivesTheInstaller(const std::string& setupName = "vexil_qm_trial.exe") {
    ASSERT_EQ(run_.demoPids.size(), 1u) << ReadText(run_.demoLog);
    const fs::path setup = run_.temp / setupName;
    // The installer has ended; the setup program still runs from its file, which stays.
    EXPECT_TRUE(Alive(run_.demoPids[0]));
    EXPECT_TRUE(fs::exists(setup));
    for (int i = 0; i < (kDemoSeconds + 6) * 10 && Alive(run_.demoPids[0]); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(Alive(run_.demoPids[0])) << "the demo program did not close by itself";
  }

  RunRecord run_;
};

TEST_F(InstallerRun, ShowsTheStartPageStartsTheSetupOnceAndCleansUp) {
  Start(STOWAWAY_INSTALLER, "installer-window");
  ASSERT_FALSE(run_.lines.empty()) << "no trace written";
  ExpectCleanEnd();

  // All 43 extra cursors (41 drawn ones from the executable, two system ones) were loaded
  // into the screen's cursor table at start-up.
  ASSERT_GE(IndexOf(run_.lines, "extra-cursors"), 0);
  EXPECT_EQ(run_.lines[IndexOf(run_.lines, "extra-cursors")].rest, "43");

  // The form (and with it the extraction) is complete before the window is shown.
  const int formRead = IndexOf(run_.lines, "form-read");
  const int shown = IndexOf(run_.lines, "shown");
  ASSERT_GE(formRead, 0);
  ASSERT_GT(shown, formRead);
  const TraceLine& show = run_.lines[shown];
  EXPECT_THAT(show.rest, HasSubstr("title=Installation "));
  EXPECT_THAT(show.rest, HasSubstr("client=711x344"));
  // Every control lies inside the client area: no caption is cut off at the window's edge,
  // even where our fonts set a text wider than the designer's did.
  int controls = 0;
  for (const TraceLine& line : run_.lines) {
    if (line.event != "bounds") continue;
    char name[64];
    int left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(std::sscanf(line.rest.c_str(), "%63s %d,%d %dx%d", name, &left, &top, &width, &height), 5) << line.rest;
    EXPECT_GE(left, 0) << line.rest;
    EXPECT_GT(width, 0) << line.rest;
    EXPECT_GT(height, 0) << line.rest;
    EXPECT_LE(left + width, 711) << line.rest;
    EXPECT_LE(top + height, 344) << line.rest;
    ++controls;
  }
  EXPECT_GE(controls, 6);
  // The setup program's file (which stays) was written before the window was shown.
  const double setupWritten = MtimeSeconds(run_.temp / "vexil_qm_trial.exe");
  ASSERT_GT(setupWritten, 0);
  EXPECT_LE(setupWritten, show.realtime + 0.005);

  // The pane loaded the extracted start page: one navigation, no failure, one completion.
  ASSERT_EQ(CountOf(run_.lines, "navigate"), 1);
  const std::string uri = run_.lines[IndexOf(run_.lines, "navigate")].rest;
  EXPECT_THAT(uri, HasSubstr("file://"));
  EXPECT_THAT(uri, HasSubstr("/Temp/startseite.html"));
  EXPECT_EQ(CountOf(run_.lines, "load-failed"), 0);
  ASSERT_EQ(CountOf(run_.lines, "document-complete"), 1);
  EXPECT_EQ(run_.lines[IndexOf(run_.lines, "document-complete")].rest, uri);
  EXPECT_LT(IndexOf(run_.lines, "document-complete"), IndexOf(run_.lines, "close"));

  uint32_t w = 0, h = 0;
  ASSERT_TRUE(PngSize(run_.shot, w, h)) << run_.shot;
  EXPECT_EQ(w, 711u);
  EXPECT_EQ(h, 344u);

  // The start page went with the program; the setup program's file is in use and stays.
  EXPECT_FALSE(fs::exists(run_.temp / "startseite.html"));
  ExpectOneSetupStartThatOutlivesTheInstaller();
}

TEST_F(InstallerRun, MissingStartPageShowsTheErrorPageAndStillStartsTheSetup) {
  Start(STOWAWAY_INSTALLER_NOPAGE, "installer-nopage-window");
  ASSERT_FALSE(run_.lines.empty()) << "no trace written";
  ExpectCleanEnd();
  EXPECT_FALSE(fs::exists(run_.temp / "startseite.html"));
  const int failed = IndexOf(run_.lines, "load-failed");
  ASSERT_GE(failed, 0) << "the page did not fail to load";
  EXPECT_THAT(run_.lines[failed].rest, HasSubstr("startseite.html"));
  // The error page completes once; that starts the setup program.
  ASSERT_EQ(CountOf(run_.lines, "document-complete"), 1);
  EXPECT_GT(IndexOf(run_.lines, "document-complete"), failed);
  uint32_t w = 0, h = 0;
  EXPECT_TRUE(PngSize(run_.shot, w, h));
  ExpectOneSetupStartThatOutlivesTheInstaller();
}

TEST_F(InstallerRun, TerminationSignalsWhileTheWindowIsOpenEndTheProgramNonZeroAndRemoveTheFiles) {
  for (int signal : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const pid_t pid = Launch(STOWAWAY_INSTALLER, "installer-signal-" + std::to_string(signal));
    ASSERT_GT(pid, 0);
    // As soon as the window is shown, before the page has loaded.
    ASSERT_TRUE(WaitForEvent("shown"));
    kill(pid, signal);
    Finish(pid);
    if (IndexOf(run_.lines, "document-complete") >= 0 && IndexOf(run_.lines, "signal") < 0)
      GTEST_SKIP() << "the page loaded before the signal arrived";
    EXPECT_FALSE(run_.timedOut);
    // Interrupted before the setup program started: 128 + the signal, as a shell reports it.
    EXPECT_TRUE(WIFEXITED(run_.status) && WEXITSTATUS(run_.status) == 128 + signal) << "status " << run_.status;
    EXPECT_GT(IndexOf(run_.lines, "application-destroyed"), IndexOf(run_.lines, "loop-end"));
    ASSERT_GE(IndexOf(run_.lines, "signal"), 0);
    EXPECT_EQ(run_.lines[IndexOf(run_.lines, "signal")].rest, std::to_string(signal));
    EXPECT_EQ(IndexOf(run_.lines, "document-complete"), -1);
    EXPECT_TRUE(run_.demoPids.empty()) << "the setup program started";
    // Nothing runs from the temporary directory, so both files are gone.
    EXPECT_FALSE(fs::exists(run_.temp / "startseite.html"));
    EXPECT_FALSE(fs::exists(run_.temp / "vexil_qm_trial.exe"));
    fs::remove_all(run_.prefix);
  }
}

TEST_F(InstallerRun, ARefusedTemporaryDirectoryOrPrefixIsToldAndNothingIsUnpackedOrStarted) {
  const fs::path elsewhere = fs::temp_directory_path() / ("stowaway-e2e-elsewhere-" + std::to_string(getpid()));
  fs::remove_all(elsewhere);
  fs::create_directories(elsewhere);
  struct Case {
    const char* name;
    bool needsRoot;
    std::function<void(const fs::path& prefix)> prepare;
    std::vector<std::string> texts;  // in the message
  };
  const std::vector<Case> cases = {
      {"temp-link",
       false,
       [&](const fs::path& prefix) {
         fs::create_directories(TempBelow(prefix).parent_path());
         fs::create_directory_symlink(elsewhere, TempBelow(prefix));
       },
       {"/Temp", "link"}},
      {"temp-writable-by-others",
       false,
       [](const fs::path& prefix) {
         fs::create_directories(TempBelow(prefix));
         chmod(TempBelow(prefix).c_str(), 0777);
       },
       {"/Temp", "writable by group or others", "0777"}},
      {"temp-foreign",
       true,
       [](const fs::path& prefix) {
         fs::create_directories(TempBelow(prefix));
         if (chown(TempBelow(prefix).c_str(), 54321, 54321) != 0) std::perror("chown");
       },
       {"/Temp", "54321", "not to"}},
      {"prefix-writable-by-others",
       false,
       [](const fs::path& prefix) { chmod(prefix.c_str(), 0777); },
       {"prefix directory", "0777"}},
      {"prefix-foreign",
       true,
       [](const fs::path& prefix) {
         if (chown(prefix.c_str(), 54321, 54321) != 0) std::perror("chown");
       },
       {"prefix directory", "54321"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && geteuid() != 0) {
      std::printf("skipped %s: giving a directory to another user needs root\n", c.name);
      continue;
    }
    ExpectToldAndNothingStarted(Launch(STOWAWAY_INSTALLER, std::string("installer-") + c.name, c.prepare), c.texts);
    // Nothing was unpacked anywhere: not where the link points, not at the root.
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_FALSE(fs::exists("/vexil_qm_trial.exe"));
    EXPECT_FALSE(fs::exists("/startseite.html"));
    fs::remove_all(run_.prefix);
  }
  fs::remove_all(elsewhere);
}

TEST_F(InstallerRun, AFullOrReadOnlyTemporaryDirectoryIsToldAndNothingIsStarted) {
  if (const std::string reason = CannotMount(); !reason.empty()) GTEST_SKIP() << reason;
  struct Case {
    const char* name;
    SmallMount mount;
  };
  // 8 KiB hold the start page but not the setup program.
  const Case cases[] = {
      {"full", {0, "size=8k,mode=0700"}},
      {"read-only", {MS_RDONLY, "size=64k,mode=0700"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto makeTemp = [](const fs::path& prefix) {
      fs::create_directories(TempBelow(prefix));
      chmod(TempBelow(prefix).c_str(), 0700);
    };
    ExpectToldAndNothingStarted(Launch(STOWAWAY_INSTALLER, std::string("installer-temp-") + c.name, makeTemp, &c.mount),
                                {"could not be unpacked", "Temp", "vexil_qm_trial.exe"});
    fs::remove_all(run_.prefix);
  }
}

// Installers made with `stowaway build` from generated files: a page, and the demo program
// under another name with bytes appended (a marker, then padding to the size asked for).
constexpr char kMarker[] = "BUILT-SETUP-MARKER-0123456789";

class BuiltInstallerRun : public InstallerRun {
 protected:
  void SetUp() override {
    InstallerRun::SetUp();
    work_ = fs::temp_directory_path() / ("stowaway-e2e-build-" + std::to_string(getpid()));
    fs::remove_all(work_);
    fs::create_directories(work_);
  }
  void TearDown() override {
    InstallerRun::TearDown();
    fs::remove_all(work_);
  }

  // Runs `stowaway build OUT --stub STUB ARGS...`; returns OUT.
  fs::path Build(std::size_t setupBytes, const std::vector<std::string>& args) {
    {
      std::ofstream page(work_ / "acme.html", std::ios::binary);
      page << "<html><head><title>Acme</title></head><body><h1>Acme Setup</h1></body></html>\n";
      std::ofstream setup(work_ / "setup", std::ios::binary);
      std::ifstream demo(STOWAWAY_DEMO_SETUP, std::ios::binary);
      setup << demo.rdbuf() << kMarker;
      std::string block(1 << 20, '\0');
      uint64_t x = 88172645463325252ull;
      for (std::size_t done = 0; done < setupBytes; done += block.size()) {
        for (char& c : block) {
          x ^= x << 13, x ^= x >> 7, x ^= x << 17;
          c = static_cast<char>(x);
        }
        setup.write(block.data(), static_cast<std::streamsize>(std::min(block.size(), setupBytes - done)));
      }
    }
    fs::permissions(work_ / "setup", fs::perms::owner_all);
    const fs::path out = work_ / "acme_installer";
    std::vector<std::string> all = {"--page", (work_ / "acme.html").string(), "--setup",
                                    "acme_setup.exe=" + (work_ / "setup").string()};
    all.insert(all.end(), args.begin(), args.end());
    EXPECT_TRUE(RunStowawayBuild(out.string(), all, work_ / "tool-prefix")) << "stowaway build failed";
    return out;
  }

  fs::path work_;
};

TEST_F(BuiltInstallerRun, ShowsTheGivenWindowAndPageAndStartsTheGivenSetupOnce) {
  const fs::path installer = Build(4096, {"--title", "Acme Setup", "--caption", "Label5=Vollversion"});
  Start(installer.string(), "built-installer-window");
  ASSERT_FALSE(run_.lines.empty()) << "no trace written";
  ExpectCleanEnd();
  const int shown = IndexOf(run_.lines, "shown");
  ASSERT_GE(shown, 0);
  EXPECT_THAT(run_.lines[shown].rest, HasSubstr("title=Acme Setup "));
  EXPECT_THAT(run_.lines[shown].rest, HasSubstr("client=711x344"));
  ASSERT_EQ(CountOf(run_.lines, "navigate"), 1);
  EXPECT_THAT(run_.lines[IndexOf(run_.lines, "navigate")].rest, HasSubstr("/Temp/acme.html"));
  EXPECT_EQ(CountOf(run_.lines, "load-failed"), 0);
  EXPECT_EQ(CountOf(run_.lines, "document-complete"), 1);
  EXPECT_EQ(IndexOf(run_.lines, "refused"), -1);
  EXPECT_FALSE(fs::exists(run_.temp / "acme.html"));
  ExpectOneSetupStartThatOutlivesTheInstaller("acme_setup.exe");
}

TEST_F(BuiltInstallerRun, CarriesAHundredMegabyteSetupProgram) {
  const fs::path installer = Build(100u << 20, {});
  Start(installer.string(), "built-installer-100mb");
  ASSERT_FALSE(run_.lines.empty()) << "no trace written";
  ExpectCleanEnd();
  EXPECT_EQ(CountOf(run_.lines, "document-complete"), 1);
  EXPECT_EQ(IndexOf(run_.lines, "refused"), -1);
  EXPECT_EQ(fs::file_size(run_.temp / "acme_setup.exe"), fs::file_size(work_ / "setup"));
  EXPECT_FALSE(fs::exists(run_.temp / "acme.html"));
  ExpectOneSetupStartThatOutlivesTheInstaller("acme_setup.exe");
}

// A setup program of the same name and size left in the temporary directory (by an earlier
// run that was killed) is kept by the extraction; the manifest finds it differs, and the
// installer writes its own over it, starts that one and removes it at the end.
TEST_F(BuiltInstallerRun, ReplacesADifferentFileOfTheSameSizeLeftInTheTemporaryDirectory) {
  const fs::path installer = Build(4096, {});
  const std::string stale(fs::file_size(work_ / "setup"), 'x');
  const pid_t pid = Launch(installer.string(), "built-installer-stale", [&](const fs::path& prefix) {
    fs::create_directories(TempBelow(prefix));
    std::ofstream(TempBelow(prefix) / "acme_setup.exe", std::ios::binary) << stale;
  });
  ASSERT_GT(pid, 0);
  Finish(pid);
  ExpectCleanEnd();
  EXPECT_EQ(IndexOf(run_.lines, "refused"), -1);
  ASSERT_GE(IndexOf(run_.lines, "rewritten"), 0);
  EXPECT_EQ(run_.lines[IndexOf(run_.lines, "rewritten")].rest, "acme_setup.exe");
  EXPECT_EQ(ReadText(run_.temp / "acme_setup.exe"), ReadText(work_ / "setup"));
  ExpectOneSetupStartThatOutlivesTheInstaller("acme_setup.exe");
}

// A file that is not whole even after it was written again is refused: nothing is started and
// the user is told which file and why (the message box waits for a click; SIGTERM answers it).
TEST_F(BuiltInstallerRun, RefusesFilesThatAreNotWhole) {
  struct Case {
    const char* name;
    const char* refused;
    const char* told;
    bool alterInstaller;
    std::function<void(const fs::path& prefix)> prepare;
  } cases[] = {
      {"setup program altered after building",
       "acme_setup.exe",
       "is damaged or was changed after the installer",
       true,
       {}},
      {"page that cannot be replaced", "acme.html", "could not be replaced", false,
       [](const fs::path& prefix) { fs::create_directories(TempBelow(prefix) / "acme.html"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path installer = Build(4096, {});
    if (c.alterInstaller) {
      std::string bytes = ReadText(installer);
      const size_t at = bytes.find(kMarker);
      ASSERT_NE(at, std::string::npos);
      bytes[at + 2] ^= 0x20;
      std::ofstream(installer, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
    }
    const pid_t pid = Launch(installer.string(), "built-installer-refused", c.prepare);
    ASSERT_GT(pid, 0);
    const bool told = WaitForEvent("message-box");
    kill(pid, SIGTERM);
    Finish(pid);
    ASSERT_TRUE(told) << "no message box; trace:\n" << ReadText(run_.trace);
    ASSERT_GE(IndexOf(run_.lines, "refused"), 0);
    EXPECT_EQ(run_.lines[IndexOf(run_.lines, "refused")].rest, c.refused);
    EXPECT_THAT(run_.lines[IndexOf(run_.lines, "message-box")].rest, HasSubstr(c.told));
    EXPECT_GE(IndexOf(run_.lines, "document-complete"), 0);
    EXPECT_TRUE(run_.demoPids.empty()) << "a setup program was started";
  }
}

}  // namespace
