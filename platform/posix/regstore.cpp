#include "regstore.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "descriptorio.h"
#include "errors.h"
#include "ownership.h"
#include "prefix.h"
#include "regformat.h"
#include "regseed.h"
#include "wholefile.h"

namespace winposix {

void (*registryCommitHook)(const char* stage) = nullptr;

namespace {

struct Cached {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  struct timespec mtime = {};
  std::shared_ptr<const RegKey> root;
};

std::mutex cacheMutex;
std::map<std::string, Cached> cache;

bool SameVersion(const Cached& c, const struct stat& st) {
  return c.dev == st.st_dev && c.ino == st.st_ino && c.size == st.st_size && c.mtime.tv_sec == st.st_mtim.tv_sec &&
         c.mtime.tv_nsec == st.st_mtim.tv_nsec;
}

std::string RelativeTo(Hive hive) { return hive == Hive::Machine ? "\\Machine" : "\\User\\S-1-5-21-0-0-0-1000"; }

// Reads and parses the file at path; ENOENT gives ERROR_FILE_NOT_FOUND.
LSTATUS Load(const std::string& path, std::shared_ptr<const RegKey>& root, struct stat& st) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return ERROR_FILE_NOT_FOUND;
    ReportOnce("cannot read the registry file " + path + ": " + std::strerror(errno) + "; registry calls on it fail");
    return ERROR_REGISTRY_IO_FAILED;
  }
  std::string text;
  const int readError = DescriptorReadAll(fd, text);
  bool statOk = fstat(fd, &st) == 0;
  close(fd);
  if (readError || !statOk) {
    ReportOnce("cannot read the registry file " + path + ": " + std::strerror(readError ? readError : errno) +
               "; registry calls on it fail");
    return ERROR_REGISTRY_IO_FAILED;
  }
  // Another user's file (or one others may write) could name the programs we start.
  if (const std::string problem = OwnershipProblem(st, path, "registry file"); !problem.empty()) {
    ReportOnce(problem + "; registry calls on it fail");
    return ERROR_ACCESS_DENIED;
  }
  try {
    root = ParseWineRegistry(text);
  } catch (const RegFormatError& e) {
    ReportOnce("the registry file " + path + " is damaged (" + e.what() +
               "); it is left as it is and registry calls on it fail");
    return ERROR_REGISTRY_CORRUPT;
  }
  return ERROR_SUCCESS;
}

void Remember(const std::string& path, const struct stat& st, std::shared_ptr<const RegKey> root) {
  std::lock_guard<std::mutex> lock(cacheMutex);
  Cached& c = cache[path];
  c.dev = st.st_dev;
  c.ino = st.st_ino;
  c.size = st.st_size;
  c.mtime = st.st_mtim;
  c.root = std::move(root);
}

// Replaces the file at path with text, the new content and its name both on the disk before
// the change is acknowledged.
LSTATUS Commit(const std::string& path, const std::string& text) {
  try {
    wholefile::Replacement file(path, wholefile::Durability::FileAndDirectory, wholefile::Mode::Private);
    const size_t half = text.size() / 2;
    file.Write(text.data(), half);
    if (registryCommitHook) registryCommitHook("half-written");
    file.Write(text.data() + half, text.size() - half);
    if (registryCommitHook) registryCommitHook("before-rename");
    file.Commit();
  } catch (const std::system_error& e) {
    ReportOnce(std::string("the registry file ") + e.what());
    return ERROR_REGISTRY_IO_FAILED;
  }
  return ERROR_SUCCESS;
}

class LockFile {
 public:
  explicit LockFile(const std::string& path) : fd_(open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ >= 0)
      while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {}
  }
  ~LockFile() {
    if (fd_ >= 0) close(fd_);  // releases the lock
  }
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_;
};

// The hive's file, or a failure reported once when the prefix cannot be made.
LSTATUS HivePath(Hive hive, std::string& path) {
  try {
    path = HiveFile(hive);
    return ERROR_SUCCESS;
  } catch (const std::exception& e) {
    ReportOnce(e.what());
    return ERROR_REGISTRY_IO_FAILED;
  }
}

}  // namespace

std::string HiveFile(Hive hive) { return PrefixDir() + (hive == Hive::Machine ? "/system.reg" : "/user.reg"); }

LSTATUS ReadHive(Hive hive, std::shared_ptr<const RegKey>& root) {
  std::string path;
  if (LSTATUS status = HivePath(hive, path); status != ERROR_SUCCESS) return status;
  struct stat st;
  if (stat(path.c_str(), &st) == 0) {
    // A change of owner or mode leaves the cached version's stamp as it was.
    if (const std::string problem = OwnershipProblem(st, path, "registry file"); !problem.empty()) {
      ReportOnce(problem + "; registry calls on it fail");
      return ERROR_ACCESS_DENIED;
    }
    std::lock_guard<std::mutex> lock(cacheMutex);
    auto it = cache.find(path);
    if (it != cache.end() && SameVersion(it->second, st)) {
      root = it->second.root;
      return ERROR_SUCCESS;
    }
  } else if (errno == ENOENT) {
    // First use: create the seeded file.
    LSTATUS status = ModifyHive(hive, [](RegKey&, bool&) { return ERROR_SUCCESS; });
    if (status != ERROR_SUCCESS) return status;
  }
  std::shared_ptr<const RegKey> loaded;
  LSTATUS status = Load(path, loaded, st);
  if (status != ERROR_SUCCESS) return status == ERROR_FILE_NOT_FOUND ? ERROR_REGISTRY_IO_FAILED : status;
  Remember(path, st, loaded);
  root = loaded;
  return ERROR_SUCCESS;
}

LSTATUS ModifyHive(Hive hive, const std::function<LSTATUS(RegKey& root, bool& changed)>& change) {
  std::string path;
  if (LSTATUS status = HivePath(hive, path); status != ERROR_SUCCESS) return status;
  LockFile lock(path);
  if (!lock.Held()) {
    ReportOnce("cannot lock the registry file " + path + ": " + std::strerror(errno));
    return ERROR_REGISTRY_IO_FAILED;
  }
  std::shared_ptr<const RegKey> current;
  struct stat st;
  LSTATUS status = Load(path, current, st);
  std::unique_ptr<RegKey> root;
  bool changed = false;
  if (status == ERROR_FILE_NOT_FOUND) {
    root = std::make_unique<RegKey>();
    SeedHive(hive, *root);
    changed = true;
  } else if (status != ERROR_SUCCESS) {
    return status;
  } else {
    root = current->Clone();
  }
  bool changedNow = false;
  status = change(*root, changedNow);
  if (status != ERROR_SUCCESS && !changed) return status;
  if (!changed && !changedNow) return ERROR_SUCCESS;
  LSTATUS commit = Commit(path, WriteWineRegistry(*root, RelativeTo(hive)));
  if (commit != ERROR_SUCCESS) return commit;
  if (stat(path.c_str(), &st) == 0) Remember(path, st, std::shared_ptr<const RegKey>(std::move(root)));
  return status;
}

}  // namespace winposix
