// Hostile input: every malformed stream is an ESFPackError naming the fault and its offset,
// and well-formed streams that the packer would not write still unpack.
#include "storage/acSFPack.h"
#include "sfpack_test_util.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

enum class Entry { kBlock, kBlocks, kStream };

struct Malformed {
  const char* name;
  Entry entry;
  Bytes bytes;
  std::size_t capacity;
  const char* fragment;
  std::size_t offset;
};

// A run-table block whose data part holds the 256 values (offsets 2 to 257, H = 258), then
// the given table entries in the order they stand in the block; edit() may change bytes.
Bytes RunTableBlock(std::vector<std::uint16_t> table, const std::function<void(Bytes&)>& edit = nullptr) {
  Bytes b = Hex("02 01");
  const Bytes values = AllValues();
  b.insert(b.end(), values.begin(), values.end());
  for (std::uint16_t t : table) {
    b.push_back(static_cast<std::uint8_t>(t));
    b.push_back(static_cast<std::uint8_t>(t >> 8));
  }
  if (edit) edit(b);
  return b;
}

std::size_t Call(Entry entry, const Bytes& bytes, Bytes& out) {
  switch (entry) {
    case Entry::kBlock:
      return UnpackBlock(bytes.data(), bytes.size(), out.data(), out.size());
    case Entry::kBlocks:
      return UnpackBlocks(bytes.data(), bytes.size(), out.data(), out.size());
    case Entry::kStream:
      UnpackStream(bytes.data(), bytes.size(), out.data(), out.size());
      break;
  }
  return out.size();
}

std::vector<Malformed> MalformedCases() {
  return {
      // Framing.
      {"FrameCutOff", Entry::kBlocks, Hex("05"), 16, "frame cut off", 0},
      {"FrameCutOffAfterABlock", Entry::kBlocks, Hex("03 00 01 00 00 | 07"), 16, "frame cut off", 5},
      {"EmptyBlock", Entry::kBlocks, Hex("00 00"), 16, "packed length 0", 0},
      {"LengthPastInput", Entry::kBlocks, Hex("05 00 00 00 41"), 16, "runs past the input", 0},
      {"LengthPastInputLater", Entry::kBlocks, Hex("03 00 01 00 00 | 04 00 00 00 41"), 16, "runs past the input", 5},
      {"BlockWithoutHeaderWord", Entry::kBlock, Hex("00"), 16, "shorter than its 2-byte header", 0},
      {"FramedBlockWithoutHeaderWord", Entry::kBlocks, Hex("01 00 00"), 16, "shorter than its 2-byte header", 2},
      // Escape-mode items cut off at the block's end.
      {"EscapeAtEnd", Entry::kBlock, Hex("00 00 41 00"), 16, "run byte missing", 3},
      {"CountMissing", Entry::kBlock, Hex("00 00 00 41"), 16, "run count missing", 2},
      {"LongCountMissing", Entry::kBlock, Hex("00 00 00 41 00"), 16, "16-bit run count cut off", 2},
      {"LongCountHalf", Entry::kBlock, Hex("00 00 41 00 41 00 05"), 16, "16-bit run count cut off", 3},
      // Destination overflow.
      {"RunOverflows", Entry::kBlock, Hex("00 00 00 41 05"), 5, "run of 6 bytes overflows", 2},
      {"LongRunOverflows", Entry::kBlock, Hex("00 00 00 41 00 FF FF"), 65535, "run of 65536 bytes", 2},
      {"LiteralsOverflow", Entry::kBlock, Hex("01 00 41 42 43"), 2, "literals overflow", 4},
      {"SecondBlockOverflows", Entry::kBlocks, Hex("03 00 01 00 41 | 04 00 01 00 42 43"), 2, "literals overflow", 10},
      {"RunTableRunOverflows", Entry::kBlock, RunTableBlock({3}), 1, "run of 2 bytes overflows", 2},
      {"RunTableLiteralsOverflow", Entry::kBlock, RunTableBlock({}), 100, "literals overflow", 102},
      // Run-table header word and entries.
      {"TablePastBlockEnd", Entry::kBlock, Hex("05 01 41 42"), 1024, "lies past the block's end", 0},
      {"TableOfOddLength", Entry::kBlock, RunTableBlock({}, [](Bytes& b) { b.push_back(0); }), 1024, "odd length", 0},
      {"EntryPastBlockEnd", Entry::kBlock, RunTableBlock({0x1234}), 1024, "past the block's end", 258},
      {"EntryPastEndAfterFullDataPart", Entry::kBlock, RunTableBlock({0x1234, 257}), 1024, "past the block's end", 258},
      {"EntryIntoTableAfterFullDataPart", Entry::kBlock, RunTableBlock({259, 257}), 1024, "into the run table", 258},
      {"EntryIntoTable", Entry::kBlock, RunTableBlock({258}), 1024, "into the run table", 258},
      {"EntryIntoHeader", Entry::kBlock, RunTableBlock({2}), 1024, "into the header word", 258},
      {"EntriesOutOfOrder", Entry::kBlock, RunTableBlock({11, 12}), 1024, "out of order", 258},
      {"EntryOnPreviousCount", Entry::kBlock, RunTableBlock({11, 10}), 1024, "out of order", 258},
      {"EntriesEqual", Entry::kBlock, RunTableBlock({10, 10}), 1024, "out of order", 258},
      {"LongCountCutByTable", Entry::kBlock,
       RunTableBlock({256},
                     [](Bytes& b) {
                       b[256] = 0;
                       b[257] = 0x07;
                     }),
       1024, "cut off by the run table", 256},
      // Streams whose blocks do not give the announced length.
      {"StreamTooShort", Entry::kStream, Hex("01 00"), 1, "shorter than its 4-byte", 0},
      {"StreamFewerBytes", Entry::kStream, Hex("05 00 00 00 | 03 00 | 01 00 00"), 5,
       "blocks unpack to 1 bytes, stream says 5", 9},
      {"StreamNoBlocks", Entry::kStream, Hex("05 00 00 00"), 5, "blocks unpack to 0 bytes, stream says 5", 4},
      {"StreamMoreBytes", Entry::kStream, Hex("01 00 00 00 | 04 00 | 01 00 41 42"), 1,
       "blocks unpack to more than 1 bytes, stream says 1", 9},
      {"StreamMoreBytesThanRoom", Entry::kStream, Hex("01 00 00 00 | 04 00 | 01 00 41 42"), 8,
       "blocks unpack to more than 1 bytes, stream says 1", 9},
      {"StreamOffsetsCountTheLength", Entry::kStream, Hex("04 00 00 00 | 04 00 | 00 00 00 41"), 4, "run count missing",
       8},
  };
}

