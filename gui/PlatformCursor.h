#pragma once
// Platform cursor handles (from LoadCursorA) as entries of the screen's cursor table.
#include "Screen.h"
#include "platform/winapi.h"

// The cursor a handle stands for: a named system cursor or an image with its hot spot. An
// empty handle for a null handle or one that LoadCursorA did not give, so that putting it
// into the table leaves the index at the default cursor. The same handle gives the same
// cursor object each time.
TCursorHandle CursorFromHandle(HCURSOR handle);
