// The installer executable carries the 41 drawn cursors in its resource section, each a
// 32 x 32 image of the right depth, next to its form.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

#include "display/acCursorIdents.h"
#include "platform/winapi.h"
#ifdef _WIN32
#include <memory>
#else
#include "platform/posix/cursors.h"
#include "platform/posix/execresources.h"
#endif

namespace {

uint32_t Le(std::string_view data, size_t at, size_t bytes) {
  uint32_t value = 0;
  for (size_t i = 0; i < bytes; ++i) value |= uint32_t(static_cast<uint8_t>(data[at + i])) << (8 * i);
  return value;
}

// The installer's resources by type and name ("#5" for a number), as the system finds them.
class InstallerResources {
 public:
#ifdef _WIN32
  InstallerResources()
      : module_(
            LoadLibraryExA(STOWAWAY_INSTALLER, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~InstallerResources() {
    if (module_) FreeLibrary(module_);
  }
  bool Open() const { return module_ != nullptr; }
  bool Find(uint32_t type, const std::string& name, std::string_view& data) const {
    const HRSRC found = FindResourceA(
        module_, name[0] == '#' ? MAKEINTRESOURCEA(std::stoi(name.substr(1))) : name.c_str(), MAKEINTRESOURCEA(type));
    const HGLOBAL loaded = found ? LoadResource(module_, found) : nullptr;
    if (!loaded) return false;
    data = std::string_view(static_cast<const char*>(LockResource(loaded)), SizeofResource(module_, found));
    return true;
  }

 private:
  HMODULE module_;
#else
  InstallerResources() : resources_(ReadExecutableResources(STOWAWAY_INSTALLER)) {
    for (const ExecutableResource& r : resources_) byName_[{r.type, r.name}] = r.data;
  }
  bool Open() const { return true; }
  bool Find(uint32_t type, const std::string& name, std::string_view& data) const {
    auto it = byName_.find({type, name});
    if (it == byName_.end()) return false;
    data = it->second;
    return true;
  }
  size_t Count() const { return resources_.size(); }

 private:
  std::vector<ExecutableResource> resources_;
  std::map<std::pair<uint32_t, std::string>, std::string_view> byName_;
#endif
};

TEST(InstallerCursors, TheInstallerCarriesEveryDrawnCursor) {
  const InstallerResources installer;
  ASSERT_TRUE(installer.Open());
  std::string_view form;
  EXPECT_TRUE(installer.Find(10, "TFORM1", form));
#ifndef _WIN32  // the resources our own section holds; a Windows one has a version resource too
  // The form, the cursors, and the settings and manifest that `stowaway build` adds.
  EXPECT_EQ(installer.Count(), 1u + 2u * 41u + 4u);
#endif

  for (int k = 0; k <= 40; ++k) {
    std::string name = CursorIdents[k].Name;
    const bool colour = name.rfind("cr3d", 0) == 0;
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    SCOPED_TRACE(name);
    // A group directory of one entry: its depth, size and the number of its image.
    std::string_view g;
    ASSERT_TRUE(installer.Find(12, name, g));
    ASSERT_EQ(g.size(), 6u + 14u);
    EXPECT_EQ(Le(g, 4, 2), 1u);
    EXPECT_EQ(Le(g, 12, 2), colour ? 4u : 1u);  // wBitCount of the directory entry
    const uint32_t bytes = Le(g, 14, 4);
    const uint16_t id = static_cast<uint16_t>(Le(g, 18, 2));
    std::string_view data;
    ASSERT_TRUE(installer.Find(1, "#" + std::to_string(id), data));
    EXPECT_EQ(data.size(), bytes);
    // The hot spot, then the image's header: 32 wide, twice 32 high (image and mask).
    ASSERT_GE(data.size(), 4u + 40u);
    EXPECT_EQ(Le(data, 4 + 4, 4), 32u);
    EXPECT_EQ(Le(data, 4 + 8, 4), 64u);
    EXPECT_EQ(Le(data, 4 + 14, 2), colour ? 4u : 1u);
#ifndef _WIN32  // and the Linux platform's decoder takes it
    winposix::CursorImage decoded;
    ASSERT_TRUE(winposix::DecodeCursorImage(reinterpret_cast<const uint8_t*>(data.data()), data.size(), decoded));
    EXPECT_EQ(decoded.width, 32);
    EXPECT_EQ(decoded.height, 32);
    EXPECT_EQ(decoded.bitCount, colour ? 4 : 1);
#endif
  }
}

}  // namespace
