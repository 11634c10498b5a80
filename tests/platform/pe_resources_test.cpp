// Resources of Windows programs (PE32+) read and updated on Linux: a tiny program made by the
// cross compiler, its resources replaced, added and deleted, read back, and run under Wine.
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

#include "platform/posix/execresources.h"
#include "platform/posix/pe_resources.h"
#include "platform/producedresource.h"
#include "prefix_fixture.h"
#include "tiny_pe.h"
#include "platform/win/winresource.h"

namespace {

uint32_t Get32(const std::string& b, size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

void Put32(std::string& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

// Where the headers of a PE file are, for checking and damaging them.
struct Headers {
  explicit Headers(const std::string& b)
      : coff(Get32(b, 0x3C) + 4),
        optional(coff + 20),
        sections(optional + (Get32(b, coff + 16) & 0xFFFF)),
        count(Get32(b, coff + 2) & 0xFFFF) {}
  size_t resourceDirectory() const { return optional + 112 + 16; }
  // The file offset of a relative virtual address.
  size_t Offset(const std::string& b, uint32_t rva) const {
    for (size_t i = 0; i < count; ++i) {
      const size_t h = sections + 40 * i;
      if (rva >= Get32(b, h + 12) && rva - Get32(b, h + 12) < Get32(b, h + 16))
        return Get32(b, h + 20) + (rva - Get32(b, h + 12));
    }
    return 0;
  }
  size_t coff, optional, sections, count;
};

class PeResources : public PrefixTest {
 protected:
  static void SetUpTestSuite() {
    if (!tinype::HaveCrossCompiler()) return;
    char pattern[] = "/tmp/stowaway-tinype-XXXXXX";
    if (mkdtemp(pattern)) dir_ = pattern, exe_ = tinype::Build(dir_);
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  void SetUp() override {
    PrefixTest::SetUp();
    if (!tinype::HaveCrossCompiler()) GTEST_SKIP() << "no x86_64-w64-mingw32 cross compiler";
    ASSERT_FALSE(exe_.empty()) << "the cross compiler failed on the tiny program";
    program_ = base_ + "/tiny.exe";
    std::filesystem::copy_file(exe_, program_);
    original_ = ReadAll(program_);
  }
  std::map<std::string, std::string> Resources() const {
    std::map<std::string, std::string> r;
    for (const ExecutableResource& e : ReadExecutableResources(program_))
      r[std::to_string(e.type) + ":" + e.name + ":" + std::to_string(e.language)] = std::string(e.data);
    return r;
  }
  uint16_t GreetingLanguage() const {
    for (const ExecutableResource& e : ReadExecutableResources(program_))
      if (e.name == "GREETING") return e.language;
    return 0;
  }
  // Updates the program: GREETING replaced, OTHER deleted, NEW made by a producer.
  void Update(const std::string& greeting, uint16_t language, size_t newSize) {
    HANDLE h = BeginUpdateResourceA(UnixPathToWindows(program_).c_str(), FALSE);
    ASSERT_NE(h, nullptr) << GetLastError();
    EXPECT_TRUE(UpdateResourceA(h, RT_RCDATA, "greeting", language, const_cast<char*>(greeting.data()),
                                DWORD(greeting.size())));
    UpdateResourceA(h, RT_RCDATA, "OTHER", language, nullptr, 0);
    EXPECT_TRUE(UpdateResourceProducedA(h, RT_RCDATA, "NEW", language, [newSize](ResourceSink& s) {
      s.Write("size", 4);
      s.Write(std::string(newSize - 4, 'n').data(), newSize - 4);
      s.Patch(0, "SIZE", 4);
    }));
    ASSERT_TRUE(EndUpdateResourceA(h, FALSE)) << GetLastError();
  }

  static std::string dir_, exe_;
  std::string program_, original_;
};

std::string PeResources::dir_, PeResources::exe_;

TEST_F(PeResources, UpdatesKeepTheOtherResourcesAndTheSections) {
  const std::map<std::string, std::string> before = Resources();
  const uint16_t language = GreetingLanguage();
  ASSERT_EQ(before.at("10:GREETING:" + std::to_string(language)), "hello from the stub");
  ASSERT_EQ(before.count("10:OTHER:" + std::to_string(language)), 1u);
  const Headers old(original_);

  // First into a new last section (the stub's resource section is followed by others), then
  // in place, as the new section is now the last one.
  struct Step {
    const char* what;
    std::string greeting;
    size_t newSize;
    size_t sections;
  } steps[] = {{"new section", "hello from the update", 300000, old.count + 1},
               {"in place", "hello again", 5000, old.count + 1}};
  size_t lastSize = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    Update(s.greeting, language, s.newSize);
    std::map<std::string, std::string> want = before;
    want.erase("10:OTHER:" + std::to_string(language));
    want["10:GREETING:" + std::to_string(language)] = s.greeting;
    want["10:NEW:" + std::to_string(language)] = "SIZE" + std::string(s.newSize - 4, 'n');
    EXPECT_TRUE(Resources() == want);

    const std::string now = ReadAll(program_);
    const Headers h(now);
    EXPECT_EQ(h.count, s.sections);
    // Every old section keeps its place and bytes.
    for (size_t i = 0; i < old.count; ++i) {
      const size_t at = Get32(original_, old.sections + 40 * i + 20),
                   size = Get32(original_, old.sections + 40 * i + 16);
      EXPECT_EQ(now.compare(at, size, original_, at, size), 0) << "section " << i;
    }
    // The resource directory is the last section, SizeOfImage covers it, no checksum.
    const size_t last = h.sections + 40 * (h.count - 1);
    EXPECT_EQ(Get32(now, h.resourceDirectory()), Get32(now, last + 12));
    EXPECT_EQ(Get32(now, h.resourceDirectory() + 4), Get32(now, last + 8));
    EXPECT_EQ(Get32(now, h.optional + 56), (Get32(now, last + 12) + Get32(now, last + 8) + 0xFFF) & ~0xFFFu);
    EXPECT_EQ(Get32(now, h.optional + 64), 0u);
    EXPECT_EQ(Get32(now, last + 20) % 0x200, 0u);
    EXPECT_EQ(now.substr(last, 8), std::string(".rsrc\0\0\0", 8));
    for (size_t i = 0; i + 1 < h.count; ++i)
      EXPECT_NE(now.substr(h.sections + 40 * i, 8), std::string(".rsrc\0\0\0", 8)) << "one section is named .rsrc";
    lastSize = now.size();
  }
  EXPECT_LT(lastSize, original_.size() + 300000) << "the in-place rewrite dropped the old resources";
  // The resource of a named type is kept.
  bool named = false;
  for (const winposix::PendingResource& r : winposix::ReadPeUpdateResources(program_))
    named |= r.typeName == "CUSTOMTYPE" && r.name == "MYDATA" && r.data == "other";
  EXPECT_TRUE(named);
}

TEST_F(PeResources, WineRunsTheUpdatedProgram) {
  if (std::system("command -v wine >/dev/null 2>&1") != 0) GTEST_SKIP() << "wine is not installed";
  Update("hello from the update", GreetingLanguage(), 300000);
  // A private Wine prefix, without the helpers that a first start would offer to download.
  const std::string env =
      "WINEPREFIX='" + base_ + "/wine' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=d;winemenubuilder.exe=d' ";
  const std::string out = base_ + "/wine.out";
  const int status = std::system((env + "timeout 300 wine '" + program_ + "' >'" + out + "' 2>/dev/null").c_str());
  std::system((env + "wineserver -k >/dev/null 2>&1").c_str());
  EXPECT_EQ(status, 0);
  std::string printed = ReadAll(out);
  printed.erase(std::remove(printed.begin(), printed.end(), '\r'), printed.end());
  EXPECT_EQ(printed, "hello from the update\nNEW 300000\n");
}

TEST_F(PeResources, FilesThatPointOutsideThemselvesAreRefused) {
  const Headers h(original_);
  const size_t root = h.Offset(original_, Get32(original_, h.resourceDirectory()));
  ASSERT_NE(root, 0u);
  // The first entry of the root, of its type table and of the name table below it.
  const size_t typeTable = root + (Get32(original_, root + 20) & 0x7FFFFFFF);
  const size_t nameTable = root + (Get32(original_, typeTable + 20) & 0x7FFFFFFF);
  const size_t dataEntry = root + Get32(original_, nameTable + 20);
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
  } cases[] = {
      {"PE header beyond the file", [](std::string& b) { Put32(b, 0x3C, 0x7FFFFFF0); }},
      {"section headers cut off", [](std::string& b) { b.resize(0x200); }},
      {"resource directory in no section", [&](std::string& b) { Put32(b, h.resourceDirectory(), 0x7FFF0000); }},
      {"table beyond its section", [&](std::string& b) { Put32(b, root + 20, 0x80000000u | 0x7FFFFFF0); }},
      {"table that contains itself", [&](std::string& b) { Put32(b, root + 20, 0x80000000u); }},
      {"more entries than the section holds", [&](std::string& b) { Put32(b, root + 12, 0xFFFF0000u); }},
      {"data beyond the file", [&](std::string& b) { Put32(b, dataEntry, 0x7FFFFF00); }},
      {"data size beyond its section", [&](std::string& b) { Put32(b, dataEntry + 4, 0x7FFFFFFF); }},
      {"a 32-bit program", [&](std::string& b) { b[h.optional] = 0x0B, b[h.optional + 1] = 0x01; }},
      // The second section placed inside the first in memory: an address in both would read
      // back from whichever section is looked at first.
      {"sections that overlap in memory",
       [&](std::string& b) { Put32(b, h.sections + 40 + 12, Get32(b, h.sections + 12) + 16); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = original_;
    c.damage(bytes);
    std::ofstream(program_, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_THROW(ReadExecutableResources(program_), std::runtime_error);
    EXPECT_EQ(BeginUpdateResourceA(UnixPathToWindows(program_).c_str(), FALSE), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_EXE_FORMAT));
    EXPECT_EQ(ReadAll(program_), bytes);
  }
}

}  // namespace
