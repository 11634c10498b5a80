// The display driver for the X server named by $DISPLAY: Xlib for the screen's
// depth and size, XRandR for the primary monitor's size, the sizes the screen
// offers and for changing the size.
//
// Each connection lives as long as one device context or one query. Errors the
// server reports for our requests are caught and turn into a refusal: Xlib's
// default handler would end the process.
#include "displayx11.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "displaydriver.h"
#include "dynlib.h"
#include "winapi.h"

using namespace winposix;

namespace {

// Xlib's and XRandR's calls, from libXrandr (Xlib comes with it), opened on first use.
struct XlibCalls {
  TDynamicLibrary lib{"libXrandr.so.2"};
  STOWAWAY_DYNAMIC_FUNCTION(XCloseDisplay)
  STOWAWAY_DYNAMIC_FUNCTION(XFree)
  STOWAWAY_DYNAMIC_FUNCTION(XListPixmapFormats)
  STOWAWAY_DYNAMIC_FUNCTION(XOpenDisplay)
  STOWAWAY_DYNAMIC_FUNCTION(XRRConfigCurrentConfiguration)
  STOWAWAY_DYNAMIC_FUNCTION(XRRConfigSizes)
  STOWAWAY_DYNAMIC_FUNCTION(XRRFreeMonitors)
  STOWAWAY_DYNAMIC_FUNCTION(XRRFreeScreenConfigInfo)
  STOWAWAY_DYNAMIC_FUNCTION(XRRGetMonitors)
  STOWAWAY_DYNAMIC_FUNCTION(XRRGetScreenInfo)
  STOWAWAY_DYNAMIC_FUNCTION(XRRQueryExtension)
  STOWAWAY_DYNAMIC_FUNCTION(XRRQueryVersion)
  STOWAWAY_DYNAMIC_FUNCTION(XRRRotations)
  STOWAWAY_DYNAMIC_FUNCTION(XRRSetScreenConfig)
  STOWAWAY_DYNAMIC_FUNCTION(XRRSizes)
  STOWAWAY_DYNAMIC_FUNCTION(XSetErrorHandler)
  STOWAWAY_DYNAMIC_FUNCTION(XSync)
};

const XlibCalls& Xlib() {
  static const XlibCalls calls;
  return calls;
}

int trappedErrors = 0;

int NoteError(Display*, XErrorEvent*) {
  ++trappedErrors;
  return 0;
}

// Catches the errors of the requests made while it lives; restores the error
// handler that was in place (the GUI toolkit's, say) when it ends.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display) : display_(display), previous_(Xlib().XSetErrorHandler(NoteError)) {
    trappedErrors = 0;
  }
  ~ErrorTrap() {
    Xlib().XSync(display_, False);
    Xlib().XSetErrorHandler(previous_);
  }
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  // Whether any request so far failed (waits for the server's answers).
  bool Failed() {
    Xlib().XSync(display_, False);
    return trappedErrors != 0;
  }

 private:
  Display* display_;
  XErrorHandler previous_;
};

using Size = std::pair<int, int>;

class X11Screen : public DisplayScreen {
 public:
  explicit X11Screen(Display* display) : display_(display), screen_(DefaultScreen(display)) {
    int eventBase = 0;
    int errorBase = 0;
    randr_ = Xlib().XRRQueryExtension(display_, &eventBase, &errorBase);
    int major = 0;
    int minor = 0;
    monitors_ = randr_ && Xlib().XRRQueryVersion(display_, &major, &minor) && (major > 1 || (major == 1 && minor >= 5));
  }
  ~X11Screen() override { Xlib().XCloseDisplay(display_); }

  int BitsPerPixel() override {
    std::vector<PixmapFormat> formats;
    int count = 0;
    if (XPixmapFormatValues* list = Xlib().XListPixmapFormats(display_, &count)) {
      for (int i = 0; i < count; ++i) formats.push_back({list[i].depth, list[i].bits_per_pixel});
      Xlib().XFree(list);
    }
    return WindowsBitsPerPixel(DefaultDepth(display_, screen_), formats);
  }
  int Width() override { return PrimarySize().first; }
  int Height() override { return PrimarySize().second; }

  bool Offers(const DEVMODEA& mode) override {
    // X cannot change the depth of a running server: only the current one.
    if ((mode.dmFields & DM_BITSPERPEL) && static_cast<int>(mode.dmBitsPerPel) != BitsPerPixel()) return false;
    if (!(mode.dmFields & (DM_PELSWIDTH | DM_PELSHEIGHT))) return true;
    // The size in use is on offer, also when it is a monitor's and not the screen's.
    const Size requested = Requested(mode);
    if (requested == Size(Width(), Height())) return true;
    const std::vector<Size> sizes = OfferedSizes();
    return std::find(sizes.begin(), sizes.end(), requested) != sizes.end();
  }

