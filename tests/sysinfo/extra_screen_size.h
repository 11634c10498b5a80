// Makes the X server of $DISPLAY offer one more screen size, for as long as the object lives:
// XRandR drops a mode together with the client that made it.
#pragma once

struct _XDisplay;

class ExtraScreenSize {
 public:
  ExtraScreenSize(int width, int height);
  ~ExtraScreenSize();
  ExtraScreenSize(const ExtraScreenSize&) = delete;
  ExtraScreenSize& operator=(const ExtraScreenSize&) = delete;

 private:
  _XDisplay* display_;
};
