// The ScreenColorMode and ScreenResolution properties of TacSystemInfo.
#include "acSystemDisplay.h"

#include "display/acScreenColorMode.h"
#include "acSystemInfo.h"

namespace {
DEVMODEA EmptyRequest() {
  DEVMODEA mode{};
  mode.dmSize = sizeof(DEVMODEA);
  return mode;
}

// Asks whether the mode can be set and, when it can, sets it (and keeps it beyond this
// program). The answer of the second call is not looked at.
bool TrySetMode(DEVMODEA mode) {
  if (ChangeDisplaySettingsA(&mode, CDS_TEST) != DISP_CHANGE_SUCCESSFUL) return false;
  ChangeDisplaySettingsA(&mode, CDS_UPDATEREGISTRY);
  return true;
}
}  // namespace

TacScreenResolution ScreenResolutionOfSize(int width, int height) {
  TacScreenResolution result = sr640x480;
  for (int r = 0; r < ScreenResolutionCount; ++r)
    if (ScreenResolutionWidth[r] == width && ScreenResolutionHeight[r] == height)
      result = static_cast<TacScreenResolution>(r);
  return result;
}

DEVMODEA ColorModeRequest(TacScreenColorMode mode) {
  DEVMODEA request = EmptyRequest();
  request.dmBitsPerPel = static_cast<DWORD>(ScreenColorModeDepth(mode));
  request.dmFields = DM_BITSPERPEL;
  return request;
}

DEVMODEA ResolutionRequest(TacScreenResolution resolution) {
  DEVMODEA request = EmptyRequest();
  request.dmPelsWidth = ScreenResolutionWidth[resolution];
  request.dmPelsHeight = ScreenResolutionHeight[resolution];
  request.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  return request;
}

TacScreenColorMode TacSystemInfo::GetScreenColorMode() const { return ::GetScreenColorMode(); }

// Each step down goes through the setter again, and so through the edit rule again.
void TacSystemInfo::SetScreenColorMode(TacScreenColorMode value) {
  if (!CanEdit()) return;
  if (TrySetMode(ColorModeRequest(value))) return;
  if (value > sm4bit) SetScreenColorMode(static_cast<TacScreenColorMode>(value - 1));
}

TacScreenResolution TacSystemInfo::GetScreenResolution() const {
  return ScreenResolutionOfSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

// The step down follows the enumeration's order, not the pixel count: from sr480x640 the
// next one tried is sr1920x1200.
void TacSystemInfo::SetScreenResolution(TacScreenResolution value) {
  if (!CanEdit()) return;
  if (TrySetMode(ResolutionRequest(value))) return;
  if (value > sr640x480) SetScreenResolution(static_cast<TacScreenResolution>(value - 1));
}
