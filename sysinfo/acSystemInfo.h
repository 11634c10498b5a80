#pragma once
// TacSystemInfo: a non-visual component that presents facts about the Windows installation
// as published properties: the well-known folders, the computer, user and owner identity,
// the processor, memory, drive C, uptime, the system version, the display mode, the screen
// saver and the internet status.
//
// Every read asks the system afresh; the component keeps no copy of any value. Some facts can
// be changed through the same properties (registry values), but only while ALLOW_EDIT is on
// and the component is not being loaded from a form. Assigning a fact that cannot be changed
// does nothing; in the form designer with ALLOW_EDIT on it shows an informational message
// (see RefuseReadOnly and acMessageBox.h).
//
// Only ALLOW_EDIT is written to a form, and only when true; every fact is marked not stored,
// so a form never carries system facts and loading a form never assigns them.
#include <cstdint>
#include <string>

#include "core/TypeNames.h"
#include "core/acClasses.h"
#include "acProcessorRecord.h"
#include "display/acScreenModes.h"
#include "util/acUtils.h"

// Whether the machine is on line (see acInet.h). Ordinals are streamed, keep them.
enum TacInternetStatus { iOffline, iOnline };
extern const TTypeNames TacInternetStatusNames;
// The identifiers of TacOSVersion for the published OSVersion property.
extern const TTypeNames TacOSVersionTypeNames;

class TacSystemInfo : public TacComponent {
  STOWAWAY_CLASS(TacSystemInfo, TacComponent)

  explicit TacSystemInfo(TComponent* owner);

  // The edit switch: a plain field, read and written directly (and streamed).
  bool ALLOW_EDIT = false;

  // The published properties, in their declaration order. Kinds of setter:
  //   editable            acts only with ALLOW_EDIT on and while not loading;
  //   editable except NT  as editable, and does nothing on the NT family;
  //   read-only           ignores the value and calls RefuseReadOnly.

  // Identity (editable except NT: ComputerDescription, ComputerWorkgroup).
  std::string GetComputerDescription() const;
  void SetComputerDescription(const std::string& value);
  std::string GetComputerName() const;
  void SetComputerName(const std::string& value);
  std::string GetComputerWorkgroup() const;
  void SetComputerWorkgroup(const std::string& value);
  std::string GetCurrentUserName() const;
  void SetCurrentUserName(const std::string& value);

  // HKLM "Software\Microsoft\DirectX" value "Version" (read-only).
  std::string GetWinDirectXVersion() const;
  void SetWinDirectXVersion(const std::string& value);

  // The program that opens ".html" files, without its parameters (read-only).
  std::string GetDefaultBrowser() const;
  void SetDefaultBrowser(const std::string& value);

  // Folders from the registry's Shell Folders and CurrentVersion keys (editable).
  std::string GetDirAppData() const;
  void SetDirAppData(const std::string& value);
  std::string GetDirAppDataAll() const;
  void SetDirAppDataAll(const std::string& value);
  std::string GetDirCache() const;
  void SetDirCache(const std::string& value);
  std::string GetDirCookies() const;
  void SetDirCookies(const std::string& value);
  std::string GetDirCommonFiles() const;
  void SetDirCommonFiles(const std::string& value);
  std::string GetDirDesktop() const;
  void SetDirDesktop(const std::string& value);
  std::string GetDirFavorites() const;
  void SetDirFavorites(const std::string& value);
  std::string GetDirFavoritesAll() const;
  void SetDirFavoritesAll(const std::string& value);
  std::string GetDirFonts() const;
  void SetDirFonts(const std::string& value);
  std::string GetDirHistory() const;
  void SetDirHistory(const std::string& value);
  std::string GetDirMedia() const;
  void SetDirMedia(const std::string& value);
  std::string GetDirMyPictures() const;
  void SetDirMyPictures(const std::string& value);
  std::string GetDirNetHood() const;
  void SetDirNetHood(const std::string& value);
  std::string GetDirPersonal() const;
  void SetDirPersonal(const std::string& value);
  std::string GetDirPrintHood() const;
  void SetDirPrintHood(const std::string& value);
  // Writes "ProgramFilesPath" and then "ProgramFilesDir"; reads "ProgramFilesDir".
  std::string GetDirProgramFiles() const;
  void SetDirProgramFiles(const std::string& value);
  std::string GetDirPrograms() const;
  void SetDirPrograms(const std::string& value);
  std::string GetDirProgramsAll() const;
  void SetDirProgramsAll(const std::string& value);
  std::string GetDirRecent() const;
  void SetDirRecent(const std::string& value);
  std::string GetDirSendTo() const;
  void SetDirSendTo(const std::string& value);
  std::string GetDirStartMenu() const;
  void SetDirStartMenu(const std::string& value);
  std::string GetDirStartMenuAll() const;
  void SetDirStartMenuAll(const std::string& value);
  std::string GetDirStartup() const;
  void SetDirStartup(const std::string& value);
  std::string GetDirStartupAll() const;
  void SetDirStartupAll(const std::string& value);
  // The system directory without its final backslash (read-only).
  std::string GetDirSystem() const;
  void SetDirSystem(const std::string& value);
  // The temporary directory without its final backslash (read-only); callers append "\"
  // and a file name.
  std::string GetDirTemp() const;
  void SetDirTemp(const std::string& value);
  std::string GetDirTemplates() const;
  void SetDirTemplates(const std::string& value);
  std::string GetDirTemplatesAll() const;
  void SetDirTemplatesAll(const std::string& value);
  // The Windows directory with its final backslash (read-only).
  std::string GetDirWindows() const;
  void SetDirWindows(const std::string& value);

