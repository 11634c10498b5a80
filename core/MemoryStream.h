#pragma once
// TMemoryStream: a stream over one contiguous, resizable buffer. Memory() stays valid until
// the size changes. One spare byte is always allocated past the end, so a caller may write a
// sentinel just behind the data (and must restore it) without a reallocation. Growing does not
// clear the new bytes: SetSize leaves them undefined until written (the spare byte reads 0).
#include <memory>
#include <string>

#include "Stream.h"

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(const std::string& bytes);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return size_; }
  void SetSize(int64_t newSize) override;

  char* Memory() { return buf_.get(); }
  const char* Memory() const { return buf_.get(); }
  std::string Bytes() const { return std::string(buf_.get(), static_cast<size_t>(size_)); }
  void Clear();
  void LoadFromStream(TStream& source);
  void SaveToStream(TStream& dest) const;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

 private:
  // Makes room for at least n bytes and the spare one, keeping the first size_ bytes.
  void Reserve(int64_t n, bool exact);

  std::unique_ptr<char[]> buf_ = std::unique_ptr<char[]>(new char[1]{0});
  int64_t capacity_ = 0;  // bytes usable before the spare one
  int64_t size_ = 0;
  int64_t pos_ = 0;
};
