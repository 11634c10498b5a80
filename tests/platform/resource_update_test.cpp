// BeginUpdateResourceA / UpdateResourceA / EndUpdateResourceA on an ELF program, and the
// reader of an executable's resources.
#include <sys/wait.h>

#include <cstdlib>
#include <map>

#include "platform/posix/appendedimage.h"
#include "platform/posix/execresources.h"
#include "platform/producedresource.h"
#include "platform/posix/resources.h"
#include "prefix_fixture.h"
#include "platform/win/winresource.h"

namespace {

class ResourceUpdate : public PrefixTest {
 protected:
  void SetUp() override {
    PrefixTest::SetUp();
    program_ = base_ + "/program";
    std::filesystem::copy_file("/bin/true", program_);
    original_ = ReadAll(program_);
  }
  std::string WinPath() const { return UnixPathToWindows(program_); }

  std::map<std::string, std::string> Resources() const {
    std::map<std::string, std::string> r;
    for (const ExecutableResource& e : ReadExecutableResources(program_))
      r[std::to_string(e.type) + ":" + e.name] = std::string(e.data);
    return r;
  }
  bool Update(const char* name, const std::string* data, LPCSTR type = RT_RCDATA) {
    return UpdateResourceA(handle_, type, name, 0, data ? const_cast<char*>(data->data()) : nullptr,
                           data ? static_cast<DWORD>(data->size()) : 0);
  }
  bool Runs() const { return std::system(program_.c_str()) == 0; }

