#include "MemoryStream.h"

#include <cstring>
#include <limits>

#include "Exceptions.h"
#include "FileStream.h"

TMemoryStream::TMemoryStream(const std::string& bytes) {
  SetSize(static_cast<int64_t>(bytes.size()));
  if (!bytes.empty()) std::memcpy(buf_.data(), bytes.data(), bytes.size());
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || pos_ >= size_) return 0;
  int64_t n = std::min(count, size_ - pos_);
  std::memcpy(buffer, buf_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (pos_ > std::numeric_limits<int64_t>::max() - count) throw EWriteError("Memory stream too large");
  int64_t end = pos_ + count;
  if (end > size_) SetSize(end);
  std::memcpy(buf_.data() + pos_, buffer, static_cast<size_t>(count));
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

void TMemoryStream::SetSize(int64_t newSize) {
  if (newSize < 0) throw EStreamError("Invalid memory stream size");
  try {
    buf_.resize(static_cast<size_t>(newSize) + 1);
  } catch (const std::bad_alloc&) {
    throw EStreamError("Out of memory while expanding memory stream");
  } catch (const std::length_error&) {
    throw EStreamError("Out of memory while expanding memory stream");
  }
  buf_[static_cast<size_t>(newSize)] = 0;
  size_ = newSize;
  if (pos_ > size_) pos_ = size_;
}

void TMemoryStream::Clear() {
  buf_.assign(1, 0);
  size_ = 0;
  pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  int64_t n = source.Size();
  SetSize(n);
  source.ReadBuffer(buf_.data(), n);
  pos_ = 0;
}

void TMemoryStream::SaveToStream(TStream& dest) const { dest.WriteBuffer(buf_.data(), size_); }

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream f(fileName, TFileMode::fmOpenRead);
  LoadFromStream(f);
}

void TMemoryStream::SaveToFile(const std::string& fileName) const {
  TFileStream f(fileName, TFileMode::fmCreate);
  SaveToStream(f);
}
