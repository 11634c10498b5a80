// Win32 private-profile (INI file) services.
#pragma once

#include "wintypes.h"

// Reads the value of lpKeyName in section lpAppName of the INI file (a name
// without a directory is taken from the Windows directory). Section and key
// names are compared without regard to case; the value is trimmed of blanks
// and of one pair of enclosing quotes. A missing file, section or key gives
// lpDefault (null: empty) without its trailing blanks. A null lpAppName lists
// the section names, a null lpKeyName the section's keys, each ending in a
// zero with one more zero after the last. Returns the number of characters
// stored without the final zero; a value that does not fit is cut to
// nSize - 1 characters (lists: nSize - 2).
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName);

// Sets lpKeyName=lpString in section lpAppName, adding the section, the key
// or the file when missing; a null lpString removes the key, a null
// lpKeyName the whole section. Every other line is kept as it was. The file
// is replaced as a whole (written beside it and renamed), so a failure leaves
// the old file intact; it then returns FALSE with the last error set.
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName);
