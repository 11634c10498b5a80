// TacSystemInfo: the component, its published properties, the edit rule and the read-only
// refusal. The folder and identity properties live in acSystemFolders.cpp and
// acSystemIdentity.cpp.
#include "acSystemInfo.h"

#include "PropertyRegistry.h"
#include "acMessageBox.h"
#include "acUtils.h"

TacSystemInfo::TacSystemInfo(TComponent* owner) : TacComponent(owner) {}

bool TacSystemInfo::CanEdit() const { return ALLOW_EDIT && !IsLoading(); }

void TacSystemInfo::RefuseReadOnly() const {
  if (!IsDesigning() || IsLoading() || !ALLOW_EDIT) return;
  ApplicationMessageBox("This property is READ-ONLY.\r\nYou could not change this value.", Name(),
                        MB_OK | MB_ICONINFORMATION);
}

std::string TacSystemInfo::GetDefaultBrowser() const { return GetShellOpenProgram(".html"); }
void TacSystemInfo::SetDefaultBrowser(const std::string&) { RefuseReadOnly(); }

std::string TacSystemInfo::GetSystemPathes() const {
  std::string path;
  GetEnvVar("PATH", path);
  return path;
}
void TacSystemInfo::SetSystemPathes(const std::string&) { RefuseReadOnly(); }

// Every fact is published not stored: only ALLOW_EDIT travels in a form. The places of the
// machine, display and network facts are marked where they belong in the order.
const TClassInfo& TacSystemInfo::StaticClassInfo() {
  using S = TacSystemInfo;
  static const TClassInfo info =
      TClassBuilder<S>("TacSystemInfo")
          .Boolean("ALLOW_EDIT", &S::ALLOW_EDIT, &S::ALLOW_EDIT).Default(false)
          .String("ComputerDescription", &S::GetComputerDescription, &S::SetComputerDescription).Stored(false)
          .String("ComputerName", &S::GetComputerName, &S::SetComputerName).Stored(false)
          .String("ComputerWorkgroup", &S::GetComputerWorkgroup, &S::SetComputerWorkgroup).Stored(false)
          .String("CurrentUserName", &S::GetCurrentUserName, &S::SetCurrentUserName).Stored(false)
          // WinDirectXVersion
          .String("DefaultBrowser", &S::GetDefaultBrowser, &S::SetDefaultBrowser).Stored(false)
          .String("DirAppData", &S::GetDirAppData, &S::SetDirAppData).Stored(false)
          .String("DirAppDataAll", &S::GetDirAppDataAll, &S::SetDirAppDataAll).Stored(false)
          .String("DirCache", &S::GetDirCache, &S::SetDirCache).Stored(false)
          .String("DirCookies", &S::GetDirCookies, &S::SetDirCookies).Stored(false)
          .String("DirCommonFiles", &S::GetDirCommonFiles, &S::SetDirCommonFiles).Stored(false)
          .String("DirDesktop", &S::GetDirDesktop, &S::SetDirDesktop).Stored(false)
          .String("DirFavorites", &S::GetDirFavorites, &S::SetDirFavorites).Stored(false)
          .String("DirFavoritesAll", &S::GetDirFavoritesAll, &S::SetDirFavoritesAll).Stored(false)
          .String("DirFonts", &S::GetDirFonts, &S::SetDirFonts).Stored(false)
          .String("DirHistory", &S::GetDirHistory, &S::SetDirHistory).Stored(false)
          .String("DirMedia", &S::GetDirMedia, &S::SetDirMedia).Stored(false)
          .String("DirMyPictures", &S::GetDirMyPictures, &S::SetDirMyPictures).Stored(false)
          .String("DirNetHood", &S::GetDirNetHood, &S::SetDirNetHood).Stored(false)
          .String("DirPersonal", &S::GetDirPersonal, &S::SetDirPersonal).Stored(false)
          .String("DirPrintHood", &S::GetDirPrintHood, &S::SetDirPrintHood).Stored(false)
          .String("DirProgramFiles", &S::GetDirProgramFiles, &S::SetDirProgramFiles).Stored(false)
          .String("DirPrograms", &S::GetDirPrograms, &S::SetDirPrograms).Stored(false)
          .String("DirProgramsAll", &S::GetDirProgramsAll, &S::SetDirProgramsAll).Stored(false)
          .String("DirRecent", &S::GetDirRecent, &S::SetDirRecent).Stored(false)
          .String("DirSendTo", &S::GetDirSendTo, &S::SetDirSendTo).Stored(false)
          .String("DirStartMenu", &S::GetDirStartMenu, &S::SetDirStartMenu).Stored(false)
          .String("DirStartMenuAll", &S::GetDirStartMenuAll, &S::SetDirStartMenuAll).Stored(false)
          .String("DirStartup", &S::GetDirStartup, &S::SetDirStartup).Stored(false)
          .String("DirStartupAll", &S::GetDirStartupAll, &S::SetDirStartupAll).Stored(false)
          .String("DirSystem", &S::GetDirSystem, &S::SetDirSystem).Stored(false)
          .String("DirTemp", &S::GetDirTemp, &S::SetDirTemp).Stored(false)
          .String("DirTemplates", &S::GetDirTemplates, &S::SetDirTemplates).Stored(false)
          .String("DirTemplatesAll", &S::GetDirTemplatesAll, &S::SetDirTemplatesAll).Stored(false)
          .String("DirWindows", &S::GetDirWindows, &S::SetDirWindows).Stored(false)
          // DiskCSerialNumber, DiskCSerialNumberStr
          // InternetStatus
          // MemAvailPhisical, MemTotalPhisical, MemAvailVirtual, MemTotalVirtual, MemLoad
          // OSVersion
          .String("OwnerName", &S::GetOwnerName, &S::SetOwnerName).Stored(false)
          .String("OwnerCompany", &S::GetOwnerCompany, &S::SetOwnerCompany).Stored(false)
          // CPUIdentifier, CPUVendor, CPUArchitecture, CPUsNumber, CPUType, CPUFrequency
          // ScreenColorMode, ScreenResolution, ScreenSaver
          // SystemUpTime
          .String("SystemPathes", &S::GetSystemPathes, &S::SetSystemPathes).Stored(false)
          // WinNT
          .String("WinProductID", &S::GetWinProductID, &S::SetWinProductID).Stored(false)
          .String("WinProductName", &S::GetWinProductName, &S::SetWinProductName).Stored(false)
          // WinVersion, WinVersionBuild, WinVersionMajor, WinVersionMinor, WinVersionNumber,
          // WinVersionSubNumber
          .Build();
  return info;
}

void RegisterSystemInfoClasses() { RegisterClass(TacSystemInfo::StaticClassInfo()); }
