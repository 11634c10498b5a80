// The build and verify commands: installers made from the stub, and their damage found.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "charset/Cp1252.h"
#include "core/FormText.h"
#include "core/MemoryStream.h"
#include "platform/hostpath.h"
#include "platform/posix/execresources.h"
#include "../platform/tiny_pe.h"
#include "tool_test_support.h"
#include "platform/winapi.h"
#include "platform/win/winresource.h"

#ifdef STOWAWAY_STUB

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr char kMarker[] = "SETUP-MARKER-0123456789";

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A 2 x 2 BMP, 24 bits per pixel.
Bytes TinyBmp() {
  Bytes b = B("BM");
  auto put = [&](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  put(54 + 16, 4), put(0, 4), put(54, 4), put(40, 4), put(2, 4), put(2, 4), put(1, 2), put(24, 2);
  put(0, 4), put(16, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4);
  for (int row = 0; row < 2; ++row) {
    for (int k = 0; k < 6; ++k) b.push_back(static_cast<std::uint8_t>(40 * row + k));
    put(0, 2);
  }
  return b;
}

class ToolBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("STOWAWAY_PREFIX", (dir / "prefix").c_str(), 1);
    WriteBytes(dir / "welcome.html", B("<html><body>Willkommen</body></html>"));
    std::string setup(200000, '\0');
    for (std::size_t i = 0; i < setup.size(); ++i) setup[i] = static_cast<char>((i * 2654435761u) >> 13);
    setup.replace(100000, sizeof kMarker - 1, kMarker);
    WriteBytes(dir / "setup.bin", B(setup));
    WriteBytes(dir / "readme.txt", B("read me\n"));
    WriteBytes(dir / "logo.bmp", TinyBmp());
  }
  void TearDown() override { unsetenv("STOWAWAY_PREFIX"); }

  ToolResult Build(const std::vector<std::string>& extra, bool withSetup = true) {
    std::vector<std::string> args = {"build", out(), "--stub", STOWAWAY_STUB, "--page", dir / "welcome.html"};
    if (withSetup) args.insert(args.end(), {"--setup", "acme_setup.exe=" + (dir / "setup.bin")});
    args.insert(args.end(), extra.begin(), extra.end());
    return RunTool(args);
  }
  std::string out() const { return dir / "out"; }

  std::map<std::string, std::string> Resources() {
    std::map<std::string, std::string> r;
    for (const ExecutableResource& e : ReadExecutableResources(out()))
      r[std::to_string(e.type) + ":" + e.name] = std::string(e.data);
    return r;
  }

  ScratchDir dir;
};

