// A whole file mapped read-only into memory, so that readers look at its bytes in place
// instead of copying them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace winposix {

class MappedFile {
 public:
  // Maps the file (an empty file maps to no bytes); `readAll` asks the kernel to read it in
  // at once, for callers that go through every byte. Throws std::runtime_error naming the
  // file when it cannot be opened or mapped.
  explicit MappedFile(const std::string& unixPath, bool readAll = false);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace winposix
