// The executable's resource section: building and reading its image, the Win32 lookups over
// a program without one, and reading the section of an ELF file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "platform/posix/execresources.h"
#include "platform/posix/resources.h"
#include "platform/winapi.h"
#include "platform/win/winresource.h"

using namespace winposix;

namespace {

TEST(ResourceSection, BuildsAndReadsBackEveryEntry) {
  const std::vector<ResourceInput> inputs = {
      {10, "Tform1", std::string("TPF0\0\x01", 6)}, {10, "empty", ""}, {1, "crPen", std::string(300, 'x')}};
  const std::string image = BuildResourceSection(inputs);
  std::vector<ResourceEntry> entries;
  ASSERT_TRUE(ParseResourceSection(reinterpret_cast<const uint8_t*>(image.data()), image.size(), entries));
  ASSERT_EQ(entries.size(), 3u);
  const char* names[] = {"TFORM1", "EMPTY", "CRPEN"};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(entries[i].type, inputs[i].type);
    EXPECT_EQ(entries[i].name, names[i]);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(entries[i].data), entries[i].size), inputs[i].data);
    EXPECT_EQ((entries[i].data - reinterpret_cast<const uint8_t*>(image.data())) % 16, 0);
  }
}

TEST(ResourceSection, RefusesBadInputsAndMalformedImages) {
  EXPECT_THROW(BuildResourceSection({{10, "", "x"}}), std::invalid_argument);
  EXPECT_THROW(BuildResourceSection({{10, "A", "x"}, {10, "a", "y"}}), std::invalid_argument);
  EXPECT_THROW(BuildResourceSection({{10, "\xC4", "x"}}), std::invalid_argument);
  EXPECT_NO_THROW(BuildResourceSection({{10, "A", "x"}, {1, "A", "y"}}));

  const std::string good = BuildResourceSection({{10, "FORM", "abcdef"}});
  auto patch = [&](size_t at, uint32_t v) {
    std::string b = good;
    std::memcpy(b.data() + at, &v, 4);
    return b;
  };
  std::string noTerminator = good;
  noTerminator.resize(good.find("FORM") + 4);
  noTerminator.replace(12, 4, std::string("\0\0\0\0", 4));
  const uint32_t size = static_cast<uint32_t>(noTerminator.size());
  std::memcpy(noTerminator.data() + 12, &size, 4);
  const std::pair<const char*, std::string> cases[] = {
      {"short", good.substr(0, 10)},
      {"magic", "X" + good.substr(1)},
      {"total beyond the image", patch(12, uint32_t(good.size() + 1))},
      {"count beyond the image", patch(8, 1000)},
      {"data beyond the image", patch(16 + 12, 0x7FFFFFFF)},
      {"name beyond the image", patch(16 + 4, uint32_t(good.size()))},
      {"name without its end", noTerminator},
  };
  for (const auto& [name, image] : cases) {
    SCOPED_TRACE(name);
    std::vector<ResourceEntry> entries;
    EXPECT_FALSE(ParseResourceSection(reinterpret_cast<const uint8_t*>(image.data()), image.size(), entries));
    EXPECT_TRUE(entries.empty());
  }
}

TEST(ResourceSection, AProgramWithoutResourcesFindsNone) {
  EXPECT_TRUE(OwnResources().empty());
  SetLastError(0);
  EXPECT_EQ(FindResourceA(nullptr, "TFORM1", RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
  EXPECT_EQ(FindResourceA(nullptr, "TFORM1", "RCDATA"), nullptr);
  EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(GetModuleHandleA("other.dll"), nullptr);
}

TEST(ResourceSection, ReadsTheSectionOfAnExecutableFile) {
  // This test program itself has no resource section.
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  self[n] = '\0';
  EXPECT_TRUE(IsElfExecutable(self));
  EXPECT_TRUE(ReadExecutableResources(self).empty());

  const auto dir = std::filesystem::temp_directory_path() / ("stowaway-rsrc-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "text") << "not an executable at all, but long enough for a header ................";
  EXPECT_FALSE(IsElfExecutable((dir / "text").string()));
  EXPECT_THROW(ReadExecutableResources((dir / "text").string()), std::runtime_error);
  EXPECT_THROW(ReadExecutableResources((dir / "missing").string()), std::runtime_error);
  // A truncated copy of an ELF file.
  {
    std::ifstream in(self, std::ios::binary);
    std::string head(100, '\0');
    in.read(head.data(), 100);
    std::ofstream(dir / "cut", std::ios::binary) << head;
  }
  EXPECT_THROW(ReadExecutableResources((dir / "cut").string()), std::runtime_error);
  std::filesystem::remove_all(dir);
}

}  // namespace
