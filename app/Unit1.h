#pragma once
// The installation window: TForm1, created from its form resource. While it is read, the file
// storage extracts the start page and the setup program into the temporary directory; once
// shown, the window points its browser pane at the start page; when the page has loaded it
// starts the setup program and closes, which ends the program. The logo opens the vendor's
// home page with the registered HTML program.
#include <string>

#include "gui/Forms.h"

class TacFileStorage;
class TStoredFile;
class TacSystemInfo;
class TWebBrowser;
class TLabel;
class TImage;

// The installer's settings. Each one comes from the executable's resource of the same name
// (RT_RCDATA "SETUPFILENAME", "STARTPAGEFILENAME", "VENDORHOMEPAGE"), read when the unit is
// initialised; a program without the resource keeps the value written here.
// The stored name of the carried setup program; cleared when the unit is finalised.
extern std::string SetupFileName;
// The stored name of the carried start page.
extern std::string StartPageFileName;
// The vendor's home page, opened by a click on the logo.
extern std::string VendorHomePage;

// The installer's exit status: 0 when the setup program was started; 1 when it could not be
// unpacked or started (the user was told why); 2 when the window was closed before it started;
// 128 + N when signal N (SIGINT, SIGTERM, SIGHUP) ended the installer before it started.
constexpr int kExitSetupStarted = 0;
constexpr int kExitFailed = 1;
constexpr int kExitClosedEarly = 2;
constexpr int kExitSignalBase = 128;

// Tells the user why the installation cannot go on, with the application's message box.
void ShowInstallationError(const std::string& text);

// Opens url with the program that HKEY_CLASSES_ROOT\htmlfile\shell\open\command names: the
// program path between the command's first two double quotes (or, without two quotes, its
// program part), started with the address as its only parameter. Nothing is started when the
// command is missing or empty; failures are not reported.
void OpenWithDefaultBrowser(const std::string& url);

class TForm1 : public TForm {
  STOWAWAY_CLASS(TForm1, TForm)

  explicit TForm1(TComponent* owner);
  // Creates the window from the given binary form instead of the executable's resource.
  TForm1(TComponent* owner, const std::string& binaryForm);

  TacFileStorage* acFileStorage1 = nullptr;
  TacSystemInfo* acSystemInfo1 = nullptr;
  TWebBrowser* WebBrowser1 = nullptr;
  TLabel* Label3 = nullptr;
  TImage* Image2 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label5 = nullptr;
  TLabel* Label6 = nullptr;

  void WebBrowser1DocumentComplete(TObject* Sender, TObject* pDisp, const std::u16string& URL);
  void FormActivate(TObject* Sender);
  void Image2Click(TObject* Sender);
  // A link the user follows in the pane (a new-window link, a window the page opens): web
  // addresses open with OpenWithDefaultBrowser, like the logo's, other addresses (mailto:) and
  // all of them when no HTML program is registered with the shell; the pane keeps the page.
  void WebBrowser1OpenLink(TObject* Sender, const std::u16string& URL);

  // Starts the extracted setup program with the shell's "open" verb and closes the window.
  // When the executable carries a manifest, every extracted file is checked against it
  // first; a file that differs is written again from the storage once (the extraction keeps a
  // file of the same name and size that it finds there, such as one left by an earlier run
  // that was killed). If one is still missing or differs, nothing is started and the user is
  // told which file.
  // When the shell cannot start it, the user is told why before the window closes.
  void RunSetupProgram();
  // The full path of the extracted start page: DirTemp, one backslash, StartPageFileName;
  // empty when there is no temporary directory (never a path at the drive's root).
  std::string StartPagePath() const;

  // Why the setup program cannot be started from the temporary directory (no directory, not
  // unpacked there, or not completely), naming the directory; empty when it is there whole.
  std::string SetupProgramProblem() const;
  bool SetupStarted() const { return setupStarted_; }
  bool SetupFailed() const { return setupFailed_; }

 private:
  // Links followed in the pane go to WebBrowser1OpenLink (set in code, not in the form).
  void BindOpenLink();
  // The storage's file stored under that name (the last one, whose bytes extraction leaves on
  // disk); null when there is none.
  TStoredFile* StoredFile(const std::string& name) const;
  // Why the setup program is not started: the stored name of a file that is not whole and
  // what the user is told; both empty when every file is whole.
  struct Refusal {
    std::string file, message;
  };
  // Checks the files of the manifest in the directory (a Windows path without its final
  // backslash), writing each that differs again from the storage once.
  Refusal CheckAgainstManifest(const std::string& manifestText, const std::string& dir);

  bool setupStarted_ = false;
  bool setupFailed_ = false;
  bool startingSetup_ = false;  // a message box is open inside RunSetupProgram
};

extern TForm1* Form1;

class TGuiApplication;
// The exit status after the message loop has ended (see kExitSetupStarted and the others).
int InstallerExitStatus(const TGuiApplication& app, const TForm1& form);

// Makes the window's classes known to the form reader and reads the settings from the
// executable's resources (once, before Form1 is created).
void InitializeUnit1();
// The unit's end step: clears SetupFileName.
void FinalizeUnit1();
