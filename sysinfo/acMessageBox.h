#pragma once
// The application's modal message box as the system-information component reaches it.
//
// ApplicationMessageBox goes to the application object's MessageBox (the windowing layer's
// application shows a real one; the core's shows nothing and answers 0, as for command-line
// tools). A hook installed with SetApplicationMessageBox takes precedence: tests install one
// that records the call.
#include <functional>
#include <string>

#include "platform/winapi.h"

// The flag values of the Windows message box (windows.h defines them on Windows).
#ifndef MB_OK
#define MB_OK 0x00000000L
#endif
#ifndef MB_ICONINFORMATION
#define MB_ICONINFORMATION 0x00000040L
#endif

// Shows text with caption and the MB_* flags modally; returns the button pressed (IDOK = 1 ...).
using TMessageBoxHook = std::function<int(const std::string& text, const std::string& caption, int flags)>;

// Installs the message box (an empty hook removes it); returns the hook installed before.
TMessageBoxHook SetApplicationMessageBox(TMessageBoxHook hook);

// Shows the message through the installed hook; 0 when none is installed.
int ApplicationMessageBox(const std::string& text, const std::string& caption, int flags);
