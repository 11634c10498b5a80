#pragma once
// Identifier conversions of integer types (cursors, colours): tables of value / identifier
// pairs, and a registry of installed conversion pairs keyed by the integer type's name. The
// form reader and writer use the pair installed for an Integer property's type.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TIdentMapEntry {
  int32_t Value;
  std::string Name;
};
using TIdentMap = std::vector<TIdentMapEntry>;

using TIdentToInt = std::function<bool(const std::string& ident, int32_t& value)>;
using TIntToIdent = std::function<bool(int32_t value, std::string& ident)>;

// First entry whose name equals ident, ignoring case.
bool IdentToInt(const std::string& ident, int32_t& value, const TIdentMap& map);
// First entry with the value.
bool IntToIdent(int32_t value, std::string& ident, const TIdentMap& map);

// Installs (or replaces) the pair for an integer type.
void RegisterIntegerConsts(const std::string& typeKey, TIdentToInt identToInt, TIntToIdent intToIdent);
// The installed conversion of a type, or an empty function.
TIdentToInt FindIdentToInt(const std::string& typeKey);
TIntToIdent FindIntToIdent(const std::string& typeKey);
