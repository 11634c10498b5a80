// The registry files of the prefix: system.reg (HKEY_LOCAL_MACHINE) and
// user.reg (HKEY_CURRENT_USER), shared by every process of the user.
//
// Readers parse the file as it is and keep the result until the file changes.
// A writer takes the hive's lock file (flock), reads the file afresh, applies
// its change, writes a new file beside it, syncs it and renames it over the
// file (syncing the directory too), so a reader sees either the old or the new
// file, no acknowledged change of another writer is lost, and a writer killed
// midway leaves the old file.
// A damaged or unreadable file is reported once on stderr and left as it is;
// calls on that hive then fail with ERROR_REGISTRY_CORRUPT or
// ERROR_REGISTRY_IO_FAILED. A missing file is created with the values that
// Windows would hold (see regseed.h). A file that belongs to another user or is
// writable by group or others is reported once and refused (ERROR_ACCESS_DENIED).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "regtree.h"

namespace winposix {

enum class Hive { Machine, User };

// The hive's tree as the file holds it now.
LSTATUS ReadHive(Hive hive, std::shared_ptr<const RegKey>& root);

// Applies change to the current tree under the hive's lock and commits it
// when change returns ERROR_SUCCESS and sets changed.
LSTATUS ModifyHive(Hive hive, const std::function<LSTATUS(RegKey& root, bool& changed)>& change);

// The Unix path of a hive's file.
std::string HiveFile(Hive hive);

// Test hook called at points of a commit: "half-written" (the new file holds
// half its text) and "before-rename" (all written, not yet in place).
extern void (*registryCommitHook)(const char* stage);

}  // namespace winposix
