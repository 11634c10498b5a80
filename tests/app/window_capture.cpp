#include "window_capture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>
#include <poll.h>

namespace {

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

std::string TitleOf(Display* display, Window window) {
  char* name = nullptr;
  std::string title;
  if (XFetchName(display, window, &name) && name) title = name;
  if (name) XFree(name);
  return title;
}

}  // namespace

WindowCapture::WindowCapture(const std::string& display, const std::string& title) : title_(title) {
  display_ = XOpenDisplay(display.c_str());
  if (!display_) {
    error_ = "cannot connect to " + display;
    return;
  }
  int event = 0, error = 0, major = 0, minor = 2;
  if (!XCompositeQueryExtension(display_, &event, &error) || !XCompositeQueryVersion(display_, &major, &minor) ||
      (major == 0 && minor < 2)) {
    error_ = "the X server has no Composite extension 0.2";
    return;
  }
  XSetErrorHandler(IgnoreErrors);  // a window may go before its pixmap is named
  const Window root = DefaultRootWindow(display_);
  XCompositeRedirectSubwindows(display_, root, CompositeRedirectManual);
  XSelectInput(display_, root, SubstructureNotifyMask);
  XSync(display_, False);
  watcher_ = std::thread([this] { Watch(); });
}

WindowCapture::~WindowCapture() {
  stop_ = true;
  if (watcher_.joinable()) watcher_.join();
  if (display_) XCloseDisplay(display_);
}

void WindowCapture::Keep(unsigned long window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display_, window, &attributes) || attributes.map_state != IsViewable) return;
  if (attributes.width == width_ && attributes.height == height_ && window == window_ && pixmap_) return;
  const Pixmap pixmap = XCompositeNameWindowPixmap(display_, window);
  XSync(display_, False);
  if (!pixmap) return;
  if (pixmap_) XFreePixmap(display_, pixmap_);
  window_ = window;
  pixmap_ = pixmap;
  width_ = attributes.width;
  height_ = attributes.height;
}

void WindowCapture::Watch() {
  pollfd connection{ConnectionNumber(display_), POLLIN, 0};
  while (!stop_) {
    while (XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == MapNotify && TitleOf(display_, event.xmap.window) == title_)
        Keep(event.xmap.window);
      else if (event.type == ConfigureNotify && event.xconfigure.window == window_)
        Keep(window_);  // a new size brings a new pixmap
    }
    poll(&connection, 1, 10);
  }
}

WindowCapture::Image WindowCapture::Last() {
  stop_ = true;
  if (watcher_.joinable()) watcher_.join();
  Image image;
  if (!display_ || !pixmap_) return image;
  XImage* pixels = XGetImage(display_, pixmap_, 0, 0, width_, height_, AllPlanes, ZPixmap);
  if (!pixels) return image;
  image.width = width_;
  image.height = height_;
  image.rgb.resize(size_t(width_) * height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) image.rgb[size_t(y) * width_ + x] = XGetPixel(pixels, x, y) & 0xFFFFFF;
  XDestroyImage(pixels);
  return image;
}
