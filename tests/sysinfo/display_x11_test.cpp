// The display calls on a real X server: private Xvfb servers of known sizes and depths, and
// no server at all.
#include <cstdlib>
#include <optional>

#include "platform/posix/displayx11.h"
#include "sysinfo_fixture.h"
#include "display/acScreenColorMode.h"
#include "sysinfo/acSystemDisplay.h"
#include "extra_screen_size.h"
#include "randr_monitors.h"
#include "xvfb_display.h"

namespace {

// Sets $DISPLAY (or removes it) for the life of the object.
class DisplayVariable {
 public:
  explicit DisplayVariable(const std::optional<std::string>& value) {
    if (const char* old = std::getenv("DISPLAY")) old_ = old;
    if (value)
      setenv("DISPLAY", value->c_str(), 1);
    else
      unsetenv("DISPLAY");
  }
  ~DisplayVariable() {
    if (old_)
      setenv("DISPLAY", old_->c_str(), 1);
    else
      unsetenv("DISPLAY");
  }
  DisplayVariable(const DisplayVariable&) = delete;
  DisplayVariable& operator=(const DisplayVariable&) = delete;

 private:
  std::optional<std::string> old_;
};

TEST(WindowsBitsPerPixel, DepthAndPixmapFormat) {
  const std::vector<winposix::PixmapFormat> usual = {{1, 1}, {4, 8}, {8, 8}, {15, 16}, {16, 16}, {24, 32}, {32, 32}};
  const std::vector<winposix::PixmapFormat> packed = {{1, 1}, {24, 24}};
  const struct {
    int depth;
    const std::vector<winposix::PixmapFormat>* formats;
    int bits;
  } cases[] = {{24, &usual, 32}, {24, &packed, 24}, {16, &usual, 16}, {15, &usual, 15},
               {8, &usual, 8},   {4, &usual, 4},    {32, &usual, 32}, {24, nullptr, 24}};
  const std::vector<winposix::PixmapFormat> none;
  for (const auto& c : cases)
    EXPECT_EQ(winposix::WindowsBitsPerPixel(c.depth, c.formats ? *c.formats : none), c.bits) << c.depth;
}

using X11DisplayTest = SystemInfoTest;

TEST_F(X11DisplayTest, PrivateServerOf1024x768) {
  XvfbDisplay server;
  if (server.Name().empty()) GTEST_SKIP() << server.Error();
  DisplayVariable display(server.Name());

  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  HDC dc = GetDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32) << "depth 24 is held in 32-bit pixels, as Windows reports it";
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1024);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 768);
  EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
  EXPECT_EQ(Ident("ScreenResolution"), "sr1024x768");
  EXPECT_EQ(Ident("ScreenColorMode"), "sm32bit");

  DEVMODEA offered = ResolutionRequest(sr1024x768);
  DEVMODEA tooLarge = ResolutionRequest(sr1920x1080);
  DEVMODEA sameDepth = ColorModeRequest(sm32bit);
  DEVMODEA otherDepth = ColorModeRequest(sm16bit);
  EXPECT_EQ(ChangeDisplaySettingsA(&offered, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(ChangeDisplaySettingsA(&tooLarge, CDS_TEST), DISP_CHANGE_BADMODE);
  EXPECT_EQ(ChangeDisplaySettingsA(&tooLarge, CDS_UPDATEREGISTRY), DISP_CHANGE_BADMODE);
  EXPECT_EQ(ChangeDisplaySettingsA(&sameDepth, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(ChangeDisplaySettingsA(&otherDepth, CDS_TEST), DISP_CHANGE_BADMODE);
  EXPECT_EQ(ChangeDisplaySettingsA(&offered, CDS_UPDATEREGISTRY), DISP_CHANGE_SUCCESSFUL);

  // The server offers only its own size: the step down ends there, and the screen stays usable.
  info->ALLOW_EDIT = true;
  Prop("ScreenResolution").SetOrd(*info, sr1920x1080);
  Prop("ScreenColorMode").SetOrd(*info, sm16bit);
  EXPECT_EQ(Ident("ScreenResolution"), "sr1024x768");
  EXPECT_EQ(Ident("ScreenColorMode"), "sm32bit");
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);

  // With 800 x 600 on offer as well, the size really changes, and the step down from
  // sr1920x1080 comes back to 1024 x 768.
  ExtraScreenSize extra(800, 600);
  DEVMODEA small = ResolutionRequest(sr800x600);
  ASSERT_EQ(ChangeDisplaySettingsA(&small, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
  Prop("ScreenResolution").SetOrd(*info, sr800x600);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
  EXPECT_EQ(Ident("ScreenResolution"), "sr800x600");
  Prop("ScreenResolution").SetOrd(*info, sr1920x1080);
  EXPECT_EQ(Ident("ScreenResolution"), "sr1024x768");
  dc = GetDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1024);
  EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
}

// Servers of other sizes and depths: the colour mode follows the depth as Windows reports it
// (15 bits is none of the five modes), and a size that is no row of the table reads sr640x480.
TEST_F(X11DisplayTest, PrivateServersOfOtherSizesAndDepths) {
  const struct {
    const char* screen;
    int width, height, bits;
    const char* mode;
    const char* resolution;
  } cases[] = {
      {"1280x1024x16", 1280, 1024, 16, "sm16bit", "sr1280x1024"},
      {"1366x768x15", 1366, 768, 15, "sm8bit", "sr640x480"},
      {"800x600x8", 800, 600, 8, "sm8bit", "sr800x600"},
      {"600x800x24", 600, 800, 32, "sm32bit", "sr600x800"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.screen);
    XvfbDisplay server(c.screen);
    if (server.Name().empty()) GTEST_SKIP() << server.Error();
    DisplayVariable display(server.Name());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), c.width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), c.height);
    HDC dc = GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), c.bits);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
    EXPECT_EQ(Ident("ScreenColorMode"), c.mode);
    EXPECT_EQ(Ident("ScreenResolution"), c.resolution);
  }
}

