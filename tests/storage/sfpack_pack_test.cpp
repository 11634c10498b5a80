// Packing: the size bound, block boundaries, the choice of mode and escape byte, the run
// forms of both modes, and that nothing is written past PackedSizeBound.
#include "storage/acSFPack.h"
#include "sfpack_reference.h"
#include "sfpack_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr std::size_t kBlock = SFPackBlockSize;

TEST(PackedSizeBound, ClassicValues) {
  const struct {
    std::size_t n, bound;
  } cases[] = {
      {0, 263},       {1, 263},       {254, 263},     {255, 263},       {256, 264},
      {65533, 65541}, {65534, 65546}, {65535, 65547}, {131066, 131078}, {131067, 131083},
  };
  for (const auto& c : cases) EXPECT_EQ(PackedSizeBound(c.n), c.bound) << "n = " << c.n;
}

TEST(PackedSizeBound, CoversIncompressibleBlocksForHugeInputs) {
  // 32768 full blocks that do not shrink need 4 + N + 4 per block; the classic formula,
  // m + 4 * (m div 65535 + 1) + 4, comes out 4 bytes short here.
  const std::size_t n = std::size_t{32768} * kBlock;
  const std::size_t classic = n + 4 * (n / 65535 + 1) + 4;
  EXPECT_EQ(PackedSizeBound(n), 4 + n + 4 * 32768);
  EXPECT_EQ(PackedSizeBound(n), classic + 4);
}

TEST(PackedSizeBound, NeverBelowTheWorstCase) {
  for (std::size_t blocks = 1; blocks < 70000; blocks += 997) {
    for (std::size_t n : {blocks * kBlock - 1, blocks * kBlock, blocks * kBlock + 1}) {
      const std::size_t worst = 4 + n + 4 * ((n + kBlock - 1) / kBlock);
      ASSERT_GE(PackedSizeBound(n), worst) << "n = " << n;
    }
  }
}

TEST(PackStream, BlockBoundaries) {
  // Text without byte 00: every block packs in escape mode without runs, into n + 2 bytes.
  const struct {
    std::size_t n;
    std::vector<std::size_t> packed;
  } cases[] = {
      {1, {3}},
      {kBlock - 1, {kBlock + 1}},
      {kBlock, {kBlock + 2}},
      {kBlock + 1, {kBlock + 2, 3}},
      {2 * kBlock, {kBlock + 2, kBlock + 2}},
      {2 * kBlock + 5, {kBlock + 2, kBlock + 2, 7}},
  };
  for (const auto& c : cases) {
    Bytes input(c.n);
    for (std::size_t i = 0; i < c.n; ++i) input[i] = static_cast<std::uint8_t>('a' + i % 3);
    const Bytes stream = Pack(input);
    std::vector<std::size_t> sizes;
    for (const Bytes& b : SplitBlocks(stream)) sizes.push_back(b.size());
    EXPECT_EQ(sizes, c.packed) << "n = " << c.n;
    EXPECT_EQ(Unpack(stream), input) << "n = " << c.n;
  }
}

TEST(PackStream, RunCrossingABlockBoundaryIsSplit) {
  const struct {
    const char* name;
    std::size_t before;  // literal bytes before the run
    std::size_t run;     // length of the run of 'Z'
    Bytes firstTail;     // last bytes of the first packed block
    Bytes second;        // the whole second packed block
  } cases[] = {
      // 3 Z's stay literals at the end of block 1, the other 7 form a run in block 2.
      {"ThreeAndSeven", kBlock - 3, 10, Hex("5A 5A 5A"), Hex("00 00 | 00 5A 06")},
      // 4 Z's end block 1 as a run; 3 Z's start block 2 as literals.
      {"FourAndThree", kBlock - 4, 7, Hex("00 5A 03"), Hex("00 00 | 5A 5A 5A")},
      // A run longer than a block: a long run filling block 1, a short one in block 2.
      {"LongerThanABlock", 0, kBlock + 300, Hex("00 5A 00 FC FF"), Hex("00 00 | 00 5A 00 2B 01")},
  };
  for (const auto& c : cases) {
    Bytes input(c.before);
    for (std::size_t i = 0; i < c.before; ++i) input[i] = static_cast<std::uint8_t>('a' + i % 3);
    input.insert(input.end(), c.run, 'Z');
    const Bytes stream = Pack(input);
    const std::vector<Bytes> blocks = SplitBlocks(stream);
    ASSERT_EQ(blocks.size(), 2u) << c.name;
    ASSERT_GE(blocks[0].size(), c.firstTail.size()) << c.name;
    EXPECT_TRUE(
        std::equal(c.firstTail.begin(), c.firstTail.end(), blocks[0].end() - static_cast<long>(c.firstTail.size())))
        << c.name;
    EXPECT_EQ(blocks[1], c.second) << c.name;
    EXPECT_EQ(Unpack(stream), input) << c.name;
  }
}

