#pragma once
// A private X server for tests: Xvfb on a display number it picks itself (-displayfd).
#include <string>
#include <sys/types.h>

class XvfbDisplay {
 public:
  // screen: WIDTHxHEIGHTxDEPTH of screen 0.
  explicit XvfbDisplay(const std::string& screen = "1024x768x24");
  ~XvfbDisplay();
  XvfbDisplay(const XvfbDisplay&) = delete;
  XvfbDisplay& operator=(const XvfbDisplay&) = delete;

  // ":N", or empty when Xvfb could not be started (Error() tells why).
  const std::string& Name() const { return name_; }
  const std::string& Error() const { return error_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
  std::string error_;
};
