// What a cursor handle from LoadCursorA stands for on Linux, for the windowing backend that
// shows it: a system cursor's name in the toolkit's theme, or the decoded pixels of a cursor
// resource (see posix/cursors.h for how they are decoded).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/winapi.h"

namespace winposix {

struct CursorImage {
  std::string systemName;  // a system cursor: its name in the toolkit's cursor theme
  int width = 0, height = 0;
  int hotX = 0, hotY = 0;
  int bitCount = 0;            // colour depth of the resource image (1 or 4)
  std::vector<uint32_t> argb;  // width * height pixels 0xAARRGGBB, rows from the top
};

// What a handle from LoadCursorA stands for; null for a null handle or one that LoadCursorA
// did not give.
const CursorImage* CursorImageOf(HCURSOR cursor);

}  // namespace winposix
