#include "extra_screen_size.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstring>
#include <string>

#include "platform/posix/displayx11.h"

ExtraScreenSize::ExtraScreenSize(int width, int height) : display_(winposix::ConnectX11Display()) {
  if (!display_) return;
  const Window root = DefaultRootWindow(display_);
  XRRScreenResources* resources = XRRGetScreenResources(display_, root);
  if (resources && resources->noutput > 0) {
    std::string name = std::to_string(width) + "x" + std::to_string(height);
    XRRModeInfo mode;
    std::memset(&mode, 0, sizeof mode);
    mode.width = width;
    mode.height = height;
    mode.dotClock = 40000000;
    mode.hTotal = width + 256;
    mode.vTotal = height + 28;
    mode.name = name.data();
    mode.nameLength = static_cast<unsigned>(name.size());
    XRRAddOutputMode(display_, resources->outputs[0], XRRCreateMode(display_, root, &mode));
    XSync(display_, False);
  }
  if (resources) XRRFreeScreenResources(resources);
}

ExtraScreenSize::~ExtraScreenSize() {
  if (display_) XCloseDisplay(display_);
}
