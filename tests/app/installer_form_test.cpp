// The window as the installer carries it: the form resource read from the built executable's
// resource section, the storage's files against the unit's names, the extraction at load and
// the removal at destruction; and the opening of addresses through the registry's command.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

#include "charset/Cp1252.h"
#include "gui/ExtCtrls.h"
#include "gui/GuiClasses.h"
#include "gui/StdCtrls.h"
#include "app/Unit1.h"
#include "gui/WebBrowser.h"
#include "storage/acFileStorage.h"
#include "sysinfo/acSystemInfo.h"
#include "util/acUtils.h"
#include "platform/hostpath.h"
#include "platform/posix/execresources.h"
#include "platform/winapi.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// A fresh prefix for the process's drive C: and registry.
class PrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_ = fs::temp_directory_path() / ("stowaway-form-" + std::to_string(getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(prefix_);
    fs::create_directories(prefix_);
    setenv("STOWAWAY_PREFIX", prefix_.c_str(), 1);
    RegisterGuiClasses();
    RegisterStorageClasses();
    RegisterSystemInfoClasses();
    InitializeUnit1();
  }
  void TearDown() override { fs::remove_all(prefix_); }
  fs::path prefix_;
};

std::string InstallerForm() {
  for (const ExecutableResource& r : ReadExecutableResources(STOWAWAY_INSTALLER))
    if (r.type == 10 && r.name == "TFORM1") return std::string(r.data);
  return {};
}

using InstallerForm1 = PrefixTest;

TEST_F(InstallerForm1, TheExecutableCarriesTheWindowWithBothFilesUnderTheUnitsNames) {
  const std::string form = InstallerForm();
  ASSERT_EQ(form.substr(0, 4), "TPF0");
  const fs::path temp = WindowsPathToUnix(GetTempDir());
  {
    auto window = std::make_unique<TForm1>(nullptr, form);
    // Fields in place, window properties as designed.
    ASSERT_TRUE(window->acFileStorage1 && window->acSystemInfo1 && window->WebBrowser1 && window->Label3 &&
                window->Image2 && window->Label2 && window->Label5 && window->Label6);
    EXPECT_EQ(window->Caption(), "Installation");
    EXPECT_EQ(window->ClientWidth(), 711);
    EXPECT_EQ(window->ClientHeight(), 344);
    EXPECT_EQ(window->BorderStyle(), bsSingle);
    EXPECT_EQ(window->Color(), clWhite);
    EXPECT_EQ(window->OnActivate.MethodName(), "FormActivate");
    EXPECT_EQ(window->Label3->Caption(), "Noch ein Mausklick und Sie k\xF6nnen loslegen!");
    EXPECT_EQ(window->Label3->DrawFont().Color(), clNavy);
    EXPECT_EQ(window->Image2->Cursor(), crHandPoint);
    EXPECT_EQ(window->Image2->Picture()->Bitmap().Width(), 148);
    EXPECT_EQ(window->Image2->Picture()->Bitmap().Height(), 149);
    EXPECT_EQ(window->Image2->Picture()->Bitmap().BitsPerPixel(), 8);
    EXPECT_EQ(window->Image2->Picture()->Bitmap().PaletteSize(), 256);
    EXPECT_EQ(window->Image2->OnClick.MethodName(), "Image2Click");
    EXPECT_EQ(window->WebBrowser1->TabOrder(), 0);
    EXPECT_EQ(window->WebBrowser1->ControlData().size(), 76u);
    EXPECT_EQ(window->WebBrowser1->OnDocumentComplete.MethodName(), "WebBrowser1DocumentComplete");

    // The storage holds the page and the setup program under the unit's names, in that order.
    TacFileStorage& storage = *window->acFileStorage1;
    ASSERT_EQ(storage.Count(), 2);
    EXPECT_EQ(storage.File(0)->FileName, StartPageFileName);
    EXPECT_EQ(storage.File(1)->FileName, SetupFileName);
    EXPECT_EQ(storage.File(0)->Size, static_cast<int32_t>(fs::file_size(STOWAWAY_START_PAGE)));
    EXPECT_EQ(storage.File(0)->Content(), ReadText(STOWAWAY_START_PAGE));

    // Extracted while the form was read, before any handler could run.
    EXPECT_EQ(ReadText(temp / StartPageFileName), ReadText(STOWAWAY_START_PAGE));
    EXPECT_TRUE(fs::exists(temp / SetupFileName));

    // The page's path: the temporary directory, one backslash, the name.
    const std::string path = window->StartPagePath();
    EXPECT_EQ(path, window->acSystemInfo1->GetDirTemp() + "\\" + StartPageFileName);
    EXPECT_EQ(path.find("\\\\"), std::string::npos);
    EXPECT_EQ(fs::path(WindowsPathToUnix(path)), temp / StartPageFileName);
  }
  // Destroying the window removed what the storage wrote.
  EXPECT_FALSE(fs::exists(temp / StartPageFileName));
  EXPECT_FALSE(fs::exists(temp / SetupFileName));
}

