#include "Reader.h"

#include <memory>

#include "BinaryForm.h"
#include "Component.h"
#include "charset/Cp1252.h"
#include "Extended.h"
#include "Finally.h"
#include "IdentConversion.h"
#include "MemoryStream.h"
#include "ViewStream.h"
#include "PropInfo.h"
#include "Stream.h"
#include "TypeNames.h"

namespace {
std::string At(int64_t offset) { return " at offset " + std::to_string(offset); }
}  // namespace

TReader::TReader(TStream& stream) : stream_(stream), in_(stream) {}

std::string TReader::ComponentLabel(const TComponent* c) const {
  if (!c) return "?";
  return c->Name().empty() ? c->ClassName() : c->Name();
}

void TReader::Invalid(const std::string& what) { throw EReadError(what); }

void TReader::CheckLength(uint64_t bytes) { in_.CheckLength(bytes); }
TValueType TReader::ReadValue() { return in_.ReadValue(); }
TValueType TReader::NextValue() { return in_.NextValue(); }
std::string TReader::ReadStr() { return in_.ReadStr(); }

int32_t TReader::ReadInteger() {
  TValueType t = ReadValue();
  if (t != TValueType::vaInt8 && t != TValueType::vaInt16 && t != TValueType::vaInt32) Invalid();
  return static_cast<int32_t>(in_.ReadInt(t));
}

int64_t TReader::ReadInt64() {
  if (NextValue() == TValueType::vaInt64) return in_.ReadInt(ReadValue());
  return ReadInteger();
}

double TReader::ReadFloat() {
  switch (NextValue()) {
    case TValueType::vaExtended:
      ReadValue();
      return ExtendedToDouble(in_.ReadExtended());
    case TValueType::vaSingle:
      ReadValue();
      return in_.ReadSingle();
    case TValueType::vaDate:
      ReadValue();
      return in_.ReadDate();
    case TValueType::vaCurrency:
      return static_cast<double>(ReadCurrency()) / 10000;
    default:
      return static_cast<double>(ReadInt64());
  }
}

int64_t TReader::ReadCurrency() {
  if (NextValue() != TValueType::vaCurrency) return ReadInt64() * 10000;
  ReadValue();
  return in_.ReadCurrency();
}

bool TReader::ReadBoolean() {
  switch (ReadValue()) {
    case TValueType::vaTrue:
      return true;
    case TValueType::vaFalse:
      return false;
    default:
      Invalid();
  }
}

std::string TReader::ReadString() {
  TValueType t = ReadValue();
  switch (t) {
    case TValueType::vaString:
      return ReadStr();
    case TValueType::vaLString:
      return in_.ReadLStr();
    case TValueType::vaUTF8String:
      return Utf8ToCp1252(in_.ReadLStr());
    case TValueType::vaWString:
    case TValueType::vaUString:
      return Utf16ToCp1252(in_.ReadWStr());
    default:
      Invalid();
  }
}

std::string TReader::ReadIdent() {
  switch (ReadValue()) {
    case TValueType::vaIdent:
      return ReadStr();
    case TValueType::vaNil:
      return "nil";
    case TValueType::vaFalse:
      return "False";
    case TValueType::vaTrue:
      return "True";
    case TValueType::vaNull:
      return "Null";
    default:
      Invalid();
  }
}

void TReader::ReadListBegin() {
  if (ReadValue() != TValueType::vaList) Invalid();
}

void TReader::ReadListEnd() {
  if (ReadValue() != TValueType::vaNull) Invalid();
}

bool TReader::EndOfList() { return NextValue() == TValueType::vaNull; }

void TReader::SkipValue() { in_.SkipValue(ReadValue()); }

TComponent* TReader::ReadRootComponent(TComponent* root) {
  try {
    in_.ReadSignature();
  } catch (const EReadError& e) {
    throw EFormReadError(e.what());
  }

  std::unique_ptr<TComponent> created;
  TComponent* result = root;
  TFormComponentHeader header;
  const std::string& className = header.className;
  const std::string& name = header.name;
  int64_t headerAt = stream_.Position();
  try {
    in_.ReadComponentHeader(header);
    if (!result) {
      created.reset(FindClass(className).CreateInstance(nullptr));
      result = created.get();
    }
    if (!result->IsDesigning()) result->SetName(name);
  } catch (const EFormReadError&) {
    throw;
  } catch (const Exception& e) {
    throw EFormReadError("Error reading component " + (name.empty() ? className : name) + At(headerAt) + ": " +
                         e.what());
  }

  root_ = result;
  owner_ = result;
  loaded_.assign(1, result);
  fixups_.clear();
  try {
    result->IncludeState(csLoading);
    result->IncludeState(csReading);
    result->ReadState(*this);
    result->ExcludeState(csReading);
    ResolveFixups();
  } catch (...) {
    if (!created) {
      result->ExcludeState(csReading);
      result->ExcludeState(csLoading);
      for (int i = 0; i < result->ComponentCount(); ++i) {
        result->Components(i)->ExcludeState(csReading);
        result->Components(i)->ExcludeState(csLoading);
      }
    }
    loaded_.clear();
    throw;
  }
  std::vector<TComponent*> loaded;
  loaded.swap(loaded_);
  for (TComponent* c : loaded) c->Loaded();
  created.release();
  return result;
}

