// Streams and the string list.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "core/Exceptions.h"
#include "core/FileStream.h"
#include "core/MemoryStream.h"
#include "core/StringList.h"

namespace {
TEST(MemoryStream, ReadWriteSeekAndExactReads) {
  TMemoryStream s;
  s.WriteDWord(0x31504653);
  s.WriteString("abc");
  EXPECT_EQ(s.Size(), 7);
  EXPECT_EQ(std::string(s.Memory(), 4), "SFP1");
  s.SetPosition(5);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 2);  // what is left
  EXPECT_EQ(std::string(buf, 2), "bc");
  EXPECT_EQ(s.Read(buf, 8), 0);
  s.SetPosition(5);
  EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);
  s.Seek(-7, TSeekOrigin::soEnd);
  EXPECT_EQ(s.ReadDWord(), 0x31504653u);
  EXPECT_THROW(s.Seek(-1, TSeekOrigin::soBeginning), EStreamError);
  // Writing past the end grows the buffer; the gap reads as zeros.
  s.SetPosition(10);
  s.WriteByte(0xFF);
  EXPECT_EQ(s.Bytes(), std::string("SFP1abc\0\0\0\xFF", 11));
  // One byte past the end is addressable (a sentinel may be written there and restored).
  s.Memory()[s.Size()] = 'x';
  s.SetSize(2);
  EXPECT_EQ(s.Position(), 2);
  EXPECT_EQ(s.Memory()[2], 0);
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
}

TEST(FileStream, SaveLoadCopyAndErrors) {
  auto dir = std::filesystem::temp_directory_path() / ("core_stream_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  // An 8-bit name is the host's name of the same character ("\xFC" is u-umlaut).
  std::string name = (dir / "f").string() + "\xFC.bin";
  TMemoryStream data(std::string("hello world"));
  data.SaveToFile(name);
  EXPECT_TRUE(std::filesystem::exists(dir / std::filesystem::path(u8"f\u00FC.bin")));
  TMemoryStream back;
  back.LoadFromFile(name);
  EXPECT_EQ(back.Bytes(), "hello world");
  {
    TFileStream f(name, TFileMode::fmOpenRead);
    EXPECT_EQ(f.Size(), 11);
    f.SetPosition(6);
    TMemoryStream part;
    part.CopyFrom(f, 5);
    EXPECT_EQ(part.Bytes(), "world");
    char c;
    EXPECT_THROW(f.ReadBuffer(&c, 1), EReadError);
  }
  EXPECT_THROW(TFileStream((dir / "missing").string(), TFileMode::fmOpenRead), EFOpenError);
  std::filesystem::remove_all(dir);
}

TEST(StringList, AddFindSortAndText) {
  TStringList l;
  l.Add("beta");
  l.Add("Alpha");
  EXPECT_EQ(l.IndexOf("ALPHA"), 1);
  EXPECT_EQ(l.IndexOf("gamma"), -1);
  l.SetSorted(true);
  EXPECT_EQ(l[0], "Alpha");
  EXPECT_EQ(l.Add("Aa"), 0);
  EXPECT_THROW(l.Insert(0, "x"), EListError);
  EXPECT_THROW(l.Strings(3), EListError);
  EXPECT_EQ(l.Text(), "Aa\nAlpha\nbeta\n");
  l.SetSorted(false);
  l.SetText("one\r\ntwo\rthree\n\nfour");
  ASSERT_EQ(l.Count(), 5);
  EXPECT_EQ(l[2], "three");
  EXPECT_EQ(l[3], "");
  EXPECT_EQ(l[4], "four");
}
}  // namespace
