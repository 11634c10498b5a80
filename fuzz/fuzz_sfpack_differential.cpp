// The fast packer must write exactly the bytes of the plain reference packer, and so must
// its baseline build (PackBlock may pick the AVX2 one).
#include "storage/acSFPack.h"
#include "storage/acSFPackInternal.h"
#include "sfpack_fuzz_input.h"
#include "sfpack_reference.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> input = ShapeFuzzInput(data, size);
  std::vector<std::uint8_t> fast(PackedSizeBound(input.size()));
  fast.resize(PackStream(input.data(), input.size(), fast.data()));
  if (fast != ReferencePackStream(input.data(), input.size())) std::abort();
  for (std::size_t done = 0; done < input.size(); done += SFPackBlockSize) {
    const std::size_t n = std::min(input.size() - done, SFPackBlockSize);
    std::vector<std::uint8_t> block(n + 2);
    block.resize(sfpack_detail::PackBlockBaseline(input.data() + done, n, block.data()));
    if (block != ReferencePackBlock(input.data() + done, n)) std::abort();
  }
  return 0;
}
