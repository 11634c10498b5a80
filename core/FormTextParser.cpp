// Text form to binary form: a tokenizer as Free Pascal's TParser, and the writer of the values
// it reads.
#include "FormText.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "BinaryForm.h"
#include "Exceptions.h"
#include "Extended.h"
#include "Filer.h"
#include "MemoryStream.h"
#include "TypeNames.h"

namespace {

enum Token : char { toEOF = 0, toSymbol = 1, toString = 2, toInteger = 3, toFloat = 4, toWString = 5 };

class Parser {
 public:
  explicit Parser(std::string text) : buf_(std::move(text)) {
    if (buf_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;
    NextToken();
  }

  char Tok() const { return token_; }
  const std::string& Str() const { return str_; }
  const std::u16string& WStr() const { return wstr_; }

  [[noreturn]] void Error(const std::string& msg) const {
    throw EParserError(msg + " at line " + std::to_string(line_) + ", column " + std::to_string(pos_ - lineStart_ + 1));
  }
  static std::string Name(char t) {
    static const char* names[] = {"EOF", "Symbol", "String", "Integer", "Float", "WideString"};
    if (static_cast<unsigned char>(t) <= 5) return names[static_cast<int>(t)];
    return std::string(1, t);
  }
  void Check(char t) const {
    if (token_ != t) Error("Wrong token type: " + Name(t) + " expected but " + Name(token_) + " found");
  }
  bool SymbolIs(const char* s) const { return token_ == toSymbol && SameText(str_, s); }
  void CheckSymbol(const char* s) const {
    Check(toSymbol);
    if (!SameText(str_, s)) Error(std::string("Wrong token symbol: ") + s + " expected but " + str_ + " found");
  }

  int64_t TokenInt() const {
    const std::string& s = str_;
    errno = 0;
    char* end = nullptr;
    if (!s.empty() && s[0] == '$') {
      size_t first = s.find_first_not_of('0', 1);  // leading zeros do not count
      if (first == std::string::npos) return 0;
      if (s.size() - first <= 16) {
        unsigned long long v = std::strtoull(s.c_str() + first, &end, 16);
        if (errno == 0 && *end == 0) return static_cast<int64_t>(v);
      }
    } else if (!s.empty()) {
      long long v = std::strtoll(s.c_str(), &end, 10);
      if (errno == 0 && *end == 0) return v;
      if (s[0] != '-') {
        errno = 0;
        unsigned long long u = std::strtoull(s.c_str(), &end, 10);
        if (errno == 0 && *end == 0) return static_cast<int64_t>(u);
      }
    }
    Error("\"" + s + "\" is not a valid integer");
  }

  // The value of a floating-point token, read independently of the C locale.
  double TokenFloat() const {
    double v = 0;
    auto r = std::from_chars(str_.data(), str_.data() + str_.size(), v);
    if (r.ec == std::errc::result_out_of_range) Error("Floating-point number out of range: " + str_);
    if (r.ec != std::errc() || r.ptr != str_.data() + str_.size()) Error("Invalid floating point number: " + str_);
    return v;
  }

  // An identifier extended by ".Name" parts that follow it directly.
  std::string ComponentIdent() {
    Check(toSymbol);
    while (Peek() == '.') {
      str_ += '.';
      ++pos_;
      str_ += AlphaNum();
    }
    return str_;
  }

  // Hex digit pairs up to the next non-hex character; then the next token.
  void HexToBinary(TStream& out) {
    SkipWhitespace();
    while (IsHex(Peek())) {
      uint8_t b = static_cast<uint8_t>(HexValue(buf_[pos_++]) << 4);
      if (!IsHex(Peek())) Error("Unterminated byte value");
      b |= HexValue(buf_[pos_++]);
      out.WriteByte(b);
      SkipWhitespace();
    }
    NextToken();
  }

  char NextToken() {
    SkipWhitespace();
    str_.clear();
    wstr_.clear();
    if (pos_ >= buf_.size()) return token_ = toEOF;
    char c = buf_[pos_];
    if (IsAlpha(c)) {
      str_ = AlphaNum();
      token_ = toSymbol;
    } else if (c == '$') {
      str_ = "$";
      ++pos_;
      bool valid = false;
      while (IsHex(Peek())) {
        valid = true;
        str_ += buf_[pos_++];
      }
      if (!valid) Error("Invalid integer number: " + str_);
      token_ = toInteger;
    } else if (c == '-') {
      ++pos_;
      if (IsDigit(Peek())) {
        Number();
        str_ = "-" + str_;
      } else {
        token_ = '-';
        str_ = "-";
      }
    } else if (IsDigit(c)) {
      Number();
    } else if (c == '\'' || c == '#') {
      String();
    } else {
      token_ = c;
      str_ = std::string(1, c);
      ++pos_;
    }
    return token_;
  }

 private:
  char Peek() const { return pos_ < buf_.size() ? buf_[pos_] : '\0'; }
  static bool IsAlpha(char c) { return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static bool IsHex(char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
  static uint8_t HexValue(char c) {
    return static_cast<uint8_t>(IsDigit(c) ? c - '0' : (c >= 'a' ? c - 'a' + 10 : c - 'A' + 10));
  }

  void SkipWhitespace() {
    while (pos_ < buf_.size()) {
      char c = buf_[pos_];
      if (c == ' ' || c == '\t') {
        ++pos_;
      } else if (c == '\r' || c == '\n') {
        if (c == '\r') ++pos_;
        if (Peek() == '\n') ++pos_;
        ++line_;
        lineStart_ = pos_;
      } else {
        break;
      }
    }
  }

  std::string AlphaNum() {
    if (!IsAlpha(Peek())) Error("Symbol expected");
    std::string s;
    while (IsAlpha(Peek()) || IsDigit(Peek())) s += buf_[pos_++];
    return s;
  }

  void Number() {
    str_.clear();
    while (IsDigit(Peek())) str_ += buf_[pos_++];
    token_ = toInteger;
    char c = Peek();
    if (c == '.' || c == 'e' || c == 'E') {
      token_ = toFloat;
      bool dot = true, exp = true;
      while (pos_ < buf_.size()) {
        c = buf_[pos_];
        if (c == '.') {
          if (!dot) break;
          dot = false;
        } else if (c == 'e' || c == 'E') {
          if (!exp) break;
          dot = exp = false;
          str_ += buf_[pos_++];
          if (Peek() == '+' || Peek() == '-') str_ += buf_[pos_++];
          if (!IsDigit(Peek())) Error("Invalid floating point number: " + str_);
          continue;
        } else if (!IsDigit(c)) {
          break;
        }
        str_ += buf_[pos_++];
      }
    }
    c = Peek();
    if (c == 's' || c == 'S' || c == 'd' || c == 'D' || c == 'c' || c == 'C') {
      ++pos_;
      token_ = toFloat;
    }
  }

  void String() {
    bool ascii = true;
    for (;;) {
      char c = Peek();
      if (c == '\'') {
        ++pos_;
        for (;;) {
          if (pos_ >= buf_.size() || buf_[pos_] == '\r' || buf_[pos_] == '\n') Error("Unterminated string");
          char d = buf_[pos_];
          if (d == '\'') {
            ++pos_;
            if (Peek() != '\'') break;
          }
          str_ += d;
          wstr_ += static_cast<char16_t>(static_cast<uint8_t>(d));
          ++pos_;
        }
      } else if (c == '#') {
        ++pos_;
        uint32_t i = 0;
        while (IsDigit(Peek()) && i < 0xFFFF) i = i * 10 + static_cast<uint32_t>(buf_[pos_++] - '0');
        if (i > 0xFFFF) i = 0;
        if (i > 127) ascii = false;
        wstr_ += static_cast<char16_t>(i);
        str_ += i < 256 ? static_cast<char>(i) : '\0';
      } else {
        break;
      }
    }
    token_ = ascii ? toString : toWString;
  }

  std::string buf_;
  size_t pos_ = 0;
  size_t line_ = 1;
  size_t lineStart_ = 0;
  char token_ = toEOF;
  std::string str_;
  std::u16string wstr_;
};

class TextToBinary {
 public:
  TextToBinary(Parser& p, TStream& out) : p_(p), out_(out) {}

  void Run() {
    out_.WriteSignature();
    Object(1);
  }

 private:
  // Names longer than 255 characters are refused with the place in the text.
  void ShortStr(const std::string& s) {
    if (s.size() > 255) p_.Error("Name longer than 255 characters");
    out_.WriteStr(s);
  }
  // depth counts the levels as the binary reader does (an object, a property's value, a list
  // or collection inside it: one each), so that every form written here reads back.
  void Depth(int depth) {
    if (depth > kMaxFormDepth) p_.Error("Form nested too deeply");
  }

  void WideString(std::u16string ws) {
    while (p_.NextToken() == '+') {
      p_.NextToken();
      if (p_.Tok() != toString && p_.Tok() != toWString) p_.Check(toWString);
      ws += p_.WStr();
    }
    out_.WriteWideString(ws);
  }

  void PropValue(int depth) {
    Depth(depth);
    switch (p_.Tok()) {
      case toInteger:
        out_.WriteInteger(p_.TokenInt());
        p_.NextToken();
        break;
      case toFloat: {
        // Every floating-point value becomes an extended, whatever its suffix.
        out_.WriteExtended(p_.TokenFloat());
        p_.NextToken();
        break;
      }
      case toString: {
        std::string s = p_.Str();
        while (p_.NextToken() == '+') {
          p_.NextToken();
          if (p_.Tok() == toString) {
            s += p_.Str();
          } else if (p_.Tok() == toWString) {
            std::u16string ws;
            for (char c : s) ws += static_cast<char16_t>(static_cast<uint8_t>(c));
            WideString(ws + p_.WStr());
            return;
          } else {
            p_.Check(toString);
          }
        }
        out_.WriteString(s);
        break;
      }
      case toWString:
        WideString(p_.WStr());
        break;
      case toSymbol:
        if (SameText(p_.Str(), "True"))
          out_.WriteValue(TValueType::vaTrue);
        else if (SameText(p_.Str(), "False"))
          out_.WriteValue(TValueType::vaFalse);
        else if (SameText(p_.Str(), "nil"))
          out_.WriteValue(TValueType::vaNil);
        else {
          out_.WriteValue(TValueType::vaIdent);
          ShortStr(p_.ComponentIdent());
        }
        p_.NextToken();
        break;
      case '[':
        p_.NextToken();
        out_.WriteValue(TValueType::vaSet);
        if (p_.Tok() != ']')
          for (;;) {
            p_.Check(toSymbol);
            ShortStr(p_.Str());
            p_.NextToken();
            if (p_.Tok() == ']') break;
            p_.Check(',');
            p_.NextToken();
          }
        out_.WriteListEnd();
        p_.NextToken();
        break;
      case '(':
        p_.NextToken();
        out_.WriteValue(TValueType::vaList);
        while (p_.Tok() != ')') PropValue(depth + 1);
        out_.WriteListEnd();
        p_.NextToken();
        break;
      case '<':
        p_.NextToken();
        out_.WriteValue(TValueType::vaCollection);
        while (p_.Tok() != '>') {
          p_.CheckSymbol("item");
          p_.NextToken();
          out_.WriteValue(TValueType::vaList);
          while (!p_.SymbolIs("end")) Property(depth + 1);
          p_.NextToken();
          out_.WriteListEnd();
        }
        out_.WriteListEnd();
        p_.NextToken();
        break;
      case '{': {
        TMemoryStream data;
        p_.HexToBinary(data);
        p_.Check('}');
        if (data.Size() > std::numeric_limits<int32_t>::max()) p_.Error("Binary value too large for a form");
        out_.WriteBinary(data.Memory(), static_cast<uint32_t>(data.Size()));
        p_.NextToken();
        break;
      }
      default:
        p_.Error("Invalid property");
    }
  }

  void Property(int depth) {
    p_.Check(toSymbol);
    std::string name = p_.Str();
    for (;;) {
      p_.NextToken();
      if (p_.Tok() != '.') break;
      p_.NextToken();
      p_.Check(toSymbol);
      name += "." + p_.Str();
    }
    ShortStr(name);
    p_.Check('=');
    p_.NextToken();
    PropValue(depth);
  }

  void Object(int depth) {
    Depth(depth);
    uint8_t flags = 0;
    if (p_.SymbolIs("OBJECT"))
      flags = 0;
    else if (p_.SymbolIs("INHERITED"))
      flags = ffInherited;
    else {
      p_.CheckSymbol("INLINE");
      flags = ffInline;
    }
    p_.NextToken();
    p_.Check(toSymbol);
    std::string name, type = p_.Str();
    int64_t childPos = 0;
    p_.NextToken();
    if (p_.Tok() == ':') {
      p_.NextToken();
      p_.Check(toSymbol);
      name = type;
      type = p_.Str();
      p_.NextToken();
      if (p_.Tok() == '[') {
        p_.NextToken();
        p_.Check(toInteger);
        childPos = p_.TokenInt();
        // Readers take a child position of 32 bits at most.
        if (childPos < std::numeric_limits<int32_t>::min() || childPos > std::numeric_limits<int32_t>::max())
          p_.Error("Child position " + p_.Str() + " beyond 32 bits");
        p_.NextToken();
        p_.Check(']');
        p_.NextToken();
        flags |= ffChildPos;
      }
    }
    if (type.size() > 255 || name.size() > 255) p_.Error("Name longer than 255 characters");
    TFormComponentHeader header;
    header.flags = flags;
    header.childPos = childPos;
    header.className = type;
    header.name = name;
    out_.WriteComponentHeader(header);
    while (!(p_.SymbolIs("END") || p_.SymbolIs("OBJECT") || p_.SymbolIs("INHERITED") || p_.SymbolIs("INLINE")))
      Property(depth + 1);
    out_.WriteListEnd();
    while (!p_.SymbolIs("END")) Object(depth + 1);
    p_.NextToken();
    out_.WriteListEnd();
  }

  Parser& p_;
  TBinaryFormWriter out_;
};

}  // namespace

void ObjectTextToBinary(TStream& input, TStream& output) {
  int64_t left = input.Remaining();
  std::string text(static_cast<size_t>(left > 0 ? left : 0), '\0');
  input.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
  Parser parser(std::move(text));
  TextToBinary(parser, output).Run();
}

bool LooksLikeTextForm(const char* data, size_t size) {
  auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  size_t i = size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
  while (i < size && space(data[i])) ++i;
  for (const char* word : {"object", "inherited", "inline"}) {
    size_t n = std::strlen(word);
    if (size - i > n && SameText(std::string(data + i, n), word) && space(data[i + n])) return true;
  }
  return false;
}
