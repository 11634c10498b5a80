// Published-property registry: declaration order, defaults and stored flags as the writer
// sees them, setters of every kind, events, and identifier conversions.
#include <gtest/gtest.h>

#include "core/FormStreaming.h"
#include "core/IdentConversion.h"
#include "core/MemoryStream.h"
#include "peer_classes.h"

namespace {
enum class TShade { Light, Dark };
const TTypeNames TShadeNames("TShade", {"shLight", "shDark"});

class TGadget : public TPeerItem {
  STOWAWAY_CLASS(TGadget, TPeerItem)
  explicit TGadget(TComponent* owner) : TPeerItem(owner) {}
  TShade Shade() const { return shade_; }
  void SetShade(TShade s) { shade_ = s; }
  int32_t Computed() const { return 42; }
  std::string Note = "default note";
  bool KeepNote = true;
  int32_t Always = 0;
  int32_t Colour = 0;

 private:
  TShade shade_ = TShade::Dark;
};
}  // namespace

const TClassInfo& TGadget::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TGadget>("TGadget")
          .Enum("Shade", TShadeNames, &TGadget::Shade, &TGadget::SetShade)
          .Default(TShade::Dark)
          .Integer("Computed", &TGadget::Computed, [](TGadget&, int32_t) {})  // setter ignores the value
          .Stored(false)
          .Integer("ReadOnly", &TGadget::Computed, nullptr)  // no setter: never written
          .String("Note", &TGadget::Note, &TGadget::Note)
          .Default("default note")
          .Stored(&TGadget::KeepNote)
          .Integer("Always", &TGadget::Always, &TGadget::Always)
          .NoDefault()
          .Integer("Colour", &TGadget::Colour, &TGadget::Colour)
          .IntegerType("TGadgetColour")
          .Build();
  return info;
}

namespace {
std::string TextOf(TComponent& root) {
  TMemoryStream out;
  WriteFormText(out, root);
  return out.Bytes();
}

TEST(PropertyRegistry, InheritedPropertiesComeFirstInDeclarationOrder) {
  std::vector<std::string> names;
  for (const TPropInfo* p : TGadget::StaticClassInfo().Properties()) names.push_back(p->Name);
  std::vector<std::string> expected = {"Name",    "Tag",      "Count",    "Big",   "Flag",    "Kind",  "Styles",
                                       "Caption", "Size",     "Cursor",   "Ratio", "Options", "Link",  "OnChange",
                                       "Shade",   "Computed", "ReadOnly", "Note",  "Always",  "Colour"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(TGadget::StaticClassInfo().FindProperty("shade")->Kind, TPropKind::Enumeration);
  EXPECT_EQ(TGadget::StaticClassInfo().FindProperty("Missing"), nullptr);
}

TEST(PropertyRegistry, WriterSkipsDefaultsNotStoredAndReadOnly) {
  static const TIdentMap colours = {{0xFFFFFF, "clWhite"}, {0x800000, "clNavy"}};
  RegisterIntegerConsts(
      "TGadgetColour", [](const std::string& s, int32_t& v) { return IdentToInt(s, v, colours); },
      [](int32_t v, std::string& s) { return IntToIdent(v, s, colours); });
  TGadget g(nullptr);
  g.SetName("G");
  EXPECT_EQ(TextOf(g), "object G: TGadget\n  Always = 0\nend\n");
  g.SetShade(TShade::Light);
  g.Note = "other";
  g.Colour = 0x800000;
  EXPECT_EQ(TextOf(g),
            "object G: TGadget\n  Shade = shLight\n  Note = 'other'\n  Always = 0\n  Colour = clNavy\nend\n");
  g.KeepNote = false;
  g.Colour = 5;
  EXPECT_EQ(TextOf(g), "object G: TGadget\n  Shade = shLight\n  Always = 0\n  Colour = 5\nend\n");

  // Reading accepts the identifier and the number.
  TMemoryStream in(std::string("object G: TGadget\n  Colour = clWhite\n  Computed = 7\n  Shade = SHDARK\nend\n"));
  TGadget r(nullptr);
  ReadFormText(in, r);
  EXPECT_EQ(r.Colour, 0xFFFFFF);
  EXPECT_EQ(r.Computed(), 42);
  EXPECT_EQ(r.Shade(), TShade::Dark);
}

TEST(PropertyRegistry, SetAndGetThroughPropInfo) {
  TGadget g(nullptr);
  const TClassInfo& ci = TGadget::StaticClassInfo();
  ci.FindProperty("Styles")->SetOrd(g, 0b1010);
  EXPECT_TRUE(g.Styles.Contains(psItalic) && g.Styles.Contains(psStrikeOut) && !g.Styles.Contains(psBold));
  ci.FindProperty("Size")->SetOrd(g, 0xFFFFFFFF);
  EXPECT_EQ(ci.FindProperty("Size")->GetOrd(g), 0xFFFFFFFF);
  ci.FindProperty("Flag")->SetOrd(g, 1);
  EXPECT_TRUE(g.Flag);
  EXPECT_EQ(ci.FindProperty("Options")->GetObject(g), &g.Options);
  EXPECT_EQ(ci.FindProperty("Tag")->Kind, TPropKind::Int64);
}

TEST(Events, UnassignedIsNoOpAndBindingRemembersTheName) {
  TPeerRoot root(nullptr);
  TNotifyEvent e;
  EXPECT_FALSE(e.Assigned());
  e(&root);  // nothing happens
  e.Bind(&root, &TPeerRoot::ItemChange, "ItemChange");
  ASSERT_TRUE(e);
  e(&root);
  e(&root);
  EXPECT_EQ(root.changes, 2);
  EXPECT_EQ(e.MethodName(), "ItemChange");
  EXPECT_EQ(e.Target(), &root);
  e.Clear();
  EXPECT_FALSE(e.Assigned());
  EXPECT_EQ(e.MethodName(), "");
  TEvent<int, bool&> withVar;
  withVar.Bind([](int v, bool& allow) { allow = v > 0; });
  bool allow = false;
  withVar(3, allow);
  EXPECT_TRUE(allow);
}

TEST(IdentConversion, TableLookupsFindTheFirstMatch) {
  const TIdentMap map = {{1, "one"}, {2, "two"}, {1, "uno"}};
  int32_t v = 0;
  std::string s;
  EXPECT_TRUE(IdentToInt("TWO", v, map));
  EXPECT_EQ(v, 2);
  EXPECT_TRUE(IdentToInt("uno", v, map));
  EXPECT_EQ(v, 1);
  EXPECT_FALSE(IdentToInt("three", v, map));
  EXPECT_TRUE(IntToIdent(1, s, map));
  EXPECT_EQ(s, "one");
  EXPECT_FALSE(IntToIdent(3, s, map));
  EXPECT_FALSE(static_cast<bool>(FindIntToIdent("NoSuchType")));
}
}  // namespace
