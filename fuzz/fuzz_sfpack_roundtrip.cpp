// Packs shaped input into a buffer of exactly PackedSizeBound bytes and unpacks it into a
// buffer of exactly the input's length; the result must equal the input.
#include "storage/acSFPack.h"
#include "sfpack_fuzz_input.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> input = ShapeFuzzInput(data, size);
  const std::size_t n = input.size();
  const std::size_t bound = PackedSizeBound(n);
  std::unique_ptr<std::uint8_t[]> packed(new std::uint8_t[bound]);
  const std::size_t written = PackStream(input.data(), n, packed.get());
  if (written > bound || PackedStreamLength(packed.get(), written) != n) std::abort();

  std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[n]);
  UnpackStream(packed.get(), written, out.get(), n);
  if (n != 0 && std::memcmp(out.get(), input.data(), n) != 0) std::abort();
  return 0;
}
