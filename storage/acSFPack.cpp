// Stream level of the acSFPack codec: the size bound, the framing of blocks into a packed
// stream, and the checks that tie a stream's blocks to its announced unpacked length.
#include "acSFPack.h"

#include "acSFPackInternal.h"

#include <algorithm>
#include <stdexcept>

using sfpack_detail::Read16;
using sfpack_detail::Write16;

ESFPackError::ESFPackError(const std::string& reason, std::size_t offset)
    : std::runtime_error(reason + " at offset " + std::to_string(offset)), reason_(reason), offset_(offset) {}

std::size_t PackedSizeBound(std::size_t n) {
  // The classic bound, m + 4 * (m div 65535 + 1) + 4, counts blocks of 65535 bytes although a
  // block holds at most 65533 input bytes. For some lengths (65534 is the first) it is therefore
  // one block's 4 bytes short of what incompressible data needs: 4 bytes of length, then per
  // block 2 bytes of frame, 2 of header word and its input bytes. Return the larger of both.
  const std::size_t m = std::max<std::size_t>(n, 255);
  const std::size_t classic = m + 4 * (m / 65535 + 1) + 4;
  const std::size_t blocks = (n + SFPackBlockSize - 1) / SFPackBlockSize;
  const std::size_t worst = 4 + n + 4 * blocks;
  return std::max(classic, worst);
}

std::size_t PackStream(const std::uint8_t* source, std::size_t n, std::uint8_t* dest) {
  if (n > 0xFFFFFFFFu) {
    throw std::length_error("PackStream: " + std::to_string(n) + " bytes do not fit the 32-bit unpacked length");
  }
  dest[0] = static_cast<std::uint8_t>(n);
  dest[1] = static_cast<std::uint8_t>(n >> 8);
  dest[2] = static_cast<std::uint8_t>(n >> 16);
  dest[3] = static_cast<std::uint8_t>(n >> 24);
  std::size_t written = 4;
  for (std::size_t done = 0; done < n;) {
    const std::size_t len = std::min(n - done, SFPackBlockSize);
    // A block of len bytes packs into at most len + 2 bytes, so every block stays inside
    // PackedSizeBound(n) whatever the blocks before it did.
    const std::size_t packed = PackBlock(source + done, len, dest + written + 2);
    Write16(dest + written, packed);
    written += 2 + packed;
    done += len;
  }
  return written;
}

std::uint32_t PackedStreamLength(const std::uint8_t* stream, std::size_t size) {
  if (size < 4) {
    throw ESFPackError("packed stream of " + std::to_string(size) + " bytes is shorter than its 4-byte unpacked length",
                       0);
  }
  return static_cast<std::uint32_t>(stream[0]) | static_cast<std::uint32_t>(stream[1]) << 8 |
         static_cast<std::uint32_t>(stream[2]) << 16 | static_cast<std::uint32_t>(stream[3]) << 24;
}

std::size_t UnpackBlock(const std::uint8_t* block, std::size_t p, std::uint8_t* out, std::size_t capacity) {
  return sfpack_detail::UnpackBlockAt(block, p, out, capacity, 0);
}

std::size_t UnpackBlocks(const std::uint8_t* blocks, std::size_t size, std::uint8_t* dest, std::size_t capacity) {
  return sfpack_detail::UnpackBlocksAt(blocks, size, dest, capacity, 0);
}

void UnpackStream(const std::uint8_t* stream, std::size_t size, std::uint8_t* dest, std::size_t capacity) {
  const std::size_t announced = PackedStreamLength(stream, size);
  if (capacity < announced) {
    throw std::length_error("UnpackStream: destination of " + std::to_string(capacity) +
                            " bytes cannot hold the unpacked length " + std::to_string(announced));
  }
  std::size_t got;
  try {
    got = sfpack_detail::UnpackBlocksAt(stream + 4, size - 4, dest, announced, 4);
  } catch (const sfpack_detail::EDestinationFull& e) {
    throw ESFPackError(
        "blocks unpack to more than " + std::to_string(announced) + " bytes, stream says " + std::to_string(announced),
        e.offset());
  }
  if (got != announced) {
    throw ESFPackError("blocks unpack to " + std::to_string(got) + " bytes, stream says " + std::to_string(announced),
                       size);
  }
}

namespace sfpack_detail {

std::size_t UnpackBlocksAt(const std::uint8_t* blocks, std::size_t size, std::uint8_t* dest, std::size_t capacity,
                           std::size_t base) {
  std::size_t pos = 0;
  std::size_t produced = 0;
  while (pos < size) {
    const std::size_t left = size - pos;
    if (left < 2) {
      throw ESFPackError("frame cut off: 1 byte left where a 2-byte packed length is needed", base + pos);
    }
    const std::size_t p = Read16(blocks + pos);
    if (p == 0) throw ESFPackError("packed length 0: a block cannot be empty", base + pos);
    if (p > left - 2) {
      throw ESFPackError(
          "packed length " + std::to_string(p) + " runs past the input (" + std::to_string(left - 2) + " bytes follow)",
          base + pos);
    }
    produced += UnpackBlockAt(blocks + pos + 2, p, dest + produced, capacity - produced, base + pos + 2);
    pos += 2 + p;
  }
  return produced;
}

}  // namespace sfpack_detail
