#pragma once
// Small file-name services the extraction relies on, over the Windows API: the running
// program's own file name, the directory part of a name, a trailing backslash, and whether a
// file exists.
#include <string>

// Full path of the running program's executable file.
std::string ExeFileName();
// Everything up to and including the last "\", "/" or ":" (empty when there is none).
std::string ExtractFilePath(const std::string& fileName);
// The path with a "\" appended unless it already ends in one.
std::string IncludeTrailingBackslash(const std::string& path);
// True when a file (not a directory) of that name exists.
bool FileExists(const std::string& fileName);
