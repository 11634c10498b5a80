// Directory creation, directory tests and file sizes on drive C: of a fresh
// prefix.
#include "acUtils.h"
#include "temp_prefix.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class FilesTest : public TempPrefixTest {
protected:
    // The Unix path of a C:\ path, creating the prefix if needed.
    static fs::path Unix(const std::string& windowsPath) { return WindowsPathToUnix(windowsPath); }

    static void PutFile(const std::string& windowsPath, const std::string& content) {
        std::ofstream(Unix(windowsPath), std::ios::binary) << content;
    }

    // A sparse file of the given size: no disk blocks are used.
    static void SparseFile(const std::string& windowsPath, std::int64_t size) {
        const int fd = ::open(Unix(windowsPath).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
    }

    static std::size_t EntriesOf(const fs::path& dir) {
        std::size_t count = 0;
        for (auto it = fs::directory_iterator(dir); it != fs::directory_iterator(); ++it) ++count;
        return count;
    }
};

TEST_F(FilesTest, CreateFilePathCreatesEveryMissingLevel) {
    CreateFilePath("C:\\one\\two\\three\\file.txt");
    EXPECT_TRUE(fs::is_directory(Unix("C:\\one\\two\\three")));
    EXPECT_FALSE(fs::exists(Unix("C:\\one\\two\\three\\file.txt")));
    EXPECT_TRUE(DirExists("C:\\one\\two\\three"));

    // Existing levels are no obstacle; the name after the last backslash is
    // never created.
    CreateFilePath("C:\\one\\two\\four\\");
    EXPECT_TRUE(fs::is_directory(Unix("C:\\one\\two\\four")));
    CreateFilePath("C:\\one\\two\\three\\not a dir");
    EXPECT_FALSE(fs::exists(Unix("C:\\one\\two\\three\\not a dir")));
}

TEST_F(FilesTest, CreateFilePathWithoutBackslashCreatesNothing) {
    ASSERT_TRUE(DirExists("C:\\"));  // lays out the prefix
    const std::size_t before = EntriesOf(DriveC());
    CreateFilePath("C:plain.txt");
    CreateFilePath("plain.txt");
    CreateFilePath("");
    EXPECT_EQ(EntriesOf(DriveC()), before);
}

TEST_F(FilesTest, DirExistsAndIsDirEmpty) {
    CreateFilePath("C:\\empty\\x");
    CreateFilePath("C:\\withfile\\x");
    PutFile("C:\\withfile\\a.txt", "a");
    CreateFilePath("C:\\withsub\\sub\\x");
    PutFile("C:\\file.txt", "not a directory");

    struct Case { const char* path; bool exists, empty; };
    const Case cases[] = {
        {"C:\\empty", true, true},
        {"C:\\empty\\", true, true},
        {"C:/empty", true, true},
        {"C:\\withfile", true, false},
        {"C:\\withsub\\", true, false},
        {"C:\\withsub\\sub", true, true},
        {"C:\\file.txt", false, false},
        {"C:\\missing", false, false},
        {"C:\\missing\\deeper", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DirExists(c.path), c.exists) << c.path;
        EXPECT_EQ(IsDirEmpty(c.path), c.empty) << c.path;
    }
}

TEST_F(FilesTest, OnlyTheDotEntriesThemselvesCountAsEmpty) {
    // Names that merely begin with dots are real entries.
    for (const char* name : {"a", "zzzz", ".hidden", "..x", "-"}) {
        const std::string dir = std::string("C:\\d_") + (name[0] == '.' ? "dot" : name);
        CreateFilePath(dir + "\\x");
        PutFile(dir + "\\" + name, "");
        EXPECT_FALSE(IsDirEmpty(dir)) << name;
    }
}

TEST_F(FilesTest, FileSizes) {
    PutFile("C:\\empty.bin", "");
    PutFile("C:\\hello.txt", "hello");
    SparseFile("C:\\below4g.bin", 0xFFFFFFFFll);  // low part looks like a failure
    SparseFile("C:\\at4g.bin", 0x100000000ll);
    SparseFile("C:\\five.bin", 5ll << 30);

    struct Case { const char* name; std::int64_t size; };
    const Case cases[] = {
        {"C:\\empty.bin", 0},
        {"C:\\hello.txt", 5},
        {"C:/hello.txt", 5},
        {"C:\\below4g.bin", 0xFFFFFFFFll},
        {"C:\\at4g.bin", 0x100000000ll},
        {"C:\\five.bin", 5368709120ll},
        {"C:\\missing.bin", -1},
        {"C:\\missing\\file.bin", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(GetFileSizeByName(c.name), c.size) << c.name;
}

TEST_F(FilesTest, SizeByHandleOfAFileBeingWritten) {
    const HANDLE file = CreateFileA("C:\\grow.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSizeByHandle(file), 0);
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file, "0123456789", 10, &written, nullptr));
    EXPECT_EQ(GetFileSizeByHandle(file), 10);
    CloseHandle(file);
}

}  // namespace
