// Leading characters, splitting at a separator and hexadecimal digits.
#include "util/acTextUtils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(LeadingChars, EnsureLeadingChar) {
  struct Case {
    std::string text;
    char c;
    std::string expected;
  };
  const Case cases[] = {
      {"", '.', "."},      {"html", '.', ".html"}, {".html", '.', ".html"},
      {"..x", '.', "..x"}, {"x.", '.', ".x."},     {"\\a", '\\', "\\a"},
  };
  for (const Case& c : cases) EXPECT_EQ(EnsureLeadingChar(c.text, c.c), c.expected) << c.text;
}

TEST(LeadingChars, StripLeadingChars) {
  struct Case {
    std::string text;
    char c;
    std::string expected;
  };
  const Case cases[] = {
      {"\\\\Software\\Classes", '\\', "Software\\Classes"},
      {"Software\\Classes\\", '\\', "Software\\Classes\\"},
      {"\\\\\\", '\\', ""},
      {"", '\\', ""},
      {"..a.b", '.', "a.b"},
  };
  for (const Case& c : cases) EXPECT_EQ(StripLeadingChars(c.text, c.c), c.expected) << c.text;
}

TEST(SplitAtSeparator, Table) {
  const TSplitOptions none{};
  const TSplitOptions toLeft{soSeparatorToLeft};
  const TSplitOptions toRight{soSeparatorToRight};
  const TSplitOptions both{soSeparatorToLeft, soSeparatorToRight};
  struct Case {
    std::string separator, text;
    bool notFoundToRight;
    TSplitOptions options;
    std::string left, right;
  };
  const Case cases[] = {
      {" -", "app.exe -x -y", false, none, "app.exe", "x -y"},
      {" -", "app.exe -x -y", false, toRight, "app.exe", " -x -y"},
      {" -", "app.exe -x -y", false, toLeft, "app.exe -", "x -y"},
      {" -", "app.exe -x -y", false, both, "app.exe -", " -x -y"},
      {" -", "app.exe /x", false, toRight, "app.exe /x", ""},
      {" -", "app.exe /x", true, toRight, "", "app.exe /x"},
      {",", ",lead", false, none, "", "lead"},
      {",", "trail,", false, none, "trail", ""},
      {"=", "", false, none, "", ""},
      {"=", "", true, none, "", ""},
      {"", "text", false, none, "text", ""},
  };
  for (const Case& c : cases) {
    std::string left = "stale", right = "stale";
    SplitAtSeparator(c.separator, c.text, left, right, c.notFoundToRight, c.options);
    EXPECT_EQ(left, c.left) << "'" << c.separator << "' in '" << c.text << "'";
    EXPECT_EQ(right, c.right) << "'" << c.separator << "' in '" << c.text << "'";
  }
}

TEST(SplitAtSeparator, TextMayBeOneOfTheOutputs) {
  std::string text = "key=value";
  std::string right;
  SplitAtSeparator("=", text, text, right, false, TSplitOptions{});
  EXPECT_EQ(text, "key");
  EXPECT_EQ(right, "value");

  std::string left;
  text = "key=value";
  SplitAtSeparator("=", text, left, text, false, TSplitOptions{});
  EXPECT_EQ(left, "key");
  EXPECT_EQ(text, "value");
}

TEST(SplitOptions, BitsAreTheOptionNumbers) {
  EXPECT_EQ(TSplitOptions{}.Bits(), 0);
  EXPECT_EQ(TSplitOptions{soSeparatorToLeft}.Bits(), 1);
  EXPECT_EQ(TSplitOptions{soSeparatorToRight}.Bits(), 2);
  EXPECT_EQ((TSplitOptions{soSeparatorToRight, soSeparatorToLeft}.Bits()), 3);
  EXPECT_FALSE(TSplitOptions{soSeparatorToLeft}.Contains(soSeparatorToRight));
}

TEST(Hex, Digits) {
  EXPECT_EQ(ByteToHex(10), "0A");
  EXPECT_EQ(ByteToHex(0), "00");
  EXPECT_EQ(ByteToHex(0xF7), "F7");
  EXPECT_EQ(WordToHex(255), "00FF");
  EXPECT_EQ(WordToHex(0xBEEF), "BEEF");
  EXPECT_EQ(WordToHex(0x0100), "0100");

  struct Case {
    std::uint32_t value;
    std::string expected;
  };
  const Case longs[] = {
      {0xABCD, "ABCD"},         {0x1A2B3C4D, "1A2B3C4D"}, {0, "0"}, {0xF, "F"}, {0x10, "10"}, {0x00010000, "10000"},
      {0xFFFFFFFF, "FFFFFFFF"}, {0x0A0B0000, "A0B0000"},
  };
  for (const Case& c : longs) EXPECT_EQ(LongToHex(c.value), c.expected) << c.value;
}

}  // namespace
