#include "acDisplayConversions.h"

#include <span>

#include "core/IdentConversion.h"
#include "core/TypeNames.h"
#include "acColorIdents.h"
#include "acCursorIdents.h"

namespace {

// The pair installed for a type before ours; either half may be empty.
struct TFallback {
  TIdentToInt toInt;
  TIntToIdent toIdent;
};

TFallback& CursorFallback() {
  static TFallback fallback;
  return fallback;
}

TFallback& ColorFallback() {
  static TFallback fallback;
  return fallback;
}

bool TableToInt(std::span<const TIdentMapEntry> table, const std::string& ident, int32_t& value) {
  for (const auto& e : table)
    if (SameText(e.Name, ident)) {
      value = e.Value;
      return true;
    }
  return false;
}

bool TableToIdent(std::span<const TIdentMapEntry> table, int32_t value, std::string& ident) {
  for (const auto& e : table)
    if (e.Value == value) {
      ident = e.Name;
      return true;
    }
  return false;
}

using TToIntFn = bool (*)(const std::string&, int32_t&);
using TToIdentFn = bool (*)(int32_t, std::string&);

// Installs our pair for a type unless it is already the installed one; the pair it replaces
// becomes the fallback.
void InstallAhead(const std::string& typeKey, TToIntFn toInt, TToIdentFn toIdent, TFallback& fallback) {
  TIdentToInt currentToInt = FindIdentToInt(typeKey);
  TIntToIdent currentToIdent = FindIntToIdent(typeKey);
  const TToIntFn* installedToInt = currentToInt.target<TToIntFn>();
  const TToIdentFn* installedToIdent = currentToIdent.target<TToIdentFn>();
  const bool ours = (installedToInt && *installedToInt == toInt) || (installedToIdent && *installedToIdent == toIdent);
  if (!ours) fallback = TFallback{std::move(currentToInt), std::move(currentToIdent)};
  RegisterIntegerConsts(typeKey, toInt, toIdent);
}

}  // namespace

bool ExtCursorToIdent(int32_t cursor, std::string& ident) {
  if (TableToIdent(CursorIdents, cursor, ident)) return true;
  const auto& fallback = CursorFallback().toIdent;
  return fallback && fallback(cursor, ident);
}

bool ExtIdentToCursor(const std::string& ident, int32_t& cursor) {
  if (TableToInt(CursorIdents, ident, cursor)) return true;
  const auto& fallback = CursorFallback().toInt;
  return fallback && fallback(ident, cursor);
}

bool ExtColorToIdent(int32_t color, std::string& ident) {
  if (TableToIdent(ColorIdents, color, ident)) return true;
  const auto& fallback = ColorFallback().toIdent;
  return fallback && fallback(color, ident);
}

bool ExtIdentToColor(const std::string& ident, int32_t& color) {
  if (TableToInt(ColorIdents, ident, color)) return true;
  const auto& fallback = ColorFallback().toInt;
  return fallback && fallback(ident, color);
}

void InstallDisplayConversions() {
  InstallAhead("TCursor", ExtIdentToCursor, ExtCursorToIdent, CursorFallback());
  InstallAhead("TColor", ExtIdentToColor, ExtColorToIdent, ColorFallback());
}
