// Names with control characters never reach the terminal raw: in list's output and in errors.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "printable_name.h"
#include "tool_test_support.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// A plain container (hand-written: create and extract check names themselves) holding
// empty files under the given names.
std::vector<std::uint8_t> Container(const std::vector<std::string>& names) {
  std::string s = "SFP1" + std::string(1, static_cast<char>(names.size())) + std::string(3, '\0');
  for (const std::string& n : names) {
    s += std::string(1, static_cast<char>(n.size())) + std::string(3, '\0') + n;
    s += std::string("\x04\x00\x00\x00\x00\x00\x00\x00", 8);  // an empty packed content
  }
  return {s.begin(), s.end()};
}

bool HasRawControl(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c < 0x20 && c != '\n') || c == 0x7f) return true;
    if (c == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80) return true;
  }
  return false;
}

}  // namespace

TEST(PrintableName, EscapesControlCharactersOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain\\path.txt", "plain\\path.txt"},
      {"a\nb\rc\td", "a\\nb\\rc\\td"},
      {"\x1b[31mred", "\\x1b[31mred"},
      {std::string("nul\0x", 5), "nul\\x00x"},
      {"del\x7f", "del\\x7f"},
      {"c1\xc2\x9b"
       "2J",
       "c1\\u009b2J"},
      {"Gr\xc3\xbc\xc3\x9f"
       "e \xe2\x80\xba",
       "Gr\xc3\xbc\xc3\x9f"
       "e \xe2\x80\xba"},  // ü, ß, › stay
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(PrintableName(in), out);
}

TEST(PrintableName, ListAndErrorsShowStoredNamesEscaped) {
  ScratchDir dir;
  WriteBytes(dir / "c.sfp", Container({"fake\rreal.txt", "\x1b]0;title\x07x", "line\nbreak"}));
  ToolResult list = RunTool({"list", dir / "c.sfp"});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_FALSE(HasRawControl(list.out)) << list.out;
  EXPECT_THAT(list.out, HasSubstr("  fake\\rreal.txt\n"));
  EXPECT_THAT(list.out, HasSubstr("  \\x1b]0;title\\x07x\n"));
  EXPECT_THAT(list.out, HasSubstr("  line\\nbreak\n"));

  // A refused name, and a file name given on the command line, in the one error line.
  WriteBytes(dir / "bad.sfp", Container({"..\\\x1b[2Jevil"}));
  const std::vector<std::string> failing[] = {
      {"extract", dir / "bad.sfp", dir / "out"},
      {"list", dir / "missing\x1b[2J.sfp"},
  };
  for (const auto& args : failing) {
    ToolResult r = RunTool(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(HasRawControl(r.err)) << r.err;
    EXPECT_THAT(r.err, HasSubstr("\\x1b[2J"));
  }
}
