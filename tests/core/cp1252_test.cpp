// The Windows-1252 case folding: locale-free, over the whole code page.
#include <gtest/gtest.h>

#include "charset/Cp1252.h"
#include "core/TypeNames.h"

TEST(Cp1252, CaseFoldingCoversTheWholeCodePage) {
  struct Case {
    const char* lower;
    const char* upper;
  };
  // a-z, š/Š, œ/Œ, ž/Ž, ÿ/Ÿ, à/À, þ/Þ; ß, µ, ÷ and × have no other case.
  const Case cases[] = {{"az", "AZ"},     {"\x9A", "\x8A"}, {"\x9C", "\x8C"}, {"\x9E", "\x8E"},
                        {"\xFF", "\x9F"}, {"\xE0", "\xC0"}, {"\xFE", "\xDE"}, {"\xDF", "\xDF"},
                        {"\xB5", "\xB5"}, {"\xF7", "\xF7"}, {"\xD7", "\xD7"}, {"_1", "_1"}};
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
  EXPECT_TRUE(
      SameText("\x8A"
               "a\x8C\x8E\x9F",
               "\x9A"
               "A\x9C\x9E\xFF"));
  EXPECT_FALSE(SameText("\x8A", "\xE4"));
}

TEST(Cp1252, OneRuleForWhatCannotBeMapped) {
  struct Case {
    std::string utf8;
    const char* substituted;
    bool strict;  // converts without substitution
  };
  const Case cases[] = {
      {"k\xC3\xB6nnen \xE2\x82\xAC", "k\xF6nnen \x80", true},
      {"\xC2\x81\xC2\x80", "\x81\x80", true},  // code points below 256 keep their number
      {"\xE4\xB8\xAD", "?", false},            // no byte in the code page
      {"\xF0\x9F\x98\x80", "?", false},
      {std::string("a\xC0\x80"
                   "b",
                   4),
       "a??b", false},                 // an overlong NUL is not a NUL
      {"\xED\xA0\x80", "???", false},  // a surrogate
      {"\xC3", "?", false},            // cut off
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.substituted);
    EXPECT_EQ(Utf8ToCp1252(c.utf8), c.substituted);
    std::string out;
    EXPECT_EQ(Utf8ToCp1252(c.utf8, out, false), c.strict);
    if (c.strict) {
      EXPECT_EQ(out, c.substituted);
    }
  }
  EXPECT_EQ(Cp1252ToUtf16("a\x80\x9F\xFF"), u"a\u20AC\u0178\u00FF");
  EXPECT_EQ(Cp1252ToUtf8("\x81\x80"), "\xC2\x81\xE2\x82\xAC");
}
