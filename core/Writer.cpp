#include "Writer.h"

#include <limits>
#include <utility>

#include "BinaryForm.h"
#include "Component.h"
#include "Exceptions.h"
#include "Finally.h"
#include "IdentConversion.h"
#include "MemoryStream.h"
#include "PropInfo.h"
#include "Stream.h"
#include "TypeNames.h"

TWriter::TWriter(TStream& stream) : stream_(stream), out_(stream) {}

void TWriter::WriteValue(TValueType value) { out_.WriteValue(value); }
void TWriter::WriteStr(const std::string& value) { out_.WriteStr(value); }
void TWriter::WriteInteger(int64_t value) { out_.WriteInteger(value); }
void TWriter::WriteFloat(double value) { out_.WriteExtended(value); }
void TWriter::WriteSingle(float value) { out_.WriteSingle(value); }
void TWriter::WriteCurrency(int64_t scaled) { out_.WriteCurrency(scaled); }
void TWriter::WriteDate(double value) { out_.WriteDate(value); }
void TWriter::WriteBoolean(bool value) { WriteValue(value ? TValueType::vaTrue : TValueType::vaFalse); }
void TWriter::WriteString(const std::string& value) { out_.WriteString(value); }

void TWriter::WriteIdent(const std::string& ident) {
  if (SameText(ident, "nil"))
    WriteValue(TValueType::vaNil);
  else if (SameText(ident, "False"))
    WriteValue(TValueType::vaFalse);
  else if (SameText(ident, "True"))
    WriteValue(TValueType::vaTrue);
  else if (SameText(ident, "Null"))
    WriteValue(TValueType::vaNull);
  else {
    WriteValue(TValueType::vaIdent);
    WriteStr(ident);
  }
}

void TWriter::WriteBinary(const TStreamProc& writeData) {
  TMemoryStream buffer;
  writeData(buffer);
  if (buffer.Size() > std::numeric_limits<int32_t>::max()) throw EWriteError("Binary property too large for a form");
  out_.WriteBinary(buffer.Memory(), static_cast<uint32_t>(buffer.Size()));
}

void TWriter::WriteRootComponent(TComponent* root) {
  root_ = root;
  out_.WriteSignature();
  WriteComponent(root);
}

void TWriter::WriteComponent(TComponent* component) {
  component->IncludeState(csWriting);
  TFinally done([&] { component->ExcludeState(csWriting); });
  component->WriteState(*this);
  WriteListEnd();
}

void TWriter::WriteData(TComponent* instance) {
  TFormComponentHeader header;
  header.className = instance->ClassName();
  header.name = instance->Name();
  out_.WriteComponentHeader(header);
  {
    std::string saved = std::exchange(propPath_, std::string());
    TFinally restore([&] { propPath_ = saved; });
    WriteProperties(instance);
  }
  WriteListEnd();
  instance->GetChildren([this](TComponent* child) { WriteComponent(child); }, root_);
}

void TWriter::WriteProperties(TPersistent* instance) {
  for (const TPropInfo* p : instance->ClassInfo()->Properties())
    if (p->IsStored(*instance)) WriteProperty(instance, *p);
  instance->DefineProperties(*this);
}

std::string TWriter::ComponentPath(TComponent* component) const {
  // The name by which the reader finds the component from the root, as Free Pascal forms it.
  std::string name;
  TComponent* c = component;
  while (c && !c->Name().empty()) {
    if (!name.empty()) name = "." + name;
    if (c->Owner() == root_) {
      name = c->Name() + name;
      break;
    }
    if (c == root_) {
      name = "Owner" + name;
      break;
    }
    name = c->Name() + name;
    c = c->Owner();
  }
  if (!c && !component->Owner() && !name.empty()) name += ".Owner";
  return name;
}

