// ScreenColorMode and ScreenResolution, and the platform's display calls, on a scripted display.
#include <cstring>

#include "display/acScreenColorMode.h"
#include "sysinfo/acSystemDisplay.h"
#include "scripted_display.h"
#include "sysinfo_fixture.h"

namespace {

// A request as the setters must build it: zero but for dmSize and the named fields.
bool IsPlainRequest(const DEVMODEA& m) {
  DEVMODEA expected{};
  expected.dmSize = 156;
  expected.dmFields = m.dmFields;
  if (m.dmFields == DM_BITSPERPEL) {
    expected.dmBitsPerPel = m.dmBitsPerPel;
  } else if (m.dmFields == (DM_PELSWIDTH | DM_PELSHEIGHT)) {
    expected.dmPelsWidth = m.dmPelsWidth;
    expected.dmPelsHeight = m.dmPelsHeight;
  } else {
    return false;
  }
  return std::memcmp(&expected, &m, sizeof m) == 0;
}

class DisplayModeTest : public SystemInfoTest {
 protected:
  void SetIdent(const std::string& name, const std::string& identifier) {
    const TPropInfo& p = Prop(name);
    const int ordinal = p.Names->ValueOf(identifier);
    ASSERT_GE(ordinal, 0) << identifier;
    p.SetOrd(*info, ordinal);
  }

  // Sets a display property with a fresh log and checks that every request the setter made
  // is plain (see IsPlainRequest) and names just `fields`; returns the display's log.
  std::vector<std::string> Change(const std::string& name, const std::string& identifier, DWORD fields) {
    display.log.clear();
    display.requests.clear();
    SetIdent(name, identifier);
    for (const DEVMODEA& m : display.requests) {
      EXPECT_TRUE(IsPlainRequest(m)) << ScriptedDisplay::Describe(m);
      EXPECT_EQ(m.dmFields, fields);
    }
    return display.log;
  }

