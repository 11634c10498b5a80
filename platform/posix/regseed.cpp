#include "regseed.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include "codepage.h"
#include "pathmap.h"
#include "prefix.h"
#include "shellfolders.h"

extern char** environ;

namespace winposix {
namespace {

std::string Sz(const std::string& text) { return text + '\0'; }

std::string Dword(uint32_t number) { return std::string(reinterpret_cast<const char*>(&number), 4); }

std::string ToCp1252(const std::string& utf8) {
  std::string out;
  Utf8ToCp1252(utf8, out, true);
  return out;
}

void Set(RegKey& root, const std::string& path, const std::string& name, const std::string& text) {
  bool created;
  root.Create(SplitKeyPath(path), created)->SetValue(name, REG_SZ, Sz(text));
}

// The first line a program prints, or empty when it fails or takes longer
// than two seconds.
std::string FirstLineOf(const std::vector<std::string>& argv) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return "";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid;
  int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  std::string out;
  if (rc == 0) {
    struct pollfd p = {fds[0], POLLIN, 0};
    char buffer[4096];
    while (out.find('\n') == std::string::npos && poll(&p, 1, 2000) > 0) {
      ssize_t n = read(fds[0], buffer, sizeof buffer);
      if (n <= 0) break;
      out.append(buffer, n);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  close(fds[0]);
  return out.substr(0, out.find('\n'));
}

std::string FindInPath(const std::string& program) {
  if (program.find('/') != std::string::npos) return access(program.c_str(), X_OK) == 0 ? program : "";
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/local/bin:/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    struct stat st;
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return "";
}

// The program of a .desktop file's Exec line.
std::string DesktopFileProgram(const std::string& desktopId) {
  std::vector<std::string> dirs;
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (dataHome && *dataHome)
    dirs.push_back(dataHome);
  else if (home)
    dirs.push_back(std::string(home) + "/.local/share");
  const char* dataDirs = std::getenv("XDG_DATA_DIRS");
  std::stringstream list(dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share");
  std::string dir;
  while (std::getline(list, dir, ':')) dirs.push_back(dir);
  for (const std::string& d : dirs) {
    std::ifstream in(d + "/applications/" + desktopId);
    std::string line;
    while (std::getline(in, line)) {
      if (line.compare(0, 5, "Exec=") != 0) continue;
      std::string exec = line.substr(5);
      std::string program;
      if (!exec.empty() && exec[0] == '"')
        program = exec.substr(1, exec.find('"', 1) - 1);
      else
        program = exec.substr(0, exec.find(' '));
      if (program == "env")  // "env VAR=x program ...": not worth unpicking
        return "";
      return FindInPath(program);
    }
  }
  return "";
}

// The desktop's default web browser as a Unix path, or empty.
std::string DefaultBrowser() {
  static std::once_flag once;
  static std::string browser;
  std::call_once(once, [] {
    std::string id = FirstLineOf({"xdg-settings", "get", "default-web-browser"});
    if (id.size() > 8 && id.compare(id.size() - 8, 8, ".desktop") == 0) browser = DesktopFileProgram(id);
    for (const char* name : {"x-www-browser", "firefox", "firefox-esr", "chromium", "chromium-browser"}) {
      if (!browser.empty()) break;
      browser = FindInPath(name);
    }
  });
  return browser;
}

std::string FullUserName() {
  struct passwd* pw = getpwuid(geteuid());
  std::string name;
  if (pw && pw->pw_gecos) name = std::string(pw->pw_gecos).substr(0, std::strcspn(pw->pw_gecos, ","));
  if (name.empty() && pw && pw->pw_name) name = pw->pw_name;
  return ToCp1252(name);
}

std::string ComputerName() {
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  std::string name(host, std::strcspn(host, "."));
  name = name.substr(0, 15);
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ToCp1252(name);
}

std::string OsName() {
  std::ifstream in("/etc/os-release");
  std::string line;
  while (std::getline(in, line))
    if (line.compare(0, 12, "PRETTY_NAME=") == 0) {
      std::string value = line.substr(12);
      if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
      return ToCp1252(value);
    }
  return "Linux";
}

void SeedProcessor(RegKey& root) {
  std::ifstream in("/proc/cpuinfo");
  std::string line, vendor, model, family, modelNumber, stepping;
  double mhz = 0;
  while (std::getline(in, line)) {
    size_t colon = line.find(':');
    if (colon == std::string::npos) {
      if (!vendor.empty() || !model.empty()) break;  // the first processor is enough
      continue;
    }
    std::string key = line.substr(0, line.find_last_not_of(" \t", colon - 1) + 1);
    std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
    if (key == "vendor_id")
      vendor = value;
    else if (key == "model name")
      model = value;
    else if (key == "cpu family")
      family = value;
    else if (key == "model")
      modelNumber = value;
    else if (key == "stepping")
      stepping = value;
    else if (key == "cpu MHz")
      mhz = std::atof(value.c_str());
  }
  if (mhz <= 0) {
    std::ifstream freq("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq");
    long khz = 0;
    if (freq >> khz) mhz = khz / 1000.0;
  }
  struct utsname names;
  uname(&names);
  std::string identifier;
  if (!family.empty()) {
    std::string arch = std::strcmp(names.machine, "x86_64") != 0 ? "x86"
                       : vendor == "AuthenticAMD"                ? "AMD64"
                                                                 : "Intel64";
    identifier = arch + " Family " + family + " Model " + modelNumber + " Stepping " + stepping;
  } else {
    identifier = names.machine;
  }
  const std::string key = "Hardware\\Description\\System\\CentralProcessor\\0";
  Set(root, key, "Identifier", ToCp1252(identifier));
  if (!vendor.empty()) Set(root, key, "VendorIdentifier", ToCp1252(vendor));
  if (!model.empty()) Set(root, key, "ProcessorNameString", ToCp1252(model));
  if (mhz > 0) {
    bool created;
    root.Create(SplitKeyPath(key), created)
        ->SetValue("~MHz", REG_DWORD, Dword(static_cast<uint32_t>(std::lround(mhz))));
  }
}

void SeedMachine(RegKey& root) {
  const std::string sf = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  for (const ShellFolder& folder : CommonShellFolders()) Set(root, sf, folder.valueName, folder.windowsPath);

  struct utsname names;
  uname(&names);
  const std::string release = names.release;
  const std::string version = release.substr(0, release.find_first_not_of("0123456789."));
  const std::string cv = "Software\\Microsoft\\Windows\\CurrentVersion";
  const std::string ntcv = "Software\\Microsoft\\Windows NT\\CurrentVersion";
  const std::string owner = FullUserName();
  const std::string product = OsName();
  Set(root, cv, "ProgramFilesDir", "C:\\Program Files");
  Set(root, cv, "CommonFilesDir", "C:\\Program Files\\Common Files");
  Set(root, cv, "MediaPath", "C:\\windows\\Media");
  Set(root, cv, "ProductName", product);
  Set(root, cv, "Version", "Linux");
  Set(root, cv, "VersionNumber", version);
  Set(root, cv, "RegisteredOwner", owner);
  Set(root, cv, "RegisteredOrganization", "");
  Set(root, ntcv, "ProductName", product);
  Set(root, ntcv, "CurrentVersion", version.substr(0, version.find('.', version.find('.') + 1)));
  Set(root, ntcv, "RegisteredOwner", owner);
  Set(root, ntcv, "RegisteredOrganization", "");
  Set(root, ntcv, "SystemRoot", "C:\\windows");

  Set(root, "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName", ComputerName());
  SeedProcessor(root);

  // HKEY_CLASSES_ROOT's HTML entries live in the machine's Software\Classes.
  std::string browser = DefaultBrowser();
  std::string windowsBrowser;
  DWORD error;
  if (!browser.empty() && MapUnixPath(browser, windowsBrowser, error)) {
    Set(root, "Software\\Classes\\.html", "", "htmlfile");
    Set(root, "Software\\Classes\\.htm", "", "htmlfile");
    Set(root, "Software\\Classes\\htmlfile", "", "HTML Document");
    Set(root, "Software\\Classes\\htmlfile\\shell\\open\\command", "", "\"" + windowsBrowser + "\" \"%1\"");
  }
}

void SeedUser(RegKey& root) {
  const std::string sf = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  for (const ShellFolder& folder : UserShellFolders()) Set(root, sf, folder.valueName, folder.windowsPath);
  Set(root, "Environment", "TEMP", TempDirWin());
  Set(root, "Environment", "TMP", TempDirWin());
}

void Stamp(RegKey& key, int64_t now) {
  key.modified = now;
  for (auto& [name, child] : key.subkeys) Stamp(*child, now);
}

}  // namespace

void SeedHive(Hive hive, RegKey& root) {
  if (hive == Hive::Machine)
    SeedMachine(root);
  else
    SeedUser(root);
  Stamp(root, static_cast<int64_t>(std::time(nullptr)));
}

}  // namespace winposix
