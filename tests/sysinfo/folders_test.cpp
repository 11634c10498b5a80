// The folder properties: where each registry folder is read and written, when a write
// happens, and the three directories from the platform's queries.
#include <algorithm>
#include <string>
#include <vector>

#include "sysinfo/acSystemFolders.h"
#include "sysinfo_fixture.h"

namespace {

struct RegistryFolderCase {
  const char* property;
  HKEY root;
  const std::string& key;
  const char* valueName;
};

const HKEY kCU = HKEY_CURRENT_USER;
const HKEY kLM = HKEY_LOCAL_MACHINE;

const std::vector<RegistryFolderCase>& RegistryFolders() {
  static const std::vector<RegistryFolderCase> cases = {
      {"DirAppData", kCU, kSF, "AppData"},
      {"DirAppDataAll", kLM, kSF, "Common AppData"},
      {"DirCache", kCU, kSF, "Cache"},
      {"DirCookies", kCU, kSF, "Cookies"},
      {"DirCommonFiles", kLM, kCV, "CommonFilesDir"},
      {"DirDesktop", kCU, kSF, "Desktop"},
      {"DirFavorites", kCU, kSF, "Favorites"},
      {"DirFavoritesAll", kLM, kSF, "Common Favorites"},
      {"DirFonts", kCU, kSF, "Fonts"},
      {"DirHistory", kCU, kSF, "History"},
      {"DirMedia", kLM, kCV, "MediaPath"},
      {"DirMyPictures", kCU, kSF, "My Pictures"},
      {"DirNetHood", kCU, kSF, "NetHood"},
      {"DirPersonal", kCU, kSF, "Personal"},
      {"DirPrintHood", kCU, kSF, "PrintHood"},
      {"DirProgramFiles", kLM, kCV, "ProgramFilesDir"},
      {"DirPrograms", kCU, kSF, "Programs"},
      {"DirProgramsAll", kLM, kSF, "Common Programs"},
      {"DirRecent", kCU, kSF, "Recent"},
      {"DirSendTo", kCU, kSF, "SendTo"},
      {"DirStartMenu", kCU, kSF, "Start Menu"},
      {"DirStartMenuAll", kLM, kSF, "Common Start Menu"},
      {"DirStartup", kCU, kSF, "Startup"},
      {"DirStartupAll", kLM, kSF, "Common Startup"},
      {"DirTemplates", kCU, kSF, "Templates"},
      {"DirTemplatesAll", kLM, kSF, "Common Templates"},
  };
  return cases;
}

// The other root: a value written there instead would show as a wrong root.
HKEY OtherRoot(HKEY root) { return root == kCU ? kLM : kCU; }

class FoldersTest : public SystemInfoTest {};

TEST_F(FoldersTest, EveryRegistryFolderReadsItsOwnValueAsStored) {
  // Distinct values, with blanks, environment references and a final backslash that must
  // all come back untouched.
  for (const auto& c : RegistryFolders())
    PutReg(c.root, c.key, c.valueName, std::string("%SystemDrive%\\read ") + c.property + "\\");
  for (const auto& c : RegistryFolders())
    EXPECT_EQ(Get(c.property), std::string("%SystemDrive%\\read ") + c.property + "\\") << c.property;
}

TEST_F(FoldersTest, MissingValuesAndKeysReadEmpty) {
  Seed(kLM, kCV);
  for (HKEY root : {kCU, kLM}) {
    Seed(root, kSF);
    ASSERT_EQ(RegDeleteKeyA(root, kSF.c_str()), ERROR_SUCCESS);
  }
  for (const char* name : {"ProgramFilesDir", "CommonFilesDir", "MediaPath"}) {
    HKEY key;
    ASSERT_TRUE(OpenRegKey(key = kLM, kCV, false, KEY_ALL_ACCESS));
    RegDeleteValueA(key, name);
    RegCloseKey(key);
  }
  for (const auto& c : RegistryFolders()) EXPECT_EQ(Get(c.property), "") << c.property;
}

TEST_F(FoldersTest, WritesOnlyWithAllowEditAndNotWhileLoading) {
  for (const auto& c : RegistryFolders()) {
    SCOPED_TRACE(c.property);
    const std::string before = "C:\\before";
    PutReg(c.root, c.key, c.valueName, before);
    PutReg(OtherRoot(c.root), c.key, c.valueName, before);

    info->ALLOW_EDIT = false;
    Set(c.property, "C:\\not allowed");
    EXPECT_EQ(Reg(c.root, c.key, c.valueName), before);

    info->ALLOW_EDIT = true;
    info->IncludeState(csLoading);
    Set(c.property, "C:\\while loading");
    EXPECT_EQ(Reg(c.root, c.key, c.valueName), before);
    info->ExcludeState(csLoading);

    const std::string written = std::string("D:\\Data\\") + c.property;
    Set(c.property, written);
    EXPECT_EQ(Reg(c.root, c.key, c.valueName), written);
    EXPECT_EQ(Reg(OtherRoot(c.root), c.key, c.valueName), before);  // the other root untouched
    EXPECT_EQ(Get(c.property), written);                            // the next read asks again
  }
  EXPECT_TRUE(shown.empty());  // editable setters never show a message
}

TEST_F(FoldersTest, WritingCreatesAMissingKey) {
  Seed(kCU, kSF);
  ASSERT_EQ(RegDeleteKeyA(kCU, kSF.c_str()), ERROR_SUCCESS);
  ASSERT_EQ(Get("DirFavorites"), "");
  info->ALLOW_EDIT = true;
  Set("DirFavorites", "C:\\Favoriten");
  EXPECT_EQ(Reg(kCU, kSF, "Favorites"), "C:\\Favoriten");
  EXPECT_EQ(Get("DirFavorites"), "C:\\Favoriten");
}

TEST_F(FoldersTest, ProgramFilesWritesTheOldValueFirstAndReadsOnlyTheNewOne) {
  Seed(kLM, kCV);
  HKEY key;
  ASSERT_TRUE(OpenRegKey(key = kLM, kCV, false, KEY_ALL_ACCESS));
  RegDeleteValueA(key, "ProgramFilesDir");
  RegDeleteValueA(key, "ProgramFilesPath");
  RegCloseKey(key);

  info->ALLOW_EDIT = true;
  info->SetDirProgramFiles("E:\\Programme");
  EXPECT_EQ(Reg(kLM, kCV, "ProgramFilesPath"), "E:\\Programme");
  EXPECT_EQ(Reg(kLM, kCV, "ProgramFilesDir"), "E:\\Programme");
#ifndef _WIN32  // the Linux registry lists values in the order they were made; Windows promises no order
  std::vector<std::string> names;
  ASSERT_TRUE(GetRegValueNames(kLM, kCV, names));
  const auto path = std::find(names.begin(), names.end(), "ProgramFilesPath");
  const auto dir = std::find(names.begin(), names.end(), "ProgramFilesDir");
  ASSERT_NE(path, names.end());
  ASSERT_NE(dir, names.end());
  EXPECT_LT(path - names.begin(), dir - names.begin());
#endif

  PutReg(kLM, kCV, "ProgramFilesPath", "F:\\only the old value");
  EXPECT_EQ(info->GetDirProgramFiles(), "E:\\Programme");
}

TEST_F(FoldersTest, PlatformDirectories) {
  const std::string temp = GetTempDir();
  const std::string system = GetSystemDir();
  const std::string windows = GetWindowsDir();
  ASSERT_EQ(temp.back(), '\\');
  ASSERT_EQ(system.back(), '\\');
  ASSERT_EQ(windows.back(), '\\');
  EXPECT_EQ(info->GetDirTemp(), temp.substr(0, temp.size() - 1));
  EXPECT_EQ(info->GetDirSystem(), system.substr(0, system.size() - 1));
  EXPECT_EQ(info->GetDirWindows(), windows);
  // The window builds the start page's path from DirTemp: a single separator.
  EXPECT_EQ(info->GetDirTemp() + "\\page.htm", temp + "page.htm");
}

TEST(WithoutFinalBackslash, RemovesOnlyOne) {
  const struct {
    const char* dir;
    const char* expected;
  } cases[] = {
      {"C:\\TEMP\\", "C:\\TEMP"},
      {"C:\\TEMP", "C:\\TEMP"},
      {"C:\\", "C:"},
      {"C:\\a\\\\", "C:\\a\\"},
      {"", ""},
      {"\\", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WithoutFinalBackslash(c.dir), c.expected) << c.dir;
}

}  // namespace
