// The X11 display driver's rule for bits per pixel, apart for testing.
#pragma once

#include <vector>

namespace winposix {

// A pixmap format the X server lists: a depth and the bits each pixel of that
// depth takes in memory.
struct PixmapFormat {
    int depth;
    int bitsPerPixel;
};

// Bits per pixel as Windows would report them for a screen of this depth:
// 24-bit colour takes the bits per pixel of its pixmap format (32 on every
// current server), any other depth is its own number (15 reads 15, 16 reads 16).
int WindowsBitsPerPixel(int depth, const std::vector<PixmapFormat>& formats);

} // namespace winposix
