#pragma once
// acGraphics: display vocabulary added to the GUI framework — the screen colour-mode and
// resolution enumerations, the extra cursor and colour identifiers, and the conversions that
// let forms name them ("crLinkSelect", "clOrange") the way they name the framework's own.
#include "acColorIdents.h"
#include "acCursorIdents.h"
#include "acDisplayConversions.h"
#include "acScreenModes.h"

// The start-up step of the display extras. Run it once on the main thread, after the
// framework has registered its own cursor and colour identifiers and before any form is
// created.
void InitDisplayExtras();
