#include "prefix.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <pwd.h>
#include <set>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "codepage.h"
#include "ownership.h"
#include "shellfolders.h"

namespace winposix {
namespace {

std::string HomeDir() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  struct passwd* pw = getpwuid(geteuid());
  if (pw && pw->pw_dir) return pw->pw_dir;
  throw std::runtime_error("cannot tell the home directory (HOME is not set)");
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::string(v) : fallback;
}

std::string StripTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string ResolvePrefix() {
  std::string prefix = EnvOr("STOWAWAY_PREFIX", "");
  if (prefix.empty()) prefix = EnvOr("XDG_DATA_HOME", HomeDir() + "/.local/share") + "/stowaway";
  if (prefix[0] != '/') {
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) throw std::runtime_error("cannot tell the current directory");
    prefix = std::string(cwd) + "/" + prefix;
  }
  return StripTrailingSlashes(prefix);
}

// Creates one folder of the prefix; an XDG folder becomes a link to the
// user's own folder when that exists and nothing is in the way.
void CreateFolder(const std::string& windowsPath, const std::string& xdgKey) {
  std::string unixPath = DriveCPathToUnix(windowsPath);
  if (!xdgKey.empty()) {
    std::string target = XdgUserDir(xdgKey);
    struct stat st;
    if (!target.empty() && lstat(unixPath.c_str(), &st) != 0) {
      size_t slash = unixPath.find_last_of('/');
      MakeDirs(unixPath.substr(0, slash));
      if (symlink(target.c_str(), unixPath.c_str()) == 0) return;
    }
  }
  MakeDirs(unixPath);
}

void CreateStandardFolders(const std::string& prefix) {
  if (!MakeDirs(prefix, 0700)) {
    const int error = errno;
    struct stat st;
    if (stat(prefix.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
      throw std::runtime_error(
          "the prefix " + prefix + " exists but is not a directory" +
          (EnvOr("STOWAWAY_PREFIX", "").empty() ? std::string() : " (STOWAWAY_PREFIX must name a directory)"));
    throw std::runtime_error("cannot create the prefix directory " + prefix + ": " + std::strerror(error));
  }
  if (!MakeDirs(prefix + "/drive_c", 0755))
    throw std::runtime_error("cannot create " + prefix + "/drive_c: " + std::strerror(errno));
  for (const std::string& folder : StandardFolders()) CreateFolder(folder, "");
  for (const ShellFolder& folder : CommonShellFolders()) CreateFolder(folder.windowsPath, folder.xdgKey);
  for (const ShellFolder& folder : UserShellFolders()) CreateFolder(folder.windowsPath, folder.xdgKey);
  MakeDirs(DriveCPathToUnix(TempDirWin()), 0700);
}

}  // namespace

bool MakeDirs(const std::string& unixPath, unsigned mode) {
  struct stat st;
  if (stat(unixPath.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    errno = ENOTDIR;  // a file (or device, socket...) is in the way
    return false;
  }
  size_t slash = unixPath.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeDirs(unixPath.substr(0, slash))) return false;
  return mkdir(unixPath.c_str(), mode) == 0 || errno == EEXIST;
}

std::string PrefixDir() {
  const std::string prefix = ResolvePrefix();
  static std::mutex mutex;
  static std::set<std::string> ready;
  std::lock_guard<std::mutex> lock(mutex);
  // Another user's prefix (or one others may write to) is never used: its
  // registry and drive C: would be theirs. Checked on every use, since the
  // directories may change hands while the program runs.
  CheckOwnedByUser(prefix, "prefix directory");
  struct stat st;
  if (!ready.count(prefix) || stat((prefix + "/drive_c").c_str(), &st) != 0) {
    CreateStandardFolders(prefix);
    ready.insert(prefix);
  }
  CheckOwnedByUser(prefix + "/drive_c", "drive_c directory");
  return prefix;
}

std::string DriveCDir() { return PrefixDir() + "/drive_c"; }

std::string ProfileUserName() {
  std::string name;
  if (struct passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
    name = pw->pw_name;
  else
    name = EnvOr("USER", "user");
  std::string out;
  Utf8ToCp1252(name, out, true);
  for (char& c : out)
    if (std::strchr("\\/:*?\"<>|", c) || static_cast<unsigned char>(c) < 32) c = '_';
  if (out.empty() || out == "." || out == "..") out = "user";
  return out;
}

std::string ProfileDirWin() { return "C:\\users\\" + ProfileUserName(); }

std::string TempDirWin() { return ProfileDirWin() + "\\Temp"; }

std::string DriveCPathToUnix(const std::string& windowsPath) {
  std::string rest = windowsPath.size() >= 2 && windowsPath[1] == ':' ? windowsPath.substr(2) : windowsPath;
  for (char& c : rest)
    if (c == '\\') c = '/';
  // Called while the prefix is being set up: resolves it without creating it.
  const std::string prefix = ResolvePrefix();
  return prefix + "/drive_c" + Cp1252ToUtf8(rest);
}

std::string CheckedTempDirUnix() {
  const std::string path = DriveCPathToUnix(TempDirWin());
  PrefixDir();
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) {
    size_t slash = path.find_last_of('/');
    MakeDirs(path.substr(0, slash));
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
      throw std::runtime_error("cannot create the temporary directory " + path + ": " + std::strerror(errno));
  }
  int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ELOOP || errno == ENOTDIR)
      throw std::runtime_error("the temporary directory " + path +
                               " is not a plain directory (a link or a file); not using it");
    throw std::runtime_error("cannot open the temporary directory " + path + ": " + std::strerror(errno));
  }
  if (fstat(fd, &st) != 0) {
    const int err = errno;
    close(fd);
    throw std::runtime_error("cannot examine the temporary directory " + path + ": " + std::strerror(err));
  }
  if (const std::string problem = OwnershipProblem(st, path, "temporary directory"); !problem.empty()) {
    close(fd);
    throw std::runtime_error(problem);
  }
  // Only readable by others: made private again, nothing foreign can be in it.
  if ((st.st_mode & 077) != 0 && fchmod(fd, 0700) != 0) {
    close(fd);
    throw std::runtime_error("cannot make the temporary directory " + path + " private: " + std::strerror(errno));
  }
  close(fd);
  return path;
}

std::string XdgUserDir(const std::string& key) {
  const std::string home = StripTrailingSlashes(HomeDir());
  std::string dir;
  std::ifstream in(EnvOr("XDG_CONFIG_HOME", home + "/.config") + "/user-dirs.dirs");
  std::string line;
  const std::string wanted = "XDG_" + key + "_DIR=";
  while (std::getline(in, line)) {
    if (line.compare(0, wanted.size(), wanted) != 0) continue;
    std::string value = line.substr(wanted.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
    dir = value;
  }
  if (dir.empty()) {
    static const char* const defaults[][2] = {
        {"DESKTOP", "/Desktop"}, {"DOCUMENTS", "/Documents"}, {"PICTURES", "/Pictures"}};
    for (auto& d : defaults)
      if (key == d[0]) dir = home + d[1];
  }
  dir = StripTrailingSlashes(dir);
  struct stat st;
  if (dir.empty() || dir[0] != '/' || dir == home || stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return std::string();
  return dir;
}

}  // namespace winposix
