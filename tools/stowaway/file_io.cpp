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

private:
  int fd_;
};

// A stream over an open file descriptor; write errors name the target file.
class DescriptorStream : public TStream {
public:
  DescriptorStream(int fd, const std::string& path) : fd_(fd), path_(path) {}

  int64_t Read(void* buffer, int64_t count) override {
    int64_t done = 0;
    while (done < count) {
      ssize_t got = ::read(fd_, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) throw InputError(SystemError(path_, "read back"));
      if (got == 0) break;
      done += got;
    }
    return done;
  }
  int64_t Write(const void* buffer, int64_t count) override {
    int64_t done = 0;
    while (done < count) {
      ssize_t put = ::write(fd_, static_cast<const char*>(buffer) + done, static_cast<size_t>(count - done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) throw InputError(SystemError(path_, "write"));
      done += put;
    }
    return done;
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET : origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
    const int64_t at = ::lseek64(fd_, offset, whence);
    if (at < 0) throw InputError(SystemError(path_, "seek in"));
    return at;
  }

private:
  int fd_;
  const std::string& path_;
};

}  // namespace

MappedFile::~MappedFile() {
  if (data_ && size_) hostio::Unmap(data_, size_);
}

std::shared_ptr<const MappedFile> MappedFile::Open(const std::string& path) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | hostio::kOpenFlags));
  if (fd.get() < 0) throw InputError(SystemError(path, "open"));
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) throw InputError(SystemError(path, "stat"));
  if (S_ISDIR(st.st_mode)) throw InputError(path + ": is a directory");
  if (!S_ISREG(st.st_mode)) throw InputError(path + ": is not a regular file");
  std::shared_ptr<MappedFile> file(new MappedFile);
  file->path_ = path;
  file->size_ = static_cast<std::size_t>(st.st_size);
  if (file->size_ > 0) {
    const void* at = hostio::MapReadOnly(fd.get(), file->size_);
    if (!at) {
      file->size_ = 0;
      throw InputError(SystemError(path, "map"));
    }
    file->data_ = static_cast<const std::uint8_t*>(at);
  }
  return file;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::shared_ptr<const MappedFile> file = MappedFile::Open(path);
  return std::vector<std::uint8_t>(file->data(), file->data() + file->size());
}

AtomicFile::AtomicFile(const std::string& path) : path_(path), temp_(path + ".tmp.XXXXXX") {
  fd_ = ::mkstemp(temp_.data());
  if (fd_ < 0) throw InputError(SystemError(path, "create a temporary file beside"));
  hostio::KeepFromChildren(fd_);
  stream_ = std::make_unique<DescriptorStream>(fd_, path_);
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temp_.c_str());
  }
}

void AtomicFile::Write(const std::uint8_t* data, std::size_t size) {
  stream_->WriteBuffer(data, static_cast<int64_t>(size));
}

void AtomicFile::Commit() {
  hostio::GiveNewFileMode(fd_);
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    ::unlink(temp_.c_str());
    throw InputError(SystemError(path_, "write"));
  }
  if (!hostio::ReplaceFile(temp_, path_)) {
    int error = errno;
    ::unlink(temp_.c_str());
    errno = error;
    throw InputError(SystemError(path_, "replace"));
  }
}

void WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size) {
  AtomicFile out(path);
  out.Write(data, size);
  out.Commit();
}
