// Refusal of prefix files and directories that someone else could change: the
// prefix, drive_c, the registry files and the temporary directory must belong
// to the user running the program and must not be writable by group or others
// (in the spirit of ssh's StrictModes).
#pragma once

#include <string>
#include <sys/stat.h>

namespace winposix {

// Empty when st (the status of path) is owned by the effective user and not
// writable by group or others; otherwise why not, naming what, path, the owner
// and the mode found.
std::string OwnershipProblem(const struct stat& st, const std::string& path, const std::string& what);

// Throws std::runtime_error with OwnershipProblem's text when the path (links
// followed) fails the check. A missing path passes: callers create it.
void CheckOwnedByUser(const std::string& path, const std::string& what);

}  // namespace winposix
