#pragma once
// TBitmap: a device-independent bitmap read from BMP file bytes (1, 4, 8 bits per pixel with
// a palette, 24 and 32 bits without), kept as those bytes and as decoded RGB rows.
// TPicture: the picture of an image control, streamed in forms as the binary property
// "Picture.Data": the graphic's class name as a short string, the byte count as a 32-bit
// little-endian number, then the BMP file bytes.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Exceptions.h"
#include "core/Persistent.h"

class TStream;

// Bytes that are not a bitmap this framework can show.
class EInvalidGraphic : public Exception {
  using Exception::Exception;
};

class TBitmap : public TPersistent {
  STOWAWAY_CLASS(TBitmap, TPersistent)

  TBitmap() = default;

  // Reads a whole BMP file; raises EInvalidGraphic for anything else.
  void LoadFromBytes(const std::string& bmp);
  // The BMP file bytes as they were read.
  const std::string& Bytes() const { return bytes_; }

  bool Empty() const { return width_ == 0 || height_ == 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bits_; }
  // Number of palette entries (0 for 24 and 32 bits).
  int PaletteSize() const { return static_cast<int>(palette_.size()); }
  // 0xRRGGBB of the pixel (x from the left, y from the top).
  uint32_t Pixel(int x, int y) const;
  // Rows from the top, 3 bytes (R, G, B) per pixel, no padding.
  const std::vector<uint8_t>& Rgb() const { return rgb_; }

  void Assign(TPersistent* source) override;

 private:
  std::string bytes_;
  int width_ = 0;
  int height_ = 0;
  int bits_ = 0;
  std::vector<uint32_t> palette_;
  std::vector<uint8_t> rgb_;
};

class TPicture : public TPersistent {
  STOWAWAY_CLASS(TPicture, TPersistent)

  TPicture() = default;

  // The bitmap, created on first use.
  TBitmap& Bitmap();
  bool HasGraphic() const { return bitmap_ && !bitmap_->Empty(); }
  int Width() const { return bitmap_ ? bitmap_->Width() : 0; }
  int Height() const { return bitmap_ ? bitmap_->Height() : 0; }

  void DefineProperties(TFiler& filer) override;
  void Assign(TPersistent* source) override;

  // Called after the picture has been read or assigned.
  std::function<void()> OnChange;

  // The "Data" property's bytes: class name, length, file bytes.
  void ReadData(TStream& stream);
  void WriteData(TStream& stream) const;

 private:
  std::unique_ptr<TBitmap> bitmap_;
};