// Runs of each length after "B" (escape mode, E = 00) and after the 256 values (run-table
// mode, where the run record's count offset goes into the table).
TEST(PackBlock, RunForms) {
  const struct {
    std::size_t run;
    Bytes escapeItems;
    Bytes recordItems;
  } cases[] = {
      {3, Hex("41 41 41"), Hex("41 41 41")},
      {4, Hex("00 41 03"), Hex("41 41 41 41")},
      {5, Hex("00 41 04"), Hex("41 04")},
      {256, Hex("00 41 FF"), Hex("41 FF")},
      {257, Hex("00 41 00 00 01"), Hex("41 00 00 01")},
      {65277, Hex("00 41 00 FC FE"), Hex("41 00 FC FE")},  // fills the block after the 256 values
  };
  for (const auto& c : cases) {
    Bytes escapeInput = Hex("42");
    escapeInput.insert(escapeInput.end(), c.run, 0x41);
    Bytes expected = Hex("00 00 42");
    expected.insert(expected.end(), c.escapeItems.begin(), c.escapeItems.end());
    Bytes out(escapeInput.size() + 2);
    out.resize(PackBlock(escapeInput.data(), escapeInput.size(), out.data()));
    EXPECT_EQ(out, expected) << "escape mode, run of " << c.run;

    Bytes tableInput = AllValues();
    tableInput.insert(tableInput.end(), c.run, 0x41);
    const bool isRun = c.run >= 5;
    const std::size_t h = 258 + c.recordItems.size();
    expected = {static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8)};
    expected.insert(expected.end(), tableInput.begin(), tableInput.begin() + 256);
    expected.insert(expected.end(), c.recordItems.begin(), c.recordItems.end());
    if (isRun) expected.insert(expected.end(), {0x03, 0x01});  // count byte at offset 259
    out.assign(tableInput.size() + 2, 0);
    out.resize(PackBlock(tableInput.data(), tableInput.size(), out.data()));
    EXPECT_EQ(out, expected) << "run-table mode, run of " << c.run;
  }
}

TEST(PackBlock, RunOfAWholeBlock) {
  const Bytes input(kBlock, 0x41);
  Bytes out(kBlock + 2);
  out.resize(PackBlock(input.data(), input.size(), out.data()));
  EXPECT_EQ(out, Hex("00 00 00 41 00 FC FF"));
}

TEST(PackBlock, EscapeByteIsTheSmallestAbsentValue) {
  const Bytes text = [] {
    Bytes t;
    const std::string s = "The quick brown fox jumps over the lazy dog.\r\n";
    while (t.size() < 20000) t.insert(t.end(), s.begin(), s.end());
    return t;
  }();
  // Values present early, late, or only past the first few KiB all count.
  auto withAt = [](Bytes b, std::vector<std::pair<std::size_t, std::uint8_t>> puts) {
    for (auto [at, v] : puts) b[at] = v;
    return b;
  };
  Bytes allButFF = RandomBytes(kBlock, 7);
  std::replace(allButFF.begin(), allButFF.end(), std::uint8_t{0xFF}, std::uint8_t{0xFE});
  const struct {
    const char* name;
    Bytes input;
    int escape;
  } cases[] = {
      {"TextHasNoZero", text, 0x00},
      {"ZeroAtTheEnd", withAt(text, {{19999, 0x00}}), 0x01},
      {"ZeroOneTwoFarApart", withAt(text, {{5000, 0x00}, {12000, 0x01}, {19000, 0x02}}), 0x03},
      {"OneButNotZero", withAt(text, {{10000, 0x01}}), 0x00},
      {"OnlyFFAbsent", allButFF, 0xFF},
  };
  for (const auto& c : cases) {
    Bytes out(c.input.size() + 2);
    PackBlock(c.input.data(), c.input.size(), out.data());
    EXPECT_EQ(out[0], c.escape) << c.name;
    EXPECT_EQ(out[1], 0) << c.name;
  }
}

