#pragma once
// The binary form format ("TPF0") at the level of its values: the one place that knows how
// each value and each component header is laid out. The form reader and writer, both text
// converters and the tool's form scanner and form editor read and write through these two
// drivers.
//
// TBinaryFormReader checks every length against the bytes left in the stream before it reads
// or allocates, and raises EReadError (with the offset) for input it cannot read. Nesting of
// components and values is limited to kMaxFormDepth levels, so hostile input cannot exhaust
// the stack.
#include <cstdint>
#include <string>

#include "Extended.h"
#include "Filer.h"

class TStream;

inline constexpr int kMaxFormDepth = 200;

// The header that starts every component: the flags prefix (when present), the child position
// (with ffChildPos), the class name and the object name.
struct TFormComponentHeader {
  uint8_t flags = 0;  // ffInherited | ffChildPos | ffInline
  int64_t childPos = 0;
  std::string className;
  std::string name;
};

class TBinaryFormReader {
 public:
  explicit TBinaryFormReader(TStream& stream) : stream_(stream) {}

  TStream& Stream() { return stream_; }
  int64_t Position();

  // Raises EReadError unless the stream starts with the signature here.
  void ReadSignature();
  TValueType ReadValue();
  TValueType NextValue();
  // True at the vaNull that ends a list of properties, values or components; does not read it.
  bool EndOfList() { return NextValue() == TValueType::vaNull; }
  void ReadListEnd();

  uint8_t ReadByte();
  std::string ReadStr();      // a length-prefixed short string
  std::string ReadLStr();     // a 32-bit length, then bytes
  std::u16string ReadWStr();  // a 32-bit length, then UTF-16 code units
  // The integer of a value of type t (vaInt8 / vaInt16 / vaInt32 / vaInt64); EReadError else.
  int64_t ReadInt(TValueType t);
  TExtended80 ReadExtended();
  float ReadSingle();
  double ReadDate();
  int64_t ReadCurrency();  // value * 10000
  // Reads a 32-bit length and checks that that many bytes follow.
  uint32_t ReadBinaryLength();

  // The header of a component. A child position must fit 32 bits, as Free Pascal reads it; a
  // wider one is refused once the names are read, so the error can name the component
  // (header then holds them).
  void ReadComponentHeader(TFormComponentHeader& header);

  // Skips one value of the given type (already read), nested values included.
  void SkipValue(TValueType t);
  void CheckLength(uint64_t bytes);

  // Counts a level of nesting for as long as it lives; raises EReadError beyond the limit.
  class Nesting {
   public:
    explicit Nesting(TBinaryFormReader& reader);
    ~Nesting() { --reader_.depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    TBinaryFormReader& reader_;
  };

 private:
  TStream& stream_;
  int depth_ = 0;
};

class TBinaryFormWriter {
 public:
  explicit TBinaryFormWriter(TStream& stream) : stream_(stream) {}

  TStream& Stream() { return stream_; }
  void WriteSignature();
  void WriteValue(TValueType value);
  void WriteListEnd() { WriteValue(TValueType::vaNull); }
  void WriteByte(uint8_t b);
  // A length-prefixed short string; longer than 255 bytes raises EWriteError.
  void WriteStr(const std::string& s);
  // vaInt8 / vaInt16 / vaInt32 / vaInt64, the smallest that holds the value.
  void WriteInteger(int64_t value);
  // vaString up to 255 bytes, else vaLString.
  void WriteString(const std::string& s);
  void WriteWideString(const std::u16string& s);      // vaWString
  void WriteExtended(double value);                   // vaExtended
  void WriteSingle(float value);                      // vaSingle
  void WriteCurrency(int64_t scaled);                 // vaCurrency
  void WriteDate(double value);                       // vaDate
  void WriteBinary(const void* data, uint32_t size);  // vaBinary
  // The prefix when there are flags, or when the class name is 240 characters or more (its
  // length byte would read as a prefix); the child position with ffChildPos; the names.
  void WriteComponentHeader(const TFormComponentHeader& header);

 private:
  TStream& stream_;
};
