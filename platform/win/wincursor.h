// Win32 cursors: LoadCursorA for the system cursors (by IDC_ number) and for the cursor
// resources carried by the executable (an RT_GROUP_CURSOR by name with its RT_CURSOR image).
#pragma once

#include "wintypes.h"
#include "winresource.h"

struct HICON__ {
  int unused;
};
typedef struct HICON__* HICON;
typedef HICON HCURSOR;

#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_UPARROW MAKEINTRESOURCEA(32516)
#define IDC_PEN MAKEINTRESOURCEA(32631)
#define IDC_SIZENWSE MAKEINTRESOURCEA(32642)
#define IDC_SIZENESW MAKEINTRESOURCEA(32643)
#define IDC_SIZEWE MAKEINTRESOURCEA(32644)
#define IDC_SIZENS MAKEINTRESOURCEA(32645)
#define IDC_SIZEALL MAKEINTRESOURCEA(32646)
#define IDC_NO MAKEINTRESOURCEA(32648)
#define IDC_HAND MAKEINTRESOURCEA(32649)
#define IDC_APPSTARTING MAKEINTRESOURCEA(32650)
#define IDC_HELP MAKEINTRESOURCEA(32651)

// hInstance null: the system cursor with the IDC_ number lpCursorName. hInstance the
// executable's module (GetModuleHandleA(null)): its cursor resource of that name (or number),
// the 32 x 32 image of the group. Gives null with the last error set when there is no such
// cursor (ERROR_RESOURCE_NAME_NOT_FOUND, ERROR_RESOURCE_TYPE_NOT_FOUND) or its data is not a
// cursor this program can show (ERROR_INVALID_DATA). Cursors are shared: loading the same
// one again gives the same handle, and handles stay valid until the process ends.
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);
