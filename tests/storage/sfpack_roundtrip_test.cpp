// Random inputs of many shapes: the fast packer writes the reference packer's bytes, the
// stream unpacks to the input, and damaged streams are rejected or unpacked within bounds.
#include "storage/acSFPack.h"
#include "storage/acSFPackInternal.h"
#include "storage/acReadBehind.h"
#include "storage/acSFPackStream.h"
#include "sfpack_reference.h"
#include "sfpack_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>

namespace {

// Runs and literal stretches of random lengths over an alphabet of `alphabet` values.
Bytes RunsAndLiterals(std::size_t n, int alphabet, std::size_t maxRun, std::mt19937& gen) {
  Bytes out;
  out.reserve(n);
  std::uniform_int_distribution<int> value(0, alphabet - 1);
  std::uniform_int_distribution<std::size_t> length(1, maxRun);
  while (out.size() < n) {
    const auto v = static_cast<std::uint8_t>(value(gen) * (256 / alphabet));
    out.insert(out.end(), std::min(length(gen), n - out.size()), v);
  }
  return out;
}

TEST(RoundTrip, MatchesTheReferencePacker) {
  std::mt19937 gen(20240601);
  std::uniform_int_distribution<std::size_t> smallSize(1, 3000);
  const std::size_t bigSizes[] = {65533, 65534, 70000, 131066, 131067, 200000};
  int done = 0;
  for (int round = 0; round < 300; ++round) {
    const std::size_t n = round < 294 ? smallSize(gen) : bigSizes[round - 294];
    const int alphabet = 1 << (round % 9);  // 1 to 256 values
    const std::size_t maxRun = std::size_t{1} << (round % 11);
    Bytes input = RunsAndLiterals(n, alphabet, maxRun, gen);
    if (round % 5 == 0) {
      // Make every value occur so that the blocks go to run-table mode.
      const Bytes values = AllValues();
      input.insert(input.begin() + static_cast<long>(input.size() / 2), values.begin(), values.end());
    }
    const Bytes stream = Pack(input);
    ASSERT_EQ(stream, ReferencePackStream(input.data(), input.size())) << "round " << round;
    ASSERT_LE(stream.size(), PackedSizeBound(input.size()));
    ASSERT_EQ(Unpack(stream), input) << "round " << round;
    // PackBlock may use the AVX2 build; the baseline build must give the same bytes.
    const std::size_t first = std::min(input.size(), SFPackBlockSize);
    Bytes block(first + 2);
    block.resize(sfpack_detail::PackBlockBaseline(input.data(), first, block.data()));
    ASSERT_EQ(block, ReferencePackBlock(input.data(), first)) << "round " << round;
    ++done;
  }
  EXPECT_EQ(done, 300);
}

// The packer that packs parts of a content on two threads hands over the frames, in order, that
// packing on one thread gives, at sizes around its parts of 16 blocks; a sink's or an observer's
// failure reaches the caller.
TEST(RoundTrip, PackingOnTwoThreadsGivesTheSameFrames) {
  std::mt19937 gen(99);
  const Bytes content = RunsAndLiterals(SFPackBlockSize * 50 + 123, 256, 40, gen);
  auto collect = [](Bytes& out) {
    return [&out](const std::uint8_t* p, std::size_t n) { out.insert(out.end(), p, p + n); };
  };
  for (const std::size_t n : {std::size_t{0}, std::size_t{1}, SFPackBlockSize * 16, SFPackBlockSize * 16 + 1,
                              SFPackBlockSize * 22 - 1, SFPackBlockSize * 32, content.size()}) {
    Bytes one, two, three, seen;
    const std::uint64_t oneSize = PackBlocksTo(content.data(), n, collect(one));
    EXPECT_EQ(PackBlocksBehind(content.data(), n, collect(two)), oneSize) << n;
    EXPECT_EQ(two, one) << n;
    // With an observer (a digest made in the same pass): the same frames, and the observer
    // sees the whole content in order.
    EXPECT_EQ(PackBlocksBehind(content.data(), n, collect(three), collect(seen)), oneSize) << n;
    EXPECT_EQ(three, one) << n;
    EXPECT_TRUE(seen == Bytes(content.begin(), content.begin() + static_cast<long>(n))) << n;
  }
  int observed = 0;
  EXPECT_THROW(PackBlocksBehind(content.data(), content.size(), [](const std::uint8_t*, std::size_t) {},
                                [&observed](const std::uint8_t*, std::size_t) {
                                  if (++observed == 5) throw std::runtime_error("digest failed");
                                }),
               std::runtime_error);
  int calls = 0;
  EXPECT_THROW(PackBlocksBehind(content.data(), content.size(),
                                [&calls](const std::uint8_t*, std::size_t) {
                                  if (++calls == 3) throw std::runtime_error("disk full");
                                }),
               std::runtime_error);
}

// Flipping, cutting or growing a valid stream never reads or writes out of bounds (the
// sanitizers watch); it either unpacks into the exact-size buffer or raises ESFPackError.
TEST(RoundTrip, DamagedStreamsAreRejectedOrStayInBounds) {
  std::mt19937 gen(7);
  std::vector<Bytes> streams;
  for (int shape = 0; shape < 4; ++shape) {
    Bytes input = RunsAndLiterals(600, shape == 3 ? 256 : 4, 40, gen);
    if (shape >= 2) {
      const Bytes values = AllValues();
      input.insert(input.end(), values.begin(), values.end());
    }
    streams.push_back(Pack(input));
  }
  int rejected = 0;
  int accepted = 0;
  for (const Bytes& good : streams) {
    for (int round = 0; round < 400; ++round) {
      Bytes bad = good;
      const std::size_t at = 4 + gen() % (bad.size() - 4);
      switch (round % 3) {
        case 0:
          bad[at] = static_cast<std::uint8_t>(gen());
          break;
        case 1:
          bad.resize(at);
          break;
        case 2:
          bad.insert(bad.begin() + static_cast<long>(at), static_cast<std::uint8_t>(gen()));
          break;
      }
      Bytes out(PackedStreamLength(bad.data(), bad.size()));
      try {
        UnpackStream(bad.data(), bad.size(), out.data(), out.size());
        ++accepted;
      } catch (const ESFPackError&) {
        ++rejected;
      }
    }
  }
  EXPECT_EQ(accepted + rejected, 1600);
  EXPECT_GT(rejected, 800);  // cuts and inserted bytes almost always break the framing
}

}  // namespace
