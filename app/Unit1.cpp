#include "Unit1.h"

#include <cstdio>
#include <set>

#include "charset/Cp1252.h"
#include "core/FormStreaming.h"
#include "core/MemoryStream.h"
#include "gui/ExtCtrls.h"
#include "gui/GuiApplication.h"
#include "core/PropertyRegistry.h"
#include "gui/StdCtrls.h"
#include "gui/WebBrowser.h"
#include "gui/Trace.h"
#include "storage/acFileStorage.h"
#include "storage/acManifest.h"
#include "sysinfo/acSystemInfo.h"
#include "util/acTextPrimitives.h"
#include "util/acTextUtils.h"
#include "util/acUtils.h"
#include "platform/winapi.h"
#ifndef _WIN32
#endif

std::string SetupFileName = "vexil_qm_trial.exe";
std::string StartPageFileName = "startseite.html";
std::string VendorHomePage = "https://www.example.com/quillmax/";

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

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  ReadFormResource();
  BindOpenLink();
}

TForm1::TForm1(TComponent* owner, const std::string& binaryForm) : TForm(owner) {
  TMemoryStream stream(binaryForm);
  ReadForm(stream, *this);
  BindOpenLink();
}

void TForm1::BindOpenLink() {
  if (WebBrowser1) WebBrowser1->OnOpenLink.Bind(this, &TForm1::WebBrowser1OpenLink);
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

// Whether the address is one for a web browser (rather than for a mail program and the like).
bool IsBrowserAddress(const std::string& address) {
  const size_t colon = address.find(':');
  const std::string scheme = actext::LowerCase(address.substr(0, colon == std::string::npos ? 0 : colon));
  return scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "file";
}

// The bytes of an RT_RCDATA resource of the executable; false when it has none.
bool OwnResource(const char* name, std::string& bytes) {
  HRSRC info = FindResourceA(nullptr, name, RT_RCDATA);
  if (!info) return false;
  const void* data = LockResource(LoadResource(nullptr, info));
  if (!data) return false;
  bytes.assign(static_cast<const char*>(data), SizeofResource(nullptr, info));
  return true;
}

void SettingFromResource(const char* name, std::string& value) {
  std::string bytes;
  if (OwnResource(name, bytes)) value = bytes;
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

std::string TForm1::StartPagePath() const {
  const std::string dir = acSystemInfo1->GetDirTemp();
  return dir.empty() ? std::string() : dir + "\\" + StartPageFileName;
}

void TForm1::FormActivate(TObject*) {
  const std::string page = StartPagePath();
  if (!page.empty()) WebBrowser1->Navigate(ToWide(page));
}

void TForm1::Image2Click(TObject*) { OpenWithDefaultBrowser(VendorHomePage); }

void TForm1::WebBrowser1OpenLink(TObject*, const std::u16string& URL) {
  const std::string address = Utf16ToCp1252(URL);
  if (address.empty()) return;
  // Web addresses go where the logo's does; without a registered HTML program, and for any
  // other kind of address (mailto:), the desktop's program for it opens it.
  if (IsBrowserAddress(address) && !ReadHtmlOpenCommand().empty())
    OpenWithDefaultBrowser(address);
  else
    ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

void TForm1::WebBrowser1DocumentComplete(TObject*, TObject*, const std::u16string&) { RunSetupProgram(); }

namespace {

// ShellExecuteA's failure values in words.
std::string ShellErrorText(INT_PTR code) {
  switch (code) {
    case 0:
      return "the system is out of memory or resources";
    case SE_ERR_FNF:
      return "the file was not found";
    case SE_ERR_PNF:
      return "the path was not found";
    case SE_ERR_ACCESSDENIED:
      return "access was denied";
    case SE_ERR_OOM:
      return "there is not enough memory";
    case ERROR_BAD_FORMAT:
      return "it is not a valid program";
    case SE_ERR_NOASSOC:
      return "no program is associated with it";
    default:
      return "error " + std::to_string(code);
  }
}

}  // namespace

void ShowInstallationError(const std::string& text) {
  if (TGuiApplication* app = GuiApplication()) app->MessageBox(text, app->Title(), MB_OK | MB_ICONERROR);
}

TStoredFile* TForm1::StoredFile(const std::string& name) const {
  TStoredFile* found = nullptr;
  for (int i = 0; i < acFileStorage1->Files()->Count(); ++i)
    if (acFileStorage1->File(i)->FileName == name) found = acFileStorage1->File(i);
  return found;
}

std::string TForm1::SetupProgramProblem() const {
  const std::string dir = acSystemInfo1->GetDirTemp();
  if (dir.empty()) return "The installation cannot start: there is no usable temporary directory.";
  const std::string path = dir + "\\" + SetupFileName;
  const TStoredFile* stored = StoredFile(SetupFileName);
  const int64_t expected = stored ? stored->Size : -1;
  const int64_t size = GetFileSizeByName(path);
  if (size < 0)
    return "The setup program could not be unpacked into " + dir + ": " + SetupFileName +
           " is not there (the directory may be read-only or full).";
  if (expected >= 0 && size != expected)
    return "The setup program could not be unpacked into " + dir + ": only " + std::to_string(size) + " of " +
           std::to_string(expected) + " bytes of " + SetupFileName + " were written (the disk may be full).";
  return std::string();
}

TForm1::Refusal TForm1::CheckAgainstManifest(const std::string& manifestText, const std::string& dir) {
  auto damaged = [](const std::string& name) {
    return Refusal{name, "The file " + name +
                             " of this installer is damaged or was changed after the installer was made. The setup "
                             "program is not started."};
  };
  std::vector<ManifestEntry> manifest;
  if (!ParseManifest(manifestText, manifest)) return damaged("(the manifest)");
  std::set<std::string> rewritten;
  for (;;) {
    const std::string name = FirstDamagedFile(manifest, dir + "\\");
    if (name.empty()) return {};
    TStoredFile* stored = StoredFile(name);
    if (!stored || !rewritten.insert(name).second) return damaged(name);
    GuiTrace("rewritten " + name);
    if (!stored->ExtractBelow(dir + "\\", false))
      return {name, "The file " + name + " in " + dir +
                        " is not this installer's and could not be replaced (it may be in use). The setup program "
                        "is not started."};
  }
}

void TForm1::RunSetupProgram() {
  if (startingSetup_) return;
  startingSetup_ = true;
  const std::string dir = acSystemInfo1->GetDirTemp();
  std::string manifestText;
  Refusal refusal;
  if (!dir.empty() && OwnResource(kManifestResourceName, manifestText))
    refusal = CheckAgainstManifest(manifestText, dir);
  if (dir.empty()) {
    setupFailed_ = true;
    ShowInstallationError("The setup program cannot be started: there is no usable temporary directory.");
  } else if (!refusal.file.empty()) {
    setupFailed_ = true;
    GuiTrace("refused " + refusal.file);
    std::fprintf(stderr, "%s\n", refusal.message.c_str());
    ShowInstallationError(refusal.message);
  } else if (!setupStarted_) {
    const std::string path = dir + "\\" + SetupFileName;
    HWND owner = GuiApplication() ? reinterpret_cast<HWND>(GuiApplication()->Handle()) : nullptr;
    const INT_PTR code =
        reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOW));
    if (code > 32) {
      setupStarted_ = true;
    } else {
      setupFailed_ = true;
      ShowInstallationError("The setup program " + path + " could not be started: " + ShellErrorText(code) + ".");
    }
  }
  startingSetup_ = false;
  Close();
}

int InstallerExitStatus(const TGuiApplication& app, const TForm1& form) {
  if (form.SetupStarted()) return kExitSetupStarted;
  if (form.SetupFailed()) return kExitFailed;
  if (app.TerminationSignal()) return kExitSignalBase + app.TerminationSignal();
  return kExitClosedEarly;
}

void InitializeUnit1() {
  RegisterClass(TForm1::StaticClassInfo());
  SettingFromResource("SETUPFILENAME", SetupFileName);
  SettingFromResource("STARTPAGEFILENAME", StartPageFileName);
  SettingFromResource("VENDORHOMEPAGE", VendorHomePage);
}

void FinalizeUnit1() { SetupFileName.clear(); }
