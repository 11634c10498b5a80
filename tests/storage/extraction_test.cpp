// Extraction of stored files on a temporary prefix: target directories, the automatic
// extraction after loading under each overwrite policy, the events, and the removal at the end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <memory>
#include <optional>
#include <signal.h>
#ifndef _WIN32
#include <sys/resource.h>  // a file-size limit stands in for a full disk
#endif

#include "core/FormStreaming.h"
#include "core/MemoryStream.h"
#include "core/PropertyRegistry.h"
#include "storage/acFileStorage.h"
#include "storage/acPathSupport.h"
#include "util/acUtils.h"
#include "platform/hostpath.h"

namespace fs = std::filesystem;
using ::testing::ElementsAre;

namespace {

// The root of the test forms: it records the storage's events.
class TExtractTestForm : public TComponent {
  STOWAWAY_CLASS(TExtractTestForm, TComponent)
  using TComponent::TComponent;

  std::vector<std::string> log;
  std::string forbid;  // a full path the OnExtract handler refuses

  void StorageExtract(TObject* sender, const std::string& fileName, int32_t size, bool& allow) {
    EXPECT_EQ(sender, this);
    log.push_back("extract " + fileName + " " + std::to_string(size));
    if (fileName == forbid) allow = false;
  }
  void StorageExtracted(TObject* sender, const std::string& fileName, int32_t size, bool ok) {
    EXPECT_EQ(sender, this);
    log.push_back(std::string(ok ? "ok " : "failed ") + fileName + " " + std::to_string(size));
  }
};

}  // namespace

const TClassInfo& TExtractTestForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TExtractTestForm>("TExtractTestForm")
                                     .Method("StorageExtract", &TExtractTestForm::StorageExtract)
                                     .Method("StorageExtracted", &TExtractTestForm::StorageExtracted)
                                     .Build();
  return info;
}

namespace {

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 32) {
    out += "      ";
    for (std::size_t j = i; j < std::min(bytes.size(), i + 32); ++j) {
      out += digits[static_cast<unsigned char>(bytes[j]) >> 4];
      out += digits[bytes[j] & 15];
    }
    out += "\n";
  }
  return out;
}

std::string Container(const std::vector<std::pair<std::string, std::string>>& files) {
  TMemoryStream s;
  s.WriteString("SFP1");
  s.WriteDWord(static_cast<uint32_t>(files.size()));
  for (const auto& [name, content] : files) {
    TStoredFile f(nullptr);
    f.FileName = name;
    f.SetContent(content);
    f.WriteToStream(s);
  }
  return s.Bytes();
}

class ExtractionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "stowaway-extract-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    prefix_ = pattern;
    if (const char* old = std::getenv("STOWAWAY_PREFIX")) old_ = old;
    setenv("STOWAWAY_PREFIX", prefix_.c_str(), 1);
    RegisterStorageClasses();
    RegisterClass(TExtractTestForm::StaticClassInfo());
  }
  void TearDown() override {
    form.reset();
    if (old_)
      setenv("STOWAWAY_PREFIX", old_->c_str(), 1);
    else
      unsetenv("STOWAWAY_PREFIX");
    std::error_code ec;
    fs::remove_all(prefix_, ec);
  }

  // Loads a form holding one storage with the given settings lines and files.
  TacFileStorage* Load(const std::string& settings, const std::vector<std::pair<std::string, std::string>>& files,
                       const std::string& forbid = "") {
    form = std::make_unique<TExtractTestForm>(nullptr);
    form->forbid = forbid;
    std::string text = "object Form1: TExtractTestForm\n  object acFileStorage1: TacFileStorage\n" + settings +
                       "    OnExtract = StorageExtract\n    OnExtracted = StorageExtracted\n";
    if (!files.empty()) text += "    StoredData = {\n" + Hex(Container(files)) + "    }\n";
    text += "  end\nend\n";
    TMemoryStream s(text);
    ReadFormText(s, *form);
    return dynamic_cast<TacFileStorage*>(form->FindComponent("acFileStorage1"));
  }

  static fs::path Unix(const std::string& windowsPath) { return WindowsPathToUnix(windowsPath); }
  static std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void Put(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

  std::string prefix_;
  std::optional<std::string> old_;
  std::unique_ptr<TExtractTestForm> form;
};

