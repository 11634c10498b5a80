// What a new registry holds: the values Windows would have that the library reads.
#pragma once

#include "regstore.h"

namespace winposix {

// Fills a new hive: the user's Shell Folders for Hive::User; the common
// folders, the CurrentVersion values, the processor, the computer name and
// the HTML open command for Hive::Machine.
void SeedHive(Hive hive, RegKey& root);

}  // namespace winposix
