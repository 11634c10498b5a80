#pragma once
// The installation window: TForm1, created from its form resource. While it is read, the file
// storage extracts the start page and the setup program into the temporary directory; once
// shown, the window points its browser pane at the start page; when the page has loaded it
// starts the setup program and closes, which ends the program. The logo opens the vendor's
// home page with the registered HTML program.
#include <string>

#include "Forms.h"

class TacFileStorage;
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

  // Starts the extracted setup program with the shell's "open" verb and closes the window.
  // When the executable carries a manifest, every extracted file is checked against it
  // first; if one is missing or differs, nothing is started: the window says which file
  // and closes.
  void RunSetupProgram();
  // The full path of the extracted start page: DirTemp, one backslash, StartPageFileName.
  std::string StartPagePath() const;
};

extern TForm1* Form1;

// Makes the window's classes known to the form reader and reads the settings from the
// executable's resources (once, before Form1 is created).
void InitializeUnit1();
// The unit's end step: clears SetupFileName.
void FinalizeUnit1();
