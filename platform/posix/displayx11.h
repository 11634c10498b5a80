// Parts of the X11 display driver that tests use too: the connection to the server and the
// rule for bits per pixel.
#pragma once

#include <vector>

struct _XDisplay;

namespace winposix {

// A connection to the X server of $DISPLAY, or null when there is none. A server may drop a
// connection that arrives just as another one closes (Xvfb does, now and then), so a failed
// attempt is tried again a few times after a short pause. Close it with XCloseDisplay.
_XDisplay* ConnectX11Display();

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

}  // namespace winposix
