// Divides the X screen of $DISPLAY into RandR monitors, for as long as the object lives:
// the server drops the monitors a client set together with its connection.
#pragma once

#include <vector>

struct _XDisplay;

class RandRMonitors {
 public:
  struct Monitor {
    int x, y, width, height;
  };
  // primary: the index of the monitor marked primary, -1 for none.
  RandRMonitors(const std::vector<Monitor>& monitors, int primary);
  ~RandRMonitors();
  RandRMonitors(const RandRMonitors&) = delete;
  RandRMonitors& operator=(const RandRMonitors&) = delete;

  // Whether the server took them (it lists monitors since RandR 1.5).
  bool Set() const { return set_; }

 private:
  _XDisplay* display_;
  bool set_ = false;
};
