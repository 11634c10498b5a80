// stowaway reg: query, set, export and import on a temporary prefix.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tool_test_support.h"

using ::testing::HasSubstr;

namespace {

class ToolReg : public ::testing::Test {
protected:
  void SetUp() override { UsePrefix("a"); }
  void TearDown() override { unsetenv("STOWAWAY_PREFIX"); }
  void UsePrefix(const std::string& name) { setenv("STOWAWAY_PREFIX", (dir / name).c_str(), 1); }
  ScratchDir dir;
};

}  // namespace

TEST_F(ToolReg, SetThenQueryAndExportImportIntoAnotherPrefix) {
  ASSERT_EQ(RunTool({"reg", "set", "HKCU\\Software\\Vexil\\Setup", "Path", "C:\\Programme\\Vexil Grüße"}).status, 0);
  ASSERT_EQ(RunTool({"reg", "set", "HKEY_LOCAL_MACHINE\\Software\\Vexil", "@", "default"}).status, 0);
  ToolResult q = RunTool({"reg", "query", "HKEY_CURRENT_USER\\Software\\Vexil\\Setup", "Path"});
  ASSERT_EQ(q.status, 0) << q.err;
  EXPECT_EQ(q.out, "C:\\Programme\\Vexil Grüße\n");
  ToolResult key = RunTool({"reg", "query", "hkcu\\Software\\Vexil"});
  ASSERT_EQ(key.status, 0) << key.err;
  EXPECT_THAT(key.out, HasSubstr("[HKEY_CURRENT_USER\\Software\\Vexil\\Setup]\r\n\"Path\"="));

  ASSERT_EQ(RunTool({"reg", "export", dir / "all.reg"}).status, 0);
  UsePrefix("b");
  EXPECT_EQ(RunTool({"reg", "query", "HKCU\\Software\\Vexil\\Setup", "Path"}).status, 1);
  ToolResult imp = RunTool({"reg", "import", dir / "all.reg"});
  ASSERT_EQ(imp.status, 0) << imp.err;
  EXPECT_EQ(RunTool({"reg", "query", "HKCU\\Software\\Vexil\\Setup", "Path"}).out, "C:\\Programme\\Vexil Grüße\n");
  EXPECT_EQ(RunTool({"reg", "query", "HKLM\\Software\\Vexil", "@"}).out, "default\n");
}

TEST_F(ToolReg, ErrorsAndUsage) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* text;
  };
  WriteBytes(dir / "bad.reg", {'R', 'E', 'G', 'E', 'D', 'I', 'T', '4', '\n', '[', 'x', '\n'});
  const Case cases[] = {
      {{"reg"}, 2, "subcommand"},
      {{"reg", "frob"}, 2, "unknown subcommand"},
      {{"reg", "query", "HKXX\\Software"}, 2, "unknown root key"},
      {{"reg", "query", "HKCU\\Software\\Missing"}, 1, "not found"},
      {{"reg", "query", "HKCU\\Software", "NoSuchValue"}, 1, "not found"},
      {{"reg", "set", "HKCU\\Software\\X", "v"}, 2, "usage"},
      {{"reg", "import", dir / "bad.reg"}, 1, "bad.reg"},
      {{"reg", "import", dir / "missing.reg"}, 1, "missing.reg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    ToolResult r = RunTool(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_THAT(r.err, HasSubstr(c.text));
  }
}

// A value set at a root key in one process reads back in the next ones.
TEST_F(ToolReg, ValueAtTheRootReadsBackInAnotherProcess) {
  ASSERT_EQ(RunTool({"reg", "set", "HKCU", "AtRoot", "root value"}).status, 0);
  ASSERT_EQ(RunTool({"reg", "set", "HKCU\\Software\\Vexil", "After", "x"}).status, 0);
  ToolResult q = RunTool({"reg", "query", "HKCU", "AtRoot"});
  ASSERT_EQ(q.status, 0) << q.err;
  EXPECT_EQ(q.out, "root value\n");
}
