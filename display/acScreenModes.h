#pragma once
// The screen colour depths and screen sizes the system-information component reports and
// sets. Both are held in one byte and streamed by identifier; the ordinals are part of the
// stored form, keep them.
#include <array>
#include <cstdint>

#include "core/TypeNames.h"

// The number in each name is the colour depth in bits per pixel.
enum TacScreenColorMode : uint8_t { sm4bit, sm8bit, sm16bit, sm24bit, sm32bit };

// Width, then height, in pixels. The first nine are landscape modes, the last nine the same
// sizes turned upright.
enum TacScreenResolution : uint8_t {
  sr640x480,
  sr800x600,
  sr1024x768,
  sr1152x864,
  sr1280x960,
  sr1280x1024,
  sr1600x1200,
  sr1920x1080,
  sr1920x1200,
  sr480x640,
  sr600x800,
  sr768x1024,
  sr864x1152,
  sr960x1280,
  sr1024x1280,
  sr1200x1600,
  sr1080x1920,
  sr1200x1920,
};

inline constexpr int ScreenColorModeCount = sm32bit + 1;
inline constexpr int ScreenResolutionCount = sr1200x1920 + 1;

extern const TTypeNames TacScreenColorModeNames;
extern const TTypeNames TacScreenResolutionNames;

// The pixel size of each resolution, indexed by its ordinal.
inline constexpr std::array<uint16_t, ScreenResolutionCount> ScreenResolutionWidth = {
    640, 800, 1024, 1152, 1280, 1280, 1600, 1920, 1920, 480, 600, 768, 864, 960, 1024, 1200, 1080, 1200};
inline constexpr std::array<uint16_t, ScreenResolutionCount> ScreenResolutionHeight = {
    480, 600, 768, 864, 960, 1024, 1200, 1080, 1200, 640, 800, 1024, 1152, 1280, 1280, 1600, 1920, 1920};
