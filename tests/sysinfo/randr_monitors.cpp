#include "randr_monitors.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <string>

#include "platform/posix/displayx11.h"

RandRMonitors::RandRMonitors(const std::vector<Monitor>& monitors, int primary)
    : display_(winposix::ConnectX11Display()) {
  if (!display_) return;
  int major = 0, minor = 0;
  if (!XRRQueryVersion(display_, &major, &minor) || (major == 1 && minor < 5)) return;
  const Window root = DefaultRootWindow(display_);
  for (size_t i = 0; i < monitors.size(); ++i) {
    XRRMonitorInfo* info = XRRAllocateMonitor(display_, 0);
    const std::string name = "STOWAWAY-" + std::to_string(i);
    info->name = XInternAtom(display_, name.c_str(), False);
    info->primary = static_cast<int>(i) == primary;
    info->x = monitors[i].x;
    info->y = monitors[i].y;
    info->width = monitors[i].width;
    info->height = monitors[i].height;
    info->mwidth = monitors[i].width / 4;  // about 100 dots per inch
    info->mheight = monitors[i].height / 4;
    XRRSetMonitor(display_, root, info);
    XRRFreeMonitors(info);
  }
  XSync(display_, False);
  int count = 0;
  XRRMonitorInfo* list = XRRGetMonitors(display_, root, True, &count);
  set_ = list && count >= static_cast<int>(monitors.size());
  if (list) XRRFreeMonitors(list);
}

RandRMonitors::~RandRMonitors() {
  if (display_) XCloseDisplay(display_);
}
