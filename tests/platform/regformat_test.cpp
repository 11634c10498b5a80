#include <algorithm>
#include <csignal>
#include <sys/wait.h>

#include "platform/posix/regformat.h"
#include "platform/posix/regstore.h"
#include "prefix_fixture.h"

using winposix::ParseWineRegistry;
using winposix::RegFormatError;
using winposix::WriteWineRegistry;

TEST(RegFormat, ParsesWineTextWithEscapesAndHex) {
  const std::string text =
      "WINE REGISTRY Version 2\n"
      ";; All keys relative to \\\\Machine\n"
      "#arch=win64\n"
      "\n"
      "[Software\\\\Classes\\\\.html] 1700000000\n"
      "#time=1d9a2b3c4d5e6f7\n"
      "@=\"htmlfile\"\n"
      "\"Esc\"=\"a\\\\b\\\"c\\n\\x00e9\\x20ac\"\n"
      "\"Expand\"=str(2):\"%SystemRoot%\\\\x\"\n"
      "\"Num\"=dword:0000002a\n"
      "\"Bin\"=hex:01,02,\\\n"
      "  ff\n"
      "\"Wide\"=hex(1):41,00,e9,00,00,00\n"
      "\"Multi\"=str(7):\"a\\0b\\0\"\n"
      "[Empty\\\\Key\\[x\\]] 0\n";
  auto root = ParseWineRegistry(text);
  auto* key = root->Find({"software", "CLASSES", ".HTML"});
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->modified, 1700000000);
  EXPECT_EQ(key->FindValue("")->data, std::string("htmlfile\0", 9));
  EXPECT_EQ(key->FindValue("esc")->data, std::string("a\\b\"c\n\xe9\x80\0", 9));
  EXPECT_EQ(key->FindValue("Expand")->type, DWORD(REG_EXPAND_SZ));
  EXPECT_EQ(key->FindValue("Num")->data, std::string("\x2a\0\0\0", 4));
  EXPECT_EQ(key->FindValue("Bin")->data, "\x01\x02\xff");
  EXPECT_EQ(key->FindValue("Wide")->data, std::string("A\xe9\0", 3));
  EXPECT_EQ(key->FindValue("Multi")->data, std::string("a\0b\0\0", 5));
  EXPECT_NE(root->Find({"Empty", "Key[x]"}), nullptr);

  // Written and read again, everything is the same.
  auto again = ParseWineRegistry(WriteWineRegistry(*root, "\\Machine"));
  EXPECT_EQ(WriteWineRegistry(*again, "\\Machine"), WriteWineRegistry(*root, "\\Machine"));
  auto* copy = again->Find({"Software", "Classes", ".html"});
  ASSERT_NE(copy, nullptr);
  for (const auto& value : key->values) {
    ASSERT_NE(copy->FindValue(value.name), nullptr) << value.name;
    EXPECT_EQ(copy->FindValue(value.name)->data, value.data) << value.name;
    EXPECT_EQ(copy->FindValue(value.name)->type, value.type) << value.name;
  }
}

TEST(RegFormat, RejectsDamagedText) {
  const char* bad[] = {
      "",
      "REGEDIT4\n",
      "WINE REGISTRY Version 2\n\"a\"=\"outside a key\"\n",
      "WINE REGISTRY Version 2\n[K] 0\n\"a\"=\"unterminated\n",
      "WINE REGISTRY Version 2\n[K] 0\n\"a\"=hex:1g\n",
      "WINE REGISTRY Version 2\n[K] 0\n\"a\"=dword:123456789\n",
      "WINE REGISTRY Version 2\n[K 0\n",
      "WINE REGISTRY Version 2\n[K] 0\n\"a\"=\"x\" junk\n",
      "WINE REGISTRY Version 2\n[K] 0\ngarbage\n",
  };
  for (const char* text : bad) EXPECT_THROW(ParseWineRegistry(text), RegFormatError) << text;
}

using RegStoreTest = PrefixTest;

namespace {

LSTATUS SetNumber(const std::string& name, DWORD value) {
  HKEY key;
  LSTATUS status =
      RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Race", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4);
  RegCloseKey(key);
  return status;
}

}  // namespace

TEST_F(RegStoreTest, TwoProcessesWritingLoseNothing) {
  ASSERT_EQ(SetNumber("start", 0), ERROR_SUCCESS);
  const int kWrites = 40;
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      for (int i = 0; i < kWrites; ++i)
        if (SetNumber("p" + std::to_string(c) + "_" + std::to_string(i), DWORD(i)) != ERROR_SUCCESS) _exit(1);
      _exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Race", 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  EXPECT_EQ(values, DWORD(1 + 2 * kWrites));
  RegCloseKey(key);
}

