#pragma once
// TacSystemInfo: a non-visual component that presents facts about the Windows installation
// as published properties: the well-known folders and the computer, user and owner identity.
//
// Every read asks the system afresh; the component keeps no copy of any value. Some facts can
// be changed through the same properties (registry values), but only while ALLOW_EDIT is on
// and the component is not being loaded from a form. Assigning a fact that cannot be changed
// does nothing; in the form designer with ALLOW_EDIT on it shows an informational message
// (see RefuseReadOnly and acMessageBox.h).
//
// Only ALLOW_EDIT is written to a form, and only when true; every fact is marked not stored,
// so a form never carries system facts and loading a form never assigns them.
#include <string>

#include "acClasses.h"

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

  // (WinDirectXVersion, String, read-only, belongs here: machine facts.)

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

  // (DiskCSerialNumber Integer, DiskCSerialNumberStr String: machine facts.)
  // (InternetStatus TacInternetStatus: network status.)
  // (MemAvailPhisical, MemTotalPhisical, MemAvailVirtual, MemTotalVirtual Cardinal,
  //  MemLoad Integer, OSVersion TacOSVersion: machine facts.)

  // The registered owner and organisation (editable).
  std::string GetOwnerName() const;
  void SetOwnerName(const std::string& value);
  std::string GetOwnerCompany() const;
  void SetOwnerCompany(const std::string& value);

  // (CPUIdentifier, CPUVendor String, CPUArchitecture TacCPUArchitecture, CPUsNumber Integer,
  //  CPUType TacCPUType, CPUFrequency Integer: machine facts.)
  // (ScreenColorMode TacScreenColorMode, ScreenResolution TacScreenResolution, ScreenSaver
  //  String: display facts.)
  // (SystemUpTime Integer: machine facts.)

  // The PATH environment variable (read-only).
  std::string GetSystemPathes() const;
  void SetSystemPathes(const std::string& value);

  // (WinNT Boolean: machine facts.)

  // Product identifier and name of the installed Windows (read-only).
  std::string GetWinProductID() const;
  void SetWinProductID(const std::string& value);
  std::string GetWinProductName() const;
  void SetWinProductName(const std::string& value);

  // (WinVersion String, WinVersionBuild, WinVersionMajor, WinVersionMinor Integer,
  //  WinVersionNumber, WinVersionSubNumber String: machine facts.)

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
