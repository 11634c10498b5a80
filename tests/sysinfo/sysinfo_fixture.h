// A system-information component on a fresh system, with the application's message
// box captured, and access to its published properties by name.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/PropertyRegistry.h"
#include "sysinfo/acMessageBox.h"
#include "sysinfo/acSystemInfo.h"
#include "util/acUtils.h"
#include "fresh_system.h"

struct ShownMessage {
  std::string text;
  std::string caption;
  int flags;
};

class SystemInfoTest : public FreshSystemTest {
 protected:
  void SetUp() override {
    FreshSystemTest::SetUp();
    previousHook_ = SetApplicationMessageBox([this](const std::string& text, const std::string& caption, int flags) {
      shown.push_back({text, caption, flags});
      return 1;  // IDOK
    });
    info = std::make_unique<TacSystemInfo>(nullptr);
    info->SetName("acSystemInfo1");
  }

  void TearDown() override {
    info.reset();
    SetApplicationMessageBox(previousHook_);
    FreshSystemTest::TearDown();
  }

  static const TPropInfo& Prop(const std::string& name) {
    const TPropInfo* p = TacSystemInfo::StaticClassInfo().FindProperty(name);
    if (!p) throw std::runtime_error("no published property " + name);
    return *p;
  }
  // Reads and assigns a String property the way the form reader and the designer do.
  std::string Get(const std::string& name) { return Prop(name).GetStr(*info); }
  void Set(const std::string& name, const std::string& value) { Prop(name).SetStr(*info, value); }
  // Reads an enumerated property as its identifier ("sm32bit").
  std::string Ident(const std::string& name) {
    const TPropInfo& p = Prop(name);
    return p.Names->NameOf(p.GetOrd(*info));
  }

  static std::string Reg(HKEY root, const std::string& key, const std::string& valueName) {
    std::string value;
    ReadRegString(value, root, key, valueName);
    return value;
  }
  static void PutReg(HKEY root, const std::string& key, const std::string& valueName, const std::string& value) {
    WriteRegString(root, key, valueName, value);
  }

  std::unique_ptr<TacSystemInfo> info;
  std::vector<ShownMessage> shown;

 private:
  TMessageBoxHook previousHook_;
};

inline const std::string kSF = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline const std::string kCV = "Software\\Microsoft\\Windows\\CurrentVersion";
inline const std::string kNTCV = "Software\\Microsoft\\Windows NT\\CurrentVersion";
inline const std::string kVNETSUP = "System\\CurrentControlSet\\Services\\VxD\\VNETSUP";
