#include "Reader.h"

#include <bit>
#include <cstring>
#include <memory>

#include "Component.h"
#include "Cp1252.h"
#include "Extended.h"
#include "IdentConversion.h"
#include "MemoryStream.h"
#include "PropInfo.h"
#include "Stream.h"
#include "TypeNames.h"

namespace {
// Deepest nesting of components, lists and collections accepted; deeper input is rejected
// instead of exhausting the stack.
constexpr int kMaxDepth = 200;

std::string At(int64_t offset) { return " at offset " + std::to_string(offset); }
}  // namespace

TReader::TReader(TStream& stream) : stream_(stream) {}

std::string TReader::ComponentLabel(const TComponent* c) const {
  if (!c) return "?";
  return c->Name().empty() ? c->ClassName() : c->Name();
}

void TReader::Invalid(const std::string& what) { throw EReadError(what); }

void TReader::CheckLength(uint64_t bytes) {
  int64_t left = stream_.Remaining();
  if (left < 0 || bytes > static_cast<uint64_t>(left))
    throw EReadError("Length " + std::to_string(bytes) + " exceeds the " + std::to_string(left) +
                     " bytes left in the stream");
}

TValueType TReader::ReadValue() { return static_cast<TValueType>(stream_.ReadByte()); }

TValueType TReader::NextValue() {
  TValueType v = ReadValue();
  stream_.Seek(-1, TSeekOrigin::soCurrent);
  return v;
}

std::string TReader::ReadStr() {
  uint8_t len = stream_.ReadByte();
  std::string s(len, '\0');
  stream_.ReadBuffer(s.data(), len);
  return s;
}

int32_t TReader::ReadInteger() {
  switch (ReadValue()) {
    case TValueType::vaInt8: return static_cast<int8_t>(stream_.ReadByte());
    case TValueType::vaInt16: return static_cast<int16_t>(stream_.ReadWord());
    case TValueType::vaInt32: return static_cast<int32_t>(stream_.ReadDWord());
    default: Invalid();
  }
}

int64_t TReader::ReadInt64() {
  if (NextValue() == TValueType::vaInt64) {
    ReadValue();
    return static_cast<int64_t>(stream_.ReadQWord());
  }
  return ReadInteger();
}

double TReader::ReadFloat() {
  switch (NextValue()) {
    case TValueType::vaExtended: {
      ReadValue();
      TExtended80 e;
      stream_.ReadBuffer(e.data(), 10);
      return ExtendedToDouble(e);
    }
    case TValueType::vaSingle: {
      ReadValue();
      return std::bit_cast<float>(stream_.ReadDWord());
    }
    case TValueType::vaDate: {
      ReadValue();
      return std::bit_cast<double>(stream_.ReadQWord());
    }
    case TValueType::vaCurrency: return static_cast<double>(ReadCurrency()) / 10000;
    default: return static_cast<double>(ReadInt64());
  }
}

int64_t TReader::ReadCurrency() {
  if (NextValue() != TValueType::vaCurrency) return ReadInt64() * 10000;
  ReadValue();
  return static_cast<int64_t>(stream_.ReadQWord());
}

bool TReader::ReadBoolean() {
  switch (ReadValue()) {
    case TValueType::vaTrue: return true;
    case TValueType::vaFalse: return false;
    default: Invalid();
  }
}

std::string TReader::ReadString() {
  TValueType t = ReadValue();
  switch (t) {
    case TValueType::vaString: return ReadStr();
    case TValueType::vaLString:
    case TValueType::vaUTF8String: {
      uint32_t len = stream_.ReadDWord();
      CheckLength(len);
      std::string s(len, '\0');
      stream_.ReadBuffer(s.data(), len);
      return t == TValueType::vaUTF8String ? Utf8ToCp1252(s) : s;
    }
    case TValueType::vaWString:
    case TValueType::vaUString: {
      uint32_t len = stream_.ReadDWord();
      CheckLength(uint64_t{len} * 2);
      std::u16string w(len, u'\0');
      for (uint32_t i = 0; i < len; ++i) w[i] = static_cast<char16_t>(stream_.ReadWord());
      return Utf16ToCp1252(w);
    }
    default: Invalid();
  }
}

std::string TReader::ReadIdent() {
  switch (ReadValue()) {
    case TValueType::vaIdent: return ReadStr();
    case TValueType::vaNil: return "nil";
    case TValueType::vaFalse: return "False";
    case TValueType::vaTrue: return "True";
    case TValueType::vaNull: return "Null";
    default: Invalid();
  }
}

void TReader::ReadListBegin() {
  if (ReadValue() != TValueType::vaList) Invalid();
}

void TReader::ReadListEnd() {
  if (ReadValue() != TValueType::vaNull) Invalid();
}

bool TReader::EndOfList() { return NextValue() == TValueType::vaNull; }

void TReader::SkipValue() { SkipDepth(0); }

