// BMP decoding: the supported depths give the right pixels; malformed files are refused.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Bitmap.h"

namespace {

void P16(std::string& b, uint32_t v) { b += char(v & 0xFF), b += char((v >> 8) & 0xFF); }
void P32(std::string& b, uint32_t v) { P16(b, v & 0xFFFF), P16(b, v >> 16); }

// A BMP of the given size and depth; palette entries are 0xRRGGBB; rows from the bottom
// unless topDown, each padded to 4 bytes by the caller's row bytes.
std::string Bmp(int32_t w, int32_t h, int bits, const std::vector<uint32_t>& palette,
                const std::vector<std::string>& fileRows, uint32_t compression = 0) {
  std::string b = "BM";
  std::string rows;
  for (const auto& r : fileRows) rows += r;
  const uint32_t dataAt = 14 + 40 + uint32_t(palette.size()) * 4;
  P32(b, dataAt + uint32_t(rows.size()));
  P32(b, 0);
  P32(b, dataAt);
  P32(b, 40);
  P32(b, uint32_t(w));
  P32(b, uint32_t(h));
  P16(b, 1);
  P16(b, uint32_t(bits));
  P32(b, compression);
  P32(b, uint32_t(rows.size()));
  P32(b, 0);
  P32(b, 0);
  P32(b, uint32_t(palette.size()));
  P32(b, 0);
  for (uint32_t c : palette) b += char(c & 0xFF), b += char((c >> 8) & 0xFF), b += char(c >> 16), b += '\0';
  return b + rows;
}

std::string Row(std::initializer_list<int> bytes) {
  std::string r;
  for (int v : bytes) r += char(v);
  while (r.size() % 4) r += '\0';
  return r;
}

struct DecodeCase {
  const char* name;
  std::string bmp;
  int width, height;
  std::vector<uint32_t> pixels;  // rows from the top
};

TEST(Bitmap, DecodesEachSupportedDepth) {
  const uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF;
  const DecodeCase cases[] = {
      {"8 bits, bottom-up", Bmp(3, 2, 8, {R, G, B}, {Row({0, 1, 2}), Row({2, 1, 0})}), 3, 2, {B, G, R, R, G, B}},
      {"8 bits, top-down", Bmp(3, -2, 8, {R, G, B}, {Row({0, 1, 2}), Row({2, 1, 0})}), 3, 2, {R, G, B, B, G, R}},
      {"4 bits", Bmp(3, 1, 4, {R, G, B, W}, {Row({0x31, 0x20})}), 3, 1, {W, G, B}},
      {"1 bit", Bmp(9, 1, 1, {0x000000, W}, {Row({0xA5, 0x80})}), 9, 1, {W, 0, W, 0, 0, W, 0, W, W}},
      {"24 bits", Bmp(2, 1, 24, {}, {Row({0xFF, 0, 0, 0, 0xFF, 0})}), 2, 1, {B, G}},
      {"32 bits", Bmp(1, 1, 32, {}, {Row({0, 0, 0xFF, 0x80})}), 1, 1, {R}},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap bmp;
    ASSERT_NO_THROW(bmp.LoadFromBytes(c.bmp));
    ASSERT_EQ(bmp.Width(), c.width);
    ASSERT_EQ(bmp.Height(), c.height);
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) EXPECT_EQ(bmp.Pixel(x, y), c.pixels[size_t(y * c.width + x)]) << x << "," << y;
    EXPECT_EQ(bmp.Bytes(), c.bmp);
  }
}

TEST(Bitmap, RefusesMalformedFiles) {
  const std::string good = Bmp(2, 2, 8, {0, 0xFFFFFF}, {Row({0, 1}), Row({1, 0})});
  auto with = [&](size_t at, uint32_t v) {
    std::string b = good;
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
    return b;
  };
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"not BM", "XY" + good.substr(2)},
      {"truncated pixels", good.substr(0, good.size() - 3)},
      {"truncated header", good.substr(0, 30)},
      {"compressed", Bmp(2, 2, 8, {0, 1}, {Row({0, 1}), Row({1, 0})}, 1)},
      {"16 bits", Bmp(1, 1, 16, {}, {Row({0, 0})})},
      {"zero width", with(18, 0)},
      {"huge height", with(22, 1u << 30)},
      {"data offset beyond the file", with(10, 0xFFFFFFF0u)},
      {"index outside the palette", Bmp(2, 1, 8, {0, 0xFFFFFF}, {Row({0, 7})})},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    TBitmap bmp;
    EXPECT_THROW(bmp.LoadFromBytes(bytes), EInvalidGraphic);
    EXPECT_TRUE(bmp.Empty());
  }
}

}  // namespace
