#pragma once
// The extra screen cursors and their identifiers. Entry k has the value -193 + k, so the
// values run from -193 (crZoomOut) up to -151 (crLinkSelect) without gaps and stay clear of
// the framework's own cursors (0 down to -22).
#include <array>

#include "core/IdentConversion.h"

inline constexpr int CursorIdentCount = 43;
inline constexpr int32_t FirstExtraCursor = -193;  // crZoomOut
inline constexpr int32_t LastExtraCursor = -151;   // crLinkSelect

// Entries 0 to 40 are drawn cursors carried by the executable under the identifier in upper
// case ("CRZOOMOUT"); entry 41 (crHandwriting) is the system cursor 32631, entry 42
// (crLinkSelect) the system hand cursor 32649.
extern const std::array<TIdentMapEntry, CursorIdentCount> CursorIdents;
