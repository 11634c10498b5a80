// Block packer entry point: picks the AVX2 build of the packer when the processor has it and
// the baseline (SSE2, or plain C++ elsewhere) build otherwise. Both write the same bytes.
#include "acSFPack.h"

#include "acSFPackBlockImpl.h"
#include "acSFPackInternal.h"

#include <stdexcept>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

#if defined(__SSE2__)
struct BaselineOps {
  static constexpr std::size_t W = 16;
  static constexpr std::uint64_t kAllLanes = 0xFFFF;
  using Vec = __m128i;
  static Vec Load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void Store(std::uint8_t* p, Vec v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  static Vec Splat(std::uint8_t v) { return _mm_set1_epi8(static_cast<char>(v)); }
  static std::uint64_t EqMask(Vec a, Vec b) { return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b))); }
  static int AbsentAfter(const std::uint8_t* in, std::size_t from, std::size_t n, bool* seen) {
    return MarkRemaining(in, from, n, seen);
  }
};
#else
struct BaselineOps {
  static constexpr std::size_t W = 0;
  static constexpr std::uint64_t kAllLanes = 0;
  using Vec = int;
  static Vec Load(const std::uint8_t*) { return 0; }
  static void Store(std::uint8_t*, Vec) {}
  static Vec Splat(std::uint8_t) { return 0; }
  static std::uint64_t EqMask(Vec, Vec) { return 0; }
  static int AbsentAfter(const std::uint8_t* in, std::size_t from, std::size_t n, bool* seen) {
    return MarkRemaining(in, from, n, seen);
  }
};
#endif

bool UseAvx2() {
#if defined(SFPACK_HAVE_AVX2) && (defined(__GNUC__) || defined(__clang__))
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

}  // namespace

std::size_t PackBlock(const std::uint8_t* input, std::size_t n, std::uint8_t* out) {
  if (n == 0 || n > SFPackBlockSize) {
    throw std::invalid_argument("PackBlock: a block holds 1 to 65533 bytes, not " + std::to_string(n));
  }
#if defined(SFPACK_HAVE_AVX2)
  if (UseAvx2()) return sfpack_detail::PackBlockAvx2(input, n, out);
#endif
  return BlockPacker<BaselineOps>::Pack(input, n, out);
}

namespace sfpack_detail {

std::size_t PackBlockBaseline(const std::uint8_t* input, std::size_t n, std::uint8_t* out) {
  return BlockPacker<BaselineOps>::Pack(input, n, out);
}

}  // namespace sfpack_detail