const char* const kInstaller =
    "    AutoExtract.Enabled = True\n"
    "    AutoExtract.ExtractTo.CreatePath = False\n"
    "    AutoExtract.ExtractTo.ToplevelDir = tdTempDir\n"
    "    AutoExtract.RemoveOnTerminate = True\n";

}  // namespace

TEST_F(ExtractionTest, InstallerSettingsExtractIntoTempRecordAndRemoveAtTheEnd) {
  const std::string temp = GetTempDir();
  const fs::path tempDir = Unix(temp);
  Put(tempDir / "same.bin", "XXXX");  // same size as the stored one: kept as it is
  TacFileStorage* s = Load(kInstaller, {{"page.html", "<html>Start</html>"}, {"same.bin", "1234"}, {"empty", ""}});
  EXPECT_EQ(Slurp(tempDir / "page.html"), "<html>Start</html>");
  EXPECT_EQ(Slurp(tempDir / "same.bin"), "XXXX");
  EXPECT_TRUE(fs::is_regular_file(tempDir / "empty"));
  EXPECT_THAT(form->log, ElementsAre("extract " + temp + "page.html 18", "ok " + temp + "page.html 18",
                                     "extract " + temp + "empty 0", "ok " + temp + "empty 0"));
  ASSERT_EQ(s->ExtractedFiles().Count(), 2);
  EXPECT_EQ(s->ExtractedFiles()[0], temp + "page.html");

  form.reset();
  EXPECT_FALSE(fs::exists(tempDir / "page.html"));
  EXPECT_FALSE(fs::exists(tempDir / "empty"));
  EXPECT_EQ(Slurp(tempDir / "same.bin"), "XXXX");  // not recorded, so not deleted
  EXPECT_TRUE(fs::is_directory(tempDir));          // not empty, so it stays
}

TEST_F(ExtractionTest, TheDirectoryOfTheFirstFileGoesWhenLeftEmpty) {
  Load(
      "    AutoExtract.Enabled = True\n    AutoExtract.ExtractTo.Subdirectory = 'pkg\\inner'\n"
      "    AutoExtract.RemoveOnTerminate = True\n    AutoExtract.ExtractTo.ToplevelDir = tdTempDir\n",
      {{"a.txt", "a"}, {"b.txt", "b"}});
  const fs::path dir = Unix(GetTempDir()) / "pkg" / "inner";
  EXPECT_EQ(Slurp(dir / "a.txt"), "a");
  form.reset();
  EXPECT_FALSE(fs::exists(dir));
  EXPECT_TRUE(fs::is_directory(dir.parent_path()));  // only the one directory is considered
}

TEST_F(ExtractionTest, OverwritePolicies) {
  struct Case {
    const char* policy;
    std::string existing;  // "" = no file
    bool written;
  };
  const Case cases[] = {
      {"owIfSizeDifferent", "", true},
      {"owIfSizeDifferent", "same", false},
      {"owIfSizeDifferent", "longer!", true},
      {"owNever", "", true},
      {"owNever", "x", false},
      {"owAlways", "same", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.policy) + " over '" + c.existing + "'");
    const fs::path target = Unix(GetTempDir()) / "f.txt";
    fs::remove(target);
    if (!c.existing.empty()) Put(target, c.existing);
    std::string settings = std::string(kInstaller);
    if (std::string(c.policy) != "owIfSizeDifferent")
      settings += std::string("    AutoExtract.Overwrite = ") + c.policy + "\n";
    TacFileStorage* s = Load(settings, {{"f.txt", "new!"}});
    EXPECT_EQ(Slurp(target), c.written ? "new!" : c.existing);
    EXPECT_EQ(s->ExtractedFiles().Count(), c.written ? 1 : 0);
    form.reset();
    EXPECT_EQ(fs::exists(target), !c.written);
  }
}

