#pragma once
// The extra cursors put into the screen's cursor table at start-up.
class TScreen;

// Loads the two system cursors (crLinkSelect: the hand, crHandwriting: the pen) and the 41
// drawn cursors that the executable carries as resources named by their identifier in upper
// case ("CRZOOMOUT"), each into the index of its identifier. A cursor that cannot be loaded
// leaves its index without a cursor of its own, so the default cursor shows there; the others
// are loaded all the same. Returns how many of the 43 were loaded.
int LoadExtraCursors(TScreen& screen);
