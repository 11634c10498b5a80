// Whether a running process executes a file or holds it open.
#pragma once

#include <set>
#include <string>
#include <sys/stat.h>

namespace winposix {

enum class FileUse {
  None,
  Open,      // some process has it open
  Executed,  // some process runs it or has it mapped as code
};

// True when the kernel confirms at once that no open file anywhere (this process included)
// refers to the file; false when some does or when that cannot be told quickly.
bool NoOneHoldsOpen(const std::string& unixPath);

// Asks the kernel first (NoOneHoldsOpen); otherwise scans /proc for processes that execute, map or hold open the file with the
// given status (device and inode; the path helps where the device numbers of
// /proc/PID/maps differ from stat's, as on overlay file systems). Processes
// that cannot be inspected are skipped. File descriptors of this process
// listed in ownIgnored are not counted.
FileUse FindFileUse(const std::string& unixPath, const struct stat& st, const std::set<int>& ownIgnored);

}  // namespace winposix
