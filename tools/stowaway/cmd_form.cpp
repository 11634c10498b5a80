// stowaway form: converts a form between its binary ("TPF0") and text forms.
#include <algorithm>
#include <functional>
#include <cstring>
#include <memory>

#include "core/Exceptions.h"
#include "core/FormText.h"
#include "core/ViewStream.h"
#include "cli_error.h"
#include "commands.h"
#include "file_io.h"

namespace {

using ByteSink = std::function<void(const std::uint8_t*, std::size_t)>;

// A write-only stream that hands what is written to a sink in blocks of 64 KiB, so that the
// text of a form, which may be hundreds of times the size of the binary, is never held whole.
class SinkStream : public TStream {
 public:
  explicit SinkStream(ByteSink sink) : sink_(std::move(sink)) {}

  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* buffer, int64_t count) override {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    for (int64_t left = count; left > 0;) {
      auto now = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(kBlock - used_)));
      std::memcpy(block_ + used_, bytes, now);
      used_ += now;
      bytes += now;
      left -= static_cast<int64_t>(now);
      if (used_ == kBlock) Flush();
    }
    written_ += count;
    return count;
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    if (offset != 0 || origin == TSeekOrigin::soBeginning) throw EWriteError("The output cannot seek");
    return written_;
  }
  void Flush() {
    if (used_) sink_(block_, used_);
    used_ = 0;
  }

 private:
  static constexpr size_t kBlock = 1 << 16;
  ByteSink sink_;
  std::uint8_t block_[kBlock];
  size_t used_ = 0;
  int64_t written_ = 0;
};
}  // namespace

int CmdForm(CommandContext& ctx) {
  ExpectArgs(ctx, 2, "form IN OUT");
  const std::string& path = ctx.args[0];
  std::shared_ptr<const MappedFile> input = MappedFile::Open(path);
  const auto* bytes = reinterpret_cast<const char*>(input->data());
  TViewStream in(input->data(), static_cast<int64_t>(input->size()));
  bool binary = input->size() >= 4 && std::memcmp(bytes, "TPF0", 4) == 0;
  if (!binary && !LooksLikeTextForm(bytes, input->size()))
    throw InputError(AtOffset(path, "neither a binary form (TPF0) nor a text form (object ...)", 0));
  AtomicFile file(ctx.args[1]);
  SinkStream out([&file](const std::uint8_t* p, std::size_t n) { file.Write(p, n); });
  try {
    if (binary)
      ObjectBinaryToText(in, out);
    else
      ObjectTextToBinary(in, out);
  } catch (const Exception& e) {
    throw InputError(path + ": " + e.what());
  }
  out.Flush();
  file.Commit();
  return ExitOk;
}
