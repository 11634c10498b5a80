#include "mappedfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/mappedread.h"

namespace winposix {

MappedFile::MappedFile(const std::string& unixPath, bool readAll) {
  // O_NONBLOCK: a FIFO is refused below instead of waiting for a writer.
  const int fd = ::open(unixPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw std::runtime_error(unixPath + ": cannot open the file: " + std::strerror(errno));
  struct stat st {};
  const int err = ::fstat(fd, &st) != 0 ? errno : 0;
  if (err || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw std::runtime_error(unixPath + ": " + (err ? std::strerror(err) : "not a regular file"));
  }
  size_ = static_cast<size_t>(st.st_size);
  if (size_ > 0) {
    void* p = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | (readAll ? MAP_POPULATE : 0), fd, 0);
    if (p == MAP_FAILED) {
      const int err = errno;
      ::close(fd);
      throw std::runtime_error(unixPath + ": cannot map the file: " + std::strerror(err));
    }
    data_ = static_cast<const uint8_t*>(p);
    RegisterFileMapping(data_, size_, fd);
  }
  ::close(fd);
}

MappedFile::~MappedFile() {
  if (data_) ForgetFileMapping(data_);
  if (data_) ::munmap(const_cast<uint8_t*>(data_), size_);
}

}  // namespace winposix
