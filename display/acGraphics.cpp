#include "acGraphics.h"

#include <string>

#include "gui/Screen.h"
#include "gui/Trace.h"
#include "acExtraCursors.h"

void InitDisplayExtras() {
  // Programs without a screen object (the command-line tool) have no cursor table to fill.
  if (Screen) GuiTrace("extra-cursors " + std::to_string(LoadExtraCursors(*Screen)));
  InstallDisplayConversions();
}
