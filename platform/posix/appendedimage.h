// A resource image appended to an executable file.
//
// An executable can carry its resources behind everything the loader maps: a section image
// (the layout of resources.h) followed by a 32-byte trailer at the very end of the file, all
// integers little-endian:
//
//   0   magic "STWYAPX1" (8 bytes)
//   8   offset of the image from the start of the file (64 bits)
//   16  size of the image in bytes (64 bits)
//   24  8 zero bytes
//
// The image starts on a 16-byte boundary. Replacing the resources rewrites only the image
// and the trailer; no loaded part of the program moves. An appended image takes the place
// of the resources linked into the program (all of them, not entry by entry).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace winposix {

inline constexpr char kAppendedMagic[8] = {'S', 'T', 'W', 'Y', 'A', 'P', 'X', '1'};
inline constexpr size_t kAppendedTrailerSize = 32;

struct AppendedImage {
  uint64_t offset = 0;  // of the image in the file
  uint64_t size = 0;
};

// Finds the appended image of a file's bytes. Returns false when the file ends in no
// trailer; throws std::runtime_error when the trailer names bytes outside the file.
bool FindAppendedImage(const uint8_t* file, size_t size, AppendedImage& image);

// The trailer for an image at `offset` of `size` bytes.
std::string AppendedTrailer(uint64_t offset, uint64_t size);

}  // namespace winposix
