// The "SFP1" container of TacFileStorage: layout, both forms, round trips and corrupt input.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "core/Exceptions.h"
#include "core/MemoryStream.h"
#include "storage/acFileStorage.h"
#include "storage/acSFPack.h"

using ::testing::HasSubstr;

namespace {

std::string Int32(int32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
  return s;
}

std::string PackedStream(const std::string& content) {
  std::string out(PackedSizeBound(content.size()), '\0');
  out.resize(PackStream(reinterpret_cast<const uint8_t*>(content.data()), content.size(),
                        reinterpret_cast<uint8_t*>(out.data())));
  return out;
}

std::string PackedRecord(const std::string& name, const std::string& content) {
  std::string stream = PackedStream(content);
  return Int32(static_cast<int32_t>(name.size())) + name + Int32(static_cast<int32_t>(stream.size())) + stream;
}

std::string PlainRecord(const std::string& name, const std::string& content) {
  return Int32(static_cast<int32_t>(name.size())) + name + Int32(static_cast<int32_t>(content.size())) + content;
}

std::string Container(const std::vector<std::pair<std::string, std::string>>& files) {
  std::string s = "SFP1" + Int32(static_cast<int32_t>(files.size()));
  for (const auto& [name, content] : files) s += PackedRecord(name, content);
  return s;
}

void Read(TacFileStorage& storage, const std::string& bytes) {
  TMemoryStream s(bytes);
  storage.CheckContentOnRead = true;
  storage.ReadStoredData(s);
}

std::string Write(TacFileStorage& storage) {
  TMemoryStream s;
  storage.WriteStoredData(s);
  return s.Bytes();
}

std::string Runs() { return std::string(300, 'a') + "xyz" + std::string(70000, '\0') + "tail"; }

}  // namespace

TEST(FileStorageContainer, ReadsFilesInOrderAndWritesTheSameBytes) {
  const std::string bytes = Container({{"start.html", "<html>hello</html>"}, {"dir\\setup.exe", Runs()}, {"", ""}});
  TacFileStorage storage(nullptr);
  Read(storage, bytes);
  EXPECT_TRUE(storage.PackedContainer);
  ASSERT_EQ(storage.Count(), 3);
  ASSERT_EQ(storage.Files()->Count(), 3);
  EXPECT_EQ(storage.File(0)->FileName, "start.html");
  EXPECT_EQ(storage.File(0)->Content(), "<html>hello</html>");
  EXPECT_EQ(storage.File(1)->FileName, "dir\\setup.exe");
  EXPECT_EQ(storage.File(1)->Size, static_cast<int32_t>(Runs().size()));
  EXPECT_EQ(storage.File(1)->Content(), Runs());
  EXPECT_EQ(storage.File(2)->Size, 0);
  EXPECT_EQ(storage.GetDataSize(), static_cast<int32_t>(18 + Runs().size()));
  EXPECT_EQ(Write(storage), bytes);
}

TEST(FileStorageContainer, EmptyFileAndEmptyNameRecordLayout) {
  TacFileStorage storage(nullptr);
  Read(storage, Container({{"", ""}}));
  EXPECT_EQ(Write(storage), "SFP1" + Int32(1) + Int32(0) + Int32(4) + Int32(0));
}

TEST(FileStorageContainer, PlainFormIsReadAndWrittenBackPacked) {
  const std::string plain = Int32(2) + Int32(0x7EADBEEF) + PlainRecord("a.txt", "AAAAAAAAAA") +
                            PlainRecord("b.bin", std::string("\x00\x01\x02", 3));
  TacFileStorage storage(nullptr);
  Read(storage, plain);
  EXPECT_FALSE(storage.PackedContainer);
  ASSERT_EQ(storage.Count(), 2);
  EXPECT_EQ(storage.File(0)->Content(), "AAAAAAAAAA");
  EXPECT_EQ(storage.File(1)->Content(), std::string("\x00\x01\x02", 3));
  EXPECT_EQ(Write(storage), Container({{"a.txt", "AAAAAAAAAA"}, {"b.bin", std::string("\x00\x01\x02", 3)}}));
}

