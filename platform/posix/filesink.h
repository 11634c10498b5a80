// Writing a file front to back through one small buffer, with the few patches of bytes
// already written that a length field needs. Failures throw std::system_error (errno).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "../producedresource.h"

namespace winposix {

// Writes all n bytes at the file's current position (retrying short writes and EINTR).
void WriteFully(int fd, const void* data, size_t n);
// Writes all n bytes at `offset`, leaving the file position alone.
void WriteFullyAt(int fd, uint64_t offset, const void* data, size_t n);

// A resource's bytes, written to fd from the file position `start` on.
class FileSink : public ResourceSink {
 public:
  FileSink(int fd, uint64_t start);
  ~FileSink() override = default;
  void Write(const void* data, size_t n) override;
  void Patch(uint64_t offset, const void* data, size_t n) override;
  uint64_t Size() const override { return written_ + used_; }
  // Writes what the buffer holds; the sink's bytes are all in the file afterwards.
  void Flush();

 private:
  static constexpr size_t kBufferSize = 256 * 1024;
  int fd_;
  uint64_t start_;
  uint64_t written_ = 0;  // bytes already in the file
  size_t used_ = 0;       // bytes in the buffer
  std::unique_ptr<uint8_t[]> buffer_;
};

}  // namespace winposix
