// Directory creation, directory tests and file sizes in a fresh directory of each test's own.
#include "util/acUtils.h"
#include "fresh_system.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class FilesTest : public FreshSystemTest {
 protected:
  // A path in this test's directory, written with backslashes.
  std::string At(const std::string& relative) const { return Root() + relative; }

  void PutFile(const std::string& relative, const std::string& content) const {
    std::ofstream(Host(At(relative)), std::ios::binary) << content;
  }

  // A file of the given size made by setting its end: no data is written (sparse where
  // the file system can).
  void SizedFile(const std::string& relative, std::int64_t size) const {
    std::ofstream(Host(At(relative)), std::ios::binary).close();
    fs::resize_file(Host(At(relative)), static_cast<std::uintmax_t>(size));
  }

  static std::size_t EntriesOf(const fs::path& dir) {
    std::size_t count = 0;
    for (auto it = fs::directory_iterator(dir); it != fs::directory_iterator(); ++it) ++count;
    return count;
  }
};

// The same path with forward slashes, which the API takes as separators too.
std::string Slashed(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

TEST_F(FilesTest, CreateFilePathCreatesEveryMissingLevel) {
  CreateFilePath(At("one\\two\\three\\file.txt"));
  EXPECT_TRUE(fs::is_directory(Host(At("one\\two\\three"))));
  EXPECT_FALSE(fs::exists(Host(At("one\\two\\three\\file.txt"))));
  EXPECT_TRUE(DirExists(At("one\\two\\three")));

  // Existing levels are no obstacle; the name after the last backslash is
  // never created.
  CreateFilePath(At("one\\two\\four\\"));
  EXPECT_TRUE(fs::is_directory(Host(At("one\\two\\four"))));
  CreateFilePath(At("one\\two\\three\\not a dir"));
  EXPECT_FALSE(fs::exists(Host(At("one\\two\\three\\not a dir"))));
}

TEST_F(FilesTest, CreateFilePathWithoutBackslashCreatesNothing) {
  ASSERT_TRUE(DirExists(Root()));  // lays out a Linux prefix
  const std::size_t before = EntriesOf(Host(Root()));
  CreateFilePath("C:plain.txt");
  CreateFilePath("plain.txt");
  CreateFilePath("");
  EXPECT_EQ(EntriesOf(Host(Root())), before);
}

TEST_F(FilesTest, DirExistsAndIsDirEmpty) {
  CreateFilePath(At("empty\\x"));
  CreateFilePath(At("withfile\\x"));
  PutFile("withfile\\a.txt", "a");
  CreateFilePath(At("withsub\\sub\\x"));
  PutFile("file.txt", "not a directory");

  struct Case {
    std::string path;
    bool exists, empty;
  };
  const Case cases[] = {
      {At("empty"), true, true},      {At("empty\\"), true, true},    {Slashed(At("empty")), true, true},
      {At("withfile"), true, false},  {At("withsub\\"), true, false}, {At("withsub\\sub"), true, true},
      {At("file.txt"), false, false}, {At("missing"), false, false},  {At("missing\\deeper"), false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DirExists(c.path), c.exists) << c.path;
    EXPECT_EQ(IsDirEmpty(c.path), c.empty) << c.path;
  }
}

TEST_F(FilesTest, OnlyTheDotEntriesThemselvesCountAsEmpty) {
  // Names that merely begin with dots are real entries.
  for (const char* name : {"a", "zzzz", ".hidden", "..x", "-"}) {
    const std::string dir = std::string("d_") + (name[0] == '.' ? "dot" : name);
    CreateFilePath(At(dir + "\\x"));
    PutFile(dir + "\\" + name, "");
    EXPECT_FALSE(IsDirEmpty(At(dir))) << name;
  }
}

TEST_F(FilesTest, FileSizes) {
  PutFile("empty.bin", "");
  PutFile("hello.txt", "hello");
  SizedFile("below4g.bin", 0xFFFFFFFFll);  // low part looks like a failure
  SizedFile("at4g.bin", 0x100000000ll);
  SizedFile("five.bin", 5ll << 30);

  struct Case {
    std::string name;
    std::int64_t size;
  };
  const Case cases[] = {
      {At("empty.bin"), 0},
      {At("hello.txt"), 5},
      {Slashed(At("hello.txt")), 5},
      {At("below4g.bin"), 0xFFFFFFFFll},
      {At("at4g.bin"), 0x100000000ll},
      {At("five.bin"), 5368709120ll},
      {At("missing.bin"), -1},
      {At("missing\\file.bin"), -1},
  };
  for (const Case& c : cases) EXPECT_EQ(GetFileSizeByName(c.name), c.size) << c.name;
}

TEST_F(FilesTest, AttributesOfMissingPaths) {
  PutFile("file.txt", "x");
  struct Case {
    std::string path;
    DWORD error;
  };
  const Case cases[] = {
      {At("missing.txt"), ERROR_FILE_NOT_FOUND},
      {At("missing\\file.txt"), ERROR_PATH_NOT_FOUND},
      {At("file.txt\\below"), ERROR_PATH_NOT_FOUND},  // a file where a directory should be
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(GetFileAttributesA(c.path.c_str()), INVALID_FILE_ATTRIBUTES) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
  const DWORD attributes = GetFileAttributesA(At("file.txt").c_str());
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_NE(GetFileAttributesA(Root().c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(FilesTest, SizeByHandleOfAFileBeingWritten) {
  const HANDLE file =
      CreateFileA(At("grow.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSizeByHandle(file), 0);
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(file, "0123456789", 10, &written, nullptr));
  EXPECT_EQ(GetFileSizeByHandle(file), 10);
  CloseHandle(file);
}

}  // namespace