TEST(FileStorageContainer, CountsOfZeroOrLessReadNoRecordsAndTrailingBytesDoNotMatter) {
  const struct {
    const char* name;
    std::string bytes;
    int32_t count;
    int files;
  } cases[] = {
      {"packed, zero", "SFP1" + Int32(0) + "garbage", 0, 0},
      {"packed, negative", "SFP1" + Int32(-5), -5, 0},
      {"plain, zero", Int32(0) + Int32(9), 0, 0},
      {"plain, negative", Int32(-1) + Int32(0), -1, 0},
      {"trailing bytes", Container({{"x", "y"}}) + "\xFF\xFF\xFF", 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TacFileStorage storage(nullptr);
    Read(storage, c.bytes);
    EXPECT_EQ(storage.Count(), c.count);
    EXPECT_EQ(storage.Files()->Count(), c.files);
    EXPECT_EQ(storage.GetDataSize(), c.files ? 1 : 0);
  }
}

TEST(FileStorageContainer, CorruptContainersStopWithAReadErrorAndKeepEarlierFiles) {
  const std::string good = PackedRecord("good", "content");
  const std::string header = "SFP1" + Int32(2) + good;
  const size_t at = header.size();  // offset of the second record
  const std::string stream7 = PackedStream("1234567");
  struct Case {
    const char* name;
    std::string bytes;
    std::string message;
    size_t offset;
  };
  const Case cases[] = {
      {"name length negative", header + Int32(-1), "name length -1 is below 0", at},
      {"name length past the end", header + Int32(100) + "ab", "name length 100 runs past the end", at},
      {"content length cut off", header + Int32(1) + "n" + "\x01\x00", "content length cut off", at + 5},
      {"content length below 4", header + Int32(1) + "n" + Int32(3) + "abc", "content length 3 is below 4", at + 5},
      {"content length past the end", header + Int32(1) + "n" + Int32(50) + stream7,
       "content length 50 runs past the end", at + 5},
      {"unpacked length negative", header + Int32(1) + "n" + Int32(6) + Int32(-2) + std::string(2, '\0'),
       "unpacked length -2 is negative", at + 9},
      {"unpacked length absurd", header + Int32(1) + "n" + Int32(6) + Int32(0x7FFFFFFF) + std::string(2, '\0'),
       "cannot come from 2 bytes of blocks", at + 9},
      {"blocks give fewer bytes",
       header + Int32(1) + "n" + Int32(static_cast<int32_t>(stream7.size())) + Int32(9) + stream7.substr(4),
       "blocks unpack to 7 bytes, the record says 9", at + 5},
      {"blocks give more bytes",
       header + Int32(1) + "n" + Int32(static_cast<int32_t>(stream7.size())) + Int32(5) + stream7.substr(4),
       "literals overflow the destination", at + 22},
      {"packed length past the blocks",
       header + Int32(1) + "n" + Int32(8) + Int32(1) + std::string("\x09\x00\x01\x00", 4), "corrupt packed content",
       at + 13},
      {"file count cut off", std::string("SFP1\x01", 5), "file count cut off", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TacFileStorage storage(nullptr);
    try {
      Read(storage, c.bytes);
      ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.message));
      EXPECT_THAT(e.what(), HasSubstr("at offset " + std::to_string(c.offset)));
    }
    if (c.bytes.size() > at) {
      EXPECT_EQ(storage.Count(), 2);
      ASSERT_EQ(storage.Files()->Count(), 1);
      EXPECT_EQ(storage.File(0)->Content(), "content");
    }
  }
}

TEST(FileStorageContainer, PlainContentShorterThanStatedIsAReadError) {
  TacFileStorage storage(nullptr);
  EXPECT_THROW(Read(storage, Int32(1) + Int32(0) + Int32(1) + "n" + Int32(10) + "short"), EReadError);
  EXPECT_EQ(storage.Files()->Count(), 0);
}

