// Mapping between Windows paths and the host's own paths.
//
// On Linux drive C: is the per-user prefix's drive_c directory and Z: the Unix
// root; Windows paths are Windows-1252 text, Unix paths UTF-8. On Windows both
// functions return their argument unchanged.
#pragma once

#include <string>

// The Unix path (UTF-8) for a Windows path (Windows-1252): drive letters C:
// and Z:, either separator, relative paths against the current directory.
// Throws std::runtime_error for a path that cannot be mapped (another drive,
// a character with no UTF-8 form).
std::string WindowsPathToUnix(const std::string& windowsPath);

// The Windows path (Windows-1252) for a Unix path (UTF-8): below drive_c as
// C:\..., anything else as Z:\.... Throws std::runtime_error for a name that
// has no Windows-1252 form.
std::string UnixPathToWindows(const std::string& unixPath);

// A text of the host's command line as UTF-8: on Linux it already is; on Windows it is in
// the ANSI code page and is converted (a byte the code page does not define stays as the
// Windows-1252 character of that byte).
std::string HostTextToUtf8(const std::string& hostText);

// The prefix directory that holds drive_c, system.reg and user.reg (created
// with its standard folders on first use). On Windows: the empty text.
std::string StowawayPrefixDirectory();
