// Picture files through gdk-pixbuf, opened on first use.
#include "imagefile.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <memory>
#include <stdexcept>

#include "dynlib.h"

namespace {

// The calls, from libgdk_pixbuf (GLib's and GObject's come with it).
struct Pixbuf {
  TDynamicLibrary lib{"libgdk_pixbuf-2.0.so.0"};
  STOWAWAY_DYNAMIC_FUNCTION(gdk_pixbuf_get_file_info)
  STOWAWAY_DYNAMIC_FUNCTION(gdk_pixbuf_format_get_name)
  STOWAWAY_DYNAMIC_FUNCTION(gdk_pixbuf_new_from_file)
  STOWAWAY_DYNAMIC_FUNCTION(gdk_pixbuf_get_n_channels)
  STOWAWAY_DYNAMIC_FUNCTION(gdk_pixbuf_get_has_alpha)
  STOWAWAY_DYNAMIC_FUNCTION(gdk_pixbuf_get_bits_per_sample)
  STOWAWAY_DYNAMIC_FUNCTION(gdk_pixbuf_get_width)
  STOWAWAY_DYNAMIC_FUNCTION(gdk_pixbuf_get_height)
  STOWAWAY_DYNAMIC_FUNCTION(gdk_pixbuf_get_rowstride)
  STOWAWAY_DYNAMIC_FUNCTION(gdk_pixbuf_read_pixels)
  STOWAWAY_DYNAMIC_FUNCTION(g_object_unref)
  STOWAWAY_DYNAMIC_FUNCTION(g_error_free)
  STOWAWAY_DYNAMIC_FUNCTION(g_free)
};

const Pixbuf& Api() {
  static const Pixbuf api;
  return api;
}

struct Unref {
  void operator()(GdkPixbuf* p) const { Api().g_object_unref(p); }
};

}  // namespace

ImageFileInfo ReadImageFileInfo(const std::string& path) {
  const Pixbuf& api = Api();
  ImageFileInfo info;
  GdkPixbufFormat* format = api.gdk_pixbuf_get_file_info(path.c_str(), &info.width, &info.height);
  if (format) {
    gchar* name = api.gdk_pixbuf_format_get_name(format);
    info.format = name ? name : "";
    api.g_free(name);
  }
  return info;
}

DecodedImage DecodeImageFile(const std::string& path) {
  const Pixbuf& api = Api();
  GError* error = nullptr;
  std::unique_ptr<GdkPixbuf, Unref> image(api.gdk_pixbuf_new_from_file(path.c_str(), &error));
  if (!image) {
    const std::string what = error ? error->message : "cannot be read";
    if (error) api.g_error_free(error);
    throw std::runtime_error(what);
  }
  const int channels = api.gdk_pixbuf_get_n_channels(image.get());
  const bool alpha = api.gdk_pixbuf_get_has_alpha(image.get());
  if (api.gdk_pixbuf_get_bits_per_sample(image.get()) != 8 || channels < 3)
    throw std::runtime_error("the pixel format is not supported");
  DecodedImage out;
  out.width = api.gdk_pixbuf_get_width(image.get());
  out.height = api.gdk_pixbuf_get_height(image.get());
  const int stride = api.gdk_pixbuf_get_rowstride(image.get());
  const guint8* pixels = api.gdk_pixbuf_read_pixels(image.get());
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
