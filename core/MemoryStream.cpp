#include "MemoryStream.h"

#include <cstring>
#include <algorithm>
#include <limits>
#include <new>

#include "Exceptions.h"
#include "FileStream.h"

TMemoryStream::TMemoryStream(const std::string& bytes) {
  SetSize(static_cast<int64_t>(bytes.size()));
  if (!bytes.empty()) std::memcpy(buf_.get(), bytes.data(), bytes.size());
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || pos_ >= size_) return 0;
  int64_t n = std::min(count, size_ - pos_);
  std::memcpy(buffer, buf_.get() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (pos_ > std::numeric_limits<int64_t>::max() - count) throw EWriteError("Memory stream too large");
  int64_t end = pos_ + count;
  if (end > capacity_) Reserve(end, false);
  // A write that starts past the end leaves a gap: it reads as zeros, as it always did.
  if (pos_ > size_) std::memset(buf_.get() + size_, 0, static_cast<size_t>(pos_ - size_));
  std::memcpy(buf_.get() + pos_, buffer, static_cast<size_t>(count));
  if (end > size_) {
    size_ = end;
    buf_[static_cast<size_t>(size_)] = 0;
  }
  pos_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? pos_ : size_;
  int64_t p = base + offset;
  if (p < 0) throw EStreamError("Seek before the start of a memory stream");
  pos_ = p;
  return pos_;
}

void TMemoryStream::Reserve(int64_t n, bool exact) {
  if (n <= capacity_) return;
  int64_t want = exact ? n : std::max(n, capacity_ + capacity_ / 2);
  if (want > std::numeric_limits<int64_t>::max() - 1 ||
      static_cast<uint64_t>(want) + 1 > std::numeric_limits<size_t>::max())
    throw EStreamError("Out of memory while expanding memory stream");
  std::unique_ptr<char[]> grown(new (std::nothrow) char[static_cast<size_t>(want) + 1]);
  if (!grown) throw EStreamError("Out of memory while expanding memory stream");
  if (size_ > 0) std::memcpy(grown.get(), buf_.get(), static_cast<size_t>(size_));
  buf_ = std::move(grown);
  capacity_ = want;
}

void TMemoryStream::SetSize(int64_t newSize) {
  if (newSize < 0) throw EStreamError("Invalid memory stream size");
  Reserve(newSize, true);
  buf_[static_cast<size_t>(newSize)] = 0;
  size_ = newSize;
  if (pos_ > size_) pos_ = size_;
}

void TMemoryStream::Clear() {
  buf_.reset(new char[1]{0});
  capacity_ = 0;
  size_ = 0;
  pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  int64_t n = source.Size();
  SetSize(n);
  source.ReadBuffer(buf_.get(), n);
  pos_ = 0;
}

void TMemoryStream::SaveToStream(TStream& dest) const { dest.WriteBuffer(buf_.get(), size_); }

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream f(fileName, TFileMode::fmOpenRead);
  LoadFromStream(f);
}

void TMemoryStream::SaveToFile(const std::string& fileName) const {
  TFileStream f(fileName, TFileMode::fmCreate);
  SaveToStream(f);
}
