// The conversions installed ahead of a framework pair. A fake framework pair, reading tables
// the tests may change, is installed before the extras, as the framework does at start-up.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "core/IdentConversion.h"
#include "display/acGraphics.h"

namespace {

TIdentMap& FakeCursors() {
  static TIdentMap map;
  return map;
}
TIdentMap& FakeColors() {
  static TIdentMap map;
  return map;
}

class DisplayConversions : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    RegisterIntegerConsts(
        "TCursor", [](const std::string& s, int32_t& v) { return IdentToInt(s, v, FakeCursors()); },
        [](int32_t v, std::string& s) { return IntToIdent(v, s, FakeCursors()); });
    RegisterIntegerConsts(
        "TColor", [](const std::string& s, int32_t& v) { return IdentToInt(s, v, FakeColors()); },
        [](int32_t v, std::string& s) { return IntToIdent(v, s, FakeColors()); });
    InitDisplayExtras();
  }
  void SetUp() override {
    FakeCursors() = {{0, "crDefault"}, {-21, "crHandPoint"}, {-22, "crSizeAll"}};
    FakeColors() = {{0xFFFFFF, "clWhite"}, {0x20000000, "clDefault"}, {static_cast<int32_t>(0x8000000F), "clBtnFace"}};
  }

  // Through the installed pair, as the form reader and writer use it.
  static bool ToInt(const char* type, const std::string& ident, int32_t& value) {
    auto f = FindIdentToInt(type);
    return f && f(ident, value);
  }
  static bool ToIdent(const char* type, int32_t value, std::string& ident) {
    auto f = FindIntToIdent(type);
    return f && f(value, ident);
  }
};

template <size_t N>
void ExpectRoundTrips(const char* type, const std::array<TIdentMapEntry, N>& table) {
  auto toInt = FindIdentToInt(type);
  auto toIdent = FindIntToIdent(type);
  ASSERT_TRUE(toInt && toIdent) << type;
  for (const auto& e : table) {
    SCOPED_TRACE(e.Name);
    int32_t value = 12345;
    std::string ident;
    EXPECT_TRUE(toInt(e.Name, value));
    EXPECT_EQ(value, e.Value);
    EXPECT_TRUE(toIdent(e.Value, ident));
    EXPECT_EQ(ident, e.Name);
  }
}

TEST_F(DisplayConversions, EveryExtraEntryConvertsBothWaysThroughTheInstalledPair) {
  ExpectRoundTrips("TCursor", CursorIdents);
  ExpectRoundTrips("TColor", ColorIdents);
}

TEST_F(DisplayConversions, IdentifiersIgnoreLetterCase) {
  struct Row {
    const char* ident;
    int32_t value;
    bool (*conv)(const std::string&, int32_t&);
  };
  const Row rows[] = {
      {"crLinkSelect", -151, ExtIdentToCursor},
      {"CRLINKSELECT", -151, ExtIdentToCursor},
      {"crlinkselect", -151, ExtIdentToCursor},
      {"cRlInKsElEcT", -151, ExtIdentToCursor},
      {"CR3DAPPSTART", -153, ExtIdentToCursor},
      {"clOrange", 0x000068FF, ExtIdentToColor},
      {"CLORANGE", 0x000068FF, ExtIdentToColor},
      {"clhotlight", static_cast<int32_t>(0x8000001A), ExtIdentToColor},
      // Through the fallback as well.
      {"CRHANDPOINT", -21, ExtIdentToCursor},
      {"clwhite", 0xFFFFFF, ExtIdentToColor},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.ident);
    int32_t value = 0;
    EXPECT_TRUE(r.conv(r.ident, value));
    EXPECT_EQ(value, r.value);
  }
  std::string ident;
  ASSERT_TRUE(ExtCursorToIdent(-151, ident));
  EXPECT_EQ(ident, "crLinkSelect");
  ASSERT_TRUE(ExtColorToIdent(0x000068FF, ident));
  EXPECT_EQ(ident, "clOrange");
}

TEST_F(DisplayConversions, FrameworkOnlyNamesConvertThroughTheFallback) {
  int32_t value = 0;
  std::string ident;
  EXPECT_TRUE(ToInt("TCursor", "crHandPoint", value));
  EXPECT_EQ(value, -21);
  EXPECT_TRUE(ToIdent("TCursor", -22, ident));
  EXPECT_EQ(ident, "crSizeAll");
  EXPECT_TRUE(ToInt("TColor", "clBtnFace", value));
  EXPECT_EQ(value, static_cast<int32_t>(0x8000000F));
  EXPECT_TRUE(ToIdent("TColor", 0xFFFFFF, ident));
  EXPECT_EQ(ident, "clWhite");
}

TEST_F(DisplayConversions, ValueOutsideTheExtrasConvertsOnlyIfTheFrameworkKnowsIt) {
  std::string ident;
  int32_t value = 0;
  EXPECT_FALSE(ExtCursorToIdent(-150, ident));
  EXPECT_FALSE(ExtCursorToIdent(-194, ident));
  EXPECT_FALSE(ExtIdentToCursor("crLinkSelected", value));
  EXPECT_FALSE(ExtColorToIdent(0x000068FE, ident));
  EXPECT_FALSE(ExtIdentToColor("", value));

  FakeCursors().push_back({-150, "crFrameworkOnly"});
  ASSERT_TRUE(ExtCursorToIdent(-150, ident));
  EXPECT_EQ(ident, "crFrameworkOnly");
  ASSERT_TRUE(ExtIdentToCursor("crframeworkonly", value));
  EXPECT_EQ(value, -150);
}

TEST_F(DisplayConversions, ExtrasTakePrecedenceOverTheFramework) {
  // The framework knows some of the same values and names with other meanings.
  FakeCursors().push_back({-151, "crFrameworkHand"});
  FakeCursors().push_back({-5, "crLinkSelect"});
  FakeColors().push_back({0x000068FF, "clFrameworkOrange"});
  std::string ident;
  int32_t value = 0;
  ASSERT_TRUE(ToIdent("TCursor", -151, ident));
  EXPECT_EQ(ident, "crLinkSelect");
  ASSERT_TRUE(ToInt("TCursor", "crLinkSelect", value));
  EXPECT_EQ(value, -151);
  ASSERT_TRUE(ToIdent("TColor", 0x000068FF, ident));
  EXPECT_EQ(ident, "clOrange");
  // clDefault is in both tables with the same value.
  ASSERT_TRUE(ToIdent("TColor", 0x20000000, ident));
  EXPECT_EQ(ident, "clDefault");
}

TEST_F(DisplayConversions, InstallingAgainKeepsTheFrameworkFallback) {
  InstallDisplayConversions();
  InitDisplayExtras();
  std::string ident;
  int32_t value = 0;
  // Would recurse without end if the extras had become their own fallback.
  EXPECT_FALSE(ToIdent("TCursor", -150, ident));
  EXPECT_FALSE(ToInt("TColor", "clNoSuchColour", value));
  EXPECT_TRUE(ToInt("TCursor", "crHandPoint", value));
  EXPECT_EQ(value, -21);
  EXPECT_TRUE(ToIdent("TColor", 0x000068FF, ident));
  EXPECT_EQ(ident, "clOrange");
}

}  // namespace
