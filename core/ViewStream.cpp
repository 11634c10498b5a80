#include "ViewStream.h"

#include <algorithm>
#include <cstring>

#include "Exceptions.h"

TViewStream::TViewStream(const void* data, int64_t size, std::shared_ptr<const void> keeper)
    : data_(static_cast<const uint8_t*>(data)), size_(size), keeper_(std::move(keeper)) {
  if (size < 0 || (!data && size > 0)) throw EStreamError("Invalid view of " + std::to_string(size) + " bytes");
}

int64_t TViewStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || pos_ >= size_) return 0;
  int64_t n = std::min(count, size_ - pos_);
  std::memcpy(buffer, data_ + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

int64_t TViewStream::Write(const void*, int64_t) { return 0; }

int64_t TViewStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? pos_ : size_;
  int64_t p = base + offset;
  if (p < 0) throw EStreamError("Seek before the start of a view");
  pos_ = p;
  return pos_;
}

TSharedBytes TViewStream::Share(int64_t count) {
  if (count < 0 || pos_ > size_ || count > size_ - pos_)
    throw EReadError("Stream read error at offset " + std::to_string(pos_));
  TSharedBytes bytes(keeper_, data_ + pos_);
  pos_ += count;
  return bytes;
}
