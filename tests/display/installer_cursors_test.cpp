// The installer executable carries the 41 drawn cursors in its resource section, each a
// 32 x 32 image of the right depth, next to its form.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "acCursorIdents.h"
#include "posix/cursors.h"
#include "posix/execresources.h"

namespace {

TEST(InstallerCursors, TheInstallerCarriesEveryDrawnCursor) {
  const std::vector<ExecutableResource> resources = ReadExecutableResources(STOWAWAY_INSTALLER);
  std::map<std::pair<uint32_t, std::string>, const ExecutableResource*> byName;
  for (const ExecutableResource& r : resources) byName[{r.type, r.name}] = &r;
  EXPECT_EQ(byName.count({10, "TFORM1"}), 1u);
  // The form, the cursors, and the settings and manifest that `stowaway build` adds.
  EXPECT_EQ(resources.size(), 1u + 2u * 41u + 4u);

  for (int k = 0; k <= 40; ++k) {
    std::string name = CursorIdents[k].Name;
    const bool colour = name.rfind("cr3d", 0) == 0;
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    SCOPED_TRACE(name);
    auto group = byName.find({12, name});
    ASSERT_NE(group, byName.end());
    const std::string_view g = group->second->data;
    uint16_t id = 0;
    uint32_t bytes = 0;
    ASSERT_TRUE(winposix::PickGroupCursor(reinterpret_cast<const uint8_t*>(g.data()), g.size(), id, bytes));
    EXPECT_EQ(static_cast<uint8_t>(g[12]), colour ? 4 : 1);  // wBitCount of the directory entry
    auto image = byName.find({1, "#" + std::to_string(id)});
    ASSERT_NE(image, byName.end());
    const std::string_view data = image->second->data;
    EXPECT_EQ(data.size(), bytes);
    winposix::CursorImage decoded;
    ASSERT_TRUE(winposix::DecodeCursorImage(reinterpret_cast<const uint8_t*>(data.data()), data.size(), decoded));
    EXPECT_EQ(decoded.width, 32);
    EXPECT_EQ(decoded.height, 32);
    EXPECT_EQ(decoded.bitCount, colour ? 4 : 1);
  }
}

}  // namespace
