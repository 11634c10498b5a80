// Sees windows as a compositing manager does: every top-level window of a private X server is
// redirected into a pixmap of its own, and the pixmap of the window with a given title is kept
// (XComposite names it), so what the window last showed can be read after it has closed.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

struct _XDisplay;

class WindowCapture {
 public:
  // Starts watching the X server `display` for a window titled `title`.
  WindowCapture(const std::string& display, const std::string& title);
  ~WindowCapture();
  WindowCapture(const WindowCapture&) = delete;
  WindowCapture& operator=(const WindowCapture&) = delete;

  // Empty when the server could not be watched (Error() tells why).
  const std::string& Error() const { return error_; }

  struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;  // 0xRRGGBB, row by row
    uint32_t At(int x, int y) const { return rgb[size_t(y) * width + x]; }
  };
  // Stops watching and reads what the window showed last (empty when it was never mapped).
  Image Last();

 private:
  void Watch();
  void Keep(unsigned long window);

  _XDisplay* display_ = nullptr;
  std::string title_;
  std::string error_;
  std::atomic<bool> stop_{false};
  std::thread watcher_;
  unsigned long window_ = 0;  // the titled window once mapped
  unsigned long pixmap_ = 0;  // its contents
  int width_ = 0, height_ = 0;
};
