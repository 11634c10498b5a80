#include "CursorArt.h"

#include <sstream>
#include <stdexcept>

namespace {

constexpr int kSize = 32;

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

[[noreturn]] void Fail(const std::string& file, int line, const std::string& what) {
  throw std::runtime_error(file + ":" + std::to_string(line) + ": " + what);
}

// The palette index of a picture character, -1 for '.' and '~', -2 for anything else.
int PaletteIndex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c == '.' || c == '~') return -1;
  return -2;
}

bool ReadNumber(std::istringstream& in, int& value) {
  std::string word;
  if (!(in >> word) || word.empty() || word.size() > 3) return false;
  for (char c : word)
    if (c < '0' || c > '9') return false;
  value = std::stoi(word);
  return true;
}

}  // namespace

const std::array<uint32_t, 16>& CursorPalette() {
  static const std::array<uint32_t, 16> palette = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                                   0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                                   0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  return palette;
}

CursorArt ParseCursorArt(const std::string& identifier, const std::string& text, const std::string& fileName) {
  CursorArt art;
  art.Identifier = identifier;
  art.Colour = identifier.rfind("cr3d", 0) == 0;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  if (!std::getline(in, line)) Fail(fileName, 1, "empty file, expected \"hotspot X Y\"");
  ++number;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  {
    std::istringstream words(line);
    std::string keyword, rest;
    if (!(words >> keyword) || keyword != "hotspot" || !ReadNumber(words, art.HotX) || !ReadNumber(words, art.HotY) ||
        (words >> rest))
      Fail(fileName, number, "expected \"hotspot X Y\", found \"" + line + "\"");
    if (art.HotX >= kSize || art.HotY >= kSize)
      Fail(fileName, number,
           "hot spot " + std::to_string(art.HotX) + "," + std::to_string(art.HotY) +
               " lies outside the 32 x 32 picture");
  }
  int row = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (row == kSize) {
      if (line.empty()) continue;  // trailing empty lines
      Fail(fileName, number, "more than 32 rows");
    }
    if (line.size() != kSize)
      Fail(fileName, number, "row has " + std::to_string(line.size()) + " characters, expected 32");
    for (size_t x = 0; x < line.size(); ++x) {
      const char c = line[x];
      const int index = PaletteIndex(c);
      if (index == -2)
        Fail(fileName, number, std::string("unknown character '") + c + "' in column " + std::to_string(x + 1));
      if (!art.Colour && index != -1 && index != 0 && index != 15)
        Fail(fileName, number,
             std::string("colour '") + c + "' in column " + std::to_string(x + 1) +
                 " in a black and white cursor (only 0, F, . and ~)");
      if (art.Colour && c == '~')
        Fail(fileName, number, "inverting pixel '~' in column " + std::to_string(x + 1) + " in a 16-colour cursor");
    }
    art.Rows[row++] = line;
  }
  if (row != kSize) Fail(fileName, number, "only " + std::to_string(row) + " rows, expected 32");
  return art;
}

std::string EncodeCursorImage(const CursorArt& art) {
  const int bitCount = art.Colour ? 4 : 1;
  const int colours = 1 << bitCount;
  const size_t xorStride = (size_t(kSize) * bitCount + 31) / 32 * 4;
  const size_t andStride = 4;
  std::string out;
  Put16(out, art.HotX);
  Put16(out, art.HotY);
  Put32(out, 40);                                                      // biSize
  Put32(out, kSize);                                                   // biWidth
  Put32(out, 2 * kSize);                                               // biHeight: XOR bitmap and AND mask
  Put16(out, 1);                                                       // biPlanes
  Put16(out, bitCount);                                                // biBitCount
  Put32(out, 0);                                                       // biCompression: BI_RGB
  Put32(out, static_cast<uint32_t>((xorStride + andStride) * kSize));  // biSizeImage
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);  // biClrUsed: all
  Put32(out, 0);
  for (int i = 0; i < colours; ++i) {
    // Black and white cursors use black (0) and white (1); the 16-colour ones the palette.
    const uint32_t rgb = art.Colour ? CursorPalette()[i] : (i ? 0xFFFFFF : 0);
    out += static_cast<char>(rgb & 0xFF);
    out += static_cast<char>((rgb >> 8) & 0xFF);
    out += static_cast<char>((rgb >> 16) & 0xFF);
    out += '\0';
  }
  std::string xorBits(xorStride * kSize, '\0'), andBits(andStride * kSize, '\0');
  for (int y = 0; y < kSize; ++y) {
    const size_t row = size_t(kSize - 1 - y);  // bottom-up
    for (int x = 0; x < kSize; ++x) {
      const char c = art.Rows[y][x];
      int index = 0;
      bool mask = false;
      if (c == '.') {
        mask = true;  // AND 1, XOR black: the screen shows through
      } else if (c == '~') {
        mask = true;  // AND 1, XOR white: the screen is inverted
        index = colours - 1;
      } else {
        index = PaletteIndex(c);
        if (!art.Colour) index = index ? 1 : 0;
      }
      if (mask) andBits[row * andStride + x / 8] |= static_cast<char>(0x80 >> (x % 8));
      if (bitCount == 1) {
        if (index) xorBits[row * xorStride + x / 8] |= static_cast<char>(0x80 >> (x % 8));
      } else {
        xorBits[row * xorStride + x / 2] |= static_cast<char>(x % 2 ? index : index << 4);
      }
    }
  }
  return out + xorBits + andBits;
}

std::string EncodeCursorGroup(const CursorArt& art, uint16_t imageId, uint32_t imageSize) {
  std::string out;
  Put16(out, 0);  // reserved
  Put16(out, 2);  // type: cursor
  Put16(out, 1);  // one image
  Put16(out, kSize);
  Put16(out, 2 * kSize);
  Put16(out, 1);  // planes
  Put16(out, art.Colour ? 4 : 1);
  Put32(out, imageSize);
  Put16(out, imageId);
  return out;
}
