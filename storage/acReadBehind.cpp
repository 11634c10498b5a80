#include "acReadBehind.h"

#include <algorithm>

#include "acSFPackStream.h"
#include "platform/winapi.h"

TReadBehind::~TReadBehind() {
  if (consumed_ > released_) VirtualUnlock(const_cast<std::uint8_t*>(start_ + released_), consumed_ - released_);
}

void TReadBehind::Done(std::size_t consumed) {
  constexpr std::size_t kStep = 16u << 20;
  consumed_ = consumed;
  if (consumed < released_ + kStep) return;
  // Unlocking pages that were never locked takes them out of the working set.
  VirtualUnlock(const_cast<std::uint8_t*>(start_ + released_), consumed - released_);
  released_ = consumed;
}

std::uint64_t PackBlocksBehind(const std::uint8_t* source, std::size_t n,
                               const std::function<void(const std::uint8_t*, std::size_t)>& sink) {
  constexpr std::size_t kPart = SFPackBlockSize * 256;
  TReadBehind behind(source);
  std::uint64_t written = 0;
  for (std::size_t at = 0; at < n; at += kPart) {
    const std::size_t part = std::min(kPart, n - at);
    written += PackBlocksTo(source + at, part, sink);
    behind.Done(at + part);
  }
  return written;
}
