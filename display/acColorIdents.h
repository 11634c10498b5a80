#pragma once
// The extra colour identifiers. Values are in the platform's colour encoding: 0x00BBGGRR for
// a plain colour, the top bit set for a system colour by index, 0x20000000 for the framework's
// default colour.
#include <array>

#include "core/IdentConversion.h"

inline constexpr int ColorIdentCount = 25;

extern const std::array<TIdentMapEntry, ColorIdentCount> ColorIdents;
