// Cursor handles on Windows: the system draws them, so the shape only carries the handle.
#include <map>
#include <mutex>

#include "PlatformCursor.h"

TCursorHandle CursorFromHandle(HCURSOR handle) {
  if (!handle) return {};
  static std::mutex lock;
  static std::map<HCURSOR, TCursorHandle> shapes;
  std::lock_guard<std::mutex> hold(lock);
  TCursorHandle& shape = shapes[handle];
  if (!shape) {
    auto made = std::make_shared<TCursorShape>();
    made->Native = reinterpret_cast<uintptr_t>(handle);
    ICONINFO info{};
    if (GetIconInfo(handle, &info)) {
      made->HotX = static_cast<int>(info.xHotspot);
      made->HotY = static_cast<int>(info.yHotspot);
      BITMAP bm{};
      if (info.hbmMask && GetObjectA(info.hbmMask, sizeof bm, &bm)) {
        made->Width = bm.bmWidth;
        made->Height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
      }
      if (info.hbmMask) DeleteObject(info.hbmMask);
      if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    shape = std::move(made);
  }
  return shape;
}
