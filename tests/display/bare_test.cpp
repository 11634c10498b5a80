// The extras installed with no framework pair before them: their own names convert, every
// other value and identifier fails.
#include <gtest/gtest.h>

#include <string>

#include "core/IdentConversion.h"
#include "display/acGraphics.h"

namespace {

TEST(DisplayConversionsWithoutFramework, OnlyTheExtrasConvert) {
  ASSERT_FALSE(FindIdentToInt("TCursor"));
  ASSERT_FALSE(FindIdentToInt("TColor"));
  InitDisplayExtras();
  InitDisplayExtras();  // a second start-up step must not make the extras their own fallback

  for (const char* type : {"TCursor", "TColor"}) {
    auto toInt = FindIdentToInt(type);
    auto toIdent = FindIntToIdent(type);
    ASSERT_TRUE(toInt) << type;
    ASSERT_TRUE(toIdent) << type;
  }
  auto cursorToInt = FindIdentToInt("TCursor");
  auto cursorToIdent = FindIntToIdent("TCursor");
  auto colorToInt = FindIdentToInt("TColor");
  auto colorToIdent = FindIntToIdent("TColor");

  int32_t value = 0;
  std::string ident;
  EXPECT_TRUE(cursorToInt("CrLinkSelect", value));
  EXPECT_EQ(value, -151);
  EXPECT_TRUE(cursorToIdent(-193, ident));
  EXPECT_EQ(ident, "crZoomOut");
  EXPECT_TRUE(colorToInt("clorange", value));
  EXPECT_EQ(value, 0x000068FF);
  EXPECT_TRUE(colorToIdent(0x20000000, ident));
  EXPECT_EQ(ident, "clDefault");

  ident = "unchanged";
  EXPECT_FALSE(cursorToIdent(-150, ident));
  EXPECT_FALSE(cursorToIdent(0, ident));
  EXPECT_FALSE(cursorToInt("crHandPoint", value));
  EXPECT_FALSE(colorToIdent(0xFFFFFF, ident));
  EXPECT_FALSE(colorToInt("clWhite", value));
  EXPECT_EQ(ident, "unchanged");
}

}  // namespace
