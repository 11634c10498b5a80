#include "BinaryForm.h"

#include <bit>
#include <cstring>
#include <limits>

#include "Exceptions.h"
#include "Stream.h"

// --- TBinaryFormReader ---------------------------------------------------------------------

int64_t TBinaryFormReader::Position() { return stream_.Position(); }

void TBinaryFormReader::ReadSignature() {
  int64_t at = stream_.Position();
  char sig[4] = {};
  if (stream_.Read(sig, 4) != 4 || std::memcmp(sig, kFilerSignature, 4) != 0)
    throw EReadError("Invalid stream format: no form signature at offset " + std::to_string(at));
}

TValueType TBinaryFormReader::ReadValue() { return static_cast<TValueType>(stream_.ReadByte()); }

TValueType TBinaryFormReader::NextValue() {
  TValueType v = ReadValue();
  stream_.Seek(-1, TSeekOrigin::soCurrent);
  return v;
}

void TBinaryFormReader::ReadListEnd() {
  if (ReadValue() != TValueType::vaNull) throw EReadError("Invalid property value");
}

uint8_t TBinaryFormReader::ReadByte() { return stream_.ReadByte(); }

void TBinaryFormReader::CheckLength(uint64_t bytes) {
  int64_t left = stream_.Remaining();
  if (left < 0 || bytes > static_cast<uint64_t>(left))
    throw EReadError("Length " + std::to_string(bytes) + " exceeds the " + std::to_string(left) +
                     " bytes left in the stream at offset " + std::to_string(stream_.Position()));
}

std::string TBinaryFormReader::ReadStr() {
  uint8_t len = stream_.ReadByte();
  std::string s(len, '\0');
  stream_.ReadBuffer(s.data(), len);
  return s;
}

std::string TBinaryFormReader::ReadLStr() {
  uint32_t len = stream_.ReadDWord();
  CheckLength(len);
  std::string s(len, '\0');
  stream_.ReadBuffer(s.data(), len);
  return s;
}

std::u16string TBinaryFormReader::ReadWStr() {
  uint32_t len = stream_.ReadDWord();
  CheckLength(uint64_t{len} * 2);
  std::u16string w(len, u'\0');
  for (auto& c : w) c = static_cast<char16_t>(stream_.ReadWord());
  return w;
}

int64_t TBinaryFormReader::ReadInt(TValueType t) {
  switch (t) {
    case TValueType::vaInt8:
      return static_cast<int8_t>(stream_.ReadByte());
    case TValueType::vaInt16:
      return static_cast<int16_t>(stream_.ReadWord());
    case TValueType::vaInt32:
      return static_cast<int32_t>(stream_.ReadDWord());
    case TValueType::vaInt64:
      return static_cast<int64_t>(stream_.ReadQWord());
    default:
      throw EReadError("Invalid integer type " + std::to_string(static_cast<int>(t)));
  }
}

TExtended80 TBinaryFormReader::ReadExtended() {
  TExtended80 e;
  stream_.ReadBuffer(e.data(), 10);
  return e;
}

float TBinaryFormReader::ReadSingle() { return std::bit_cast<float>(stream_.ReadDWord()); }
double TBinaryFormReader::ReadDate() { return std::bit_cast<double>(stream_.ReadQWord()); }
int64_t TBinaryFormReader::ReadCurrency() { return static_cast<int64_t>(stream_.ReadQWord()); }

uint32_t TBinaryFormReader::ReadBinaryLength() {
  uint32_t len = stream_.ReadDWord();
  CheckLength(len);
  return len;
}

void TBinaryFormReader::ReadComponentHeader(TFormComponentHeader& header) {
  header = TFormComponentHeader();
  bool wide = false;
  if (IsFilerPrefix(static_cast<uint8_t>(NextValue()))) {
    header.flags = stream_.ReadByte() & 0x0F;
    if (header.flags & ffChildPos) {
      TValueType t = ReadValue();
      if (t != TValueType::vaInt8 && t != TValueType::vaInt16 && t != TValueType::vaInt32 && t != TValueType::vaInt64)
        throw EReadError("Invalid property value");
      header.childPos = ReadInt(t);
      wide = t == TValueType::vaInt64;
    }
  }
  header.className = ReadStr();
  header.name = ReadStr();
  if (wide) throw EReadError("Child position beyond 32 bits");
}

TBinaryFormReader::Nesting::Nesting(TBinaryFormReader& reader) : reader_(reader) {
  if (++reader_.depth_ > kMaxFormDepth) {
    --reader_.depth_;
    throw EReadError("Form nested too deeply at offset " + std::to_string(reader_.stream_.Position()));
  }
}

