// Turns a fuzzer's bytes into packer input of varied shape. Byte 0 picks the shape:
//   bits 0-1: 0 raw bytes; 1 runs from (value, length) pairs, long enough to cross blocks;
//             2 the bytes tiled to a length given by the next two bytes;
//             3 raw bytes, each repeated (byte 1 % 8) + 1 times
//   bit 2:    the 256 byte values go first, so the first block is packed in run-table mode
// The result is cut at kMaxShapedInput bytes: past one block boundary, yet small enough for
// the sanitizer's allocator to reuse its buffers instead of mapping fresh pages each run.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::size_t kMaxShapedInput = 65533 + 16384;

inline std::vector<std::uint8_t> ShapeFuzzInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> out;
  if (size == 0) return out;
  const std::uint8_t shape = data[0];
  ++data;
  --size;
  if (shape & 4) {
    for (int v = 0; v < 256; ++v) out.push_back(static_cast<std::uint8_t>(v));
  }
  switch (shape & 3) {
    case 0:
      out.insert(out.end(), data, data + size);
      break;
    case 1:
      for (std::size_t i = 0; i + 1 < size && out.size() < kMaxShapedInput; i += 2) {
        const std::size_t len = data[i + 1] < 128 ? data[i + 1] + 1u : (data[i + 1] - 127u) * 1024u;
        out.insert(out.end(), len, data[i]);
      }
      break;
    case 2:
      if (size > 2) {
        const std::size_t len = std::min<std::size_t>((data[0] | (data[1] << 8)) * 4u, kMaxShapedInput);
        for (std::size_t i = 0; i < len; ++i) out.push_back(data[2 + i % (size - 2)]);
      }
      break;
    case 3:
      if (size > 1) {
        const std::size_t times = data[0] % 8 + 1u;
        for (std::size_t i = 1; i < size; ++i) out.insert(out.end(), times, data[i]);
      }
      break;
  }
  if (out.size() > kMaxShapedInput) out.resize(kMaxShapedInput);
  return out;
}
