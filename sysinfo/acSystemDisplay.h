#pragma once
// The display mode as TacSystemInfo reads and sets it: the colour depth and the screen size.
// A mode the screen refuses when asked (CDS_TEST) leads to the next lower one; nothing is
// reported, and a refusal of the last one leaves the display as it was.
#include "display/acScreenModes.h"
#include "platform/winapi.h"

// The resolution whose width and height are the screen's. All rows are walked and the last
// match wins; a size that matches no row (1366 x 768) gives sr640x480.
TacScreenResolution ScreenResolutionOfSize(int width, int height);

// Display-mode requests: a zeroed record with dmSize 156 and only the named fields set.
DEVMODEA ColorModeRequest(TacScreenColorMode mode);
DEVMODEA ResolutionRequest(TacScreenResolution resolution);
