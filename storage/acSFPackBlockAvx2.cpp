// The block packer built for AVX2 (this file is compiled with -mavx2 on x86-64 only; the
// entry point calls it when the processor has AVX2). Besides wider compares it has a filter
// that finds which of the still unseen byte values occur in the rest of a block in one pass.
#include "acSFPackBlockImpl.h"
#include "acSFPackInternal.h"

#if defined(__AVX2__)
#include <immintrin.h>

namespace {

struct Avx2Ops {
  static constexpr std::size_t W = 32;
  static constexpr std::uint64_t kAllLanes = 0xFFFFFFFFu;
  using Vec = __m256i;
  static Vec Load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void Store(std::uint8_t* p, Vec v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static Vec Splat(std::uint8_t v) { return _mm256_set1_epi8(static_cast<char>(v)); }
  static std::uint64_t EqMask(Vec a, Vec b) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, b)));
  }

  // Scans in[from, n) for the byte values not yet in seen, 64 bytes at a time, and returns
  // the smallest value that does not occur, or -1 once all 256 have been seen. A value v is
  // looked up by its nibbles: lowTab[v & 15] (for v < 128) or highTab[v & 15] (for v >= 128)
  // holds bit (v >> 4) & 7 while v is unseen. The shuffle gives 0 for an index with its top
  // bit set, so looking v up in lowTab directly and v ^ 0x80 in highTab selects the right
  // table without a blend. Only the bytes that hit an unseen value are marked.
  static int AbsentAfter(const std::uint8_t* in, std::size_t from, std::size_t n, bool* seen) {
    alignas(16) std::uint8_t lowTab[16] = {};
    alignas(16) std::uint8_t highTab[16] = {};
    int unseen = 0;
    for (int v = 0; v < 256; ++v) {
      if (seen[v]) continue;
      ++unseen;
      (v < 128 ? lowTab : highTab)[v & 15] |= static_cast<std::uint8_t>(1u << ((v >> 4) & 7));
    }
    if (unseen == 0) return -1;
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80));
    const __m256i bits = _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16,
                                          32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
    auto loadTab = [](const std::uint8_t* t) {
      return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(t)));
    };
    __m256i low = loadTab(lowTab);
    __m256i high = loadTab(highTab);
    auto unseenIn = [&](const __m256i x) {
      const __m256i row =
          _mm256_or_si256(_mm256_shuffle_epi8(low, x), _mm256_shuffle_epi8(high, _mm256_xor_si256(x, flip)));
      const __m256i hi = _mm256_and_si256(_mm256_srli_epi16(x, 4), nibble);
      return _mm256_and_si256(row, _mm256_shuffle_epi8(bits, hi));
    };
    const __m256i zero = _mm256_setzero_si256();
    // Marks the bytes of a 32-byte stretch that hit an unseen value (mostly one or two).
    auto mark = [&](std::size_t at, __m256i hit) {
      auto m = ~static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(hit, zero)));
      for (; m != 0; m &= m - 1) {
        const std::uint8_t v = in[at + static_cast<std::size_t>(__builtin_ctz(m))];
        if (seen[v]) continue;
        seen[v] = true;
        --unseen;
        (v < 128 ? lowTab : highTab)[v & 15] &= static_cast<std::uint8_t>(~(1u << ((v >> 4) & 7)));
      }
    };
    std::size_t k = from;
    for (; k + 64 <= n; k += 64) {
      const __m256i hitA = unseenIn(Load(in + k));
      const __m256i hitB = unseenIn(Load(in + k + 32));
      const __m256i hit = _mm256_or_si256(hitA, hitB);
      if (_mm256_testz_si256(hit, hit)) continue;
      mark(k, hitA);
      mark(k + 32, hitB);
      if (unseen == 0) return -1;
      low = loadTab(lowTab);
      high = loadTab(highTab);
    }
    return MarkRemaining(in, k, n, seen);
  }
};

}  // namespace

namespace sfpack_detail {

std::size_t PackBlockAvx2(const std::uint8_t* input, std::size_t n, std::uint8_t* out) {
  return BlockPacker<Avx2Ops>::Pack(input, n, out);
}

}  // namespace sfpack_detail
#endif
