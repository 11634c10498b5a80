#pragma once
// TScreen: the screen's cursor table (index -> cursor) and the cursor shapes. The framework's
// own cursors (crDefault, crHandPoint, ...) are filled in when the screen is created; display
// extras add theirs under other indexes. A cursor is either a named system cursor (CSS name,
// as the toolkit knows it) or an image with a hot spot.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Graphics.h"

struct TCursorShape {
  std::string CssName;        // system cursor name, or empty for an image cursor
  int Width = 0, Height = 0;  // image cursor: ARGB pixels, rows from the top
  int HotX = 0, HotY = 0;
  std::vector<uint32_t> Argb;
  uintptr_t Native = 0;  // a toolkit that draws platform cursors itself: the HCURSOR
};
using TCursorHandle = std::shared_ptr<const TCursorShape>;

class TScreen {
 public:
  TScreen();

  // The cursor at an index; crDefault's (an empty handle: the toolkit's default) for an index
  // without a cursor of its own.
  TCursorHandle Cursors(int index) const;
  // Sets (or with an empty handle, removes) the cursor at an index.
  void SetCursors(int index, TCursorHandle cursor);

 private:
  std::map<int, TCursorHandle> cursors_;
};

// The screen object, created with the application object.
extern TScreen* Screen;
