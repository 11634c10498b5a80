// The screen saver through system.ini on a temporary prefix (and through the registry on
// NT), and the private-profile functions it uses.
#include <gmock/gmock.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "sysinfo/acScreenSaver.h"
#include "platform/posix/inifile.h"
#include "sysinfo_fixture.h"

namespace {

using winposix::TIniText;

class ScreenSaverTest : public SystemInfoTest {
 protected:
  std::filesystem::path SystemIni() const { return Host(Root()) / "windows" / "system.ini"; }
  void WriteSystemIni(const std::string& text) {
    std::filesystem::create_directories(SystemIni().parent_path());
    std::ofstream(SystemIni(), std::ios::binary) << text;
  }
  std::string SystemIniText() const {
    std::ifstream in(SystemIni(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(ScreenSaverTest, DefaultWithoutEntryOrFile) {
  EXPECT_EQ(ScreenSaverIniFile(), "C:\\windows\\system.ini");
  EXPECT_EQ(Get("ScreenSaver"), "C:\\windows\\FLYING~1.SCR");
  WriteSystemIni("[boot]\r\nshell=Explorer.exe\r\n[boot.description]\r\nscrnsave.exe=elsewhere\r\n");
  EXPECT_EQ(Get("ScreenSaver"), "C:\\windows\\FLYING~1.SCR");
}

TEST_F(ScreenSaverTest, ReadsTheBootEntry) {
  WriteSystemIni(
      "; Windows settings\r\n[386Enh]\r\nscrnsave.exe=wrong\r\n[Boot]\r\n  SCRNSAVE.EXE = C:\\WINDOWS\\MYST.SCR  \r\n");
  EXPECT_EQ(Get("ScreenSaver"), "C:\\WINDOWS\\MYST.SCR");
}

TEST_F(ScreenSaverTest, LongValueReadWhole) {
  const std::string value = "C:\\" + std::string(700, 'a') + ".SCR";
  WriteSystemIni("[boot]\nscrnsave.exe=" + value + "\n");
  EXPECT_EQ(Get("ScreenSaver"), value);
}

TEST_F(ScreenSaverTest, SetterWritesOnlyWithAllowEditAndKeepsTheRest) {
  const std::string original =
      "; keep me\r\n[boot]\r\nshell=Explorer.exe\r\nscrnsave.exe=old.scr\r\n\r\n[drivers]\r\nwave=mmsystem.dll\r\n";
  WriteSystemIni(original);
  Set("ScreenSaver", "C:\\windows\\new.scr");
  EXPECT_EQ(SystemIniText(), original);

  info->ALLOW_EDIT = true;
  info->IncludeState(csLoading);
  Set("ScreenSaver", "C:\\windows\\new.scr");
  EXPECT_EQ(SystemIniText(), original);
  info->ExcludeState(csLoading);

  Set("ScreenSaver", "C:\\windows\\new.scr");
  EXPECT_EQ(Get("ScreenSaver"), "C:\\windows\\new.scr");
  EXPECT_EQ(SystemIniText(),
            "; keep me\r\n[boot]\r\nshell=Explorer.exe\r\nscrnsave.exe=C:\\windows\\new.scr\r\n\r\n[drivers]\r\n"
            "wave=mmsystem.dll\r\n");
  EXPECT_TRUE(shown.empty());
}

TEST_F(ScreenSaverTest, SetterCreatesTheFile) {
  info->ALLOW_EDIT = true;
  Set("ScreenSaver", "C:\\windows\\ssmyst.scr");
  EXPECT_EQ(SystemIniText(), "[boot]\r\nscrnsave.exe=C:\\windows\\ssmyst.scr\r\n");
  struct stat st;
  ASSERT_EQ(stat(SystemIni().c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IRUSR, 0u);  // an ordinary readable file, not the temporary one's 0600 only
}

TEST_F(ScreenSaverTest, OnNTTheDesktopValue) {
  WriteSystemIni("[boot]\r\nscrnsave.exe=ini.scr\r\n");
  EXPECT_EQ(ReadScreenSaver(true), "");
  WriteScreenSaver(true, "C:\\WINNT\\system32\\logon.scr");
  EXPECT_EQ(Reg(HKEY_CURRENT_USER, "Control Panel\\Desktop", "SCRNSAVE.EXE"), "C:\\WINNT\\system32\\logon.scr");
  EXPECT_EQ(ReadScreenSaver(true), "C:\\WINNT\\system32\\logon.scr");
  EXPECT_EQ(ReadScreenSaver(false), "ini.scr");  // the INI entry is untouched
}

TEST_F(ScreenSaverTest, ValueWithLineBreakIsNotWritten) {
  WriteSystemIni("[boot]\r\nscrnsave.exe=old.scr\r\n");
  info->ALLOW_EDIT = true;
  Set("ScreenSaver", "x.scr\r\n[boot]\r\nshell=evil.exe");
  EXPECT_EQ(SystemIniText(), "[boot]\r\nscrnsave.exe=old.scr\r\n");
}

// ---- the INI text --------------------------------------------------------------------------

TEST(IniText, Lookups) {
  const TIniText ini(
      "top=before any section\n[One]\na=1\n ; b=commented\nB = \"quoted\" \nc='x'\nd=\"unbalanced'\n"
      "e=\n[two]\na=2\n[ONE]\na=second one\nz=9\n");
  const struct {
    const char* section;
    const char* key;
    std::optional<std::string> value;
  } cases[] = {
      {"one", "A", "1"},
      {"One", "b", "quoted"},
      {"One", "c", "x"},
      {"One", "d", "\"unbalanced'"},
      {"One", "e", ""},
      {"One", "z", std::nullopt},  // in the second [ONE], which does not count
      {"Two", "a", "2"},
      {"", "top", std::nullopt},
      {"three", "a", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    EXPECT_EQ(ini.Value(c.section, c.key), c.value);
  }
  EXPECT_THAT(ini.Sections(), ::testing::ElementsAre("One", "two", "ONE"));
  EXPECT_THAT(ini.Keys("one"), ::testing::ElementsAre("a", "B", "c", "d", "e"));
}

TEST(IniText, Changes) {
  const struct {
    const char* before;
    const char* op;  // "set", "del", "drop"
    const char* section;
    const char* key;
    const char* value;
    const char* after;
  } cases[] = {
      {"", "set", "boot", "k", "v", "[boot]\r\nk=v\r\n"},
      {"[a]\nx=1\n", "set", "b", "k", "v", "[a]\nx=1\n\n[b]\nk=v\n"},
      {"[a]\nx=1\n\n[b]\ny=2\n", "set", "A", "z", "3", "[a]\nx=1\nz=3\n\n[b]\ny=2\n"},
      {"[a]\r\n X = 1\r\n", "set", "a", "x", "2", "[a]\r\nX=2\r\n"},
      {"[a]\nx=1\ny=2\n", "del", "a", "X", "", "[a]\ny=2\n"},
      {"[a]\nx=1\n[b]\ny=2\n", "drop", "A", "", "", "[b]\ny=2\n"},
      {"[a]\nx=1\n", "del", "b", "x", "", "[a]\nx=1\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.op) + " on " + c.before);
    TIniText ini(c.before);
    if (std::string(c.op) == "set")
      ini.Set(c.section, c.key, c.value);
    else if (std::string(c.op) == "del")
      ini.RemoveKey(c.section, c.key);
    else
      ini.RemoveSection(c.section);
    EXPECT_EQ(ini.Text(), c.after);
  }
}

TEST_F(ScreenSaverTest, ProfileNameWithoutDirectoryIsInTheWindowsDirectory) {
  WriteSystemIni("[boot]\r\nscrnsave.exe=abc\r\n");
  char buffer[16];
  for (const char* file : {"system.ini", "C:\\WINDOWS\\SYSTEM.INI"}) {
    EXPECT_EQ(GetPrivateProfileStringA("boot", "scrnsave.exe", "", buffer, sizeof buffer, file), 3u) << file;
    EXPECT_STREQ(buffer, "abc") << file;
  }
}

}  // namespace
