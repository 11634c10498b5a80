// Why the user's temporary directory cannot be used. GetTempPathA only answers 0
// for a refused directory; a program that must tell its user why asks here.
#pragma once

#include <string>

// Empty when the temporary directory is usable; otherwise a text (Windows-1252)
// naming the directory and the reason: another user's, writable by others, a
// link, not a directory, or impossible to create.
std::string TempDirectoryProblem();
