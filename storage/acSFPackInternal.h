// Internals shared by the files of the acSFPack codec: little-endian field access, the
// offset-aware block unpacker and the error raised when a destination runs out of room.
#pragma once

#include "acSFPack.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace sfpack_detail {

inline std::uint16_t Read16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

inline void Write16(std::uint8_t* p, std::size_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

// Raised when literals or a run do not fit in the destination. UnpackStream turns it into a
// message about the stream's announced length.
class EDestinationFull : public ESFPackError {
 public:
  using ESFPackError::ESFPackError;
};

// The block packer built for the baseline instruction set and, where SFPACK_HAVE_AVX2 is
// defined, for AVX2. PackBlock picks one; both give the same bytes.
std::size_t PackBlockBaseline(const std::uint8_t* input, std::size_t n, std::uint8_t* out);
std::size_t PackBlockAvx2(const std::uint8_t* input, std::size_t n, std::uint8_t* out);

// Unpacks one packed block of p bytes into out (room for capacity bytes). base is the offset
// of block[0] in the bytes the caller handed in, so that errors name offsets in those bytes.
std::size_t UnpackBlockAt(const std::uint8_t* block, std::size_t p, std::uint8_t* out, std::size_t capacity,
                          std::size_t base);

// Unpacks the framed blocks (size bytes) into dest; base as above.
std::size_t UnpackBlocksAt(const std::uint8_t* blocks, std::size_t size, std::uint8_t* dest, std::size_t capacity,
                           std::size_t base);

}  // namespace sfpack_detail
