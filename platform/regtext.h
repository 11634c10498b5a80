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
// value written as "name"=- deletes that value. Names may hold line breaks,
// written \n and \r inside their quotes. The import is all or nothing and
// writes each hive once: text it cannot parse or that breaks the registry's
// limits (keys deeper than 512 levels, key names over 255 characters or with
// control characters, value names over 16383) throws std::runtime_error with
// the line number, and nothing is applied; so does a registry that cannot be
// written.
void RegImportText(const std::string& text);
