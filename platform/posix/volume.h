// The serial number GetVolumeInformationA reports for a drive.
#pragma once

#include <sys/stat.h>
#include <sys/vfs.h>

#include "../winapi.h"

namespace winposix {

// A drive's serial number is that of the file system holding its directory:
// the two halves of the file-system id (statfs f_fsid, which ext4, xfs and
// btrfs derive from the file system's UUID) combined by exclusive or, so it
// stays the same across mounts and reboots. File systems that report no id
// (zero) fall back to the device number of the directory (st_dev, its two
// halves combined likewise), which is stable as long as the device is.
DWORD VolumeSerialNumber(const struct statfs& fileSystem, const struct stat& directory);

}  // namespace winposix
