#pragma once
// The screen's colour depth as a TacScreenColorMode, and the depth of each mode.
#include "acScreenModes.h"

// The bits per pixel of a mode: 4, 8, 16, 24 or 32.
int ScreenColorModeDepth(TacScreenColorMode mode);

// The mode of a depth in bits per pixel; a depth that names no mode (1, 15, ...) gives sm8bit.
TacScreenColorMode ScreenColorModeOfDepth(int bitsPerPixel);

// The colour mode of the whole screen, read from its device context. Without a screen the
// depth reads 0 and the result is sm8bit.
TacScreenColorMode GetScreenColorMode();
