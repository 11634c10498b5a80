// Translation of errno values into Win32 error codes, and the one-time report of problems
// that calls absorb.
#pragma once

#include <string>

#include "../winapi.h"

namespace winposix {

// The Win32 code for an errno value. ENOENT gives ERROR_FILE_NOT_FOUND, or
// ERROR_PATH_NOT_FOUND when unixPath is given and its parent directory is
// missing, as Windows tells the two apart.
DWORD Win32Error(int err, const std::string& unixPath = std::string());

// Sets the last error from errno and returns FALSE, for the BOOL functions.
BOOL FailErrno(int err, const std::string& unixPath = std::string());

// Sets the last error and returns FALSE.
BOOL Fail(DWORD code);

// Writes a problem the caller absorbs (a damaged registry file, an unusable temporary
// directory) to stderr as "stowaway: message", once per distinct message.
void ReportOnce(const std::string& message);

}  // namespace winposix