  // The volume serial number of C:\ as a signed 32-bit number and as "XXXX-XXXX" text
  // (read-only; 0 and the empty text when the volume cannot be queried).
  int GetDiskCSerialNumber() const;
  void SetDiskCSerialNumber(int value);
  std::string GetDiskCSerialNumberStr() const;
  void SetDiskCSerialNumberStr(const std::string& value);

  // iOnline when IsInternetConnected (acInet.h), else iOffline (read-only).
  TacInternetStatus GetInternetStatus() const;
  void SetInternetStatus(TacInternetStatus value);

  // GlobalMemoryStatus, one fresh call per read: bytes (sizes beyond 4 GiB - 1 read as
  // 4 GiB - 1) and the percentage of physical memory in use (read-only).
  std::uint32_t GetMemAvailPhisical() const;
  void SetMemAvailPhisical(std::uint32_t value);
  std::uint32_t GetMemTotalPhisical() const;
  void SetMemTotalPhisical(std::uint32_t value);
  std::uint32_t GetMemAvailVirtual() const;
  void SetMemAvailVirtual(std::uint32_t value);
  std::uint32_t GetMemTotalVirtual() const;
  void SetMemTotalVirtual(std::uint32_t value);
  int GetMemLoad() const;
  void SetMemLoad(int value);

  // The running system's classification (read-only).
  TacOSVersion GetOSVersion() const;
  void SetOSVersion(TacOSVersion value);

  // The registered owner and organisation (editable).
  std::string GetOwnerName() const;
  void SetOwnerName(const std::string& value);
  std::string GetOwnerCompany() const;
  void SetOwnerCompany(const std::string& value);

  // The processor: its registry description, the start-up record (acProcessorRecord.h) and
  // the clock in MHz, measured at each read for about 50 ms (read-only).
  std::string GetCPUIdentifier() const;
  void SetCPUIdentifier(const std::string& value);
  std::string GetCPUVendor() const;
  void SetCPUVendor(const std::string& value);
  TacCPUArchitecture GetCPUArchitecture() const;
  void SetCPUArchitecture(TacCPUArchitecture value);
  int GetCPUsNumber() const;
  void SetCPUsNumber(int value);
  TacCPUType GetCPUType() const;
  void SetCPUType(TacCPUType value);
  int GetCPUFrequency() const;
  void SetCPUFrequency(int value);

  // The screen's colour depth and size (editable; see acSystemDisplay.h). Setting a mode the
  // screen does not offer tries the next lower one in the enumeration's order.
  TacScreenColorMode GetScreenColorMode() const;
  void SetScreenColorMode(TacScreenColorMode value);
  TacScreenResolution GetScreenResolution() const;
  void SetScreenResolution(TacScreenResolution value);

  // The screen-saver setting (editable; see acScreenSaver.h).
  std::string GetScreenSaver() const;
  void SetScreenSaver(const std::string& value);

  // Whole seconds since the system started; wraps to 0 with the 32-bit tick count after
  // 49.7 days (read-only).
  int GetSystemUpTime() const;
  void SetSystemUpTime(int value);

  // The PATH environment variable (read-only).
  std::string GetSystemPathes() const;
  void SetSystemPathes(const std::string& value);

  // True on the NT family (IsWinNT; read-only).
  bool GetWinNT() const;
  void SetWinNT(bool value);

  // Product identifier and name of the installed Windows (read-only).
  std::string GetWinProductID() const;
  void SetWinProductID(const std::string& value);
  std::string GetWinProductName() const;
  void SetWinProductName(const std::string& value);

  // Version name and numbers (read-only; see acSystemVersion.h).
  std::string GetWinVersion() const;
  void SetWinVersion(const std::string& value);
  int GetWinVersionBuild() const;
  void SetWinVersionBuild(int value);
  int GetWinVersionMajor() const;
  void SetWinVersionMajor(int value);
  int GetWinVersionMinor() const;
  void SetWinVersionMinor(int value);
  std::string GetWinVersionNumber() const;
  void SetWinVersionNumber(const std::string& value);
  std::string GetWinVersionSubNumber() const;
  void SetWinVersionSubNumber(const std::string& value);

  // The refusal of read-only setters: in the form designer (not while loading) with
  // ALLOW_EDIT on, shows "This property is READ-ONLY.\r\nYou could not change this value."
  // captioned with the component's Name, MB_OK | MB_ICONINFORMATION, through the
  // application's message box. Does nothing in every other case.
  void RefuseReadOnly() const;

 protected:
  // True when an editable setter may act: ALLOW_EDIT on and not loading.
  bool CanEdit() const;
};

// Makes TacSystemInfo known to the form reader (idempotent).
void RegisterSystemInfoClasses();
