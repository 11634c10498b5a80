// A fresh platform prefix (drive C: and registry files) for each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

class TempPrefixTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "stowaway-util-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        prefix_ = pattern;
        if (const char* old = std::getenv("STOWAWAY_PREFIX")) oldPrefix_ = old;
        setenv("STOWAWAY_PREFIX", prefix_.c_str(), 1);
    }

    void TearDown() override {
        if (oldPrefix_)
            setenv("STOWAWAY_PREFIX", oldPrefix_->c_str(), 1);
        else
            unsetenv("STOWAWAY_PREFIX");
        std::error_code ignored;
        std::filesystem::remove_all(prefix_, ignored);
    }

    // The Unix directory that stands for drive C:.
    std::filesystem::path DriveC() const { return std::filesystem::path(prefix_) / "drive_c"; }

    std::string prefix_;

private:
    std::optional<std::string> oldPrefix_;
};
