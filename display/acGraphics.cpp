#include "acGraphics.h"

void InitDisplayExtras() {
  // The extra cursor images are not loaded into the screen's cursor table yet: a later change
  // adds them (the 41 drawn cursors carried by the executable and the two system cursors).
  // Until then the extra cursor values convert by name but show the default cursor.
  InstallDisplayConversions();
}
