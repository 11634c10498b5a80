// Block unpacker of the acSFPack codec. It trusts nothing in the block: every count, table
// entry and length is checked against the block's bytes and the room left in the destination
// before anything is read or written, and a fault raises ESFPackError with its offset.
#include "acSFPackInternal.h"

#include <cassert>
#include <cstring>
#include <string>

namespace sfpack_detail {
namespace {

using std::to_string;

// Copies and fills of exactly len bytes. Short ones (run-table blocks of executables have a
// run every few dozen bytes) use two overlapping fixed-size moves instead of a library call.
inline void CopyExact(std::uint8_t* d, const std::uint8_t* s, std::size_t len) {
  if (len > 32) {
    std::memcpy(d, s, len);
  } else if (len >= 16) {
    std::uint8_t a[16], b[16];
    std::memcpy(a, s, 16);
    std::memcpy(b, s + len - 16, 16);
    std::memcpy(d, a, 16);
    std::memcpy(d + len - 16, b, 16);
  } else if (len >= 8) {
    std::uint64_t a, b;
    std::memcpy(&a, s, 8);
    std::memcpy(&b, s + len - 8, 8);
    std::memcpy(d, &a, 8);
    std::memcpy(d + len - 8, &b, 8);
  } else if (len >= 4) {
    std::uint32_t a, b;
    std::memcpy(&a, s, 4);
    std::memcpy(&b, s + len - 4, 4);
    std::memcpy(d, &a, 4);
    std::memcpy(d + len - 4, &b, 4);
  } else if (len > 0) {
    d[0] = s[0];
    d[len / 2] = s[len / 2];
    d[len - 1] = s[len - 1];
  }
}

inline void FillExact(std::uint8_t* d, std::uint8_t v, std::size_t len) {
  if (len > 32) {
    std::memset(d, v, len);
  } else if (len >= 8) {
    const std::uint64_t pattern = 0x0101010101010101ull * v;
    for (std::size_t k = 0; k + 8 < len; k += 8) std::memcpy(d + k, &pattern, 8);
    std::memcpy(d + len - 8, &pattern, 8);
  } else {
    for (std::size_t k = 0; k < len; ++k) d[k] = v;
  }
}

// Fixed 32-byte moves for the common short literals and runs, used where both the block and
// the destination have 32 bytes of room: they may write past the item's end, and whatever
// comes next overwrites those bytes. Debug builds check the room they are given.
inline void Copy32(std::uint8_t* d, [[maybe_unused]] std::size_t destRoom, const std::uint8_t* s,
                   [[maybe_unused]] std::size_t sourceRoom, [[maybe_unused]] std::size_t len) {
  assert(len <= 32 && destRoom >= 32 && sourceRoom >= 32);
  std::uint8_t a[16], b[16];
  std::memcpy(a, s, 16);
  std::memcpy(b, s + 16, 16);
  std::memcpy(d, a, 16);
  std::memcpy(d + 16, b, 16);
}

inline void Fill32(std::uint8_t* d, [[maybe_unused]] std::size_t destRoom, std::uint8_t v,
                   [[maybe_unused]] std::size_t len) {
  assert(len <= 32 && destRoom >= 32);
  const std::uint64_t pattern = 0x0101010101010101ull * v;
  std::memcpy(d, &pattern, 8);
  std::memcpy(d + 8, &pattern, 8);
  std::memcpy(d + 16, &pattern, 8);
  std::memcpy(d + 24, &pattern, 8);
}

// Error paths stay out of line so that the hot loops stay small.
[[noreturn]] __attribute__((noinline, cold)) void ThrowLiteralsFull(std::size_t room, std::size_t offset) {
  throw EDestinationFull("literals overflow the destination (" + to_string(room) + " bytes of room left)", offset);
}

[[noreturn]] __attribute__((noinline, cold)) void ThrowRunFull(std::size_t len, std::size_t room, std::size_t offset) {
  throw EDestinationFull(
      "run of " + to_string(len) + " bytes overflows the destination (" + to_string(room) + " bytes of room left)",
      offset);
}

// Names what is wrong with run-table entry t, read at tp, when the data part was read up to rp.
[[noreturn]] __attribute__((noinline, cold)) void ThrowBadEntry(std::size_t t, std::size_t rp, std::size_t h,
                                                                std::size_t p, std::size_t offset) {
  if (t >= p) {
    throw ESFPackError("run-table entry " + to_string(t) + " points past the block's end", offset);
  }
  if (t >= h) {
    throw ESFPackError("run-table entry " + to_string(t) + " points into the run table at " + to_string(h), offset);
  }
  if (t < 3) {
    throw ESFPackError("run-table entry " + to_string(t) + " points into the header word", offset);
  }
  throw ESFPackError("run-table entry " + to_string(t) + " out of order: the data part was read up to " + to_string(rp),
                     offset);
}

class Unpacker {
 public:
  Unpacker(const std::uint8_t* block, std::size_t p, std::uint8_t* out, std::size_t capacity, std::size_t base)
      : block_(block), p_(p), out_(out), capacity_(capacity), base_(base) {}

