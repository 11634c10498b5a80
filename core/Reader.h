#pragma once
// TReader: reads a binary form ("TPF0") into a component tree.
//
// ReadRootComponent reads the signature and the root component: into an existing root (a form
// reading its own resource) or into a new root created by class name. Children are created
// through the class registry, owned by the root, named, and their properties set in stream
// order; csLoading is set on every component read. When the whole form has been read, every
// component read gets Loaded() (root first, then in reading order), with all properties and
// component references in place.
//
// Bad input raises EFormReadError naming the component, the property and the byte offset.
#include <cstdint>
#include <string>
#include <vector>

#include "BinaryForm.h"
#include "Exceptions.h"
#include "Filer.h"

class TPersistent;
struct TPropInfo;

// A read error with the place in the form where it happened.
class EFormReadError : public EReadError {
  using EReadError::EReadError;
};

class TReader : public TFiler {
 public:
  explicit TReader(TStream& stream);

  // Reads a whole form. With root == nullptr the root is created from the class registry and
  // returned (the caller owns it); otherwise the form is read into root, which is returned.
  TComponent* ReadRootComponent(TComponent* root);
  // Reads the properties and the children of instance (TComponent::ReadState calls it).
  void ReadData(TComponent* instance);

  void DefineProperty(const std::string& name, const TReaderProc& readFn, const TWriterProc& writeFn,
                      bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const TStreamProc& readFn, const TStreamProc& writeFn,
                            bool hasData) override;

  // Values, for DefineProperty callbacks. Each raises EReadError for a value of another type.
  TValueType ReadValue();
  TValueType NextValue();
  int32_t ReadInteger();  // vaInt8 / vaInt16 / vaInt32
  int64_t ReadInt64();    // the above or vaInt64
  bool ReadBoolean();     // vaFalse / vaTrue
  // vaExtended, vaSingle, vaDate, vaCurrency, or an integer.
  double ReadFloat();
  // vaCurrency as its scaled 64-bit integer (value * 10000), or an integer scaled.
  int64_t ReadCurrency();
  std::string ReadString();  // short, long, UTF-8 and wide strings, as Windows-1252
  std::string ReadIdent();   // vaIdent, and nil / False / True / Null
  void ReadListBegin();
  void ReadListEnd();
  bool EndOfList();
  void SkipValue();
  std::string ReadStr();  // a length-prefixed short string
  TStream& Stream() { return stream_; }

 private:
  struct Fixup {
    TPersistent* instance;
    const TPropInfo* prop;
    std::string path;  // property path, for messages
    std::string name;  // referenced component
    TComponent* component;
    int64_t offset;
  };

  TComponent* ReadComponent();
  void ReadProperty(TComponent* component);
  void ReadPropValue(TPersistent* instance, const TPropInfo& prop, TComponent* component, const std::string& path,
                     int64_t offset);
  void ResolveFixups();
  void CheckLength(uint64_t bytes);
  [[noreturn]] void Invalid(const std::string& what = "Invalid property value");
  std::string ComponentLabel(const TComponent* c) const;

  TStream& stream_;
  TBinaryFormReader in_;
  TComponent* owner_ = nullptr;
  TComponent* parent_ = nullptr;
  std::string propName_;
  std::vector<TComponent*> loaded_;
  std::vector<Fixup> fixups_;
  int depth_ = 0;
};
