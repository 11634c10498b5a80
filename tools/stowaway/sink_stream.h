// A write-only stream over a resource sink, so that code writing streams (the container
// writer) writes straight into a resource as it is made. Writing at the end appends; writing
// before it overwrites what was written (a length filled in once what follows is written).
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/Exceptions.h"
#include "core/Stream.h"
#include "platform/producedresource.h"

class TSinkStream : public TStream {
 public:
  // Positions count from the sink's size at construction.
  explicit TSinkStream(ResourceSink& sink) : sink_(sink), start_(sink.Size()) {}

  int64_t Read(void*, int64_t) override { throw EReadError("a resource being written cannot be read"); }

  int64_t Write(const void* buffer, int64_t count) override {
    const auto* p = static_cast<const uint8_t*>(buffer);
    const int64_t over = std::min(count, Size() - position_);  // bytes written before
    if (over > 0) sink_.Patch(start_ + static_cast<uint64_t>(position_), p, static_cast<size_t>(over));
    if (count > over) sink_.Write(p + over, static_cast<size_t>(count - over));
    position_ += count;
    return count;
  }

  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    const int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? position_ : Size();
    if (base + offset < 0 || base + offset > Size()) throw EWriteError("a seek outside a resource being written");
    return position_ = base + offset;
  }

  int64_t Size() override { return static_cast<int64_t>(sink_.Size() - start_); }

 private:
  ResourceSink& sink_;
  const uint64_t start_;
  int64_t position_ = 0;
};