void TWriter::WriteProperty(TPersistent* instance, const TPropInfo& p) {
  const std::string path = propPath_ + p.Name;
  switch (p.Kind) {
    case TPropKind::Integer:
    case TPropKind::Cardinal:
    case TPropKind::Int64:
    case TPropKind::Boolean:
    case TPropKind::Enumeration:
    case TPropKind::Set: {
      if (!p.SetOrd) return;
      int64_t v = p.GetOrd(*instance);
      if (p.OrdDefault && v == *p.OrdDefault) return;
      WriteStr(path);
      if (p.Kind == TPropKind::Integer) {
        std::string ident;
        TIntToIdent conv = p.IntegerType.empty() ? TIntToIdent() : FindIntToIdent(p.IntegerType);
        if (conv && conv(static_cast<int32_t>(v), ident))
          WriteIdent(ident);
        else
          WriteInteger(static_cast<int32_t>(v));
      } else if (p.Kind == TPropKind::Cardinal) {
        WriteInteger(static_cast<int32_t>(static_cast<uint32_t>(v)));  // as a 32-bit ordinal
      } else if (p.Kind == TPropKind::Int64) {
        WriteInteger(v);
      } else if (p.Kind == TPropKind::Boolean) {
        WriteBoolean(v != 0);
      } else if (p.Kind == TPropKind::Enumeration) {
        std::string ident = p.Names->NameOf(v);
        if (ident.empty()) throw EWriteError("Value " + std::to_string(v) + " of " + path + " has no identifier");
        WriteIdent(ident);
      } else {
        WriteValue(TValueType::vaSet);
        for (int i = 0; i < 32; ++i)
          if (v & (int64_t{1} << i)) {
            std::string ident = p.Names->NameOf(i);
            if (ident.empty()) throw EWriteError("Member " + std::to_string(i) + " of " + path + " has no identifier");
            WriteStr(ident);
          }
        WriteStr("");
      }
      break;
    }
    case TPropKind::Float: {
      if (!p.SetFloat) return;
      double v = p.GetFloat(*instance);
      if (p.FloatDefault && v == *p.FloatDefault) return;  // as numbers: -0 is 0, NaN is never equal
      WriteStr(path);
      WriteFloat(v);
      break;
    }
    case TPropKind::String: {
      if (!p.SetStr) return;
      std::string s = p.GetStr(*instance);
      if (p.StrDefault && s == *p.StrDefault) return;
      WriteStr(path);
      WriteString(s);
      break;
    }
    case TPropKind::Object: {
      auto* sub = dynamic_cast<TPersistent*>(p.GetObject(*instance));
      if (!sub) return;  // nil, or an object with no form of its own
      std::string saved = std::exchange(propPath_, path + ".");
      TFinally restore([&] { propPath_ = saved; });
      WriteProperties(sub);
      break;
    }
    case TPropKind::Component: {
      if (!p.SetObject) return;
      auto* c = dynamic_cast<TComponent*>(p.GetObject(*instance));
      if (!c) return;
      std::string name = ComponentPath(c);
      if (name.empty()) return;
      WriteStr(path);
      WriteIdent(name);
      break;
    }
    case TPropKind::Method: {
      if (!p.MethodAssigned(*instance)) return;
      std::string name = p.GetMethodName(*instance);
      if (name.empty()) return;  // bound in code only: nothing a form could name
      // A name the root does not publish with the event's arguments could not be read back.
      const TMethodInfo* m = root_ ? root_->ClassInfo()->FindMethod(name) : nullptr;
      if (!m || m->Signature != p.MethodSignature) return;
      WriteStr(path);
      WriteValue(TValueType::vaIdent);
      WriteStr(name);
      break;
    }
  }
}

void TWriter::DefineProperty(const std::string& name, const TReaderProc&, const TWriterProc& writeFn, bool hasData) {
  if (hasData && writeFn) {
    WriteStr(propPath_ + name);
    writeFn(*this);
  }
}

void TWriter::DefineBinaryProperty(const std::string& name, const TStreamProc&, const TStreamProc& writeFn,
                                   bool hasData) {
  if (hasData && writeFn) {
    WriteStr(propPath_ + name);
    WriteBinary(writeFn);
  }
}
