// The cursor pictures kept as text (display/cursors/<identifier>.txt) and their encoding as
// Win32 cursor resources.
//
// A picture file holds a line "hotspot X Y" and then 32 rows of 32 characters, one per pixel:
// '0' to '9' and 'A' to 'F' name an entry of the standard 16-colour palette ('0' black,
// 'F' white), '.' is transparent and '~' inverts the screen beneath. Cursors whose identifier
// begins with "cr3d" have 16 colours; all others are black and white and may use only '0',
// 'F', '.' and '~'.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct CursorArt {
  std::string Identifier;  // e.g. "crZoomOut"
  bool Colour = false;     // 16 colours (cr3d...) rather than black and white
  int HotX = 0, HotY = 0;
  std::array<std::string, 32> Rows;  // 32 characters each, from the top
};

// The standard 16-colour palette as 0x00RRGGBB, indexed by the picture characters '0'..'F'.
const std::array<uint32_t, 16>& CursorPalette();

// Reads and checks a picture. Throws std::runtime_error with "FILE:LINE: what is wrong".
CursorArt ParseCursorArt(const std::string& identifier, const std::string& text, const std::string& fileName);

// The RT_CURSOR data of the picture: hot spot, BITMAPINFOHEADER (32 x 64, 1 or 4 bits per
// pixel), colour table, XOR bitmap and AND mask, rows bottom-up.
std::string EncodeCursorImage(const CursorArt& art);

// The RT_GROUP_CURSOR data naming one image: header and one directory entry.
std::string EncodeCursorGroup(const CursorArt& art, uint16_t imageId, uint32_t imageSize);
