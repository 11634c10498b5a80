// The folder properties of TacSystemInfo: 26 registry folders (editable) and the system,
// temporary and Windows directories (read-only).
#include "acSystemFolders.h"

#include "acSystemInfo.h"
#include "util/acUtils.h"

std::string ReadRegistryFolder(const TacRegistryFolder& folder) {
  std::string value;
  ReadRegString(value, folder.Root, folder.Key, folder.ValueName);
  return value;
}

void WriteRegistryFolder(const TacRegistryFolder& folder, const std::string& value) {
  if (folder.AlsoWritten) WriteRegString(folder.Root, folder.Key, folder.AlsoWritten, value);
  WriteRegString(folder.Root, folder.Key, folder.ValueName, value);
}

std::string WithoutFinalBackslash(std::string dir) {
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return dir;
}

namespace {
// Per-user folders live under HKCU, the folders shared by all users under HKLM.
TacRegistryFolder UserShellFolder(const char* valueName) {
  return {HKEY_CURRENT_USER, kShellFoldersKey, valueName, nullptr};
}
TacRegistryFolder CommonShellFolder(const char* valueName) {
  return {HKEY_LOCAL_MACHINE, kShellFoldersKey, valueName, nullptr};
}
TacRegistryFolder CurrentVersionFolder(const char* valueName, const char* alsoWritten = nullptr) {
  return {HKEY_LOCAL_MACHINE, kCurrentVersionKey, valueName, alsoWritten};
}
}  // namespace

// Getter and editable setter of one registry folder property.
#define AC_REGISTRY_FOLDER(Property, Folder)                                              \
  std::string TacSystemInfo::Get##Property() const { return ReadRegistryFolder(Folder); } \
  void TacSystemInfo::Set##Property(const std::string& value) {                           \
    if (CanEdit()) WriteRegistryFolder(Folder, value);                                    \
  }

AC_REGISTRY_FOLDER(DirAppData, UserShellFolder("AppData"))
AC_REGISTRY_FOLDER(DirAppDataAll, CommonShellFolder("Common AppData"))
AC_REGISTRY_FOLDER(DirCache, UserShellFolder("Cache"))
AC_REGISTRY_FOLDER(DirCookies, UserShellFolder("Cookies"))
AC_REGISTRY_FOLDER(DirCommonFiles, CurrentVersionFolder("CommonFilesDir"))
AC_REGISTRY_FOLDER(DirDesktop, UserShellFolder("Desktop"))
AC_REGISTRY_FOLDER(DirFavorites, UserShellFolder("Favorites"))
AC_REGISTRY_FOLDER(DirFavoritesAll, CommonShellFolder("Common Favorites"))
AC_REGISTRY_FOLDER(DirFonts, UserShellFolder("Fonts"))
AC_REGISTRY_FOLDER(DirHistory, UserShellFolder("History"))
AC_REGISTRY_FOLDER(DirMedia, CurrentVersionFolder("MediaPath"))
AC_REGISTRY_FOLDER(DirMyPictures, UserShellFolder("My Pictures"))
AC_REGISTRY_FOLDER(DirNetHood, UserShellFolder("NetHood"))
AC_REGISTRY_FOLDER(DirPersonal, UserShellFolder("Personal"))
AC_REGISTRY_FOLDER(DirPrintHood, UserShellFolder("PrintHood"))
// Older systems keep the program folder as "ProgramFilesPath"; both are kept in step.
AC_REGISTRY_FOLDER(DirProgramFiles, CurrentVersionFolder("ProgramFilesDir", "ProgramFilesPath"))
AC_REGISTRY_FOLDER(DirPrograms, UserShellFolder("Programs"))
AC_REGISTRY_FOLDER(DirProgramsAll, CommonShellFolder("Common Programs"))
AC_REGISTRY_FOLDER(DirRecent, UserShellFolder("Recent"))
AC_REGISTRY_FOLDER(DirSendTo, UserShellFolder("SendTo"))
AC_REGISTRY_FOLDER(DirStartMenu, UserShellFolder("Start Menu"))
AC_REGISTRY_FOLDER(DirStartMenuAll, CommonShellFolder("Common Start Menu"))
AC_REGISTRY_FOLDER(DirStartup, UserShellFolder("Startup"))
AC_REGISTRY_FOLDER(DirStartupAll, CommonShellFolder("Common Startup"))
AC_REGISTRY_FOLDER(DirTemplates, UserShellFolder("Templates"))
AC_REGISTRY_FOLDER(DirTemplatesAll, CommonShellFolder("Common Templates"))

#undef AC_REGISTRY_FOLDER

// Callers append "\" and a file name to DirSystem and DirTemp; DirWindows keeps its
// backslash so that a file name can follow directly.
std::string TacSystemInfo::GetDirSystem() const { return WithoutFinalBackslash(GetSystemDir()); }
void TacSystemInfo::SetDirSystem(const std::string&) { RefuseReadOnly(); }

std::string TacSystemInfo::GetDirTemp() const { return WithoutFinalBackslash(GetTempDir()); }
void TacSystemInfo::SetDirTemp(const std::string&) { RefuseReadOnly(); }

std::string TacSystemInfo::GetDirWindows() const { return GetWindowsDir(); }
void TacSystemInfo::SetDirWindows(const std::string&) { RefuseReadOnly(); }
