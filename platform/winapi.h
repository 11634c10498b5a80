// The Windows API as the library calls it.
//
// On Windows this is the real API. On Linux the subset the library needs is
// declared here with Win32's names, types and constants and implemented over
// POSIX in posix/: drive C: is a per-user prefix directory, Z: the Unix root,
// and the registry lives in Wine-format files inside the prefix.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>
#include <winsock2.h>
#include <lmcons.h>
// <windows.h> maps these names to their A or W functions by macro; the library calls the
// A functions by their full names, and the framework has methods of these names.
#undef GetObject
#undef GetClassInfo
#undef MessageBox
#undef CreateWindow
#undef GetClassName
#undef DrawText
#undef LoadCursor
#undef CreateForm
#undef RegisterClass
#ifndef IDC_PEN
#define IDC_PEN MAKEINTRESOURCEA(32631)
#endif
#else
#include "win/wintypes.h"
#include "win/winerror.h"
#include "win/winfile.h"
#include "win/winreg.h"
#include "win/winsys.h"
#include "win/winsysinfo.h"
#include "win/winvolume.h"
#include "win/winprofile.h"
#include "win/winsock.h"
#include "win/wincursor.h"
#include "win/windisplay.h"
#endif

// Additions of our own that both platforms provide (path mapping, REGEDIT4
// text, time-stamp counter).
#include "hostpath.h"
#include "regtext.h"
#include "timestamp.h"
