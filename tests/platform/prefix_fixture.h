// Each test runs on a fresh prefix of its own, named by STOWAWAY_PREFIX.
#pragma once

#include <cstdlib>
#include <cstring>
#include <functional>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

#include "platform/winapi.h"

class PrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/stowaway-platform-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    base_ = pattern;
    prefix_ = base_ + "/prefix";
    setenv("STOWAWAY_PREFIX", prefix_.c_str(), 1);
    // The user's folders come from a user-dirs.dirs of the test's own.
    std::filesystem::create_directories(base_ + "/config");
    std::filesystem::create_directories(base_ + "/home/Desk");
    std::ofstream(base_ + "/config/user-dirs.dirs") << "XDG_DESKTOP_DIR=\"" << base_ << "/home/Desk\"\n";
    saveConfig_ = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    setenv("XDG_CONFIG_HOME", (base_ + "/config").c_str(), 1);
    ASSERT_EQ(StowawayPrefixDirectory(), prefix_);
  }
  void TearDown() override {
    if (saveConfig_.empty())
      unsetenv("XDG_CONFIG_HOME");
    else
      setenv("XDG_CONFIG_HOME", saveConfig_.c_str(), 1);
    unsetenv("STOWAWAY_PREFIX");
    std::error_code ignored;
    std::filesystem::remove_all(base_, ignored);
  }
  std::string DriveC() const { return prefix_ + "/drive_c"; }
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string base_, prefix_, saveConfig_;
};
