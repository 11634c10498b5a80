#include "acExtraCursors.h"

#include <string>

#include "gui/PlatformCursor.h"
#include "acCursorIdents.h"

namespace {

constexpr int kDrawnCursors = 41;  // entries 0 to 40 of CursorIdents

std::string UpperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

}  // namespace

int LoadExtraCursors(TScreen& screen) {
  int loaded = 0;
  auto put = [&](int index, HCURSOR handle) {
    TCursorHandle cursor = CursorFromHandle(handle);
    if (cursor) ++loaded;
    screen.SetCursors(index, std::move(cursor));
  };
  put(LastExtraCursor, LoadCursorA(nullptr, IDC_HAND));     // crLinkSelect
  put(LastExtraCursor - 1, LoadCursorA(nullptr, IDC_PEN));  // crHandwriting
  const HMODULE own = GetModuleHandleA(nullptr);
  for (int j = 0; j < kDrawnCursors; ++j) {
    const TIdentMapEntry& entry = CursorIdents[kDrawnCursors - 1 - j];
    const std::string name = UpperAscii(entry.Name);
    put(LastExtraCursor - 2 - j, LoadCursorA(own, name.c_str()));
  }
  return loaded;
}
