#include "logo_image.h"

#include <cstdint>
#include <memory>

#include "cli_error.h"
#include "platform/imagefile.h"

namespace {

void Put(std::string& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Larger pictures would not fit the window; the limit also bounds the decoder's memory.
constexpr int kMaxSide = 4096;

}  // namespace

std::string LogoBitmap(const std::string& path) {
  const ImageFileInfo info = ReadImageFileInfo(path);
  if (info.format != "png" && info.format != "jpeg" && info.format != "bmp")
    throw InputError(path + ": the logo is no PNG, JPEG or BMP image");
  if (info.width <= 0 || info.height <= 0 || info.width > kMaxSide || info.height > kMaxSide)
    throw InputError(path + ": the logo is " + std::to_string(info.width) + " x " + std::to_string(info.height) +
                     " pixels; at most " + std::to_string(kMaxSide) + " x " + std::to_string(kMaxSide) + " are taken");
  DecodedImage image;
  try {
    image = DecodeImageFile(path);
  } catch (const std::runtime_error& e) {
    throw InputError(path + ": the logo cannot be read as an image: " + e.what());
  }
  const int width = image.width, height = image.height;
  if (width != info.width || height != info.height || image.rgba.size() != static_cast<std::size_t>(width) * height * 4)
    throw InputError(path + ": the logo cannot be read as an image: its size changed while it was decoded");
  const std::uint32_t row = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t dataSize = row * static_cast<std::uint32_t>(height);
  std::string bmp = "BM";
  Put(bmp, 54 + dataSize, 4);
  Put(bmp, 0, 4);
  Put(bmp, 54, 4);
  Put(bmp, 40, 4);  // BITMAPINFOHEADER
  Put(bmp, static_cast<std::uint32_t>(width), 4);
  Put(bmp, static_cast<std::uint32_t>(height), 4);  // rows from the bottom
  Put(bmp, 1, 2);
  Put(bmp, 24, 2);
  Put(bmp, 0, 4);
  Put(bmp, dataSize, 4);
  Put(bmp, 3780, 4);  // 96 dpi
  Put(bmp, 3780, 4);
  Put(bmp, 0, 4);
  Put(bmp, 0, 4);
  for (int y = height - 1; y >= 0; --y) {
    const std::uint8_t* p = image.rgba.data() + static_cast<std::size_t>(y) * width * 4;
    std::string line;
    for (int x = 0; x < width; ++x, p += 4) {
      const int a = p[3];
      for (int c = 2; c >= 0; --c) line += static_cast<char>((p[c] * a + 255 * (255 - a) + 127) / 255);
    }
    line.resize(row, '\0');
    bmp += line;
  }
  return bmp;
}
