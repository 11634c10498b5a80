#pragma once
// TFiler: the common base of the form reader and writer, through which a persistent object
// declares its non-published properties (DefineProperties), and the value-type bytes of the
// binary form format ("TPF0").
#include <cstdint>
#include <functional>
#include <string>

class TReader;
class TWriter;
class TStream;
class TComponent;

enum class TValueType : uint8_t {
  vaNull,
  vaList,
  vaInt8,
  vaInt16,
  vaInt32,
  vaExtended,
  vaString,
  vaIdent,
  vaFalse,
  vaTrue,
  vaBinary,
  vaSet,
  vaLString,
  vaNil,
  vaCollection,
  vaSingle,
  vaCurrency,
  vaDate,
  vaWString,
  vaInt64,
  vaUTF8String,
  vaUString,
  vaQWord
};

// A component's header may start with a prefix byte 0xF0 | flags: the component is inherited
// (it exists already), carries a child position (an integer value after the prefix), or is
// inline. A first byte of 0xF0 or more is always taken for this prefix.
enum TFilerFlag : uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };
inline constexpr uint8_t kFilerPrefix = 0xF0;
inline bool IsFilerPrefix(uint8_t b) { return (b & 0xF0) == kFilerPrefix; }

// The four signature bytes that start a binary form.
inline constexpr char kFilerSignature[4] = {'T', 'P', 'F', '0'};

using TReaderProc = std::function<void(TReader&)>;
using TWriterProc = std::function<void(TWriter&)>;
using TStreamProc = std::function<void(TStream&)>;

class TFiler {
 public:
  virtual ~TFiler() = default;
  // A property whose value the callbacks read and write as ordinary form values. The writer
  // writes it when hasData is true; the reader calls readFn when the form holds it.
  virtual void DefineProperty(const std::string& name, const TReaderProc& readFn, const TWriterProc& writeFn,
                              bool hasData) = 0;
  // A property of raw bytes: readFn gets a stream positioned at the bytes, writeFn appends
  // the bytes to a stream. Framed as name, vaBinary, 32-bit little-endian length, bytes.
  virtual void DefineBinaryProperty(const std::string& name, const TStreamProc& readFn, const TStreamProc& writeFn,
                                    bool hasData) = 0;
  TComponent* Root() const { return root_; }

 protected:
  TComponent* root_ = nullptr;
};
