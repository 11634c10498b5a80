// The committed cursor pictures as the tests read them, and the pixels a picture must show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CursorArt.h"

// The picture of a cursor identifier ("crZoomOut") from the source tree.
CursorArt ReadCommittedArt(const std::string& identifier);

// What the picture shows as ARGB, rows from the top: palette colours opaque, '.' transparent,
// '~' (inverting) opaque black with opaque white on transparent pixels beside it.
std::vector<uint32_t> ExpectedArgb(const CursorArt& art);
