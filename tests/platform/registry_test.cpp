#include <cstring>

#include "prefix_fixture.h"

using RegistryTest = PrefixTest;

namespace {

HKEY Create(HKEY root, const char* path) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS)
      << path;
  return key;
}

void SetString(HKEY key, const char* name, const std::string& text) {
  EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1)),
            ERROR_SUCCESS);
}

// The default (or named) string value of root\path, or "<missing>".
std::string Read(HKEY root, const char* path, const char* name = "") {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
  char buffer[1024];
  DWORD size = sizeof buffer, type = 0;
  LSTATUS status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return "<missing>";
  return std::string(buffer, size && buffer[size - 1] == '\0' ? size - 1 : size);
}

}  // namespace

TEST_F(RegistryTest, ValuesRoundTripWithTypesAndSizes) {
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Test\\Round");
  const uint32_t number = 0x12345678;
  const std::string binary("\x00\x01\xff\n\"\\", 6);
  struct Case {
    const char* name;
    DWORD type;
    std::string data;
  } cases[] = {
      {"", REG_SZ, std::string("default\0", 8)},
      {"Text", REG_SZ, std::string("caf\xe9 \"quoted\" back\\slash\nline\0", 30)},
      {"Empty", REG_SZ, std::string()},
      {"Expand", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9)},
      {"Number", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4)},
      {"Binary", REG_BINARY, binary},
      {"Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5)},
      {"NoTerminator", REG_SZ, std::string("abc")},
  };
  for (const Case& c : cases)
    ASSERT_EQ(
        RegSetValueExA(key, c.name, 0, c.type, reinterpret_cast<const BYTE*>(c.data.data()), DWORD(c.data.size())),
        ERROR_SUCCESS)
        << c.name;
  RegCloseKey(key);

  // Read back through a new handle, after dropping every cached copy: from the file.
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\test\\ROUND", 0, KEY_READ, &key), ERROR_SUCCESS);
  for (const Case& c : cases) {
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(key, c.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS) << c.name;
    EXPECT_EQ(type, c.type) << c.name;
    EXPECT_EQ(size, c.data.size()) << c.name;
    std::string data(size, '?');
    ASSERT_EQ(RegQueryValueExA(key, c.name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(data, c.data) << c.name;
  }
  // Too small a buffer: ERROR_MORE_DATA and the size needed.
  char small[3];
  DWORD size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key, "text", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 30u);
  EXPECT_EQ(RegQueryValueExA(key, "Nope", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  // The key was opened for reading only.
  EXPECT_EQ(RegSetValueExA(key, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_ACCESS_DENIED);
  RegCloseKey(key);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

  EXPECT_EQ(Read(HKEY_CURRENT_USER, "Software\\Test\\Round", "TEXT").substr(0, 4), "caf\xe9");
  EXPECT_EQ(Read(HKEY_CURRENT_USER, "Software\\Test\\Nope"), "<no key>");
}

TEST_F(RegistryTest, InfoAndEnumeration) {
  HKEY key = Create(HKEY_LOCAL_MACHINE, "Software\\Enum");
  SetString(key, "Alpha", "1");
  SetString(key, "LongestName", "22");
  SetString(key, "b", "333");
  HKEY sub = Create(key, "Child");
  RegCloseKey(sub);
  DWORD subkeys = 0, maxSub = 0, values = 0, maxName = 0, maxData = 0;
  ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &maxSub, nullptr, &values, &maxName, &maxData,
                             nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subkeys, 1u);
  EXPECT_EQ(maxSub, 5u);
  EXPECT_EQ(values, 3u);
  EXPECT_EQ(maxName, 11u);
  EXPECT_EQ(maxData, 4u);
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    char name[32];
    DWORD size = sizeof name;
    LSTATUS status = RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(status, ERROR_SUCCESS);
    EXPECT_EQ(size, std::strlen(name));
    names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "LongestName", "b"}));
  char tiny[5];
  DWORD size = sizeof tiny;  // "LongestName" does not fit
  EXPECT_EQ(RegEnumValueA(key, 1, tiny, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  char child[16];
  size = sizeof child;
  EXPECT_EQ(RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(child, "Child");
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Enum"), ERROR_ACCESS_DENIED);  // not a leaf
  EXPECT_EQ(RegDeleteKeyA(key, "child"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, "ALPHA"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, "Alpha"), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

TEST_F(RegistryTest, ClassesRootMergesUserOverMachine) {
  HKEY machine = Create(HKEY_LOCAL_MACHINE, "Software\\Classes\\.tst");
  SetString(machine, "", "machinetype");
  SetString(machine, "Content Type", "text/x-test");
  RegCloseKey(machine);
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".tst"), "machinetype");

  HKEY user = Create(HKEY_CURRENT_USER, "Software\\Classes\\.tst");
  SetString(user, "", "usertype");
  RegCloseKey(user);
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".TST"), "usertype");
  EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".tst", "Content Type"), "text/x-test");

  HKEY merged;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".tst", 0, KEY_ALL_ACCESS, &merged), ERROR_SUCCESS);
  DWORD values = 0;
  RegQueryInfoKeyA(merged, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  EXPECT_EQ(values, 2u);
  // The key exists for the user: writes go there.
  SetString(merged, "New", "n");
  RegCloseKey(merged);
  EXPECT_EQ(Read(HKEY_CURRENT_USER, "Software\\Classes\\.tst", "New"), "n");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Software\\Classes\\.tst", "New"), "<missing>");
  // A key that does not exist for the user is created for the machine.
  HKEY created = Create(HKEY_CLASSES_ROOT, "newtype\\shell");
  RegCloseKey(created);
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Software\\Classes\\newtype\\shell"), "<missing>");
  EXPECT_EQ(Read(HKEY_CURRENT_USER, "Software\\Classes\\newtype\\shell"), "<no key>");
}

