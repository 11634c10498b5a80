#include "acSFPackStream.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "acSFPackInternal.h"
#include "platform/mappedread.h"

using sfpack_detail::Read16;
using sfpack_detail::Write16;

namespace {

// Room for one block's output; the unpacker may store a little past the bytes it writes, but
// never past the capacity it is given, so the block size itself is the capacity.
constexpr std::size_t kScratch = SFPackBlockSize;

// The stretch of blocks read through the file at a time; it holds any frame.
constexpr std::size_t kWindow = 1 << 20;

}  // namespace

TSFPackBlockReader::TSFPackBlockReader(const std::uint8_t* blocks, std::size_t size, std::uint64_t announced,
                                       std::size_t base)
    : blocks_(blocks), size_(size), announced_(announced), base_(base) {
  if (size > kWindow && IsReadThroughFile(blocks, size)) window_.reset(new std::uint8_t[kWindow]);
}

const std::uint8_t* TSFPackBlockReader::Bytes(std::size_t pos, std::size_t len) {
  if (!window_) return blocks_ + pos;
  if (pos < windowAt_ || pos + len > windowAt_ + windowLen_) {
    windowAt_ = pos;
    windowLen_ = std::min(kWindow, size_ - pos);
    CopyMappedBytes(window_.get(), blocks_ + pos, windowLen_);
  }
  return window_.get() + (pos - windowAt_);
}

bool TSFPackBlockReader::Next(const std::uint8_t*& data, std::size_t& n) {
  if (!scratch_) scratch_.reset(new std::uint8_t[kScratch]);
  data = scratch_.get();
  return NextInto(scratch_.get(), n);
}

bool TSFPackBlockReader::NextInto(std::uint8_t* out, std::size_t& n) {
  if (pos_ >= size_) {
    if (produced_ != announced_)
      throw ESFPackError(
          "blocks unpack to " + std::to_string(produced_) + " bytes, stream says " + std::to_string(announced_),
          base_ + size_);
    return false;
  }
  const std::size_t left = size_ - pos_;
  if (left < 2) throw ESFPackError("frame cut off: 1 byte left where a 2-byte packed length is needed", base_ + pos_);
  const std::size_t p = Read16(Bytes(pos_, 2));
  if (p == 0) throw ESFPackError("packed length 0: a block cannot be empty", base_ + pos_);
  if (p > left - 2)
    throw ESFPackError(
        "packed length " + std::to_string(p) + " runs past the input (" + std::to_string(left - 2) + " bytes follow)",
        base_ + pos_);
  const std::uint64_t room = std::min<std::uint64_t>(kScratch, announced_ - produced_);
  try {
    n = sfpack_detail::UnpackBlockAt(Bytes(pos_, 2 + p) + 2, p, out, static_cast<std::size_t>(room), base_ + pos_ + 2);
  } catch (const sfpack_detail::EDestinationFull&) {
    // Past the announced length: the codec's own message says what overflowed, and where.
    if (room < kScratch) throw;
    throw ESFPackError("block unpacks to more than " + std::to_string(kScratch) + " bytes", base_ + pos_);
  }
  pos_ += 2 + p;
  produced_ += n;
  return true;
}

std::uint64_t PackBlocksTo(const std::uint8_t* source, std::size_t n,
                           const std::function<void(const std::uint8_t*, std::size_t)>& sink) {
  std::uint64_t written = 0;
  std::unique_ptr<std::uint8_t[]> frame(new std::uint8_t[2 + SFPackBlockSize + 2]);
  for (std::size_t done = 0; done < n;) {
    const std::size_t len = std::min(n - done, SFPackBlockSize);
    const std::size_t packed = PackBlock(source + done, len, frame.get() + 2);
    Write16(frame.get(), packed);
    sink(frame.get(), 2 + packed);
    written += 2 + packed;
    done += len;
  }
  return written;
}
