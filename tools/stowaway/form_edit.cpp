#include "form_edit.h"

#include "core/Filer.h"
#include "cli_error.h"

namespace {

class Parser {
 public:
  Parser(std::string_view in, const std::string& file) : in_(in), file_(file) {}

  FormNode Run() {
    if (in_.substr(0, 4) != "TPF0") Fail("no TPF0 signature", 0);
    pos_ = 4;
    FormNode root = Component();
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what, std::size_t at) const {
    throw InputError(AtOffset(file_, "form " + what, at));
  }
  void Need(std::size_t n) const {
    if (in_.size() - pos_ < n) Fail("cut off", pos_);
  }
  std::uint8_t Byte() {
    Need(1);
    return static_cast<std::uint8_t>(in_[pos_++]);
  }
  std::uint8_t Peek() {
    Need(1);
    return static_cast<std::uint8_t>(in_[pos_]);
  }
  std::uint64_t Le(std::size_t n) {
    Need(n);
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v |= std::uint64_t{static_cast<std::uint8_t>(in_[pos_ + i])} << (8 * i);
    pos_ += n;
    return v;
  }
  void Skip(std::uint64_t n) {
    if (in_.size() - pos_ < n) Fail("value cut off", pos_);
    pos_ += n;
  }
  std::string ShortString() {
    const std::size_t len = Byte();
    Need(len);
    std::string s(in_.substr(pos_, len));
    pos_ += len;
    return s;
  }

  struct Nesting {
    Parser& p;
    explicit Nesting(Parser& parser) : p(parser) {
      if (++p.depth_ > 200) p.Fail("nested too deeply", p.pos_);
    }
    ~Nesting() { --p.depth_; }
  };

  FormNode Component() {
    Nesting nesting(*this);
    FormNode node;
    const std::size_t start = pos_;
    if ((Peek() & 0xF0) == 0xF0) {
      const std::uint8_t flags = Byte() & 0x0F;
      if (flags & 2) Value();
    }
    node.prefix = std::string(in_.substr(start, pos_ - start));
    node.componentClass = ShortString();
    node.componentName = ShortString();
    while (Peek() != 0) {
      FormNode::Property p;
      p.name = ShortString();
      const std::size_t at = pos_;
      Value();
      p.value = std::string(in_.substr(at, pos_ - at));
      node.properties.push_back(std::move(p));
    }
    ++pos_;
    while (Peek() != 0) node.children.push_back(Component());
    ++pos_;
    return node;
  }

  void Value() {
    Nesting nesting(*this);
    const std::size_t at = pos_;
    const auto type = static_cast<TValueType>(Byte());
    switch (type) {
      case TValueType::vaNull:
      case TValueType::vaFalse:
      case TValueType::vaTrue:
      case TValueType::vaNil:
        break;
      case TValueType::vaInt8:
        Skip(1);
        break;
      case TValueType::vaInt16:
        Skip(2);
        break;
      case TValueType::vaInt32:
      case TValueType::vaSingle:
        Skip(4);
        break;
      case TValueType::vaInt64:
      case TValueType::vaQWord:
      case TValueType::vaCurrency:
      case TValueType::vaDate:
        Skip(8);
        break;
      case TValueType::vaExtended:
        Skip(10);
        break;
      case TValueType::vaString:
      case TValueType::vaIdent:
        Skip(Byte());
        break;
      case TValueType::vaLString:
      case TValueType::vaUTF8String:
      case TValueType::vaBinary:
        Skip(Le(4));
        break;
      case TValueType::vaWString:
      case TValueType::vaUString:
        Skip(2 * Le(4));
        break;
      case TValueType::vaSet:
        while (!ShortString().empty()) {}
        break;
      case TValueType::vaList:
        while (Peek() != 0) Value();
        ++pos_;
        break;
      case TValueType::vaCollection:
        while (Peek() != 0) {
          const std::uint8_t t = Peek();
          if (t == 2 || t == 3 || t == 4) Value();
          if (Byte() != static_cast<std::uint8_t>(TValueType::vaList)) Fail("collection item without list", pos_ - 1);
          while (Peek() != 0) {
            ShortString();
            Value();
          }
          ++pos_;
        }
        ++pos_;
        break;
      default:
        Fail("unknown value type " + std::to_string(static_cast<int>(type)), at);
    }
  }

  std::string_view in_;
  const std::string& file_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

void PutShort(std::string& out, const std::string& s) {
  out += static_cast<char>(s.size());
  out += s;
}

void PutLe32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::size_t SizeOf(const FormNode& n) {
  std::size_t size = n.prefix.size() + 2 + n.componentClass.size() + n.componentName.size() + 2;
  for (const FormNode::Property& p : n.properties) size += 1 + p.name.size() + p.value.size() + p.reserve;
  for (const FormNode& c : n.children) size += SizeOf(c);
  return size;
}

void Write(std::string& out, const FormNode& n, std::size_t* reservedAt) {
  out += n.prefix;
  PutShort(out, n.componentClass);
  PutShort(out, n.componentName);
  for (const FormNode::Property& p : n.properties) {
    PutShort(out, p.name);
    out += p.value;
    if (p.reserve) {
      if (reservedAt) *reservedAt = out.size();
      out.resize(out.size() + p.reserve);
    }
  }
  out += '\0';
  for (const FormNode& c : n.children) Write(out, c, reservedAt);
  out += '\0';
}

}  // namespace

void FormNode::Set(const std::string& property, std::string value, std::size_t reserve) {
  for (Property& p : properties)
    if (p.name == property) {
      p.value = std::move(value);
      p.reserve = reserve;
      return;
    }
  properties.push_back({property, std::move(value), reserve});
}

FormNode* FormNode::Find(const std::string& name) {
  if (componentName == name) return this;
  for (FormNode& c : children)
    if (FormNode* f = c.Find(name)) return f;
  return nullptr;
}

FormNode* FormNode::FindClass(const std::string& cls) {
  if (componentClass == cls) return this;
  for (FormNode& c : children)
    if (FormNode* f = c.FindClass(cls)) return f;
  return nullptr;
}

FormNode ParseBinaryForm(std::string_view form, const std::string& file) { return Parser(form, file).Run(); }

std::string WriteBinaryForm(const FormNode& root, std::size_t* reservedAt) {
  std::string out;
  out.reserve(4 + SizeOf(root));
  out += "TPF0";
  Write(out, root, reservedAt);
  return out;
}

std::string StringValue(const std::string& text) {
  std::string v;
  if (text.size() <= 255) {
    v += static_cast<char>(TValueType::vaString);
    v += static_cast<char>(text.size());
  } else {
    v += static_cast<char>(TValueType::vaLString);
    PutLe32(v, static_cast<std::uint32_t>(text.size()));
  }
  return v + text;
}

std::string BinaryValueHeader(std::uint32_t size) {
  std::string v(1, static_cast<char>(TValueType::vaBinary));
  PutLe32(v, size);
  return v;
}
