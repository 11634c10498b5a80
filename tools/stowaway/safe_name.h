// Turns a stored file name into a path below a target directory, refusing names that would
// leave it.
#pragma once

#include <string>
#include <vector>

// The parts of a stored name (Windows-1252, "\" or "/" separated) as UTF-8 path components.
// Throws InputError naming the stored name when it is absolute, holds a drive letter or any
// ':', a "." or ".." part, an empty part, or a NUL.
std::vector<std::string> SafeNameParts(const std::string& storedName);
