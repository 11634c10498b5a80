#include "Unit1.h"

#include "Cp1252.h"
#include "FormStreaming.h"
#include "MemoryStream.h"
#include "ExtCtrls.h"
#include "GuiApplication.h"
#include "PropertyRegistry.h"
#include "StdCtrls.h"
#include "WebBrowser.h"
#include "acFileStorage.h"
#include "acSystemInfo.h"
#include "acTextUtils.h"
#include "winapi.h"

std::string SetupFileName = "vexil_qm_trial.exe";
const std::string StartPageFileName = "startseite.html";
const std::string VendorHomePage = "https://www.example.com/quillmax/";

TForm1* Form1 = nullptr;

const TClassInfo& TForm1::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TForm1>("TForm1")
                                     .Field("acFileStorage1", &TForm1::acFileStorage1)
                                     .Field("acSystemInfo1", &TForm1::acSystemInfo1)
                                     .Field("WebBrowser1", &TForm1::WebBrowser1)
                                     .Field("Label3", &TForm1::Label3)
                                     .Field("Image2", &TForm1::Image2)
                                     .Field("Label2", &TForm1::Label2)
                                     .Field("Label5", &TForm1::Label5)
                                     .Field("Label6", &TForm1::Label6)
                                     .Method("WebBrowser1DocumentComplete", &TForm1::WebBrowser1DocumentComplete)
                                     .Method("FormActivate", &TForm1::FormActivate)
                                     .Method("Image2Click", &TForm1::Image2Click)
                                     .Build();
  return info;
}

TForm1::TForm1(TComponent* owner) : TForm(owner) { ReadFormResource(); }

TForm1::TForm1(TComponent* owner, const std::string& binaryForm) : TForm(owner) {
  TMemoryStream stream(binaryForm);
  ReadForm(stream, *this);
}

namespace {

std::u16string ToWide(const std::string& text) { return Cp1252ToUtf16(text); }

// The default value of HKEY_CLASSES_ROOT\htmlfile\shell\open\command, or empty. Only string
// values count; the key is closed on every path.
std::string ReadHtmlOpenCommand() {
  HKEY key = nullptr;
  // The open's result is not examined: a key that did not open reads as nothing.
  RegOpenKeyExA(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command", 0, KEY_ALL_ACCESS, &key);
  std::string command;
  if (key) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
      std::string data(size, '\0');
      if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
              ERROR_SUCCESS &&
          (type == REG_SZ || type == REG_EXPAND_SZ)) {
        data.resize(std::min<size_t>(size, data.size()));
        command = data.substr(0, data.find('\0'));
      }
    }
    RegCloseKey(key);
  }
  return command;
}

}  // namespace

void OpenWithDefaultBrowser(const std::string& url) {
  std::string command = ReadHtmlOpenCommand();
  if (command.empty()) return;
  std::string program;
  const size_t first = command.find('"');
  const size_t second = first == std::string::npos ? first : command.find('"', first + 1);
  if (second != std::string::npos) {
    program = command.substr(first + 1, second - first - 1);
  } else {
    // No quoted program: the command line's own program part.
    std::string parameters;
    program = command;
    SplitCommandLine(program, parameters);
  }
  if (program.empty()) return;
  ShellExecuteA(nullptr, "open", program.c_str(), url.c_str(), nullptr, SW_SHOW);
}

std::string TForm1::StartPagePath() const { return acSystemInfo1->GetDirTemp() + "\\" + StartPageFileName; }

void TForm1::FormActivate(TObject*) { WebBrowser1->Navigate(ToWide(StartPagePath())); }

void TForm1::Image2Click(TObject*) { OpenWithDefaultBrowser(VendorHomePage); }

void TForm1::WebBrowser1DocumentComplete(TObject*, TObject*, const std::u16string&) { RunSetupProgram(); }

void TForm1::RunSetupProgram() {
  const std::string path = acSystemInfo1->GetDirTemp() + "\\" + SetupFileName;
  HWND owner = GuiApplication() ? reinterpret_cast<HWND>(GuiApplication()->Handle()) : nullptr;
  ShellExecuteA(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOW);
  Close();
}

void InitializeUnit1() {
  RegisterClass(TForm1::StaticClassInfo());
}

void FinalizeUnit1() { SetupFileName.clear(); }
