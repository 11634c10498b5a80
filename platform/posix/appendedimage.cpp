#include "appendedimage.h"

#include <cstring>
#include <stdexcept>

namespace winposix {

namespace {

uint64_t Get64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

}  // namespace

bool FindAppendedImage(const uint8_t* file, size_t size, AppendedImage& image) {
  if (size < kAppendedTrailerSize) return false;
  const uint8_t* trailer = file + size - kAppendedTrailerSize;
  if (std::memcmp(trailer, kAppendedMagic, 8) != 0) return false;
  const uint64_t offset = Get64(trailer + 8), length = Get64(trailer + 16);
  const uint64_t room = size - kAppendedTrailerSize;
  if (offset > room || length > room - offset)
    throw std::runtime_error("the appended resource image lies outside the file");
  image.offset = offset;
  image.size = length;
  return true;
}

std::string AppendedTrailer(uint64_t offset, uint64_t size) {
  std::string t(kAppendedTrailerSize, '\0');
  std::memcpy(t.data(), kAppendedMagic, 8);
  for (int i = 0; i < 8; ++i) {
    t[8 + i] = static_cast<char>((offset >> (8 * i)) & 0xFF);
    t[16 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
  }
  return t;
}

}  // namespace winposix
