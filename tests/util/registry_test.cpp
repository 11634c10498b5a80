// Registry string values over the platform's registry, each test on a fresh system.
#include "util/acUtils.h"
#include "fresh_system.h"
#include "under_wine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

const std::string kKey = "Software\\Stowaway Tests\\Values";

class RegistryTest : public FreshSystemTest {
 protected:
  // Sets a value of any type directly, bypassing WriteRegString.
  void SetRaw(const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key = HKEY_CURRENT_USER;
    ASSERT_TRUE(OpenRegKey(key, kKey, true, KEY_ALL_ACCESS));
    const LSTATUS status = RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
  }
};

TEST_F(RegistryTest, WrittenStringsReadBackUnchanged) {
  const std::string texts[] = {
      "plain",
      "",
      "C:\\Program Files\\App\\app.exe \"%1\"",
      "caf\xE9 \x80 \xFF",     // Windows-1252 bytes
      std::string(1023, 'x'),  // 1024 bytes with the terminating zero
  };
  for (const std::string& text : texts) {
    WriteRegString(HKEY_CURRENT_USER, kKey, "Value", text);
    std::string read = "stale";
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, kKey, "Value", read));
    EXPECT_EQ(read, text);
  }
}

TEST_F(RegistryTest, BothArgumentOrdersReadTheSameValue) {
  WriteRegString(HKEY_CURRENT_USER, kKey, "", "default value");
  WriteRegString(HKEY_CURRENT_USER, kKey, "Named", "named value");
  std::string first, second;
  EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, kKey, "", first));
  EXPECT_TRUE(ReadRegString(second, HKEY_CURRENT_USER, kKey, ""));
  EXPECT_EQ(first, "default value");
  EXPECT_EQ(second, "default value");
  EXPECT_TRUE(ReadRegString(second, HKEY_CURRENT_USER, kKey, "Named"));
  EXPECT_EQ(second, "named value");
}

TEST_F(RegistryTest, MissingValueAndMissingKeyAreToldApart) {
  WriteRegString(HKEY_CURRENT_USER, kKey, "Present", "x");
  std::string text = "stale";
  EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, kKey, "Absent", text));
  EXPECT_EQ(text, "");
  text = "stale";
  EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, kKey + "\\Absent", "Present", text));
  EXPECT_EQ(text, "");
  text = "stale";
  EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kKey, "Present", text));
  EXPECT_EQ(text, "");
}

TEST_F(RegistryTest, LeadingBackslashesAreIgnored) {
  WriteRegString(HKEY_CURRENT_USER, "\\\\" + kKey, "Value", "written with backslashes");
  std::string text;
  EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, kKey, "Value", text));
  EXPECT_EQ(text, "written with backslashes");
  EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, "\\" + kKey, "Value", text));
  EXPECT_EQ(text, "written with backslashes");

  HKEY key = HKEY_CURRENT_USER;
  ASSERT_TRUE(OpenRegKey(key, "\\\\\\" + kKey, false, KEY_READ));
  EXPECT_NE(key, HKEY_CURRENT_USER);
  RegCloseKey(key);
}

TEST_F(RegistryTest, OpenWithoutCreateFailsAndLeavesTheKeyArgument) {
  HKEY key = HKEY_CURRENT_USER;
  EXPECT_FALSE(OpenRegKey(key, kKey, false, KEY_READ));
  EXPECT_EQ(key, HKEY_CURRENT_USER);
  // Creating ignores the mask: the key it gives can be written.
  ASSERT_TRUE(OpenRegKey(key, kKey, true, KEY_READ));
  const char data[] = "w";
  EXPECT_EQ(RegSetValueExA(key, "W", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), 2), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(RegistryTest, ValuesThatCannotBeReadGiveTheEmptyText) {
  SetRaw("NoData", REG_SZ, "", 0);
  const std::string tooLong(1024, 'y');  // 1025 bytes with the zero
  SetRaw("TooLong", REG_SZ, tooLong.c_str(), static_cast<DWORD>(tooLong.size() + 1));
  for (const char* name : {"NoData", "TooLong"}) {
    std::string text = "stale";
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, kKey, name, text)) << name;
    EXPECT_EQ(text, "") << name;
  }
}