// Two monitors side by side on one X screen of 3200 x 1080: the screen's size is the primary
// monitor's, as Windows gives it; with no monitor marked primary, the whole screen's.
TEST_F(X11DisplayTest, TwoMonitorsGiveThePrimaryOnesSize) {
  XvfbDisplay server("3200x1080x24");
  if (server.Name().empty()) GTEST_SKIP() << server.Error();
  DisplayVariable display(server.Name());
  const struct {
    int primary;
    int width, height;
    const char* resolution;
  } cases[] = {
      {0, 1920, 1080, "sr1920x1080"},
      {1, 1280, 1024, "sr1280x1024"},
      {-1, 3200, 1080, "sr640x480"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.primary);
    RandRMonitors monitors({{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}}, c.primary);
    ASSERT_TRUE(monitors.Set()) << "the X server took no monitors";
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), c.width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), c.height);
    HDC dc = GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), c.width);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), c.height);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
    EXPECT_EQ(Ident("ScreenResolution"), c.resolution);
    // The size in use passes the test step, so asking for it changes nothing.
    DEVMODEA current{};
    current.dmSize = sizeof current;
    current.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    current.dmPelsWidth = c.width;
    current.dmPelsHeight = c.height;
    EXPECT_EQ(ChangeDisplaySettingsA(&current, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(ChangeDisplaySettingsA(&current, CDS_UPDATEREGISTRY), DISP_CHANGE_SUCCESSFUL);
  }
  // Without the monitors, the screen is one monitor again.
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 3200);
}

TEST_F(X11DisplayTest, NoServer) {
  const std::optional<std::string> settings[] = {std::nullopt, std::string(":4093")};
  for (const auto& setting : settings) {
    SCOPED_TRACE(setting.value_or("unset"));
    DisplayVariable display(setting);
    EXPECT_EQ(GetDC(nullptr), nullptr);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 0);
    DEVMODEA size = ResolutionRequest(sr800x600);
    EXPECT_EQ(ChangeDisplaySettingsA(&size, CDS_TEST), DISP_CHANGE_FAILED);
    EXPECT_EQ(GetScreenColorMode(), sm8bit);
    EXPECT_EQ(Ident("ScreenResolution"), "sr640x480");
    info->ALLOW_EDIT = true;
    Prop("ScreenResolution").SetOrd(*info, sr1200x1920);
  }
}

}  // namespace
