#include "screen_pointer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

ScreenPointer::ScreenPointer(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}

ScreenPointer::~ScreenPointer() {
  if (display_) XCloseDisplay(display_);
}

bool ScreenPointer::Find(const std::string& title) {
  if (!display_) return false;
  const Window root = DefaultRootWindow(display_);
  Window rootReturn = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display_, root, &rootReturn, &parent, &children, &count)) return false;
  bool found = false;
  for (unsigned i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    char* name = nullptr;
    if (XGetWindowAttributes(display_, children[i], &attributes) && attributes.map_state == IsViewable &&
        XFetchName(display_, children[i], &name) && name && title == name) {
      Window child = 0;
      found = XTranslateCoordinates(display_, children[i], root, 0, 0, &left_, &top_, &child);
    }
    if (name) XFree(name);
  }
  if (children) XFree(children);
  return found;
}

uint32_t ScreenPointer::ColourAt(int x, int y) {
  if (!display_) return 0;
  XImage* image = XGetImage(display_, DefaultRootWindow(display_), left_ + x, top_ + y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0;
  const uint32_t colour = XGetPixel(image, 0, 0) & 0xFFFFFF;
  XDestroyImage(image);
  return colour;
}

void ScreenPointer::Click(int x, int y) {
  if (!display_) return;
  XTestFakeMotionEvent(display_, -1, left_ + x, top_ + y, CurrentTime);
  XTestFakeButtonEvent(display_, 1, True, CurrentTime);
  XTestFakeButtonEvent(display_, 1, False, CurrentTime);
  XSync(display_, False);
}
