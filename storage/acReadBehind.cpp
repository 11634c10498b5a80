#include "acReadBehind.h"

#include "winapi.h"

void TReadBehind::Done(std::size_t consumed) {
  constexpr std::size_t kStep = 16u << 20;
  if (consumed < released_ + kStep) return;
  // Unlocking pages that were never locked takes them out of the working set.
  VirtualUnlock(const_cast<std::uint8_t*>(start_ + released_), consumed - released_);
  released_ = consumed;
}
