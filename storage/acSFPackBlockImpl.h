// The block packer, written once over a small set of vector operations so that it can be
// compiled for the baseline instruction set and, in its own file, for AVX2. Everything here
// has internal linkage: each file that includes it gets its own copy, built with its own
// instruction set, and the two copies never mix at link time.
//
// Ops provides: W (vector width in bytes, 0 for none), Vec, Load, Store, Splat, EqMask (bit b
// set when byte b of both vectors is equal), and AbsentAfter (the search that continues the
// smallest-absent-byte search past the marked prefix).
#pragma once

#include "acSFPack.h"
#include "acSFPackInternal.h"

#include <algorithm>
#include <cstring>

namespace {

// Bytes marked before the first candidate for the escape byte is taken. Text settles with
// the candidate 0 whatever the prefix; a short prefix keeps blocks with all values cheap,
// since the search past it marks only the bytes that bring new values.
constexpr std::size_t kSeenPrefix = 512;

// Continues a search for absent byte values by marking the bytes from `from` on, until all
// 256 values have been seen; returns the smallest value never marked, or -1. The fallback
// when no vector filter exists.
inline int MarkRemaining(const std::uint8_t* in, std::size_t from, std::size_t n, bool* seen) {
  int unseen = 0;
  for (int v = 0; v < 256; ++v) unseen += seen[v] ? 0 : 1;
  for (std::size_t i = from; i < n && unseen > 0; ++i) {
    if (seen[in[i]]) continue;
    seen[in[i]] = true;
    --unseen;
  }
  for (int v = 0; v < 256; ++v) {
    if (!seen[v]) return v;
  }
  return -1;
}

template <class Ops>
struct BlockPacker {
  // Smallest byte value absent from in[0, n), or -1 when all 256 occur. It marks a prefix,
  // takes the smallest unmarked value as the candidate and looks for it in the rest with
  // memchr. Text (no 00 byte) is settled by that one memchr pass. When the candidate occurs,
  // Ops::AbsentAfter checks the rest for all values still unmarked at once.
  static int SmallestAbsentByte(const std::uint8_t* in, std::size_t n) {
    bool seen[256] = {};
    const std::size_t marked = std::min(n, kSeenPrefix);
    for (std::size_t i = 0; i < marked; ++i) seen[in[i]] = true;
    int candidate = 0;
    while (candidate < 256 && seen[candidate]) ++candidate;
    if (candidate == 256) return -1;
    if (std::memchr(in + marked, candidate, n - marked) == nullptr) return candidate;
    seen[candidate] = true;
    return Ops::AbsentAfter(in, marked, n, seen);
  }

  // Looks for a run of len bytes in a window of span compared pairs starting at k (eq as in
  // CopyUpToRun). Returns 0 when there is none, else 1 + the run's start; runEnd receives
  // the run's end when the window shows it, else 0.
  template <int len, std::size_t span>
  static std::size_t RunIn(std::uint64_t eq, std::size_t k, std::size_t& runEnd) {
    std::uint64_t starts = eq & (eq >> 1) & (eq >> 2);
    if constexpr (len == 5) starts &= eq >> 3;
    if (starts == 0) return 0;
    const auto b = static_cast<std::size_t>(__builtin_ctzll(starts));
    // The run goes on while eq bits stay set; a clear bit inside the window ends it.
    const std::uint64_t rest = ~(eq >> b);
    const std::size_t t = rest != 0 ? static_cast<std::size_t>(__builtin_ctzll(rest)) : 64;
    if (b + t < span) runEnd = k + b + t + 1;
    return k + b + 1;
  }