void TReader::ReadData(TComponent* instance) {
  if (++depth_ > kMaxFormDepth) {
    --depth_;
    throw EFormReadError("Components nested too deeply in " + ComponentLabel(instance) + At(stream_.Position()));
  }
  TComponent* savedOwner = owner_;
  TComponent* savedParent = parent_;
  TFinally restore([&] {
    owner_ = savedOwner;
    parent_ = savedParent;
    --depth_;
  });
  int64_t at = stream_.Position();
  try {
    while (!EndOfList()) {
      at = stream_.Position();
      ReadProperty(instance);
    }
    ReadListEnd();
  } catch (const EFormReadError&) {
    throw;
  } catch (const Exception& e) {
    throw EFormReadError("Error reading the properties of " + ComponentLabel(instance) + At(at) + ": " + e.what());
  }
  owner_ = instance->GetChildOwner();
  if (!owner_) owner_ = root_;
  parent_ = instance->GetChildParent();
  try {
    while (!EndOfList()) {
      at = stream_.Position();
      ReadComponent();
    }
    ReadListEnd();
  } catch (const EFormReadError&) {
    throw;
  } catch (const Exception& e) {
    throw EFormReadError("Error reading the children of " + ComponentLabel(instance) + At(at) + ": " + e.what());
  }
}

TComponent* TReader::ReadComponent() {
  int64_t at = stream_.Position();
  TFormComponentHeader header;
  const std::string& className = header.className;
  const std::string& name = header.name;
  TComponent* result = nullptr;
  bool createdHere = false;
  try {
    in_.ReadComponentHeader(header);   // the child position is ignored: there is no child order here
    if (header.flags & ffInherited) {  // the component exists already
      result = root_->FindComponent(name);
      if (!result) throw EReadError("Ancestor for '" + name + "' not found");
    } else {
      const TClassInfo& info = FindClass(className);
      result = info.CreateInstance(owner_);
      createdHere = true;
      result->IncludeState(csLoading);
      result->SetParentComponent(parent_);
      result->SetName(name);
    }
  } catch (const Exception& e) {
    if (createdHere) delete result;
    throw EFormReadError("Error reading component " + (name.empty() ? className : name) + " (" + className + ")" +
                         At(at) + ": " + e.what());
  }
  result->IncludeState(csLoading);
  result->IncludeState(csReading);
  result->ReadState(*this);
  result->ExcludeState(csReading);
  loaded_.push_back(result);
  return result;
}