TEST(PackBlock, AllValuesChooseRunTableMode) {
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    Bytes input = RandomBytes(1000 + seed * 20000, seed);
    // A value that occurs only once, at the very end, still counts as occurring.
    std::replace(input.begin(), input.end(), std::uint8_t{0x00}, std::uint8_t{0x01});
    input.back() = 0x00;
    Bytes out(input.size() + 2);
    out.resize(PackBlock(input.data(), input.size(), out.data()));
    const std::size_t h = out[0] | (out[1] << 8);
    EXPECT_GE(h, 258u) << "seed " << seed;
    EXPECT_EQ(out, ReferencePackBlock(input.data(), input.size())) << "seed " << seed;
  }
}

TEST(PackBlock, RunReachingTheBlockEndStopsThere) {
  // The byte after the block continues the run, but the block ends the run where it ends.
  const Bytes source = Hex("42 41 41 41 41 41 41");
  Bytes out(8);
  out.resize(PackBlock(source.data(), 5, out.data()));
  EXPECT_EQ(out, Hex("00 00 42 00 41 03"));
}

// PackStream must stay inside PackedSizeBound(n): guard bytes behind the bound stay intact.
TEST(PackStream, WritesNothingPastTheBound) {
  const std::size_t sizes[] = {0,
                               1,
                               254,
                               255,
                               256,
                               kBlock - 1,
                               kBlock,
                               kBlock + 1,
                               kBlock + 2,
                               2 * kBlock,
                               2 * kBlock + 1,
                               3 * kBlock - 1,
                               3 * kBlock + 255};
  enum Kind { kRandom, kAllValuesNoRuns, kText, kZeros };
  for (Kind kind : {kRandom, kAllValuesNoRuns, kText, kZeros}) {
    for (std::size_t n : sizes) {
      Bytes input(n);
      for (std::size_t i = 0; i < n; ++i) {
        switch (kind) {
          case kRandom:
            break;
          case kAllValuesNoRuns:
            input[i] = static_cast<std::uint8_t>(i * 7);
            break;
          case kText:
            input[i] = static_cast<std::uint8_t>('a' + i % 26);
            break;
          case kZeros:
            input[i] = 0;
            break;
        }
      }
      if (kind == kRandom) input = RandomBytes(n, static_cast<std::uint32_t>(n));
      const Bytes before = input;
      const std::size_t bound = PackedSizeBound(n);
      Bytes dest(bound + 64, 0xA5);
      const std::size_t written = PackStream(input.data(), n, dest.data());
      EXPECT_LE(written, bound) << "kind " << kind << ", n = " << n;
      EXPECT_TRUE(
          std::all_of(dest.begin() + static_cast<long>(bound), dest.end(), [](std::uint8_t b) { return b == 0xA5; }))
          << "kind " << kind << ", n = " << n;
      EXPECT_EQ(input, before);
      dest.resize(written);
      EXPECT_EQ(dest, ReferencePackStream(input.data(), n)) << "kind " << kind << ", n = " << n;
    }
  }
}

TEST(PackStream, IncompressibleDataFillsTheBoundExactly) {
  // One full block in run-table mode without runs plus a 1-byte block: 4 + 65537 + 5 bytes.
  const Bytes input = RandomBytes(kBlock + 1, 99);
  EXPECT_EQ(Pack(input).size(), PackedSizeBound(kBlock + 1));
}

TEST(PackStream, RejectsLengthsBeyond32Bits) {
  // The length is checked before any byte is read, so no 4 GiB buffer is needed.
  Bytes dest(16);
  EXPECT_THROW(PackStream(nullptr, std::size_t{1} << 32, dest.data()), std::length_error);
}

TEST(PackBlock, RejectsBlocksOfWrongSize) {
  Bytes buf(kBlock + 3);
  EXPECT_THROW(PackBlock(buf.data(), 0, buf.data()), std::invalid_argument);
  EXPECT_THROW(PackBlock(buf.data(), kBlock + 1, buf.data()), std::invalid_argument);
}

}  // namespace
