#include "acReadBehind.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "acSFPackStream.h"
#include "acUnpackAhead.h"
#include "platform/prefetch.h"
#include "platform/winapi.h"

TReadBehind::~TReadBehind() {
  if (consumed_ > released_) VirtualUnlock(const_cast<std::uint8_t*>(start_ + released_), consumed_ - released_);
}

void TReadBehind::Done(std::size_t consumed) {
  constexpr std::size_t kAhead = 4u << 20;
  if (consumed + kAhead / 2 >= prefetched_) {
    const std::size_t from = std::max(prefetched_, consumed);
    const std::size_t to = std::min(size_, from + kAhead);
    if (to > from) {
      PrefetchMappedBytes(start_ + from, to - from);
      prefetched_ = to;
    }
  }
  constexpr std::size_t kStep = 16u << 20;
  consumed_ = consumed;
  if (consumed < released_ + kStep) return;
  // Unlocking pages that were never locked takes them out of the working set.
  VirtualUnlock(const_cast<std::uint8_t*>(start_ + released_), consumed - released_);
  released_ = consumed;
}

void UnpackBlocksBehind(const std::uint8_t* blocks, std::size_t size, std::uint64_t announced, std::size_t base,
                        const PieceSink& sink) {
  TSFPackBlockReader reader(blocks, size, announced, base);
  std::optional<TReadBehind> behind;
  if (!reader.ReadsThroughFile()) behind.emplace(blocks, size);
  std::unique_ptr<TUnpackAhead> ahead;  // after behind: stopped before the pages are given back
  if (announced >= 2 * TUnpackAhead::kBatch) ahead = std::make_unique<TUnpackAhead>(reader);
  const std::uint8_t* piece;
  std::size_t n, consumed = 0;
  while (ahead ? ahead->Next(piece, n, consumed) : reader.Next(piece, n)) {
    sink(piece, n);
    if (behind) behind->Done(ahead ? consumed : reader.Consumed());
  }
}
