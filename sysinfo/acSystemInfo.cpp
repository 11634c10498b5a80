// TacSystemInfo: the component, its published properties, the edit rule and the read-only
// refusal. The other properties live beside it: folders in acSystemFolders.cpp, identity in
// acSystemIdentity.cpp, machine facts in acSystemMachine.cpp, the system version in
// acSystemVersion.cpp, the display mode in acSystemDisplay.cpp, the screen saver in
// acScreenSaver.cpp, the internet status in acInet.cpp.
#include "acSystemInfo.h"

#include "core/PropertyRegistry.h"
#include "acMessageBox.h"
#include "util/acUtils.h"

const TTypeNames TacInternetStatusNames("TacInternetStatus", {"iOffline", "iOnline"});
const TTypeNames TacOSVersionTypeNames("TacOSVersion", {"osUnknown", "os95", "os95OSR2", "os98", "os98SE", "osNT3",
                                                        "osNT4", "os2K", "osME", "osXP"});

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

// Every fact is published not stored: only ALLOW_EDIT travels in a form.
const TClassInfo& TacSystemInfo::StaticClassInfo() {
  using S = TacSystemInfo;
  static const TClassInfo info =
      TClassBuilder<S>("TacSystemInfo")
          .Boolean("ALLOW_EDIT", &S::ALLOW_EDIT, &S::ALLOW_EDIT)
          .Default(false)
          .String("ComputerDescription", &S::GetComputerDescription, &S::SetComputerDescription)
          .Stored(false)
          .String("ComputerName", &S::GetComputerName, &S::SetComputerName)
          .Stored(false)
          .String("ComputerWorkgroup", &S::GetComputerWorkgroup, &S::SetComputerWorkgroup)
          .Stored(false)
          .String("CurrentUserName", &S::GetCurrentUserName, &S::SetCurrentUserName)
          .Stored(false)
          .String("WinDirectXVersion", &S::GetWinDirectXVersion, &S::SetWinDirectXVersion)
          .Stored(false)
          .String("DefaultBrowser", &S::GetDefaultBrowser, &S::SetDefaultBrowser)
          .Stored(false)
          .String("DirAppData", &S::GetDirAppData, &S::SetDirAppData)
          .Stored(false)
          .String("DirAppDataAll", &S::GetDirAppDataAll, &S::SetDirAppDataAll)
          .Stored(false)
          .String("DirCache", &S::GetDirCache, &S::SetDirCache)
          .Stored(false)
          .String("DirCookies", &S::GetDirCookies, &S::SetDirCookies)
          .Stored(false)
          .String("DirCommonFiles", &S::GetDirCommonFiles, &S::SetDirCommonFiles)
          .Stored(false)
          .String("DirDesktop", &S::GetDirDesktop, &S::SetDirDesktop)
          .Stored(false)
          .String("DirFavorites", &S::GetDirFavorites, &S::SetDirFavorites)
          .Stored(false)
          .String("DirFavoritesAll", &S::GetDirFavoritesAll, &S::SetDirFavoritesAll)
          .Stored(false)
          .String("DirFonts", &S::GetDirFonts, &S::SetDirFonts)
          .Stored(false)
          .String("DirHistory", &S::GetDirHistory, &S::SetDirHistory)
          .Stored(false)
          .String("DirMedia", &S::GetDirMedia, &S::SetDirMedia)
          .Stored(false)
          .String("DirMyPictures", &S::GetDirMyPictures, &S::SetDirMyPictures)
          .Stored(false)
          .String("DirNetHood", &S::GetDirNetHood, &S::SetDirNetHood)
          .Stored(false)
          .String("DirPersonal", &S::GetDirPersonal, &S::SetDirPersonal)
          .Stored(false)
          .String("DirPrintHood", &S::GetDirPrintHood, &S::SetDirPrintHood)
          .Stored(false)
          .String("DirProgramFiles", &S::GetDirProgramFiles, &S::SetDirProgramFiles)
          .Stored(false)
          .String("DirPrograms", &S::GetDirPrograms, &S::SetDirPrograms)
          .Stored(false)
          .String("DirProgramsAll", &S::GetDirProgramsAll, &S::SetDirProgramsAll)
          .Stored(false)
          .String("DirRecent", &S::GetDirRecent, &S::SetDirRecent)
          .Stored(false)
          .String("DirSendTo", &S::GetDirSendTo, &S::SetDirSendTo)
          .Stored(false)
          .String("DirStartMenu", &S::GetDirStartMenu, &S::SetDirStartMenu)
          .Stored(false)
          .String("DirStartMenuAll", &S::GetDirStartMenuAll, &S::SetDirStartMenuAll)
          .Stored(false)
          .String("DirStartup", &S::GetDirStartup, &S::SetDirStartup)
          .Stored(false)
          .String("DirStartupAll", &S::GetDirStartupAll, &S::SetDirStartupAll)
          .Stored(false)
          .String("DirSystem", &S::GetDirSystem, &S::SetDirSystem)
          .Stored(false)
          .String("DirTemp", &S::GetDirTemp, &S::SetDirTemp)
          .Stored(false)
          .String("DirTemplates", &S::GetDirTemplates, &S::SetDirTemplates)
          .Stored(false)
          .String("DirTemplatesAll", &S::GetDirTemplatesAll, &S::SetDirTemplatesAll)
          .Stored(false)
          .String("DirWindows", &S::GetDirWindows, &S::SetDirWindows)
          .Stored(false)
          .Integer("DiskCSerialNumber", &S::GetDiskCSerialNumber, &S::SetDiskCSerialNumber)
          .Stored(false)
          .String("DiskCSerialNumberStr", &S::GetDiskCSerialNumberStr, &S::SetDiskCSerialNumberStr)
          .Stored(false)
          .Enum("InternetStatus", TacInternetStatusNames, &S::GetInternetStatus, &S::SetInternetStatus)
          .Stored(false)
          .Cardinal("MemAvailPhisical", &S::GetMemAvailPhisical, &S::SetMemAvailPhisical)
          .Stored(false)
          .Cardinal("MemTotalPhisical", &S::GetMemTotalPhisical, &S::SetMemTotalPhisical)
          .Stored(false)
          .Cardinal("MemAvailVirtual", &S::GetMemAvailVirtual, &S::SetMemAvailVirtual)
          .Stored(false)
          .Cardinal("MemTotalVirtual", &S::GetMemTotalVirtual, &S::SetMemTotalVirtual)
          .Stored(false)
          .Integer("MemLoad", &S::GetMemLoad, &S::SetMemLoad)
          .Stored(false)
          .Enum("OSVersion", TacOSVersionTypeNames, &S::GetOSVersion, &S::SetOSVersion)
          .Stored(false)
          .String("OwnerName", &S::GetOwnerName, &S::SetOwnerName)
          .Stored(false)
          .String("OwnerCompany", &S::GetOwnerCompany, &S::SetOwnerCompany)
          .Stored(false)
          .String("CPUIdentifier", &S::GetCPUIdentifier, &S::SetCPUIdentifier)
          .Stored(false)
          .String("CPUVendor", &S::GetCPUVendor, &S::SetCPUVendor)
          .Stored(false)
          .Enum("CPUArchitecture", TacCPUArchitectureNames, &S::GetCPUArchitecture, &S::SetCPUArchitecture)
          .Stored(false)
          .Integer("CPUsNumber", &S::GetCPUsNumber, &S::SetCPUsNumber)
          .Stored(false)
          .Enum("CPUType", TacCPUTypeNames, &S::GetCPUType, &S::SetCPUType)
          .Stored(false)
          .Integer("CPUFrequency", &S::GetCPUFrequency, &S::SetCPUFrequency)
          .Stored(false)
          .Enum("ScreenColorMode", TacScreenColorModeNames, &S::GetScreenColorMode, &S::SetScreenColorMode)
          .Stored(false)
          .Enum("ScreenResolution", TacScreenResolutionNames, &S::GetScreenResolution, &S::SetScreenResolution)
          .Stored(false)
          .String("ScreenSaver", &S::GetScreenSaver, &S::SetScreenSaver)
          .Stored(false)
          .Integer("SystemUpTime", &S::GetSystemUpTime, &S::SetSystemUpTime)
          .Stored(false)
          .String("SystemPathes", &S::GetSystemPathes, &S::SetSystemPathes)
          .Stored(false)
          .Boolean("WinNT", &S::GetWinNT, &S::SetWinNT)
          .Stored(false)
          .String("WinProductID", &S::GetWinProductID, &S::SetWinProductID)
          .Stored(false)
          .String("WinProductName", &S::GetWinProductName, &S::SetWinProductName)
          .Stored(false)
          .String("WinVersion", &S::GetWinVersion, &S::SetWinVersion)
          .Stored(false)
          .Integer("WinVersionBuild", &S::GetWinVersionBuild, &S::SetWinVersionBuild)
          .Stored(false)
          .Integer("WinVersionMajor", &S::GetWinVersionMajor, &S::SetWinVersionMajor)
          .Stored(false)
          .Integer("WinVersionMinor", &S::GetWinVersionMinor, &S::SetWinVersionMinor)
          .Stored(false)
          .String("WinVersionNumber", &S::GetWinVersionNumber, &S::SetWinVersionNumber)
          .Stored(false)
          .String("WinVersionSubNumber", &S::GetWinVersionSubNumber, &S::SetWinVersionSubNumber)
          .Stored(false)
          .Build();
  return info;
}

void RegisterSystemInfoClasses() { RegisterClass(TacSystemInfo::StaticClassInfo()); }
