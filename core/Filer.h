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
