// The pack and unpack commands, usage handling and exit statuses.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "tool_test_support.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Repeat(std::uint8_t value, std::size_t count) { return Bytes(count, value); }

Bytes RandomBytes(std::size_t count, unsigned seed) {
  std::mt19937 rng(seed);
  Bytes b(count);
  for (auto& x : b) x = static_cast<std::uint8_t>(rng());
  return b;
}

}  // namespace

TEST(ToolCodec, PackWritesTheKnownStreamAndUnpackRestoresIt) {
  ScratchDir dir;
  WriteBytes(dir / "in", Repeat(0x41, 4));
  ASSERT_EQ(RunTool({"pack", dir / "in", dir / "packed"}).status, 0);
  EXPECT_EQ(ReadBytes(dir / "packed"), (Bytes{4, 0, 0, 0, 5, 0, 0, 0, 0, 0x41, 3}));
  ASSERT_EQ(RunTool({"unpack", dir / "packed", dir / "out"}).status, 0);
  EXPECT_EQ(ReadBytes(dir / "out"), Repeat(0x41, 4));
}

TEST(ToolCodec, RoundTripsAssortedInputs) {
  Bytes mixed = RandomBytes(70000, 1);
  Bytes runs = Repeat(7, 150000);
  runs.insert(runs.end(), mixed.begin(), mixed.end());
  const std::vector<Bytes> inputs = {Bytes{}, Bytes{0}, RandomBytes(65534, 2), runs};
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(i);
    ScratchDir dir;
    WriteBytes(dir / "in", inputs[i]);
    ASSERT_EQ(RunTool({"pack", dir / "in", dir / "packed"}).status, 0);
    ASSERT_EQ(RunTool({"unpack", dir / "packed", dir / "out"}).status, 0);
    EXPECT_EQ(ReadBytes(dir / "out"), inputs[i]);
  }
}

TEST(ToolCodec, BadPackedInputFailsWithOneLineAndKeepsTheOldOutput) {
  struct Case {
    const char* name;
    Bytes packed;
    const char* offset;
  };
  const Case cases[] = {
      {"too short for the length", {1, 0}, "at offset 0"},
      {"length without blocks", {5, 0, 0, 0}, "offset"},
      {"frame cut off", {1, 0, 0, 0, 3}, "at offset 4"},
      {"packed length past the end", {1, 0, 0, 0, 9, 0, 1, 0, 0}, "at offset 4"},
      {"run overflows", {2, 0, 0, 0, 5, 0, 0, 0, 0, 0x41, 3}, "offset"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    WriteBytes(dir / "in", c.packed);
    WriteBytes(dir / "out", {'o', 'l', 'd'});
    ToolResult r = RunTool({"unpack", dir / "in", dir / "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, StartsWith("stowaway unpack: " + (dir / "in") + ": "));
    EXPECT_THAT(r.err, HasSubstr(c.offset));
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(ReadBytes(dir / "out"), (Bytes{'o', 'l', 'd'}));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      EXPECT_THAT(entry.path().filename().string(), ::testing::Not(HasSubstr(".tmp.")));
  }
}

TEST(ToolCodec, UsageErrorsAndHelp) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* text;
    bool onOut;
  };
  const Case cases[] = {
      {{}, 2, "usage: stowaway", false},
      {{"frobnicate"}, 2, "unknown command 'frobnicate'", false},
      {{"pack", "only-one"}, 2, "usage: stowaway pack IN OUT", false},
      {{"unpack", "a", "b", "c"}, 2, "usage: stowaway unpack IN OUT", false},
      {{"--help"}, 0, "unpack IN OUT", true},
      {{"pack", "--help"}, 0, "usage: stowaway pack IN OUT", true},
      {{"unpack", "--help"}, 0, "usage: stowaway unpack IN OUT", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "" : c.args[0]);
    ToolResult r = RunTool(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_THAT(c.onOut ? r.out : r.err, HasSubstr(c.text));
  }
}

TEST(ToolCodec, MissingInputNamesTheFile) {
  ScratchDir dir;
  ToolResult r = RunTool({"pack", dir / "absent", dir / "out"});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr(dir / "absent"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

TEST(ToolCodec, TheExecutableReportsTheSameStatuses) {
  ScratchDir dir;
  WriteBytes(dir / "bad", {1, 0, 0, 0});
  EXPECT_EQ(RunToolProcess({"unpack", dir / "bad", dir / "out"}).status, 1);
  EXPECT_EQ(RunToolProcess({"pack"}).status, 2);
  WriteBytes(dir / "in", RandomBytes(1000, 3));
  EXPECT_EQ(RunToolProcess({"pack", dir / "in", dir / "p"}).status, 0);
  EXPECT_EQ(RunToolProcess({"unpack", dir / "p", dir / "out"}).status, 0);
  EXPECT_EQ(ReadBytes(dir / "out"), RandomBytes(1000, 3));
}
