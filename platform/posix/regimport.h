// REGEDIT4 import into hive trees in memory: the part of RegImportText that
// neither locks nor writes files (the import itself and the fuzzer use it).
#pragma once

#include <string>

#include "regtree.h"

namespace winposix {

// Parses REGEDIT4 text, checks it against the registry's limits and applies it
// to the machine and user trees (HKEY_CLASSES_ROOT changes go to the user's
// Software\Classes key when it exists there, else to the machine's). Throws
// std::runtime_error with the line number before changing anything when the
// text cannot be parsed or breaks a limit. Sets each flag when its tree changed.
void ApplyRegImport(const std::string& text, RegKey& machine, RegKey& user, bool& machineChanged, bool& userChanged);

}  // namespace winposix
