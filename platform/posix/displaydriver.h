// The screen behind GetDC, GetDeviceCaps, GetSystemMetrics and
// ChangeDisplaySettingsA: a driver that opens connections to it. The X11
// driver (displayx11.cpp) is the default; tests put in a scripted one.
#pragma once

#include <memory>

#include "../winapi.h"

namespace winposix {

// One open connection to the screen. GetDC hands one out as the screen's
// device context; ReleaseDC destroys it.
class DisplayScreen {
 public:
  virtual ~DisplayScreen() = default;
  // Bits per pixel as Windows reports them (24-bit colour in 32-bit pixels
  // reads 32).
  virtual int BitsPerPixel() = 0;
  // The size of the primary monitor (the whole screen when there is no
  // other), as Windows reports the screen's size.
  virtual int Width() = 0;
  virtual int Height() = 0;
  // Whether the screen offers the mode the request's dmFields name
  // (DM_BITSPERPEL, DM_PELSWIDTH, DM_PELSHEIGHT; a size field left out keeps
  // its current value).
  virtual bool Offers(const DEVMODEA& mode) = 0;
  // Sets an offered mode; false when the screen refuses it.
  virtual bool Apply(const DEVMODEA& mode) = 0;
};

class DisplayDriver {
 public:
  virtual ~DisplayDriver() = default;
  // A connection to the screen, or null when there is none.
  virtual std::unique_ptr<DisplayScreen> Open() = 0;
};

// The X server named by $DISPLAY.
DisplayDriver& X11DisplayDriver();

// The driver in use.
DisplayDriver& CurrentDisplayDriver();

}  // namespace winposix

// Puts a driver in place of the X11 one (null restores it) and returns the
// one that was in use. For tests; the driver must outlive its use.
winposix::DisplayDriver* SetDisplayDriverForTesting(winposix::DisplayDriver* driver);