TEST_F(RegistryTest, FirstUseSeedsWhatTheLibraryReads) {
  const char* sf = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  for (const char* name :
       {"AppData", "Cache", "Cookies", "Desktop", "Favorites", "Fonts", "History", "My Pictures", "NetHood", "Personal",
        "PrintHood", "Programs", "Recent", "SendTo", "Start Menu", "Startup", "Templates"}) {
    std::string value = Read(HKEY_CURRENT_USER, sf, name);
    EXPECT_EQ(value.substr(0, 3), "C:\\") << name;
    EXPECT_NE(GetFileAttributesA(value.c_str()), INVALID_FILE_ATTRIBUTES) << name << " " << value;
  }
  for (const char* name : {"Common AppData", "Common Programs", "Common Start Menu", "Common Startup",
                           "Common Templates", "Common Favorites"})
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, sf, name).substr(0, 3), "C:\\") << name;
  const char* cv = "Software\\Microsoft\\Windows\\CurrentVersion";
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, cv, "ProgramFilesDir"), "C:\\Program Files");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, cv, "MediaPath"), "C:\\windows\\Media");
  EXPECT_NE(Read(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion", "RegisteredOwner"),
            "<missing>");
  EXPECT_NE(Read(HKEY_LOCAL_MACHINE, "Hardware\\Description\\System\\CentralProcessor\\0", "Identifier"), "<missing>");
  char computer[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = sizeof computer;
  ASSERT_TRUE(GetComputerNameA(computer, &size));
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName"),
            computer);
  // The browser entry exists exactly when a browser was found on this machine.
  std::string command = Read(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command");
  if (command != "<no key>") {
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".html"), "htmlfile");
    ASSERT_EQ(command.front(), '"');
    EXPECT_NE(command.find("\" \"%1\""), std::string::npos);
    std::string program = command.substr(1, command.find('"', 1) - 1);
    EXPECT_EQ(access(WindowsPathToUnix(program).c_str(), X_OK), 0) << program;
  }
}

TEST_F(RegistryTest, KeysAndNamesStayWithinWindowsLimits) {
  auto deep = [](size_t levels, const std::string& first = "Software") {
    std::string path = first;
    for (size_t i = 1; i < levels; ++i) path += "\\k";
    return path;
  };
  struct Case {
    const char* what;
    HKEY root;
    std::string key;
    std::string valueName;
    LSTATUS expected;
  };
  const Case cases[] = {
      {"512 levels", HKEY_CURRENT_USER, deep(512), "v", ERROR_SUCCESS},
      {"513 levels", HKEY_CURRENT_USER, deep(513), "v", ERROR_INVALID_PARAMETER},
      // Classes keys lie two levels down in their hive: Software\Classes.
      {"510 levels of classes", HKEY_CLASSES_ROOT, deep(510, ".stw"), "v", ERROR_SUCCESS},
      {"511 levels of classes", HKEY_CLASSES_ROOT, deep(511, ".stw"), "v", ERROR_INVALID_PARAMETER},
      {"255-character name", HKEY_CURRENT_USER, "Software\\" + std::string(255, 'n'), "v", ERROR_SUCCESS},
      {"256-character name", HKEY_CURRENT_USER, "Software\\" + std::string(256, 'n'), "v", ERROR_INVALID_PARAMETER},
      {"line break in a key name", HKEY_CURRENT_USER, "Software\\a\nb", "v", ERROR_INVALID_PARAMETER},
      {"escape in a key name", HKEY_CURRENT_USER, "Software\\a\x1b[0m", "v", ERROR_INVALID_PARAMETER},
      {"16383-character value name", HKEY_CURRENT_USER, "Software\\V", std::string(16383, 'v'), ERROR_SUCCESS},
      {"16384-character value name", HKEY_CURRENT_USER, "Software\\V", std::string(16384, 'v'),
       ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExA(c.root, c.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                     nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
      status = RegSetValueExA(key, c.valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
      RegCloseKey(key);
    }
    EXPECT_EQ(status, c.expected);
  }
  // Nothing of the refused keys was created.
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\a\nb", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}