TEST_F(ExtractionTest, AHandlerThatForbidsAFileStopsItsWriteAndItsEvents) {
  const std::string temp = GetTempDir();
  TacFileStorage* s = Load(kInstaller, {{"a.txt", "a"}, {"b.txt", "bb"}}, temp + "a.txt");
  EXPECT_FALSE(fs::exists(Unix(temp) / "a.txt"));
  EXPECT_THAT(form->log,
              ElementsAre("extract " + temp + "a.txt 1", "extract " + temp + "b.txt 2", "ok " + temp + "b.txt 2"));
  EXPECT_EQ(s->ExtractedFiles().Count(), 1);
  EXPECT_TRUE(s->File(0)->Extract(temp + "a.txt", false));  // forbidden again: reports success
  EXPECT_EQ(s->ExtractedFiles().Count(), 1);
}

TEST_F(ExtractionTest, NamesWithBackslashesAndCreatePath) {
  const std::string settings = "    AutoExtract.Enabled = True\n    AutoExtract.ExtractTo.ToplevelDir = tdTempDir\n";
  Load(settings, {{"sub\\deeper\\file.txt", "deep"}});
  EXPECT_EQ(Slurp(Unix(GetTempDir()) / "sub" / "deeper" / "file.txt"), "deep");

  const std::string temp = GetTempDir();
  Load(settings + "    AutoExtract.ExtractTo.CreatePath = False\n", {{"other\\file.txt", "x"}});
  EXPECT_FALSE(fs::exists(Unix(temp) / "other"));
  EXPECT_THAT(form->log, ElementsAre("extract " + temp + "other\\file.txt 1", "failed " + temp + "other\\file.txt 1"));
}

TEST_F(ExtractionTest, NamesThatWouldLeaveTheDirectoryAreReportedAsFailed) {
  const std::string temp = GetTempDir();
  const std::string names[] = {"..\\escape.txt", "a\\..\\..\\escape.txt", "../escape.txt",
                               "\\escape.txt",   "C:\\escape.txt",        "Z:escape.txt"};
  std::vector<std::pair<std::string, std::string>> files;
  for (const std::string& n : names) files.push_back({n, "evil"});
  files.push_back({"fine.txt", "fine"});
  const fs::path before = Unix(temp);
  TacFileStorage* s = Load(kInstaller + std::string("    AutoExtract.Overwrite = owAlways\n"), files);
  for (const std::string& n : names) EXPECT_THAT(form->log, ::testing::Contains("failed " + temp + n + " 4")) << n;
  EXPECT_EQ(Slurp(before / "fine.txt"), "fine");
  EXPECT_EQ(s->ExtractedFiles().Count(), 1);
  for (const auto& entry : fs::recursive_directory_iterator(prefix_))
    EXPECT_EQ(entry.path().filename().string().find("escape"), std::string::npos) << entry.path();
  EXPECT_FALSE(fs::exists(before.parent_path() / "escape.txt"));
}

TEST_F(ExtractionTest, DisabledStorageExtractsNothingAndRemovesNothing) {
  TacFileStorage* s =
      Load("    AutoExtract.RemoveOnTerminate = True\n    AutoExtract.ExtractTo.ToplevelDir = tdTempDir\n",
           {{"a.txt", "a"}});
  const fs::path target = Unix(GetTempDir()) / "a.txt";
  EXPECT_FALSE(fs::exists(target));
  EXPECT_TRUE(s->File(0)->Extract(GetTempDir() + "a.txt", false));
  EXPECT_EQ(s->ExtractedFiles().Count(), 1);
  form.reset();
  EXPECT_TRUE(fs::exists(target));
}

TEST_F(ExtractionTest, ClearingRemoveOnTerminateAfterExtractionKeepsTheFiles) {
  TacFileStorage* s = Load(kInstaller, {{"a.txt", "a"}});
  s->AutoExtract()->RemoveOnTerminate = false;
  form.reset();
  EXPECT_TRUE(fs::exists(Unix(GetTempDir()) / "a.txt"));
}