TEST(FileStorageContainer, SecondReadAppendsAndCountsOnlyTheNewFiles) {
  TacFileStorage storage(nullptr);
  Read(storage, Container({{"a", "1"}, {"b", "2"}}));
  Read(storage, Container({{"c", "333"}}));
  EXPECT_EQ(storage.Count(), 1);
  EXPECT_EQ(storage.Files()->Count(), 3);
  EXPECT_EQ(storage.GetDataSize(), 1);  // only the first Count files are summed
}

TEST(FileStorageContainer, DataSizeOfTheInstallerFiles) {
  TacFileStorage storage(nullptr);
  Read(storage, Container({{"start.html", std::string(2827, 'p')}, {"vexil_qm_trial.exe", std::string(1617953, 'x')}}));
  EXPECT_EQ(storage.Count(), 2);
  EXPECT_EQ(storage.GetDataSize(), 1620780);
}

TEST(FileStorageContainer, WritingAFileWhoseSizeDisagreesWithItsContentFails) {
  TacFileStorage storage(nullptr);
  Read(storage, Container({{"a", "abc"}}));
  storage.File(0)->Size = 10;
  TMemoryStream s;
  EXPECT_THROW(storage.WriteStoredData(s), EWriteError);
}

TEST(FileStorageContainer, ByDefaultADamagedContentIsFoundWhenItIsUnpacked) {
  const std::string stream7 = PackedStream("1234567");
  // The record says 5 bytes; its blocks give 7.
  const std::string bytes = "SFP1" + Int32(2) + PackedRecord("good", "content") + Int32(1) + "n" +
                            Int32(static_cast<int32_t>(stream7.size())) + Int32(5) + stream7.substr(4);
  TacFileStorage storage(nullptr);
  TMemoryStream s(bytes);
  storage.ReadStoredData(s);  // the lengths are whole: nothing is unpacked yet
  ASSERT_EQ(storage.Files()->Count(), 2);
  EXPECT_EQ(storage.File(0)->Content(), "content");
  EXPECT_EQ(storage.File(1)->Size, 5);
  EXPECT_THROW(storage.File(1)->Content(), EReadError);
  EXPECT_THROW(storage.File(1)->Data(), EReadError);
  TMemoryStream out;
  EXPECT_THROW(storage.WriteStoredData(out), EReadError);
}

// A content of several batches is unpacked on a second thread while the first is taken: the
// pieces come whole and in order, and an error found at the end still reaches the caller.
TEST(FileStorageContainer, ALargeContentIsUnpackedAheadInOrder) {
  std::string content(5 * 1024 * 1024 + 123, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i / 97) % 5 == 0 ? 'r' : i * 131 / 7);
  const std::string stream = PackedStream(content);
  const std::string whole = "SFP1" + Int32(1) + PackedRecord("big.bin", content);
  const std::string longer = "SFP1" + Int32(1) + Int32(7) + "big.bin" + Int32(static_cast<int32_t>(stream.size())) +
                             Int32(static_cast<int32_t>(content.size() + 10)) + stream.substr(4);
  for (const auto& [bytes, damaged] : {std::pair{whole, false}, std::pair{longer, true}}) {
    SCOPED_TRACE(damaged ? "announced length beyond the blocks" : "whole");
    TacFileStorage storage(nullptr);
    TMemoryStream s(bytes);
    storage.ReadStoredData(s);
    std::string got;
    auto take = [&] {
      storage.File(0)->ForEachPiece(
          [&](const uint8_t* p, size_t n) { got.append(reinterpret_cast<const char*>(p), n); });
    };
    if (damaged) {
      EXPECT_THROW(take(), EReadError);
      EXPECT_EQ(got, content);  // every batch before the error was handed over
    } else {
      take();
      EXPECT_TRUE(got == content);
    }
  }
}
