// The text primitives, 1-based and total: out-of-range positions never fail.
#include "util/acTextPrimitives.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace actext;

TEST(TextPrimitives, Find) {
  struct Case {
    std::string needle, text;
    int expected;
  };
  const Case cases[] = {
      {"b", "abc", 2}, {"a", "abca", 1}, {"ca", "abca", 3},       {"x", "abc", 0},      {"A", "abc", 0},
      {"", "abc", 0},  {"abc", "ab", 0}, {"\"", "say \"hi\"", 5}, {" -", "a -b -c", 2},
  };
  for (const Case& c : cases) EXPECT_EQ(Find(c.needle, c.text), c.expected) << c.needle << " in " << c.text;
}

TEST(TextPrimitives, TrimRemovesControlsAndBlanksButKeepsHighBytes) {
  struct Case {
    std::string text, expected;
  };
  const Case cases[] = {
      {"  a b  ", "a b"},
      {"\t\r\n x \x01\x1f", "x"},
      {"   ", ""},
      {"", ""},
      // 0xA0 (no-break space) and 0xE9 are characters of the code page,
      // not control codes: a signed char would see them as negative.
      {"\xA0x\xE9", "\xA0x\xE9"},
      {std::string("\0a\0", 3), "a"},
  };
  for (const Case& c : cases) EXPECT_EQ(Trim(c.text), c.expected) << c.text;
}

TEST(TextPrimitives, CaseChangeIsAsciiOnly) {
  EXPECT_EQ(UpperCase("rundll32.Exe \xE9\xFF"), "RUNDLL32.EXE \xE9\xFF");
  EXPECT_EQ(LowerCase("OPEN Verb \xC9\xDE[@]"), "open verb \xC9\xDE[@]");
  EXPECT_EQ(UpperCase("az{`"), "AZ{`");
  EXPECT_EQ(LowerCase("AZ[@"), "az[@");
}

TEST(TextPrimitives, FileNameParts) {
  struct Case {
    std::string name, ext, namePart, pathPart;
  };
  const Case cases[] = {
      {"C:\\dir\\file.txt", ".txt", "file.txt", "C:\\dir\\"},
      {"C:\\dir.d\\file", "", "file", "C:\\dir.d\\"},
      {"file.tar.gz", ".gz", "file.tar.gz", ""},
      {"C:file.exe", ".exe", "file.exe", "C:"},
      {"a.b:c", "", "c", "a.b:"},
      {"noext", "", "noext", ""},
      {"dir\\", "", "", "dir\\"},
      {".html", ".html", ".html", ""},
      {"x.", ".", "x.", ""},
      {"", "", "", ""},
      {"app.exe -x", ".exe -x", "app.exe -x", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractExt(c.name), c.ext) << c.name;
    EXPECT_EQ(ExtractName(c.name), c.namePart) << c.name;
    EXPECT_EQ(ExtractPath(c.name), c.pathPart) << c.name;
  }
}

TEST(TextPrimitives, CopyAndDeleteOutsideTheTextAreHarmless) {
  struct Case {
    int start, count;
    std::string copied, afterDelete;
  };
  const Case cases[] = {
      {1, 3, "abc", "def"},   {2, 2, "bc", "adef"},   {5, 10, "ef", "abcd"}, {6, 1, "f", "abcde"},
      {7, 1, "", "abcdef"},   {100, 1, "", "abcdef"}, {3, 0, "", "abcdef"},  {3, -2, "", "abcdef"},
      {0, 2, "ab", "abcdef"}, {-5, 1, "a", "abcdef"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Copy("abcdef", c.start, c.count), c.copied) << c.start << "," << c.count;
    std::string text = "abcdef";
    Delete(text, c.start, c.count);
    EXPECT_EQ(text, c.afterDelete) << c.start << "," << c.count;
  }
  EXPECT_EQ(Copy("", 1, 1), "");
  std::string empty;
  Delete(empty, 1, 1);
  EXPECT_EQ(empty, "");
}

}  // namespace
