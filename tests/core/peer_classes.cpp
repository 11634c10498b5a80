#include "peer_classes.h"

#include <bit>
#include <cstdio>
#include <sstream>

#include "core/IdentConversion.h"
#include "core/Reader.h"
#include "core/Writer.h"

const TTypeNames TPeerKindNames("TPeerKind", {"pkNone", "pkAlpha", "pkBeta", "pkGamma"});
const TTypeNames TPeerStyleNames("TPeerStyle", {"psBold", "psItalic", "psUnderline", "psStrikeOut"});

const TClassInfo& TPeerInner::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPeerInner>("TPeerInner")
                                     .Enum("Mode", TPeerKindNames, &TPeerInner::Mode, &TPeerInner::Mode)
                                     .String("Path", &TPeerInner::Path, &TPeerInner::Path)
                                     .Build();
  return info;
}

const TClassInfo& TPeerOptions::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPeerOptions>("TPeerOptions")
                                     .Boolean("Enabled", &TPeerOptions::Enabled, &TPeerOptions::Enabled)
                                     .Integer("Level", &TPeerOptions::Level, &TPeerOptions::Level)
                                     .Default(3)
                                     .Object("Inner", &TPeerOptions::GetInner)
                                     .Build();
  return info;
}

const TClassInfo& TPeerItem::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPeerItem>("TPeerItem")
                                     .Integer("Count", &TPeerItem::Count, &TPeerItem::Count)
                                     .Int64("Big", &TPeerItem::Big, &TPeerItem::Big)
                                     .Boolean("Flag", &TPeerItem::Flag, &TPeerItem::Flag)
                                     .Enum("Kind", TPeerKindNames, &TPeerItem::Kind, &TPeerItem::Kind)
                                     .Set("Styles", TPeerStyleNames, &TPeerItem::Styles, &TPeerItem::Styles)
                                     .String("Caption", &TPeerItem::Caption, &TPeerItem::Caption)
                                     .Cardinal("Size", &TPeerItem::Size, &TPeerItem::Size)
                                     .Integer("Cursor", &TPeerItem::Cursor, &TPeerItem::Cursor)
                                     .IntegerType("TPeerCursor")
                                     .Float("Ratio", &TPeerItem::Ratio, &TPeerItem::Ratio)
                                     .Object("Options", &TPeerItem::GetOptions)
                                     .Component("Link", &TPeerItem::GetLink, &TPeerItem::SetLink)
                                     .Event("OnChange", &TPeerItem::OnChange)
                                     .Build();
  return info;
}

void TPeerItem::DefineProperties(TFiler& filer) {
  TComponent::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "Blob",
      [this](TStream& s) {
        Blob.Clear();
        Blob.CopyFrom(s, s.Size() - s.Position());
      },
      [this](TStream& s) { Blob.SaveToStream(s); }, Blob.Size() > 0);
}

void TPeerItem::Loaded() {
  TComponent::Loaded();
  std::ostringstream o;
  o << "Caption=" << Caption << " Link=" << (Link ? Link->Name() : "nil") << " Blob=" << Blob.Size()
    << " Loading=" << IsLoading() << " Change=" << OnChange.Assigned();
  SeenAtLoaded = o.str();
}

const TClassInfo& TPeerRoot::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPeerRoot>("TPeerRoot")
                                     .String("Title", &TPeerRoot::Title, &TPeerRoot::Title)
                                     .Event("OnLoad", &TPeerRoot::OnLoad)
                                     .Method("ItemChange", &TPeerRoot::ItemChange)
                                     .Method("RootLoad", &TPeerRoot::RootLoad)
                                     .Method("Other", &TPeerRoot::Other)
                                     .Field("ItemA", &TPeerRoot::ItemA)
                                     .Build();
  return info;
}

void RegisterPeerClasses() {
  RegisterClasses({&TPeerRoot::StaticClassInfo(), &TPeerItem::StaticClassInfo()});
  static const TIdentMap cursors = {{0, "crDefault"}, {-2, "crArrow"}, {-21, "crHandPoint"}};
  RegisterIntegerConsts(
      "TPeerCursor", [](const std::string& s, int32_t& v) { return IdentToInt(s, v, cursors); },
      [](int32_t v, std::string& s) { return IntToIdent(v, s, cursors); });
}