  // Finds the first k >= i where `len` (4 or 5) equal bytes start inside in[0, n) and copies
  // in[i, k) to dst; returns k (n when no run follows). When the run's end shows in the
  // compared window, runEnd receives it (the first position after the run), else 0. The
  // vector loop stores whole vectors, so it may write up to W bytes past dst + (k - i); the
  // output offset never runs ahead of the input by more than the 2-byte header, so these
  // stores stay below n + 2.
  template <int len>
  static std::size_t CopyUpToRun(const std::uint8_t* in, std::size_t n, std::size_t i, std::uint8_t* dst,
                                 std::size_t& runEnd) {
    std::size_t k = i;
    runEnd = 0;
    if constexpr (Ops::W > 0) {
      // Bit b of eq: in[k + b] == in[k + b + 1]. A run starts where len - 1 consecutive bits
      // are set; bits that need pairs beyond the compared ones come out zero, so each step
      // settles W + 2 - len start positions.
      while (k + Ops::W + 1 <= n) {
        const typename Ops::Vec a = Ops::Load(in + k);
        Ops::Store(dst + (k - i), a);
        const std::uint64_t eq = Ops::EqMask(a, Ops::Load(in + k + 1));
        if (const std::size_t at = RunIn<len, Ops::W>(eq, k, runEnd)) return at - 1;
        k += Ops::W + 2 - len;
      }
    }
    std::size_t r = k;
    for (; r + len <= n; ++r) {
      bool run = true;
      for (int j = 1; j < len && run; ++j) run = in[r + j] == in[r];
      if (run) break;
    }
    if (r + len > n) r = n;
    std::memcpy(dst + (k - i), in + k, r - k);
    return r;
  }

  // First position j >= i with in[j] != v, or n.
  static std::size_t RunEnd(const std::uint8_t* in, std::size_t n, std::size_t i, std::uint8_t v) {
    if constexpr (Ops::W > 0) {
      const typename Ops::Vec vv = Ops::Splat(v);
      while (i + Ops::W <= n) {
        const auto differ = ~Ops::EqMask(Ops::Load(in + i), vv) & Ops::kAllLanes;
        if (differ != 0) return i + static_cast<std::size_t>(__builtin_ctzll(differ));
        i += Ops::W;
      }
    }
    while (i < n && in[i] == v) ++i;
    return i;
  }

  // Writes the run count K: one byte when it fits (1 to 255), else 0 and K as 16 bits.
  static std::size_t WriteCount(std::uint8_t* out, std::size_t k) {
    if (k <= 255) {
      out[0] = static_cast<std::uint8_t>(k);
      return 1;
    }
    out[0] = 0;
    sfpack_detail::Write16(out + 1, k);
    return 3;
  }

  // Fast path over 64-byte windows, for all but the block's last kFastTail bytes. Bit b of a
  // window's mask tells whether in[k + b] equals in[k + b + 1]; every run that starts in the
  // window is found from that one mask without leaving the window, so the costly unpredictable
  // branch is taken once per window rather than once per run. Literals are copied with whole
  // 64-byte stores that later ones overwrite; the output never runs ahead of the input by more
  // than the 2-byte header, and kFastTail keeps those stores below n + 2. Record(out + o, v,
  // count) writes a run's record and returns its size; it is told the record's offset o so
  // the run-table mode can note it. Returns where the fast path stopped; o is updated.
  static constexpr std::size_t kFastTail = 128;

  static std::uint64_t Eq64(const std::uint8_t* p) {
    std::uint64_t eq = 0;
    for (std::size_t s = 0; s < 64; s += Ops::W) {
      eq |= Ops::EqMask(Ops::Load(p + s), Ops::Load(p + s + 1)) << s;
    }
    return eq;
  }

  static void Copy64(std::uint8_t* dst, const std::uint8_t* src) {
    for (std::size_t s = 0; s < 64; s += Ops::W) Ops::Store(dst + s, Ops::Load(src + s));
  }

