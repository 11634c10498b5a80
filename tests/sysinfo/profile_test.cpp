// The private-profile functions the screen saver's INI entry goes through, on an INI file in
// the test's own directory: buffers, lists, removals and refused writes.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "sysinfo/acScreenSaver.h"
#include "fresh_system.h"
#include "under_wine.h"

namespace {

class ProfileTest : public FreshSystemTest {
 protected:
  std::string Ini() const { return Root() + "test.ini"; }
  void WriteIni(const std::string& text) const { std::ofstream(Host(Ini()), std::ios::binary) << text; }
  std::string IniText() const {
    std::ifstream in(Host(Ini()), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(ProfileTest, BuffersAndLists) {
  WriteIni("[boot]\r\nshell=Explorer.exe\r\nscrnsave.exe=abc\r\n[mci]\r\n");
  char buffer[16];
  const struct {
    const char* section;
    const char* key;
    const char* fallback;
    DWORD size;
    DWORD length;
    std::string content;  // with the zeros the call stores
  } cases[] = {
      {"boot", "shell", "", 16, 12, std::string("Explorer.exe\0", 13)},
      {"boot", "shell", "", 5, 4, std::string("Expl\0", 5)},
      {"boot", "none", "dflt   ", 16, 4, std::string("dflt\0", 5)},
      {"boot", "none", nullptr, 16, 0, std::string("\0", 1)},
      {nullptr, nullptr, "", 16, 9, std::string("boot\0mci\0\0", 10)},
      // A list that does not fit is cut and ended by two zeros.
      {"boot", nullptr, "", 16, 14, std::string("shell\0scrnsave", 14) + std::string("\0\0", 2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section ? c.section : "(sections)") + "/" + (c.key ? c.key : "(keys)") + " size " +
                 std::to_string(c.size));
    std::memset(buffer, '#', sizeof buffer);
    const DWORD length = GetPrivateProfileStringA(c.section, c.key, c.fallback, buffer, c.size, Ini().c_str());
    EXPECT_EQ(length, c.length);
    // Wine ends a list it had to cut with one zero; the documentation says two.
    const bool cutList = (!c.section || !c.key) && length == c.size - 2;
    const size_t checked = cutList && UnderWine() ? c.content.size() - 1 : c.content.size();
    EXPECT_EQ(std::string(buffer, checked), c.content.substr(0, checked));
  }
}

TEST_F(ProfileTest, WritesRemoveAndRefuse) {
  WriteIni("[boot]\r\nshell=Explorer.exe\r\nscrnsave.exe=abc\r\n[mci]\r\nx=1\r\n");
  EXPECT_TRUE(WritePrivateProfileStringA("boot", "scrnsave.exe", nullptr, Ini().c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("mci", nullptr, nullptr, Ini().c_str()));
  EXPECT_EQ(IniText(), "[boot]\r\nshell=Explorer.exe\r\n");
  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "k", "v", Ini().c_str()));
#ifndef _WIN32
  // The Linux platform also refuses names and values that would change the file's structure
  // (Windows writes them as they are, which is why the library checks its own values).
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } refused[] = {
      {nullptr, "k", "v"}, {"a]b", "k", "v"}, {"boot", "k=x", "v"}, {"boot", "k\n", "v"}, {"boot", "k", "v\rw"}};
  for (const auto& r : refused) {
    SCOPED_TRACE(std::string(r.section ? r.section : "(none)") + "/" + r.key + "=" + r.value);
    EXPECT_FALSE(WritePrivateProfileStringA(r.section, r.key, r.value, Ini().c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
#endif
  EXPECT_EQ(IniText(), "[boot]\r\nshell=Explorer.exe\r\n");
  // A missing directory fails and creates nothing.
  EXPECT_FALSE(WritePrivateProfileStringA("a", "b", "c", (Root() + "nowhere\\x.ini").c_str()));
  EXPECT_FALSE(std::filesystem::exists(Host(Root()) / "nowhere"));
}

// A screen-saver value with a line break would add entries of its own to system.ini: it is
// never written, whatever the platform's profile functions let through.
TEST_F(ProfileTest, ScreenSaverValueWithALineBreakIsNotWritten) {
  const std::filesystem::path ini = Host(ScreenSaverIniFile());
  const auto content = [&] {
    std::ifstream in(ini, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  };
  const std::string before = content();
  for (const char* value : {"x.scr\r\n[boot]\r\nshell=evil.exe", "x.scr\nshell=evil.exe", "x.scr\rshell=evil.exe"}) {
    WriteScreenSaver(false, value);
    EXPECT_EQ(content(), before) << value;
  }
}

}  // namespace
