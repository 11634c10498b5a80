#include "PlatformCursor.h"

#include <map>
#include <mutex>

#include "platform/cursorimage.h"

TCursorHandle CursorFromHandle(HCURSOR handle) {
  const winposix::CursorImage* image = winposix::CursorImageOf(handle);
  if (!image) return {};
  static std::mutex lock;
  static std::map<const winposix::CursorImage*, TCursorHandle> shapes;
  std::lock_guard<std::mutex> hold(lock);
  TCursorHandle& shape = shapes[image];
  if (!shape) {
    auto made = std::make_shared<TCursorShape>();
    made->CssName = image->systemName;
    made->Width = image->width;
    made->Height = image->height;
    made->HotX = image->hotX;
    made->HotY = image->hotY;
    made->Argb = image->argb;
    shape = std::move(made);
  }
  return shape;
}
