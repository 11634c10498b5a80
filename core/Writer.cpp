#include "Writer.h"

#include <bit>
#include <limits>

#include "Component.h"
#include "Exceptions.h"
#include "Extended.h"
#include "IdentConversion.h"
#include "MemoryStream.h"
#include "PropInfo.h"
#include "Stream.h"
#include "TypeNames.h"

TWriter::TWriter(TStream& stream) : stream_(stream) {}

void TWriter::WriteValue(TValueType value) { stream_.WriteByte(static_cast<uint8_t>(value)); }

void TWriter::WriteStr(const std::string& value) {
  // Names are length-prefixed with one byte; a longer one cannot be written faithfully.
  if (value.size() > 255) throw EWriteError("Name too long for a form: \"" + value.substr(0, 40) + "...\"");
  stream_.WriteByte(static_cast<uint8_t>(value.size()));
  stream_.WriteString(value);
}

void TWriter::WriteInteger(int64_t value) {
  if (value >= -128 && value <= 127) {
    WriteValue(TValueType::vaInt8);
    stream_.WriteByte(static_cast<uint8_t>(value));
  } else if (value >= -32768 && value <= 32767) {
    WriteValue(TValueType::vaInt16);
    stream_.WriteWord(static_cast<uint16_t>(value));
  } else if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max()) {
    WriteValue(TValueType::vaInt32);
    stream_.WriteDWord(static_cast<uint32_t>(value));
  } else {
    WriteValue(TValueType::vaInt64);
    stream_.WriteQWord(static_cast<uint64_t>(value));
  }
}

void TWriter::WriteFloat(double value) {
  WriteValue(TValueType::vaExtended);
  TExtended80 e = DoubleToExtended(value);
  stream_.WriteBuffer(e.data(), 10);
}

void TWriter::WriteSingle(float value) {
  WriteValue(TValueType::vaSingle);
  stream_.WriteDWord(std::bit_cast<uint32_t>(value));
}

void TWriter::WriteCurrency(int64_t scaled) {
  WriteValue(TValueType::vaCurrency);
  stream_.WriteQWord(static_cast<uint64_t>(scaled));
}

void TWriter::WriteDate(double value) {
  WriteValue(TValueType::vaDate);
  stream_.WriteQWord(std::bit_cast<uint64_t>(value));
}

void TWriter::WriteBoolean(bool value) { WriteValue(value ? TValueType::vaTrue : TValueType::vaFalse); }

void TWriter::WriteString(const std::string& value) {
  if (value.size() <= 255) {
    WriteValue(TValueType::vaString);
    stream_.WriteByte(static_cast<uint8_t>(value.size()));
  } else {
    if (value.size() > std::numeric_limits<uint32_t>::max()) throw EWriteError("String too long for a form");
    WriteValue(TValueType::vaLString);
    stream_.WriteDWord(static_cast<uint32_t>(value.size()));
  }
  stream_.WriteString(value);
}

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
  WriteValue(TValueType::vaBinary);
  stream_.WriteDWord(static_cast<uint32_t>(buffer.Size()));
  stream_.WriteBuffer(buffer.Memory(), buffer.Size());
}

void TWriter::WriteRootComponent(TComponent* root) {
  root_ = root;
  stream_.WriteBuffer(kFilerSignature, 4);
  WriteComponent(root);
}

void TWriter::WriteComponent(TComponent* component) {
  component->IncludeState(csWriting);
  try {
    component->WriteState(*this);
    WriteListEnd();
  } catch (...) {
    component->ExcludeState(csWriting);
    throw;
  }
  component->ExcludeState(csWriting);
}

void TWriter::WriteData(TComponent* instance) {
  // A reader takes a first byte of 0xF0 or more for the flags prefix, so a class name of 240
  // characters or more (whose length byte would be read that way) gets an empty prefix.
  if (instance->ClassName().size() >= 0xF0) stream_.WriteByte(0xF0);
  WriteStr(instance->ClassName());
  WriteStr(instance->Name());
  std::string saved = propPath_;
  propPath_.clear();
  WriteProperties(instance);
  propPath_ = saved;
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
      TPersistent* sub = p.GetObject(*instance);
      if (!sub) return;
      std::string saved = propPath_;
      propPath_ = path + ".";
      try {
        WriteProperties(sub);
      } catch (...) {
        propPath_ = saved;
        throw;
      }
      propPath_ = saved;
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