  std::size_t Run() {
    if (p_ < 2) {
      throw ESFPackError("packed block of " + to_string(p_) + " byte is shorter than its 2-byte header word", base_);
    }
    const std::size_t h = Read16(block_);
    if (h <= 255) {
      EscapeMode(static_cast<std::uint8_t>(h));
    } else {
      RunTableMode(h);
    }
    return written_;
  }

 private:
  // Copies the literals block[from, to) to the output.
  __attribute__((always_inline)) void Literals(std::size_t from, std::size_t to) {
    const std::size_t len = to - from;
    if (len == 0) return;
    const std::size_t room = capacity_ - written_;
    if (len > room) ThrowLiteralsFull(room, base_ + from + room);
    if (len <= 32 && room >= 32 && p_ - from >= 32)
      Copy32(out_ + written_, room, block_ + from, p_ - from, len);
    else
      CopyExact(out_ + written_, block_ + from, len);
    written_ += len;
  }

  // Writes count + 1 copies of v; item is the offset of the run's first byte in the block.
  __attribute__((always_inline)) void Fill(std::uint8_t v, std::size_t count, std::size_t item) {
    const std::size_t len = count + 1;
    const std::size_t room = capacity_ - written_;
    if (len > room) ThrowRunFull(len, room, base_ + item);
    if (len <= 32 && room >= 32)
      Fill32(out_ + written_, room, v, len);
    else
      FillExact(out_ + written_, v, len);
    written_ += len;
  }

  void EscapeMode(std::uint8_t e) {
    std::size_t i = 2;
    while (i < p_) {
      const void* hit = std::memchr(block_ + i, e, p_ - i);
      const std::size_t esc = hit ? static_cast<const std::uint8_t*>(hit) - block_ : p_;
      Literals(i, esc);
      if (esc == p_) break;
      if (p_ - esc < 2) throw ESFPackError("escape byte at the block's end, run byte missing", base_ + esc);
      if (p_ - esc < 3) throw ESFPackError("run count missing after escape", base_ + esc);
      const std::uint8_t v = block_[esc + 1];
      std::size_t count = block_[esc + 2];
      i = esc + 3;
      if (count == 0) {
        if (p_ - i < 2) throw ESFPackError("16-bit run count cut off at the block's end", base_ + esc);
        count = Read16(block_ + i);
        i += 2;
      }
      Fill(v, count, esc);
    }
  }

  void RunTableMode(std::size_t h) {
    if (h > p_) {
      throw ESFPackError("run table offset " + to_string(h) + " lies past the block's end " + to_string(p_), base_);
    }
    if ((p_ - h) % 2 != 0) {
      throw ESFPackError("run table of odd length " + to_string(p_ - h), base_);
    }
    std::size_t rp = 2;  // read position in the data part
    for (std::size_t tp = p_; tp > h;) {
      tp -= 2;
      const std::size_t t = Read16(block_ + tp);  // offset of a run record's count byte
      // A valid entry has rp + 1 <= t < h: the run byte at t - 1 is not before the read
      // position and the count byte lies in the data part.
      if (t < rp + 1 || t >= h) ThrowBadEntry(t, rp, h, p_, base_ + tp);
      Literals(rp, t - 1);
      const std::uint8_t v = block_[t - 1];
      std::size_t count = block_[t];
      rp = t + 1;
      if (count == 0) {
        if (h - rp < 2) {
          throw ESFPackError("16-bit run count cut off by the run table", base_ + t);
        }
        count = Read16(block_ + rp);
        rp += 2;
      }
      Fill(v, count, t - 1);
    }
    Literals(rp, h);
  }

  const std::uint8_t* block_;
  std::size_t p_;
  std::uint8_t* out_;
  std::size_t capacity_;
  std::size_t base_;
  std::size_t written_ = 0;
};

}  // namespace

std::size_t UnpackBlockAt(const std::uint8_t* block, std::size_t p, std::uint8_t* out, std::size_t capacity,
                          std::size_t base) {
  return Unpacker(block, p, out, capacity, base).Run();
}

}  // namespace sfpack_detail
