// The per-user prefix directory: drive_c with its standard folders, and the
// registry files beside it.
#pragma once

#include <string>

namespace winposix {

// The prefix directory (STOWAWAY_PREFIX, else $XDG_DATA_HOME/stowaway with
// XDG data home defaulting to ~/.local/share), without a trailing slash.
// Creates it and drive_c's standard folders on first use; throws
// std::runtime_error when that is impossible, or when the prefix or its
// drive_c belongs to another user or is writable by group or others.
std::string PrefixDir();

// PrefixDir() + "/drive_c".
std::string DriveCDir();

// The user's name as used for the profile folder C:\users\<name>
// (Windows-1252; characters that cannot be in a file name become '_').
std::string ProfileUserName();

// C:\users\<name>, and the temporary directory C:\users\<name>\Temp.
std::string ProfileDirWin();
std::string TempDirWin();

// The Unix path of the temporary directory, created with mode 0700 when
// missing. Throws std::runtime_error when the directory is a symbolic link,
// not a directory, owned by someone else or writable by group or others: such
// a directory is never used.
std::string CheckedTempDirUnix();

// The Unix path below drive_c for a path written C:\...; no case lookup.
std::string DriveCPathToUnix(const std::string& windowsPath);

// The user's XDG folder for DESKTOP, DOCUMENTS or PICTURES when it exists as
// a directory other than the home directory itself; otherwise empty.
std::string XdgUserDir(const std::string& key);

// Creates a directory and its missing parents; false when it fails (errno
// tells why: ENOTDIR when something other than a directory is in the way).
bool MakeDirs(const std::string& unixPath, unsigned mode = 0777);

}  // namespace winposix
