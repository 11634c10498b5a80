#include "form_scan.h"

#include <algorithm>
#include <cstring>

#include "BinaryForm.h"
#include "Exceptions.h"
#include "Stream.h"
#include "cli_error.h"

namespace {

// A read-only stream over the bytes of the form, which the scanner does not copy.
class BytesStream : public TStream {
public:
  explicit BytesStream(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  int64_t Read(void* buffer, int64_t count) override {
    int64_t n = std::max<int64_t>(0, std::min<int64_t>(count, Size() - pos_));
    if (n > 0) std::memcpy(buffer, bytes_.data() + pos_, static_cast<std::size_t>(n));
    pos_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? pos_ : Size();
    pos_ = std::max<int64_t>(0, base + offset);
    return pos_;
  }
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }

private:
  const std::vector<std::uint8_t>& bytes_;
  int64_t pos_ = 0;
};

class Scanner {
public:
  Scanner(const std::vector<std::uint8_t>& form, const std::string& file) : bytes_(form), in_(stream_), file_(file) {}

  FormScan Run() {
    try {
      in_.ReadSignature();
      Component();
    } catch (const EReadError& e) {
      throw InputError(AtOffset(file_, std::string("form ") + e.what(), static_cast<unsigned long long>(at_)));
    }
    return std::move(scan_);
  }

private:
  void Component() {
    TBinaryFormReader::Nesting nesting(in_);
    at_ = in_.Position();
    TFormComponentHeader h;
    in_.ReadComponentHeader(h);
    scan_.components.push_back({h.className, h.name});
    while (!in_.EndOfList()) {
      at_ = in_.Position();
      std::string prop = in_.ReadStr();
      TValueType type = in_.ReadValue();
      if (type != TValueType::vaBinary) {
        in_.SkipValue(type);
        continue;
      }
      std::uint32_t len = in_.ReadBinaryLength();
      auto start = static_cast<std::size_t>(in_.Position());
      scan_.binaries.push_back({h.className, h.name, prop, start,
                                std::vector<std::uint8_t>(form().begin() + start, form().begin() + start + len)});
      stream_.Seek(len, TSeekOrigin::soCurrent);
    }
    in_.ReadValue();
    while (!in_.EndOfList()) Component();
    in_.ReadValue();
  }
  const std::vector<std::uint8_t>& form() const { return bytes_; }

  const std::vector<std::uint8_t>& bytes_;
  BytesStream stream_{bytes_};
  TBinaryFormReader in_;
  const std::string& file_;
  int64_t at_ = 0;
  FormScan scan_;
};

}  // namespace

FormScan ScanForm(const std::vector<std::uint8_t>& form, const std::string& file) {
  return Scanner(form, file).Run();
}
