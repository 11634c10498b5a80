#pragma once
// Operating-system facts as TacSystemInfo reads them: version names and numbers and the
// DirectX version. `nt` chooses the NT family's sources (the component passes IsWinNT()).
#include <string>

// On NT: the product name without its first "Microsoft " ("Microsoft Windows XP" gives
// "Windows XP"; a name without it is returned unchanged). Otherwise: HKLM CV "Version".
std::string ReadWinVersion(bool nt);
std::string WithoutMicrosoftPrefix(std::string productName);

// dwMajorVersion, dwMinorVersion and the low 16 bits of dwBuildNumber of GetVersionExA, each
// from a call of its own; -1 when the call fails.
int ReadWinVersionMajor();
int ReadWinVersionMinor();
int ReadWinVersionBuild();

// HKLM CV "VersionNumber"; when that is empty, major, minor and build joined by ".".
std::string ReadWinVersionNumber();
std::string JoinVersionNumbers(int major, int minor, int build);

// HKLM CV "SubVersionNumber", and HKLM "Software\Microsoft\DirectX" "Version".
std::string ReadWinVersionSubNumber();
std::string ReadDirectXVersion();
