// The machine, version and network facts are read-only: assigning one never changes it, and
// shows the refusal only in the designer with ALLOW_EDIT on.
#include <string>

#include "sysinfo_fixture.h"

namespace {

// Facts that stay the same between two reads in a test (uptime, memory and the clock move).
const char* const kStable[] = {
    "WinDirectXVersion",   "DiskCSerialNumber", "DiskCSerialNumberStr", "OSVersion",       "CPUIdentifier",
    "CPUVendor",           "CPUArchitecture",   "CPUsNumber",           "CPUType",         "WinNT",
    "WinVersion",          "WinVersionBuild",   "WinVersionMajor",      "WinVersionMinor", "WinVersionNumber",
    "WinVersionSubNumber", "InternetStatus"};
const char* const kMoving[] = {"MemAvailPhisical", "MemTotalPhisical", "MemAvailVirtual", "MemTotalVirtual",
                               "MemLoad",          "CPUFrequency",     "SystemUpTime"};

class ReadOnlyFactsTest : public SystemInfoTest {
 protected:
  std::string Value(const TPropInfo& p) {
    return p.Kind == TPropKind::String ? p.GetStr(*info) : std::to_string(p.GetOrd(*info));
  }
  void Assign(const TPropInfo& p) {
    if (p.Kind == TPropKind::String)
      p.SetStr(*info, "changed");
    else
      p.SetOrd(*info, 1);
  }
};

TEST_F(ReadOnlyFactsTest, AssignmentChangesNothing) {
  info->ALLOW_EDIT = true;
  for (bool designing : {false, true}) {
    info->SetDesigning(designing);
    for (const char* name : kStable) {
      SCOPED_TRACE(std::string(name) + (designing ? " designing" : " running"));
      const TPropInfo& p = Prop(name);
      const std::string before = Value(p);
      shown.clear();
      Assign(p);
      EXPECT_EQ(Value(p), before);
      EXPECT_EQ(shown.size(), designing ? 1u : 0u);
    }
    for (const char* name : kMoving) {
      SCOPED_TRACE(std::string(name) + (designing ? " designing" : " running"));
      shown.clear();
      Assign(Prop(name));
      EXPECT_EQ(shown.size(), designing ? 1u : 0u);
    }
  }
}

TEST_F(ReadOnlyFactsTest, NoMessageWithoutAllowEdit) {
  info->SetDesigning(true);
  for (const char* name : kMoving) Assign(Prop(name));
  for (const char* name : kStable) Assign(Prop(name));
  EXPECT_TRUE(shown.empty());
}

}  // namespace
