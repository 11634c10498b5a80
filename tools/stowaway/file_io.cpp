#include "file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "cli_error.h"
#include "platform/hostio.h"

namespace {

std::string SystemError(const std::string& path, const char* action) {
  return path + ": cannot " + action + ": " + std::strerror(errno);
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Runs a file operation and reports its failure as an input error naming the file.
template <class F>
auto AsInputError(F operation) -> decltype(operation()) {
  try {
    return operation();
  } catch (const std::system_error& e) {
    throw InputError(e.what());
  }
}

// A stream over the replacement being written.
class ReplacementStream : public TStream {
 public:
  explicit ReplacementStream(wholefile::Replacement& file) : file_(file) {}

  int64_t Read(void* buffer, int64_t count) override {
    return AsInputError([&] { return static_cast<int64_t>(file_.Read(buffer, static_cast<std::size_t>(count))); });
  }
  int64_t Write(const void* buffer, int64_t count) override {
    AsInputError([&] { file_.Write(buffer, static_cast<std::size_t>(count)); });
    return count;
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    const wholefile::Origin from = origin == TSeekOrigin::soBeginning ? wholefile::Origin::Beginning
                                   : origin == TSeekOrigin::soCurrent ? wholefile::Origin::Current
                                                                      : wholefile::Origin::End;
    return AsInputError([&] { return file_.Seek(offset, from); });
  }

 private:
  wholefile::Replacement& file_;
};

}  // namespace

MappedFile::~MappedFile() {
  if (data_ && size_) hostio::Unmap(data_, size_);
}

std::shared_ptr<const MappedFile> MappedFile::Open(const std::string& path) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | hostio::kOpenFlags | hostio::kOpenNoWait));
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
  const std::string content = AsInputError([&] { return wholefile::Read(path); });
  return std::vector<std::uint8_t>(content.begin(), content.end());
}

// The tool's outputs are made again by running it again: an output lost with a crash of the
// system is not worth a sync.
AtomicFile::AtomicFile(const std::string& path)
    : file_(AsInputError([&] { return wholefile::Replacement(path, wholefile::Durability::None); })),
      stream_(std::make_unique<ReplacementStream>(file_)) {}

AtomicFile::~AtomicFile() = default;

void AtomicFile::Write(const std::uint8_t* data, std::size_t size) {
  stream_->WriteBuffer(data, static_cast<int64_t>(size));
}

void AtomicFile::Commit() {
  AsInputError([&] { file_.Commit(); });
}

void WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size) {
  AtomicFile out(path);
  out.Write(data, size);
  out.Commit();
}
