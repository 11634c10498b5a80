// The extra cursors at start-up, in a test program whose resource section carries every drawn
// cursor except "CRPEN", plus a damaged one ("NOTAGROUP", whose data is no cursor directory).
#include <gtest/gtest.h>

#include <string>

#include "PlatformCursor.h"
#include "Screen.h"
#include "acGraphics.h"
#include "cursor_art_support.h"
#include "posix/cursors.h"
#include "winapi.h"

namespace {

constexpr int32_t kPen = -190;

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
    EXPECT_EQ(shape->Argb, ExpectedArgb(art));
  }
  const std::pair<int32_t, const char*> system[] = {{-151, "pointer"}, {-152, "pencil"}};
  for (const auto& [index, name] : system) {
    ASSERT_NE(screen_.Cursors(index), nullptr) << index;
    EXPECT_EQ(screen_.Cursors(index)->CssName, name);
  }
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
    const winposix::CursorImage* image = winposix::CursorImageOf(cursor);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bitCount, identifier.rfind("cr3d", 0) == 0 ? 4 : 1);
    // The start-up step loaded the same handle: the table holds the very same cursor.
    EXPECT_EQ(CursorFromHandle(cursor), screen_.Cursors(CursorIdents[k].Value));
  }
  EXPECT_EQ(CursorFromHandle(nullptr), nullptr);
}

TEST(ExtraCursorLoading, MissingOrDamagedResourcesGiveNullWithTheirError) {
  const HMODULE own = GetModuleHandleA(nullptr);
  const std::pair<const char*, DWORD> cases[] = {
      {"CRPEN", ERROR_RESOURCE_NAME_NOT_FOUND},
      {"NOTAGROUP", ERROR_INVALID_DATA},
  };
  for (const auto& [name, error] : cases) {
    SCOPED_TRACE(name);
    SetLastError(0);
    EXPECT_EQ(LoadCursorA(own, name), nullptr);
    EXPECT_EQ(GetLastError(), error);
  }
  int otherModule = 0;
  SetLastError(0);
  EXPECT_EQ(LoadCursorA(reinterpret_cast<HINSTANCE>(&otherModule), "CRZOOMIN"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
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
