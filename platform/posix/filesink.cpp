#include "filesink.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <unistd.h>

namespace winposix {

void WriteFully(int fd, const void* data, size_t n) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "write");
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
}

void WriteFullyAt(int fd, uint64_t offset, const void* data, size_t n) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t w = ::pwrite(fd, p, n, static_cast<off_t>(offset));
    if (w < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "write");
    }
    p += w;
    offset += static_cast<uint64_t>(w);
    n -= static_cast<size_t>(w);
  }
}

FileSink::FileSink(int fd, uint64_t start) : fd_(fd), start_(start), buffer_(new uint8_t[kBufferSize]) {}

void FileSink::Write(const void* data, size_t n) {
  if (used_ + n > kBufferSize) Flush();
  if (n >= kBufferSize) {
    WriteFully(fd_, data, n);
    written_ += n;
    return;
  }
  std::memcpy(buffer_.get() + used_, data, n);
  used_ += n;
}

void FileSink::Patch(uint64_t offset, const void* data, size_t n) {
  if (offset > Size() || n > Size() - offset)
    throw std::system_error(EINVAL, std::generic_category(), "patch beyond the bytes written");
  const auto* p = static_cast<const uint8_t*>(data);
  // The part already in the file is changed there, the rest in the buffer.
  if (offset < written_) {
    const size_t inFile = written_ - offset < n ? static_cast<size_t>(written_ - offset) : n;
    WriteFullyAt(fd_, start_ + offset, p, inFile);
    p += inFile;
    offset += inFile;
    n -= inFile;
  }
  if (n > 0) std::memcpy(buffer_.get() + (offset - written_), p, n);
}

void FileSink::Flush() {
  if (used_ == 0) return;
  WriteFully(fd_, buffer_.get(), used_);
  written_ += used_;
  used_ = 0;
}

}  // namespace winposix
