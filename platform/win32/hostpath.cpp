// On Windows the host's paths are Windows paths: nothing to map, and no prefix directory.
#include "hostpath.h"

std::string WindowsPathToUnix(const std::string& windowsPath) { return windowsPath; }

std::string UnixPathToWindows(const std::string& unixPath) { return unixPath; }

std::string StowawayPrefixDirectory() { return std::string(); }
