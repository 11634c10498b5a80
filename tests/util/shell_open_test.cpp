// The program the shell registers for opening a file extension, over file
// types written into a fresh system's registry.
#include "util/acUtils.h"
#include "fresh_system.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Classes written for the user show in the merged HKEY_CLASSES_ROOT view.
const std::string kClasses = "Software\\Classes\\";

class ShellOpenTest : public FreshSystemTest {
 protected:
  static void Class(const std::string& keyPath, const std::string& value, const std::string& valueName = "") {
    WriteRegString(HKEY_CURRENT_USER, kClasses + keyPath, valueName, value);
  }
};

TEST_F(ShellOpenTest, FindsTheOpenCommandsProgram) {
  Class(".stwtxt", "stwtxtfile");
  Class("stwtxtfile", "Text Document");
  Class("stwtxtfile\\shell\\open\\command", "\"C:\\Windows\\system32\\NOTEPAD.EXE\" %1");
  Class(".stwweb", "StwHTML");
  Class("StwHTML", "Web page");
  Class("StwHTML\\shell\\open\\command", "\"C:\\Program Files\\Mozilla Firefox\\firefox.exe\" -osint -url \"%1\"");
  Class(".stwimg", "StwImage");
  Class("StwImage", "");  // an empty description still counts: the key opens
  Class("StwImage\\shell\\open\\command", "rundll32.exe C:\\WINDOWS\\system32\\shimgvw.dll,ImageView_Fullscreen %1");

  struct Case {
    const char* extension;
    std::string program;
  };
  const Case cases[] = {
      {".stwtxt", "C:\\Windows\\system32\\NOTEPAD.EXE"},
      {"stwtxt", "C:\\Windows\\system32\\NOTEPAD.EXE"},
      {".stwweb", "C:\\Program Files\\Mozilla Firefox\\firefox.exe"},
      {".stwimg", "rundll32.exe C:\\WINDOWS\\system32\\shimgvw.dll,ImageView_Fullscreen"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetShellOpenProgram(c.extension), c.program) << c.extension;
}

TEST_F(ShellOpenTest, MissingPiecesGiveTheEmptyText) {
  Class(".stwnotype", "");              // extension without a type name
  Class(".stwnokey", "StwNoSuchType");  // type name without its key
  Class(".stwempty", "StwEmpty");       // open command present but empty
  Class("StwEmpty", "x");
  Class("StwEmpty\\shell\\open\\command", "");
  Class(".stwnoshell", "StwNoShell");  // no shell key at all
  Class("StwNoShell", "x");

  for (const char* extension : {"", ".", ".stwnotype", ".stwnokey", ".stwempty", ".stwnoshell", ".stwabsent"})
    EXPECT_EQ(GetShellOpenProgram(extension), "") << extension;
}

TEST_F(ShellOpenTest, OtherVerbsListedAsValuesOfTheShellKey) {
  // Without shell\open\command the verbs are taken from the value names of
  // the shell key: the earliest whose name holds "open" in any case wins.
  Class(".stwverb", "StwVerb");
  Class("StwVerb", "x");
  Class("StwVerb\\shell", "", "print");
  Class("StwVerb\\shell", "", "OpenInViewer");
  Class("StwVerb\\shell", "", "reopen");
  Class("StwVerb\\shell\\print\\command", "C:\\Print\\print.exe %1");
  Class("StwVerb\\shell\\OpenInViewer\\command", "C:\\Viewer\\viewer.exe %1");
  Class("StwVerb\\shell\\reopen\\command", "C:\\Reopen\\reopen.exe %1");
  const std::string program = GetShellOpenProgram(".stwverb");
  std::vector<std::string> names;
  ASSERT_TRUE(GetRegValueNames(HKEY_CLASSES_ROOT, "StwVerb\\shell", names));
  // The earliest "open" verb in the order the registry lists them.
  std::string expected;
  for (const std::string& name : names) {
    if (name == "OpenInViewer") {
      expected = "C:\\Viewer\\viewer.exe";
      break;
    }
    if (name == "reopen") {
      expected = "C:\\Reopen\\reopen.exe";
      break;
    }
  }
  EXPECT_EQ(program, expected);

  // No "open" verb: the first verb whose command is there and not empty.
  Class(".stwplain", "StwPlain");
  Class("StwPlain", "x");
  Class("StwPlain\\shell", "", "edit");
  Class("StwPlain\\shell", "", "print");
  Class("StwPlain\\shell\\print\\command", "C:\\Print\\print.exe %1");
  EXPECT_EQ(GetShellOpenProgram(".stwplain"), "C:\\Print\\print.exe");
}

#ifndef _WIN32
// The Linux prefix seeds .html with the desktop's default browser, found on PATH
// when the desktop names none. A stand-in browser is put first on PATH
// before the prefix is laid out (the platform looks once per process, so this
// holds when each test runs in a process of its own, as under CTest).
TEST_F(ShellOpenTest, HtmlOpensWithTheSeededBrowser) {
  const std::filesystem::path bin = Host(Root()) / "bin";
  std::filesystem::create_directories(bin);
  const std::filesystem::path browser = bin / "x-www-browser";
  std::ofstream(browser) << "#!/bin/sh\nexit 0\n";
  ::chmod(browser.c_str(), 0755);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);

  const std::string program = GetShellOpenProgram(".html");
  const std::string withoutDot = GetShellOpenProgram("html");
  setenv("PATH", oldPath.c_str(), 1);
  std::filesystem::remove_all(bin);

  std::string command;
  ReadRegString(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command", "", command);
  if (command.find("x-www-browser") == std::string::npos)
    GTEST_SKIP() << "browser already looked up in this process: " << command;
  EXPECT_EQ(program, UnixPathToWindows(browser.string()));
  EXPECT_EQ(withoutDot, program);
}
#endif

}  // namespace