  bool Apply(const DEVMODEA& mode) override {
    if (!Offers(mode)) return false;
    if (!(mode.dmFields & (DM_PELSWIDTH | DM_PELSHEIGHT))) return true;
    const Size target = Requested(mode);
    if (target == Size(Width(), Height())) return true;
    if (!randr_) return false;
    ErrorTrap trap(display_);
    const Window root = RootWindow(display_, screen_);
    XRRScreenConfiguration* config = Xlib().XRRGetScreenInfo(display_, root);
    if (!config) return false;
    Rotation rotation = 0;
    Xlib().XRRConfigCurrentConfiguration(config, &rotation);
    int count = 0;
    XRRScreenSize* sizes = Xlib().XRRConfigSizes(config, &count);
    int index = -1;
    for (int i = 0; i < count && index < 0; ++i)
      if (Turned(sizes[i], rotation) == target) index = i;
    Status status = RRSetConfigFailed;
    if (index >= 0) status = Xlib().XRRSetScreenConfig(display_, config, root, index, rotation, CurrentTime);
    Xlib().XRRFreeScreenConfigInfo(config);
    return status == RRSetConfigSuccess && !trap.Failed();
  }

 private:
  // The size of the primary monitor, which is what Windows reports as the
  // screen: with several monitors side by side the X screen spans them all.
  // The whole screen when XRandR (1.5 or later) names no primary monitor.
  Size PrimarySize() {
    Size size{DisplayWidth(display_, screen_), DisplayHeight(display_, screen_)};
    if (!monitors_) return size;
    ErrorTrap trap(display_);
    int count = 0;
    XRRMonitorInfo* list = Xlib().XRRGetMonitors(display_, RootWindow(display_, screen_), True, &count);
    for (int i = 0; list && i < count; ++i)
      if (list[i].primary && list[i].width > 0 && list[i].height > 0) size = {list[i].width, list[i].height};
    if (list) Xlib().XRRFreeMonitors(list);
    return size;
  }

  // The size a request names; a size field it leaves out keeps its value.
  Size Requested(const DEVMODEA& mode) {
    return {(mode.dmFields & DM_PELSWIDTH) ? static_cast<int>(mode.dmPelsWidth) : Width(),
            (mode.dmFields & DM_PELSHEIGHT) ? static_cast<int>(mode.dmPelsHeight) : Height()};
  }

  // XRandR lists sizes unrotated; a screen turned a quarter shows them upright.
  static Size Turned(const XRRScreenSize& size, Rotation rotation) {
    if (rotation & (RR_Rotate_90 | RR_Rotate_270)) return {size.height, size.width};
    return {size.width, size.height};
  }

  // The sizes the screen can take as it is turned now; without XRandR only
  // the current one.
  std::vector<Size> OfferedSizes() {
    std::vector<Size> result;
    if (randr_) {
      ErrorTrap trap(display_);
      Rotation rotation = 0;
      Xlib().XRRRotations(display_, screen_, &rotation);
      int count = 0;
      XRRScreenSize* sizes = Xlib().XRRSizes(display_, screen_, &count);
      for (int i = 0; i < count; ++i) result.push_back(Turned(sizes[i], rotation));
    }
    if (result.empty()) result.push_back({Width(), Height()});
    return result;
  }

  Display* display_;
  int screen_;
  bool randr_ = false;
  bool monitors_ = false;  // the server lists monitors (XRandR 1.5)
};

class X11Driver : public DisplayDriver {
 public:
  std::unique_ptr<DisplayScreen> Open() override {
    Display* display = ConnectX11Display();
    if (!display) return nullptr;
    return std::make_unique<X11Screen>(display);
  }
};

}  // namespace

int winposix::WindowsBitsPerPixel(int depth, const std::vector<PixmapFormat>& formats) {
  if (depth != 24) return depth;
  for (const PixmapFormat& format : formats)
    if (format.depth == depth) return format.bitsPerPixel;
  return depth;
}

DisplayDriver& winposix::X11DisplayDriver() {
  static X11Driver driver;
  return driver;
}

Display* winposix::ConnectX11Display() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return nullptr;
  try {
    Xlib();
  } catch (const std::runtime_error&) {
    return nullptr;  // without Xlib there is no screen to reach
  }
  constexpr int kAttempts = 4;
  for (int attempt = 0;; ++attempt) {
    if (Display* display = Xlib().XOpenDisplay(nullptr)) return display;
    if (attempt + 1 == kAttempts) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(2 << attempt));
  }
}
