#include "progress.h"

#include <unistd.h>

#include <ostream>

constexpr std::uint64_t kProgressThreshold = 64ull << 20;

ProgressLine::ProgressLine(std::ostream& err, std::string label, std::uint64_t total)
    : err_(err), label_(std::move(label)), total_(total), active_(total > kProgressThreshold && isatty(2)) {
  Advance(0);
}

ProgressLine::~ProgressLine() {
  if (active_ && shown_ >= 0) err_ << "\n" << std::flush;
}

void ProgressLine::Advance(std::uint64_t bytes) {
  done_ += bytes;
  if (!active_) return;
  int percent = static_cast<int>(total_ ? done_ * 100 / total_ : 100);
  if (percent == shown_) return;
  shown_ = percent;
  err_ << "\r" << label_ << ": " << percent << "% of " << (total_ >> 20) << " MiB" << std::flush;
}
