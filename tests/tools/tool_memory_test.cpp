// The tool's commands on payloads far larger than the memory they may use: every command stays
// within a fixed bound above a run on a tiny input, damaged inputs fail before they allocate, and
// an extraction that cannot be finished leaves nothing behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>

#include "tool_test_support.h"

using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

// size bytes of stretches of runs and of scrambled bytes, so packing neither vanishes nor grows.
void WritePayload(const std::string& path, std::size_t size) {
  std::ofstream out(path, std::ios::binary);
  std::vector<char> chunk(1 << 20);
  std::uint32_t x = 12345;
  for (std::size_t done = 0; done < size; done += chunk.size()) {
    for (std::size_t i = 0; i < chunk.size(); ++i) {
      x = x * 1103515245u + 12345u;
      chunk[i] = (i / 4096) % 2 ? static_cast<char>(x >> 24) : static_cast<char>(i / 256);
    }
    out.write(chunk.data(), static_cast<std::streamsize>(std::min(chunk.size(), size - done)));
  }
}

bool SameFile(const std::string& a, const std::string& b) {
  std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
  std::vector<char> p(1 << 20), q(1 << 20);
  for (;;) {
    x.read(p.data(), static_cast<std::streamsize>(p.size()));
    y.read(q.data(), static_cast<std::streamsize>(q.size()));
    if (x.gcount() != y.gcount() || !std::equal(p.begin(), p.begin() + x.gcount(), q.begin())) return false;
    if (x.gcount() == 0) return true;
  }
}

// Runs the tool with a file-size limit that stands in for a full disk.
ToolResult RunWithFileSizeLimit(const std::vector<std::string>& args, rlim_t limit) {
  struct rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  struct rlimit small = old;
  small.rlim_cur = limit;
  auto handler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  ToolResult r = RunToolProcess(args);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, handler);
  return r;
}

}  // namespace

TEST(ToolMemory, EveryCommandStaysWithinABoundOnALargePayload) {
  ScratchDir dir;
  WritePayload(dir / "big", 256u << 20);
  WritePayload(dir / "tiny", 1);
  ASSERT_EQ(RunToolProcess({"create", dir / "tiny.sfp", dir / "tiny"}).status, 0);
  const long baseline = RunToolProcess({"list", dir / "tiny.sfp"}).maxRssKb;
  const long bound = baseline + 40 * 1024;
  struct Step {
    std::vector<std::string> args;
  };
  const Step steps[] = {
      {{"create", dir / "big.sfp", "page.html=" + (dir / "tiny"), dir / "big"}},
      {{"list", dir / "big.sfp"}},
      {{"extract", dir / "big.sfp", dir / "out"}},
      {{"pack", dir / "big", dir / "big.packed"}},
      {{"unpack", dir / "big.packed", dir / "big.unpacked"}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.args[0]);
    ToolResult r = RunToolProcess(s.args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_LT(r.maxRssKb, bound) << "baseline " << baseline << " KiB";
  }
  EXPECT_TRUE(SameFile(dir / "out/big", dir / "big"));
  EXPECT_TRUE(SameFile(dir / "big.unpacked", dir / "big"));
}

TEST(ToolMemory, DeclaredSizesBeyondTheDataFailBeforeAllocatingOrWriting) {
  ScratchDir dir;
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::string input;
    const char* message;
  };
  const Case cases[] = {
      {"a stream of 4 GiB with no blocks", {"unpack", dir / "in", dir / "out"}, std::string(4, '\xFF'), "unpack to 0"},
      {"a stream of 2 GiB with one block",
       {"unpack", dir / "in", dir / "out"},
       std::string("\xFF\xFF\xFF\x7F\x03\x00\x00\x00\x41", 9),
       "offset"},
      {"a record of 2 GiB with one block",
       {"extract", dir / "in", dir / "out"},
       std::string("SFP1\x01\x00\x00\x00\x01\x00\x00\x00"
                   "a\x09\x00\x00\x00\xFF\xFF\xFF\x7F\x03\x00\x00\x00\x41",
                   26),
       "cannot come from"},
  };
  // The tool's own footprint (larger under the sanitizers) is measured on a tiny input; an
  // allocation of the declared size would go gigabytes beyond it.
  WriteBytes(dir / "tiny", {0x41});
  ASSERT_EQ(RunToolProcess({"pack", dir / "tiny", dir / "tiny.packed"}).status, 0);
  const long baseline = RunToolProcess({"unpack", dir / "tiny.packed", dir / "tiny.out"}).maxRssKb;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(dir / "in", std::vector<std::uint8_t>(c.input.begin(), c.input.end()));
    ToolResult r = RunToolProcess(c.args);
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr(c.message));
    EXPECT_LT(r.maxRssKb, baseline + 16 * 1024) << "baseline " << baseline << " KiB";
    EXPECT_FALSE(fs::exists(dir / "out/a"));
    EXPECT_FALSE(fs::exists(dir / "out") && fs::is_regular_file(dir / "out"));
  }
}

TEST(ToolMemory, AnExtractionThatRunsOutOfSpaceLeavesNothing) {
  ScratchDir dir;
  WritePayload(dir / "first", 100000);
  WritePayload(dir / "second", 4u << 20);
  ASSERT_EQ(RunToolProcess({"create", dir / "c.sfp", dir / "first", dir / "second"}).status, 0);
  ToolResult r = RunWithFileSizeLimit({"extract", dir / "c.sfp", dir / "out"}, 1u << 20);
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("nothing extracted"));
  ASSERT_TRUE(fs::is_directory(dir / "out"));
  EXPECT_TRUE(fs::is_empty(dir / "out")) << "first, second or a temporary file was left";
  ToolResult pack = RunWithFileSizeLimit({"create", dir / "d.sfp", dir / "second"}, 1u << 20);
  EXPECT_EQ(pack.status, 1);
  EXPECT_FALSE(fs::exists(dir / "d.sfp"));
}
