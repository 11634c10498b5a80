// The codec's worked examples: each input packs into exactly the listed stream, by the fast
// packer and by the plain reference packer alike, and the stream unpacks back to the input.
#include "storage/acSFPack.h"
#include "sfpack_reference.h"
#include "sfpack_test_util.h"

#include <gtest/gtest.h>

namespace {

struct Example {
  const char* name;
  Bytes input;
  Bytes packed;
};

Bytes Repeat(std::uint8_t v, std::size_t n) { return Bytes(n, v); }

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::vector<Example> Examples() {
  Bytes runTablePacked = Hex("5D 03 00 00 | 0C 01 | 08 01");
  const Bytes values = AllValues();
  runTablePacked.insert(runTablePacked.end(), values.begin(), values.end());
  const Bytes tail = Hex("07 04 08 00 57 02 05 01 03 01");
  runTablePacked.insert(runTablePacked.end(), tail.begin(), tail.end());
  return {
      {"Empty", {}, Hex("00 00 00 00")},
      {"OneZeroByte", Hex("00"), Hex("01 00 00 00 | 03 00 | 01 00 | 00")},
      {"ThreeEqualStayLiterals", Hex("41 41 41"), Hex("03 00 00 00 | 05 00 | 00 00 | 41 41 41")},
      {"FourEqualAreARun", Hex("41 41 41 41"), Hex("04 00 00 00 | 05 00 | 00 00 | 00 41 03")},
      {"LongRun257", Repeat(0x41, 257), Hex("01 01 00 00 | 07 00 | 00 00 | 00 41 00 00 01")},
      {"EscapeIsSmallestAbsent", Concat({Hex("00 01 02"), Repeat(0x41, 256), Hex("42")}),
       Hex("04 01 00 00 | 09 00 | 03 00 | 00 01 02 03 41 FF 42")},
      {"RunTable274", Concat({values, Repeat(0x07, 5), Repeat(0x08, 600)}), runTablePacked},
  };
}

void PrintTo(const Example& c, std::ostream* os) { *os << c.name; }

class WorkedExample : public ::testing::TestWithParam<Example> {};

TEST_P(WorkedExample, PacksToTheListedBytes) {
  const Example& ex = GetParam();
  EXPECT_EQ(Pack(ex.input), ex.packed);
  EXPECT_EQ(ReferencePackStream(ex.input.data(), ex.input.size()), ex.packed);
}

TEST_P(WorkedExample, UnpacksToTheInput) {
  const Example& ex = GetParam();
  EXPECT_EQ(Unpack(ex.packed), ex.input);
  Bytes out(ex.input.size());
  EXPECT_EQ(UnpackBlocks(ex.packed.data() + 4, ex.packed.size() - 4, out.data(), out.size()), ex.input.size());
  EXPECT_EQ(out, ex.input);
}

INSTANTIATE_TEST_SUITE_P(Codec, WorkedExample, ::testing::ValuesIn(Examples()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WorkedExample, RunTableStreamIs274Bytes) { EXPECT_EQ(Examples().back().packed.size(), 274u); }

}  // namespace