TEST_F(ExtractionTest, ExtractDirectories) {
  const std::string win = GetWindowsDir();
  ASSERT_EQ(win.substr(1, 2), ":\\");
  const char* shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  WriteRegString(HKEY_CURRENT_USER, shellFolders, "AppData", "C:\\users\\me\\AppData");
  HKEY key = HKEY_CURRENT_USER;
  ASSERT_TRUE(OpenRegKey(key, shellFolders, true, KEY_ALL_ACCESS));
  RegDeleteValueA(key, "My Pictures");
  RegCloseKey(key);
  struct Case {
    TacToplevelDir dir;
    const char* sub;
    std::string expected;
  };
  const Case cases[] = {
      {tdTempDir, "", GetTempDir()},
      {tdWindowsDir, "", win},
      {tdSystemDir, "x", GetSystemDir() + "x\\"},
      {tdMediaDir, "\\Sounds", win + "MEDIA\\Sounds\\"},
      {tdCursorsDir, "a", win + "CURSORS\\a\\"},
      {tdHelpDir, "\\a", win + "HELP\\a\\"},
      {tdSamplesDir, "\\a\\", win + "SAMPLES\\a\\"},
      {tdProgramFiles, "Tool", win.substr(0, 3) + "Program Files\\Tool\\"},
      {tdAppData, "", "C:\\users\\me\\AppData\\"},
      {tdMyPictures, "sub", ""},  // a missing shell folder gives no directory, never the root
      {tdCurrentDir, "", ExtractFilePath(ExeFileName())},
  };
  TExtractTo to;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(TacToplevelDirNames.NameOf(c.dir)) + " " + c.sub);
    to.ToplevelDir = c.dir;
    to.Subdirectory = c.sub;
    EXPECT_EQ(to.GetExtractDir(), c.expected);
  }
#ifdef __linux__
  // The mapped path of the executable is the running program's file.
  EXPECT_EQ(fs::canonical(Unix(ExeFileName())), fs::canonical("/proc/self/exe"));
#endif
}

TEST_F(ExtractionTest, LinksBelowTheTargetAreNeverWrittenThrough) {
  const fs::path temp = Unix(GetTempDir());
  const fs::path outside = fs::path(prefix_) / "outside";
  struct Case {
    const char* what;
    const char* stored;           // the stored name
    std::function<void()> plant;  // puts the link in place
    const char* outsideFile;      // must stay as it was ("" = must not exist)
    bool written;                 // the stored file lands below temp
  };
  {
    // Wine cannot make links, and Windows only with a privilege: nothing to test there.
    std::error_code ec;
    fs::create_directories(temp);
    fs::create_symlink(prefix_, temp / "probe", ec);
    if (ec) GTEST_SKIP() << "this system cannot make links: " << ec.message();
    fs::remove(temp / "probe");
  }
  const Case cases[] = {
      {"a directory part", "a\\evil", [&] { fs::create_directory_symlink(outside, temp / "a"); }, "evil", false},
      {"the file itself", "page.html", [&] { fs::create_symlink(outside / "target", temp / "page.html"); }, "target",
       true},
      {"a dangling link", "x.txt", [&] { fs::create_symlink(outside / "absent", temp / "x.txt"); }, "absent", true},
      {"a same-size file behind a link", "same.bin", [&] { fs::create_symlink(outside / "same", temp / "same.bin"); },
       "same", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(outside);
    fs::create_directory(outside);
    Put(outside / "target", "victim");
    Put(outside / "same", "1234");
    fs::create_directories(temp);  // the end of the case before removes it when empty
    for (const char* name : {"a", "page.html", "x.txt", "same.bin"}) fs::remove(temp / name);
    c.plant();
    TacFileStorage* s = Load(kInstaller, {{c.stored, "1234"}});
    EXPECT_EQ(s->ExtractedFiles().Count(), c.written ? 1 : 0);
    EXPECT_EQ(Slurp(outside / "target"), "victim");
    EXPECT_EQ(Slurp(outside / "same"), "1234");
    EXPECT_FALSE(fs::exists(outside / "absent"));
    EXPECT_FALSE(fs::exists(outside / "evil"));
    if (c.written) {
      EXPECT_FALSE(fs::is_symlink(temp / c.stored));
      EXPECT_EQ(Slurp(temp / c.stored), "1234");
    }
    form.reset();
  }
}

TEST_F(ExtractionTest, StoredNamesAreResolvedThenJudged) {
  const std::string temp = GetTempDir();
  struct Case {
    const char* stored;
    const char* lands;  // below temp, "" when refused
  };
  const Case cases[] = {
      {"a\\..\\in1.txt", "in1.txt"},
      {".\\dot.txt", "dot.txt"},
      {"d\\.\\e.txt", "d/e.txt"},
      {"a\\\\b.txt", ""},
      {"a\\..", ""},
      {"bad|name", ""},
      {"tab\tname", ""},
  };
  std::vector<std::pair<std::string, std::string>> files;
  for (const Case& c : cases) files.push_back({c.stored, "x"});
  TacFileStorage* s = Load(
      "    AutoExtract.Enabled = True\n    AutoExtract.ExtractTo.ToplevelDir = tdTempDir\n"
      "    AutoExtract.RemoveOnTerminate = True\n",
      files);
  int landed = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    if (*c.lands) {
      ++landed;
      EXPECT_EQ(Slurp(Unix(temp) / c.lands), "x");
    } else {
      EXPECT_THAT(form->log, ::testing::Contains("failed " + temp + c.stored + " 1"));
    }
  }
  EXPECT_EQ(s->ExtractedFiles().Count(), landed);
  // The direct call writes where it is told, whatever the stored name holds.
  s->File(4)->FileName = "..\\up.txt";
  EXPECT_TRUE(s->File(4)->Extract(temp + "direct.txt", false));
  EXPECT_EQ(Slurp(Unix(temp) / "direct.txt"), "x");
}

