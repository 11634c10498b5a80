#pragma once
// TWriter: writes a component tree as a binary form ("TPF0"), byte for byte as Free Pascal's
// Classes unit does: per component the class and object name, the published properties that
// differ from their defaults (sub-objects as "Name.Sub" paths), then the properties the object
// defines in DefineProperties, a vaNull, the children, and a vaNull.
#include <cstdint>
#include <string>

#include "BinaryForm.h"
#include "Filer.h"

class TPersistent;
struct TPropInfo;

class TWriter : public TFiler {
 public:
  explicit TWriter(TStream& stream);

  void WriteRootComponent(TComponent* root);
  void WriteComponent(TComponent* component);
  // Header, properties and children of a component (TComponent::WriteState calls it).
  void WriteData(TComponent* instance);
  void WriteProperties(TPersistent* instance);

  void DefineProperty(const std::string& name, const TReaderProc& readFn, const TWriterProc& writeFn,
                      bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const TStreamProc& readFn, const TStreamProc& writeFn,
                            bool hasData) override;

  // Values, for DefineProperty callbacks.
  void WriteValue(TValueType value);
  void WriteInteger(int64_t value);  // smallest fitting vaInt8 / vaInt16 / vaInt32 / vaInt64
  void WriteBoolean(bool value);
  void WriteFloat(double value);               // vaExtended, the 10-byte extended of the double
  void WriteSingle(float value);               // vaSingle
  void WriteCurrency(int64_t scaled);          // vaCurrency, value * 10000
  void WriteDate(double value);                // vaDate, a double
  void WriteString(const std::string& value);  // vaString up to 255 bytes, else vaLString
  void WriteIdent(const std::string& ident);   // nil / False / True / Null get their own bytes
  void WriteListBegin() { WriteValue(TValueType::vaList); }
  void WriteListEnd() { WriteValue(TValueType::vaNull); }
  void WriteBinary(const TStreamProc& writeData);
  void WriteStr(const std::string& value);  // a length-prefixed short string (at most 255 bytes)
  TStream& Stream() { return stream_; }

 private:
  void WriteProperty(TPersistent* instance, const TPropInfo& prop);
  std::string ComponentPath(TComponent* component) const;

  TStream& stream_;
  TBinaryFormWriter out_;
  std::string propPath_;
};
