#pragma once
// The screen-saver setting as TacSystemInfo reads and writes it. On NT it is the HKCU value
// "SCRNSAVE.EXE" of "Control Panel\Desktop"; on other systems the entry "scrnsave.exe" of
// section [boot] in system.ini of the Windows directory. Only the stored setting changes:
// nothing starts, stops or announces a screen saver.
#include <string>

// The Windows directory (with its final backslash) followed by "system.ini".
std::string ScreenSaverIniFile();

// The setting. Without an INI entry the default is the Windows directory followed by
// "FLYING~1.SCR" (also when system.ini does not exist); when the INI access raises an
// error the result is empty.
std::string ReadScreenSaver(bool nt);
// Stores the setting; a failure to write it is not reported.
void WriteScreenSaver(bool nt, const std::string& value);
