// The extra cursors at start-up, in a test program whose resource section carries every drawn
// cursor except "CRPEN", plus a damaged one ("NOTAGROUP", whose data is no cursor directory).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gui/PlatformCursor.h"
#include "gui/Screen.h"
#include "display/acGraphics.h"
#include "cursor_art_support.h"
#ifndef _WIN32
#include "platform/posix/cursors.h"
#endif
#include "platform/winapi.h"

namespace {

constexpr int32_t kPen = -190;

#ifdef _WIN32
// What the system draws for a cursor on a background of one colour, as 0xRRGGBB rows from the top.
std::vector<uint32_t> Drawn(HCURSOR cursor, uint32_t background) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = 32;
  bi.bmiHeader.biHeight = -32;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HDC dc = CreateCompatibleDC(nullptr);
  const HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<uint32_t> pixels;
  if (dc && bitmap) {
    const HGDIOBJ old = SelectObject(dc, bitmap);
    std::fill_n(static_cast<uint32_t*>(bits), 32 * 32, background);
    if (DrawIconEx(dc, 0, 0, cursor, 32, 32, 0, nullptr, DI_NORMAL)) {
      GdiFlush();
      pixels.assign(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + 32 * 32);
      for (uint32_t& p : pixels) p &= 0xFFFFFF;
    }
    SelectObject(dc, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  return pixels;
}

// What a picture must show on that background: palette colours, the background where it is
// transparent, the background inverted where it inverts.
std::vector<uint32_t> ExpectedOn(const CursorArt& art, uint32_t background) {
  std::vector<uint32_t> pixels(32 * 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const char c = art.Rows[y][x];
      pixels[y * 32 + x] = c == '.'   ? background
                           : c == '~' ? ~background & 0xFFFFFF
                                      : CursorPalette()[c <= '9' ? c - '0' : c - 'A' + 10] & 0xFFFFFF;
    }
  return pixels;
}
#endif

class ExtraCursors : public ::testing::Test {
 protected:
  void SetUp() override {
    Screen = &screen_;
    InitDisplayExtras();
  }
  void TearDown() override { Screen = nullptr; }
  TScreen screen_;
};

TEST_F(ExtraCursors, EachIndexShowsTheCursorOfItsIdentifierAndAMissingOneTheDefault) {
  EXPECT_EQ(screen_.Cursors(kPen), nullptr);
  for (int k = 0; k <= 40; ++k) {
    const int32_t index = CursorIdents[k].Value;
    if (index == kPen) continue;
    const std::string identifier = CursorIdents[k].Name;
    SCOPED_TRACE(identifier);
    const TCursorHandle shape = screen_.Cursors(index);
    ASSERT_NE(shape, nullptr);
    const CursorArt art = ReadCommittedArt(identifier);
    EXPECT_TRUE(shape->CssName.empty());
    EXPECT_EQ(shape->Width, 32);
    EXPECT_EQ(shape->Height, 32);
    EXPECT_EQ(shape->HotX, art.HotX);
    EXPECT_EQ(shape->HotY, art.HotY);
#ifdef _WIN32  // the system draws the cursor from its resource
    for (uint32_t background : {0x000000u, 0xFFFFFFu})
      EXPECT_EQ(Drawn(reinterpret_cast<HCURSOR>(shape->Native), background), ExpectedOn(art, background))
          << "on " << std::hex << background;
#else
    EXPECT_EQ(shape->Argb, ExpectedArgb(art));
#endif
  }
  for (const int32_t index : {-151, -152}) {  // the hand and the pen of the system
    ASSERT_NE(screen_.Cursors(index), nullptr) << index;
#ifdef _WIN32
    EXPECT_NE(screen_.Cursors(index)->Native, 0u) << index;
#endif
  }
#ifndef _WIN32  // the toolkit's cursors by name
  EXPECT_EQ(screen_.Cursors(-151)->CssName, "pointer");
  EXPECT_EQ(screen_.Cursors(-152)->CssName, "pencil");
#endif
  // The framework's own cursors stay as they were.
  EXPECT_EQ(screen_.Cursors(crDefault), TScreen().Cursors(crDefault));
  ASSERT_NE(screen_.Cursors(crIBeam), nullptr);
  EXPECT_EQ(screen_.Cursors(crIBeam)->CssName, TScreen().Cursors(crIBeam)->CssName);
}

TEST_F(ExtraCursors, ResourceCursorsAreSharedAndKeepTheirDepth) {
  const HMODULE own = GetModuleHandleA(nullptr);
  for (int k = 0; k <= 40; ++k) {
    const std::string identifier = CursorIdents[k].Name;
    if (identifier == "crPen") continue;
    SCOPED_TRACE(identifier);
    const HCURSOR cursor = LoadCursorA(own, identifier.c_str());  // names in any letter case
    std::string upper = identifier;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(LoadCursorA(own, upper.c_str()), cursor);
    const bool colour = identifier.rfind("cr3d", 0) == 0;
#ifdef _WIN32  // a monochrome cursor has no colour bitmap
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_EQ(info.hbmColor != nullptr, colour);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
#else
    const winposix::CursorImage* image = winposix::CursorImageOf(cursor);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bitCount, colour ? 4 : 1);
#endif
    // The start-up step loaded the same handle: the table holds the very same cursor.
    EXPECT_EQ(CursorFromHandle(cursor), screen_.Cursors(CursorIdents[k].Value));
  }
  EXPECT_EQ(CursorFromHandle(nullptr), nullptr);
}

TEST(ExtraCursorLoading, MissingOrDamagedResourcesGiveNullWithTheirError) {
  const HMODULE own = GetModuleHandleA(nullptr);
  // The codes are the Linux platform's; Windows documents none for LoadCursorA (Wine answers
  // ERROR_RESOURCE_TYPE_NOT_FOUND, ERROR_RESOURCE_NAME_NOT_FOUND and ERROR_RESOURCE_DATA_NOT_FOUND).
  const std::pair<const char*, DWORD> cases[] = {
      {"CRPEN", ERROR_RESOURCE_NAME_NOT_FOUND},
      {"NOTAGROUP", ERROR_INVALID_DATA},
  };
  for (const auto& [name, error] : cases) {
    SCOPED_TRACE(name);
    SetLastError(0);
    EXPECT_EQ(LoadCursorA(own, name), nullptr);
#ifndef _WIN32
    EXPECT_EQ(GetLastError(), error);
#else
    EXPECT_NE(GetLastError(), 0u);
#endif
  }
  int otherModule = 0;
  SetLastError(0);
  EXPECT_EQ(LoadCursorA(reinterpret_cast<HINSTANCE>(&otherModule), "CRZOOMIN"), nullptr);
#ifndef _WIN32
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
#else
  EXPECT_NE(GetLastError(), 0u);
#endif
}

TEST(ExtraCursorLoading, WithoutAScreenOnlyTheConversionsAreInstalled) {
  ASSERT_EQ(Screen, nullptr);
  InitDisplayExtras();
  auto toInt = FindIdentToInt("TCursor");
  ASSERT_TRUE(toInt);
  int32_t value = 0;
  EXPECT_TRUE(toInt("crPen", value));
  EXPECT_EQ(value, kPen);
}

}  // namespace
