// GetScreenColorMode: the screen's bits per pixel as a TacScreenColorMode.
#include "acScreenColorMode.h"

#include "platform/winapi.h"

namespace {
constexpr int kDepths[ScreenColorModeCount] = {4, 8, 16, 24, 32};

// The device context of the whole screen, released however the reading ends.
class ScreenContext {
 public:
  ScreenContext() : dc_(GetDC(nullptr)) {}
  ~ScreenContext() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenContext(const ScreenContext&) = delete;
  ScreenContext& operator=(const ScreenContext&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};
}  // namespace

int ScreenColorModeDepth(TacScreenColorMode mode) { return kDepths[mode]; }

TacScreenColorMode ScreenColorModeOfDepth(int bitsPerPixel) {
  for (int m = 0; m < ScreenColorModeCount; ++m)
    if (kDepths[m] == bitsPerPixel) return static_cast<TacScreenColorMode>(m);
  return sm8bit;
}

TacScreenColorMode GetScreenColorMode() {
  ScreenContext screen;
  return ScreenColorModeOfDepth(GetDeviceCaps(screen.Get(), BITSPIXEL));
}