void TReader::SkipDepth(int depth) {
  if (depth > kMaxDepth) throw EReadError("Values nested too deeply");
  auto skip = [&](uint64_t n) {
    CheckLength(n);
    stream_.Seek(static_cast<int64_t>(n), TSeekOrigin::soCurrent);
  };
  switch (ReadValue()) {
    case TValueType::vaNull:
    case TValueType::vaFalse:
    case TValueType::vaTrue:
    case TValueType::vaNil: break;
    case TValueType::vaList:
      while (!EndOfList()) SkipDepth(depth + 1);
      ReadValue();
      break;
    case TValueType::vaInt8: skip(1); break;
    case TValueType::vaInt16: skip(2); break;
    case TValueType::vaInt32:
    case TValueType::vaSingle: skip(4); break;
    case TValueType::vaInt64:
    case TValueType::vaQWord:
    case TValueType::vaCurrency:
    case TValueType::vaDate: skip(8); break;
    case TValueType::vaExtended: skip(10); break;
    case TValueType::vaString:
    case TValueType::vaIdent: skip(stream_.ReadByte()); break;
    case TValueType::vaLString:
    case TValueType::vaUTF8String:
    case TValueType::vaBinary: skip(stream_.ReadDWord()); break;
    case TValueType::vaWString:
    case TValueType::vaUString: skip(uint64_t{stream_.ReadDWord()} * 2); break;
    case TValueType::vaSet:
      while (!ReadStr().empty()) {
      }
      break;
    case TValueType::vaCollection:
      while (!EndOfList()) {
        TValueType v = NextValue();
        if (v == TValueType::vaInt8 || v == TValueType::vaInt16 || v == TValueType::vaInt32) ReadInteger();
        ReadListBegin();
        while (!EndOfList()) {
          ReadStr();
          SkipDepth(depth + 1);
        }
        ReadListEnd();
      }
      ReadValue();
      break;
    default: Invalid("Unknown value type");
  }
}

void TReader::BeginComponent(uint8_t& flags, std::string& className, std::string& name) {
  flags = 0;
  bool wideChildPos = false;
  if (IsFilerPrefix(static_cast<uint8_t>(NextValue()))) {
    flags = static_cast<uint8_t>(ReadValue()) & 0x0F;
    if (flags & ffChildPos) {  // read and ignored, there is no child order here
      TValueType t = ReadValue();
      if (t == TValueType::vaInt8) stream_.ReadByte();
      else if (t == TValueType::vaInt16) stream_.ReadWord();
      else if (t == TValueType::vaInt32) stream_.ReadDWord();
      else if (t == TValueType::vaInt64) {
        stream_.ReadQWord();
        wideChildPos = true;
      } else Invalid();
    }
  }
  className = ReadStr();
  name = ReadStr();
  // Refused after the names were read, so that the error names the component.
  if (wideChildPos) Invalid("Child position beyond 32 bits");
}

TComponent* TReader::ReadRootComponent(TComponent* root) {
  int64_t start = stream_.Position();
  char sig[4] = {};
  if (stream_.Read(sig, 4) != 4 || std::memcmp(sig, kFilerSignature, 4) != 0)
    throw EFormReadError("Invalid stream format: no form signature" + At(start));

  std::unique_ptr<TComponent> created;
  TComponent* result = root;
  uint8_t flags;
  std::string className, name;
  int64_t headerAt = stream_.Position();
  try {
    BeginComponent(flags, className, name);
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
  if (++depth_ > kMaxDepth) {
    --depth_;
    throw EFormReadError("Components nested too deeply in " + ComponentLabel(instance) + At(stream_.Position()));
  }
  TComponent* savedOwner = owner_;
  TComponent* savedParent = parent_;
  try {
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
  } catch (...) {
    owner_ = savedOwner;
    parent_ = savedParent;
    --depth_;
    throw;
  }
  owner_ = savedOwner;
  parent_ = savedParent;
  --depth_;
}

TComponent* TReader::ReadComponent() {
  int64_t at = stream_.Position();
  uint8_t flags;
  std::string className, name;
  TComponent* result = nullptr;
  bool createdHere = false;
  try {
    BeginComponent(flags, className, name);
    if (flags & ffInherited) {  // the component exists already
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
      TPersistent* sub = p->Kind == TPropKind::Object ? p->GetObject(*instance) : nullptr;
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

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo& p, TComponent* component,
                            const std::string& path, int64_t offset) {
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
    case TPropKind::Int64: needOrd(); p.SetOrd(*instance, ReadInt64()); break;
    case TPropKind::Boolean: needOrd(); p.SetOrd(*instance, ReadBoolean() ? 1 : 0); break;
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
      }
      else
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
    uint32_t len = stream_.ReadDWord();
    CheckLength(len);
    TMemoryStream data;
    data.SetSize(len);
    stream_.ReadBuffer(data.Memory(), len);
    data.SetPosition(0);
    readFn(data);
  }
}
