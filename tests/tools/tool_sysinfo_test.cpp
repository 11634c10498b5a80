// stowaway sysinfo lists the system-information component's published properties.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tool_test_support.h"

using ::testing::HasSubstr;

TEST(ToolSysinfo, ListsEveryPropertyInDeclarationOrder) {
  ScratchDir dir;
  setenv("STOWAWAY_PREFIX", (dir / "prefix").c_str(), 1);
  ToolResult r = RunTool({"sysinfo"});
  unsetenv("STOWAWAY_PREFIX");
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> names;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    std::size_t eq = line.find(" = ");
    ASSERT_NE(eq, std::string::npos) << line;
    names.push_back(line.substr(0, eq));
  }
  ASSERT_GE(names.size(), 43u);  // Name, Tag, About, then the component's own
  EXPECT_EQ(names[0], "Name");
  EXPECT_EQ(names[3], "ALLOW_EDIT");
  auto at = [&names](const char* n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
  EXPECT_LT(at("DefaultBrowser"), at("DirAppData"));
  EXPECT_LT(at("DirAppData"), at("DirWindows"));
  EXPECT_LT(at("DirWindows"), at("OwnerName"));
  EXPECT_THAT(r.out, HasSubstr("ALLOW_EDIT = False\n"));
  EXPECT_THAT(r.out, HasSubstr("DirTemp = 'C:\\users\\"));
  EXPECT_THAT(r.out, HasSubstr("DirWindows = 'C:\\windows\\'\n"));
  EXPECT_EQ(RunTool({"sysinfo", "extra"}).status, 2);
}
