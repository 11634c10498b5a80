// Fuzz target: the binary form reader and the binary-to-text converter on arbitrary bytes.
// Classes of every property kind are registered so that deep paths of the reader are reached.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Exceptions.h"
#include "core/FormStreaming.h"
#include "core/FormText.h"
#include "core/IdentConversion.h"
#include "core/MemoryStream.h"
#include "core/PropertyRegistry.h"

namespace {
enum TFuzzKind { fkA, fkB, fkC };
const TTypeNames TFuzzKindNames("TFuzzKind", {"fkA", "fkB", "fkC"});

class TFuzzSub : public TPersistent {
  STOWAWAY_CLASS(TFuzzSub, TPersistent)
  TFuzzKind Kind = fkA;
  std::string Text;
};

class TFuzzItem : public TComponent {
  STOWAWAY_CLASS(TFuzzItem, TComponent)
  explicit TFuzzItem(TComponent* owner) : TComponent(owner) {}
  void DefineProperties(TFiler& filer) override {
    TComponent::DefineProperties(filer);
    filer.DefineBinaryProperty(
        "Data",
        [this](TStream& s) {
          Data.Clear();
          Data.CopyFrom(s, s.Size());
        },
        [this](TStream& s) { Data.SaveToStream(s); }, Data.Size() > 0);
  }
  int32_t Int = 0;
  uint32_t Card = 0;
  int64_t Big = 0;
  bool Flag = false;
  TFuzzKind Kind = fkA;
  uint32_t Bits = 0;
  std::string Str;
  int32_t Cursor = 0;
  TFuzzSub Sub;
  TComponent* Link = nullptr;
  TNotifyEvent OnEvent;
  TMemoryStream Data;
  TFuzzSub* GetSub() { return &Sub; }
  TComponent* GetLink() const { return Link; }
  void SetLink(TComponent* c) { Link = c; }
};

class TFuzzRoot : public TFuzzItem {
  STOWAWAY_CLASS(TFuzzRoot, TFuzzItem)
  explicit TFuzzRoot(TComponent* owner) : TFuzzItem(owner) {}
  void Handler(TObject*) {}
};
}  // namespace

const TClassInfo& TFuzzSub::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TFuzzSub>("TFuzzSub")
                                     .Enum("Kind", TFuzzKindNames, &TFuzzSub::Kind, &TFuzzSub::Kind)
                                     .String("Text", &TFuzzSub::Text, &TFuzzSub::Text)
                                     .Build();
  return info;
}
const TClassInfo& TFuzzItem::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TFuzzItem>("TFuzzItem")
                                     .Integer("Int", &TFuzzItem::Int, &TFuzzItem::Int)
                                     .Cardinal("Card", &TFuzzItem::Card, &TFuzzItem::Card)
                                     .Int64("Big", &TFuzzItem::Big, &TFuzzItem::Big)
                                     .Boolean("Flag", &TFuzzItem::Flag, &TFuzzItem::Flag)
                                     .Enum("Kind", TFuzzKindNames, &TFuzzItem::Kind, &TFuzzItem::Kind)
                                     .Set("Bits", TFuzzKindNames, &TFuzzItem::Bits, &TFuzzItem::Bits)
                                     .String("Str", &TFuzzItem::Str, &TFuzzItem::Str)
                                     .Integer("Cursor", &TFuzzItem::Cursor, &TFuzzItem::Cursor)
                                     .IntegerType("TFuzzCursor")
                                     .Object("Sub", &TFuzzItem::GetSub)
                                     .Component("Link", &TFuzzItem::GetLink, &TFuzzItem::SetLink)
                                     .Event("OnEvent", &TFuzzItem::OnEvent)
                                     .Build();
  return info;
}
const TClassInfo& TFuzzRoot::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TFuzzRoot>("TFuzzRoot").Method("Handler", &TFuzzRoot::Handler).Build();
  return info;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool once = [] {
    RegisterClasses({&TFuzzRoot::StaticClassInfo(), &TFuzzItem::StaticClassInfo()});
    static const TIdentMap cursors = {{0, "crDefault"}, {-21, "crHandPoint"}};
    RegisterIntegerConsts(
        "TFuzzCursor", [](const std::string& s, int32_t& v) { return IdentToInt(s, v, cursors); },
        [](int32_t v, std::string& s) { return IntToIdent(v, s, cursors); });
    return true;
  }();
  (void)once;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    TMemoryStream in(bytes);
    auto root = ReadForm(in);
    TMemoryStream out;
    WriteForm(out, *root);  // what was read can be written again
  } catch (const Exception&) {}
  try {
    TMemoryStream in(bytes), text;
    ObjectBinaryToText(in, text);
  } catch (const Exception&) {}
  return 0;
}
