// The enumerations and the identifier tables, entry by entry.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "display/acGraphics.h"

namespace {

std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(ScreenModes, ColorModeOrdinalsNamesAndDepths) {
  static_assert(sizeof(TacScreenColorMode) == 1);
  struct Row {
    TacScreenColorMode mode;
    int ordinal;
    const char* name;
  };
  const Row rows[] = {{sm4bit, 0, "sm4bit"},
                      {sm8bit, 1, "sm8bit"},
                      {sm16bit, 2, "sm16bit"},
                      {sm24bit, 3, "sm24bit"},
                      {sm32bit, 4, "sm32bit"}};
  ASSERT_EQ(TacScreenColorModeNames.Count(), 5);
  EXPECT_EQ(TacScreenColorModeNames.TypeName(), "TacScreenColorMode");
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(static_cast<int>(r.mode), r.ordinal);
    EXPECT_EQ(TacScreenColorModeNames.NameOf(r.ordinal), r.name);
    EXPECT_EQ(TacScreenColorModeNames.ValueOf(r.name), r.ordinal);
  }
  EXPECT_EQ(TacScreenColorModeNames.NameOf(5), "");
  EXPECT_EQ(TacScreenColorModeNames.ValueOf("sm64bit"), -1);
}

TEST(ScreenModes, ResolutionOrdinalsNamesAndSizes) {
  static_assert(sizeof(TacScreenResolution) == 1);
  struct Row {
    TacScreenResolution res;
    int ordinal;
    const char* name;
    int width, height;
  };
  const Row rows[] = {
      {sr640x480, 0, "sr640x480", 640, 480},        {sr800x600, 1, "sr800x600", 800, 600},
      {sr1024x768, 2, "sr1024x768", 1024, 768},     {sr1152x864, 3, "sr1152x864", 1152, 864},
      {sr1280x960, 4, "sr1280x960", 1280, 960},     {sr1280x1024, 5, "sr1280x1024", 1280, 1024},
      {sr1600x1200, 6, "sr1600x1200", 1600, 1200},  {sr1920x1080, 7, "sr1920x1080", 1920, 1080},
      {sr1920x1200, 8, "sr1920x1200", 1920, 1200},  {sr480x640, 9, "sr480x640", 480, 640},
      {sr600x800, 10, "sr600x800", 600, 800},       {sr768x1024, 11, "sr768x1024", 768, 1024},
      {sr864x1152, 12, "sr864x1152", 864, 1152},    {sr960x1280, 13, "sr960x1280", 960, 1280},
      {sr1024x1280, 14, "sr1024x1280", 1024, 1280}, {sr1200x1600, 15, "sr1200x1600", 1200, 1600},
      {sr1080x1920, 16, "sr1080x1920", 1080, 1920}, {sr1200x1920, 17, "sr1200x1920", 1200, 1920},
  };
  ASSERT_EQ(TacScreenResolutionNames.Count(), 18);
  ASSERT_EQ(ScreenResolutionWidth.size(), 18u);
  ASSERT_EQ(ScreenResolutionHeight.size(), 18u);
  EXPECT_EQ(TacScreenResolutionNames.TypeName(), "TacScreenResolution");
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(static_cast<int>(r.res), r.ordinal);
    EXPECT_EQ(TacScreenResolutionNames.NameOf(r.ordinal), r.name);
    EXPECT_EQ(TacScreenResolutionNames.ValueOf(Lower(r.name)), r.ordinal);
    EXPECT_EQ(ScreenResolutionWidth[r.ordinal], r.width);
    EXPECT_EQ(ScreenResolutionHeight[r.ordinal], r.height);
  }
  // The upright half mirrors the landscape half.
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(ScreenResolutionWidth[i], ScreenResolutionHeight[i + 9]) << i;
    EXPECT_EQ(ScreenResolutionHeight[i], ScreenResolutionWidth[i + 9]) << i;
  }
}

