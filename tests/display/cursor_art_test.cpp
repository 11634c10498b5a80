// The cursor pictures: the checks of the picture reader, the encoding as Win32 cursor
// resources read back by the Linux platform's decoder, the decoder's refusal of damaged data,
// and the system cursors.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CursorArt.h"
#include "display/acCursorIdents.h"
#include "cursor_art_support.h"
#ifndef _WIN32
#include "platform/posix/cursors.h"
#endif
#include "platform/winapi.h"

namespace {

std::string Picture(const std::string& hotspot, int rows = 32, const std::string& row = std::string(32, '.')) {
  std::string text = hotspot + "\n";
  for (int i = 0; i < rows; ++i) text += row + "\n";
  return text;
}

std::string WithRow(int index, const std::string& row) {  // index 0 is file line 2
  std::string text = Picture("hotspot 1 2");
  text.replace(12 + size_t(index) * 33, 33, row + "\n");
  return text;
}

TEST(CursorArtReader, NamesFileLineAndFaultOfABadPicture) {
  const std::string dots(32, '.');
  struct Case {
    const char* what;
    std::string identifier, text, message;
  } cases[] = {
      {"empty", "crTool", "", "t.txt:1: empty file"},
      {"no keyword", "crTool", Picture("hot 1 2"), "t.txt:1: expected \"hotspot X Y\""},
      {"one number", "crTool", Picture("hotspot 1"), "t.txt:1: expected"},
      {"not a number", "crTool", Picture("hotspot a 2"), "t.txt:1: expected"},
      {"negative", "crTool", Picture("hotspot -1 2"), "t.txt:1: expected"},
      {"extra word", "crTool", Picture("hotspot 1 2 3"), "t.txt:1: expected"},
      {"hot spot outside", "crTool", Picture("hotspot 32 0"), "t.txt:1: hot spot 32,0 lies outside"},
      {"short row", "crTool", WithRow(4, dots.substr(1)), "t.txt:6: row has 31 characters"},
      {"long row", "crTool", WithRow(0, dots + "."), "t.txt:2: row has 33 characters"},
      {"unknown character", "crTool", WithRow(9, "....x" + dots.substr(5)),
       "t.txt:11: unknown character 'x' in column 5"},
      {"lower-case colour", "cr3dTool", WithRow(0, "a" + dots.substr(1)), "t.txt:2: unknown character 'a'"},
      {"colour in black and white", "crTool", WithRow(31, dots.substr(1) + "7"),
       "t.txt:33: colour '7' in column 32 in a black and white cursor"},
      {"inverting in 16 colours", "cr3dTool", WithRow(2, "~" + dots.substr(1)), "t.txt:4: inverting pixel"},
      {"too few rows", "crTool", Picture("hotspot 1 2", 31), "t.txt:32: only 31 rows"},
      {"too many rows", "crTool", Picture("hotspot 1 2", 33), "t.txt:34: more than 32 rows"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      ParseCursorArt(c.identifier, c.text, "t.txt");
      ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
    }
  }
  // What the reader accepts: every colour in a cr3d picture, black, white, '.' and '~' in the
  // others, Windows line ends, trailing empty lines, the hot spot in the last pixel.
  EXPECT_NO_THROW(ParseCursorArt("cr3dX", WithRow(3, "0123456789ABCDEF" + dots.substr(16)), "t.txt"));
  EXPECT_NO_THROW(ParseCursorArt("crX", WithRow(3, "0F.~" + dots.substr(4)), "t.txt"));
  std::string crlf = Picture("hotspot 31 31");
  for (size_t at = 0; (at = crlf.find('\n', at)) != std::string::npos; at += 2) crlf.insert(at, "\r");
  const CursorArt art = ParseCursorArt("crX", crlf + "\n\n", "t.txt");
  EXPECT_EQ(art.HotX, 31);
  EXPECT_EQ(art.HotY, 31);
  EXPECT_FALSE(art.Colour);
}

// Every committed picture, encoded and decoded again, shows its pixels with its hot spot.
#ifndef _WIN32  // the Linux platform's own cursor decoder
using winposix::CursorImage;

TEST(CursorResources, EveryPictureSurvivesEncodingAndDecoding) {
  for (int k = 0; k <= 40; ++k) {
    const std::string identifier = CursorIdents[k].Name;
    SCOPED_TRACE(identifier);
    const CursorArt art = ReadCommittedArt(identifier);
    EXPECT_EQ(art.Colour, identifier.rfind("cr3d", 0) == 0);
    const std::string data = EncodeCursorImage(art);
    const size_t expectedSize = 4 + 40 + (art.Colour ? 16 * 4 + 32 * 16 : 2 * 4 + 32 * 4) + 32 * 4;
    EXPECT_EQ(data.size(), expectedSize);

    const std::string group = EncodeCursorGroup(art, 77, static_cast<uint32_t>(data.size()));
    uint16_t id = 0;
    uint32_t bytes = 0;
    ASSERT_TRUE(winposix::PickGroupCursor(reinterpret_cast<const uint8_t*>(group.data()), group.size(), id, bytes));
    EXPECT_EQ(id, 77);
    EXPECT_EQ(bytes, data.size());
    EXPECT_EQ(group[6 + 6], art.Colour ? 4 : 1);  // wBitCount of the directory entry

    CursorImage image;
    ASSERT_TRUE(winposix::DecodeCursorImage(reinterpret_cast<const uint8_t*>(data.data()), data.size(), image));
    EXPECT_EQ(image.width, 32);
    EXPECT_EQ(image.height, 32);
    EXPECT_EQ(image.hotX, art.HotX);
    EXPECT_EQ(image.hotY, art.HotY);
    EXPECT_EQ(image.bitCount, art.Colour ? 4 : 1);
    EXPECT_TRUE(image.systemName.empty());
    EXPECT_EQ(image.argb, ExpectedArgb(art));
  }
}

TEST(CursorResources, InvertingPixelsShowBlackWithAWhiteEdge) {
  std::string text = "hotspot 0 0\n";
  for (int y = 0; y < 32; ++y) text += std::string(y == 5 ? "..~~..F0" : "........") + std::string(24, '.') + "\n";
  const std::string data = EncodeCursorImage(ParseCursorArt("crX", text, "t.txt"));
  CursorImage image;
  ASSERT_TRUE(winposix::DecodeCursorImage(reinterpret_cast<const uint8_t*>(data.data()), data.size(), image));
  auto px = [&](int x, int y) { return image.argb[size_t(y) * 32 + x]; };
  EXPECT_EQ(px(2, 5), 0xFF000000u);
  EXPECT_EQ(px(3, 5), 0xFF000000u);
  for (auto [x, y] : {std::pair{1, 5}, {4, 5}, {2, 4}, {3, 6}}) EXPECT_EQ(px(x, y), 0xFFFFFFFFu) << x << "," << y;
  for (auto [x, y] : {std::pair{0, 5}, {1, 4}, {4, 4}, {2, 3}}) EXPECT_EQ(px(x, y), 0u) << x << "," << y;
  EXPECT_EQ(px(6, 5), 0xFFFFFFFFu);  // a white pixel of the picture
  EXPECT_EQ(px(7, 5), 0xFF000000u);  // a black one
}

std::string Patched(std::string data, size_t at, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) data[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return data;
}

TEST(CursorResources, DamagedImageDataIsRefusedWithoutReadingBeyondIt) {
  const std::string mono = EncodeCursorImage(ReadCommittedArt("crZoomIn"));
  const std::string colour = EncodeCursorImage(ReadCommittedArt("cr3dHelp"));
  const size_t h = 4;  // the BITMAPINFOHEADER follows the hot spot
  const std::pair<const char*, std::string> cases[] = {
      {"nothing", ""},
      {"hot spot only", mono.substr(0, 4)},
      {"header cut", mono.substr(0, 43)},
      {"colour table cut", mono.substr(0, 47)},
      {"mask cut by one byte", mono.substr(0, mono.size() - 1)},
      {"16-colour bitmap cut", colour.substr(0, colour.size() - 200)},
      {"hot spot x outside", Patched(mono, 0, 32, 2)},
      {"hot spot y outside", Patched(mono, 2, 0xFFFF, 2)},
      {"small header size", Patched(mono, h, 12, 4)},
      {"large header size", Patched(mono, h, 124, 4)},
      {"header size beyond the data", Patched(mono, h, 0x7FFFFFFF, 4)},
      {"16 wide", Patched(mono, h + 4, 16, 4)},
      {"64 wide", Patched(mono, h + 4, 64, 4)},
      {"32 high (no mask)", Patched(mono, h + 8, 32, 4)},
      {"top-down", Patched(mono, h + 8, uint32_t(-64), 4)},
      {"two planes", Patched(mono, h + 12, 2, 2)},
      {"8 bits per pixel", Patched(colour, h + 14, 8, 2)},
      {"24 bits per pixel", Patched(colour, h + 14, 24, 2)},
      {"0 bits per pixel", Patched(mono, h + 14, 0, 2)},
      {"compressed", Patched(colour, h + 16, 2, 4)},
      {"colour count above the depth", Patched(mono, h + 32, 3, 4)},
      {"colour count huge", Patched(colour, h + 32, 0xFFFFFFFF, 4)},
  };
  for (const auto& [what, data] : cases) {
    SCOPED_TRACE(what);
    CursorImage image;
    image.width = -7;
    // A copy of exactly the given size, so that AddressSanitizer sees any read beyond it.
    std::vector<uint8_t> exact(data.begin(), data.end());
    EXPECT_FALSE(winposix::DecodeCursorImage(exact.empty() ? nullptr : exact.data(), exact.size(), image));
    EXPECT_EQ(image.width, -7);
  }
}

TEST(CursorResources, DamagedGroupDirectoriesAreRefused) {
  const CursorArt art = ReadCommittedArt("crZoomIn");
  const std::string group = EncodeCursorGroup(art, 5, 300);
  std::string twoEntries = Patched(group, 4, 2, 2) + group.substr(6);
  twoEntries = Patched(twoEntries, 6, 16, 2);  // first entry 16 x 16
  twoEntries = Patched(twoEntries, 8, 32, 2);
  twoEntries = Patched(twoEntries, 6 + 14 + 12, 9, 2);  // second entry (32 x 32) is image 9
  uint16_t id = 0;
  uint32_t bytes = 0;
  ASSERT_TRUE(
      winposix::PickGroupCursor(reinterpret_cast<const uint8_t*>(twoEntries.data()), twoEntries.size(), id, bytes));
  EXPECT_EQ(id, 9);
  EXPECT_EQ(bytes, 300u);

  const std::pair<const char*, std::string> cases[] = {
      {"nothing", ""},
      {"header cut", group.substr(0, 5)},
      {"entry cut", group.substr(0, group.size() - 1)},
      {"reserved not 0", Patched(group, 0, 1, 2)},
      {"an icon directory", Patched(group, 2, 1, 2)},
      {"count beyond the data", Patched(group, 4, 2, 2)},
      {"no entries", Patched(group, 4, 0, 2).substr(0, 6)},
      {"only 16 x 16", Patched(Patched(group, 6, 16, 2), 8, 32, 2)},
      {"height not doubled", Patched(group, 8, 32, 2)},
      {"48 wide", Patched(group, 6, 48, 2)},
  };
  for (const auto& [what, data] : cases) {
    SCOPED_TRACE(what);
    std::vector<uint8_t> exact(data.begin(), data.end());
    EXPECT_FALSE(winposix::PickGroupCursor(exact.empty() ? nullptr : exact.data(), exact.size(), id, bytes));
  }
}

#endif

TEST(SystemCursors, EachNumberGivesItsSharedNamedCursor) {
  const std::pair<LPCSTR, const char*> cases[] = {
      {IDC_ARROW, "default"},        {IDC_IBEAM, "text"},           {IDC_WAIT, "wait"},
      {IDC_CROSS, "crosshair"},      {IDC_UPARROW, "n-resize"},     {IDC_PEN, "pencil"},
      {IDC_SIZENWSE, "nwse-resize"}, {IDC_SIZENESW, "nesw-resize"}, {IDC_SIZEWE, "ew-resize"},
      {IDC_SIZENS, "ns-resize"},     {IDC_SIZEALL, "move"},         {IDC_NO, "not-allowed"},
      {IDC_HAND, "pointer"},         {IDC_APPSTARTING, "progress"}, {IDC_HELP, "help"},
  };
  for (const auto& [idc, name] : cases) {
    SCOPED_TRACE(name);
    const HCURSOR cursor = LoadCursorA(nullptr, idc);
    ASSERT_NE(cursor, nullptr);
#ifndef _WIN32  // the Linux platform names the toolkit's cursor that stands for it
    const winposix::CursorImage* image = winposix::CursorImageOf(cursor);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->systemName, name);
    EXPECT_TRUE(image->argb.empty());
#endif
    EXPECT_EQ(LoadCursorA(nullptr, idc), cursor);
  }
  // Unknown numbers, names without a module, and no name at all. Windows documents no error
  // codes here, and Wine's user32 carries no cursor resources: on Windows only the failure counts.
  const std::pair<LPCSTR, DWORD> failures[] = {
      {MAKEINTRESOURCEA(1), ERROR_RESOURCE_NAME_NOT_FOUND},
      {MAKEINTRESOURCEA(32517), ERROR_RESOURCE_NAME_NOT_FOUND},
      {"CRPEN", ERROR_RESOURCE_NAME_NOT_FOUND},
      {nullptr, ERROR_INVALID_PARAMETER},
  };
  for (const auto& [name, error] : failures) {
    SCOPED_TRACE(IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<uintptr_t>(name)) : name);
    SetLastError(0);
    EXPECT_EQ(LoadCursorA(nullptr, name), nullptr);
#ifndef _WIN32
    EXPECT_EQ(GetLastError(), error);
#endif
  }
  // This test program carries no resources (no resource section).
  SetLastError(0);
  EXPECT_EQ(LoadCursorA(GetModuleHandleA(nullptr), "CRPEN"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
#ifndef _WIN32
  // Handles that LoadCursorA did not give stand for nothing.
  int unrelated = 0;
  EXPECT_EQ(winposix::CursorImageOf(nullptr), nullptr);
  EXPECT_EQ(winposix::CursorImageOf(reinterpret_cast<HCURSOR>(&unrelated)), nullptr);
#endif
}

}  // namespace
