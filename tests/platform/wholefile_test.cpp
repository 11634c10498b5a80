// Whole files: reading one, and replacing one all or nothing with the permissions asked for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "platform/wholefile.h"

namespace {

class WholeFileTest : public testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/wholefile-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string At(const std::string& name) const { return dir_ + "/" + name; }

  // The names in the directory, so that a temporary file left behind shows.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    DIR* d = opendir(dir_.c_str());
    while (dirent* e = readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
    closedir(d);
    return names;
  }

  static mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
  }

  std::string dir_;
};

TEST_F(WholeFileTest, ReplacesWithTheModeAskedFor) {
  const mode_t mask = umask(022);
  struct Case {
    wholefile::Mode mode;
    wholefile::Durability durability;
    bool existing;  // a target with mode 0640 is there before
    mode_t expected;
  } cases[] = {
      {wholefile::Mode::New, wholefile::Durability::None, false, 0644},
      {wholefile::Mode::Kept, wholefile::Durability::None, true, 0640},
      {wholefile::Mode::New, wholefile::Durability::File, true, 0644},
      {wholefile::Mode::Kept, wholefile::Durability::File, true, 0640},
      {wholefile::Mode::Kept, wholefile::Durability::FileAndDirectory, false, 0644},
      {wholefile::Mode::Private, wholefile::Durability::FileAndDirectory, true, 0600},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string path = At("f" + std::to_string(n++));
    if (c.existing) {
      wholefile::Replace(path, "old", 3, wholefile::Durability::None);
      ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    }
    const std::string text = "new content " + path;
    wholefile::Replace(path, text.data(), text.size(), c.durability, c.mode);
    EXPECT_EQ(wholefile::Read(path), text) << path;
    EXPECT_EQ(ModeOf(path), c.expected) << path;
  }
  umask(mask);
  EXPECT_EQ(Names().size(), std::size(cases));
}

TEST_F(WholeFileTest, AReplacementGivenUpOrFailingLeavesTheTargetAndNoTemporaryFile) {
  const std::string path = At("target");
  wholefile::Replace(path, "old", 3, wholefile::Durability::None);
  {
    wholefile::Replacement file(path, wholefile::Durability::File);
    file.Write("half", 4);
  }
  EXPECT_EQ(wholefile::Read(path), "old");
  EXPECT_EQ(Names(), std::vector<std::string>{"target"});

  // A non-empty directory cannot be renamed over: the commit fails and cleans up.
  const std::string blocked = At("blocked");
  ASSERT_EQ(mkdir(blocked.c_str(), 0755), 0);
  wholefile::Replace(blocked + "/inside", "x", 1, wholefile::Durability::None);
  for (const auto durability : {wholefile::Durability::FileAndDirectory, wholefile::Durability::None}) {
    try {
      wholefile::Replacement file(blocked, durability);
      file.Write("new", 3);
      file.Commit();
      ADD_FAILURE() << "committed over a directory";
    } catch (const std::system_error& e) {
      EXPECT_EQ(std::string(e.what()).rfind(blocked + ": cannot replace: ", 0), 0u) << e.what();
    }
  }
  EXPECT_EQ(Names().size(), 2u);
  EXPECT_EQ(wholefile::Read(blocked + "/inside"), "x");
}

TEST_F(WholeFileTest, AReplacementReadsBackAndSeeks) {
  wholefile::Replacement file(At("out"), wholefile::Durability::None);
  file.Write("0123456789", 10);
  EXPECT_EQ(file.Seek(2, wholefile::Origin::Beginning), 2);
  file.Write("ab", 2);
  EXPECT_EQ(file.Seek(-3, wholefile::Origin::End), 7);
  char back[8] = {};
  EXPECT_EQ(file.Read(back, sizeof back), 3u);
  EXPECT_EQ(std::string(back, 3), "789");
  EXPECT_EQ(file.Seek(0, wholefile::Origin::Current), 10);
  file.Commit();
  EXPECT_EQ(wholefile::Read(At("out")), "01ab456789");
}

TEST_F(WholeFileTest, ReadingNamesTheFileAndTheCause) {
  EXPECT_FALSE(wholefile::Read("/proc/self/statm").empty());  // reports no size, has content
  struct Case {
    std::string path;
    std::errc cause;
  } cases[] = {
      {At("missing"), std::errc::no_such_file_or_directory},
      {dir_, std::errc::is_a_directory},
  };
  for (const Case& c : cases) {
    try {
      wholefile::Read(c.path);
      ADD_FAILURE() << c.path;
    } catch (const std::system_error& e) {
      EXPECT_EQ(e.code(), std::make_error_code(c.cause)) << c.path;
      EXPECT_EQ(std::string(e.what()).rfind(c.path + ": cannot read: ", 0), 0u) << e.what();
    }
  }
}

}  // namespace
