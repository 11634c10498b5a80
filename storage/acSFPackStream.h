// Block-at-a-time access to packed streams of the acSFPack codec, so that a content of any
// size is packed or unpacked through one block-sized buffer instead of being held whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "acSFPack.h"

// Unpacks the framed blocks of a packed stream (without its leading unpacked length) one block
// at a time. Every block must unpack to at most SFPackBlockSize bytes (a packer writes
// ceil(N / 65533) blocks) and all of them together to exactly the announced length; a fault
// raises ESFPackError with the offset counted from `base` (the offset of blocks[0] in whatever
// the caller names in its messages).
//
// Blocks of more than 1 MiB that lie in a file mapping read through the file (mappedread.h)
// are read that way, a window of 1 MiB at a time, so that the mapping's pages are never touched.
class TSFPackBlockReader {
 public:
  TSFPackBlockReader(const std::uint8_t* blocks, std::size_t size, std::uint64_t announced, std::size_t base = 0);

  // The next block's unpacked bytes, valid until the next call; false after the last block
  // (when the blocks gave exactly the announced length).
  bool Next(const std::uint8_t*& data, std::size_t& n);
  // The same, unpacking into out, which has room for at least SFPackBlockSize bytes (the
  // unpacker may store past the bytes it writes, never past that room).
  bool NextInto(std::uint8_t* out, std::size_t& n);

  // True when every block has been read (Next then only checks the total).
  bool AtEnd() const { return pos_ >= size_; }
  // Bytes of the blocks read so far.
  std::size_t Consumed() const { return pos_; }
  // Bytes unpacked so far.
  std::uint64_t Produced() const { return produced_; }
  // True when the blocks are read through the file behind their mapping.
  bool ReadsThroughFile() const { return window_ != nullptr; }

 private:
  // The blocks' bytes [pos, pos + len), len at most one frame.
  const std::uint8_t* Bytes(std::size_t pos, std::size_t len);

  const std::uint8_t* blocks_;
  std::size_t size_;
  std::uint64_t announced_;
  std::size_t base_;
  std::size_t pos_ = 0;
  std::uint64_t produced_ = 0;
  std::unique_ptr<std::uint8_t[]> scratch_;
  std::unique_ptr<std::uint8_t[]> window_;  // the bytes [windowAt_, windowAt_ + windowLen_)
  std::size_t windowAt_ = 0, windowLen_ = 0;
};

// Packs n bytes as framed blocks, the part of a packed stream after its unpacked length, and
// hands each frame to sink; returns the bytes handed over. n must be a multiple of
// SFPackBlockSize unless it is the content's last part. The bytes are those PackStream writes.
std::uint64_t PackBlocksTo(const std::uint8_t* source, std::size_t n,
                           const std::function<void(const std::uint8_t*, std::size_t)>& sink);