TEST_F(InstallerForm1, ASetupProgramNotUnpackedWholeIsNamedAndNotStarted) {
  const fs::path temp = WindowsPathToUnix(GetTempDir());
  auto window = std::make_unique<TForm1>(nullptr, InstallerForm());
  EXPECT_EQ(window->SetupProgramProblem(), "");
  const std::string dir = window->acSystemInfo1->GetDirTemp();
  struct Case {
    const char* what;
    void (*spoil)(const fs::path& setup);
    const char* text;
  };
  const Case cases[] = {
      {"cut short", [](const fs::path& setup) { fs::resize_file(setup, 100); }, "only 100 of "},
      {"missing", [](const fs::path& setup) { fs::remove(setup); }, " is not there"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.spoil(temp / SetupFileName);
    const std::string problem = window->SetupProgramProblem();
    EXPECT_THAT(problem, ::testing::HasSubstr("could not be unpacked into " + dir + ":"));
    EXPECT_THAT(problem, ::testing::HasSubstr(c.text));
    EXPECT_THAT(problem, ::testing::HasSubstr(SetupFileName));
  }
  // The shell cannot start a missing program: the failure is recorded, nothing started.
  window->RunSetupProgram();
  EXPECT_TRUE(window->SetupFailed());
  EXPECT_FALSE(window->SetupStarted());
}

// OpenWithDefaultBrowser with a registered command: a script that records its arguments.
struct BrowserCase {
  const char* name;
  // The command; %P stands for the script's Windows path. Empty: no value at all.
  std::string command;
  bool asString;
  bool expectStarted;
};

void PrintTo(const BrowserCase& c, std::ostream* os) { *os << c.name; }

class OpenWithDefaultBrowserTest : public PrefixTest, public ::testing::WithParamInterface<BrowserCase> {};

TEST_P(OpenWithDefaultBrowserTest, StartsTheQuotedProgramWithTheAddressAsItsOnlyParameter) {
  const BrowserCase& c = GetParam();
  const fs::path script = prefix_ / "browser.sh";
  const fs::path record = prefix_ / "args.txt";
  {
    std::ofstream s(script);
    s << "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\" >> '" << record.string() << "'; done\n";
  }
  fs::permissions(script, fs::perms::owner_all);
  const std::string program = UnixPathToWindows(script.string());
  std::string command = c.command;
  for (size_t at; (at = command.find("%P")) != std::string::npos;) command.replace(at, 2, program);

  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  if (c.asString) {
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
  } else {
    const DWORD number = 5;
    RegSetValueExA(key, nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  }
  RegCloseKey(key);

  OpenWithDefaultBrowser("https://www.example.com/a page/");
  for (int i = 0; i < 200 && c.expectStarted && !fs::exists(record); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (c.expectStarted) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReadText(record), "[https://www.example.com/a][page/]");
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(record));
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, OpenWithDefaultBrowserTest,
                         ::testing::Values(BrowserCase{"QuotedProgramWithOptions", "\"%P\" -nohome \"%1\"", true, true},
                                           BrowserCase{"TextBeforeTheQuotedProgram", "start \"%P\" %1", true, true},
                                           BrowserCase{"UnquotedProgram", "%P %1", true, true},
                                           BrowserCase{"EmptyCommand", "", true, false},
                                           BrowserCase{"NotAString", "", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Links the user follows in the pane: web addresses go to the registered HTML program, other
// addresses, and web addresses when no HTML program is registered, to the desktop's opener.
TEST_F(InstallerForm1, FollowedLinksOpenWithTheBrowserOrTheDesktopsOpener) {
  const fs::path bin = prefix_ / "bin";
  fs::create_directories(bin);
  for (const char* name : {"browser", "xdg-open"}) {
    std::ofstream s(bin / name);
    s << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" << (prefix_ / name).string() << ".log'\n";
    fs::permissions(bin / name, fs::perms::owner_all);
  }
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
  setenv("PATH", (bin.string() + ":" + path).c_str(), 1);
  struct RestorePath {
    std::string path;
    ~RestorePath() { setenv("PATH", path.c_str(), 1); }
  } restore{path};
  auto window = std::make_unique<TForm1>(nullptr, InstallerForm());
  ASSERT_TRUE(window->WebBrowser1->OnOpenLink.Assigned());

  const struct {
    bool registered;
    const char* address;
    const char* opens;
  } cases[] = {
      {true, "https://www.example.com/more", "browser"},
      {true, "mailto:info@example.com", "xdg-open"},
      {false, "http://www.example.com/", "xdg-open"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command");
    if (c.registered)
      WriteRegString(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command", "",
                     "\"" + UnixPathToWindows((bin / "browser").string()) + "\" \"%1\"");
    const fs::path log = prefix_ / (std::string(c.opens) + ".log");
    fs::remove(log);
    window->WebBrowser1->DoOpenLink(c.address);
    for (int i = 0; i < 200 && ReadText(log).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ReadText(log), std::string(c.address) + "\n");
  }
}

}  // namespace
