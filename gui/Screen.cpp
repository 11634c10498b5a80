#include "Screen.h"

TScreen* Screen = nullptr;

TScreen::TScreen() {
  for (const TIdentMapEntry& e : CursorIdentMap()) {
    const std::string css = CursorCssName(e.Value);
    if (css.empty()) continue;
    auto shape = std::make_shared<TCursorShape>();
    shape->CssName = css;
    cursors_[e.Value] = std::move(shape);
  }
}

TCursorHandle TScreen::Cursors(int index) const {
  auto it = cursors_.find(index);
  return it == cursors_.end() ? TCursorHandle() : it->second;
}

void TScreen::SetCursors(int index, TCursorHandle cursor) {
  if (cursor)
    cursors_[index] = std::move(cursor);
  else
    cursors_.erase(index);
}
