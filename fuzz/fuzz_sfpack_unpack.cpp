// Arbitrary bytes as a packed stream, unpacked into a destination of exactly the announced
// length (and, as framed blocks, into one of a length taken from the stream's first bytes).
// Anything but ESFPackError, or any access outside the buffers, is a finding. A stream that
// unpacks must survive packing its result again.
#include "storage/acSFPack.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) {
    try {
      PackedStreamLength(data, size);
      std::abort();  // a stream without its length must be refused
    } catch (const ESFPackError&) {}
    return 0;
  }
  const std::uint32_t announced = PackedStreamLength(data, size);

  // Framed blocks into a small exact-size buffer.
  const std::size_t capacity = announced & 0xFFFF;
  std::unique_ptr<std::uint8_t[]> blocksOut(new std::uint8_t[capacity]);
  try {
    const std::size_t got = UnpackBlocks(data + 4, size - 4, blocksOut.get(), capacity);
    if (got > capacity) std::abort();
  } catch (const ESFPackError&) {}

  // The whole stream, when its announced length is of a sane size.
  if (announced > (1u << 22)) return 0;
  std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[announced]);
  try {
    UnpackStream(data, size, out.get(), announced);
  } catch (const ESFPackError&) {
    return 0;
  }
  std::vector<std::uint8_t> repacked(PackedSizeBound(announced));
  repacked.resize(PackStream(out.get(), announced, repacked.data()));
  std::unique_ptr<std::uint8_t[]> again(new std::uint8_t[announced]);
  UnpackStream(repacked.data(), repacked.size(), again.get(), announced);
  for (std::size_t i = 0; i < announced; ++i) {
    if (again[i] != out[i]) std::abort();
  }
  return 0;
}
