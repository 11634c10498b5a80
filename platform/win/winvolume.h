// Win32 volume information.
#pragma once

#include "wintypes.h"

#ifndef ERROR_BAD_LENGTH
#define ERROR_BAD_LENGTH 24L
#endif

#define FILE_CASE_SENSITIVE_SEARCH 0x00000001
#define FILE_CASE_PRESERVED_NAMES 0x00000002
#define FILE_UNICODE_ON_DISK 0x00000004
#define FILE_PERSISTENT_ACLS 0x00000008
#define FILE_READ_ONLY_VOLUME 0x00080000

// Describes the volume whose root is given as "X:\" (a null root: the
// current directory's drive). On Linux a drive is the file system that holds
// its directory (drive_c of the prefix for C:); see posix/volume.cpp for how
// the serial number is derived. Any output pointer may be null. Fails with
// ERROR_DIR_NOT_ROOT for a directory below a drive's root ("C:\windows\"),
// ERROR_INVALID_NAME for any other root that is not "X:\", ERROR_PATH_NOT_FOUND for
// an unknown drive, ERROR_BAD_LENGTH when a name buffer is too small.
BOOL GetVolumeInformationA(LPCSTR lpRootPathName, LPSTR lpVolumeNameBuffer, DWORD nVolumeNameSize,
                           LPDWORD lpVolumeSerialNumber, LPDWORD lpMaximumComponentLength, LPDWORD lpFileSystemFlags,
                           LPSTR lpFileSystemNameBuffer, DWORD nFileSystemNameSize);
