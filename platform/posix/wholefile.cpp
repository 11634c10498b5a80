// Over the C runtime, so that the same code serves Linux and Windows; where the two differ
// (permissions, syncing, replacing an existing file) hostio.h and the few lines below say how.
#include "wholefile.h"

#include <cerrno>
#include <system_error>
#include <utility>

#include "descriptorio.h"
#include "hostio.h"

namespace wholefile {

namespace {

[[noreturn]] void Throw(int err, const std::string& path, const char* action) {
  throw std::system_error(err, std::generic_category(), path + ": cannot " + action);
}

#ifdef _WIN32
// A created file gets the permissions of its directory.
int GiveMode(int, const std::string&, Mode) { return 0; }
int Sync(int fd) { return ::_commit(fd); }
// The rename is written through by the file system itself (NTFS logs it).
void SyncDirectoryOf(const std::string&) {}
#else
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Gives fd the mode asked for; 0 or the errno value.
int GiveMode(int fd, const std::string& path, Mode mode) {
  struct stat st {};
  mode_t bits = NewFileMode();
  if (mode == Mode::Private)
    bits = 0600;
  else if (mode == Mode::Kept && ::stat(path.c_str(), &st) == 0)
    bits = st.st_mode & 07777;
  return ::fchmod(fd, bits) == 0 ? 0 : errno;
}

int Sync(int fd) { return ::fsync(fd); }

// Makes a rename in the path's directory durable. The new content is in place by then, so a
// directory that cannot be synced is not reported as a failed replacement.
void SyncDirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}
#endif

}  // namespace

std::string Read(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | hostio::kOpenFlags);
  if (fd < 0) Throw(errno, path, "read");
  std::string content;
  struct stat st {};
  int err = ::fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
  if (!err) {
    // Files under /proc report no size; their content is read all the same.
    if (S_ISREG(st.st_mode) && st.st_size > 0) content.reserve(static_cast<size_t>(st.st_size));
    err = winposix::DescriptorReadAll(fd, content);
  }
  ::close(fd);
  if (err) Throw(err, path, "read");
  return content;
}

Replacement::Replacement(std::string path, Durability durability, Mode mode)
    : path_(std::move(path)), temp_(path_ + ".tmp.XXXXXX"), durability_(durability), mode_(mode) {
  fd_ = ::mkstemp(temp_.data());
  if (fd_ < 0) Throw(errno, path_, "create a temporary file beside");
  hostio::KeepFromChildren(fd_);
}

Replacement::~Replacement() {
  if (fd_ >= 0) ::close(fd_);
  if (!placed_) ::unlink(temp_.c_str());
}

void Replacement::Write(const void* data, size_t size) {
  if (const int err = winposix::DescriptorWriteAll(fd_, data, size)) Throw(err, path_, "write");
}

size_t Replacement::Read(void* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const auto got = ::read(fd_, static_cast<char*>(buffer) + done, static_cast<unsigned>(size - done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Throw(errno, path_, "read back");
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

int64_t Replacement::Seek(int64_t offset, Origin origin) {
  const int whence = origin == Origin::Beginning ? SEEK_SET : origin == Origin::Current ? SEEK_CUR : SEEK_END;
  const int64_t at = ::lseek64(fd_, offset, whence);
  if (at < 0) Throw(errno, path_, "seek in");
  return at;
}

void Replacement::Commit() {
  if (const int err = GiveMode(fd_, path_, mode_)) Throw(err, path_, "set the permissions of");
  if (durability_ != Durability::None && Sync(fd_) != 0) Throw(errno, path_, "sync");
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) Throw(errno, path_, "write");
  // Without durability, the file system is not made to write the data out at the rename.
  const bool replaced = durability_ == Durability::None ? hostio::ReplaceFileUnsynced(temp_, path_)
                                                        : hostio::ReplaceFile(temp_, path_);
  if (!replaced) Throw(errno, path_, "replace");
  placed_ = true;
  if (durability_ == Durability::FileAndDirectory) SyncDirectoryOf(path_);
}

void Replace(const std::string& path, const void* data, size_t size, Durability durability, Mode mode) {
  Replacement file(path, durability, mode);
  file.Write(data, size);
  file.Commit();
}

}  // namespace wholefile
