// The create, list, extract and form commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tool_test_support.h"

using ::testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::string HexLines(const Bytes& bytes, const std::string& indent) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 32) {
    out += indent;
    for (std::size_t j = i; j < std::min(bytes.size(), i + 32); ++j) {
      out += digits[bytes[j] >> 4];
      out += digits[bytes[j] & 15];
    }
    out += "\n";
  }
  return out;
}

// A text form of an application window holding a storage, whatever its other classes.
std::string TextForm(const Bytes& container) {
  return "object Form1: TForm1\n"
         "  Caption = 'Installation'\n"
         "  object Label1: TLabel\n"
         "    Caption = 'Sie k'#246'nnen'\n"
         "  end\n"
         "  object acFileStorage1: TacFileStorage\n"
         "    AutoExtract.Enabled = True\n"
         "    AutoExtract.ExtractTo.ToplevelDir = tdTempDir\n"
         "    Left = 8\n"
         "    Top = 8\n"
         "    StoredData = {\n" +
         HexLines(container, "      ") +
         "    }\n"
         "  end\n"
         "end\n";
}

struct Fixture {
  ScratchDir dir;
  Fixture() {
    WriteBytes(dir / "page.html", B("<html>Start</html>"));
    Bytes setup(200000, 0);
    for (std::size_t i = 0; i < setup.size(); i += 7) setup[i] = static_cast<std::uint8_t>(i);
    WriteBytes(dir / "setup.bin", setup);
    WriteBytes(dir / "empty", {});
  }
  Bytes Setup() const { return ReadBytes(dir / "setup.bin"); }
};

}  // namespace

TEST(ToolContainer, CreateListExtractRoundTrip) {
  Fixture f;
  ASSERT_EQ(RunTool({"create", f.dir / "c.sfp", f.dir / "page.html", "app\\bin\\setup.exe=" + (f.dir / "setup.bin"),
                     f.dir / "empty"})
                .status,
            0);
  Bytes c = ReadBytes(f.dir / "c.sfp");
  ASSERT_GE(c.size(), 8u);
  EXPECT_EQ(std::string(c.begin(), c.begin() + 8), std::string("SFP1\x03\x00\x00\x00", 8));

  ToolResult list = RunTool({"list", f.dir / "c.sfp"});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_THAT(list.out, HasSubstr("18          26  page.html\n"));
  EXPECT_THAT(list.out, HasSubstr("200000"));
  EXPECT_THAT(list.out, HasSubstr("app\\bin\\setup.exe\n"));
  EXPECT_THAT(list.out, HasSubstr("0           4  empty\n"));

  ASSERT_EQ(RunTool({"extract", f.dir / "c.sfp", f.dir / "out"}).status, 0);
  EXPECT_EQ(ReadBytes(f.dir / "out/page.html"), B("<html>Start</html>"));
  EXPECT_EQ(ReadBytes(f.dir / "out/app/bin/setup.exe"), f.Setup());
  EXPECT_TRUE(std::filesystem::is_regular_file(f.dir / "out/empty"));
}

TEST(ToolContainer, FormsInBothFormsAreSourcesAndConvertBothWays) {
  Fixture f;
  ASSERT_EQ(RunTool({"create", f.dir / "c.sfp", f.dir / "page.html", "setup.exe=" + (f.dir / "setup.bin")}).status, 0);
  std::string text = TextForm(ReadBytes(f.dir / "c.sfp"));
  WriteBytes(f.dir / "form.txt", B(text));

  ToolResult toBinary = RunTool({"form", f.dir / "form.txt", f.dir / "form.bin"});
  ASSERT_EQ(toBinary.status, 0) << toBinary.err;
  Bytes binary = ReadBytes(f.dir / "form.bin");
  ASSERT_GE(binary.size(), 4u);
  EXPECT_EQ(std::string(binary.begin(), binary.begin() + 4), "TPF0");
  ASSERT_EQ(RunTool({"form", f.dir / "form.bin", f.dir / "back.txt"}).status, 0);
  EXPECT_EQ(ReadBytes(f.dir / "back.txt"), B(text));

  for (const char* source : {"form.txt", "form.bin"}) {
    SCOPED_TRACE(source);
    ToolResult list = RunTool({"list", f.dir / source});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_THAT(list.out, HasSubstr("  page.html\n"));
    EXPECT_THAT(list.out, HasSubstr("  setup.exe\n"));
    std::string out = f.dir / (std::string("out-") + source);
    ASSERT_EQ(RunTool({"extract", f.dir / source, out}).status, 0);
    EXPECT_EQ(ReadBytes(out + "/setup.exe"), f.Setup());
  }
}

