// Win32 resources carried inside the executable: FindResourceA, LoadResource,
// LockResource and SizeofResource over the executable's resource section
// (see posix/resources.h for its layout on Linux).
#pragma once

#include "wintypes.h"

struct HRSRC__ {
  int unused;
};
typedef struct HRSRC__* HRSRC;
typedef HANDLE HGLOBAL;

#define MAKEINTRESOURCEA(i) ((LPSTR)(ULONG_PTR)((WORD)(i)))
#define IS_INTRESOURCE(p) ((((ULONG_PTR)(p)) >> 16) == 0)

#ifndef ERROR_RESOURCE_DATA_NOT_FOUND
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#endif

#define RT_CURSOR MAKEINTRESOURCEA(1)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_RCDATA MAKEINTRESOURCEA(10)
#define RT_GROUP_CURSOR MAKEINTRESOURCEA(12)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)

// The running executable's module handle (lpModuleName must be null; other
// modules are not supported and give null with ERROR_MOD_NOT_FOUND).
HMODULE GetModuleHandleA(LPCSTR lpModuleName);

// Finds a resource of the executable (hModule null or GetModuleHandleA(null))
// by name and type. Names are compared without regard to ASCII letter case;
// numeric names and types (MAKEINTRESOURCEA) are matched by number. Gives
// null with ERROR_RESOURCE_NAME_NOT_FOUND / ERROR_RESOURCE_TYPE_NOT_FOUND
// when there is none, ERROR_RESOURCE_DATA_NOT_FOUND when the executable
// carries no resources at all.
HRSRC FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID LockResource(HGLOBAL hResData);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);

// Replacing the resources of an executable file. BeginUpdateResourceA starts an update of
// the file's resources (all of them dropped first when bDeleteExistingResources is TRUE) and
// gives the handle for UpdateResourceA, which adds, replaces (same type and name) or, with
// lpData null, deletes one resource; EndUpdateResourceA writes the result into the file, or
// with fDiscard TRUE writes nothing. Either way it frees the handle. On Linux the files are
// our ELF executables or PE32+ programs (x86-64 Windows programs). In an ELF file the
// resources go into an image appended to the file (see posix/appendedimage.h), no loaded part
// of the program moves, and the language is not kept. In a PE file the resource section is
// written anew (in place when it is the last section, else as a new last section), every
// other resource (version, manifest, icons, named types) is kept, and resources are told apart
// by type, name and language as on Windows. Either file is replaced by rename so that a
// running copy keeps its old bytes. Types given must be numeric; names are ASCII and compared
// without regard to letter case. Other files give ERROR_BAD_EXE_FORMAT.
HANDLE BeginUpdateResourceA(LPCSTR pFileName, BOOL bDeleteExistingResources);
BOOL UpdateResourceA(HANDLE hUpdate, LPCSTR lpType, LPCSTR lpName, WORD wLanguage, LPVOID lpData, DWORD cb);
BOOL EndUpdateResourceA(HANDLE hUpdate, BOOL fDiscard);