  std::string program_, original_;
  HANDLE handle_ = nullptr;
};

TEST_F(ResourceUpdate, AppendsReplacesAndDeletesWithoutMovingTheProgram) {
  const std::string form = "TPF0 form", big(300000, 'x'), other = "other";
  struct Step {
    const char* what;
    BOOL deleteExisting;
    std::vector<std::pair<const char*, const std::string*>> updates;
    std::map<std::string, std::string> expected;
  } steps[] = {
      {"add two", FALSE, {{"TFORM1", &form}, {"big", &big}}, {{"10:TFORM1", form}, {"10:BIG", big}}},
      {"replace one, delete one, add one",
       FALSE,
       {{"tform1", &other}, {"BIG", nullptr}, {"#7", &form}},
       {{"10:TFORM1", other}, {"10:#7", form}}},
      {"drop the existing ones", TRUE, {{"NEW", &other}}, {{"10:NEW", other}}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    handle_ = BeginUpdateResourceA(WinPath().c_str(), s.deleteExisting);
    ASSERT_NE(handle_, nullptr);
    for (const auto& [name, data] : s.updates) EXPECT_TRUE(Update(name, data));
    ASSERT_TRUE(EndUpdateResourceA(handle_, FALSE));
    EXPECT_EQ(Resources(), s.expected);
    // The program's own bytes are untouched and it still runs.
    const std::string now = ReadAll(program_);
    EXPECT_EQ(now.compare(0, original_.size(), original_), 0);
    EXPECT_TRUE(Runs());
  }
  // The image is replaced, not stacked: the file holds one copy of the resources.
  EXPECT_LT(ReadAll(program_).size(), original_.size() + 1024);
}

TEST_F(ResourceUpdate, DiscardAndBadCallsLeaveTheFileAlone) {
  const std::string data = "data";
  handle_ = BeginUpdateResourceA(WinPath().c_str(), FALSE);
  ASSERT_NE(handle_, nullptr);
  EXPECT_TRUE(Update("A", &data));
  EXPECT_FALSE(Update("MISSING", nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_FALSE(Update("A", &data, "TEXT"));  // only numeric types are carried
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(Update("N\xE4ME", &data));
  ASSERT_TRUE(EndUpdateResourceA(handle_, TRUE));
  EXPECT_EQ(ReadAll(program_), original_);
  EXPECT_FALSE(EndUpdateResourceA(handle_, FALSE)) << "a handle is used once";

  std::ofstream(base_ + "/text") << "not a program";
  EXPECT_EQ(BeginUpdateResourceA(UnixPathToWindows(base_ + "/text").c_str(), FALSE), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_EXE_FORMAT));
  EXPECT_EQ(BeginUpdateResourceA(UnixPathToWindows(base_ + "/missing").c_str(), FALSE), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(ResourceUpdate, ProducedResourcesAreWrittenAsMadeWithTheirPatches) {
  // Pieces smaller and larger than the writer's buffer; patches of bytes already in the file,
  // still buffered, and across the two.
  std::string expected;
  for (int i = 0; i < 40; ++i) expected += std::string(size_t(1000 + i * 997), char('a' + i % 26));
  expected += std::string(700000, 'z') + "tail";
  const ResourceProducer big = [](ResourceSink& sink) {
    for (int i = 0; i < 40; ++i)
      sink.Write(std::string(size_t(1000 + i * 997), char('a' + i % 26)).data(), size_t(1000 + i * 997));
    sink.Write(std::string(700000, 'z').data(), 700000);
    sink.Write("tail", 4);
    sink.Patch(0, "HEAD", 4);
    sink.Patch(sink.Size() - 6, "ACROSS", 6);  // the last "zz" are in the file, "tail" is not
    sink.Patch(sink.Size() - 2, "IL", 2);
  };
  expected.replace(0, 4, "HEAD");
  expected.replace(expected.size() - 6, 6, "ACROIL");
  const std::string plain = "plain";
  handle_ = BeginUpdateResourceA(WinPath().c_str(), FALSE);
  ASSERT_NE(handle_, nullptr);
  ASSERT_TRUE(UpdateResourceProducedA(handle_, RT_RCDATA, "BIG", 0, big));
  ASSERT_TRUE(UpdateResourceProducedA(handle_, RT_RCDATA, "SMALL", 0, [](ResourceSink& s) { s.Write("s", 1); }));
  EXPECT_TRUE(Update("PLAIN", &plain));
  ASSERT_TRUE(EndUpdateResourceA(handle_, FALSE));
  const std::map<std::string, std::string> want{{"10:BIG", expected}, {"10:SMALL", "s"}, {"10:PLAIN", plain}};
  EXPECT_TRUE(Resources() == want);
  EXPECT_TRUE(Runs());

  // A producer that fails leaves the file as it was.
  const std::string before = ReadAll(program_);
  handle_ = BeginUpdateResourceA(WinPath().c_str(), FALSE);
  ASSERT_NE(handle_, nullptr);
  ASSERT_TRUE(UpdateResourceProducedA(handle_, RT_RCDATA, "BIG", 0, [](ResourceSink& s) {
    s.Write(std::string(1 << 20, 'x').data(), 1 << 20);
    throw std::runtime_error("no more");
  }));
  EXPECT_FALSE(EndUpdateResourceA(handle_, FALSE));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_WRITE_FAULT));
  EXPECT_EQ(ReadAll(program_), before);
  for (const auto& entry : std::filesystem::directory_iterator(base_))
    EXPECT_EQ(entry.path().filename().string().rfind("program.", 0), std::string::npos)
        << "left behind: " << entry.path();
}

TEST_F(ResourceUpdate, TheReaderViewsEntriesInPlaceAndStaysInsideTheFile) {
  // 60,000 entries that all point at one 64 KiB blob: views of one mapping, no copies.
  const uint32_t count = 60000, blob = 65536;
  std::string image(16 + size_t(count) * 16 + 8, '\0');
  const uint32_t nameAt = uint32_t(image.size()) - 8, dataAt = uint32_t((image.size() + 15) & ~size_t(15));
  std::memcpy(image.data() + nameAt, "SHARED", 7);
  image.resize(dataAt + blob, 'b');
  auto put = [&](size_t at, uint32_t v) { std::memcpy(image.data() + at, &v, 4); };
  std::memcpy(image.data(), winposix::kResourceMagic, 8);
  put(8, count);
  put(12, uint32_t(image.size()));
  for (uint32_t i = 0; i < count; ++i) {
    put(16 + i * 16, 10);
    put(20 + i * 16, nameAt);
    put(24 + i * 16, dataAt);
    put(28 + i * 16, blob);
  }
  const std::string withImage = original_ + std::string((16 - original_.size() % 16) % 16, '\0');
  {
    std::ofstream out(program_, std::ios::binary | std::ios::trunc);
    out << withImage << image << winposix::AppendedTrailer(withImage.size(), image.size());
  }
  const std::vector<ExecutableResource> entries = ReadExecutableResources(program_);
  ASSERT_EQ(entries.size(), count);
  for (const ExecutableResource& e : entries) {
    ASSERT_EQ(e.data.size(), blob);
    ASSERT_EQ(e.data.data(), entries[0].data.data());
  }
  EXPECT_TRUE(Runs());

  // A trailer that names bytes beyond the file, and a cut-off image, are refused.
  struct Bad {
    const char* what;
    std::string bytes;
  } bad[] = {
      {"image beyond the file", original_ + winposix::AppendedTrailer(original_.size(), 1 << 20)},
      {"offset beyond the file", original_ + winposix::AppendedTrailer(uint64_t(1) << 40, 16)},
      {"image cut off", withImage + image.substr(0, 1000) + winposix::AppendedTrailer(withImage.size(), 1000)},
  };
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.what);
    std::ofstream(program_, std::ios::binary | std::ios::trunc) << b.bytes;
    EXPECT_THROW(ReadExecutableResources(program_), std::runtime_error);
  }
}

}  // namespace
