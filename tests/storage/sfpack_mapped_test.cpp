// Contents that lie in a file mapping are packed and unpacked through the file, a window at a
// time: the frames, the bytes seen by an observer, and the faults (with their offsets) are those
// of the same bytes in memory, wherever a frame meets a window's edge.
#include "storage/acReadBehind.h"
#include "storage/acSFPack.h"
#include "storage/acSFPackStream.h"
#include "platform/hostio.h"
#include "sfpack_test_util.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// bytes written to a file of their own and mapped read-only, as the tool maps its inputs.
class MappedBytes {
 public:
  MappedBytes(const Bytes& bytes, const std::string& name)
      : path_((std::filesystem::temp_directory_path() / ("sfpack-mapped-" + name + std::to_string(bytes.size()))).string()),
        size_(bytes.size()) {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    EXPECT_TRUE(f != nullptr);
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    const int fd = ::open(path_.c_str(), O_RDONLY | hostio::kOpenFlags);
    at_ = static_cast<const std::uint8_t*>(hostio::MapReadOnly(fd, size_));
    ::close(fd);
    EXPECT_TRUE(at_ != nullptr);
  }
  ~MappedBytes() {
    if (at_) hostio::Unmap(at_, size_);
    std::remove(path_.c_str());
  }
  const std::uint8_t* data() const { return at_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::size_t size_;
  const std::uint8_t* at_ = nullptr;
};

// What unpacking the framed blocks gives: their bytes, or the fault's message.
std::string Outcome(const std::uint8_t* blocks, std::size_t size, std::uint64_t announced) {
  std::string out;
  try {
    UnpackBlocksBehind(blocks, size, announced, 4,
                       [&out](const std::uint8_t* p, std::size_t n) { out.append(reinterpret_cast<const char*>(p), n); });
  } catch (const ESFPackError& e) {
    return std::string("fault: ") + e.what();
  }
  return out;
}

TEST(MappedContent, PacksAndUnpacksAsInMemory) {
  const Bytes content = RandomBytes(SFPackBlockSize * 40 + 777, 5);
  MappedBytes source(content, "content");
  ASSERT_TRUE(source.data());
  auto collect = [](Bytes& out) {
    return [&out](const std::uint8_t* p, std::size_t n) { out.insert(out.end(), p, p + n); };
  };
  Bytes inMemory, mapped, observing, seen;
  PackBlocksTo(content.data(), content.size(), collect(inMemory));
  PackBlocksBehind(source.data(), content.size(), collect(mapped));
  ASSERT_EQ(mapped, inMemory);
  PackBlocksBehind(source.data(), content.size(), collect(observing), collect(seen));
  ASSERT_EQ(observing, inMemory);
  ASSERT_TRUE(seen == content);

  // The stream cut short inside frames, before and after the first window's edge (1 MiB) and
  // near its end: the same bytes or the same fault, offset included.
  const std::size_t cuts[] = {inMemory.size(), (1u << 20) + 1, 2u << 20, inMemory.size() - 70000, inMemory.size() - 1};
  for (const std::size_t cut : cuts) {
    const Bytes blocks(inMemory.begin(), inMemory.begin() + static_cast<long>(std::min(cut, inMemory.size())));
    MappedBytes file(blocks, "blocks");
    ASSERT_TRUE(file.data());
    const std::string expected = Outcome(blocks.data(), blocks.size(), content.size());
    EXPECT_EQ(Outcome(file.data(), blocks.size(), content.size()), expected) << "cut at " << cut;
    if (cut == inMemory.size()) {
      EXPECT_EQ(expected, std::string(content.begin(), content.end()));
    }
  }
}

// A mapped file cut short by someone else while it is read: reading through the mapping would
// end the process; reading through the file raises an error that names what happened.
TEST(MappedContent, AFileCutShortWhileReadIsAnErrorNotACrash) {
  const Bytes content = RandomBytes(SFPackBlockSize * 40, 6);
  Bytes packed;
  PackBlocksTo(content.data(), content.size(),
               [&](const std::uint8_t* p, std::size_t n) { packed.insert(packed.end(), p, p + n); });
  MappedBytes source(content, "cut-content"), blocks(packed, "cut-blocks");
  ASSERT_TRUE(source.data() && blocks.data());
  std::error_code failed;
  std::filesystem::resize_file(source.path(), content.size() / 2, failed);
  if (failed) GTEST_SKIP() << "this system does not cut a mapped file: " << failed.message();
  std::filesystem::resize_file(blocks.path(), packed.size() / 2, failed);
  ASSERT_FALSE(failed) << failed.message();
  auto ignore = [](const std::uint8_t*, std::size_t) {};
  EXPECT_THROW(UnpackBlocksBehind(blocks.data(), packed.size(), content.size(), 0, ignore), std::runtime_error);
  EXPECT_THROW(PackBlocksBehind(source.data(), content.size(), ignore), std::runtime_error);
}

}  // namespace
