// A fresh system for each test: registry roots and a directory of its own, so that tests never
// see each other's writes and never change the machine they run on.
//
// On Linux: a temporary platform prefix (drive C: and the registry files, laid out and seeded
// on first use), named by STOWAWAY_PREFIX; the test's directory is C:\ of that prefix.
// On Windows: HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE are mapped (RegOverridePredefKey) to
// fresh keys below HKCU\Software\Stowaway Tests, and HKEY_CLASSES_ROOT to the fresh user's
// Software\Classes, so that classes written for the user show there as in the merged view; the
// test's directory is a fresh one below %TEMP%. The fresh roots start empty: a test that needs
// a key the system always has makes it with Seed().
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/winapi.h"

class FreshSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "stowaway-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
#ifdef _WIN32
    static int serial = 0;
    keyName_ = "Software\\Stowaway Tests\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    for (auto& [root, name] : {std::pair{&user_, "\\CU"},
                               {&machine_, "\\LM"},
                               { &classes_,
                                 "\\CU\\Software\\Classes" }})
      ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (keyName_ + name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                root, nullptr),
                ERROR_SUCCESS);
    // Wine answers GetComputerNameA from HKLM (through the mapped root): the fresh root carries
    // a copy of the machine's name keys.
    ASSERT_NO_FATAL_FAILURE(CopyKey(HKEY_LOCAL_MACHINE, kComputerName, machine_));
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, user_), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_), ERROR_SUCCESS);
    root_ = dir_ + "\\";
#else
    if (const char* old = std::getenv("STOWAWAY_PREFIX")) oldPrefix_ = old;
    setenv("STOWAWAY_PREFIX", dir_.c_str(), 1);
    root_ = "C:\\";
#endif
  }

  void TearDown() override {
#ifdef _WIN32
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT}) RegOverridePredefKey(root, nullptr);
    for (HKEY key : {user_, machine_, classes_})
      if (key) RegCloseKey(key);
    RegDeleteTreeA(HKEY_CURRENT_USER, keyName_.c_str());
#else
    if (oldPrefix_)
      setenv("STOWAWAY_PREFIX", oldPrefix_->c_str(), 1);
    else
      unsetenv("STOWAWAY_PREFIX");
#endif
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  // This test's own directory as a Windows path ending in a backslash.
  const std::string& Root() const { return root_; }
  // The host's path of a Windows path (the Unix path on Linux).
  static std::filesystem::path Host(const std::string& windowsPath) { return WindowsPathToUnix(windowsPath); }
  // Makes a key (empty) the way every system has it; the Linux prefix has it seeded already.
  static void Seed(HKEY root, const std::string& key) {
    HKEY made = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made, nullptr), ERROR_SUCCESS)
        << key;
    RegCloseKey(made);
  }

 private:
  std::string dir_, root_;
#ifdef _WIN32
  static constexpr const char* kComputerName = "System\\CurrentControlSet\\Control\\ComputerName";
  static void CopyKey(HKEY from, const char* name, HKEY toRoot) {
    HKEY source = nullptr, target = nullptr;
    if (RegOpenKeyExA(from, name, 0, KEY_READ, &source) != ERROR_SUCCESS) return;  // nothing to copy
    ASSERT_EQ(RegCreateKeyExA(toRoot, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegCopyTreeA(source, nullptr, target), ERROR_SUCCESS) << name;
    RegCloseKey(target);
    RegCloseKey(source);
  }

  std::string keyName_;
  HKEY user_ = nullptr, machine_ = nullptr, classes_ = nullptr;
#else
  std::optional<std::string> oldPrefix_;
#endif
};