void TBinaryFormReader::SkipValue(TValueType t) {
  Nesting nesting(*this);
  auto skip = [&](uint64_t n) {
    CheckLength(n);
    stream_.Seek(static_cast<int64_t>(n), TSeekOrigin::soCurrent);
  };
  switch (t) {
    case TValueType::vaNull:
    case TValueType::vaFalse:
    case TValueType::vaTrue:
    case TValueType::vaNil:
      break;
    case TValueType::vaList:
      while (!EndOfList()) SkipValue(ReadValue());
      ReadValue();
      break;
    case TValueType::vaInt8:
      skip(1);
      break;
    case TValueType::vaInt16:
      skip(2);
      break;
    case TValueType::vaInt32:
    case TValueType::vaSingle:
      skip(4);
      break;
    case TValueType::vaInt64:
    case TValueType::vaQWord:
    case TValueType::vaCurrency:
    case TValueType::vaDate:
      skip(8);
      break;
    case TValueType::vaExtended:
      skip(10);
      break;
    case TValueType::vaString:
    case TValueType::vaIdent:
      skip(stream_.ReadByte());
      break;
    case TValueType::vaLString:
    case TValueType::vaUTF8String:
    case TValueType::vaBinary:
      skip(stream_.ReadDWord());
      break;
    case TValueType::vaWString:
    case TValueType::vaUString:
      skip(uint64_t{stream_.ReadDWord()} * 2);
      break;
    case TValueType::vaSet:
      while (!ReadStr().empty()) {}
      break;
    case TValueType::vaCollection:
      while (!EndOfList()) {
        TValueType v = NextValue();
        if (v == TValueType::vaInt8 || v == TValueType::vaInt16 || v == TValueType::vaInt32) ReadInt(ReadValue());
        if (ReadValue() != TValueType::vaList) throw EReadError("Invalid property value");
        while (!EndOfList()) {
          ReadStr();
          SkipValue(ReadValue());
        }
        ReadValue();
      }
      ReadValue();
      break;
    default:
      throw EReadError("Unknown value type " + std::to_string(static_cast<int>(t)));
  }
}

// --- TBinaryFormWriter ---------------------------------------------------------------------

void TBinaryFormWriter::WriteSignature() { stream_.WriteBuffer(kFilerSignature, 4); }

void TBinaryFormWriter::WriteValue(TValueType value) { stream_.WriteByte(static_cast<uint8_t>(value)); }

void TBinaryFormWriter::WriteByte(uint8_t b) { stream_.WriteByte(b); }

void TBinaryFormWriter::WriteStr(const std::string& s) {
  // Names are length-prefixed with one byte; a longer one cannot be written faithfully.
  if (s.size() > 255) throw EWriteError("Name too long for a form: \"" + s.substr(0, 40) + "...\"");
  stream_.WriteByte(static_cast<uint8_t>(s.size()));
  stream_.WriteString(s);
}

void TBinaryFormWriter::WriteInteger(int64_t value) {
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

void TBinaryFormWriter::WriteString(const std::string& s) {
  if (s.size() <= 255) {
    WriteValue(TValueType::vaString);
    stream_.WriteByte(static_cast<uint8_t>(s.size()));
  } else {
    if (s.size() > std::numeric_limits<uint32_t>::max()) throw EWriteError("String too long for a form");
    WriteValue(TValueType::vaLString);
    stream_.WriteDWord(static_cast<uint32_t>(s.size()));
  }
  stream_.WriteString(s);
}

void TBinaryFormWriter::WriteWideString(const std::u16string& s) {
  if (s.size() > std::numeric_limits<uint32_t>::max()) throw EWriteError("String too long for a form");
  WriteValue(TValueType::vaWString);
  stream_.WriteDWord(static_cast<uint32_t>(s.size()));
  for (char16_t c : s) stream_.WriteWord(c);
}

void TBinaryFormWriter::WriteExtended(double value) {
  WriteValue(TValueType::vaExtended);
  TExtended80 e = DoubleToExtended(value);
  stream_.WriteBuffer(e.data(), 10);
}

void TBinaryFormWriter::WriteSingle(float value) {
  WriteValue(TValueType::vaSingle);
  stream_.WriteDWord(std::bit_cast<uint32_t>(value));
}

void TBinaryFormWriter::WriteCurrency(int64_t scaled) {
  WriteValue(TValueType::vaCurrency);
  stream_.WriteQWord(static_cast<uint64_t>(scaled));
}

void TBinaryFormWriter::WriteDate(double value) {
  WriteValue(TValueType::vaDate);
  stream_.WriteQWord(std::bit_cast<uint64_t>(value));
}

void TBinaryFormWriter::WriteBinary(const void* data, uint32_t size) {
  WriteValue(TValueType::vaBinary);
  stream_.WriteDWord(size);
  stream_.WriteBuffer(data, size);
}

void TBinaryFormWriter::WriteComponentHeader(const TFormComponentHeader& header) {
  if (header.flags || header.className.size() >= kFilerPrefix) {
    stream_.WriteByte(static_cast<uint8_t>(kFilerPrefix | header.flags));
    if (header.flags & ffChildPos) WriteInteger(header.childPos);
  }
  WriteStr(header.className);
  WriteStr(header.name);
}
