// Cursors on Linux: what a cursor handle from LoadCursorA stands for, and the decoding of the
// Win32 cursor resources (RT_GROUP_CURSOR directory, RT_CURSOR image) into ARGB pixels.
//
// An image pixel is decoded from its AND-mask bit and its XOR-bitmap colour the way Windows
// draws it: AND 0 shows the colour; AND 1 with black is transparent; AND 1 with any other
// colour inverts the screen beneath. ARGB cannot invert, so an inverting pixel is shown as
// opaque black, and a transparent pixel next to one (left, right, above or below) as opaque
// white: the shape stays visible on dark and light backgrounds alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "../cursorimage.h"
#include "../win/wincursor.h"

namespace winposix {

// The toolkit's name of the system cursor with that IDC_ number, or null when there is none.
const char* SystemCursorName(uint32_t idc);

// The 32 x 32 entry of an RT_GROUP_CURSOR directory: its RT_CURSOR id and its size in bytes.
// False for a malformed directory (short data, wrong reserved or type field, entries beyond
// the data) or one without such an entry.
bool PickGroupCursor(const uint8_t* data, size_t size, uint16_t& id, uint32_t& bytes);

// Decodes RT_CURSOR data (hot spot, BITMAPINFOHEADER, colour table, XOR bitmap, AND mask) of
// a 32 x 32 image with 1 or 4 bits per pixel, uncompressed. False for anything else, or data
// shorter than the image needs; `image` is then unchanged.
bool DecodeCursorImage(const uint8_t* data, size_t size, CursorImage& image);

}  // namespace winposix
