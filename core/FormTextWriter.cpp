// Binary form to text form: the reader's values written as Free Pascal's converter writes them.
#include "FormText.h"

#include <string>
#include <vector>

#include "BinaryForm.h"
#include "Exceptions.h"
#include "Extended.h"
#include "Filer.h"
#include "charset/Unicode.h"

namespace {

const char* const kHex = "0123456789ABCDEF";

// Quoted text with #n for control characters and code points from 127 up, as the text form
// writes strings: '' for an empty text.
template <class Codes>
std::string QuoteCodes(const Codes& codes) {
  if (codes.empty()) return "''";
  std::string res;
  bool inString = false;
  for (uint32_t w : codes) {
    std::string piece;
    bool newIn = inString;
    if (w == '\'') {
      newIn = true;
      piece = "''";
    } else if (w >= 32 && w < 127) {
      newIn = true;
      piece = std::string(1, static_cast<char>(w));
    } else {
      newIn = false;
      piece = "#" + std::to_string(w);
    }
    if (newIn != inString) {
      piece = "'" + piece;
      inString = newIn;
    }
    res += piece;
  }
  if (inString) res += "'";
  return res;
}

// A currency (the value times 10000) exactly, with four decimals: "-12.3400".
std::string CurrencyText(int64_t scaled) {
  uint64_t magnitude = scaled < 0 ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
  std::string decimals = std::to_string(magnitude % 10000);
  return (scaled < 0 ? "-" : "") + std::to_string(magnitude / 10000) + "." + std::string(4 - decimals.size(), '0') +
         decimals;
}

class BinaryToText {
 public:
  BinaryToText(TStream& in, TStream& out) : in_(in), out_(out) {}

  void Run() {
    in_.ReadSignature();
    ReadObject("");
  }

 private:
  void Out(const std::string& s) { out_.WriteString(s); }
  void OutLn(const std::string& s) { Out(s + "\n"); }

  void OutString(const std::string& s) {
    std::vector<uint32_t> codes;
    for (char c : s) codes.push_back(static_cast<uint8_t>(c));
    Out(QuoteCodes(codes));
  }
  void OutWString(const std::u16string& w) { Out(QuoteCodes(std::vector<uint32_t>(w.begin(), w.end()))); }
  // Invalid UTF-8 shows as '?', as Free Pascal's decoder gives it.
  void OutUtf8(const std::string& s) {
    std::vector<uint32_t> codes;
    for (size_t i = 0, len = 0; i < s.size(); i += len) {
      uint32_t cp = 0;
      codes.push_back(DecodeUtf8(s, i, cp, len) ? cp : '?');
    }
    Out(QuoteCodes(codes));
  }

  void Binary(const std::string& indent) {
    uint32_t todo = in_.ReadBinaryLength();
    OutLn("{");
    uint8_t buf[32];
    while (todo > 0) {
      uint32_t now = todo > 32 ? 32 : todo;
      todo -= now;
      in_.Stream().ReadBuffer(buf, now);
      std::string s = indent + "  ";
      for (uint32_t i = 0; i < now; ++i) {
        s += kHex[buf[i] >> 4];
        s += kHex[buf[i] & 15];
      }
      OutLn(s);
    }
    OutLn(indent + "}");
  }

  void Value(TValueType t, const std::string& indent) {
    TBinaryFormReader::Nesting nesting(in_);
    switch (t) {
      case TValueType::vaList: {
        Out("(");
        bool first = true;
        for (;;) {
          TValueType v = in_.ReadValue();
          if (v == TValueType::vaNull) break;
          if (first) {
            OutLn("");
            first = false;
          }
          Out(indent + "  ");
          Value(v, indent + "  ");
        }
        OutLn(indent + ")");
        break;
      }
      case TValueType::vaInt8:
      case TValueType::vaInt16:
      case TValueType::vaInt32:
      case TValueType::vaInt64:
        OutLn(std::to_string(in_.ReadInt(t)));
        break;
      case TValueType::vaString:
        OutString(in_.ReadStr());
        OutLn("");
        break;
      case TValueType::vaIdent:
        OutLn(in_.ReadStr());
        break;
      case TValueType::vaFalse:
        OutLn("False");
        break;
      case TValueType::vaTrue:
        OutLn("True");
        break;
      case TValueType::vaBinary:
        Binary(indent);
        break;
      case TValueType::vaSet: {
        Out("[");
        bool first = true;
        for (std::string s = in_.ReadStr(); !s.empty(); s = in_.ReadStr()) {
          if (!first) Out(", ");
          first = false;
          Out(s);
        }
        OutLn("]");
        break;
      }
      case TValueType::vaLString:
        OutString(in_.ReadLStr());
        OutLn("");
        break;
      case TValueType::vaWString:
      case TValueType::vaUString:
        OutWString(in_.ReadWStr());
        OutLn("");
        break;
      case TValueType::vaNil:
        OutLn("nil");
        break;
      case TValueType::vaCollection: {
        Out("<");
        while (!in_.EndOfList()) {
          OutLn(indent);
          Out(indent + "  item");
          TValueType v = in_.ReadValue();
          if (v != TValueType::vaList) Out("[" + std::to_string(in_.ReadInt(v)) + "]");
          OutLn("");
          PropList(indent + "    ");
          Out(indent + "  end");
        }
        in_.ReadValue();
        OutLn(">");
        break;
      }
      case TValueType::vaUTF8String:
        OutUtf8(in_.ReadLStr());
        OutLn("");
        break;
      case TValueType::vaExtended:
        OutLn(ExtendedToText(in_.ReadExtended()));
        break;
      // The other floating-point types carry the suffix by which the text marks them.
      case TValueType::vaSingle:
        OutLn(ExtendedToText(DoubleToExtended(in_.ReadSingle())) + "s");
        break;
      case TValueType::vaDate:
        OutLn(ExtendedToText(DoubleToExtended(in_.ReadDate())) + "d");
        break;
      case TValueType::vaCurrency:
        OutLn(CurrencyText(in_.ReadCurrency()) + "c");
        break;
      default:
        throw EReadError("Invalid property type " + std::to_string(static_cast<int>(t)));
    }
  }

  void PropList(const std::string& indent) {
    while (!in_.EndOfList()) {
      Out(indent + in_.ReadStr() + " = ");
      Value(in_.ReadValue(), indent);
    }
    in_.ReadValue();
  }

  void ReadObject(const std::string& indent) {
    TBinaryFormReader::Nesting nesting(in_);
    TFormComponentHeader h;
    in_.ReadComponentHeader(h);
    Out(indent);
    Out((h.flags & ffInherited) ? "inherited" : (h.flags & ffInline) ? "inline" : "object");
    Out(" ");
    if (!h.name.empty()) Out(h.name + ": ");
    Out(h.className);
    if (h.flags & ffChildPos) Out("[" + std::to_string(h.childPos) + "]");
    OutLn("");
    PropList(indent + "  ");
    while (!in_.EndOfList()) ReadObject(indent + "  ");
    in_.ReadValue();
    OutLn(indent + "end");
  }

  TBinaryFormReader in_;
  TStream& out_;
};

}  // namespace

void ObjectBinaryToText(TStream& input, TStream& output) { BinaryToText(input, output).Run(); }

std::string FormTextQuoted(const std::string& text) {
  std::vector<uint32_t> codes;
  for (char c : text) codes.push_back(static_cast<uint8_t>(c));
  return QuoteCodes(codes);
}