void PrintTo(const Malformed& c, std::ostream* os) { *os << c.name; }

class MalformedStream : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedStream, IsReportedWithItsOffset) {
  const Malformed& c = GetParam();
  Bytes out(c.capacity);
  try {
    Call(c.entry, c.bytes, out);
    FAIL() << "no error for " << c.name;
  } catch (const ESFPackError& e) {
    EXPECT_NE(std::string(e.what()).find(c.fragment), std::string::npos) << e.what();
    EXPECT_EQ(e.offset(), c.offset) << e.what();
    EXPECT_NE(std::string(e.what()).find("at offset " + std::to_string(c.offset)), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Codec, MalformedStream, ::testing::ValuesIn(MalformedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct Unusual {
  const char* name;
  Entry entry;
  Bytes bytes;
  Bytes expected;
};

std::vector<Unusual> UnusualCases() {
  const Bytes values = AllValues();
  // Entry 3: the run record is V = 00 at offset 2 with the count 01 at offset 3.
  Bytes shortRunTable = Hex("00 00");
  shortRunTable.insert(shortRunTable.end(), values.begin() + 2, values.end());
  return {
      {"ShortRunK1", Entry::kBlock, Hex("00 00 00 41 01"), Hex("41 41")},
      {"ShortRunK2", Entry::kBlock, Hex("00 00 00 41 02 42"), Hex("41 41 41 42")},
      {"LongFormWithSmallCount", Entry::kBlock, Hex("00 00 00 41 00 03 00"), Hex("41 41 41 41")},
      {"EscapeNotSmallestAbsent", Entry::kBlock, Hex("07 00 41 07 42 03"), Hex("41 42 42 42 42")},
      {"EscapeByteNeverUsed", Entry::kBlock, Hex("FF 00 00 01 02"), Hex("00 01 02")},
      {"EmptyEscapeBlock", Entry::kBlocks, Hex("02 00 00 00 | 03 00 05 00 41"), Hex("41")},
      {"RunTableShortRunK1", Entry::kBlock, RunTableBlock({3}), shortRunTable},
      {"RunTableWithoutAllValues", Entry::kBlock,
       [] {
         Bytes b = Hex("00 01");
         b.insert(b.end(), 254, 0x41);
         return b;
       }(),
       Bytes(254, 0x41)},
      {"RunTableRunAtDataEnd", Entry::kBlock, RunTableBlock({257}),
       [&] {
         Bytes b(values.begin(), values.end() - 2);
         b.insert(b.end(), 256, 0xFE);
         return b;
       }()},
  };
}

void PrintTo(const Unusual& c, std::ostream* os) { *os << c.name; }

class UnusualStream : public ::testing::TestWithParam<Unusual> {};

TEST_P(UnusualStream, StaysValid) {
  const Unusual& c = GetParam();
  Bytes out(c.expected.size());
  EXPECT_EQ(Call(c.entry, c.bytes, out), c.expected.size());
  EXPECT_EQ(out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Codec, UnusualStream, ::testing::ValuesIn(UnusualCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UnpackStream, RejectsADestinationSmallerThanTheLength) {
  const Bytes stream = Hex("02 00 00 00 | 04 00 | 01 00 41 42");
  Bytes out(1);
  EXPECT_THROW(UnpackStream(stream.data(), stream.size(), out.data(), out.size()), std::length_error);
}

TEST(UnpackBlocks, NothingGivesNothing) { EXPECT_EQ(UnpackBlocks(nullptr, 0, nullptr, 0), 0u); }

}  // namespace