TEST(ToolContainer, TextFormsAreRecognisedWhateverTheirFirstWordLooksLike) {
  Fixture f;
  ASSERT_EQ(RunTool({"create", f.dir / "c.sfp", f.dir / "page.html"}).status, 0);
  const std::string text = TextForm(ReadBytes(f.dir / "c.sfp"));
  const std::string rest = text.substr(std::string("object").size());
  for (const std::string& form : {"\xEF\xBB\xBF" + text, "OBJECT" + rest, "Object\t" + rest.substr(1),
                                  "\r\n  inherited" + rest, "inline" + rest}) {
    SCOPED_TRACE(form.substr(0, 12));
    WriteBytes(f.dir / "form.txt", B(form));
    ToolResult convert = RunTool({"form", f.dir / "form.txt", f.dir / "form.bin"});
    EXPECT_EQ(convert.status, 0) << convert.err;
    ToolResult list = RunTool({"list", f.dir / "form.txt"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_THAT(list.out, HasSubstr("  page.html\n"));
  }
}

TEST(ToolContainer, ExtractRefusesNamesThatLeaveTheDirectoryAndWritesNothing) {
  // Containers written by hand: create refuses such names itself.
  auto container = [](const std::string& name) {
    std::string s = std::string("SFP1\x02\x00\x00\x00", 8);
    auto rec = [&s](const std::string& n) {
      s += std::string(1, static_cast<char>(n.size())) + std::string(3, '\0') + n;
      s += std::string("\x04\x00\x00\x00\x00\x00\x00\x00", 8);  // an empty packed content
    };
    rec("fine.txt");
    rec(name);
    return Bytes(s.begin(), s.end());
  };
  const std::string names[] = {"..\\evil", "a\\..\\..\\evil",      "\\abs", "/abs", "C:\\x", "c:evil", "a\\\\b",
                               "a\\",      std::string("a\0b", 3), "."};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    ScratchDir dir;
    WriteBytes(dir / "c.sfp", container(name));
    ToolResult r = RunTool({"extract", dir / "c.sfp", dir / "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("nothing extracted"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out"));
    EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "evil"));
  }
}

TEST(ToolContainer, BadSourcesFailWithTheFileAndOffset) {
  Fixture f;
  struct Case {
    const char* name;
    std::string bytes;
    const char* message;
  };
  const Case cases[] = {
      {"tiny", "abc", "not a container or form"},
      {"truncated packed", std::string("SFP1\x01\x00\x00\x00\x05\x00\x00\x00", 12), "at offset 8"},
      {"form without storage", "object Form1: TForm1\nend\n", "holds no TacFileStorage"},
      {"bad text form", "object Form1: TForm1\n  Caption = 'open\nend\n", "line"},
      {"binary form cut off",
       "TPF0\x06TForm1\x05"
       "Form1\x07",
       "at offset"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(f.dir / "src", B(c.bytes));
    ToolResult r = RunTool({"list", f.dir / "src"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr(f.dir / "src"));
    EXPECT_THAT(r.err, HasSubstr(c.message));
  }
  ToolResult r = RunTool({"form", f.dir / "page.html", f.dir / "x"});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(std::filesystem::exists(f.dir / "x"));
  EXPECT_EQ(RunTool({"create", f.dir / "c.sfp"}).status, 2);
  EXPECT_EQ(RunTool({"list"}).status, 2);
}

#ifdef STOWAWAY_INSTALLER
TEST(ToolContainer, TheInstallerExecutableIsASource) {
  ToolResult list = RunTool({"list", STOWAWAY_INSTALLER});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_THAT(list.out, HasSubstr("  startseite.html\n"));
  EXPECT_THAT(list.out, HasSubstr("  vexil_qm_trial.exe\n"));
  ScratchDir dir;
  ASSERT_EQ(RunTool({"extract", STOWAWAY_INSTALLER, dir / "out"}).status, 0);
  Bytes page = ReadBytes(dir / "out/startseite.html");
  EXPECT_THAT(std::string(page.begin(), page.end()), HasSubstr("<html"));
  EXPECT_THAT(list.out, HasSubstr(std::to_string(page.size()) + " "));
  EXPECT_GT(ReadBytes(dir / "out/vexil_qm_trial.exe").size(), 1000u);
}
#endif

TEST(ToolContainer, CreateRefusesNamesItCannotKeepWholeAndWritesNothing) {
  Fixture f;
  struct Case {
    std::vector<std::string> inputs;
    const char* message;
  };
  const Case cases[] = {
      {{"\xE6\x97\xA5\xE6\x9C\xAC.txt=" + (f.dir / "page.html")}, "Windows-1252 cannot hold"},
      {{"a.txt=" + (f.dir / "page.html"), "A.TXT=" + (f.dir / "empty")}, "given twice"},
      {{"\xC3\xA9t\xC3\xA9.txt=" + (f.dir / "page.html"), "\xC3\x89T\xC3\x89.TXT=" + (f.dir / "empty")}, "given twice"},
      {{"d\\a.txt=" + (f.dir / "page.html"), "d\\x\\..\\a.txt=" + (f.dir / "empty")}, "given twice"},
      {{"bad|name=" + (f.dir / "page.html")}, "Windows does not allow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.inputs[0]);
    std::vector<std::string> args{"create", f.dir / "c.sfp"};
    args.insert(args.end(), c.inputs.begin(), c.inputs.end());
    ToolResult r = RunTool(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr(c.message));
    EXPECT_FALSE(std::filesystem::exists(f.dir / "c.sfp"));
  }
  // A name the code page holds is kept whole.
  ASSERT_EQ(RunTool({"create", f.dir / "c.sfp", "\xC3\xA9t\xC3\xA9.txt=" + (f.dir / "page.html")}).status, 0);
  EXPECT_THAT(RunTool({"list", f.dir / "c.sfp"}).out, HasSubstr("  \xC3\xA9t\xC3\xA9.txt\n"));
}
