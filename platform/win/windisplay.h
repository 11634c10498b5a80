// Win32 screen queries and display-mode changes: the screen's device context,
// its capabilities, the screen metrics and ChangeDisplaySettingsA.
//
// On Linux the screen is the X server named by $DISPLAY, reached through Xlib
// and XRandR (posix/displayx11.cpp). Without a reachable server GetDC gives
// null, the queries give 0 and ChangeDisplaySettingsA DISP_CHANGE_FAILED.
#pragma once

#include <cstddef>

#include "wintypes.h"

// A device context. Only the whole screen's exists on Linux (GetDC(nullptr)).
struct HDC__;
typedef struct HDC__* HDC;

#define CCHDEVICENAME 32
#define CCHFORMNAME 32

// The display-mode record with its Win32 layout (156 bytes). Only dmSize,
// dmFields, dmBitsPerPel, dmPelsWidth and dmPelsHeight are read on Linux.
typedef struct _devicemodeA {
  BYTE dmDeviceName[CCHDEVICENAME];
  WORD dmSpecVersion;
  WORD dmDriverVersion;
  WORD dmSize;
  WORD dmDriverExtra;
  DWORD dmFields;
  union {
    struct {
      short dmOrientation;
      short dmPaperSize;
      short dmPaperLength;
      short dmPaperWidth;
      short dmScale;
      short dmCopies;
      short dmDefaultSource;
      short dmPrintQuality;
    };
    struct {
      struct {
        LONG x;
        LONG y;
      } dmPosition;
      DWORD dmDisplayOrientation;
      DWORD dmDisplayFixedOutput;
    };
  };
  short dmColor;
  short dmDuplex;
  short dmYResolution;
  short dmTTOption;
  short dmCollate;
  BYTE dmFormName[CCHFORMNAME];
  WORD dmLogPixels;
  DWORD dmBitsPerPel;
  DWORD dmPelsWidth;
  DWORD dmPelsHeight;
  union {
    DWORD dmDisplayFlags;
    DWORD dmNup;
  };
  DWORD dmDisplayFrequency;
  DWORD dmICMMethod;
  DWORD dmICMIntent;
  DWORD dmMediaType;
  DWORD dmDitherType;
  DWORD dmReserved1;
  DWORD dmReserved2;
  DWORD dmPanningWidth;
  DWORD dmPanningHeight;
} DEVMODEA, *PDEVMODEA, *LPDEVMODEA;
static_assert(sizeof(DEVMODEA) == 156, "DEVMODEA is 156 bytes as on Windows");
static_assert(offsetof(DEVMODEA, dmSize) == 36 && offsetof(DEVMODEA, dmFields) == 40 &&
                  offsetof(DEVMODEA, dmBitsPerPel) == 104 && offsetof(DEVMODEA, dmPelsWidth) == 108 &&
                  offsetof(DEVMODEA, dmPelsHeight) == 112 && offsetof(DEVMODEA, dmDisplayFrequency) == 120,
              "DEVMODEA fields at their Win32 offsets");

// dmFields bits.
#define DM_BITSPERPEL 0x00040000
#define DM_PELSWIDTH 0x00080000
#define DM_PELSHEIGHT 0x00100000
#define DM_DISPLAYFREQUENCY 0x00400000

// ChangeDisplaySettingsA flags.
#define CDS_UPDATEREGISTRY 0x00000001
#define CDS_TEST 0x00000002

// ChangeDisplaySettingsA results.
#define DISP_CHANGE_SUCCESSFUL 0
#define DISP_CHANGE_RESTART 1
#define DISP_CHANGE_FAILED (-1)
#define DISP_CHANGE_BADMODE (-2)
#define DISP_CHANGE_NOTUPDATED (-3)
#define DISP_CHANGE_BADFLAGS (-4)
#define DISP_CHANGE_BADPARAM (-5)

// GetDeviceCaps indexes.
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14

#ifndef ERROR_INVALID_WINDOW_HANDLE
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#endif

// GetSystemMetrics indexes.
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1

// The device context of the whole screen when hWnd is null: on Linux a fresh
// connection to the X server, held until ReleaseDC. Null when there is no
// screen, or for a window (last error ERROR_INVALID_WINDOW_HANDLE).
HDC GetDC(HWND hWnd);
// Releases a context from GetDC: 1, or 0 for a handle GetDC did not give.
int ReleaseDC(HWND hWnd, HDC hDC);
// BITSPIXEL (bits per pixel of the screen), HORZRES and VERTRES (its size in
// pixels), PLANES (1); 0 for any other index or an unknown context.
int GetDeviceCaps(HDC hdc, int index);
// SM_CXSCREEN and SM_CYSCREEN: the primary screen's size in pixels; 0 for any
// other index or when there is no screen.
int GetSystemMetrics(int nIndex);
// Changes the display mode to the fields dmFields names (the colour depth and
// the screen size). CDS_TEST only asks whether the mode can be set; other
// flags set it (a mode change that is not tested first is tested anyway). A
// null record or one naming none of those fields changes nothing and succeeds.
// DISP_CHANGE_BADMODE for a mode the screen does not offer, DISP_CHANGE_FAILED
// when there is no screen or the change fails.
LONG ChangeDisplaySettingsA(DEVMODEA* lpDevMode, DWORD dwFlags);
