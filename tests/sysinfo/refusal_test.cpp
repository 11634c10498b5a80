// Assigning a read-only property: the message only in the designer with ALLOW_EDIT on and
// not while loading, and the value never changes.
#include <string>

#include "sysinfo_fixture.h"

namespace {

const char* const kReadOnly[] = {"DefaultBrowser", "DirSystem",    "DirTemp",       "DirWindows",
                                 "SystemPathes",   "WinProductID", "WinProductName"};

class RefusalTest : public SystemInfoTest {};

TEST_F(RefusalTest, MessageOnlyInTheDesignerWithAllowEditAndNotLoading) {
  const struct {
    bool designing;
    bool allowEdit;
    bool loading;
    bool shows;
  } states[] = {
      {false, false, false, false}, {false, true, false, false}, {true, false, false, false},
      {true, true, false, true},    {true, true, true, false},   {false, true, true, false},
  };
  for (const auto& s : states) {
    info->SetDesigning(s.designing);
    info->ALLOW_EDIT = s.allowEdit;
    if (s.loading)
      info->IncludeState(csLoading);
    else
      info->ExcludeState(csLoading);
    for (const char* property : kReadOnly) {
      SCOPED_TRACE(std::string(property) + " designing=" + std::to_string(s.designing) +
                   " allowEdit=" + std::to_string(s.allowEdit) + " loading=" + std::to_string(s.loading));
      const std::string before = Get(property);
      shown.clear();
      Set(property, "C:\\changed");
      EXPECT_EQ(Get(property), before);
      if (!s.shows) {
        EXPECT_TRUE(shown.empty());
        continue;
      }
      ASSERT_EQ(shown.size(), 1u);
      EXPECT_EQ(shown[0].text, "This property is READ-ONLY.\r\nYou could not change this value.");
      EXPECT_EQ(shown[0].caption, "acSystemInfo1");
      EXPECT_EQ(shown[0].flags, 64);
    }
  }
}

TEST_F(RefusalTest, CaptionIsTheCurrentName) {
  info->SetDesigning(true);
  info->ALLOW_EDIT = true;
  info->SetName("Systeminfo2");
  info->SetDirTemp("x");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "Systeminfo2");
}

TEST_F(RefusalTest, EditableSettersNeverShowAMessage) {
  info->SetDesigning(true);
  for (bool allowEdit : {false, true}) {
    info->ALLOW_EDIT = allowEdit;
    for (const char* property : {"ComputerName", "OwnerName", "DirFavorites", "DirProgramFiles"})
      Set(property, "C:\\x");
  }
  EXPECT_TRUE(shown.empty());
}

TEST_F(RefusalTest, WithoutAnInstalledMessageBoxNothingIsShown) {
  TMessageBoxHook mine = SetApplicationMessageBox(nullptr);
  info->SetDesigning(true);
  info->ALLOW_EDIT = true;
  EXPECT_NO_THROW(info->SetDirWindows("x"));
  EXPECT_EQ(ApplicationMessageBox("t", "c", MB_OK), 0);
  SetApplicationMessageBox(mine);
  EXPECT_TRUE(shown.empty());
  info->SetDirWindows("x");
  EXPECT_EQ(shown.size(), 1u);
}

}  // namespace
