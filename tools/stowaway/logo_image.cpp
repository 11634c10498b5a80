#include "logo_image.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <memory>

#include "cli_error.h"

namespace {

struct Unref {
  void operator()(GdkPixbuf* p) const { g_object_unref(p); }
};

void Put(std::string& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Larger pictures would not fit the window; the limit also bounds the decoder's memory.
constexpr int kMaxSide = 4096;

}  // namespace

std::string LogoBitmap(const std::string& path) {
  int width = 0, height = 0;
  GdkPixbufFormat* format = gdk_pixbuf_get_file_info(path.c_str(), &width, &height);
  std::string name;
  if (format) {
    gchar* n = gdk_pixbuf_format_get_name(format);
    name = n ? n : "";
    g_free(n);
  }
  if (name != "png" && name != "jpeg" && name != "bmp")
    throw InputError(path + ": the logo is no PNG, JPEG or BMP image");
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    throw InputError(path + ": the logo is " + std::to_string(width) + " x " + std::to_string(height) +
                     " pixels; at most " + std::to_string(kMaxSide) + " x " + std::to_string(kMaxSide) + " are taken");
  GError* error = nullptr;
  std::unique_ptr<GdkPixbuf, Unref> image(gdk_pixbuf_new_from_file(path.c_str(), &error));
  if (!image) {
    const std::string what = error ? error->message : "cannot be read";
    if (error) g_error_free(error);
    throw InputError(path + ": the logo cannot be read as an image: " + what);
  }
  width = gdk_pixbuf_get_width(image.get());
  height = gdk_pixbuf_get_height(image.get());
  const int channels = gdk_pixbuf_get_n_channels(image.get());
  const bool alpha = gdk_pixbuf_get_has_alpha(image.get());
  const int stride = gdk_pixbuf_get_rowstride(image.get());
  if (gdk_pixbuf_get_bits_per_sample(image.get()) != 8 || channels < 3)
    throw InputError(path + ": the logo's pixel format is not supported");
  const guint8* pixels = gdk_pixbuf_read_pixels(image.get());

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
    const guint8* p = pixels + static_cast<std::size_t>(y) * stride;
    std::string line;
    for (int x = 0; x < width; ++x, p += channels) {
      const int a = alpha ? p[3] : 255;
      for (int c = 2; c >= 0; --c) line += static_cast<char>((p[c] * a + 255 * (255 - a) + 127) / 255);
    }
    line.resize(row, '\0');
    bmp += line;
  }
  return bmp;
}
