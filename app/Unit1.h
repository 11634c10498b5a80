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

// The stored name of the carried setup program; cleared when the unit is finalised.
extern std::string SetupFileName;
// The stored name of the carried start page.
extern const std::string StartPageFileName;
// The vendor's home page, opened by a click on the logo.
extern const std::string VendorHomePage;

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
  void RunSetupProgram();
  // The full path of the extracted start page: DirTemp, one backslash, StartPageFileName.
  std::string StartPagePath() const;

private:
  // Links followed in the pane go to WebBrowser1OpenLink (set in code, not in the form).
  void BindOpenLink();
};

extern TForm1* Form1;

// Makes the window's classes known to the form reader (once, before Form1 is created).
void InitializeUnit1();
// The unit's end step: clears SetupFileName.
void FinalizeUnit1();