void TReader::ReadProperty(TComponent* component) {
  int64_t at = stream_.Position();
  std::string path;
  try {
    path = ReadStr();
    TPersistent* instance = component;
    size_t begin = 0;
    for (;;) {
      size_t dot = path.find('.', begin);
      std::string part = path.substr(begin, dot == std::string::npos ? std::string::npos : dot - begin);
      if (dot == std::string::npos) {
        propName_ = part;
        break;
      }
      const TPropInfo* p = instance->ClassInfo()->FindProperty(part);
      if (!p) throw EReadError("Unknown property: \"" + part + "\"");
      auto* sub = p->Kind == TPropKind::Object ? dynamic_cast<TPersistent*>(p->GetObject(*instance)) : nullptr;
      if (!sub) throw EReadError("Invalid property path");
      instance = sub;
      begin = dot + 1;
    }
    if (const TPropInfo* p = instance->ClassInfo()->FindProperty(propName_)) {
      ReadPropValue(instance, *p, component, path, at);
    } else {
      instance->DefineProperties(*this);
      if (!propName_.empty()) throw EReadError("Unknown property: \"" + propName_ + "\"");
    }
  } catch (const EFormReadError&) {
    throw;
  } catch (const Exception& e) {
    throw EFormReadError("Error reading " + ComponentLabel(component) + "." + (path.empty() ? "?" : path) + At(at) +
                         ": " + e.what());
  }
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo& p, TComponent* component, const std::string& path,
                            int64_t offset) {
  auto needOrd = [&] {
    if (!p.SetOrd) throw EReadError("Property is read-only");
  };
  switch (p.Kind) {
    case TPropKind::Integer: {
      needOrd();
      if (NextValue() == TValueType::vaIdent) {
        std::string ident = ReadIdent();
        int32_t v = 0;
        TIdentToInt conv = p.IntegerType.empty() ? TIdentToInt() : FindIdentToInt(p.IntegerType);
        if (!conv || !conv(ident, v)) Invalid();
        p.SetOrd(*instance, v);
      } else {
        p.SetOrd(*instance, ReadInteger());
      }
      break;
    }
    case TPropKind::Cardinal: {
      needOrd();
      if (NextValue() == TValueType::vaInt64) {
        int64_t v = ReadInt64();
        if (v < 0 || v > 0xFFFFFFFFLL) Invalid();
        p.SetOrd(*instance, v);
      } else {
        p.SetOrd(*instance, static_cast<uint32_t>(ReadInteger()));
      }
      break;
    }
    case TPropKind::Int64:
      needOrd();
      p.SetOrd(*instance, ReadInt64());
      break;
    case TPropKind::Boolean:
      needOrd();
      p.SetOrd(*instance, ReadBoolean() ? 1 : 0);
      break;
    case TPropKind::Float:
      if (!p.SetFloat) throw EReadError("Property is read-only");
      p.SetFloat(*instance, ReadFloat());
      break;
    case TPropKind::Enumeration: {
      needOrd();
      int v = p.Names->ValueOf(ReadIdent());
      if (v < 0) Invalid();
      p.SetOrd(*instance, v);
      break;
    }
    case TPropKind::Set: {
      needOrd();
      if (ReadValue() != TValueType::vaSet) Invalid();
      uint32_t bits = 0;
      for (std::string name = ReadStr(); !name.empty(); name = ReadStr()) {
        int v = p.Names->ValueOf(name);
        if (v < 0 || v >= 32) Invalid();
        bits |= uint32_t{1} << v;
      }
      p.SetOrd(*instance, bits);
      break;
    }
    case TPropKind::String:
      if (!p.SetStr) throw EReadError("Property is read-only");
      p.SetStr(*instance, ReadString());
      break;
    case TPropKind::Object:
      if (NextValue() != TValueType::vaNil) Invalid();
      if (!p.SetObject) throw EReadError("Property is read-only");
      ReadValue();
      p.SetObject(*instance, nullptr);
      break;
    case TPropKind::Component: {
      if (!p.SetObject) throw EReadError("Property is read-only");
      if (NextValue() == TValueType::vaNil) {
        ReadValue();
        p.SetObject(*instance, nullptr);
      } else {
        fixups_.push_back(Fixup{instance, &p, path, ReadIdent(), component, offset});
      }
      break;
    }
    case TPropKind::Method: {
      if (NextValue() == TValueType::vaNil) {
        ReadValue();
        p.ClearMethod(*instance);
        break;
      }
      std::string name = ReadIdent();
      const TMethodInfo* m = root_->ClassInfo()->FindMethod(name);
      if (!m) throw EReadError("Method " + name + " not found in " + root_->ClassName());
      if (m->Signature != p.MethodSignature)
        throw EReadError("Method " + name + " does not match the event's arguments");
      p.SetMethod(*instance, *root_, *m);
      break;
    }
  }
}

void TReader::ResolveFixups() {
  for (const Fixup& f : fixups_) {
    TComponent* target = nullptr;
    size_t begin = 0;
    bool first = true;
    std::string name = f.name;
    while (true) {
      size_t dot = name.find('.', begin);
      std::string part = name.substr(begin, dot == std::string::npos ? std::string::npos : dot - begin);
      if (first) {
        // "Owner" names the root only when no component of the root has that name.
        target = root_->FindComponent(part);
        if (!target && SameText(part, "Owner")) target = root_;
      } else
        target = target ? target->FindComponent(part) : nullptr;
      first = false;
      if (!target || dot == std::string::npos) break;
      begin = dot + 1;
    }
    try {
      if (!target) throw EReadError("Component " + f.name + " not found");
      if (f.prop->ObjectClass && !target->InheritsFrom(*f.prop->ObjectClass))
        throw EReadError("Component " + f.name + " is not a " + f.prop->ObjectClass->Name());
      f.prop->SetObject(*f.instance, target);
    } catch (const Exception& e) {
      throw EFormReadError("Error reading " + ComponentLabel(f.component) + "." + f.path + At(f.offset) + ": " +
                           e.what());
    }
  }
  fixups_.clear();
}

void TReader::DefineProperty(const std::string& name, const TReaderProc& readFn, const TWriterProc&, bool) {
  if (readFn && !propName_.empty() && SameText(name, propName_)) {
    propName_.clear();
    readFn(*this);
  }
}

void TReader::DefineBinaryProperty(const std::string& name, const TStreamProc& readFn, const TStreamProc&, bool) {
  if (readFn && !propName_.empty() && SameText(name, propName_)) {
    propName_.clear();
    if (ReadValue() != TValueType::vaBinary) Invalid();
    uint32_t len = in_.ReadBinaryLength();
    // The property's bytes are handed over in place when the form lies in memory (a resource,
    // a mapped file), so a large property is never copied; otherwise they are read into memory.
    if (TSharedBytes bytes = stream_.Share(len)) {
      TViewStream view(bytes.get(), len, bytes);
      readFn(view);
      return;
    }
    TMemoryStream data;
    data.SetSize(len);
    stream_.ReadBuffer(data.Memory(), len);
    data.SetPosition(0);
    readFn(data);
  }
}
