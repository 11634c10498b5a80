#include "form_scan.h"

#include "core/BinaryForm.h"
#include "core/Exceptions.h"
#include "core/ViewStream.h"
#include "cli_error.h"

namespace {

class Scanner {
 public:
  Scanner(const std::uint8_t* form, std::size_t size, const std::string& file)
      : stream_(form, static_cast<int64_t>(size)), in_(stream_), file_(file) {}

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
      // The property's bytes stay where they are: the scan records where they lie.
      scan_.binaries.push_back({h.className, h.name, prop, start, len});
      stream_.Seek(len, TSeekOrigin::soCurrent);
    }
    in_.ReadValue();
    while (!in_.EndOfList()) Component();
    in_.ReadValue();
  }

  TViewStream stream_;
  TBinaryFormReader in_;
  const std::string& file_;
  int64_t at_ = 0;
  FormScan scan_;
};

}  // namespace

FormScan ScanForm(const std::uint8_t* form, std::size_t size, const std::string& file) {
  return Scanner(form, size, file).Run();
}
