// A connection of its own to an X server that finds a window by its title, reads colours off
// the screen in it and clicks into it as the user does (XTest).
#pragma once

#include <cstdint>
#include <string>

struct _XDisplay;

class ScreenPointer {
 public:
  explicit ScreenPointer(const std::string& display);
  ~ScreenPointer();
  ScreenPointer(const ScreenPointer&) = delete;
  ScreenPointer& operator=(const ScreenPointer&) = delete;

  // Finds the mapped top-level window with the title; false when there is none.
  bool Find(const std::string& title);
  // The colour (0xRRGGBB) on screen at a point of that window.
  uint32_t ColourAt(int x, int y);
  // Moves the pointer to a point of that window and clicks the first button there.
  void Click(int x, int y);

 private:
  _XDisplay* display_;
  int left_ = 0, top_ = 0;
};
