// The registry as REGEDIT4 text, for showing and editing it outside the program.
#pragma once

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include "win/wintypes.h"
#endif

// REGEDIT4 text ("REGEDIT4", then one [HKEY_...\Path] section per key with
// its values) of the key root\keyPath and every key below it. Texts are
// Windows-1252. Throws std::runtime_error when the key cannot be read.
std::string RegExportText(HKEY root, const std::string& keyPath);

// Applies REGEDIT4 text: creates the keys of its sections and sets their
// values; a section written as [-HKEY_...\Path] deletes that key tree and a
// value written as "name"=- deletes that value. Throws std::runtime_error
// with the line number for text it cannot parse (nothing is applied then) or
// a registry write that fails.
void RegImportText(const std::string& text);
