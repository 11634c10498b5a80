#include "IdentConversion.h"

#include <map>

#include "TypeNames.h"

bool IdentToInt(const std::string& ident, int32_t& value, const TIdentMap& map) {
  for (const auto& e : map)
    if (SameText(e.Name, ident)) {
      value = e.Value;
      return true;
    }
  return false;
}

bool IntToIdent(int32_t value, std::string& ident, const TIdentMap& map) {
  for (const auto& e : map)
    if (e.Value == value) {
      ident = e.Name;
      return true;
    }
  return false;
}

namespace {
struct Pair {
  TIdentToInt toInt;
  TIntToIdent toIdent;
};
std::map<std::string, Pair>& Installed() {
  static std::map<std::string, Pair> installed;
  return installed;
}
}  // namespace

void RegisterIntegerConsts(const std::string& typeKey, TIdentToInt identToInt, TIntToIdent intToIdent) {
  Installed()[typeKey] = Pair{std::move(identToInt), std::move(intToIdent)};
}

TIdentToInt FindIdentToInt(const std::string& typeKey) {
  auto it = Installed().find(typeKey);
  return it == Installed().end() ? TIdentToInt() : it->second.toInt;
}

TIntToIdent FindIntToIdent(const std::string& typeKey) {
  auto it = Installed().find(typeKey);
  return it == Installed().end() ? TIntToIdent() : it->second.toIdent;
}
