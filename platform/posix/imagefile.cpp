// Picture files through gdk-pixbuf.
#include "imagefile.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <memory>
#include <stdexcept>

namespace {

struct Unref {
  void operator()(GdkPixbuf* p) const { g_object_unref(p); }
};

}  // namespace

ImageFileInfo ReadImageFileInfo(const std::string& path) {
  ImageFileInfo info;
  GdkPixbufFormat* format = gdk_pixbuf_get_file_info(path.c_str(), &info.width, &info.height);
  if (format) {
    gchar* name = gdk_pixbuf_format_get_name(format);
    info.format = name ? name : "";
    g_free(name);
  }
  return info;
}

DecodedImage DecodeImageFile(const std::string& path) {
  GError* error = nullptr;
  std::unique_ptr<GdkPixbuf, Unref> image(gdk_pixbuf_new_from_file(path.c_str(), &error));
  if (!image) {
    const std::string what = error ? error->message : "cannot be read";
    if (error) g_error_free(error);
    throw std::runtime_error(what);
  }
  const int channels = gdk_pixbuf_get_n_channels(image.get());
  const bool alpha = gdk_pixbuf_get_has_alpha(image.get());
  if (gdk_pixbuf_get_bits_per_sample(image.get()) != 8 || channels < 3)
    throw std::runtime_error("the pixel format is not supported");
  DecodedImage out;
  out.width = gdk_pixbuf_get_width(image.get());
  out.height = gdk_pixbuf_get_height(image.get());
  const int stride = gdk_pixbuf_get_rowstride(image.get());
  const guint8* pixels = gdk_pixbuf_read_pixels(image.get());
  out.rgba.resize(static_cast<size_t>(out.width) * out.height * 4);
  uint8_t* to = out.rgba.data();
  for (int y = 0; y < out.height; ++y) {
    const guint8* p = pixels + static_cast<size_t>(y) * stride;
    for (int x = 0; x < out.width; ++x, p += channels, to += 4) {
      to[0] = p[0];
      to[1] = p[1];
      to[2] = p[2];
      to[3] = alpha ? p[3] : 255;
    }
  }
  return out;
}