  template <int len, class Record>
  static std::size_t FastRuns(const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t& o, Record record) {
    std::size_t k = 0;
    if constexpr (Ops::W > 0) {
      while (k + kFastTail <= n) {
        const std::uint64_t eq = Eq64(in + k);
        // Start bits need len - 1 set pairs; those reaching past bit 63 come out zero, so the
        // window settles start positions 0 to 64 - len.
        std::uint64_t starts = eq & (eq >> 1) & (eq >> 2);
        if constexpr (len == 5) starts &= eq >> 3;
        std::size_t pos = k;  // first input byte not yet written
        bool spill = false;
        while (starts != 0) {
          const auto b = static_cast<std::size_t>(__builtin_ctzll(starts));
          Copy64(out + o, in + pos);
          o += k + b - pos;
          const std::uint8_t v = in[k + b];
          const std::uint64_t differ = ~eq >> b;
          if (differ == 0) {
            // The run reaches the window's end: measure the rest of it.
            pos = RunEnd(in, n, k + 64, v);
            o += record(out + o, v, pos - (k + b) - 1);
            spill = true;
            break;
          }
          const auto t = static_cast<std::size_t>(__builtin_ctzll(differ));
          pos = k + b + t + 1;
          o += record(out + o, v, t);
          // Drop the start bits inside the run (bit b + t is at most 63; 2 << 63 wraps to 0).
          starts &= ~((std::uint64_t{2} << (b + t)) - 1);
        }
        if (spill) {
          k = pos;
          continue;
        }
        const std::size_t next = std::max(pos, k + 66 - len);
        Copy64(out + o, in + pos);
        o += next - pos;
        k = next;
      }
    }
    return k;
  }

  static std::size_t EscapeMode(const std::uint8_t* in, std::size_t n, std::uint8_t e, std::uint8_t* out) {
    sfpack_detail::Write16(out, e);
    std::size_t o = 2;
    // E does not occur in the block, so literals are copied as they are.
    std::size_t i = FastRuns<4>(in, n, out, o, [e](std::uint8_t* r, std::uint8_t v, std::size_t k) {
      r[0] = e;
      r[1] = v;
      return 2 + WriteCount(r + 2, k);
    });
    for (;;) {
      std::size_t j;
      const std::size_t k = CopyUpToRun<4>(in, n, i, out + o, j);
      o += k - i;
      if (k == n) break;
      const std::uint8_t v = in[k];
      if (j == 0) j = RunEnd(in, n, k + 4, v);
      out[o] = e;
      out[o + 1] = v;
      o += 2 + WriteCount(out + o + 2, j - k - 1);
      i = j;
    }
    return o;
  }

  static std::size_t RunTableMode(const std::uint8_t* in, std::size_t n, std::uint8_t* out) {
    // Every run takes at least 5 input bytes, so a block holds at most n / 5 of them. The
    // entries stay on the stack: out has room for the packed block only.
    std::uint16_t entries[SFPackBlockSize / 5];
    std::size_t runs = 0;
    std::size_t o = 2;
    std::size_t i = FastRuns<5>(in, n, out, o, [&](std::uint8_t* r, std::uint8_t v, std::size_t k) {
      r[0] = v;
      entries[runs++] = static_cast<std::uint16_t>(r + 1 - out);
      return 1 + WriteCount(r + 1, k);
    });
    for (;;) {
      std::size_t j;
      const std::size_t k = CopyUpToRun<5>(in, n, i, out + o, j);
      o += k - i;
      if (k == n) break;
      const std::uint8_t v = in[k];
      if (j == 0) j = RunEnd(in, n, k + 5, v);
      out[o] = v;
      entries[runs++] = static_cast<std::uint16_t>(o + 1);
      o += 1 + WriteCount(out + o + 1, j - k - 1);
      i = j;
    }
    // The table starts where the data part ends and lists the runs from the last to the first.
    sfpack_detail::Write16(out, o);
    while (runs > 0) {
      sfpack_detail::Write16(out + o, entries[--runs]);
      o += 2;
    }
    return o;
  }

  static std::size_t Pack(const std::uint8_t* in, std::size_t n, std::uint8_t* out) {
    const int e = SmallestAbsentByte(in, n);
    if (e >= 0) return EscapeMode(in, n, static_cast<std::uint8_t>(e), out);
    return RunTableMode(in, n, out);
  }
};

}  // namespace
