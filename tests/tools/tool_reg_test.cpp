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

TEST_F(ToolReg, ExportImportRoundTripsEveryNameThatSetAccepts) {
  // Value names and data with line breaks, quotes, backslashes, "@" itself and the longest name.
  const std::string longest(16383, 'n');
  const std::vector<std::pair<std::string, std::string>> values = {
      {"line\nbreak", "data\r\nwith breaks"},
      {"cr\ronly", "x"},
      {"quote\"and\\slash", "a\\\"b"},
      {"@", "not the default"},
      {"semi;colon=", "=;"},
      {longest, "long"},
      {"ends with backslash\\", "\\"},
  };
  for (const auto& [name, data] : values)
    ASSERT_EQ(RunTool({"reg", "set", "HKCU\\Software\\RoundTrip", name, data}).status, 0) << name;
  ToolResult exported = RunTool({"reg", "export", dir / "rt.reg", "HKCU\\Software\\RoundTrip"});
  ASSERT_EQ(exported.status, 0) << exported.err;
  UsePrefix("b");
  ToolResult imported = RunTool({"reg", "import", dir / "rt.reg"});
  ASSERT_EQ(imported.status, 0) << imported.err;
  for (const auto& [name, data] : values) {
    ToolResult q = RunTool({"reg", "query", "HKCU\\Software\\RoundTrip", name});
    EXPECT_EQ(q.status, 0) << name.substr(0, 40) << ": " << q.err;
    EXPECT_EQ(q.out, data + "\n") << name.substr(0, 40);
  }
}

TEST_F(ToolReg, ImportBeyondTheLimitsAppliesNothing) {
  auto deepKey = [](int levels) {
    std::string key = "HKEY_CURRENT_USER";
    for (int i = 0; i < levels; ++i) key += "\\k";
    return key;
  };
  struct Case {
    const char* what;
    std::string section;
    bool accepted;
  };
  const Case cases[] = {
      {"512 levels", deepKey(512), true},
      {"513 levels", deepKey(513), false},
      {"10000 levels", deepKey(10000), false},
      {"255-character name", "HKEY_CURRENT_USER\\Software\\" + std::string(255, 'k'), true},
      {"256-character name", "HKEY_CURRENT_USER\\Software\\" + std::string(256, 'k'), false},
      {"control character", "HKEY_CURRENT_USER\\Software\\a\x1b[31mb", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UsePrefix(std::string("limits-") + c.what);
    // A valid key first: all or nothing means it is not written either when a later one fails.
    const std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\First]\r\n\"v\"=\"1\"\r\n\r\n[" +
                             c.section + "]\r\n\"w\"=\"2\"\r\n";
    WriteBytes(dir / "limits.reg", std::vector<uint8_t>(text.begin(), text.end()));
    ToolResult r = RunTool({"reg", "import", dir / "limits.reg"});
    EXPECT_EQ(r.status, c.accepted ? 0 : 1) << r.err;
    EXPECT_EQ(RunTool({"reg", "query", "HKCU\\Software\\First", "v"}).status, c.accepted ? 0 : 1);
    if (!c.accepted) EXPECT_THAT(r.err, HasSubstr("line 6"));
  }
  // reg set refuses the same with a clear error.
  ToolResult bad = RunTool({"reg", "set", "HKCU\\Software\\a\nb", "v", "d"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_THAT(bad.err, HasSubstr("control characters"));
  ToolResult deep = RunTool({"reg", "set", deepKey(513), "v", "d"});
  EXPECT_EQ(deep.status, 1);
  EXPECT_THAT(deep.err, HasSubstr("512"));
}