  ScriptedDisplay display;
  ScriptedDisplayInPlace inPlace{display};
};

std::set<std::pair<int, int>> SizesUpTo1280x1024() {
  return {{640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 960}, {1280, 1024}};
}

TEST_F(DisplayModeTest, ColorModeProbeByDepth) {
  const struct {
    int bits;
    const char* mode;
  } cases[] = {{1, "sm8bit"},   {4, "sm4bit"},   {8, "sm8bit"},   {15, "sm8bit"},
               {16, "sm16bit"}, {24, "sm24bit"}, {32, "sm32bit"}, {0, "sm8bit"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits);
    display.bitsPerPixel = c.bits;
    const int before = display.opened;
    EXPECT_EQ(Ident("ScreenColorMode"), c.mode);
    EXPECT_EQ(display.opened, before + 1);
    EXPECT_EQ(display.released, display.opened);
  }
  EXPECT_TRUE(display.log.empty()) << "reading the mode changes nothing";
}

TEST_F(DisplayModeTest, ProbeReleasesTheScreenWhenTheReadFails) {
  display.throwOnBits = true;
  EXPECT_THROW(GetScreenColorMode(), std::runtime_error);
  EXPECT_EQ(display.opened, 1);
  EXPECT_EQ(display.released, 1);
}

TEST_F(DisplayModeTest, ResolutionMatchesEveryRow) {
  for (int r = 0; r < ScreenResolutionCount; ++r) {
    display.width = ScreenResolutionWidth[r];
    display.height = ScreenResolutionHeight[r];
    EXPECT_EQ(Ident("ScreenResolution"), TacScreenResolutionNames.NameOf(r));
  }
}

TEST_F(DisplayModeTest, UnlistedSizesReadAsFirstResolution) {
  const std::pair<int, int> sizes[] = {{1366, 768}, {768, 1366}, {1024, 769}, {0, 0}, {2560, 1440}};
  for (const auto& [w, h] : sizes) {
    display.width = w;
    display.height = h;
    EXPECT_EQ(Ident("ScreenResolution"), "sr640x480") << w << "x" << h;
  }
  EXPECT_EQ(ScreenResolutionOfSize(1920, 1080), sr1920x1080);
  EXPECT_EQ(ScreenResolutionOfSize(1080, 1920), sr1080x1920);
}

struct ColorCase {
  const char* name;
  std::set<int> offered;
  const char* requested;
  std::vector<std::string> log;
  const char* after;
};

TEST_F(DisplayModeTest, ColorChangeStepsDownToAnOfferedDepth) {
  const ColorCase cases[] = {
      {"16 only, ask 32", {16}, "sm32bit", {"offers 32", "offers 24", "offers 16", "offers 16", "apply 16"}, "sm16bit"},
      {"32 offered", {16, 32}, "sm32bit", {"offers 32", "offers 32", "apply 32"}, "sm32bit"},
      {"4 refused", {16, 32}, "sm4bit", {"offers 4"}, "sm24bit"},
      {"nothing offered", {}, "sm32bit", {"offers 32", "offers 24", "offers 16", "offers 8", "offers 4"}, "sm24bit"},
      {"8 only, ask 16", {8}, "sm16bit", {"offers 16", "offers 8", "offers 8", "apply 8"}, "sm8bit"},
  };
  info->ALLOW_EDIT = true;
  for (const ColorCase& c : cases) {
    SCOPED_TRACE(c.name);
    display.bitsPerPixel = 24;
    display.depths = c.offered;
    EXPECT_EQ(Change("ScreenColorMode", c.requested, DM_BITSPERPEL), c.log);
    EXPECT_EQ(Ident("ScreenColorMode"), c.after);
    EXPECT_EQ(display.released, display.opened);
  }
}

struct ResolutionCase {
  const char* name;
  std::set<std::pair<int, int>> offered;
  const char* requested;
  std::vector<std::string> log;
};

TEST_F(DisplayModeTest, ResolutionChangeStepsDownInEnumerationOrder) {
  const ResolutionCase cases[] = {
      {"up to 1280x1024, ask 1920x1080",
       SizesUpTo1280x1024(),
       "sr1920x1080",
       {"offers 1920x1080", "offers 1600x1200", "offers 1280x1024", "offers 1280x1024", "apply 1280x1024"}},
      {"upright goes on at the last landscape",
       {{1920, 1200}},
       "sr480x640",
       {"offers 480x640", "offers 1920x1200", "offers 1920x1200", "apply 1920x1200"}},
      {"first refused", {{800, 600}}, "sr640x480", {"offers 640x480"}},
      {"offered at once", {{1200, 1920}}, "sr1200x1920", {"offers 1200x1920", "offers 1200x1920", "apply 1200x1920"}},
  };
  info->ALLOW_EDIT = true;
  for (const ResolutionCase& c : cases) {
    SCOPED_TRACE(c.name);
    display.sizes = c.offered;
    EXPECT_EQ(Change("ScreenResolution", c.requested, DM_PELSWIDTH | DM_PELSHEIGHT), c.log);
  }
  EXPECT_EQ(Ident("ScreenResolution"), "sr1200x1920");
}

TEST_F(DisplayModeTest, NothingRefusedWalksTheWholeChain) {
  info->ALLOW_EDIT = true;
  SetIdent("ScreenResolution", "sr1200x1920");
  ASSERT_EQ(display.log.size(), static_cast<size_t>(ScreenResolutionCount));
  for (int r = 0; r < ScreenResolutionCount; ++r)
    EXPECT_EQ(display.log[ScreenResolutionCount - 1 - r],
              "offers " + std::to_string(ScreenResolutionWidth[r]) + "x" + std::to_string(ScreenResolutionHeight[r]));
  EXPECT_EQ(Ident("ScreenResolution"), "sr1024x768");
}

TEST_F(DisplayModeTest, SettersActOnlyWhenEditable) {
  display.depths = {4, 8, 16, 24, 32};
  display.sizes = SizesUpTo1280x1024();
  const auto setBoth = [this] {
    SetIdent("ScreenColorMode", "sm16bit");
    SetIdent("ScreenResolution", "sr800x600");
  };
  setBoth();  // ALLOW_EDIT off
  info->ALLOW_EDIT = true;
  info->IncludeState(csLoading);
  setBoth();
  info->ExcludeState(csLoading);
  EXPECT_TRUE(display.log.empty());
  EXPECT_EQ(display.opened, 0);
  EXPECT_TRUE(shown.empty()) << "editable properties are not refused with a message";
}

TEST_F(DisplayModeTest, EachStepDownChecksTheEditRuleAgain) {
  info->ALLOW_EDIT = true;
  display.depths = {8};
  display.onOffer = [this] { info->ALLOW_EDIT = false; };
  SetIdent("ScreenColorMode", "sm32bit");
  EXPECT_EQ(display.log, std::vector<std::string>{"offers 32"});
}

TEST_F(DisplayModeTest, ChangeDisplaySettingsAnswers) {
  display.depths = {32};
  display.sizes = {{1024, 768}, {800, 600}};
  DEVMODEA size = ResolutionRequest(sr800x600);
  DEVMODEA badSize = ResolutionRequest(sr1920x1080);
  DEVMODEA depth = ColorModeRequest(sm32bit);
  DEVMODEA none{};
  none.dmSize = sizeof none;

  EXPECT_EQ(ChangeDisplaySettingsA(nullptr, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(ChangeDisplaySettingsA(&none, CDS_UPDATEREGISTRY), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(display.opened, 0) << "nothing to change asks nothing";

  EXPECT_EQ(ChangeDisplaySettingsA(&badSize, CDS_TEST), DISP_CHANGE_BADMODE);
  EXPECT_EQ(ChangeDisplaySettingsA(&badSize, CDS_UPDATEREGISTRY), DISP_CHANGE_BADMODE);
  EXPECT_EQ(ChangeDisplaySettingsA(&size, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(ChangeDisplaySettingsA(&depth, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(display.width, 1024) << "a test changes nothing";
  EXPECT_EQ(ChangeDisplaySettingsA(&size, 0), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(display.width, 800);
  EXPECT_EQ(display.height, 600);
  display.applyFails = true;
  EXPECT_EQ(ChangeDisplaySettingsA(&depth, CDS_UPDATEREGISTRY), DISP_CHANGE_FAILED);

  DEVMODEA truncated = size;
  truncated.dmSize = 100;  // ends before dmPelsHeight
  EXPECT_EQ(ChangeDisplaySettingsA(&truncated, CDS_TEST), DISP_CHANGE_BADPARAM);
  EXPECT_EQ(display.released, display.opened);
}

TEST_F(DisplayModeTest, DeviceContextOfTheScreen) {
  display.width = 1280;
  display.height = 1024;
  display.bitsPerPixel = 16;
  HDC dc = GetDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 16);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1280);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 1024);
  EXPECT_EQ(GetDeviceCaps(dc, 9999), 0);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(2), 0);
  EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
  EXPECT_EQ(ReleaseDC(nullptr, dc), 0) << "a released context is not released twice";
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 0) << "nor read after release";
  EXPECT_EQ(display.released, display.opened);

  int window = 0;
  EXPECT_EQ(GetDC(reinterpret_cast<HWND>(&window)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(DisplayModeTest, NoScreenAtAll) {
  display.present = false;
  EXPECT_EQ(GetDC(nullptr), nullptr);
  EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 0);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 0);
  DEVMODEA size = ResolutionRequest(sr800x600);
  EXPECT_EQ(ChangeDisplaySettingsA(&size, CDS_TEST), DISP_CHANGE_FAILED);
  EXPECT_EQ(Ident("ScreenColorMode"), "sm8bit");
  EXPECT_EQ(Ident("ScreenResolution"), "sr640x480");
  info->ALLOW_EDIT = true;
  SetIdent("ScreenResolution", "sr800x600");  // refused down to the first member, quietly
  EXPECT_EQ(display.opened, 0);
}

}  // namespace
