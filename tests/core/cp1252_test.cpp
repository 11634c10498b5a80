// The Windows-1252 case folding: locale-free, over the whole code page.
#include <gtest/gtest.h>

#include "Cp1252.h"
#include "TypeNames.h"

TEST(Cp1252, CaseFoldingCoversTheWholeCodePage) {
  struct Case {
    const char* lower;
    const char* upper;
  };
  // a-z, š/Š, œ/Œ, ž/Ž, ÿ/Ÿ, à/À, þ/Þ; ß, µ, ÷ and × have no other case.
  const Case cases[] = {{"az", "AZ"},         {"\x9A", "\x8A"}, {"\x9C", "\x8C"}, {"\x9E", "\x8E"},
                        {"\xFF", "\x9F"},     {"\xE0", "\xC0"}, {"\xFE", "\xDE"}, {"\xDF", "\xDF"},
                        {"\xB5", "\xB5"},     {"\xF7", "\xF7"}, {"\xD7", "\xD7"}, {"_1", "_1"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.upper);
    EXPECT_EQ(UpperCaseCp1252(std::string(c.lower)), c.upper);
    EXPECT_EQ(std::string(1, LowerCaseCp1252(c.upper[0])), std::string(1, c.lower[0]));
    EXPECT_TRUE(SameText(c.lower, c.upper));
    EXPECT_EQ(CompareTextCp1252(c.lower, c.upper), 0);
  }
  EXPECT_FALSE(SameText("\xF7", "\xD7"));
  EXPECT_FALSE(SameText("a", "ab"));
  EXPECT_LT(CompareTextCp1252("_a", "a"), 0);  // '_' sorts before letters
  EXPECT_LT(CompareTextCp1252("a", "AB"), 0);
}

TEST(Cp1252, SameTextFoldsLettersBeyondAsciiInAnyLocale) {
  // std::tolower folds none of these in the C locale, and its result would follow setlocale.
  EXPECT_TRUE(SameText("\xC4rger", "\xE4RGER"));
  EXPECT_TRUE(SameText("\x8A" "a\x8C\x8E\x9F", "\x9A" "A\x9C\x9E\xFF"));
  EXPECT_FALSE(SameText("\x8A", "\xE4"));
}