TEST_F(RegistryTest, OtherTypesAreTakenByteForByteUpToTheFirstZero) {
  const std::uint32_t number = 0x00434241;  // "ABC\0" in little-endian order
  SetRaw("Number", REG_DWORD, &number, sizeof number);
  const unsigned char binary[] = {'h', 'i', 0, 'x'};
  SetRaw("Binary", REG_BINARY, binary, sizeof binary);
  const unsigned char unterminated[] = {'n', 'o', 'z'};
  SetRaw("Unterminated", REG_BINARY, unterminated, sizeof unterminated);
  SetRaw("NoDataBinary", REG_BINARY, "", 0);

  struct Case {
    const char* name;
    std::string expected;
  };
  const Case cases[] = {
      {"Number", "ABC"},
      {"Binary", "hi"},
      {"Unterminated", "noz"},
      {"NoDataBinary", ""},
  };
  for (const Case& c : cases) {
    std::string text = "stale";
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, kKey, c.name, text)) << c.name;
    EXPECT_EQ(text, c.expected) << c.name;
  }
}

TEST_F(RegistryTest, QueryRegValueReportsTheDataSize) {
  WriteRegString(HKEY_CURRENT_USER, kKey, "Value", "12345");
  HKEY key = HKEY_CURRENT_USER;
  ASSERT_TRUE(OpenRegKey(key, kKey, false, KEY_READ));
  char buffer[16] = {};
  DWORD size = sizeof buffer;
  EXPECT_TRUE(QueryRegValue(key, "Value", REG_SZ, buffer, size));
  EXPECT_EQ(size, 6u);
  EXPECT_STREQ(buffer, "12345");
  char small[4] = {};
  size = sizeof small;
  EXPECT_FALSE(QueryRegValue(key, "Value", REG_SZ, small, size));
  size = sizeof buffer;
  EXPECT_FALSE(QueryRegValue(key, "Absent", REG_SZ, buffer, size));
  RegCloseKey(key);
}

// The size RegQueryValueExA reports for a string includes its terminating zero only when the
// value was stored with one; the text reads the same either way.
TEST_F(RegistryTest, StringSizesWithAndWithoutTheTerminator) {
  SetRaw("Bare", REG_SZ, "abc", 3);
  SetRaw("Terminated", REG_SZ, "abc", 4);
  HKEY key = HKEY_CURRENT_USER;
  ASSERT_TRUE(OpenRegKey(key, kKey, false, KEY_READ));
  struct Case {
    const char* name;
    DWORD size;
  };
  for (const Case& c : {Case{"Bare", 3}, Case{"Terminated", 4}}) {
    SCOPED_TRACE(c.name);
    DWORD needed = 0, type = 0;
    EXPECT_EQ(RegQueryValueExA(key, c.name, nullptr, &type, nullptr, &needed), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    // Wine stores an ANSI string with a terminator of its own.
    if (!UnderWine()) {
      EXPECT_EQ(needed, c.size);
    }
    char small[2];
    DWORD size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, c.name, nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, needed);
    std::string text;
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, kKey, c.name, text));
    EXPECT_EQ(text, "abc");
  }
  RegCloseKey(key);
}

TEST_F(RegistryTest, ValueNames) {
  std::vector<std::string> names = {"stale"};
  EXPECT_FALSE(GetRegValueNames(HKEY_CURRENT_USER, kKey, names));
  EXPECT_TRUE(names.empty());

  // A key with subkeys but no values of its own.
  WriteRegString(HKEY_CURRENT_USER, kKey + "\\Sub", "x", "y");
  names = {"stale"};
  EXPECT_TRUE(GetRegValueNames(HKEY_CURRENT_USER, kKey, names));
  EXPECT_TRUE(names.empty());

  const std::vector<std::string> written = {"a", "Longest value name of all", "", "open", "Mid \xE9"};
  for (const std::string& name : written) WriteRegString(HKEY_CURRENT_USER, kKey, name, "v");
  EXPECT_TRUE(GetRegValueNames(HKEY_CURRENT_USER, "\\" + kKey, names));
  std::vector<std::string> expected = written;
  std::sort(expected.begin(), expected.end());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, expected);
}

}  // namespace
