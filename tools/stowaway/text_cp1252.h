// Texts from the command line (UTF-8 on Linux, the ANSI code page on Windows) in the 8-bit
// code page, refusing what it cannot hold.
#pragma once

#include <string>

// The Windows-1252 form of a command-line text. Throws InputError naming `what` when the text
// is no valid UTF-8 or holds a character (or a C1 control) that Windows-1252 has no byte for.
std::string StrictCp1252(const std::string& text, const std::string& what);