TEST(IdentTables, CursorEntriesRunWithoutGapsInOrder) {
  const char* names[] = {"crZoomOut",
                         "crZoomIn",
                         "crTool",
                         "crPen",
                         "crItBeam",
                         "crHand",
                         "crDragSelectionPlus",
                         "crDragSelection",
                         "crDragFiles",
                         "crDragFile",
                         "crArrowSW",
                         "crArrowResize",
                         "crArrowSize",
                         "crArrowSE",
                         "crArrowScrollVert",
                         "crArrowScrollHorz",
                         "crArrowNW",
                         "crArrowNE",
                         "cr3dUpArrow",
                         "cr3dTool",
                         "cr3dSizeWE",
                         "cr3dSizeNWSE",
                         "cr3dSizeNS",
                         "cr3dSizeNESW",
                         "cr3dSize",
                         "cr3dNo",
                         "cr3dIBeam",
                         "cr3dHourGlass",
                         "cr3dHelp",
                         "cr3dHandwriting",
                         "cr3dDragSelectionPlus",
                         "cr3dDragSelection",
                         "cr3dCross",
                         "cr3dArrowWarning",
                         "cr3dArrowResize",
                         "cr3dArrowSize",
                         "cr3dArrowScrollVert",
                         "cr3dArrowScrollHorz",
                         "cr3dArrowNE",
                         "cr3dArrow",
                         "cr3dAppStart",
                         "crHandwriting",
                         "crLinkSelect"};
  ASSERT_EQ(std::size(names), CursorIdents.size());
  ASSERT_EQ(CursorIdents.size(), 43u);
  for (size_t k = 0; k < CursorIdents.size(); ++k) {
    SCOPED_TRACE(names[k]);
    EXPECT_EQ(CursorIdents[k].Value, -193 + static_cast<int32_t>(k));
    EXPECT_EQ(CursorIdents[k].Name, names[k]);
  }
  EXPECT_EQ(CursorIdents.front().Value, FirstExtraCursor);
  EXPECT_EQ(CursorIdents.back().Value, LastExtraCursor);
}

TEST(IdentTables, ColorEntries) {
  struct Row {
    const char* name;
    uint32_t value;
  };
  const Row rows[] = {
      {"clHotLight", 0x8000001A},    {"clContextHelp", 0x00EEFFFF}, {"clBrown", 0x00003090},
      {"clOliveGreen", 0x00003030},  {"clDarkGreen", 0x00003000},   {"clDarkTeal", 0x00603000},
      {"clIndigo", 0x00903030},      {"clNight", 0x00303030},       {"clOrange", 0x000068FF},
      {"clBlueGray", 0x00906060},    {"clLightOrange", 0x000098FF}, {"clSeaGreen", 0x00609830},
      {"clLightBlue", 0x00FF6830},   {"clMetal", 0x00909090},       {"clGold", 0x0000C8FF},
      {"clPlum", 0x00603090},        {"clRose", 0x00D098FF},        {"clTan", 0x00A0C8FF},
      {"clLightYellow", 0x0090FFFF}, {"clLightGreen", 0x00D0FFD0},  {"clLightTurquoise", 0x00FFFFC0},
      {"clPaleBlue", 0x00FFC890},    {"clSoftBlue", 0x00E6AA8C},    {"clLavender", 0x00FF98C0},
      {"clDefault", 0x20000000},
  };
  ASSERT_EQ(std::size(rows), ColorIdents.size());
  ASSERT_EQ(ColorIdents.size(), 25u);
  for (size_t k = 0; k < ColorIdents.size(); ++k) {
    SCOPED_TRACE(rows[k].name);
    EXPECT_EQ(static_cast<uint32_t>(ColorIdents[k].Value), rows[k].value);
    EXPECT_EQ(ColorIdents[k].Name, rows[k].name);
  }
}

template <size_t N>
void ExpectUnique(const std::array<TIdentMapEntry, N>& table) {
  std::set<std::string> names;
  std::set<int32_t> values;
  for (const auto& e : table) {
    EXPECT_TRUE(names.insert(Lower(e.Name)).second) << e.Name;
    EXPECT_TRUE(values.insert(e.Value).second) << e.Name;
  }
}

// A duplicate value or (case-insensitive) identifier would hide an entry from one direction
// of the conversions.
TEST(IdentTables, IdentifiersAndValuesAreUnique) {
  ExpectUnique(CursorIdents);
  ExpectUnique(ColorIdents);
}

}  // namespace
