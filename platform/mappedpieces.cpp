// ForEachMappedPiece, over CopyMappedBytes and IsReadThroughFile (the same on every system).
#include <algorithm>
#include <memory>

#include "platform/mappedread.h"

void ForEachMappedPiece(const void* address, std::size_t size,
                        const std::function<void(const std::uint8_t*, std::size_t)>& sink) {
  constexpr std::size_t kPiece = 1 << 20;
  const auto* bytes = static_cast<const std::uint8_t*>(address);
  std::unique_ptr<std::uint8_t[]> buffer;
  if (IsReadThroughFile(address, size)) buffer.reset(new std::uint8_t[std::min(size, kPiece)]);
  for (std::size_t at = 0; at < size; at += kPiece) {
    const std::size_t n = std::min(kPiece, size - at);
    if (buffer) {
      CopyMappedBytes(buffer.get(), bytes + at, n);
      sink(buffer.get(), n);
    } else {
      sink(bytes + at, n);
    }
  }
}