TEST_F(ToolBuild, TheInstallerCarriesTheFilesWordsSettingsAndManifest) {
  const std::string title =
      "Acme Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x82\xAC";  // "Acme Grüße €" in UTF-8
  const ToolResult r =
      Build({"--file", "docs\\readme.txt=" + (dir / "readme.txt"), "--title", title, "--caption", "Label3=Fast fertig",
             "--vendor-url", "https://acme.example/", "--logo", dir / "logo.bmp"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(fs::status(out()).permissions() & fs::perms::owner_exec, fs::perms::none);

  std::map<std::string, std::string> res = Resources();
  EXPECT_EQ(res["10:SETUPFILENAME"], "acme_setup.exe");
  EXPECT_EQ(res["10:STARTPAGEFILENAME"], "welcome.html");
  EXPECT_EQ(res["10:VENDORHOMEPAGE"], "https://acme.example/");
  int cursors = 0;
  for (const auto& [key, data] : res) cursors += key.rfind("12:", 0) == 0;
  EXPECT_EQ(cursors, 41) << "the stub's cursors are kept";
  for (const ExecutableResource& e : ReadExecutableResources(STOWAWAY_STUB))
    if (e.type != 10) {
      EXPECT_EQ(res[std::to_string(e.type) + ":" + e.name], e.data) << e.name << " is kept whole";
    }
  const std::string manifest = res["10:MANIFEST"];
  EXPECT_EQ(std::count(manifest.begin(), manifest.end(), '\n'), 3);
  EXPECT_THAT(manifest, HasSubstr(" 200000 acme_setup.exe\n"));

  TMemoryStream form(res["10:TFORM1"]), text;
  ObjectBinaryToText(form, text);
  const std::string t = text.Bytes();
  EXPECT_THAT(t, HasSubstr("  Caption = " + FormTextQuoted(Utf8ToCp1252(title)) + "\n"));
  EXPECT_THAT(t, HasSubstr("    Caption = 'Fast fertig'\n"));
  EXPECT_THAT(t, HasSubstr("    AutoSize = True\n"));
  const std::string& f = res["10:TFORM1"];
  const std::size_t picture = f.find("\x07TBitmap");
  ASSERT_NE(picture, std::string::npos);
  EXPECT_EQ(f.substr(picture + 12, 2), "BM");
  EXPECT_EQ(static_cast<int>(f[picture + 12 + 18]), 2);   // width
  EXPECT_EQ(static_cast<int>(f[picture + 12 + 28]), 24);  // bits per pixel

  const ToolResult list = RunTool({"list", out()});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_THAT(list.out, HasSubstr("welcome.html\n"));
  EXPECT_LT(list.out.find("welcome.html"), list.out.find("acme_setup.exe"));
  EXPECT_LT(list.out.find("acme_setup.exe"), list.out.find("docs\\readme.txt"));
  const ToolResult verify = RunTool({"verify", out()});
  EXPECT_EQ(verify.status, 0) << verify.err;
  EXPECT_THAT(verify.out, HasSubstr("3 stored files whole"));
}

TEST_F(ToolBuild, BadInputIsRefusedAndWritesNothing) {
  WriteBytes(dir / "not_a_stub", B("#!/bin/sh\nexit 0\n"));
  fs::copy_file("/bin/true", dir / "foreign_elf");
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  struct Case {
    const char* what;
    std::vector<std::string> args;
    bool withSetup;
    int status;
    std::string message;
  } cases[] = {
      {"missing setup file", {"--setup", dir / "missing.exe"}, false, 1, "missing.exe"},
      {"missing extra file", {"--file", dir / "gone.txt"}, true, 1, "gone.txt"},
      {"page name that escapes", {"--file", "..\\evil.txt=" + (dir / "readme.txt")}, true, 1, "evil.txt"},
      {"absolute stored name", {"--file", "C:\\evil.txt=" + (dir / "readme.txt")}, true, 1, "evil.txt"},
      {"title outside the code page", {"--title", "\xE6\x97\xA5\xE6\x9C\xAC"}, true, 1, "Windows-1252"},
      {"caption outside the code page", {"--caption", "Label3=\xE4\xB8\xAD"}, true, 1, "Windows-1252"},
      {"caption of no component", {"--caption", "Label99=x"}, true, 1, "Label99"},
      {"logo that is no image", {"--logo", dir / "readme.txt"}, true, 1, "no PNG, JPEG or BMP"},
      {"stub that is a script", {"--stub", dir / "not_a_stub"}, true, 1, "not a Stowaway installer stub"},
      {"stub that is another program", {"--stub", dir / "foreign_elf"}, true, 1, "not a Stowaway installer stub"},
      {"two files under one name", {"--file", "ACME_SETUP.EXE=" + (dir / "readme.txt")}, true, 1, "ACME_SETUP.EXE"},
      {"form that is no form", {"--form", dir / "readme.txt"}, true, 1, "readme.txt"},
      {"no setup program", {}, false, 2, "--setup"},
      // Refused at once: opening a FIFO would wait for a writer.
      {"setup program that is a FIFO", {"--setup", dir / "pipe"}, false, 1, "not a regular file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> args = c.args;
    // --stub given twice is refused, so a case's own stub replaces the default one.
    ToolResult r;
    if (!args.empty() && args[0] == "--stub") {
      std::vector<std::string> all = {"build", out(), "--setup", dir / "setup.bin"};
      all.insert(all.end(), args.begin(), args.end());
      r = RunTool(all);
    } else {
      r = Build(args, c.withSetup);
    }
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_THAT(r.err, HasSubstr(c.message));
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(fs::exists(out()));
    for (const auto& e : fs::directory_iterator(dir.path()))
      EXPECT_EQ(e.path().filename().string().find("out."), std::string::npos) << e.path();
  }
  // OUT that is a directory, or lies in none: refused before anything is made.
  fs::create_directory(dir / "sub");
  for (const std::string& target : {dir / "sub", dir / "none/out"}) {
    const ToolResult r = RunTool({"build", target, "--stub", STOWAWAY_STUB, "--setup", dir / "setup.bin"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_THAT(r.err, HasSubstr(target + ": "));
    EXPECT_TRUE(fs::is_empty(dir / "sub"));
  }
}

TEST_F(ToolBuild, VerifyNamesWhatIsDamaged) {
  ASSERT_EQ(Build({}).status, 0);
  const Bytes good = ReadBytes(out());
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    std::string message;
  } cases[] = {
      {"a flipped byte in the stored setup program",
       [](Bytes& b) {
         const std::string s(b.begin(), b.end());
         const std::size_t at = s.find(kMarker);
         ASSERT_NE(at, std::string::npos);
         ASSERT_EQ(s.find(kMarker, at + 1), std::string::npos);
         b[at + 3] ^= 0x20;
       },
       "acme_setup.exe differs from its SHA-256"},
      {"a truncated installer", [](Bytes& b) { b.resize(b.size() - 1000); }, "no manifest"},
      {"a missing form",
       [&](Bytes&) {
         HANDLE h = BeginUpdateResourceA(UnixPathToWindows(out()).c_str(), FALSE);
         ASSERT_TRUE(h);
         ASSERT_TRUE(UpdateResourceA(h, RT_RCDATA, "TFORM1", 0, nullptr, 0));
         ASSERT_TRUE(EndUpdateResourceA(h, FALSE));
       },
       "carries no form"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(out(), good);
    Bytes bytes = good;
    c.damage(bytes);
    if (bytes != good) WriteBytes(out(), bytes);
    const ToolResult r = RunTool({"verify", out()});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr(c.message));
  }
}

TEST_F(ToolBuild, AWindowsStubMakesAWindowsInstaller) {
  if (!tinype::HaveCrossCompiler()) GTEST_SKIP() << "no x86_64-w64-mingw32 cross compiler";
  const std::string exe = tinype::Build(dir.path().string());
  ASSERT_FALSE(exe.empty());
  const std::string stub = dir / "stub.exe";
  fs::copy_file(exe, stub);
  const ToolResult foreign = RunTool({"build", out(), "--stub", stub, "--setup", dir / "setup.bin"});
  EXPECT_EQ(foreign.status, 1);
  EXPECT_THAT(foreign.err, HasSubstr("not a Stowaway installer stub"));

  // The Linux stub's form, put into the Windows program under the language of its resources.
  std::string form;
  for (const ExecutableResource& e : ReadExecutableResources(STOWAWAY_STUB))
    if (e.name == "TFORM1") form = std::string(e.data);
  WORD language = 0;
  for (const ExecutableResource& e : ReadExecutableResources(stub))
    if (e.name == "GREETING") language = e.language;
  HANDLE h = BeginUpdateResourceA(UnixPathToWindows(stub).c_str(), FALSE);
  ASSERT_TRUE(h);
  ASSERT_TRUE(UpdateResourceA(h, RT_RCDATA, "TFORM1", language, form.data(), static_cast<DWORD>(form.size())));
  ASSERT_TRUE(EndUpdateResourceA(h, FALSE));

  const ToolResult r = RunTool({"build", out(), "--stub", stub, "--page", dir / "welcome.html", "--setup",
                                "acme_setup.exe=" + (dir / "setup.bin"), "--title", "Acme"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::uint8_t> head = ReadBytes(out());
  ASSERT_GE(head.size(), 2u);
  EXPECT_EQ(std::string(head.begin(), head.begin() + 2), "MZ");
  std::multiset<std::string> names;
  for (const ExecutableResource& e : ReadExecutableResources(out())) {
    names.insert(e.name);
    if (e.type == 10) {
      EXPECT_EQ(e.language, language) << e.name;
    }
  }
  for (const char* name : {"TFORM1", "SETUPFILENAME", "STARTPAGEFILENAME", "MANIFEST", "GREETING", "OTHER"})
    EXPECT_EQ(names.count(name), 1u) << name;
  const ToolResult list = RunTool({"list", out()});
  EXPECT_THAT(list.out, HasSubstr("acme_setup.exe\n"));
  const ToolResult verify = RunTool({"verify", out()});
  EXPECT_EQ(verify.status, 0) << verify.err;
  EXPECT_THAT(verify.out, HasSubstr("2 stored files whole"));

  Bytes damaged = ReadBytes(out());
  const std::string s(damaged.begin(), damaged.end());
  ASSERT_NE(s.find(kMarker), std::string::npos);
  damaged[s.find(kMarker) + 3] ^= 0x20;
  WriteBytes(out(), damaged);
  const ToolResult bad = RunTool({"verify", out()});
  EXPECT_EQ(bad.status, 1);
  EXPECT_THAT(bad.err, HasSubstr("acme_setup.exe differs from its SHA-256"));
}

}  // namespace

#endif
