#pragma once
// TViewStream: a read-only stream over bytes it does not own (a mapped file, a resource the
// executable carries). Reading hands out views into those bytes instead of copies: Share gives
// a pointer that keeps the bytes alive through the keeper the stream was made with.
#include <cstdint>
#include <memory>

#include "Stream.h"

class TViewStream : public TStream {
 public:
  // keeper holds the bytes alive (may be empty for bytes that live as long as the program).
  TViewStream(const void* data, int64_t size, std::shared_ptr<const void> keeper = {});

  int64_t Read(void* buffer, int64_t count) override;
  // Always fails: the bytes are read-only (raises EWriteError through WriteBuffer).
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return size_; }

  TSharedBytes Share(int64_t count) override;

  const uint8_t* Memory() const { return data_; }

 private:
  const uint8_t* data_;
  int64_t size_;
  int64_t pos_ = 0;
  std::shared_ptr<const void> keeper_;
};