TEST_F(RegStoreTest, WriterKilledMidWriteLeavesTheOldFile) {
  ASSERT_EQ(SetNumber("kept", 7), ERROR_SUCCESS);
  const std::string file = prefix_ + "/user.reg";
  const std::string before = ReadAll(file);
  for (const char* stage : {"half-written", "before-rename"}) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      static const char* wanted;
      wanted = stage;
      winposix::registryCommitHook = [](const char* at) {
        if (std::strcmp(at, wanted) == 0) raise(SIGKILL);
      };
      SetNumber("lost", 1);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << stage;
    EXPECT_EQ(ReadAll(file), before) << stage;
  }
  // The store is still usable, the lock was released with the process.
  ASSERT_EQ(SetNumber("after", 2), ERROR_SUCCESS);
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Race", 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD size = 4, value = 0;
  EXPECT_EQ(RegQueryValueExA(key, "kept", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
  EXPECT_EQ(value, 7u);
  EXPECT_EQ(RegQueryValueExA(key, "lost", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

// Values set at a hive's root are saved under "[]", as Wine saves them, and outlive the
// next write, which reads the file afresh.
TEST_F(RegStoreTest, ValuesAtTheRootReachTheFile) {
  const std::string text = "at the root";
  ASSERT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "AtRoot", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           DWORD(text.size() + 1)),
            ERROR_SUCCESS);
  ASSERT_EQ(SetNumber("next", 1), ERROR_SUCCESS);
  char buffer[32] = {};
  DWORD size = sizeof buffer, type = 0;
  ASSERT_EQ(RegQueryValueExA(HKEY_CURRENT_USER, "AtRoot", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, DWORD(REG_SZ));
  EXPECT_EQ(std::string(buffer), text);

  const std::string file = ReadAll(prefix_ + "/user.reg");
  const size_t root = file.find("\n[] ");
  ASSERT_NE(root, std::string::npos) << file;
  EXPECT_EQ(file.find("\"AtRoot\"="), file.find('\n', root + 1) + 1) << file;
  EXPECT_NE(ParseWineRegistry(file)->FindValue("AtRoot"), nullptr);
}

TEST_F(RegStoreTest, CorruptFileIsReportedAndLeftAlone) {
  ASSERT_EQ(SetNumber("x", 1), ERROR_SUCCESS);
  const std::string file = prefix_ + "/user.reg";
  const std::string damaged = "WINE REGISTRY Version 2\n[Software\\\\Race] 0\n\"x\"=dword:zz\n";
  { std::ofstream(file, std::ios::trunc) << damaged; }
  testing::internal::CaptureStderr();
  EXPECT_EQ(SetNumber("y", 2), ERROR_REGISTRY_CORRUPT);
  HKEY key;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Race", 0, KEY_READ, &key), ERROR_REGISTRY_CORRUPT);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("user.reg is damaged"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_EQ(ReadAll(file), damaged);
  // The machine's hive is not affected.
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(RegStoreTest, RegeditTextExportAndImport) {
  const std::string text =
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Imp]\r\n@=\"def\"\r\n"
      "\"Q\"=\"a \\\"b\\\" c\\\\d\"\r\n\"N\"=dword:00000010\r\n\"B\"=hex:01,ff\r\n"
      "\"E\"=hex(2):25,41,25,00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Imp\\Sub]\r\n\"S\"=\"s\"\r\n\r\n";
  RegImportText(text);
  EXPECT_EQ(RegExportText(HKEY_CURRENT_USER, "Software\\Imp"), text);
  RegImportText("REGEDIT4\n[-HKCU\\Software\\Imp\\Sub]\n[HKCU\\Software\\Imp]\n\"Q\"=-\n");
  std::string after = RegExportText(HKEY_CURRENT_USER, "Software\\Imp");
  EXPECT_EQ(after.find("Sub"), std::string::npos);
  EXPECT_EQ(after.find("\"Q\""), std::string::npos);
  EXPECT_THROW(RegImportText("REGEDIT4\n[HKEY_NOWHERE\\x]\n"), std::runtime_error);
  EXPECT_THROW(RegImportText("REGEDIT4\n[HKCU\\x]\n\"a\"=hex:zz\n"), std::runtime_error);
}
