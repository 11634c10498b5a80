#pragma once
// TMemoryStream: a stream over one contiguous, resizable buffer. Memory() stays valid until
// the size changes. One spare byte is always allocated past the end, so a caller may write a
// sentinel just behind the data (and must restore it) without a reallocation.
#include <string>
#include <vector>

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

  char* Memory() { return buf_.data(); }
  const char* Memory() const { return buf_.data(); }
  std::string Bytes() const { return std::string(buf_.data(), static_cast<size_t>(size_)); }
  void Clear();
  void LoadFromStream(TStream& source);
  void SaveToStream(TStream& dest) const;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

private:
  std::vector<char> buf_ = std::vector<char>(1);
  int64_t size_ = 0;
  int64_t pos_ = 0;
};
