#include "inuse.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <limits.h>
#include <sstream>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace winposix {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// True when /proc/PID/maps has a mapping of the file.
bool MapsFile(const std::string& pidDir, const struct stat& st, const std::string& canonical) {
  std::ifstream maps(pidDir + "/maps");
  std::string line;
  while (std::getline(maps, line)) {
    // address perms offset dev inode path
    std::istringstream fields(line);
    std::string address, perms, offset, dev;
    unsigned long long inode = 0;
    if (!(fields >> address >> perms >> offset >> dev >> inode) || inode != st.st_ino) continue;
    unsigned major = 0, minor = 0;
    if (std::sscanf(dev.c_str(), "%x:%x", &major, &minor) == 2 && makedev(major, minor) == st.st_dev) return true;
    std::string path;
    std::getline(fields >> std::ws, path);
    if (!canonical.empty() && path == canonical) return true;
  }
  return false;
}

bool HoldsOpen(const std::string& pidDir, const struct stat& st, bool self, const std::set<int>& ownIgnored) {
  std::string fdDir = pidDir + "/fd";
  DIR* d = opendir(fdDir.c_str());
  if (!d) return false;
  int scanFd = dirfd(d);
  bool found = false;
  while (struct dirent* e = readdir(d)) {
    if (!std::isdigit(static_cast<unsigned char>(e->d_name[0]))) continue;
    int fd = std::atoi(e->d_name);
    if (self && (fd == scanFd || ownIgnored.count(fd))) continue;
    struct stat target;
    if (fstatat(scanFd, e->d_name, &target, 0) == 0 && SameFile(target, st)) {
      found = true;
      break;
    }
  }
  closedir(d);
  return found;
}

}  // namespace

bool NoOneHoldsOpen(const std::string& unixPath) {
  // The kernel grants a write lease only when no other open file (in any process, mappings
  // and running programs included) refers to the file: one system call instead of a walk
  // over every process. Anything else (no permission, leases off) answers "unknown".
  int fd = open(unixPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool free = fcntl(fd, F_SETLEASE, F_WRLCK) == 0;
  if (free) fcntl(fd, F_SETLEASE, F_UNLCK);
  close(fd);
  return free;
}

FileUse FindFileUse(const std::string& unixPath, const struct stat& st, const std::set<int>& ownIgnored) {
  if (S_ISREG(st.st_mode) && NoOneHoldsOpen(unixPath)) return FileUse::None;
  char real[PATH_MAX];
  std::string canonical = realpath(unixPath.c_str(), real) ? real : "";
  const std::string selfPid = std::to_string(getpid());
  DIR* proc = opendir("/proc");
  if (!proc) return FileUse::None;
  FileUse use = FileUse::None;
  while (struct dirent* e = readdir(proc)) {
    if (!std::isdigit(static_cast<unsigned char>(e->d_name[0]))) continue;
    const std::string pidDir = std::string("/proc/") + e->d_name;
    struct stat exe;
    if ((stat((pidDir + "/exe").c_str(), &exe) == 0 && SameFile(exe, st)) || MapsFile(pidDir, st, canonical)) {
      use = FileUse::Executed;
      break;
    }
    if (use == FileUse::None && HoldsOpen(pidDir, st, selfPid == e->d_name, ownIgnored)) use = FileUse::Open;
  }
  closedir(proc);
  return use;
}

}  // namespace winposix