TEST_F(ExtractionTest, NoBaseDirectoryWritesNothing) {
  const char* shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  HKEY key = HKEY_CURRENT_USER;
  if (OpenRegKey(key, shellFolders, true, KEY_ALL_ACCESS)) {
    RegDeleteValueA(key, "My Pictures");
    RegCloseKey(key);
  }
  TacFileStorage* s = Load(
      "    AutoExtract.Enabled = True\n    AutoExtract.ExtractTo.ToplevelDir = tdMyPictures\n"
      "    AutoExtract.ExtractTo.CreatePath = True\n    AutoExtract.RemoveOnTerminate = True\n",
      {{"root.txt", "r"}});
  EXPECT_EQ(s->ExtractedFiles().Count(), 0);
  EXPECT_THAT(form->log, ElementsAre("extract root.txt 1", "failed root.txt 1"));
  EXPECT_FALSE(fs::exists(Unix("C:\\root.txt")));
}

#ifndef _WIN32
TEST_F(ExtractionTest, AWriteThatFailsLeavesNoFileUnderTheName) {
  const fs::path temp = Unix(GetTempDir());
  Put(temp / "big.bin", "old");
  std::string content(1 << 20, 'x');
  for (size_t i = 0; i < content.size(); i += 7) content[i] = static_cast<char>(i);
  // A file-size limit stands in for a full disk: writes past it fail with EFBIG.
  struct rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  struct rlimit small = old;
  small.rlim_cur = 64 * 1024;
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  TacFileStorage* s = Load(kInstaller + std::string("    AutoExtract.Overwrite = owAlways\n"),
                           {{"big.bin", content}, {"small.txt", "fits"}});
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_THAT(form->log, ::testing::Contains("failed " + GetTempDir() + "big.bin " + std::to_string(content.size())));
  EXPECT_EQ(Slurp(temp / "big.bin"), "old");
  EXPECT_EQ(Slurp(temp / "small.txt"), "fits");
  EXPECT_EQ(s->ExtractedFiles().Count(), 1);
  for (const auto& entry : fs::directory_iterator(temp))
    EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
  // Read afterwards, the content is whole.
  EXPECT_EQ(s->File(0)->Content(), content);
}
#endif

TEST_F(ExtractionTest, OnlyStoredFilesJoinTheListAndExtractionWritesTheContentNotSize) {
  TacFileStorage* s = Load(kInstaller, {{"a.txt", "abc"}});
  const int before = s->Files()->Count();
  s->Files()->Add(new TacObjectList(true, 0));  // another class: refused (and freed)
  EXPECT_EQ(s->Files()->Count(), before);
  s->Loaded();  // runs over the list again without trouble

  // A Size beyond the content never writes memory past it.
  s->File(0)->Size = 1 << 20;
  ASSERT_TRUE(s->File(0)->Extract(GetTempDir() + "sized.txt", false));
  EXPECT_EQ(Slurp(Unix(GetTempDir()) / "sized.txt"), "abc");
}
