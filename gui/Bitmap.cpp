#include "Bitmap.h"

#include "core/Filer.h"
#include "core/PropertyRegistry.h"
#include "core/Stream.h"

const TClassInfo& TBitmap::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TBitmap>("TBitmap").Build();
  return info;
}

const TClassInfo& TPicture::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPicture>("TPicture").Build();
  return info;
}

namespace {

uint32_t U16(const std::string& b, size_t at) { return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8; }
uint32_t U32(const std::string& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

[[noreturn]] void Bad(const std::string& why) { throw EInvalidGraphic("Invalid bitmap: " + why); }

constexpr int kMaxSide = 32768;

}  // namespace

void TBitmap::LoadFromBytes(const std::string& bmp) {
  if (bmp.size() < 14 + 40 || bmp[0] != 'B' || bmp[1] != 'M') Bad("no BMP file header");
  const uint32_t dataAt = U32(bmp, 10);
  const uint32_t headerSize = U32(bmp, 14);
  if (headerSize < 40 || 14 + uint64_t(headerSize) > bmp.size()) Bad("unsupported info header");
  const int32_t width = static_cast<int32_t>(U32(bmp, 18));
  const int32_t rawHeight = static_cast<int32_t>(U32(bmp, 22));
  const uint32_t planes = U16(bmp, 26), bits = U16(bmp, 28), compression = U32(bmp, 30);
  uint32_t colorsUsed = U32(bmp, 46);
  if (planes != 1) Bad("more than one plane");
  if (compression != 0) Bad("compressed bitmaps are not supported");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) Bad("unsupported bits per pixel");
  if (rawHeight == INT32_MIN) Bad("bad height");
  const bool topDown = rawHeight < 0;
  const int32_t height = topDown ? -rawHeight : rawHeight;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) Bad("bad dimensions");

  std::vector<uint32_t> palette;
  if (bits <= 8) {
    const uint32_t maxColors = 1u << bits;
    if (colorsUsed == 0 || colorsUsed > maxColors) colorsUsed = maxColors;
    const uint64_t paletteAt = 14 + uint64_t(headerSize);
    if (paletteAt + uint64_t(colorsUsed) * 4 > bmp.size()) Bad("palette outside the file");
    for (uint32_t i = 0; i < colorsUsed; ++i) {
      const size_t e = static_cast<size_t>(paletteAt + i * 4);  // blue, green, red, reserved
      palette.push_back(uint32_t(uint8_t(bmp[e + 2])) << 16 | uint32_t(uint8_t(bmp[e + 1])) << 8 | uint8_t(bmp[e]));
    }
  }
  const uint64_t stride = ((uint64_t(width) * bits + 31) / 32) * 4;
  if (dataAt > bmp.size() || stride * uint64_t(height) > bmp.size() - dataAt) Bad("pixel data outside the file");

  std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
  for (int32_t y = 0; y < height; ++y) {
    const int32_t fileRow = topDown ? y : height - 1 - y;
    const auto* row = reinterpret_cast<const uint8_t*>(bmp.data() + dataAt + stride * uint64_t(fileRow));
    uint8_t* out = rgb.data() + size_t(y) * size_t(width) * 3;
    for (int32_t x = 0; x < width; ++x) {
      uint32_t c;
      if (bits <= 8) {
        const uint32_t perByte = 8 / bits;
        const uint32_t shift = (perByte - 1 - x % perByte) * bits;
        const uint32_t index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
        if (index >= palette.size()) Bad("pixel index outside the palette");
        c = palette[index];
      } else {
        const uint8_t* p = row + size_t(x) * (bits / 8);
        c = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
      }
      out[x * 3] = uint8_t(c >> 16);
      out[x * 3 + 1] = uint8_t(c >> 8);
      out[x * 3 + 2] = uint8_t(c);
    }
  }
  bytes_ = bmp;
  width_ = width;
  height_ = height;
  bits_ = static_cast<int>(bits);
  palette_ = std::move(palette);
  rgb_ = std::move(rgb);
}

uint32_t TBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const uint8_t* p = rgb_.data() + (size_t(y) * size_t(width_) + size_t(x)) * 3;
  return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}

void TBitmap::Assign(TPersistent* source) {
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    bytes_ = b->bytes_;
    width_ = b->width_;
    height_ = b->height_;
    bits_ = b->bits_;
    palette_ = b->palette_;
    rgb_ = b->rgb_;
    return;
  }
  TPersistent::Assign(source);
}

TBitmap& TPicture::Bitmap() {
  if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
  return *bitmap_;
}

void TPicture::DefineProperties(TFiler& filer) {
  TPersistent::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); }, HasGraphic());
}

void TPicture::ReadData(TStream& stream) {
  const uint8_t nameLength = stream.ReadByte();
  std::string className(nameLength, '\0');
  stream.ReadBuffer(className.data(), nameLength);
  if (className != "TBitmap") throw EInvalidGraphic("Unsupported picture class " + className);
  const int64_t rest = stream.Remaining();
  if (rest < 4) throw EInvalidGraphic("Invalid bitmap: no data");
  // The byte count before the file; older writers put the file right after the name.
  char head[2];
  stream.ReadBuffer(head, 2);
  stream.Seek(-2, TSeekOrigin::soCurrent);
  int64_t size = rest;
  if (head[0] != 'B' || head[1] != 'M') {
    size = stream.ReadDWord();
    if (size > rest - 4) throw EInvalidGraphic("Invalid bitmap: length beyond the data");
  }
  std::string bytes(static_cast<size_t>(size), '\0');
  stream.ReadBuffer(bytes.data(), size);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromBytes(bytes);
  bitmap_ = std::move(bitmap);
  if (OnChange) OnChange();
}

void TPicture::WriteData(TStream& stream) const {
  static const std::string kName = "TBitmap";
  stream.WriteByte(static_cast<uint8_t>(kName.size()));
  stream.WriteString(kName);
  const std::string& bytes = bitmap_ ? bitmap_->Bytes() : std::string();
  stream.WriteDWord(static_cast<uint32_t>(bytes.size()));
  stream.WriteString(bytes);
}

void TPicture::Assign(TPersistent* source) {
  if (auto* p = dynamic_cast<TPicture*>(source)) {
    if (p == this) return;
    if (p->bitmap_)
      Bitmap().Assign(p->bitmap_.get());
    else
      bitmap_.reset();
    if (OnChange) OnChange();
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    Bitmap().Assign(b);
    if (OnChange) OnChange();
    return;
  }
  TPersistent::Assign(source);
}