std::unique_ptr<TPeerRoot> PeerSample() {
  auto root = std::make_unique<TPeerRoot>(nullptr);
  root->SetName("PeerRoot1");
  root->Title = "Root 'title'";
  root->OnLoad.Bind(root.get(), &TPeerRoot::RootLoad, "RootLoad");
  auto* a = new TPeerItem(root.get());
  a->SetName("ItemA");
  a->SetTag(70000);
  a->Count = -5;
  a->Big = int64_t{1} << 40;
  a->Flag = true;
  a->Kind = pkBeta;
  a->Styles = {psBold, psUnderline};
  a->Caption = "Sie k\xF6nnen\tlos!";
  a->Size = 0xFFFFFFF0u;
  a->Cursor = -21;
  a->Ratio = 1.5;
  a->Options.Enabled = true;
  a->Options.Level = 0;
  a->Options.Inner.Mode = pkGamma;
  a->Options.Inner.Path = "sub\\dir";
  a->OnChange.Bind(root.get(), &TPeerRoot::ItemChange, "ItemChange");
  for (int i = 0; i < 70; ++i) a->Blob.WriteByte(static_cast<uint8_t>(i * 7));
  a->SetDesignLeft(200);
  a->SetDesignTop(300);
  auto* b = new TPeerItem(root.get());
  b->SetName("ItemB");
  std::string s;
  for (int i = 1; i <= 300; ++i) s += static_cast<char>('a' + i % 26);
  b->Caption = s;
  b->Count = 40000;
  b->Cursor = 7;
  b->Ratio = -0.1;
  b->Options.Level = 3;
  b->Link = a;
  auto* c = new TPeerItem(root.get());
  c->SetName("ItemC");
  c->Kind = pkAlpha;
  c->Count = 200;
  c->Big = -3000000000LL;
  return root;
}

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

namespace {
// The bits of a double in hexadecimal, as the peer prints them.
std::string RatioHex(double v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(std::bit_cast<uint64_t>(v)));
  return buf;
}
}  // namespace

std::string PeerDump(TPeerRoot& root) {
  std::ostringstream o;
  auto method = [](const TNotifyEvent& e) { return e.Assigned() ? e.MethodName() : std::string("nil"); };
  o << root.Name() << ":" << root.ClassName() << " Tag=" << root.Tag() << " Title=" << Hex(root.Title)
    << " OnLoad=" << method(root.OnLoad) << "\n";
  for (int i = 0; i < root.ComponentCount(); ++i) {
    auto* c = dynamic_cast<TPeerItem*>(root.Components(i));
    if (!c) continue;
    std::string styles = "[";
    for (int s = 0; s < TPeerStyleNames.Count(); ++s)
      if (c->Styles.Contains(static_cast<TPeerStyle>(s))) {
        if (styles != "[") styles += ",";
        styles += TPeerStyleNames.NameOf(s);
      }
    styles += "]";
    o << c->Name() << ":" << c->ClassName() << " Tag=" << c->Tag() << " Count=" << c->Count << " Big=" << c->Big
      << " Flag=" << (c->Flag ? "True" : "False") << " Kind=" << TPeerKindNames.NameOf(c->Kind) << " Styles=" << styles
      << " Caption=" << Hex(c->Caption) << " Size=" << c->Size << " Cursor=" << c->Cursor
      << " Ratio=" << RatioHex(c->Ratio) << " Options.Enabled=" << (c->Options.Enabled ? "True" : "False")
      << " Options.Level=" << c->Options.Level << " Options.Inner.Mode=" << TPeerKindNames.NameOf(c->Options.Inner.Mode)
      << " Options.Inner.Path=" << Hex(c->Options.Inner.Path) << " Link=" << (c->Link ? c->Link->Name() : "nil")
      << " OnChange=" << method(c->OnChange) << " Blob=" << Hex(c->Blob.Bytes()) << " Left=" << c->DesignLeft()
      << " Top=" << c->DesignTop() << "\n";
  }
  return o.str();
}
