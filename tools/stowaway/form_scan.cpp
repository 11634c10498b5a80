#include "form_scan.h"

#include "Filer.h"
#include "cli_error.h"

namespace {

class Scanner {
public:
  Scanner(const std::uint8_t* form, std::size_t size, const std::string& file) : in_(form), size_(size), file_(file) {}

  FormScan Run() {
    Need(4, "signature");
    if (std::string(in_, in_ + 4) != "TPF0") Fail("no TPF0 signature", 0);
    pos_ = 4;
    Component();
    return std::move(scan_);
  }

private:
  [[noreturn]] void Fail(const std::string& what, std::size_t at) const {
    throw InputError(AtOffset(file_, "form " + what, at));
  }
  void Need(std::size_t n, const char* what) const {
    if (size_ - pos_ < n) Fail(std::string(what) + " cut off", pos_);
  }
  std::uint8_t Byte() {
    Need(1, "value");
    return in_[pos_++];
  }
  std::uint64_t Le(std::size_t n, const char* what) {
    Need(n, what);
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v |= std::uint64_t{in_[pos_ + i]} << (8 * i);
    pos_ += n;
    return v;
  }
  std::string ShortString() {
    std::size_t len = Byte();
    Need(len, "name");
    std::string s(in_ + pos_, in_ + pos_ + len);
    pos_ += len;
    return s;
  }
  void Skip(std::uint64_t n, const char* what) {
    if (size_ - pos_ < n) Fail(std::string(what) + " cut off", pos_);
    pos_ += n;
  }

  // Lists and components may nest; hostile input must not exhaust the stack.
  struct Nesting {
    Scanner& s;
    explicit Nesting(Scanner& scanner) : s(scanner) {
      if (++s.depth_ > 200) s.Fail("nested too deeply", s.pos_);
    }
    ~Nesting() { --s.depth_; }
  };

  void Component() {
    Nesting nesting(*this);
    std::uint8_t first = size_ > pos_ ? in_[pos_] : 0;
    if ((first & 0xF0) == 0xF0) {
      std::uint8_t flags = Byte() & 0x0F;
      if (flags & 2) Value();  // the child position
    }
    std::string cls = ShortString();
    std::string name = ShortString();
    scan_.components.push_back({cls, name});
    while (Peek() != 0) {
      std::string prop = ShortString();
      Value(&cls, &name, &prop);
    }
    ++pos_;
    while (Peek() != 0) Component();
    ++pos_;
  }

  std::uint8_t Peek() {
    Need(1, "component");
    return in_[pos_];
  }

  void Value(const std::string* cls = nullptr, const std::string* name = nullptr,
             const std::string* prop = nullptr) {
    Nesting nesting(*this);
    std::size_t at = pos_;
    auto type = static_cast<TValueType>(Byte());
    switch (type) {
      case TValueType::vaNull: case TValueType::vaFalse: case TValueType::vaTrue:
      case TValueType::vaNil: break;
      case TValueType::vaInt8: Skip(1, "integer"); break;
      case TValueType::vaInt16: Skip(2, "integer"); break;
      case TValueType::vaInt32: case TValueType::vaSingle: Skip(4, "number"); break;
      case TValueType::vaInt64: case TValueType::vaQWord: case TValueType::vaCurrency:
      case TValueType::vaDate: Skip(8, "number"); break;
      case TValueType::vaExtended: Skip(10, "number"); break;
      case TValueType::vaString: case TValueType::vaIdent: Skip(Byte(), "string"); break;
      case TValueType::vaLString: case TValueType::vaUTF8String: Skip(Le(4, "length"), "string"); break;
      case TValueType::vaWString: case TValueType::vaUString: Skip(2 * Le(4, "length"), "string"); break;
      case TValueType::vaBinary: {
        std::uint64_t len = Le(4, "length");
        std::size_t start = pos_;
        Skip(len, "binary value");
        if (cls)
          scan_.binaries.push_back({*cls, *name, *prop, start, pos_ - start});
        break;
      }
      case TValueType::vaSet:
        while (!ShortString().empty()) {}
        break;
      case TValueType::vaList:
        while (Peek() != 0) Value();
        ++pos_;
        break;
      case TValueType::vaCollection:
        while (Peek() != 0) {
          std::uint8_t t = Peek();
          if (t == 2 || t == 3 || t == 4) Value();  // the item's order value
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

  const std::uint8_t* in_;
  std::size_t size_;
  const std::string& file_;
  std::size_t pos_ = 0;
  int depth_ = 0;
  FormScan scan_;
};

}  // namespace

FormScan ScanForm(const std::uint8_t* form, std::size_t size, const std::string& file) {
  return Scanner(form, size, file).Run();
}
