// GetDC, ReleaseDC, GetDeviceCaps, GetSystemMetrics and ChangeDisplaySettingsA
// over the display driver (the X server by default).
#include <memory>
#include <mutex>
#include <set>

#include "displaydriver.h"
#include "winapi.h"

using namespace winposix;

// The screen's device context: an open connection to the screen.
struct HDC__ {
  std::unique_ptr<DisplayScreen> screen;
};

namespace {

std::mutex driverMutex;
DisplayDriver* testDriver = nullptr;

// The contexts GetDC gave and ReleaseDC has not yet taken back, so that a
// stale or foreign handle is refused instead of being used.
std::mutex contextsMutex;
std::set<HDC>& LiveContexts() {
  static std::set<HDC> contexts;
  return contexts;
}

DisplayScreen* ScreenOf(HDC hdc) {
  std::lock_guard<std::mutex> lock(contextsMutex);
  return LiveContexts().count(hdc) ? hdc->screen.get() : nullptr;
}

constexpr DWORD kModeFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;

}  // namespace

DisplayDriver& winposix::CurrentDisplayDriver() {
  std::lock_guard<std::mutex> lock(driverMutex);
  return testDriver ? *testDriver : X11DisplayDriver();
}

DisplayDriver* SetDisplayDriverForTesting(DisplayDriver* driver) {
  std::lock_guard<std::mutex> lock(driverMutex);
  DisplayDriver* previous = testDriver ? testDriver : &X11DisplayDriver();
  testDriver = driver;
  return previous;
}

HDC GetDC(HWND hWnd) {
  if (hWnd) {
    // No windows exist in this subset.
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  std::unique_ptr<DisplayScreen> screen = CurrentDisplayDriver().Open();
  if (!screen) return nullptr;
  auto context = std::make_unique<HDC__>();
  context->screen = std::move(screen);
  std::lock_guard<std::mutex> lock(contextsMutex);
  LiveContexts().insert(context.get());
  return context.release();
}

int ReleaseDC(HWND, HDC hDC) {
  {
    std::lock_guard<std::mutex> lock(contextsMutex);
    if (!hDC || LiveContexts().erase(hDC) == 0) return 0;
  }
  delete hDC;
  return 1;
}

int GetDeviceCaps(HDC hdc, int index) {
  DisplayScreen* screen = ScreenOf(hdc);
  if (!screen) return 0;
  switch (index) {
    case BITSPIXEL:
      return screen->BitsPerPixel();
    case HORZRES:
      return screen->Width();
    case VERTRES:
      return screen->Height();
    case PLANES:
      return 1;
    default:
      return 0;
  }
}

int GetSystemMetrics(int nIndex) {
  if (nIndex != SM_CXSCREEN && nIndex != SM_CYSCREEN) return 0;
  std::unique_ptr<DisplayScreen> screen = CurrentDisplayDriver().Open();
  if (!screen) return 0;
  return nIndex == SM_CXSCREEN ? screen->Width() : screen->Height();
}

LONG ChangeDisplaySettingsA(DEVMODEA* lpDevMode, DWORD dwFlags) {
  if (!lpDevMode || (lpDevMode->dmFields & kModeFields) == 0) return DISP_CHANGE_SUCCESSFUL;
  // The fields read here must lie inside the record the caller declares.
  if (lpDevMode->dmSize < offsetof(DEVMODEA, dmPelsHeight) + sizeof(DWORD)) return DISP_CHANGE_BADPARAM;
  std::unique_ptr<DisplayScreen> screen = CurrentDisplayDriver().Open();
  if (!screen) return DISP_CHANGE_FAILED;
  if (!screen->Offers(*lpDevMode)) return DISP_CHANGE_BADMODE;
  if (dwFlags & CDS_TEST) return DISP_CHANGE_SUCCESSFUL;
  return screen->Apply(*lpDevMode) ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
}
