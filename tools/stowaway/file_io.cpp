#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli_error.h"
#include "hostio.h"

namespace {

std::string SystemError(const std::string& path, const char* action) {
  return path + ": cannot " + action + ": " + std::strerror(errno);
}

class FileDescriptor {
public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { if (fd_ >= 0) ::close(fd_); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  int release() { int fd = fd_; fd_ = -1; return fd; }

private:
  int fd_;
};

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | hostio::kOpenFlags));
  if (fd.get() < 0) throw InputError(SystemError(path, "open"));
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) throw InputError(SystemError(path, "stat"));
  if (S_ISDIR(st.st_mode)) throw InputError(path + ": is a directory");
  std::vector<std::uint8_t> data;
  if (st.st_size > 0) data.reserve(static_cast<std::size_t>(st.st_size));
  std::uint8_t chunk[1 << 16];
  for (;;) {
    ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw InputError(SystemError(path, "read"));
    }
    if (got == 0) break;
    data.insert(data.end(), chunk, chunk + got);
  }
  return data;
}

void WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::string temp = path + ".tmp.XXXXXX";
  FileDescriptor fd(::mkstemp(temp.data()));
  if (fd.get() < 0) throw InputError(SystemError(path, "create a temporary file beside"));
  bool done = false;
  struct Cleanup {
    const std::string& name;
    bool& done;
    ~Cleanup() { if (!done) ::unlink(name.c_str()); }
  } cleanup{temp, done};

  std::size_t written = 0;
  while (written < size) {
    ssize_t put = ::write(fd.get(), data + written, size - written);
    if (put < 0) {
      if (errno == EINTR) continue;
      throw InputError(SystemError(path, "write"));
    }
    written += static_cast<std::size_t>(put);
  }
  hostio::GiveNewFileMode(fd.get());
  if (::close(fd.release()) != 0) throw InputError(SystemError(path, "write"));
  if (!hostio::ReplaceFile(temp, path)) throw InputError(SystemError(path, "replace"));
  done = true;
}
